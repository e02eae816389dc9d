// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>

#include <QString>

#include "core/base/EnumNames.h"
#include "core/model/CaptureItem.h"

namespace tarn {

// The sidebar sections of the library. The raw value (the case name) is also the identity.
enum class LibrarySection { all, images, videos, favorites, trash };

template <> struct EnumNames<LibrarySection> {
    static constexpr std::array values{
        std::pair{LibrarySection::all, std::string_view("all")},
        std::pair{LibrarySection::images, std::string_view("images")},
        std::pair{LibrarySection::videos, std::string_view("videos")},
        std::pair{LibrarySection::favorites, std::string_view("favorites")},
        std::pair{LibrarySection::trash, std::string_view("trash")},
    };
};

// Only the trash shows trashed items, and it shows every one of them.
bool includes(LibrarySection section, const CaptureItem &item);

// The sheets that can be presented over the library window.
enum class AppSheet { settings, permissions, recording, windows, shortcuts };

template <> struct EnumNames<AppSheet> {
    static constexpr std::array values{
        std::pair{AppSheet::settings, std::string_view("settings")},
        std::pair{AppSheet::permissions, std::string_view("permissions")},
        std::pair{AppSheet::recording, std::string_view("recording")},
        std::pair{AppSheet::windows, std::string_view("windows")},
        std::pair{AppSheet::shortcuts, std::string_view("shortcuts")},
    };
};

} // namespace tarn
