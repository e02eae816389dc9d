// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include <QPainter>

#include "core/render/BlurRenderer.h"
#include "core/render/DraftRenderer.h"
#include "core/render/RasterRenderer.h"
#include "support/RenderFixtures.h"

namespace tarn {
namespace {

using RenderFixtures::mark;

// A canvas-like frame: the render scaled by `zoom` into a picture of `ratio` device pixels per
// point.
struct Screen {
    double ratio, zoom;
};

QImage paintFrame(const Screen &screen, const std::function<void(QPainter &)> &draw)
{
    QImage frame((QSizeF(1600, 900) * screen.zoom * screen.ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(screen.ratio);
    frame.fill(Qt::black);
    QPainter painter(&frame);
    painter.scale(screen.zoom, screen.zoom);
    draw(painter);
    return frame;
}

// Each draft grows along its path, as while dragging, and is drawn on every step both kept and
// afresh. The blur reaches about 82 pixels of this 1600 x 900 capture.
TEST(DraftRenderer, DraftsOverBlurPatchesMatchAFullRenderAndReblurOnlyWhatTheyReach)
{
    const QImage source = RenderFixtures::capture(1600, 900, false);
    EditDocument document;
    document.annotations = {mark(MarkupTool::blur, {{0.1, 0.6}, {0.4, 0.9}}),
                            mark(MarkupTool::ellipse, {{0.2, 0.7}, {0.3, 0.8}}, MarkupColor::mint),
                            mark(MarkupTool::blur, {{0.6, 0.1}, {0.9, 0.4}}),
                            mark(MarkupTool::redact, {{0.65, 0.15}, {0.7, 0.2}})};
    struct Row {
        const char *name;
        MarkupTool tool;
        std::vector<UnitPoint> path; // the first point, then where the pointer goes
        bool reblurs;
    };
    const Row rows[] = {
        {"rectangle crossing a patch and leaving it",
         MarkupTool::rectangle,
         {{0.05, 0.5}, {0.2, 0.7}, {0.35, 0.95}, {0.45, 0.95}, {0.08, 0.52}},
         true},
        {"pen through both patches",
         MarkupTool::pen,
         {{0.05, 0.95}, {0.3, 0.7}, {0.5, 0.5}, {0.7, 0.3}, {0.95, 0.05}},
         true},
        {"line near a patch, never in it", MarkupTool::line, {{0.1, 0.55}, {0.25, 0.56}, {0.4, 0.55}}, true},
        {"highlight over a patch's corner", MarkupTool::highlight, {{0.5, 0.3}, {0.62, 0.38}, {0.55, 0.45}}, true},
        {"arrow far from both", MarkupTool::arrow, {{0.46, 0.05}, {0.5, 0.2}, {0.48, 0.3}}, false},
        {"blur patch being drawn", MarkupTool::blur, {{0.45, 0.45}, {0.7, 0.7}}, false},
    };
    const Screen screens[] = {{1, 0.55}, {2, 0.55}, {1, 0.2}};
    for (const Row &row : rows) {
        std::vector<DraftRenderer> kept(std::size(screens));
        size_t partsBefore = DraftRenderer::partsBlurred();
        for (size_t step = 1; step < row.path.size(); ++step) {
            Annotation draft = mark(row.tool, {row.path.front(), row.path[step]});
            if (row.tool == MarkupTool::pen)
                draft.points.assign(row.path.begin(), row.path.begin() + step + 1);
            EditDocument withDraft = document;
            withDraft.annotations.push_back(draft);
            for (size_t s = 0; s < std::size(screens); ++s) {
                const size_t copies = BlurRenderer::copiesMade();
                const QImage incremental =
                    paintFrame(screens[s], [&](QPainter &p) { kept[s].draw(source, document, draft, p); });
                if (step > 1) { // the first keeps the document's copy, which the cache may have let go
                    EXPECT_EQ(BlurRenderer::copiesMade(), copies) << row.name << " step " << step;
                }
                const QImage full =
                    paintFrame(screens[s], [&](QPainter &p) { RasterRenderer::draw(source, withDraft, p); });
                EXPECT_TRUE(incremental == full)
                    << row.name << " step " << step << " ratio " << screens[s].ratio << " zoom " << screens[s].zoom;
            }
        }
        EXPECT_EQ(DraftRenderer::partsBlurred() > partsBefore, row.reblurs) << row.name;
    }
}

} // namespace
} // namespace tarn
