// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, started as a process: exact standard output and error, exit statuses, files.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/base/ImageFailure.h"
#include "support/ProgramRun.h"

namespace tarn {
namespace {

using TestSupport::displayVariables;
using TestSupport::ProgramOutcome;
using TestSupport::runProgram;

TEST(TarnwickProcess, HelpIsPrintedByteForByteWhateverElseIsGiven)
{
    const QByteArray expected =
        QByteArrayLiteral("Tarnwick " TARN_PROJECT_VERSION "\n"
                          "  --demo                     Use generated sample content\n"
                          "  --library <directory>      Use a separate local library\n"
                          "  --benchmark <directory>    Run synthetic render / OCR benchmarks\n"
                          "  --ui-smoke <directory>     Exercise and snapshot real app windows with synthetic data\n"
                          "  --badge-preview <file>     Render the badge palette without opening a window\n"
                          "  --badge-rotation-preview <file>  Render 0\xE2\x80\x93"
                          "360 degree badge samples\n"
                          "\n");
    QTemporaryDir dir;
    for (const QStringList &arguments : {QStringList{QStringLiteral("--help")},
                                         QStringList{QStringLiteral("--badge-preview"), QStringLiteral("--help")},
                                         QStringList{QStringLiteral("-platform"), QStringLiteral("xcb"),
                                                     QStringLiteral("--library"), QStringLiteral("--help")}}) {
        const ProgramOutcome outcome = runProgram(arguments, displayVariables(), dir.path());
        EXPECT_EQ(outcome.status, 0) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(outcome.out, expected);
        EXPECT_EQ(outcome.err, QByteArray());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "help creates nothing";
}

TEST(TarnwickProcess, BadgePreviewsWriteIntoNewFoldersOrEndWithTheirStatus)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray failed = "Badge preview failed: " + ImageFailure::encoding().description().toUtf8() + "\n";

    struct Case {
        QStringList arguments;
        int status;
        QByteArray out;
        QByteArray err;
        QString file; // written and a PNG of the palette
        int minimumHeight = 0;
    };
    const QString nested = dir.filePath(QStringLiteral("out/sub/p.png"));
    const QString rotated = dir.filePath(QStringLiteral("r/rot.png"));
    const std::vector<Case> cases{
        {{QStringLiteral("--badge-preview"), QStringLiteral("out/sub/p.png")},
         0,
         "Badge palette: " + nested.toUtf8() + "\n",
         {},
         nested},
        {{QStringLiteral("--badge-rotation-preview"), rotated},
         0,
         "Badge palette: " + rotated.toUtf8() + "\n",
         {},
         rotated},
        {{QStringLiteral("--badge-preview")}, 2, {}, "Badge preview requires an output PNG path\n", {}},
        {{QStringLiteral("--badge-rotation-preview"), QStringLiteral("b.png"), QStringLiteral("--badge-preview")},
         2,
         {},
         "Badge preview requires an output PNG path\n",
         {}},
        {{QStringLiteral("--badge-preview"), QStringLiteral("plain-file/p.png")}, 1, {}, failed, {}},
    };
    for (const Case &c : cases) {
        const std::string name = c.arguments.join(QLatin1Char(' ')).toStdString();
        const ProgramOutcome outcome = runProgram(c.arguments, displayVariables(), dir.path());
        EXPECT_EQ(outcome.status, c.status) << name;
        EXPECT_EQ(outcome.out, c.out) << name;
        EXPECT_EQ(outcome.err, c.err) << name;
        if (!c.file.isEmpty()) {
            const QImage written(c.file);
            EXPECT_FALSE(written.isNull()) << name;
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.png"))));
    // The rotation samples add rows under the plain palette.
    EXPECT_GT(QImage(rotated).height(), QImage(nested).height());
}

TEST(TarnwickProcess, DeveloperRunsRefuseOrFailWithTheirOwnLines)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("used/library")));
    QFile index(dir.filePath(QStringLiteral("used/library/library.json")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.close();

    struct Case {
        QStringList arguments;
        int status;
        QByteArray errPrefix;
    };
    const std::vector<Case> cases{
        {{QStringLiteral("--ui-smoke"), QStringLiteral("smoke"), QStringLiteral("--library"), QStringLiteral("lib")},
         2,
         "--ui-smoke works on a new library of its own and cannot be combined with --library\n"},
        {{QStringLiteral("--ui-smoke"), QStringLiteral("used")},
         2,
         "--ui-smoke needs a new library folder, but " + dir.filePath(QStringLiteral("used/library")).toUtf8() +
             " already holds files\n"},
        // A smoke run whose library cannot even be locked ends before any step runs.
        {{QStringLiteral("--ui-smoke"), QStringLiteral("plain-file")},
         1,
         "UI smoke failed: 폴더를 만들지 못했습니다: " + blocker.fileName().toUtf8() +
             " (폴더가 아닌 파일이 이미 있습니다)\n"},
        {{QStringLiteral("--benchmark"), QStringLiteral("plain-file/bench")}, 1, "Benchmark failed: "},
    };
    for (const Case &c : cases) {
        const std::string name = c.arguments.join(QLatin1Char(' ')).toStdString();
        const ProgramOutcome outcome = runProgram(c.arguments, {}, dir.path()); // with the display
        EXPECT_EQ(outcome.status, c.status) << name;
        EXPECT_TRUE(outcome.err.startsWith(c.errPrefix)) << name << ": " << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.endsWith('\n') && outcome.err.count('\n') == 1) << name;
        EXPECT_EQ(outcome.out, QByteArray()) << name;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("smoke"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("lib"))));
    // The refused run left the library it found, and its folder, as they were.
    EXPECT_EQ(
        QDir(dir.filePath(QStringLiteral("used"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{QStringLiteral("library")});
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("used/library")))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("library.json")});
    EXPECT_EQ(QFileInfo(index).size(), 0);
}

} // namespace
} // namespace tarn
