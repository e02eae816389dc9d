// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

#include "app/library/CaptureCell.h"
#include "app/library/ThumbnailView.h"

namespace tarn {

// The thumbnail area of a card: one click opens the capture, and the second click of a double
// click does not open it again. Shows the "SAMPLE" tag and the play badge over the picture.
class CardPicture : public ThumbnailView {
    Q_OBJECT

public:
    explicit CardPicture(QWidget *parent = nullptr);
    void setBadges(bool sample, bool video);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool sample_ = false;
    bool video_ = false;
    bool pressed_ = false;
};

// The star in the card's corner, shown while the pointer is over the card, the keyboard is on the
// card or its star, or the capture is a favourite.
class CardStar : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int side = 27;
    explicit CardStar(QWidget *parent = nullptr);
    void setFavorite(bool favorite);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool favorite_ = false;
};

// One cell of the library grid: the thumbnail, the title and a line of kind, date and size,
// with the selection checkbox and the star over the picture's corners.
class CaptureCard : public CaptureCell {
    Q_OBJECT

public:
    static constexpr qreal aspect = 1.6;
    static constexpr qreal cornerRadius = 11;

    explicit CaptureCard(QWidget *parent = nullptr);

    // Height of the caption under the picture (the same for every card).
    static int captionHeight();
    static int heightFor(int width) { return qRound(width / aspect) + captionHeight(); }

    bool isHovering() const { return hovering_; }
    void setPointerOver(bool over) override { setHovering(over); }
    CardPicture *picture() const { return picture_; }
    CardStar *star() const { return star_; }

protected:
    void showItem(bool sameCapture, const QString &thumbnailPath) override;
    void showSelection() override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setHovering(bool hovering);
    void updateStar();

    CardPicture *picture_;
    QWidget *outline_;
    QWidget *togglePlate_;
    CardStar *star_;
    bool hovering_ = false;
};

} // namespace tarn
