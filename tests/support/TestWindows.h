// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Windows of another process for tests that need them: the test binary starts itself again with
// TARN_TEST_WINDOWS set, and that child shows the windows the variable describes.
//   TARN_TEST_WINDOWS = entry[;entry...]   entry = title|width|height|flags
//   flags: p = the four-colour test pattern (else plain grey), a = kept above other windows,
//          u = no title at all, t = the title in large black letters on white (for recognition),
//          s = the light English settings window of the recognition tests,
//          c = the coordinate backdrop: borderless at the root window's origin, unmanaged,
//          d = a file manager's drag: see FileDragSource
// Both sides live here so the pattern the child paints and the pixels the tests expect agree.

#include <chrono>
#include <optional>
#include <thread>

#include <QCoreApplication>
#include <QDrag>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QRasterWindow>
#include <QStringList>
#include <QUrl>

#include "platform/ScreenSource.h"
#include "support/ChildProcess.h"
#include "support/OcrScreens.h"

namespace tarn::TestSupport {

// The pattern: four quadrants of distinct colours and a white 8 x 8 block at (10, 10).
inline QRgb patternPixel(QSize size, QPoint p)
{
    if (p.x() >= 10 && p.x() < 18 && p.y() >= 10 && p.y() < 18)
        return qRgb(255, 255, 255);
    const bool right = p.x() >= size.width() / 2;
    const bool bottom = p.y() >= size.height() / 2;
    if (!right && !bottom)
        return qRgb(220, 40, 30);
    if (right && !bottom)
        return qRgb(30, 200, 60);
    if (!right)
        return qRgb(40, 70, 230);
    return qRgb(240, 220, 20);
}

// The coordinate backdrop's pixels name their own place on the root window: red and green the
// low bytes of x and y, blue their high nibbles. A capture read back tells exactly which device
// pixels it took.
inline QRgb coordinatePixel(QPoint p)
{
    return qRgb(p.x() & 0xff, p.y() & 0xff, ((p.x() >> 8) & 0x0f) << 4 | ((p.y() >> 8) & 0x0f));
}

// Whether the screen shows the coordinate backdrop's own pixel at `p` (root-window device pixels).
inline bool showsCoordinates(ScreenSource &screen, QPoint p)
{
    return screen.grab(QRect(p, QSize(1, 1)), false).pixel(0, 0) == coordinatePixel(p);
}

class CoordinateBackdrop : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QImage image(size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, coordinatePixel(position() + QPoint(x, y)));
        QPainter(this).drawImage(0, 0, image);
    }
};

class TestPatternWindow : public QRasterWindow {
public:
    explicit TestPatternWindow(bool pattern, QString text = {}, QImage picture = {})
        : pattern_(pattern),
          text_(std::move(text)),
          picture_(std::move(picture))
    { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (!picture_.isNull()) {
            painter.drawImage(0, 0, picture_);
            return;
        }
        if (!text_.isEmpty()) {
            painter.fillRect(QRect(QPoint(), size()), Qt::white);
            QFont font = painter.font();
            font.setPixelSize(48);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QRect(QPoint(), size()), Qt::AlignCenter, text_);
            return;
        }
        if (!pattern_) {
            painter.fillRect(QRect(QPoint(), size()), QColor(128, 128, 128));
            return;
        }
        QImage image(size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, patternPixel(image.size(), {x, y}));
        painter.drawImage(0, 0, image);
    }

private:
    bool pattern_;
    QString text_;
    QImage picture_;
};

// A file manager's drag: a press drags the files named in TARN_TEST_DRAG (one path a line, after
// the first) offering to copy, move or link them, proposing Move as file managers do, and a Move
// answer removes them as a file manager's move does. The answer, as a number, is written to the
// file named first.
class FileDragSource : public TestPatternWindow {
public:
    FileDragSource() : TestPatternWindow(false) { }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        const QStringList paths = qEnvironmentVariable("TARN_TEST_DRAG").split(u'\n');
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &path : paths.mid(1))
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        auto *drag = new QDrag(this); // kept by Qt until the target has read the files
        drag->setMimeData(data);
        const Qt::DropAction answer = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::MoveAction);
        if (answer == Qt::MoveAction)
            for (const QString &path : paths.mid(1))
                QFile::remove(path);
        QFile written(paths.front());
        if (written.open(QIODevice::WriteOnly))
            written.write(QByteArray::number(int(answer)));
    }
};

// The child's whole life: show the windows, then run until killed.
inline int runTestWindows(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList entries = qEnvironmentVariable("TARN_TEST_WINDOWS").split(u';', Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        const QStringList parts = entry.split(u'|');
        if (parts.size() < 4)
            continue;
        if (parts[3].contains(u'c')) {
            auto *backdrop = new CoordinateBackdrop;
            backdrop->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
            backdrop->setGeometry(0, 0, parts[1].toInt(), parts[2].toInt());
            backdrop->show();
            continue;
        }
        auto *window = parts[3].contains(u'd')
            ? new FileDragSource
            : new TestPatternWindow(parts[3].contains(u'p'), parts[3].contains(u't') ? parts[0] : QString(),
                                    parts[3].contains(u's') ? OcrScreens::settingsWindow(false, false).image
                                                            : QImage());
        if (!parts[3].contains(u'u'))
            window->setTitle(parts[0]);
        if (parts[3].contains(u'a'))
            window->setFlag(Qt::WindowStaysOnTopHint);
        window->resize(parts[1].toInt(), parts[2].toInt());
        window->show();
    }
    return QGuiApplication::exec();
}

// The parent's handle on a child process that shows windows; the child dies with the handle.
class TestWindows {
public:
    explicit TestWindows(const QString &spec)
        : process_({}, {{"TARN_TEST_WINDOWS", spec.toStdString()}},
                   {"QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"})
    { }

    int64_t pid() const { return process_.pid(); }

    // Waits until the window manager lists the child's window with that title.
    std::optional<WindowInfo> waitForWindow(ScreenSource &source, const QString &title, int timeoutMs = 8000) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const WindowInfo &window : source.windows())
                if (window.title == title && window.processID == pid() && window.onScreen)
                    return window;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::nullopt;
    }

    // Waits until the pattern shows on screen inside the window's client area.
    static bool waitForPattern(ScreenSource &source, const QRect &contentRect, int timeoutMs = 8000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            const QImage image = source.grab(contentRect, false);
            if (image.pixel(12, 12) == patternPixel(contentRect.size(), {12, 12}) &&
                image.pixel(image.width() - 2, image.height() - 2) ==
                    patternPixel(contentRect.size(), {image.width() - 2, image.height() - 2}))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

private:
    TestSupport::ChildProcess process_;
};

// Counts the pixels of `image` that differ from the pattern of a window of `windowSize` whose
// client area starts at `offset` inside the image.
inline int patternMismatches(const QImage &image, QSize windowSize, QPoint offset)
{
    int mismatches = 0;
    for (int y = 0; y < windowSize.height(); ++y)
        for (int x = 0; x < windowSize.width(); ++x)
            if (image.pixel(offset.x() + x, offset.y() + y) != patternPixel(windowSize, {x, y}))
                ++mismatches;
    return mismatches;
}

} // namespace tarn::TestSupport
