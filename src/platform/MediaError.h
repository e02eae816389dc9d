// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The error codes of the media libraries (FFmpeg), as the user reads them.
namespace tarn::MediaError {

// A short Korean clause for a negative FFmpeg status ("영상 파일이 아니거나 손상된 파일입니다");
// a code that names a system error says it as file errors do, and only a code we do not know
// keeps the library's own English words, after the Korean.
QString reason(int status);

} // namespace tarn::MediaError
