#pragma once

#include <QString>

namespace tarn::DisplayFormat {

// A duration as "mm:ss", or "h:mm:ss" from one hour on; fractions of a second are dropped,
// negative values count as 0 and values that are not finite give "00:00".
QString duration(double seconds);

} // namespace tarn::DisplayFormat
