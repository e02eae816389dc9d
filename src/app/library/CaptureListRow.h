// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/library/CaptureCell.h"

namespace tarn {

class IconButton;
class PlainButton;
class ThumbnailView;

// The part of a list row that opens the capture on a double click (a single click does
// nothing): the thumbnail, title, size line, date and stored size.
class RowOpenArea : public QWidget {
    Q_OBJECT

public:
    explicit RowOpenArea(QWidget *parent = nullptr);
    ThumbnailView *thumbnail() const { return thumbnail_; }
    void showItem(const CaptureItem &item);

Q_SIGNALS:
    void openRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    ThumbnailView *thumbnail_;
    QString title_;
    QString size_;
    QString date_;
    QString bytes_;
};

// One row of the library list: checkbox, the double-click area, the star and the "…" menu.
class CaptureListRow : public CaptureCell {
    Q_OBJECT

public:
    static constexpr int rowHeight = 72;

    explicit CaptureListRow(QWidget *parent = nullptr);
    RowOpenArea *openArea() const { return openArea_; }
    IconButton *star() const { return star_; }

protected:
    void showItem(bool sameCapture, const QString &thumbnailPath) override;
    void paintEvent(QPaintEvent *event) override;

private:
    RowOpenArea *openArea_;
    IconButton *star_;
    PlainButton *more_;
};

} // namespace tarn
