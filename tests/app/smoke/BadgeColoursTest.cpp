// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the badges in a written palette sheet: the real sheets show every style, a blank one
// and one that lost a style's colour name the first missing style.
#include <functional>

#include <gtest/gtest.h>

#include "app/smoke/BadgeColours.h"
#include "core/image/ImageCodec.h"
#include "core/render/BadgeRenderer.h"

namespace tarn {
namespace {

// The sheet with every pixel of the style's colour painted white.
QImage withoutColourOf(QImage sheet, BadgeStyle style)
{
    sheet = sheet.convertToFormat(QImage::Format_ARGB32);
    const QRgb colour = qColor(style).rgb();
    for (int y = 0; y < sheet.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(sheet.scanLine(y));
        for (int x = 0; x < sheet.width(); ++x)
            if (line[x] == colour)
                line[x] = qRgb(255, 255, 255);
    }
    return sheet;
}

TEST(BadgeColours, NamesTheFirstStyleASheetDoesNotShow)
{
    const QImage palette = BadgeRenderer::previewImage(false);
    const QImage rotations = BadgeRenderer::previewImage(true);
    QImage blank(palette.size(), QImage::Format_ARGB32);
    blank.fill(palette.pixel(0, 0));
    struct Row {
        const char *name;
        QImage sheet;
        std::optional<BadgeStyle> missing;
    };
    const std::vector<Row> rows = {
        {"the palette through PNG", ImageCodec::read(ImageCodec::encode(palette, ExportFormat::png, 0.92)),
         std::nullopt},
        {"the rotation sheet", rotations, std::nullopt},
        {"a blank sheet", blank, allCases<BadgeStyle>().front()},
        {"the palette without its heart", withoutColourOf(palette, BadgeStyle::heart), BadgeStyle::heart},
        {"the rotation sheet without its warning", withoutColourOf(rotations, BadgeStyle::warning),
         BadgeStyle::warning},
    };
    for (const Row &row : rows)
        EXPECT_EQ(UISmoke::missingBadgeColour(row.sheet), row.missing) << row.name;
}

} // namespace
} // namespace tarn
