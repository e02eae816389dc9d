// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/LibraryWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include "app/library/LibraryView.h"
#include "app/widgets/ContentSize.h"
#include "app/widgets/Palette.h"

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
}

LibraryWindow::~LibraryWindow() = default;

void LibraryWindow::restoreFrame()
{
    const QByteArray saved = frameSettings().value(frameKey(frameName_)).toByteArray();
    if (saved.isEmpty() || !restoreGeometry(saved))
        resize(defaultContentSize + QSize(0, ContentSize::menuBarHeight(*this)));
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame(QPoint(), size().boundedTo(available.size()).expandedTo(minimumSize()));
    frame.moveCenter(available.center());
    setGeometry(frame);
}

void LibraryWindow::saveFrame() const { frameSettings().setValue(frameKey(frameName_), saveGeometry()); }

void LibraryWindow::closeEvent(QCloseEvent *event)
{
    saveFrame();
    QMainWindow::closeEvent(event);
}

} // namespace tarn
