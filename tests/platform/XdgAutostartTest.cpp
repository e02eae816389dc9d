// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/DesktopEntry.h"
#include "platform/XdgAutostart.h"

namespace tarn {
namespace {

using Status = LoginItemService::Status;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class XdgAutostartTest : public ::testing::Test {
protected:
    QString entry() const { return dir_.filePath(QStringLiteral("config/autostart/tarnwick.desktop")); }

    QTemporaryDir dir_;
};

// Paths a user may really have: blanks, every character the Exec quoting reserves, a literal
// percent sign, a backslash, Korean, and a newline (a legal file-name character).
TEST_F(XdgAutostartTest, AwkwardExecutablePathsRoundTripThroughTheFile)
{
    const QStringList paths = {
        QStringLiteral("/opt/tarnwick/bin/tarnwick"),
        QStringLiteral("/home/user/My Apps/tarnwick"),
        QStringLiteral("/home/user/\"quoted\" dir/tarnwick"),
        QStringLiteral("/home/user/100% done/$HOME/`id`/tarnwick"),
        QStringLiteral("/home/user/back\\slash\\\\/tarnwick"),
        QStringLiteral("/home/사용자/바탕 화면/타른윅"),
        QStringLiteral("/tmp/new\nline/it's;|&<>*?#()~/tarnwick"),
        QStringLiteral("/tmp/%f %U %%/tarnwick"),
    };
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        XdgAutostart service(entry(), path);
        EXPECT_EQ(service.status(), Status::notRegistered);
        service.registerItem();
        EXPECT_EQ(service.status(), Status::enabled);

        QFile file(entry());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const auto keys = DesktopEntry::parse(file.readAll());
        ASSERT_TRUE(keys.has_value());
        EXPECT_EQ(keys->at(QStringLiteral("Type")), QStringLiteral("Application"));
        // The Exec line is one physical line whatever the path holds.
        const auto arguments = DesktopEntry::execArguments(keys->at(QStringLiteral("Exec")));
        ASSERT_TRUE(arguments.has_value());
        EXPECT_EQ(*arguments, QStringList{path});

        // Another executable does not own the entry.
        EXPECT_EQ(XdgAutostart(entry(), path + QStringLiteral("-other")).status(), Status::notRegistered);
        service.unregisterItem();
        EXPECT_EQ(service.status(), Status::notRegistered);
        EXPECT_FALSE(QFile::exists(entry()));
    }
}

TEST_F(XdgAutostartTest, StatusIsReadFromTheEntry)
{
    const QString exe = QStringLiteral("/opt/Tarn wick/tarnwick");
    const QByteArray ours = XdgAutostart::entryText(exe);
    struct Case {
        const char *name;
        std::optional<QByteArray> content; // nullopt: no file
        Status expected;
    };
    const Case cases[] = {
        {"absent", std::nullopt, Status::notRegistered},
        {"ours", ours, Status::enabled},
        {"ours with CRLF and comments", QByteArray("# kept\r\n") + QByteArray(ours).replace("\n", "\r\n"),
         Status::enabled},
        {"hidden", ours + "Hidden=true\n", Status::notRegistered},
        {"hidden false", ours + "Hidden=false\n", Status::enabled},
        {"disabled by the GNOME key", QByteArray(ours).replace("enabled=true", "enabled=false"), Status::notRegistered},
        {"keys in another group only", QByteArray(ours).replace("[Desktop Entry]", "[Desktop Action x]"),
         Status::notRegistered},
        {"hidden in another group does not count", ours + "[Desktop Action x]\nHidden=true\n", Status::enabled},
        {"garbage line", ours + "this is not a key\n", Status::notRegistered},
        {"not UTF-8", ours + "Name[ko]=\xff\xfe\n", Status::notRegistered},
        {"unterminated quote", "[Desktop Entry]\nExec=\"/opt/Tarn wick/tarnwick\n", Status::notRegistered},
        {"another program", "[Desktop Entry]\nExec=/usr/bin/true\n", Status::notRegistered},
        {"empty Exec", "[Desktop Entry]\nExec=\n", Status::notRegistered},
        {"spaces around the equals sign", "[Desktop Entry]\nExec = \"/opt/Tarn wick/tarnwick\"\n", Status::enabled},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(entry());
        if (c.content)
            writeFile(entry(), *c.content);
        EXPECT_EQ(XdgAutostart(entry(), exe).status(), c.expected);
    }
    // An executable nobody can name is not found, whatever the file says.
    writeFile(entry(), ours);
    EXPECT_EQ(XdgAutostart(entry(), QString()).status(), Status::notFound);
}

TEST_F(XdgAutostartTest, UnreadableEntryIsNotRegistered)
{
    const QString exe = QStringLiteral("/opt/tarnwick");
    QDir().mkpath(entry()); // a folder where the entry should be
    EXPECT_EQ(XdgAutostart(entry(), exe).status(), Status::notRegistered);
    QDir(entry()).removeRecursively();

    writeFile(entry(), XdgAutostart::entryText(exe));
    ::chmod(QFile::encodeName(entry()).constData(), 0);
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    EXPECT_EQ(XdgAutostart(entry(), exe).status(), Status::notRegistered);
}

TEST_F(XdgAutostartTest, FailuresAreReportedInKoreanAndChangeNothing)
{
    const QString exe = QStringLiteral("/opt/tarnwick");
    // Unregistering what is not there succeeds, also when the folder is missing.
    XdgAutostart(entry(), exe).unregisterItem();

    // The autostart folder is a file: registering fails and leaves it alone.
    writeFile(dir_.filePath(QStringLiteral("config/autostart")), "not a folder");
    try {
        XdgAutostart(entry(), exe).registerItem();
        FAIL() << "registered into a file";
    } catch (const LoginItemFailure &failure) {
        EXPECT_TRUE(failure.registering());
        EXPECT_TRUE(failure.description().startsWith(QStringLiteral("로그인 시 실행을 켜지 못했습니다.")));
    }
    QFile blocker(dir_.filePath(QStringLiteral("config/autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::ReadOnly));
    EXPECT_EQ(blocker.readAll(), QByteArray("not a folder"));

    // Without a known absolute executable nothing is written.
    const QString elsewhere = dir_.filePath(QStringLiteral("other/tarnwick.desktop"));
    for (const QString &bad : {QString(), QStringLiteral("tarnwick")}) {
        EXPECT_THROW(XdgAutostart(elsewhere, bad).registerItem(), LoginItemFailure);
        EXPECT_FALSE(QFile::exists(elsewhere));
    }

    // A folder in the entry's place cannot be removed as a file.
    QDir().mkpath(elsewhere);
    try {
        XdgAutostart(elsewhere, exe).unregisterItem();
        FAIL() << "removed a folder";
    } catch (const LoginItemFailure &failure) {
        EXPECT_FALSE(failure.registering());
        EXPECT_TRUE(failure.description().startsWith(QStringLiteral("로그인 시 실행을 끄지 못했습니다.")));
    }
}

TEST(DesktopEntry, ExecValuesOfOtherWritersParseAsTheSpecificationReadsThem)
{
    struct Case {
        QString value; // after string unescaping
        std::optional<QStringList> expected;
    };
    const Case cases[] = {
        {QStringLiteral("tarnwick --demo"), QStringList{QStringLiteral("tarnwick"), QStringLiteral("--demo")}},
        {QStringLiteral("  a   b  "), QStringList{QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("\"a b\"c d"), QStringList{QStringLiteral("a bc"), QStringLiteral("d")}},
        {QStringLiteral("\"\""), QStringList{QString()}},
        {QStringLiteral("\"\\$x\\`\""), QStringList{QStringLiteral("$x`")}},
        {QStringLiteral("100%%"), QStringList{QStringLiteral("100%")}},
        {QStringLiteral("app %U"), std::nullopt},
        {QStringLiteral("app 50%"), std::nullopt},
        {QStringLiteral("\"open"), std::nullopt},
        {QStringLiteral("a\\ b"), std::nullopt},
        {QStringLiteral("\"\\q\""), std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(DesktopEntry::execArguments(c.value), c.expected);
    }
    EXPECT_EQ(DesktopEntry::unescapeValue(QStringLiteral("\\sa\\\\b\\n\\t\\r\\q")), QStringLiteral(" a\\b\n\t\r\\q"));
    EXPECT_EQ(DesktopEntry::escapeValue(QStringLiteral(" a b\\")), QStringLiteral("\\sa b\\\\"));
}

} // namespace
} // namespace tarn
