// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/RecognitionLimit.h"

#include "core/base/RecognitionFailure.h"
#include "core/base/SerialExecutor.h"

namespace tarn {

bool RecognitionLimit::reached() const
{
    return (executor && executor->mustGiveWay()) || std::chrono::steady_clock::now() > deadline;
}

void RecognitionLimit::check() const
{
    if (executor && executor->mustGiveWay())
        throw SerialExecutor::GiveWay();
    if (std::chrono::steady_clock::now() > deadline)
        throw RecognitionFailure(RecognitionFailure::Case::tookTooLong);
}

} // namespace tarn
