// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/LibraryWindow.h"

#include <QCloseEvent>
#include <QScreen>
#include <QSettings>

#include "app/library/LibraryView.h"
#include "app/widgets/ContentSize.h"
#include "app/widgets/FocusRing.h"
#include "app/widgets/KeyboardKeeper.h"
#include "app/widgets/Palette.h"
#include "app/widgets/PointSize.h"
#include "app/widgets/WindowPlacement.h"

namespace tarn {

namespace {

// The window frames live with the ordinary settings of the application, whatever the run.
QSettings frameSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnwick"),
                     QStringLiteral("Tarnwick"));
}

QString frameKey(const QString &name) { return QStringLiteral("WindowFrames/") + name; }

} // namespace

QString LibraryWindow::title() { return QStringLiteral("Tarnwick — Capture Studio"); }

QString LibraryWindow::autosaveName(bool demo)
{
    return demo ? QStringLiteral("Tarnwick.demo.library") : QStringLiteral("Tarnwick.library");
}

LibraryWindow::LibraryWindow(bool demo, QWidget *parent) : QMainWindow(parent), frameName_(autosaveName(demo))
{
    setWindowTitle(title());
    ContentSize::keep(*this, QSize(LibraryView::minimumWidth, LibraryView::minimumHeight), defaultContentSize);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, Palette::background);
    setPalette(dark);
    setAutoFillBackground(true);
    PointSize::keepAcrossScreens(this);
    FocusRing::follow(*this);
    KeyboardKeeper::keep(*this);
}

LibraryWindow::~LibraryWindow() = default;

// The frame in points as the last close left it. Earlier versions kept Qt's geometry record,
// whose frame is taken over.
std::optional<QRect> LibraryWindow::savedFrame()
{
    const QVariant saved = frameSettings().value(frameKey(frameName_));
    if (saved.typeId() == QMetaType::QRect)
        return saved.toRect().isValid() ? std::optional(saved.toRect()) : std::nullopt;
    const QByteArray record = saved.toByteArray();
    if (!record.isEmpty() && restoreGeometry(record))
        return normalGeometry();
    return std::nullopt;
}

void LibraryWindow::restoreFrame()
{
    const std::optional<QRect> saved = savedFrame();
    // Qt would take the screen from where a window that was never shown sits, the desktop's
    // origin: the screen comes from the saved frame while one holds it, else from the pointer.
    QScreen *screen = saved ? WindowPlacement::screenHolding(*saved) : nullptr;
    if (!screen)
        screen = WindowPlacement::pointerScreen();
    if (saved)
        resize(saved->size());
    else
        resize(defaultContentSize + QSize(0, ContentSize::menuBarHeight(*this)));
    if (!screen)
        return;
    // A size saved on a larger screen shrinks to this one, frame included.
    resize(size().boundedTo(WindowPlacement::room(this, screen)).expandedTo(minimumSize()));
    WindowPlacement::centreOn(this, screen);
}

void LibraryWindow::saveFrame() const
{
    const QRect frame = normalGeometry();
    frameSettings().setValue(frameKey(frameName_), QRect(frame.topLeft(), frame.size().expandedTo(minimumSize())));
}

void LibraryWindow::closeEvent(QCloseEvent *event)
{
    saveFrame();
    QMainWindow::closeEvent(event);
}

} // namespace tarn
