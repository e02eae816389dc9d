// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSystemTrayIcon>

#include "app/shell/StatusItem.h"

namespace tarn {

// The status item as a system tray icon (XEmbed or StatusNotifierItem, whichever the desktop
// offers).
class TrayStatusItem : public StatusItem {
    Q_OBJECT

public:
    explicit TrayStatusItem(QObject *parent = nullptr);

    void setSymbol(const QString &symbol, const QColor &tint) override;
    void setToolTip(const QString &text) override;
    void setMenu(QMenu *menu) override;
    void show() override;
    QString symbol() const override { return symbol_; }
    QColor tint() const override { return tint_; }

    QSystemTrayIcon &tray() { return tray_; }

private:
    QSystemTrayIcon tray_;
    QString symbol_;
    QColor tint_;
};

} // namespace tarn
