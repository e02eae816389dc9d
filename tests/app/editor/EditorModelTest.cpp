// SPDX-License-Identifier: GPL-3.0-or-later
// The editor model's state and edit commands, driven without a window.
#include <cmath>
#include <functional>
#include <limits>

#include <QSignalSpy>

#include "app/editor/EditorFixture.h"

namespace tarn {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

Annotation mark(MarkupTool tool, int64_t number = 1)
{
    Annotation a;
    a.id = Uuid::random();
    a.tool = tool;
    a.points = {UnitPoint(0.1, 0.1), UnitPoint(0.3, 0.4)};
    a.weight = 5;
    a.number = number;
    if (tool == MarkupTool::badge)
        a.badgeStyle = BadgeStyle::heart;
    return a;
}

class EditorModelTest : public TestSupport::EditorFixture {
protected:
    // The invariant of every history command.
    static void expectCommitted(const EditorModel &model) { EXPECT_EQ(model.document(), model.history().current()); }
};

TEST_F(EditorModelTest, DirtyStateFollowsDocumentTitleAndTagsTextExactlyAsTyped)
{
    item.tags = {"a", "b"};
    auto model = makeModel();
    QSignalSpy dirtyChanges(model.get(), &EditorModel::isDirtyChanged);
    EXPECT_EQ(model->tagsText(), QStringLiteral("a, b"));
    EXPECT_EQ(model->title(), QStringLiteral("회의 메모"));
    EXPECT_EQ(model->tool(), MarkupTool::arrow);
    EXPECT_EQ(model->message(), QStringLiteral("원본을 보존하면서 편집합니다."));
    EXPECT_FALSE(model->isDirty());

    struct Step {
        const char *what;
        std::function<void(EditorModel &)> run;
        bool dirty;
    };
    const Step steps[] = {
        {"a blank after the last tag", [](EditorModel &m) { m.setTagsText(QStringLiteral("a, b ")); }, true},
        {"the blank deleted again", [](EditorModel &m) { m.setTagsText(QStringLiteral("a, b")); }, false},
        {"a new title", [](EditorModel &m) { m.setTitle(QStringLiteral("새 제목")); }, true},
        {"the title typed back", [](EditorModel &m) { m.setTitle(QStringLiteral("회의 메모")); }, false},
        {"a mark added", [](EditorModel &m) { m.add(mark(MarkupTool::arrow)); }, true},
        {"undone back to the saved document", [](EditorModel &m) { m.undo(); }, false},
        {"redone", [](EditorModel &m) { m.redo(); }, true},
        {"undone once more", [](EditorModel &m) { m.undo(); }, false},
    };
    for (const Step &step : steps) {
        step.run(*model);
        EXPECT_EQ(model->isDirty(), step.dirty) << step.what;
        expectCommitted(*model);
    }
    EXPECT_EQ(dirtyChanges.count(), 8);
}

TEST_F(EditorModelTest, NewMarksNumberOnFromTheLargestNumberMarkWithoutOverflow)
{
    constexpr int64_t largest = std::numeric_limits<int64_t>::max();
    struct Case {
        std::vector<std::pair<MarkupTool, int64_t>> present;
        int64_t next;
    };
    const Case cases[] = {
        {{}, 1},
        {{{MarkupTool::number, 1}, {MarkupTool::number, 5}, {MarkupTool::number, 3}}, 6}, // gaps stay
        {{{MarkupTool::arrow, 40}, {MarkupTool::number, 2}}, 3},                          // only numbers count
        {{{MarkupTool::number, largest}}, largest},                                       // saturates
    };
    for (const Case &c : cases) {
        item.edits.annotations.clear();
        for (const auto &[tool, number] : c.present)
            item.edits.annotations.push_back(mark(tool, number));
        auto model = makeModel();
        model->setTool(MarkupTool::pen); // every new mark takes the number, whatever its tool
        EXPECT_EQ(model->makeAnnotation({}).number, c.next);
    }
}

TEST_F(EditorModelTest, NewMarksTakeTheCurrentSettingsAndChangeNothing)
{
    struct Case {
        MarkupTool tool;
        QString text;
        double rotation;
        std::string madeText;
        std::optional<BadgeStyle> style;
        std::optional<double> madeRotation;
    };
    const Case cases[] = {
        {MarkupTool::text, QString(), 0, "텍스트", {}, {}}, // empty text: the default word
        {MarkupTool::text, QStringLiteral(" "), 0, " ", {}, {}},
        {MarkupTool::badge, QStringLiteral("x"), 0, "x", BadgeStyle::warning, {}}, // 0 is stored as none
        {MarkupTool::badge, QStringLiteral("x"), 45, "x", BadgeStyle::warning, 45.0},
        {MarkupTool::badge, QStringLiteral("x"), nan, "x", BadgeStyle::warning, {}},
        {MarkupTool::rectangle, QStringLiteral("x"), 45, "x", {}, {}},
    };
    for (const Case &c : cases) {
        auto model = makeModel();
        model->setTool(c.tool);
        model->setAnnotationText(c.text);
        model->setBadgeStyle(BadgeStyle::warning);
        model->setBadgeRotation(c.rotation);
        model->setColor(MarkupColor::mint);
        model->setWeight(8);
        const Annotation made = model->makeAnnotation({UnitPoint(0.2, 0.2)});
        EXPECT_EQ(model->document(), item.edits);
        EXPECT_EQ(made.tool, c.tool);
        EXPECT_EQ(made.text, c.madeText);
        EXPECT_EQ(made.badgeStyle, c.style);
        EXPECT_EQ(made.badgeRotation, c.madeRotation);
        EXPECT_EQ(made.color, MarkupColor::mint);
        EXPECT_EQ(made.weight, 8);
    }
}

TEST_F(EditorModelTest, EachCommandIsOneUndoStepOrNoneWhenItChangesNothing)
{
    const Annotation kept = mark(MarkupTool::rectangle);
    const Annotation other = mark(MarkupTool::number, 1);
    item.edits.annotations = {kept, other};
    struct Case {
        const char *what;
        std::function<void(EditorModel &)> run;
        int steps;
        std::function<void(const EditorModel &)> check;
    };
    const Case cases[] = {
        {"add selects the new mark", [](EditorModel &m) { m.add(mark(MarkupTool::pen)); }, 1,
         [](const EditorModel &m) {
             EXPECT_EQ(m.document().annotations.size(), 3u);
             EXPECT_EQ(m.selectedAnnotationID(), m.document().annotations.back().id);
         }},
        {"removing an unknown mark", [](EditorModel &m) { m.remove(Uuid::random()); }, 0,
         [](const EditorModel &m) { EXPECT_EQ(m.document().annotations.size(), 2u); }},
        {"removing the selected mark clears the selection",
         [&](EditorModel &m) {
             m.setSelectedAnnotationID(kept.id);
             m.remove(kept.id);
         },
         1,
         [&](const EditorModel &m) {
             EXPECT_FALSE(m.selectedAnnotationID());
             EXPECT_EQ(m.document().annotations, std::vector<Annotation>{other});
         }},
        {"a crop without width", [](EditorModel &m) { m.crop(UnitRect(0.2, 0.2, 0, 0.5)); }, 0,
         [](const EditorModel &m) {
             EXPECT_FALSE(m.document().crop);
             EXPECT_EQ(m.tool(), MarkupTool::arrow);
         }},
        {"a crop switches to select, zoom 1 and a new canvas token",
         [](EditorModel &m) {
             m.setZoom(2.5);
             m.setSelectedAnnotationID(m.document().annotations.front().id);
             m.crop(UnitRect(0.2, 0.2, 0.5, 0.5));
         },
         1,
         [&](const EditorModel &m) {
             EXPECT_EQ(m.document().crop, UnitRect(0.2, 0.2, 0.5, 0.5));
             EXPECT_EQ(m.tool(), MarkupTool::select);
             EXPECT_EQ(m.zoom(), 1);
             EXPECT_EQ(m.selectedAnnotationID(), kept.id); // set directly: the selection stays
         }},
        {"the crop tool removes a crop as one step",
         [](EditorModel &m) {
             m.crop(UnitRect(0.2, 0.2, 0.5, 0.5));
             m.selectTool(MarkupTool::crop);
         },
         2, [](const EditorModel &m) { EXPECT_FALSE(m.document().crop); }},
        {"the crop tool without a crop", [](EditorModel &m) { m.selectTool(MarkupTool::crop); }, 0,
         [](const EditorModel &m) { EXPECT_EQ(m.tool(), MarkupTool::crop); }},
        {"a shape tool becomes the chosen shape and clears the selection",
         [&](EditorModel &m) {
             m.setSelectedAnnotationID(kept.id);
             m.selectTool(MarkupTool::ellipse);
         },
         0,
         [](const EditorModel &m) {
             EXPECT_EQ(m.selectedShape(), MarkupTool::ellipse);
             EXPECT_FALSE(m.selectedAnnotationID());
         }},
        {"a frame setting through the commit pattern",
         [](EditorModel &m) {
             EditDocument changed = m.document();
             changed.backdrop = Backdrop::aurora;
             m.commit(changed);
             m.commit(changed);
         },
         1, [](const EditorModel &m) { EXPECT_EQ(m.document().backdrop, Backdrop::aurora); }},
    };
    for (const Case &c : cases) {
        auto model = makeModel();
        QSignalSpy resets(model.get(), &EditorModel::canvasResetChanged);
        c.run(*model);
        EXPECT_EQ(undoDepth(*model), c.steps) << c.what;
        if (c.check)
            c.check(*model);
        expectCommitted(*model);
        if (model->document().crop) {
            EXPECT_EQ(resets.count(), 1) << c.what;
        }
    }

    // Undo brings a removed crop back; it does not touch the zoom.
    auto model = makeModel();
    model->crop(UnitRect(0.1, 0.1, 0.5, 0.5));
    model->selectTool(MarkupTool::crop);
    model->setZoom(3);
    model->undo();
    EXPECT_EQ(model->document().crop, UnitRect(0.1, 0.1, 0.5, 0.5));
    EXPECT_EQ(model->zoom(), 3);
    expectCommitted(*model);
}

TEST_F(EditorModelTest, PreviewsClampTheirValuesAndBecomeOneStepWhenFinished)
{
    Annotation badge = mark(MarkupTool::badge);
    badge.badgeRotation = 30;
    Annotation pen = mark(MarkupTool::pen);
    item.edits.annotations = {badge, pen};

    struct Case {
        const char *what;
        MarkupTool tool;
        std::optional<Uuid> selection;
        double weight;
        double expectedWeight;
        double rotation;
        double expectedRotation;
    };
    const Case cases[] = {
        {"weight below the range", MarkupTool::arrow, {}, 0, 1, 0, 0},
        {"weight above the range", MarkupTool::pen, {}, 30, 24, 0, 0},
        {"rotation below the range", MarkupTool::badge, {}, 12, 5, -10, 0},
        {"weight that is no number", MarkupTool::line, {}, nan, 5, 0, 0},
        {"the text tool has no weight", MarkupTool::text, {}, 12, 5, 0, 0},
        {"rotation above the range", MarkupTool::badge, {}, 12, 5, 400, 360},
        {"rotation that is no number", MarkupTool::badge, {}, 12, 5, nan, 0},
        {"only a badge turns", MarkupTool::arrow, {}, 12, 12, 90, 0},
        {"a selected pen takes the weight while the text tool is current", MarkupTool::text, pen.id, 9, 9, 90, 0},
        {"a selected badge turns while the arrow tool is current", MarkupTool::arrow, badge.id, 9, 5, 120, 120},
    };
    for (const Case &c : cases) {
        auto model = makeModel();
        model->setTool(c.tool);
        model->setSelectedAnnotationID(c.selection);
        model->previewStrokeWeight(c.weight);
        model->previewBadgeRotation(c.rotation);
        EXPECT_EQ(model->weight(), c.expectedWeight) << c.what;
        EXPECT_EQ(model->badgeRotation(), c.expectedRotation) << c.what;
        EXPECT_EQ(undoDepth(*model), 0) << c.what;
        EXPECT_EQ(model->history().current(), item.edits) << c.what;
        const bool changed = model->document() != item.edits;
        model->finishControlEdit();
        EXPECT_EQ(undoDepth(*model), changed ? 1 : 0) << c.what;
        expectCommitted(*model);
    }

    // A run of previews on a selected badge is one step; a preview to 0 stores no rotation.
    auto model = makeModel();
    model->setSelectedAnnotationID(badge.id);
    for (double degrees : {45.0, 90.0, 0.0})
        model->previewBadgeRotation(degrees);
    EXPECT_FALSE(model->document().annotations.front().badgeRotation);
    model->previewBadgeRotation(225);
    model->finishControlEdit();
    EXPECT_EQ(model->document().annotations.front().badgeRotation, 225.0);
    EXPECT_EQ(undoDepth(*model), 1);
    model->undo();
    EXPECT_EQ(model->document(), item.edits);
}

TEST_F(EditorModelTest, ACancelledRotationRestoresExactlyWithoutAStep)
{
    Annotation turned = mark(MarkupTool::badge);
    turned.badgeRotation = 30;
    const Annotation upright = mark(MarkupTool::badge);
    item.edits.annotations = {turned, upright};
    for (const Annotation &badge : {turned, upright}) {
        auto model = makeModel();
        model->setSelectedAnnotationID(badge.id);
        const double defaultRotation = model->badgeRotation();
        for (double degrees : {100.0, 200.0, 315.0})
            model->previewBadgeRotation(degrees);
        EXPECT_NE(model->document(), model->history().current());
        model->cancelBadgeRotationEdit(badge.id, badge.badgeRotation, defaultRotation);
        EXPECT_EQ(model->document(), item.edits);
        EXPECT_EQ(model->badgeRotation(), defaultRotation);
        EXPECT_EQ(undoDepth(*model), 0);
        expectCommitted(*model);
    }
}

TEST_F(EditorModelTest, DerivedValuesFollowTheSelectionAndSurviveDamagedNumbers)
{
    Annotation badge = mark(MarkupTool::badge);
    badge.badgeStyle.reset();
    badge.badgeRotation = nan;
    Annotation hot = mark(MarkupTool::badge);
    hot.badgeRotation = inf;
    Annotation pen = mark(MarkupTool::pen);
    pen.weight = nan;
    Annotation wide = mark(MarkupTool::arrow);
    wide.weight = 40; // shown as stored
    item.edits.annotations = {
        badge, hot, pen, wide, mark(MarkupTool::blur), mark(MarkupTool::redact), mark(MarkupTool::redact)};
    auto model = makeModel();
    model->setTool(MarkupTool::text);
    model->setWeight(7);
    model->setBadgeStyle(BadgeStyle::cross);
    model->setBadgeRotation(500);

    struct Case {
        std::optional<Uuid> selection;
        MarkupTool active;
        BadgeStyle style;
        double rotation;
        double weight;
    };
    const Case cases[] = {
        {{}, MarkupTool::text, BadgeStyle::cross, 360, 7},
        {badge.id, MarkupTool::badge, BadgeStyle::check, 0, 7},
        {hot.id, MarkupTool::badge, BadgeStyle::heart, 0, 7},
        {pen.id, MarkupTool::pen, BadgeStyle::cross, 360, 5},
        {wide.id, MarkupTool::arrow, BadgeStyle::cross, 360, 40},
        {Uuid::random(), MarkupTool::text, BadgeStyle::cross, 360, 7},
    };
    for (const Case &c : cases) {
        model->setSelectedAnnotationID(c.selection);
        EXPECT_EQ(model->activeAnnotationTool(), c.active);
        EXPECT_EQ(model->currentBadgeStyle(), c.style);
        EXPECT_EQ(model->currentBadgeRotation(), c.rotation);
        EXPECT_EQ(model->currentStrokeWeight(), c.weight);
    }
    EXPECT_EQ(model->blurCount(), 1);
    EXPECT_EQ(model->blackMaskCount(), 2);

    // Choosing a style prepares the next badge with the selected badge's rotation (guarded).
    model->setSelectedAnnotationID(hot.id);
    model->selectBadge(BadgeStyle::question);
    EXPECT_EQ(model->badgeRotation(), 0);
    EXPECT_EQ(model->tool(), MarkupTool::badge);
    EXPECT_EQ(model->document().annotations[1].badgeStyle, BadgeStyle::heart); // the selected badge keeps its own
}

TEST_F(EditorModelTest, UndoAndRedoResetToTheHistoryAndTheEightyFirstStepDropsTheOldest)
{
    auto model = makeModel();
    model->setSelectedAnnotationID(Uuid::random());
    model->undo(); // nothing to undo: the selection still goes
    EXPECT_FALSE(model->selectedAnnotationID());
    EXPECT_EQ(undoDepth(*model), 0);

    model->setTool(MarkupTool::arrow);
    for (int i = 0; i < 81; ++i) {
        model->add(model->makeAnnotation({UnitPoint(0.01 * i, 0.5)}));
        expectCommitted(*model);
    }
    EXPECT_EQ(undoDepth(*model), 80);
    for (int i = 0; i < 80; ++i)
        model->undo();
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(model->document().annotations.size(), 1u); // the first addition is kept for good
    model->undo();
    EXPECT_EQ(model->document().annotations.size(), 1u);
    model->redo();
    EXPECT_EQ(model->document().annotations.size(), 2u);

    // An uncommitted preview is dropped by the next undo or redo.
    model->setSelectedAnnotationID(model->document().annotations.front().id);
    model->previewStrokeWeight(20);
    EXPECT_NE(model->document(), model->history().current());
    model->redo();
    model->undo();
    model->redo();
    expectCommitted(*model);
    EXPECT_EQ(model->document().annotations.front().weight, 5);
}

} // namespace
} // namespace tarn
