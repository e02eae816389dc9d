// SPDX-License-Identifier: GPL-3.0-or-later
// Opening items and importing files through the real store, codec, video reader and panel.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppModel.h"
#include "app/editor/EditorController.h"
#include "app/widgets/ErrorDescription.h"
#include "core/image/ImageCodec.h"
#include "platform/VideoInfo.h"
#include "support/Await.h"
#include "support/FileDialogAnswer.h"
#include "support/MovieWriter.h"

namespace tarn {
namespace {

template <typename Operation> QString failureOf(Operation operation)
{
    try {
        operation();
    } catch (...) {
        return describe(std::current_exception());
    }
    return QStringLiteral("(no failure)");
}

class ItemOpeningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model_ = std::make_unique<AppModel>(dir_.filePath(QStringLiteral("library")), false);
        model_->preferences().setAutomaticOCR(false);
        test::await(model_->load());
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString image(const QString &name, const char *format)
    {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(picture.save(path, format));
        return path;
    }

    QString movie(const QString &name)
    {
        const QString path = dir_.filePath(name);
        test::writeMovie(path, test::Movie{{test::VideoTrack{320, 240, 10, 10}}, 0});
        return path;
    }

    void import(const QStringList &files) { test::await(model_->importURLs(files)); }

    std::vector<std::string> titles() const
    {
        std::vector<std::string> names;
        for (const CaptureItem &item : model_->items())
            names.push_back(item.title);
        return names;
    }

    QTemporaryDir dir_;
    std::unique_ptr<AppModel> model_;
};

// One import of every kind of file: images and a movie stored in order under their names
// without the last extension, and one line per file that failed.
TEST_F(ItemOpeningTest, AMixedImportStoresWhatItCanAndListsTheRest)
{
    const QString png = image(QStringLiteral("Shot.png"), "PNG");
    const QString jpeg = image(QStringLiteral("photo.final.jpeg"), "JPEG");
    const QString mp4 = movie(QStringLiteral("clip.mp4"));
    const QString fakeMovie = write(QStringLiteral("fake.mov"), "not a movie at all");
    const QString noExtension = image(QStringLiteral("noext"), "PNG");
    const QString unreadable = write(QStringLiteral("broken.png"), "garbage");
    const QString missing = dir_.filePath(QStringLiteral("gone.jpg"));
    model_->setSection(LibrarySection::favorites);

    import({png, jpeg, mp4, fakeMovie, noExtension, unreadable, missing});

    EXPECT_EQ(titles(), (std::vector<std::string>{"Shot", "photo.final", "clip", "noext"}));
    EXPECT_EQ(model_->items()[2].kind, CaptureKind::video);
    EXPECT_EQ(model_->items()[3].kind, CaptureKind::image);
    EXPECT_EQ(model_->status(), QStringLiteral("4개 파일을 가져왔습니다."));
    EXPECT_EQ(model_->section(), LibrarySection::all);
    EXPECT_FALSE(model_->isBusy());
    const QStringList expected{
        QStringLiteral("fake.mov: ") + failureOf([&] { VideoInfo::load(fakeMovie); }),
        QStringLiteral("broken.png: ") + failureOf([&] { ImageCodec::read(unreadable.toStdString()); }),
        QStringLiteral("gone.jpg: ") + failureOf([&] { ImageCodec::read(missing.toStdString()); }),
    };
    EXPECT_EQ(model_->errorMessage(), expected.join(QLatin1Char('\n')));
    EXPECT_TRUE(QFile::exists(png) && QFile::exists(mp4)); // the chosen files stay where they are

    // An empty list still reports; a busy model or one not yet loaded imports nothing.
    model_->setErrorMessage(std::nullopt);
    import({});
    EXPECT_EQ(model_->status(), QStringLiteral("0개 파일을 가져왔습니다."));
    EXPECT_FALSE(model_->errorMessage());
    {
        const AppModel::BusyClaim busy = model_->claimBusy();
        import({png});
    }
    AppModel unloaded(dir_.filePath(QStringLiteral("other")), false);
    test::await(unloaded.importURLs({png}));
    EXPECT_TRUE(unloaded.items().empty());
    EXPECT_EQ(model_->items().size(), 4u);
}

TEST_F(ItemOpeningTest, TheImportPanelHandsItsChoiceToTheImport)
{
    const QString png = image(QStringLiteral("one.png"), "PNG");
    const QString mp4 = movie(QStringLiteral("two.mp4"));
    model_->importFiles();
    ASSERT_TRUE(test::answerFileDialog({png, mp4}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->items().size() == 2; }, 20000));
    EXPECT_EQ(titles(), (std::vector<std::string>{"one", "two"}));
    model_->importFiles();
    ASSERT_TRUE(test::answerFileDialog({})); // cancelled: nothing
    QTest::qWait(100);
    EXPECT_EQ(model_->items().size(), 2u);
}

// Opening: a video plays in a new window each time; an image gets one editor however often it
// is opened, also while its original still decodes; busy, trashed and unreadable open nothing.
TEST_F(ItemOpeningTest, OpeningPlaysVideosAndKeepsOneEditorPerImage)
{
    import({image(QStringLiteral("Shot.png"), "PNG"), movie(QStringLiteral("clip.mp4")),
            image(QStringLiteral("Lost.png"), "PNG")});
    const CaptureItem shot = model_->items()[0];
    const CaptureItem clip = model_->items()[1];
    const CaptureItem lost = model_->items()[2];

    model_->openItem(clip);
    model_->openItem(clip);
    EXPECT_EQ(model_->floating().windows().size(), 2u);

    {
        const AppModel::BusyClaim busy = model_->claimBusy();
        model_->openItem(shot);
        QTest::qWait(200);
        EXPECT_TRUE(model_->editorControllers().empty());
    }
    model_->openItem(shot);
    model_->openItem(shot); // the first still decodes
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model_->editorControllers().empty(); }, 10000));
    QTest::qWait(200);
    ASSERT_EQ(model_->editorControllers().size(), 1u);
    EditorController *editor = model_->editorControllers().begin()->second;
    model_->openItem(shot); // brought forward, not decoded again
    EXPECT_EQ(model_->editorControllers().begin()->second, editor);
    EXPECT_TRUE(editor->window()->isVisible());

    QFile::remove(model_->repository().originalURL(lost));
    model_->openItem(lost);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->errorMessage().has_value(); }, 10000));
    EXPECT_EQ(model_->editorControllers().size(), 1u);

    CaptureItem trashed = lost;
    trashed.trashedAt = Date{800'000'000};
    model_->setErrorMessage(std::nullopt);
    model_->openItem(trashed);
    QTest::qWait(200);
    EXPECT_FALSE(model_->errorMessage());

    editor->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model_->editorControllers().empty(); }, 5000));
}

} // namespace
} // namespace tarn
