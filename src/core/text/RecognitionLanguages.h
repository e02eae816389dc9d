// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarn {

// The recognition languages asked for, in order of preference.
inline const std::vector<std::string> preferredRecognitionLanguages{"ko-KR", "en-US"};

// The tessdata folder: $TESSDATA_PREFIX when set, otherwise the one Debian's packages fill.
std::filesystem::path defaultTessdataDirectory();

// The languages whose model is installed in `tessdata`, as language tags ("ko-KR" for
// kor.traineddata, "en-US" for eng.traineddata); models of other languages are not listed.
std::vector<std::string> installedRecognitionLanguages(const std::filesystem::path &tessdata);

// The preferred languages that occur in `supported` (exact comparison), in preference order.
std::vector<std::string> recognitionLanguages(const std::vector<std::string> &supported);

// The engine's language argument for language tags: {"ko-KR", "en-US"} gives "kor+eng".
std::string tesseractLanguages(const std::vector<std::string> &languages);

} // namespace tarn
