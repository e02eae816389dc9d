// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QImage>

#include "core/model/Markup.h"

namespace tarn::UISmoke {

// The first badge style, in declaration order, whose colour the picture does not show over a
// solid area (a badge's tag is one); none when every badge's colour is there. Finds the badges
// of a written palette sheet without knowing where they were drawn.
std::optional<BadgeStyle> missingBadgeColour(const QImage &picture);

} // namespace tarn::UISmoke
