// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as "library.json": the index reader either returns a library or throws a
// LibraryFailure with a message; it never crashes. A library it returns survives being written
// and read again unchanged.
#include <cstdint>
#include <cstdlib>

#include "core/base/LibraryFailure.h"
#include "core/library/LibraryIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("library.json");
    try {
        const std::vector<tarn::CaptureItem> items = tarn::LibraryIndex::decode(bytes, name);
        if (tarn::LibraryIndex::decode(tarn::LibraryIndex::encode(items), name) != items)
            std::abort();
    } catch (const tarn::LibraryFailure &failure) {
        if (failure.description().isEmpty())
            std::abort();
    }
    return 0;
}
