// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QString>

namespace tarn {

// The main window of the library. Closing it only hides it: the same window comes back
// whenever the library is shown again. Its size is kept in the settings under its autosave
// name (demo runs apart from ordinary ones), and every launch centres it on the screen. Its
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

    // Takes the saved size (the default content size without one) and centres the window on the
    // screen's available area.
    void restoreFrame();
    void saveFrame() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString frameName_;
};

} // namespace tarn
