// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/Date.h"
#include "core/base/Uuid.h"
#include "core/model/EditDocument.h"
#include "core/model/TextRegion.h"

namespace tarn {

enum class CaptureKind { image, video };

template <> struct EnumNames<CaptureKind> {
    static constexpr std::array values{
        std::pair{CaptureKind::image, std::string_view("image")},
        std::pair{CaptureKind::video, std::string_view("video")},
    };
};

// One library entry. Equality and hashing cover every field, not only the identifier.
struct CaptureItem {
    Uuid id;
    std::string title;
    Date createdAt;
    CaptureKind kind = CaptureKind::image;
    std::string filename;
    std::string thumbnailFilename;
    int64_t width = 0;
    int64_t height = 0;
    int64_t byteCount = 0;
    std::optional<double> duration;
    bool isFavorite = false;
    std::vector<std::string> tags;
    std::string recognizedText;
    std::vector<TextRegion> textRegions;
    EditDocument edits;
    bool isSample = false;
    std::optional<Date> trashedAt;
    std::optional<double> captureMilliseconds;

    // Title, recognized text and every tag, joined with single blanks.
    std::string searchableText() const;

    friend bool operator==(const CaptureItem &, const CaptureItem &) = default;
};

void write(Json::Writer &w, const CaptureItem &value);
void read(Json::Value j, CaptureItem &out);

} // namespace tarn

template <> struct std::hash<tarn::CaptureItem> {
    size_t operator()(const tarn::CaptureItem &item) const noexcept;
};
