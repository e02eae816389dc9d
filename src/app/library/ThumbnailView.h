// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <memory>

#include <QFutureWatcher>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "app/widgets/Palette.h"

class QThreadPool;

namespace tarn {

// The thumbnail file of one capture, fitted into the view on the surface colour, or a
// placeholder symbol until a picture is there. Files are decoded away from the GUI thread at
// low priority and kept in the shared ThumbnailCache; a decode that fails shows nothing new
// and is not cached, so the next showing tries again.
class ThumbnailView : public QWidget {
    Q_OBJECT

public:
    explicit ThumbnailView(QWidget *parent = nullptr);
    ~ThumbnailView() override;

    // Shows the file at `path`: at once from the cache, otherwise once decoded. The picture
    // shown so far stays until then (a saved edit gives a capture a new thumbnail file), and
    // for good if the new file cannot be read. A decode still running for an earlier path is
    // dropped when it ends.
    void setPath(const QString &path);
    // Forgets the picture, for a view that now shows another capture.
    void reset();
    // Rounds the corners of the picture: all four, or only the top two.
    void setCornerRadius(qreal radius, bool topOnly = false);
    // The colour around a picture of another shape than the view (the surface colour unless set).
    void setBackdrop(const QColor &color);

    const QString &path() const { return path_; }
    const QImage &image() const { return image_; }
    bool isLoading() const { return watcher_ != nullptr; }

    // The pool the decodes run on: few threads, below normal priority.
    static QThreadPool &decodePool();

Q_SIGNALS:
    // A decode finished for the path shown now and its picture is shown.
    void imageChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void startDecode();
    void finishDecode(QFutureWatcher<QImage> *watcher, const QString &path);
    void cancelDecode();
    void setImage(const QImage &image);
    QPainterPath clipShape() const;

    QString path_;
    QImage image_;
    QPixmap fitted_; // image_ scaled to the current size, made on first paint
    QFutureWatcher<QImage> *watcher_ = nullptr;
    std::shared_ptr<std::atomic<bool>> wanted_;
    qreal cornerRadius_ = 0;
    QColor backdrop_ = Palette::surface;
    bool topCornersOnly_ = false;
};

} // namespace tarn
