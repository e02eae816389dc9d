// SPDX-License-Identifier: GPL-3.0-or-later
// Opening items and importing files through the real store, codec, video reader and panel.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/editor/EditorModel.h"
#include "app/editor/EditorWindowController.h"
#include "app/flows/FileDialogs.h"
#include "app/model/AppModel.h"
#include "app/widgets/ErrorDescription.h"
#include "core/image/ImageCodec.h"
#include "platform/VideoInfo.h"
#include "support/Await.h"
#include "support/FileDialogAnswer.h"
#include "support/MovieWriter.h"

#include <sys/stat.h>

namespace tarn {
namespace {

class ItemOpeningTest : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::await(model.load()); }

    QString file(const QString &name, const char *format = nullptr, const QByteArray &bytes = {})
    {
        const QString path = dir.filePath(name);
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        if (format && QByteArray(format) == "TEXT") {
            picture = QImage(480, 120, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            QFont font = painter.font();
            font.setPixelSize(48);
            painter.setFont(font);
            painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Tarnwick 2026"));
            painter.end();
            EXPECT_TRUE(picture.save(path, "PNG"));
        } else if (format && QByteArray(format) == "MP4")
            TestSupport::writeMovie(path, TestSupport::Movie{{TestSupport::VideoTrack{320, 240, 10, 10}}, 0});
        else if (format)
            EXPECT_TRUE(picture.save(path, format));
        else if (QFile out(path); out.open(QIODevice::WriteOnly))
            out.write(bytes);
        return path;
    }

    std::vector<std::string> titles() const
    {
        std::vector<std::string> names;
        for (const CaptureItem &item : model.items())
            names.push_back(item.title);
        return names;
    }

    QTemporaryDir dir;
    AppModel model{dir.filePath(QStringLiteral("library")), false};
};

template <typename Operation> QString failureOf(const QString &name, Operation operation)
{
    try {
        operation();
    } catch (...) {
        return name + QStringLiteral(": ") + describe(std::current_exception());
    }
    return {};
}

// One import of every kind of file: stored in order under their names without the last
// extension, one line per file that failed; an empty list, a busy model and an unloaded one.
TEST_F(ItemOpeningTest, AMixedImportStoresWhatItCanAndListsTheRest)
{
    model.preferences().setAutomaticOCR(false);
    const QString fake = file(QStringLiteral("fake.mov"), nullptr, "not a movie");
    const QString broken = file(QStringLiteral("broken.png"), nullptr, "garbage");
    const QString gone = dir.filePath(QStringLiteral("gone.jpg"));
    model.setSection(LibrarySection::favorites);
    TestSupport::await(model.importURLs(
        {file(QStringLiteral("Shot.png"), "PNG"), file(QStringLiteral("photo.final.jpeg"), "JPEG"),
         file(QStringLiteral("clip.mp4"), "MP4"), fake, file(QStringLiteral("noext"), "PNG"), broken, gone}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"Shot", "photo.final", "clip", "noext"}));
    EXPECT_EQ(model.items()[2].kind, CaptureKind::video);
    EXPECT_EQ(model.status(), QStringLiteral("4개 파일을 가져왔습니다."));
    EXPECT_EQ(model.section(), LibrarySection::all);
    EXPECT_FALSE(model.isBusy());
    EXPECT_EQ(model.errorMessage(),
              QStringList({failureOf(QStringLiteral("fake.mov"), [&] { VideoInfo::load(fake); }),
                           failureOf(QStringLiteral("broken.png"), [&] { ImageCodec::read(broken.toStdString()); }),
                           failureOf(QStringLiteral("gone.jpg"), [&] { ImageCodec::read(gone.toStdString()); })})
                  .join(u'\n'));

    model.setErrorMessage(std::nullopt);
    TestSupport::await(model.importURLs({}));
    EXPECT_EQ(model.status(), QStringLiteral("0개 파일을 가져왔습니다."));
    EXPECT_FALSE(model.errorMessage());
    {
        const AppModel::BusyClaim busy = model.claimBusy();
        TestSupport::await(model.importURLs({file(QStringLiteral("late.png"), "PNG")}));
    }
    AppModel unloaded(dir.filePath(QStringLiteral("other")), false);
    TestSupport::await(unloaded.importURLs({file(QStringLiteral("early.png"), "PNG")}));
    EXPECT_TRUE(unloaded.items().empty());
    EXPECT_EQ(model.items().size(), 4u);

    // A panel for a missing folder (no pictures folder yet) opens in the home folder with an
    // empty name field, not with the missing folder's name in it.
    {
        const std::unique_ptr<QFileDialog> panel(
            FileDialogs::openDialog(dir.filePath(QStringLiteral("Pictures")), {}, {}));
        EXPECT_EQ(panel->directory().absolutePath(), QDir::homePath());
        EXPECT_EQ(panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(), QString());
    }
    model.importFiles(); // through the panel, in its order
    ASSERT_TRUE(TestSupport::answerFileDialog(
        {file(QStringLiteral("one.png"), "PNG"), file(QStringLiteral("two.mp4"), "MP4")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.items().size() == 6; }, 20000));
    EXPECT_EQ(titles().back(), "two");
}

// A video plays in a new window each time; an image gets one editor however often it is opened,
// also while its original still decodes; busy, trashed and unreadable open nothing.
TEST_F(ItemOpeningTest, OpeningPlaysVideosAndKeepsOneEditorPerImage)
{
    model.preferences().setAutomaticOCR(false);
    TestSupport::await(
        model.importURLs({file(QStringLiteral("Shot.png"), "TEXT"), file(QStringLiteral("clip.mp4"), "MP4"),
                          file(QStringLiteral("Lost.png"), "PNG")}));
    const CaptureItem shot = model.items()[0], clip = model.items()[1], lost = model.items()[2];
    model.openItem(clip);
    model.openItem(clip);
    EXPECT_EQ(model.floating().windows().size(), 2u);
    {
        const AppModel::BusyClaim busy = model.claimBusy();
        model.openItem(shot);
    }
    CaptureItem trashed = shot;
    trashed.trashedAt = Date{800'000'000};
    model.openItem(trashed);
    QTest::qWait(200);
    EXPECT_TRUE(model.editorControllers().empty());

    model.openItem(shot);
    model.openItem(shot); // the first still decodes
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.editorControllers().empty(); }, 10000));
    QTest::qWait(200);
    ASSERT_EQ(model.editorControllers().size(), 1u);
    EditorController *editor = model.editorControllers().begin()->second;
    model.openItem(shot); // brought forward, not decoded again
    EXPECT_EQ(model.editorControllers().begin()->second, editor);

    // Recognition finishing under an open editor gives it the text, and keeps its unsaved title.
    auto &edited = dynamic_cast<EditorWindowController *>(editor)->model();
    edited.setTitle(QStringLiteral("Unsaved"));
    model.recognizeInBackground(shot, ImageCodec::read(model.repository().originalURL(shot).toStdString()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !edited.item().recognizedText.empty(); }, 30000));
    EXPECT_NE(edited.item().recognizedText.find("2026"), std::string::npos) << edited.item().recognizedText;
    EXPECT_EQ(edited.title(), QStringLiteral("Unsaved"));
    EXPECT_TRUE(editor->hasUnsavedEdits());

    QFile::remove(model.repository().originalURL(lost));
    model.openItem(lost);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.errorMessage().has_value(); }, 10000));
    EXPECT_EQ(model.editorControllers().size(), 1u);
    editor->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.editorControllers().empty(); }, 5000));

    // A video original replaced by a pipe is refused by what it is; no player waits on it.
    model.setErrorMessage(std::nullopt);
    const QByteArray pipe = QFile::encodeName(model.repository().originalURL(clip));
    ASSERT_TRUE(QFile::remove(QFile::decodeName(pipe)));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    model.openItem(clip);
    ASSERT_TRUE(model.errorMessage());
    EXPECT_TRUE(model.errorMessage()->contains(QStringLiteral("파이프"))) << model.errorMessage()->toStdString();
    EXPECT_EQ(model.floating().windows().size(), 2u);
}

class ExclusiveImportPanel : public ItemOpeningTest { };

// Names typed into the panel as a quoted list are each imported or listed with their reason, in
// the typed order, also those the panel's type filter does not show.
TEST_F(ExclusiveImportPanel, EveryNameOfATypedListIsImportedOrListed)
{
    model.preferences().setAutomaticOCR(false);
    file(QStringLiteral("shot.png"), "PNG");
    file(QStringLiteral("scan.txt"), "PNG"); // an unknown extension is read as an image
    const QString readme = file(QStringLiteral("readme.txt"), nullptr, "plain words");
    file(QStringLiteral("clip.mp4"), "MP4");
    const QString gone = dir.filePath(QStringLiteral("gone.txt"));
    const struct {
        QString typed;
        std::vector<std::string> titles; // added to the library, in order
        QStringList failures;
    } cases[] = {
        {QStringLiteral(R"("shot.png" "scan.txt" "readme.txt")"),
         {"shot", "scan"},
         {failureOf(QStringLiteral("readme.txt"), [&] { ImageCodec::read(readme.toStdString()); })}},
        {QStringLiteral(R"("gone.txt" "clip.mp4")"),
         {"clip"},
         {QStringLiteral("gone.txt: 이미지를 읽을 수 없습니다: %1 (파일이나 폴더가 없습니다)").arg(gone)}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const std::vector<std::string> before = titles();
        model.setErrorMessage(std::nullopt);
        model.importFiles();
        QFileDialog *panel = TestSupport::nextFileDialog();
        ASSERT_TRUE(panel);
        panel->setDirectory(dir.path());
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
        auto *name = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return name->hasFocus(); }, 5000));
        // Pasted: keys typed one by one race the panel's completion popup, which can swallow one.
        QApplication::clipboard()->setText(c.typed);
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+v")}), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return name->text() == c.typed; }, 5000)) << name->text().toStdString();
        QSignalSpy reported(&model, &AppModel::statusChanged);
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")}), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !reported.isEmpty() && !model.isBusy(); }, 20000));
        EXPECT_EQ(model.status(), QString::number(c.titles.size()) + QStringLiteral("개 파일을 가져왔습니다."));
        std::vector<std::string> added = titles();
        added.erase(added.begin(), added.begin() + qsizetype(before.size()));
        EXPECT_EQ(added, c.titles);
        EXPECT_EQ(model.errorMessage(), c.failures.join(u'\n'));
    }
}

} // namespace
} // namespace tarn
