// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarn {

// The menu commands that act on whatever has the keyboard focus rather than on the application:
// the editor's save and export, undo and redo, the text-editing commands and closing a window.
enum class ResponderAction { save, exportImage, undo, redo, cut, copy, paste, selectAll, close };

// A window (or a widget inside one) that answers some of those commands. The menus look for one
// from the focused widget outwards, the way a key press travels; a command is enabled only
// while something on that path answers it. Text fields answer the text-editing commands on
// their own and need not implement this.
class MenuResponder {
public:
    virtual ~MenuResponder() = default;
    virtual bool answers(ResponderAction action) const = 0;
    virtual void perform(ResponderAction action) = 0;
};

} // namespace tarn
