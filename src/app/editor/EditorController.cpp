// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorController.h"

#include <functional>

#include <QEvent>
#include <QWindow>

#include "app/flows/AppWindows.h"

namespace tarn {

namespace {

// Runs an action at the first expose of a window, then goes. Qt asks the window manager to
// activate a modal window when its map is confirmed, just before that expose.
class AtFirstExpose : public QObject {
public:
    AtFirstExpose(QWindow *window, std::function<void()> action) : QObject(window), action_(std::move(action))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose) {
            action_();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> action_;
};

} // namespace

void EditorController::bringToFront() const
{
    if (QWidget *shown = window())
        AppWindows::bringForward(shown);
}

void EditorController::bringToFrontAfter(QWindow *opening) const
{
    bringToFront();
    if (opening && !opening->isExposed())
        new AtFirstExpose(opening, [self = QPointer<const EditorController>(this)] {
            if (self)
                self->bringToFront();
        });
}

} // namespace tarn
