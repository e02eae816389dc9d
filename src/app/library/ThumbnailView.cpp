// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/ThumbnailView.h"

#include <filesystem>

#include <QPainter>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include "app/library/ThumbnailCache.h"
#include "app/library/ViewKit.h"
#include "app/widgets/Palette.h"
#include "core/image/ImageCodec.h"

namespace tarn {

namespace {

constexpr int placeholderSize = 17;

// Decodes one thumbnail file; every failure is an empty image. A view that no longer wants the
// picture by the time the pool gets to it costs no decode.
QImage decode(const QString &path, const std::shared_ptr<std::atomic<bool>> &wanted)
{
    if (!wanted->load())
        return {};
    try {
        return ImageCodec::read(std::filesystem::path(path.toStdString()));
    } catch (...) {
        return {};
    }
}

} // namespace

ThumbnailView::ThumbnailView(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

ThumbnailView::~ThumbnailView() { cancelDecode(); }

QThreadPool &ThumbnailView::decodePool()
{
    static QThreadPool *pool = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(2);
        made->setThreadPriority(QThread::LowPriority);
        return made;
    }();
    return *pool;
}

void ThumbnailView::setPath(const QString &path)
{
    if (path == path_ && (watcher_ || !image_.isNull()))
        return;
    cancelDecode();
    path_ = path;
    if (path_.isEmpty())
        return;
    if (std::optional<QImage> cached = ThumbnailCache::shared().find(path_)) {
        setImage(*cached);
        return;
    }
    startDecode();
}

void ThumbnailView::reset()
{
    cancelDecode();
    path_.clear();
    setImage({});
}

void ThumbnailView::setCornerRadius(qreal radius, bool topOnly)
{
    cornerRadius_ = radius;
    topCornersOnly_ = topOnly;
    update();
}

void ThumbnailView::startDecode()
{
    wanted_ = std::make_shared<std::atomic<bool>>(true);
    watcher_ = new QFutureWatcher<QImage>(this);
    const QString path = path_;
    connect(watcher_, &QFutureWatcherBase::finished, this,
            [this, watcher = watcher_, path] { finishDecode(watcher, path); });
    watcher_->setFuture(QtConcurrent::run(&decodePool(), decode, path, wanted_));
}

void ThumbnailView::finishDecode(QFutureWatcher<QImage> *watcher, const QString &path)
{
    const QImage decoded = watcher->result();
    watcher->deleteLater();
    if (watcher != watcher_ || path != path_)
        return; // another path was asked for meanwhile: the result is nobody's
    watcher_ = nullptr;
    wanted_.reset();
    if (decoded.isNull())
        return;
    ThumbnailCache::shared().insert(path, decoded);
    setImage(decoded);
    Q_EMIT imageChanged();
}

void ThumbnailView::cancelDecode()
{
    if (wanted_)
        wanted_->store(false);
    wanted_.reset();
    if (watcher_) {
        watcher_->disconnect(this);
        watcher_->deleteLater();
        watcher_ = nullptr;
    }
}

void ThumbnailView::setImage(const QImage &image)
{
    image_ = image;
    fitted_ = QPixmap();
    update();
}

void ThumbnailView::resizeEvent(QResizeEvent *event)
{
    fitted_ = QPixmap();
    QWidget::resizeEvent(event);
}

QPainterPath ThumbnailView::clipShape() const
{
    QRectF area(rect());
    if (topCornersOnly_)
        area.setHeight(area.height() + cornerRadius_);
    QPainterPath shape = ViewKit::roundedRect(area, cornerRadius_);
    if (topCornersOnly_) {
        QPainterPath bounds;
        bounds.addRect(QRectF(rect()));
        shape = shape.intersected(bounds);
    }
    return shape;
}

void ThumbnailView::setBackdrop(const QColor &color)
{
    backdrop_ = color;
    update();
}

void ThumbnailView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (cornerRadius_ > 0)
        painter.setClipPath(clipShape());
    painter.fillRect(rect(), backdrop_);
    if (image_.isNull()) {
        ViewKit::drawSymbol(painter, QRectF(rect()).center(), QStringLiteral("photo"),
                            ViewKit::faded(Palette::muted, 0.4), placeholderSize);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (fitted_.isNull()) {
        const QSize target = (QSizeF(size()) * ratio).toSize();
        fitted_ = QPixmap::fromImage(image_.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        fitted_.setDevicePixelRatio(ratio);
    }
    const QSizeF logical = QSizeF(fitted_.size()) / ratio;
    painter.drawPixmap(QPointF((width() - logical.width()) / 2, (height() - logical.height()) / 2), fitted_);
}

} // namespace tarn
