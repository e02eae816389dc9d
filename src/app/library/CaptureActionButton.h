// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

namespace tarn {

// The large button of the capture hero: symbol, title and the shortcut hint at the trailing
// end, full width and 45 pixels high. The prominent one is dark on the accent colour; the
// others are light on a faint plate, with a coral symbol while they stand for a recording.
class CaptureActionButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int buttonHeight = 45;

    CaptureActionButton(const QString &title, const QString &symbol, const QString &shortcut, bool prominent,
                        bool recording, QWidget *parent = nullptr);

    void setTitleAndSymbol(const QString &title, const QString &symbol);
    const QString &symbol() const { return symbol_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    QString shortcut_;
    bool prominent_;
    bool recording_;
};

} // namespace tarn
