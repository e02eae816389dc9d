// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sections, sheets and capture actions are shared by the model and the library views, so
// they live with the views; this name stays for the code that includes them from here.
#include "app/library/LibrarySection.h"
