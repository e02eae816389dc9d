// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QAbstractButton>
#include <QImage>
#include <QLineEdit>

#include "app/capture/ShareableContent.h"
#include "app/settings/SheetDialog.h"

class QLabel;

namespace tarn {

class ScreenSource;

// One window of the picker: its icon, title and application on a rounded surface; the whole
// row is the button.
class WindowRow : public QAbstractButton {
    Q_OBJECT

public:
    WindowRow(ShareableWindow window, QImage icon, QWidget *parent = nullptr);

    const ShareableWindow &window() const { return window_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ShareableWindow window_;
    QImage icon_;
};

// The sheet a window capture is chosen in: 590 x 560, a search field and one row per listed
// window that passes the search, in the list's order. Of its own it keeps only the search text.
// A click on a row reports that window; the list is never reloaded here.
class WindowPickerView : public SheetDialog {
    Q_OBJECT

public:
    static constexpr int width = 590;
    static constexpr int height = 560;
    static constexpr int iconSize = 34;

    // Icons come from `icons` (the windows' own, else the icon theme's by application name).
    WindowPickerView(std::vector<ShareableWindow> windows, ScreenSource *icons, QWidget *parent = nullptr);

    void setWindows(std::vector<ShareableWindow> windows);
    QLineEdit *searchField() const { return search_; }
    // The rows on screen, in order.
    std::vector<WindowRow *> rows() const;
    // The no-windows message is shown.
    bool showsEmptyMessage() const;

    // A window's icon: the one it publishes, else the icon theme's for its application, else
    // null (the row then draws the generic window symbol).
    static QImage iconFor(const ShareableWindow &window, ScreenSource *source);

Q_SIGNALS:
    void windowChosen(const tarn::ShareableWindow &window);

private:
    void rebuildRows();

    std::vector<ShareableWindow> windows_;
    std::vector<QImage> icons_;
    ScreenSource *iconSource_;
    QLineEdit *search_;
    QWidget *list_;
    QLabel *empty_;
};

} // namespace tarn
