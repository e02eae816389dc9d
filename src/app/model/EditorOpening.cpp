// SPDX-License-Identifier: GPL-3.0-or-later
// Where the model meets the editor: creating an editor window and telling an open one about
// new recognition results.
#include <QApplication>

#include "app/editor/EditorWindowController.h"
#include "app/model/AppModel.h"

namespace tarn {

void AppModel::openEditor(const CaptureItem &item, const QImage &image, QScreen *screen)
{
    // One editor per capture: a second one would escape the quit and trash checks.
    if (auto open = editorControllers_.find(item.id); open != editorControllers_.end()) {
        open->second->bringToFront();
        return;
    }
    auto *controller = new EditorWindowController(item, image, *this);
    addEditor(controller);
    // Centred once the shell has given it the menu bar, which makes it taller.
    controller->centreOn(screen);
    controller->bringToFront();
    QApplication::setActiveWindow(controller->window());
}

// The editor takes only the text regions and the recognized text, never touching the user's
// unsaved edits, title or tags.
void AppModel::showRecognitionInEditor(const CaptureItem &updated)
{
    if (auto open = editorControllers_.find(updated.id); open != editorControllers_.end())
        open->second->takeRecognition(updated);
}

} // namespace tarn
