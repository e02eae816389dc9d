// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's work outside the window: recognition with the real recognizer, saving into a
// real library, and the outputs under their one guard.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include "app/editor/EditorFixture.h"
#include "app/editor/EditorTags.h"
#include "core/render/RasterRenderer.h"
#include "support/Await.h"
#include "support/LibraryTestSupport.h"

namespace tarn {
namespace {

using TestSupport::sha256;

class EditorModelWorkTest : public TestSupport::EditorFixture {
protected:
    static void settle(const std::function<bool()> &done) { ASSERT_TRUE(QTest::qWaitFor(done, 20000)); }

    CaptureItem reopened() const
    {
        LibraryRepository fresh(repository.root());
        for (const CaptureItem &stored : fresh.load().result())
            if (stored.id == item.id)
                return stored;
        throw std::runtime_error("the capture is gone");
    }
};

TEST(EditorTags, SplitTrimDropEmptiesKeepCanonicalDuplicatesOnceAndSortByScalars)
{
    const QString composed = QString::fromUtf8("\u00e9t\u00e9");     // é as one character
    const QString decomposed = QString::fromUtf8("e\u0301te\u0301"); // e + combining accent
    struct Case {
        QString text;
        std::vector<std::string> tags;
    };
    const Case cases[] = {
        {QStringLiteral("b,a,,  a  ,c"), {"a", "b", "c"}},
        {QString(), {}},
        {QStringLiteral(" , ,\n,\t"), {}},
        {QStringLiteral("Tag,tag, TAG"), {"TAG", "Tag", "tag"}},
        {QStringLiteral("\n업무\n, 회의 메모 ,업무"), {"업무", "회의 메모"}},
        {decomposed + QStringLiteral(",") + composed, {composed.toStdString()}},
        // U+1F600 is above U+FFFD as a scalar, below it as UTF-16 units.
        {QString::fromUtf8("\U0001F600,\uFFFD,z"), {"z", "\uFFFD", "\U0001F600"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(normalizedTags(c.text), c.tags) << c.text.toStdString();
}

TEST_F(EditorModelWorkTest, SavingStoresEditsTitleAndTagsAndLeavesTheOriginalUntouched)
{
    const QByteArray originalHash = sha256(original());
    auto model = makeModel();
    QSignalSpy saving(model.get(), &EditorModel::isSavingChanged);
    model->setTool(MarkupTool::badge);
    model->setBadgeRotation(135);
    model->add(model->makeAnnotation({UnitPoint(0.5, 0.5)}));
    model->setTool(MarkupTool::blur);
    model->add(model->makeAnnotation({UnitPoint(0.1, 0.1), UnitPoint(0.4, 0.3)}));
    model->crop(UnitRect(0.05, 0.05, 0.9, 0.8));
    EditDocument framed = model->document();
    framed.backdrop = Backdrop::peach;
    framed.padding = 96;
    model->commit(framed);
    model->setTitle(QStringLiteral("정리한 메모"));
    model->setTagsText(QStringLiteral("b,a,,  a  ,c"));
    ASSERT_TRUE(model->isDirty());

    TestSupport::await(model->save());
    EXPECT_EQ(saving.count(), 2);
    EXPECT_FALSE(model->isSaving());
    EXPECT_FALSE(model->isDirty());
    EXPECT_EQ(model->tagsText(), QStringLiteral("b,a,,  a  ,c")); // the field keeps what was typed
    EXPECT_EQ(model->message(), QStringLiteral("편집을 저장했습니다. 원본은 그대로 보존했습니다."));
    EXPECT_EQ(model->item().tags, (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(host.replaced.size(), 1u);
    EXPECT_EQ(host.replaced.back(), model->item());
    EXPECT_EQ(sha256(original()), originalHash);

    const CaptureItem stored = reopened();
    EXPECT_EQ(stored.edits, model->document());
    EXPECT_EQ(stored.title, "정리한 메모");
    EXPECT_EQ(stored.tags, (std::vector<std::string>{"a", "b", "c"}));
    auto again = makeModel(stored);
    EXPECT_EQ(again->document(), model->document());
    EXPECT_FALSE(again->isDirty());

    // A blank title keeps the stored one; the field keeps its blank and is saved as typed.
    model->setTitle(QStringLiteral("   "));
    TestSupport::await(model->save());
    EXPECT_EQ(model->item().title, "정리한 메모");
    EXPECT_EQ(model->title(), QStringLiteral("   "));
    EXPECT_FALSE(model->isDirty());
}

TEST_F(EditorModelWorkTest, AFailedSaveStaysDirtyAndARetrySucceeds)
{
    auto model = makeModel();
    model->add(model->makeAnnotation({UnitPoint(0.2, 0.2), UnitPoint(0.6, 0.6)}));
    const QString aside = original() + QStringLiteral(".aside");
    ASSERT_TRUE(QFile::rename(original(), aside)); // the store cannot read the original now

    QSignalSpy saving(model.get(), &EditorModel::isSavingChanged);
    TestSupport::occupy(repository);
    model->saveAction();
    ASSERT_TRUE(model->isSaving());
    model->saveAction(); // refused by the save itself while one runs
    settle([&] { return !model->isSaving(); });
    ASSERT_TRUE(model->errorMessage());
    EXPECT_FALSE(model->errorMessage()->isEmpty());
    EXPECT_TRUE(model->isDirty());
    EXPECT_TRUE(model->message().contains(QStringLiteral("저장하지 못했습니다"))) << model->message().toStdString();
    EXPECT_TRUE(host.replaced.empty());
    EXPECT_TRUE(reopened().edits.annotations.empty());
    EXPECT_EQ(saving.count(), 2);

    ASSERT_TRUE(QFile::rename(aside, original()));
    model->setErrorMessage(std::nullopt);
    TestSupport::occupy(repository);
    model->saveAction();
    model->setTitle(QStringLiteral("저장 중에 바꾼 제목")); // after the snapshot: stays unsaved
    settle([&] { return !model->isSaving(); });
    EXPECT_FALSE(model->errorMessage());
    EXPECT_EQ(reopened().edits, model->document());
    EXPECT_EQ(reopened().title, "회의 메모");
    EXPECT_TRUE(model->isDirty());
}

TEST_F(EditorModelWorkTest, RecognitionReadsTheOriginalOnceAndCopiesOnlyItsText)
{
    auto model = makeModel();
    model->setTitle(QStringLiteral("아직 저장하지 않은 제목"));
    model->crop(UnitRect(0, 0, 0.5, 0.5));
    QSignalSpy flags(model.get(), &EditorModel::isRecognizingChanged);
    model->recognizeText();
    model->recognizeText(); // a second request while one runs is ignored
    EXPECT_TRUE(model->isRecognizing());
    settle([&] { return !model->isRecognizing(); });
    EXPECT_EQ(flags.count(), 2);
    ASSERT_FALSE(model->errorMessage()) << model->errorMessage()->toStdString();

    const CaptureItem stored = reopened();
    ASSERT_GE(stored.textRegions.size(), 2u);
    EXPECT_EQ(model->message(),
              QString::number(stored.textRegions.size()) + QStringLiteral("개 텍스트 영역을 로컬에서 인식했습니다."));
    EXPECT_EQ(model->item().textRegions, stored.textRegions);
    EXPECT_EQ(model->item().recognizedText, stored.recognizedText);
    // The phone line lies outside the crop: the whole original was read.
    EXPECT_TRUE(std::any_of(stored.textRegions.begin(), stored.textRegions.end(), [](const TextRegion &line) {
        return line.rect.y > 0.5;
    })) << stored.recognizedText;
    EXPECT_EQ(model->item().title, "회의 메모"); // nothing else of the item changes
    EXPECT_EQ(model->title(), QStringLiteral("아직 저장하지 않은 제목"));
    EXPECT_TRUE(model->document().crop);
    ASSERT_EQ(host.replaced.size(), 1u);
    EXPECT_EQ(host.replaced.front().textRegions, stored.textRegions);

    // A picture the recognizer refuses: the error shows, the flag clears, nothing is stored.
    auto blank = std::make_unique<EditorModel>(item, QImage(), host);
    blank->recognizeText();
    settle([&] { return !blank->isRecognizing(); });
    EXPECT_TRUE(blank->errorMessage());
    EXPECT_EQ(blank->message(), EditorModel::initialMessage());
    EXPECT_EQ(host.replaced.size(), 1u);
}

TEST_F(EditorModelWorkTest, ARecognitionThatEndsAfterItsEditorIsGoneStillStoresItsText)
{
    auto model = makeModel();
    model->recognizeText();
    model.reset();
    settle([&] { return !host.replaced.empty(); });
    EXPECT_FALSE(reopened().textRegions.empty());
}

TEST_F(EditorModelWorkTest, SuggestionsAndVisibleTextLeaveOutCroppedAndMaskedLines)
{
    const TextRegion mail = TestSupport::region("kim.minji@example.com", UnitRect(0.1, 0.1, 0.3, 0.05));
    const TextRegion phone = TestSupport::region("010-2345-6789", UnitRect(0.1, 0.2, 0.3, 0.05));
    const TextRegion plain = TestSupport::region("회의 안건", UnitRect(0.1, 0.3, 0.3, 0.05));
    const TextRegion masked = TestSupport::region("pw: hunter2hunter2", UnitRect(0.1, 0.4, 0.3, 0.05));
    const TextRegion outside = TestSupport::region("other@example.com", UnitRect(0.7, 0.8, 0.2, 0.05));
    item.textRegions = {mail, phone, plain, masked, outside};
    item.edits.crop = UnitRect(0, 0, 0.6, 0.6);
    item.edits.annotations = {Annotation::redaction(masked), Annotation::redaction(outside)};
    auto model = makeModel();

    EXPECT_EQ(model->visibleText(), QStringLiteral("kim.minji@example.com\n010-2345-6789\n회의 안건"));
    const std::vector<PrivacySuggestion> found = model->suggestions();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].id(), mail.id);
    EXPECT_EQ(found[1].id(), phone.id);

    model->blurAll();
    EXPECT_EQ(model->blurCount(), 2);
    EXPECT_EQ(undoDepth(*model), 1);
    EXPECT_EQ(model->message(), QStringLiteral("2개 영역에 흐림을 적용했습니다."));
    EXPECT_EQ(model->visibleText(), QStringLiteral("회의 안건"));
    EXPECT_TRUE(model->suggestions().empty());
    model->setMessage(QStringLiteral("이전 메시지"));
    model->blurAll(); // nothing left to suggest
    EXPECT_EQ(undoDepth(*model), 1);
    EXPECT_EQ(model->message(), QStringLiteral("이전 메시지"));

    model->convertBlackMasksToBlur();
    EXPECT_EQ(model->blackMaskCount(), 0);
    EXPECT_EQ(model->blurCount(), 4);
    EXPECT_EQ(undoDepth(*model), 2);
    EXPECT_EQ(model->message(),
              QStringLiteral("2개 검정 마스킹을 흐림으로 변경했습니다. 실행 취소로 되돌릴 수 있습니다."));
    model->setMessage(QStringLiteral("이전 메시지"));
    model->convertBlackMasksToBlur(); // none left
    EXPECT_EQ(undoDepth(*model), 2);
    EXPECT_EQ(model->message(), QStringLiteral("이전 메시지"));

    model->undo();
    model->undo();
    EXPECT_EQ(model->document(), item.edits);
    EXPECT_EQ(model->history().current(), model->document());
}

TEST_F(EditorModelWorkTest, CopyExportAndPinShareOneGuardAndFlattenTheDocumentOfTheirStart)
{
    auto model = makeModel();
    model->setTool(MarkupTool::rectangle);
    model->add(model->makeAnnotation({UnitPoint(0.1, 0.1), UnitPoint(0.5, 0.5)}));
    const EditDocument atStart = model->document();
    const QImage expected = RasterRenderer::render(image, atStart);
    const size_t pinsBefore = floating.windows().size();

    model->exportImage();
    EXPECT_TRUE(model->isExporting());
    model->add(model->makeAnnotation({UnitPoint(0.6, 0.6), UnitPoint(0.9, 0.9)})); // too late for it
    model->copy();                                                                 // dropped while the export runs
    model->pin();
    settle([&] { return !host.exported.empty(); });
    model->setTitle(QStringLiteral("내보낼 제목"));
    EXPECT_TRUE(model->isExporting());
    host.finishExport();
    settle([&] { return !model->isExporting(); });
    EXPECT_EQ(host.exported.size(), 1u);
    EXPECT_EQ(host.exported.front().image, expected);
    EXPECT_EQ(host.exported.front().title, QStringLiteral("회의 메모")); // read when the export began
    EXPECT_EQ(host.copies, 0);
    EXPECT_EQ(floating.windows().size(), pinsBefore);
    EXPECT_EQ(model->message(), EditorModel::initialMessage()); // an export reports elsewhere

    model->copy();
    settle([&] { return !model->isExporting(); });
    EXPECT_EQ(host.copies, 1);
    EXPECT_EQ(model->message(), QStringLiteral("편집 결과를 복사했습니다. 원본 및 OCR 데이터는 포함하지 않았습니다."));
    const QImage pasted = QImage::fromData(QApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")));
    EXPECT_EQ(pasted.size(), RasterRenderer::render(image, model->document()).size());

    model->pin();
    settle([&] { return !model->isExporting(); });
    ASSERT_EQ(floating.windows().size(), pinsBefore + 1);
    EXPECT_TRUE(floating.windows().back()->windowTitle().endsWith(QStringLiteral("내보낼 제목")));
    floating.closePins();
}

TEST_F(EditorModelWorkTest, AFailingOutputShowsItsErrorAndFreesTheGuard)
{
    struct Case {
        const char *what;
        bool nullPicture;
        std::function<void(EditorModel &)> start;
        std::function<void()> during;
    };
    const Case cases[] = {
        {"a picture that cannot be flattened", true, [](EditorModel &m) { m.copy(); }, nullptr},
        {"the clipboard refuses", false,
         [&](EditorModel &m) {
             host.failCopy = true;
             m.copy();
         },
         nullptr},
        {"the export cannot be written", false, [](EditorModel &m) { m.exportImage(); },
         [&] {
             settle([&] { return host.exportGate != nullptr; });
             host.finishExport(std::make_exception_ptr(std::runtime_error("disk full")));
         }},
    };
    for (const Case &c : cases) {
        auto model = c.nullPicture ? std::make_unique<EditorModel>(item, QImage(), host) : makeModel();
        model->setMessage(QStringLiteral("이전 메시지"));
        c.start(*model);
        if (c.during)
            c.during();
        settle([&] { return !model->isExporting(); });
        EXPECT_TRUE(model->errorMessage()) << c.what;
        EXPECT_EQ(model->message(), QStringLiteral("이전 메시지")) << c.what;
        host.failCopy = false;
    }

    // A render that ends after its editor is gone hands nothing on (a large blurred picture, so
    // the render is still running when the editor goes).
    QImage large(3000, 2000, QImage::Format_RGB32);
    large.fill(Qt::darkCyan);
    item.edits.annotations = {Annotation::blurring(TestSupport::region("x", UnitRect(0, 0, 1, 1)))};
    auto model = makeModel(item, large);
    model->copy();
    ASSERT_TRUE(model->isExporting());
    model.reset();
    QTest::qWait(300);
    EXPECT_EQ(host.copies, 0);
}

} // namespace
} // namespace tarn
