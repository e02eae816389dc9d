// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace tarn {

class AppModel;
class LibraryView;

// The library window's content for the model: a LibraryView that shows the model's published
// state as it changes and turns what the user asks for into the model's commands. The view
// lives as long as its parent; the model outlives it.
LibraryView *makeLibraryView(AppModel &app, QWidget *parent = nullptr);

} // namespace tarn
