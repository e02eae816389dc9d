// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/RecognitionLanguages.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <utility>

namespace tarn {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 2> modelNames{{
    {"ko-KR", "kor"},
    {"en-US", "eng"},
}};

} // namespace

std::filesystem::path defaultTessdataDirectory()
{
    if (const char *prefix = std::getenv("TESSDATA_PREFIX"); prefix && *prefix)
        return prefix;
    return "/usr/share/tesseract-ocr/5/tessdata";
}

std::vector<std::string> installedRecognitionLanguages(const std::filesystem::path &tessdata)
{
    std::vector<std::string> installed;
    for (const auto &[tag, model] : modelNames) {
        std::error_code error;
        const auto file = tessdata / (std::string(model) + ".traineddata");
        if (std::filesystem::is_regular_file(file, error) && std::filesystem::file_size(file, error) > 0 && !error)
            installed.emplace_back(tag);
    }
    return installed;
}

std::vector<std::string> recognitionLanguages(const std::vector<std::string> &supported)
{
    std::vector<std::string> kept;
    for (const auto &language : preferredRecognitionLanguages)
        if (std::find(supported.begin(), supported.end(), language) != supported.end())
            kept.push_back(language);
    return kept;
}

std::string tesseractLanguages(const std::vector<std::string> &languages)
{
    std::string joined;
    for (const auto &language : languages)
        for (const auto &[tag, model] : modelNames)
            if (tag == language) {
                if (!joined.empty())
                    joined += '+';
                joined += model;
            }
    return joined;
}

} // namespace tarn
