// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPushButton>

namespace tarn {

// The one button look shared by every window: a semibold 12 px label on a rounded plate.
// A prominent button is dark text on the accent colour (also when it is destructive); a
// destructive one is coral text on the raised colour; any other is light text on raised.
struct TarnButtonStyle {
    bool prominent = false;
    bool destructive = false;

    static constexpr qreal cornerRadius = 9;
    static constexpr qreal pressedOpacity = 0.7;
    // A control that cannot be pressed is drawn faded, so that it never looks like one that can.
    static constexpr qreal disabledOpacity = 0.35;
    // The opacity of a shared control in its state.
    static qreal opacity(bool enabled, bool down) { return !enabled ? disabledOpacity : down ? pressedOpacity : 1.0; }
    static constexpr QMargins padding{15, 11, 15, 11};

    QColor labelColor() const;
    QColor backgroundColor() const;
    static QFont font();
};

// A push button drawn in a TarnButtonStyle; the whole padded plate is clickable. A label may
// lead with a symbol, drawn in the label's colour, and end with a figure in a colour of its own.
class TarnButton : public QPushButton {
    Q_OBJECT

public:
    explicit TarnButton(const QString &text, TarnButtonStyle style = {}, QWidget *parent = nullptr);

    TarnButtonStyle buttonStyle() const { return style_; }
    void setButtonStyle(TarnButtonStyle style);
    const QString &symbol() const { return symbol_; }
    void setSymbol(const QString &symbol);
    // A figure after the label in a colour of its own (a value beside its name).
    const QString &detail() const { return detail_; }
    void setDetail(const QString &detail, const QColor &color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    static constexpr int symbolSpacing = 6;
    static constexpr int detailSpacing = 7;
    int symbolSize() const;
    int detailWidth() const;

    TarnButtonStyle style_;
    QString symbol_;
    QString detail_;
    QColor detailColor_;
};

} // namespace tarn
