// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorTags.h"

#include <algorithm>

#include <QStringList>

namespace tarn {

QString joinedTags(const std::vector<std::string> &tags)
{
    QStringList pieces;
    for (const std::string &tag : tags)
        pieces.append(QString::fromStdString(tag));
    return pieces.join(QStringLiteral(", "));
}

// QString's own ordering compares UTF-16 units, which puts characters beyond U+FFFF before
// U+E000...U+FFFF; comparing the scalar values keeps the order of the code points.
std::vector<std::string> normalizedTags(const QString &text)
{
    std::vector<QString> kept;
    for (const QString &piece : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString tag = piece.trimmed().normalized(QString::NormalizationForm_C);
        if (!tag.isEmpty() && std::find(kept.begin(), kept.end(), tag) == kept.end())
            kept.push_back(tag);
    }
    std::sort(kept.begin(), kept.end(), [](const QString &a, const QString &b) {
        const QList<uint> left = a.toUcs4();
        const QList<uint> right = b.toUcs4();
        return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
    });
    std::vector<std::string> tags;
    tags.reserve(kept.size());
    for (const QString &tag : kept)
        tags.push_back(tag.toStdString());
    return tags;
}

} // namespace tarn
