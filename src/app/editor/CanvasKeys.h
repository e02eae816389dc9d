// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

#include "core/model/Markup.h"

namespace tarn::CanvasKeys {

// The tool a key press on the canvas chooses by its letter, or nothing. Shift and Caps Lock
// still choose (the letter is lowercased); with Ctrl, Alt or Meta the key belongs to the
// menus. On a layout that types other letters (Korean), the key's Latin letter counts, which
// the platform reports as the key code. A key without text (arrows, function keys, a modifier
// alone) chooses nothing: no letter is empty, so the hidden redaction tool, which has no
// letter, is never chosen from the keyboard.
std::optional<MarkupTool> toolForKey(const QString &text, int key, Qt::KeyboardModifiers modifiers);

} // namespace tarn::CanvasKeys
