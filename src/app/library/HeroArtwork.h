// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

namespace tarn {

// The decorative picture beside the hero's text: a teal glow, a tilted gradient panel, a note
// card, a coral arrow and a sticker. Its glow and tilted panels reach past its 280 by 175
// frame, so the widget only holds the place and its parent paints the picture (`paint`) over
// the frame and the margin around it. It takes no input and is hidden from accessibility tools.
class HeroArtwork : public QWidget {
    Q_OBJECT

public:
    static constexpr int artWidth = 280;
    static constexpr int artHeight = 175;
    static constexpr int overflow = 40; // how far the picture may reach past the frame

    explicit HeroArtwork(QWidget *parent = nullptr);

    // Paints the picture for this frame, in the coordinates of the parent.
    void paint(QPainter &painter);
    // The picture with its margin, at a pixel ratio (made once per ratio).
    static QImage render(qreal devicePixelRatio);

private:
    QPixmap painted_;
};

} // namespace tarn
