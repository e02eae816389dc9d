// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>
#include <QString>

class QMenu;

namespace tarn {

// The application's item in the desktop's status area: a symbol, a tooltip and a menu. A
// click on the item itself (not the menu) is reported as `activated`. The desktop may have no
// status area at all; the item then shows nothing and the application works without it.
class StatusItem : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Shows `symbol` (a Theme symbol name) drawn in `tint`.
    virtual void setSymbol(const QString &symbol, const QColor &tint) = 0;
    virtual void setToolTip(const QString &text) = 0;
    // The menu stays the caller's.
    virtual void setMenu(QMenu *menu) = 0;
    virtual void show() = 0;

    virtual QString symbol() const = 0;
    virtual QColor tint() const = 0;

Q_SIGNALS:
    void activated();
};

} // namespace tarn
