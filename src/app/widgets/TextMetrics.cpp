// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/TextMetrics.h"

#include <unordered_map>

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QTextLayout>
#include <QtMath>

namespace tarn::TextMetrics {

int lineHeight(const QFont &font)
{
    static std::unordered_map<QString, int> measured; // views ask for it in every paint
    const QString key = font.key();
    if (const auto found = measured.find(key); found != measured.end())
        return found->second;
    QTextLayout layout(QStringLiteral("가Ag"), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const int height = std::max(QFontMetrics(font).height(), qCeil(line.height()));
    measured.emplace(key, height);
    return height;
}

int width(const QFont &font, const QString &text)
{
    const QFontMetricsF metrics(font);
    return qCeil(std::max(metrics.horizontalAdvance(text), metrics.tightBoundingRect(text).right()));
}

} // namespace tarn::TextMetrics
