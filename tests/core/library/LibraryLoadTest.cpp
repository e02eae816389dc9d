// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the library: folders, the index format and every way an index can fail to load.
#include <csignal>
#include <map>
#include <sys/resource.h>

#include "core/base/FileFailure.h"
#include "core/library/LibraryStore.h"
#include "support/JsonDocuments.h"
#include "support/LibraryTestSupport.h"

using namespace tarn;
using namespace tarn::TestSupport;
using Case = LibraryFailure::Case;

TEST(LibraryLoad, FoldersAreMadePrivateExistingOnesKeptAndAFileInTheWayIsAFileError)
{
    LibraryFolder folder;
    const QString root = folder.path(QStringLiteral("deeper/Library"));
    LibraryStore store(root);
    EXPECT_FALSE(QFileInfo::exists(folder.root())) << "constructing touches no file";

    EXPECT_TRUE(store.load().empty());
    for (const char *name : {"", "/Originals", "/Thumbnails", "/Recordings"})
        EXPECT_EQ(modeOf(root + QLatin1String(name)), 0700) << name;
    EXPECT_EQ(modeOf(folder.root()), 0700) << "intermediate folders are private too";
    EXPECT_FALSE(QFileInfo::exists(root + QLatin1String("/library.json")));

    // Folders that exist keep their permissions.
    LibraryFolder existing;
    QDir().mkpath(existing.path(QStringLiteral("Originals")));
    ::chmod(QFile::encodeName(existing.root()).constData(), 0755);
    ::chmod(QFile::encodeName(existing.path(QStringLiteral("Originals"))).constData(), 0750);
    LibraryStore(existing.root()).load();
    EXPECT_EQ(modeOf(existing.root()), 0755);
    EXPECT_EQ(modeOf(existing.path(QStringLiteral("Originals"))), 0750);
    EXPECT_EQ(modeOf(existing.path(QStringLiteral("Thumbnails"))), 0700);

    LibraryFolder blocked;
    QDir().mkpath(blocked.root());
    writeBytes(blocked.path(QStringLiteral("Thumbnails")), "x");
    try {
        LibraryStore(blocked.root()).load();
        FAIL() << "expected a file error";
    } catch (const FileFailure &failure) {
        EXPECT_EQ(failure.code(), ENOTDIR);
        EXPECT_EQ(failure.description(),
                  QStringLiteral("폴더를 만들지 못했습니다: %1 (폴더가 아닌 파일이 이미 있습니다)")
                      .arg(blocked.path(QStringLiteral("Thumbnails"))));
    }
    EXPECT_FALSE(QFileInfo::exists(blocked.path(QStringLiteral("Recordings")))) << "later folders are not attempted";
}

TEST(LibraryLoad, ReadsItemsInFileOrderAndThenServesTheCache)
{
    LibraryFolder folder;
    const std::vector<CaptureItem> items{makeItem("newer"), makeItem("older"), makeItem("older")};
    folder.writeIndex(items);
    LibraryStore store(folder.root());
    EXPECT_EQ(store.load(), items);
    // A valid number too long for 64 bits is judged by its field: a date takes it.
    LibraryFolder far;
    far.writeIndex({makeItem("far", 1e30)});
    writeBytes(far.index(), readBytes(far.index()).replace("1e+30", "1000000000000000000000000000000"));
    EXPECT_EQ(LibraryStore(far.root()).load().front().createdAt, Date{1e30});

    QFile::remove(folder.index());
    writeBytes(folder.path(QStringLiteral("library.json")), "garbage");
    EXPECT_EQ(store.load(), items) << "a loaded store never reads the index again";
}

TEST(LibraryLoad, EveryMalformedIndexIsReportedAndLeftByteForByte)
{
    CaptureItem item = makeItem("a");
    JsonDocument itemJson = item;
    JsonDocument withoutField = itemJson;
    withoutField.erase("isSample");
    JsonDocument badKind = itemJson;
    badKind["kind"] = "gif";
    const QByteArray valid = LibraryIndex::encode({item});

    const std::vector<QByteArray> cases{
        "",
        "{}",
        "[]",
        "null",
        "not json",
        R"({"version":1})",
        R"({"items":[]})",
        R"({"items":{},"version":1})",
        R"({"items":[],"version":"1"})",
        R"({"items":[],"version":1.5})",
        R"({"items":[],"version":true})",
        R"({"items":[],"version":1e400})",
        R"({"items":[],"version":99999999999999999999})",
        R"({"items":[],"version":1000000000000000000000000000000})",
        QByteArray::fromStdString(JsonDocument{{"items", {withoutField}}, {"version", 1}}.dump()),
        QByteArray::fromStdString(JsonDocument{{"items", {badKind}}, {"version", 1}}.dump()),
        // Another version whose items do not decode: the version is only looked at afterwards.
        QByteArray::fromStdString(JsonDocument{{"items", {withoutField}}, {"version", 2}}.dump()),
        valid.left(valid.size() / 2),
        valid + "x",
        QByteArray(R"({"items":[],"version":1,"x":")") + "\xff\xfe" + "\"}",
        QByteArray(100000, '['),
    };
    // What some of them tell: which file, where in it and what is wrong, in Korean.
    const std::map<QByteArray, QString> told{
        {R"({"items":{},"version":1})", QStringLiteral("의 items 값이 배열이 아닙니다.")},
        {R"({"items":[],"version":1e400})", QStringLiteral("에 나타낼 수 있는 범위를 벗어난 숫자(1e400)가 있습니다.")},
        {R"({"items":[],"version":1000000000000000000000000000000})",
         QStringLiteral("의 version 값이 허용 범위를 벗어납니다.")},
        {QByteArray(100000, '['),
         QStringLiteral("이 올바른 JSON이 아닙니다: 괄호, 쉼표나 값의 짜임이 JSON 문법에 맞지 않습니다.")},
    };
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(bytes.left(80).toStdString());
        LibraryFolder folder;
        QDir().mkpath(folder.root());
        writeBytes(folder.index(), bytes);
        LibraryStore store(folder.root());
        try {
            store.load();
            ADD_FAILURE() << "loaded";
        } catch (const LibraryFailure &failure) {
            EXPECT_EQ(failure.kind(), Case::corruptedIndex);
            EXPECT_TRUE(failure.description().startsWith(
                QStringLiteral("라이브러리 인덱스를 읽지 못했습니다. 기존 파일은 보존했습니다. ")));
            const QString file = QStringLiteral("인덱스 파일(%1)").arg(folder.index());
            EXPECT_TRUE(failure.detail().startsWith(file)) << failure.detail().toStdString();
            if (told.count(bytes)) {
                EXPECT_EQ(failure.detail(), file + told.at(bytes));
            }
        }
        EXPECT_EQ(readBytes(folder.index()), bytes);
        EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "nothing was written";
    }
}

TEST(LibraryLoad, AFailedLoadIsRetriedFromTheStart)
{
    LibraryFolder folder;
    QDir().mkpath(folder.root());
    writeBytes(folder.index(), "{");
    LibraryStore store(folder.root());
    EXPECT_EQ(failureOf([&] { store.load(); }), Case::corruptedIndex);
    const std::vector<CaptureItem> items{makeItem("fixed")};
    folder.writeIndex(items);
    QDir(folder.path(QStringLiteral("Recordings"))).removeRecursively();
    EXPECT_EQ(store.load(), items);
    EXPECT_TRUE(QFileInfo(folder.path(QStringLiteral("Recordings"))).isDir());
}

TEST(LibraryLoad, OnlyAMissingIndexCountsAsANewLibrary)
{
    // An index that exists but cannot be read (a folder in its place, a link loop, no read
    // permission) is an error, never an empty library that the next change would overwrite.
    LibraryFolder folder;
    QDir().mkpath(folder.path(QStringLiteral("library.json/inner")));
    EXPECT_EQ(failureOf([&] { LibraryStore(folder.root()).load(); }), Case::corruptedIndex);
    EXPECT_TRUE(QFileInfo(folder.path(QStringLiteral("library.json/inner"))).isDir());

    LibraryFolder looped;
    QDir().mkpath(looped.root());
    QFile::link(looped.index(), looped.index());
    EXPECT_EQ(failureOf([&] { LibraryStore(looped.root()).load(); }), Case::corruptedIndex);
    EXPECT_TRUE(QFileInfo(looped.index()).isSymLink());

    if (!runningAsRoot()) {
        LibraryFolder locked;
        locked.writeIndex({makeItem("kept")});
        const QByteArray before = readBytes(locked.index());
        ::chmod(QFile::encodeName(locked.index()).constData(), 0);
        LibraryStore store(locked.root());
        EXPECT_EQ(failureOf([&] { store.load(); }), Case::corruptedIndex);
        EXPECT_EQ(failureOf([&] { store.setFavorite(Uuid::random(), true); }), Case::corruptedIndex);
        ::chmod(QFile::encodeName(locked.index()).constData(), 0600);
        EXPECT_EQ(readBytes(locked.index()), before);
    }
}

TEST(LibraryLoad, AnotherVersionIsRefusedWithItsNumber)
{
    for (int64_t version : {int64_t(2), int64_t(0), int64_t(-1), INT64_MAX}) {
        LibraryFolder folder;
        QDir().mkpath(folder.root());
        JsonDocument document{{"items", {JsonDocument(makeItem("a"))}}, {"version", version}};
        const QByteArray bytes = QByteArray::fromStdString(document.dump());
        writeBytes(folder.index(), bytes);
        try {
            LibraryStore(folder.root()).load();
            ADD_FAILURE() << "loaded version " << version;
        } catch (const LibraryFailure &failure) {
            EXPECT_EQ(failure.kind(), Case::unsupportedVersion);
            EXPECT_EQ(failure.version(), version);
            EXPECT_EQ(failure.description(),
                      QStringLiteral("더 새로운 라이브러리 형식(v%1)입니다. 최신 앱으로 열어 주세요.").arg(version));
        }
        EXPECT_EQ(readBytes(folder.index()), bytes);
    }
}

TEST(LibraryLoad, StoredFileNamesMustStayInTheirFolder)
{
    const std::vector<std::string> bad{"",        ".",           "..",       "../x.png",
                                       "a/b.png", "/etc/passwd", "a\\b.png", std::string("a\0b.png", 7)};
    for (const std::string &name : bad) {
        for (bool thumbnail : {false, true}) {
            SCOPED_TRACE(name + (thumbnail ? " as thumbnail" : " as original"));
            LibraryFolder folder;
            CaptureItem item = makeItem("a");
            (thumbnail ? item.thumbnailFilename : item.filename) = name;
            folder.writeIndex({makeItem("fine"), item});
            const QByteArray before = readBytes(folder.index());
            EXPECT_EQ(failureOf([&] { LibraryStore(folder.root()).load(); }), Case::unsafeFilename);
            EXPECT_EQ(readBytes(folder.index()), before);
        }
    }
    LibraryFolder folder;
    CaptureItem odd = makeItem("a");
    odd.filename = "..png";
    odd.thumbnailFilename = " name with spaces and 한글.jpg";
    folder.writeIndex({odd});
    EXPECT_EQ(LibraryStore(folder.root()).load().size(), 1u);
}

TEST(LibraryLoad, WrittenIndexIsCompactSortedPrivateAndDropsUnknownKeys)
{
    LibraryFolder folder;
    QDir().mkpath(folder.root());
    const CaptureItem item = makeItem("제목 \"quoted\"");
    JsonDocument document{{"items", {JsonDocument(item)}}, {"version", 1}, {"zExtra", 5}, {"aExtra", "x"}};
    writeBytes(folder.index(), QByteArray::fromStdString(document.dump(2)));
    ::chmod(QFile::encodeName(folder.index()).constData(), 0644);

    LibraryStore store(folder.root());
    ASSERT_EQ(store.load().size(), 1u);
    store.setFavorite(item.id, true);

    const QByteArray written = readBytes(folder.index());
    EXPECT_TRUE(written.startsWith(R"({"items":[{"byteCount":1234,"createdAt":700000000.0,)"))
        << written.left(80).toStdString();
    EXPECT_TRUE(written.endsWith(R"(],"version":1})"));
    EXPECT_FALSE(written.contains('\n'));
    EXPECT_FALSE(written.contains("Extra"));
    EXPECT_FALSE(written.contains("\": ")) << "no white space between tokens";
    EXPECT_EQ(modeOf(folder.index()), 0600);
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("library.json")})
        << "no temporary file is left behind";

    LibraryStore reread(folder.root());
    EXPECT_EQ(reread.load(), store.load());
    EXPECT_TRUE(reread.load().front().isFavorite);
}

TEST(LibraryLoad, AFailedWriteKeepsTheOldIndexAndTheList)
{
    LibraryFolder folder;
    const CaptureItem item = makeItem(std::string(4000, 'x'));
    folder.writeIndex({item});
    const QByteArray before = readBytes(folder.index());
    LibraryStore store(folder.root());
    store.load();

    // The file-size limit makes the write itself fail (also when running as root).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    try {
        store.setFavorite(item.id, true);
        ADD_FAILURE() << "written past the limit";
    } catch (const FileFailure &failure) { // names the index, not its temporary file
        EXPECT_EQ(failure.description(),
                  QStringLiteral("파일을 쓰지 못했습니다: %1 (파일 크기 제한을 넘습니다)").arg(folder.index()));
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(readBytes(folder.index()), before);
    EXPECT_FALSE(store.load().front().isFavorite);
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "the temporary file is removed";

    // A folder in the index's place makes the final rename fail.
    QFile::remove(folder.index());
    QDir().mkpath(folder.path(QStringLiteral("library.json/blocker")));
    EXPECT_THROW(store.setFavorite(item.id, true), FileFailure);
    EXPECT_FALSE(store.load().front().isFavorite);
}
