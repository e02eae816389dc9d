#include "core/LibraryIndex.h"

#include "core/LibraryFailure.h"
#include "core/LibraryPaths.h"

namespace tarn::libraryIndex {

QByteArray encode(const std::vector<CaptureItem> &items)
{
    json::Writer w;
    w.beginObject();
    json::field(w, "items", items);
    json::field(w, "version", currentVersion);
    w.endObject();
    const std::string &text = w.text();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::vector<CaptureItem> decode(const QByteArray &bytes)
{
    json::Json document;
    try {
        document = json::Json::parse(bytes.constData(), bytes.constData() + bytes.size());
    } catch (const json::Json::parse_error &e) {
        throw LibraryFailure::corruptedIndex(
            QStringLiteral("JSON 구문이 올바르지 않습니다(%1번째 바이트).").arg(e.byte));
    } catch (const json::Json::exception &e) {
        throw LibraryFailure::corruptedIndex(QStringLiteral("JSON 값을 읽을 수 없습니다: ") + QString::fromUtf8(e.what()));
    }

    int64_t version = 0;
    std::vector<CaptureItem> items;
    try {
        json::field(document, "version", version);
        json::field(document, "items", items);
    } catch (const json::ReadError &e) {
        throw LibraryFailure::corruptedIndex(QStringLiteral("형식이 맞지 않는 값이 있습니다: ")
                                             + QString::fromUtf8(e.what()));
    }

    if (version != currentVersion)
        throw LibraryFailure::unsupportedVersion(version);
    for (const CaptureItem &item : items) {
        libraryPaths::validateFilename(item.filename);
        libraryPaths::validateFilename(item.thumbnailFilename);
    }
    return items;
}

} // namespace tarn::libraryIndex
