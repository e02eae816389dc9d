// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared inputs of the rendering tests and benchmarks: a screenshot-like capture and marks
// built from unit coordinates.
#include <cstdint>
#include <string>
#include <vector>

#include <QColorSpace>
#include <QImage>
#include <QPainter>

#include "core/model/Annotation.h"
#include "core/render/Fonts.h"

namespace tarn::RenderFixtures {

inline Annotation mark(MarkupTool tool, std::vector<UnitPoint> points, MarkupColor color = MarkupColor::coral,
                       double weight = 4)
{
    Annotation a;
    a.id = Uuid::random();
    a.tool = tool;
    a.points = std::move(points);
    a.color = color;
    a.weight = weight;
    a.number = 1;
    return a;
}

// A desktop-like picture: a gradient wallpaper, windows with title bars, text lines and
// coloured panels; with `withText` false no fonts are needed.
inline QImage capture(int width, int height, bool withText = true)
{
    QImage image(width, height, QImage::Format_RGBA8888_Premultiplied);
    image.setColorSpace(QColorSpace::SRgb);
    QPainter p(&image);
    QLinearGradient wallpaper(0, 0, width, height);
    wallpaper.setColorAt(0, QColor(36, 52, 88));
    wallpaper.setColorAt(1, QColor(120, 64, 96));
    p.fillRect(image.rect(), wallpaper);
    const double u = width / 1600.0;
    for (int w = 0; w < 3; ++w) {
        const QRectF win(width * (0.05 + 0.31 * w), height * (0.08 + 0.1 * w), width * 0.28, height * 0.6);
        p.fillRect(win, QColor(248, 248, 250));
        p.fillRect(QRectF(win.topLeft(), QSizeF(win.width(), 28 * u)), QColor(60, 64, 72));
        for (int line = 0; line < 12; ++line) {
            const QRectF row(win.left() + 16 * u, win.top() + (44 + 30 * line) * u,
                             win.width() * (0.5 + 0.04 * ((line * 7 + w) % 10)), 14 * u);
            if (withText) {
                p.setPen(QColor(30, 30, 34));
                p.setFont(Fonts::font(int(16 * u)));
                p.drawText(row.adjusted(0, -4 * u, 0, 6 * u), Qt::AlignLeft | Qt::AlignVCenter,
                           QStringLiteral("캡처 노트 %1: Quarterly report, invoice #%2 ✓")
                               .arg(line + 1)
                               .arg(4200 + 17 * line + w));
            } else {
                p.fillRect(row, QColor(90 + 10 * line, 90, 110));
            }
        }
        p.fillRect(QRectF(win.left() + 16 * u, win.bottom() - 120 * u, 200 * u, 90 * u),
                   QColor::fromHsv((w * 97) % 360, 160, 220));
    }
    return image;
}

} // namespace tarn::RenderFixtures
