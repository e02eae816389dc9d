// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureCard.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/library/LibraryPresenter.h"
#include "app/library/SelectionToggle.h"
#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TextMetrics.h"

namespace tarn {

namespace {

constexpr int captionPadding = 13;
constexpr int captionSpacing = 9;
constexpr int cornerInset = 8;
constexpr int togglePadding = 5;

QFont titleFont() { return ViewKit::font(12, QFont::Medium); }
QFont dateFont() { return ViewKit::font(10); }
QFont sizeFont() { return ViewKit::monoFont(9); }
int metadataHeight() { return std::max({TextMetrics::lineHeight(dateFont()), TextMetrics::lineHeight(sizeFont()), 9}); }

// Paints the card's outline above its picture; takes no clicks.
class CardOutline : public QWidget {
public:
    explicit CardOutline(CaptureCard *card) : QWidget(card), card_(card)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(ViewKit::faded(Palette::border, 0.7), 1);
        if (card_->isSelected())
            pen = QPen(Palette::accent, 2);
        else if (card_->isHovering())
            pen = QPen(ViewKit::faded(Palette::teal, 0.4), 1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const qreal half = pen.widthF() / 2;
        painter.drawPath(
            ViewKit::roundedRect(QRectF(rect()).adjusted(half, half, -half, -half), CaptureCard::cornerRadius - half));
    }

private:
    CaptureCard *card_;
};

} // namespace

CardPicture::CardPicture(QWidget *parent) : ThumbnailView(parent)
{
    setCursor(Qt::ArrowCursor);
    setBackdrop(QColor(25, 35, 44)); // the card's own backdrop, a shade off the surface colour
}

void CardPicture::setBadges(bool sample, bool video)
{
    if (sample == sample_ && video == video_)
        return;
    sample_ = sample;
    video_ = video;
    update();
}

void CardPicture::paintEvent(QPaintEvent *event)
{
    ThumbnailView::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (sample_) {
        QFont tagFont = ViewKit::monoFont(8, QFont::Bold);
        tagFont.setLetterSpacing(QFont::AbsoluteSpacing, 1);
        const QString tag = QStringLiteral("SAMPLE");
        const QFontMetrics metrics(tagFont);
        const QRectF plate(44, 10, metrics.horizontalAdvance(tag) + 14, metrics.height() + 8);
        painter.fillPath(ViewKit::roundedRect(plate, 4), QColor(0, 0, 0, qRound(255 * 0.45)));
        painter.setFont(tagFont);
        painter.setPen(ViewKit::faded(Palette::text, 0.85));
        painter.drawText(plate, Qt::AlignCenter, tag);
    }
    if (video_)
        ViewKit::drawSymbol(painter, QRectF(rect()).center(), QStringLiteral("play.circle.fill"),
                            QColor(255, 255, 255, qRound(255 * 0.9)), 35);
}

void CardPicture::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void CardPicture::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        Q_EMIT clicked();
}

// The second press of a double click is not a new click: the capture opens once.
void CardPicture::mouseDoubleClickEvent(QMouseEvent *event)
{
    pressed_ = false;
    event->accept();
}

CardStar::CardStar(QWidget *parent) : QAbstractButton(parent)
{
    setFixedSize(side, side);
    setToolTip(QStringLiteral("즐겨찾기"));
    setAccessibleName(QStringLiteral("즐겨찾기"));
    setCursor(Qt::ArrowCursor);
}

void CardStar::setFavorite(bool favorite)
{
    if (favorite == favorite_)
        return;
    favorite_ = favorite;
    update();
}

void CardStar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(!isEnabled() ? ViewKit::disabledOpacity : isDown() ? 0.7 : 1.0);
    painter.fillPath(ViewKit::roundedRect(QRectF(rect()), 7), QColor(0, 0, 0, qRound(255 * 0.48)));
    ViewKit::drawSymbol(painter, QRectF(rect()).center(),
                        favorite_ ? QStringLiteral("star.fill") : QStringLiteral("star"),
                        favorite_ ? Palette::accent : QColor(Qt::white), 11);
}

CaptureCard::CaptureCard(QWidget *parent)
    : CaptureCell(parent),
      picture_(new CardPicture(this)),
      outline_(new CardOutline(this)),
      togglePlate_(new Plate(6, QColor(0, 0, 0, qRound(255 * 0.55)), Qt::transparent, this)),
      star_(new CardStar(this))
{
    picture_->setCornerRadius(cornerRadius, true);
    togglePlate_->setFixedSize(SelectionToggle::side + 2 * togglePadding, SelectionToggle::side + 2 * togglePadding);
    togglePlate_->move(cornerInset, cornerInset);
    toggle_->setParent(togglePlate_);
    toggle_->move(togglePadding, togglePadding);
    star_->hide();
    star_->installEventFilter(this);
    connect(picture_, &CardPicture::clicked, this, [this] { requestCommand(CaptureCommand::open); });
    connect(star_, &QAbstractButton::clicked, this, [this] { requestCommand(CaptureCommand::favorite); });
}

int CaptureCard::captionHeight()
{
    return captionPadding + TextMetrics::lineHeight(titleFont()) + captionSpacing + metadataHeight() + captionPadding;
}

void CaptureCard::showItem(bool sameCapture, const QString &thumbnailPath)
{
    if (!sameCapture)
        picture_->reset();
    picture_->setPath(thumbnailPath);
    picture_->setBadges(item().isSample, item().kind == CaptureKind::video);
    star_->setFavorite(item().isFavorite);
    updateStar();
    update();
}

void CaptureCard::showSelection() { outline_->update(); }

void CaptureCard::resizeEvent(QResizeEvent *event)
{
    CaptureCell::resizeEvent(event);
    picture_->setGeometry(0, 0, width(), qRound(width() / aspect));
    outline_->setGeometry(rect());
    outline_->raise();
    togglePlate_->raise();
    star_->move(width() - cornerInset - CardStar::side, cornerInset);
    star_->raise();
}

void CaptureCard::enterEvent(QEnterEvent *event)
{
    setHovering(true);
    CaptureCell::enterEvent(event);
}

void CaptureCard::leaveEvent(QEvent *event)
{
    setHovering(false);
    CaptureCell::leaveEvent(event);
}

void CaptureCard::setHovering(bool hovering)
{
    if (hovering == hovering_)
        return;
    hovering_ = hovering;
    updateStar();
    outline_->update();
}

void CaptureCard::focusInEvent(QFocusEvent *event)
{
    CaptureCell::focusInEvent(event);
    updateStar();
}

void CaptureCard::focusOutEvent(QFocusEvent *event)
{
    CaptureCell::focusOutEvent(event);
    updateStar();
}

bool CaptureCard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == star_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        updateStar();
    return CaptureCell::eventFilter(watched, event);
}

// The keyboard counts as the pointer: Tab can go on from a card to its star, and the star stays
// where it is after Space took the capture out of the favourites.
void CaptureCard::updateStar() { star_->setVisible(hovering_ || item().isFavorite || hasFocus() || star_->hasFocus()); }

void CaptureCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = ViewKit::roundedRect(QRectF(rect()), cornerRadius);
    painter.fillPath(shape, ViewKit::faded(Palette::surface, 0.72));
    if (!isEnabled())
        painter.setOpacity(ViewKit::disabledOpacity);

    const int pictureHeight = qRound(width() / aspect);
    const QRect caption = rect().adjusted(captionPadding, pictureHeight + captionPadding, -captionPadding, 0);
    const QFontMetrics titleMetrics(titleFont());
    painter.setFont(titleFont());
    painter.setPen(Palette::text);
    const QRect titleLine(caption.left(), caption.top(), caption.width(), TextMetrics::lineHeight(titleFont()));
    painter.drawText(titleLine, Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(QString::fromStdString(item().title), Qt::ElideRight, caption.width()));

    const int metaTop = titleLine.bottom() + 1 + captionSpacing;
    const QRect metaLine(caption.left(), metaTop, caption.width(), metadataHeight());
    const bool video = item().kind == CaptureKind::video;
    ViewKit::drawSymbol(painter, QPointF(metaLine.left() + 5, metaLine.center().y() + 0.5),
                        video ? QStringLiteral("video") : QStringLiteral("photo"), Palette::muted, 9);
    const QString size = LibraryPresenter::cardSize(item());
    const QFontMetrics sizeMetrics(sizeFont());
    const int sizeWidth = sizeMetrics.horizontalAdvance(size);
    painter.setFont(sizeFont());
    painter.setPen(Palette::muted);
    painter.drawText(metaLine, Qt::AlignRight | Qt::AlignVCenter, size);
    const QRect dateArea = metaLine.adjusted(9 + 5, 0, -(sizeWidth + 1), 0);
    painter.setFont(dateFont());
    painter.drawText(dateArea, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(dateFont())
                         .elidedText(LibraryPresenter::cardDate(item().createdAt), Qt::ElideRight, dateArea.width()));
}

} // namespace tarn
