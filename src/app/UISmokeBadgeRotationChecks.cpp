// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppModel.h"
#include "app/UISmokeChecks.h"
#include "app/devmodes/SmokeDriver.h"

namespace tarn::UISmoke {

QCoro::Task<> badgeMouseRotationChecks(Run &) { co_return; }

} // namespace tarn::UISmoke
