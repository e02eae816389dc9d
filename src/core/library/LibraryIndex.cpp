// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/LibraryIndex.h"

#include "core/base/JsonReader.h"

#include "core/base/LibraryFailure.h"
#include "core/library/LibraryPaths.h"

namespace tarn::LibraryIndex {

QByteArray encode(const std::vector<CaptureItem> &items)
{
    Json::Writer w;
    w.beginObject();
    Json::field(w, "items", items);
    Json::field(w, "version", currentVersion);
    w.endObject();
    const std::string &text = w.text();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::vector<CaptureItem> decode(const QByteArray &bytes, const QString &path)
{
    int64_t version = 0;
    std::vector<CaptureItem> items;
    try {
        Json::Document document;
        const Json::Value root = document.parse(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        Json::field(root, "version", version);
        Json::field(root, "items", items);
    } catch (const Json::ReadError &e) {
        throw LibraryFailure::corruptedIndex(e.describe(QStringLiteral("인덱스 파일(%1)").arg(path)));
    }

    if (version != currentVersion)
        throw LibraryFailure::unsupportedVersion(version);
    for (const CaptureItem &item : items) {
        LibraryPaths::validateFilename(item.filename);
        LibraryPaths::validateFilename(item.thumbnailFilename);
    }
    return items;
}

} // namespace tarn::LibraryIndex
