// SPDX-License-Identifier: GPL-3.0-or-later
// Killing a process in the middle of library changes, again and again: every change it finished
// is in the index that the next start reads, and the index always loads.
#include <random>
#include <sstream>
#include <unordered_map>

#include <QDir>
#include <QImageReader>

#include "core/library/LibraryLease.h"
#include "core/library/LibraryStore.h"
#include "support/LibraryChildRoles.h"
#include "support/LibraryTestSupport.h"

using namespace tarn;
using namespace tarn::TestSupport;

namespace {

struct Expected {
    bool favorite = false;
    std::string title = "churn";
};

// What the killed process reported: finished changes go into the model, the one it had begun
// may or may not have reached the disk.
struct Journal {
    std::unordered_map<Uuid, Expected> items;
    std::string pending; // the "begin" line of an unfinished change, or ""
    int finished = 0;

    void record(const std::string &line)
    {
        std::istringstream words(line);
        std::string verb, kind;
        words >> verb >> kind;
        if (verb == "begin") {
            pending = line;
            return;
        }
        ASSERT_EQ(verb, "done") << line;
        ++finished;
        if (kind == "insert") {
            std::string id;
            words >> id;
            items[*Uuid::parse(id)] = Expected{};
        } else {
            apply(pending, items);
        }
        pending.clear();
    }

    static void apply(const std::string &beginLine, std::unordered_map<Uuid, Expected> &into)
    {
        std::istringstream words(beginLine);
        std::string verb, kind, id, value;
        words >> verb >> kind >> id >> value;
        if (kind == "favorite")
            into[*Uuid::parse(id)].favorite = value == "1";
        else if (kind == "edit")
            into[*Uuid::parse(id)].title = value;
    }

    void verify(const LibraryFolder &folder) const
    {
        std::vector<CaptureItem> loaded;
        ASSERT_NO_THROW(loaded = LibraryStore(folder.root()).load()) << "the index must always load";
        std::unordered_map<Uuid, Expected> withPending = items;
        if (!pending.empty())
            apply(pending, withPending);
        const bool insertPending = pending.rfind("begin insert", 0) == 0;
        EXPECT_LE(loaded.size(), items.size() + (insertPending ? 1 : 0));

        size_t known = 0;
        for (const CaptureItem &item : loaded) {
            const auto it = items.find(item.id);
            if (it == items.end()) {
                EXPECT_TRUE(insertPending) << "an item nobody finished inserting";
            } else {
                ++known;
                const Expected &before = it->second;
                const Expected &after = withPending.at(item.id);
                EXPECT_TRUE(item.isFavorite == before.favorite || item.isFavorite == after.favorite)
                    << item.id.toString();
                EXPECT_TRUE(item.title == before.title || item.title == after.title) << item.id.toString();
            }
            const LibraryStore paths(folder.root());
            EXPECT_EQ(QImageReader(paths.originalURL(item)).size(), QSize(96, 64)) << "original of " << item.title;
            EXPECT_TRUE(QImageReader(paths.thumbnailURL(item)).canRead()) << "thumbnail of " << item.title;
        }
        EXPECT_EQ(known, items.size()) << "a finished insert was lost";
    }
};

} // namespace

TEST(LibraryCrash, KilledWritersNeverLoseFinishedChangesNorCorruptTheIndex)
{
    LibraryFolder folder;
    Journal journal;
    std::mt19937 random(20261207);
    int killedMidChange = 0;
    // At least ten kills and a few hundred finished changes, within a bounded time on slow disks.
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 10 || journal.finished < 300; ++round) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(15))
            break;
        SCOPED_TRACE("round " + std::to_string(round));
        LibraryChild child("churn:" + std::to_string(round) + ":" + folder.root().toStdString());
        ASSERT_TRUE(child.started());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(150 + random() % 700);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            const std::string line = child.nextReport(left);
            if (line.empty())
                break;
            journal.record(line);
        }
        child.kill();
        for (const std::string &line : child.remainingReports())
            journal.record(line);
        killedMidChange += journal.pending.empty() ? 0 : 1;
        journal.verify(folder);
        if (::testing::Test::HasFailure())
            break;
        // The next writer starts from what is on disk, as the application would.
        for (const CaptureItem &item : LibraryStore(folder.root()).load())
            journal.items[item.id] = Expected{item.isFavorite, item.title};
        journal.pending.clear();
    }
    RecordProperty("finishedChanges", journal.finished);
    RecordProperty("killedMidChange", killedMidChange);
    EXPECT_GE(journal.finished, 50) << "too few changes to mean anything";
    EXPECT_GE(killedMidChange, 1) << "no kill landed inside a change";

    // The next writer, holding the lease, clears what the kills left: the thumbnails folder then
    // holds exactly the thumbnails the index names, no temporary file of a write is left, and
    // every change that finished is still there with its files.
    const LibraryLease lease(folder.root());
    LibraryStore writer(folder.root());
    const auto entries = [&folder] {
        qsizetype count = 0;
        for (const QString &inside : {QStringLiteral("."), QStringLiteral("Originals"), QStringLiteral("Thumbnails")})
            count += QDir(folder.path(inside)).entryList(QDir::Files | QDir::Hidden).size();
        return count;
    };
    const qsizetype before = entries();
    writer.removeLeftovers(lease);
    RecordProperty("leftoversRemoved", int(before - entries()));
    journal.verify(folder);
    QStringList named;
    for (const CaptureItem &item : writer.load())
        named << QString::fromStdString(item.thumbnailFilename);
    QStringList thumbnails = QDir(folder.path(QStringLiteral("Thumbnails"))).entryList(QDir::Files | QDir::Hidden);
    named.sort();
    thumbnails.sort();
    EXPECT_EQ(thumbnails, named);
    for (const QString &inside : {QStringLiteral("."), QStringLiteral("Originals")})
        EXPECT_EQ(QDir(folder.path(inside)).entryList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden),
                  QStringList());
}
