// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppModel.h"
#include "app/UISmokeChecks.h"
#include "app/devmodes/SmokeDriver.h"

namespace tarn::UISmoke {

QCoro::Task<> trashAndRestoreCheck(Run &) { co_return; }

QCoro::Task<> bulkSelectionChecks(Run &) { co_return; }

QCoro::Task<> sheetAndBadgeExportChecks(Run &) { co_return; }

} // namespace tarn::UISmoke
