// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>

namespace tarn {

// A 38 x 38 button of the tool rail: a picture on a rounded plate (radius 9) whose whole area
// takes clicks. The plain rail entries show a tool symbol; the shape and badge menus draw
// their own picture and a small chevron.
class RailButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int side = 38;
    static constexpr qreal cornerRadius = 9;

    explicit RailButton(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {side, side}; }
    // The symbol for a plain entry; empty for one that paints its own picture.
    void setSymbol(const QString &symbol);
    void setActive(bool active);
    bool isActive() const { return active_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    // The plate behind the picture (clear when transparent) and the picture's colour.
    virtual QColor plateColor() const;
    virtual QColor pictureColor() const;
    virtual void paintPicture(QPainter &painter);
    // The small "chevron.down" at the bottom-trailing corner of a menu's button.
    void paintChevron(QPainter &painter, const QColor &color);

private:
    QString symbol_;
    bool active_ = false;
};

} // namespace tarn
