// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QMainWindow>
#include <QRect>
#include <QString>

namespace tarn {

// The main window of the library. Closing it only hides it: the same window comes back
// whenever the library is shown again. Its frame is kept in the settings under its autosave
// name (demo runs apart from ordinary ones), and every launch centres it on a screen: the one
// its saved frame lies on while that screen is there, else the pointer's. Its
// sizes are those of the content under the menu bar; the smallest is the library view's own.
class LibraryWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize defaultContentSize{1280, 880};
    static QString title(); // "Tarnwick — Capture Studio"
    static QString autosaveName(bool demo);

    explicit LibraryWindow(bool demo, QWidget *parent = nullptr);
    ~LibraryWindow() override;

    const QString &frameName() const { return frameName_; }

    // Takes the saved size (the default content size without one), shrunk to fit the screen,
    // frame included, but never below the smallest size (which itself gives way to a small
    // screen), and centres the window's frame on the screen's available area.
    void restoreFrame();
    // Keeps the frame in points, never smaller than the smallest size.
    void saveFrame() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::optional<QRect> savedFrame();

    QString frameName_;
};

} // namespace tarn
