// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarn {

// What a capture command asks for: a dragged region, a window picked from a list, the whole
// display under the pointer, or the text of a dragged region.
enum class CaptureAction { region, window, display, text };

} // namespace tarn
