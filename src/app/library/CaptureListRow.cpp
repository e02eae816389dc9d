// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/CaptureListRow.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include "app/library/LibraryPresenter.h"
#include "app/library/SelectionToggle.h"
#include "app/library/ThumbnailView.h"
#include "app/library/ViewKit.h"
#include "app/widgets/DisplayFormat.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TextMetrics.h"

namespace tarn {

namespace {

constexpr int spacing = 14;
constexpr int thumbnailWidth = 83;
constexpr int thumbnailHeight = 52;
constexpr int bytesWidth = 70;

QFont titleFont() { return ViewKit::font(12, QFont::Medium); }
QFont sizeFont() { return ViewKit::monoFont(10); }
QFont dateFont() { return ViewKit::font(11); }

} // namespace

RowOpenArea::RowOpenArea(QWidget *parent) : QWidget(parent), thumbnail_(new ThumbnailView(this))
{
    thumbnail_->setCornerRadius(6);
    thumbnail_->setAttribute(Qt::WA_TransparentForMouseEvents);
    thumbnail_->setGeometry(0, 0, thumbnailWidth, thumbnailHeight);
    setMinimumHeight(thumbnailHeight);
}

void RowOpenArea::showItem(const CaptureItem &item)
{
    title_ = QString::fromStdString(item.title);
    size_ = LibraryPresenter::rowSize(item);
    date_ = LibraryPresenter::rowDate(item.createdAt);
    bytes_ = DisplayFormat::byteCount(item.byteCount);
    update();
}

void RowOpenArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        Q_EMIT openRequested();
}

void RowOpenArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    thumbnail_->move(0, (height() - thumbnailHeight) / 2);
}

void RowOpenArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(ViewKit::disabledOpacity);
    const int right = width();
    const QRect bytesArea(right - bytesWidth, 0, bytesWidth, height());
    painter.setFont(sizeFont());
    painter.setPen(Palette::muted);
    painter.drawText(bytesArea, Qt::AlignRight | Qt::AlignVCenter, bytes_);

    const QFontMetrics dateMetrics(dateFont());
    const int dateWidth = dateMetrics.horizontalAdvance(date_);
    const QRect dateArea(bytesArea.left() - spacing - dateWidth, 0, dateWidth, height());
    painter.setFont(dateFont());
    painter.drawText(dateArea, Qt::AlignLeft | Qt::AlignVCenter, date_);

    const int textLeft = thumbnailWidth + spacing;
    const int textWidth = std::max(0, dateArea.left() - spacing - textLeft);
    const QFontMetrics titleMetrics(titleFont());
    const QFontMetrics sizeMetrics(sizeFont());
    const int titleHeight = TextMetrics::lineHeight(titleFont());
    const int sizeHeight = TextMetrics::lineHeight(sizeFont());
    const int blockHeight = titleHeight + 6 + sizeHeight;
    const int top = (height() - blockHeight) / 2;
    painter.setFont(titleFont());
    painter.setPen(Palette::text);
    painter.drawText(QRect(textLeft, top, textWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(title_, Qt::ElideRight, textWidth));
    painter.setFont(sizeFont());
    painter.setPen(Palette::muted);
    painter.drawText(QRect(textLeft, top + titleHeight + 6, textWidth, sizeHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     sizeMetrics.elidedText(size_, Qt::ElideRight, textWidth));
}

CaptureListRow::CaptureListRow(QWidget *parent)
    : CaptureCell(parent),
      openArea_(new RowOpenArea(this)),
      star_(new IconButton(QStringLiteral("star"), QStringLiteral("즐겨찾기"))),
      more_(new PlainButton(QString(), QStringLiteral("ellipsis"), ViewKit::font(13), Palette::text))
{
    more_->setFixedSize(22, 28);
    more_->setAccessibleName(QStringLiteral("더 보기"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(spacing);
    layout->addWidget(toggle_, 0, Qt::AlignVCenter);
    layout->addWidget(openArea_, 1);
    layout->addWidget(star_, 0, Qt::AlignVCenter);
    layout->addWidget(more_, 0, Qt::AlignVCenter);
    connect(openArea_, &RowOpenArea::openRequested, this, [this] { requestCommand(CaptureCommand::open); });
    connect(star_, &QAbstractButton::clicked, this, [this] { requestCommand(CaptureCommand::favorite); });
    connect(more_, &QAbstractButton::clicked, this,
            [this] { Q_EMIT menuRequested(item(), more_->mapToGlobal(QPoint(0, more_->height()))); });
}

void CaptureListRow::showItem(bool sameCapture, const QString &thumbnailPath)
{
    if (!sameCapture)
        openArea_->thumbnail()->reset();
    openArea_->thumbnail()->setPath(thumbnailPath);
    openArea_->showItem(item());
    star_->setSymbol(item().isFavorite ? QStringLiteral("star.fill") : QStringLiteral("star"));
}

void CaptureListRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = ViewKit::roundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10);
    if (isSelected()) {
        painter.fillPath(shape, ViewKit::faded(Palette::accent, 0.075));
        painter.setPen(QPen(ViewKit::faded(Palette::accent, 0.65), 1));
        painter.drawPath(shape);
    } else {
        painter.fillPath(shape, Palette::surface);
    }
}

} // namespace tarn
