// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace tarn {

// The dialogs a window of ours waits on (an alert, a question, a sheet, the file panel an export
// waits on) stand in one chain over it, each over the one shown before it: the newest is in
// front, has the keyboard and is answered first, and the one under it comes back once it is.
// Shown side by side over the same window instead, each would block the other: Qt hands the
// keyboard of a blocked dialog to the window under it, the window manager hands it on to one of
// the window's dialogs, and the two would pass it back and forth for ever. One filter on the
// application links every such dialog as it is shown, Qt's own included, and keeps the chain
// whole when a dialog in the middle goes; a window brought forward or clicked gives the
// keyboard on to the front of its chain.
class DialogChain : public QObject {
    Q_OBJECT

public:
    explicit DialogChain(QObject *parent = nullptr);
    ~DialogChain() override;

    // Whether the window a dialog is shown over waits on it: a modal dialog, or a file panel.
    static bool holdsUp(const QWidget *widget);
    // The dialog shown next over `window` in its chain; none when nothing holds the window up.
    static QWidget *next(const QWidget *window);
    // The front of the chain over `window`: its newest dialog, or the window itself.
    static QWidget *front(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace tarn
