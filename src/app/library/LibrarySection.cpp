// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibrarySection.h"

namespace tarn {

bool includes(LibrarySection section, const CaptureItem &item)
{
    const bool trashed = item.trashedAt.has_value();
    switch (section) {
    case LibrarySection::all:
        return !trashed;
    case LibrarySection::images:
        return !trashed && item.kind == CaptureKind::image;
    case LibrarySection::videos:
        return !trashed && item.kind == CaptureKind::video;
    case LibrarySection::favorites:
        return !trashed && item.isFavorite;
    case LibrarySection::trash:
        return trashed;
    }
    return false;
}

} // namespace tarn
