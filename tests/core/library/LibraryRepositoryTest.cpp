// SPDX-License-Identifier: GPL-3.0-or-later
// The store as the application uses it: operations queued on one worker, in call order, with
// results and errors delivered through futures.
#include <thread>

#include "core/library/LibraryRepository.h"
#include "support/LibraryTestSupport.h"

using namespace tarn;
using namespace tarn::TestSupport;

TEST(LibraryRepository, RunsOperationsInCallOrderAndDeliversTheirOwnErrors)
{
    LibraryFolder folder;
    const std::vector<CaptureItem> items{makeItem("a"), makeItem("b")};
    folder.writeIndex(items);
    LibraryRepository repository(folder.root());

    std::vector<QFuture<CaptureItem>> toggles;
    for (int i = 0; i < 41; ++i)
        toggles.push_back(repository.setFavorite(items[1].id, i % 2 == 0));
    const QFuture<CaptureItem> missing = repository.setFavorite(Uuid::random(), true);
    const QFuture<std::vector<CaptureItem>> loaded = repository.load();

    for (size_t i = 0; i < toggles.size(); ++i)
        EXPECT_EQ(toggles[i].result().isFavorite, i % 2 == 0);
    try {
        missing.result();
        ADD_FAILURE() << "no error";
    } catch (const LibraryFailure &failure) {
        EXPECT_EQ(failure.kind(), LibraryFailure::Case::missingItem);
    }
    ASSERT_EQ(loaded.result().size(), 2u);
    EXPECT_TRUE(loaded.result()[1].isFavorite) << "the load queued last sees every earlier change";
    EXPECT_TRUE(LibraryStore(folder.root()).load()[1].isFavorite);
}

TEST(LibraryRepository, PathsAndTheExportCheckNeedNoWorker)
{
    LibraryFolder folder;
    LibraryRepository repository(folder.root() + QStringLiteral("/./"));
    EXPECT_EQ(repository.root(), folder.root());
    const CaptureItem item = makeItem("a");
    QString original, thumbnail;
    bool refused = false;
    std::thread other([&] {
        original = repository.originalURL(item);
        thumbnail = repository.thumbnailURL(item);
        try {
            repository.validateExportDestination(folder.root() + QStringLiteral("/x.png"));
        } catch (const LibraryFailure &) {
            refused = true;
        }
    });
    other.join();
    EXPECT_EQ(original, folder.root() + QStringLiteral("/Originals/") + QString::fromStdString(item.filename));
    EXPECT_EQ(thumbnail,
              folder.root() + QStringLiteral("/Thumbnails/") + QString::fromStdString(item.thumbnailFilename));
    EXPECT_TRUE(refused);
    EXPECT_FALSE(QFileInfo::exists(folder.root())) << "none of these touched the library";
}
