// SPDX-License-Identifier: GPL-3.0-or-later
// The single-writer lease, inside one process and across processes.
#include <cerrno>

#include "core/base/AppError.h"
#include "core/base/FileFailure.h"
#include "core/library/LibraryLease.h"
#include "support/LibraryChildRoles.h"
#include "support/LibraryTestSupport.h"

using namespace tarn;
using namespace tarn::TestSupport;

namespace {

const QString heldMessage = QStringLiteral(
    "다른 Tarnwick 인스턴스가 이 라이브러리를 사용 중입니다. 기존 앱을 사용하거나 다른 라이브러리 경로를 선택하세요.");

void expectRefusedAsHeld(const QString &root)
{
    try {
        LibraryLease second(root);
        ADD_FAILURE() << "a second lease was granted";
    } catch (const AppError &error) {
        EXPECT_EQ(error.domain(), QStringLiteral("Tarnwick"));
        EXPECT_EQ(error.code(), 20);
        EXPECT_EQ(error.description(), heldMessage);
    }
}

} // namespace

TEST(LibraryLease, CreatesThePrivateRootAndAnEmptyLockFile)
{
    LibraryFolder folder;
    const QString root = folder.path(QStringLiteral("nested/Library"));
    {
        LibraryLease lease(root);
        EXPECT_EQ(modeOf(root), 0700);
        EXPECT_EQ(modeOf(folder.root()), 0700);
        EXPECT_EQ(modeOf(root + QStringLiteral("/.writer-lock")), 0600);
        EXPECT_EQ(QFileInfo(root + QStringLiteral("/.writer-lock")).size(), 0);
    }
    EXPECT_TRUE(QFileInfo::exists(root + QStringLiteral("/.writer-lock"))) << "the lock file stays";
}

TEST(LibraryLease, ASecondLeaseIsRefusedUntilTheFirstEnds)
{
    LibraryFolder folder;
    auto first = std::make_unique<LibraryLease>(folder.root());
    expectRefusedAsHeld(folder.root());
    expectRefusedAsHeld(folder.root() + QStringLiteral("/../Library"));
    first.reset();
    EXPECT_NO_THROW(LibraryLease again(folder.root()));
}

TEST(LibraryLease, FileErrorsAreReportedAsThemselves)
{
    LibraryFolder folder;
    QDir().mkpath(folder.root());
    // A folder where the lock file should be: the open fails with the system's own error.
    QDir().mkpath(folder.path(QStringLiteral(".writer-lock")));
    try {
        LibraryLease lease(folder.root());
        ADD_FAILURE() << "lease granted";
    } catch (const FileFailure &failure) {
        EXPECT_EQ(failure.code(), EISDIR);
    }

    if (!runningAsRoot()) {
        LibraryFolder locked;
        QDir().mkpath(locked.root());
        writeBytes(locked.path(QStringLiteral(".writer-lock")), "");
        ::chmod(QFile::encodeName(locked.path(QStringLiteral(".writer-lock"))).constData(), 0400);
        try {
            LibraryLease lease(locked.root());
            ADD_FAILURE() << "lease granted";
        } catch (const FileFailure &failure) {
            EXPECT_EQ(failure.code(), EACCES);
        }
    }
}

TEST(LibraryLease, AProgramStartedByTheHolderDoesNotKeepTheLock)
{
    // The holder starts a long-running program and dies without releasing the lease (as at a
    // crash or a plain exit); the started program must not hold the library locked.
    LibraryFolder folder;
    LibraryChild holder("lease-and-spawn:" + folder.root().toStdString());
    ASSERT_TRUE(holder.started());
    const std::string report = holder.nextReport();
    ASSERT_EQ(report.rfind("held ", 0), 0u) << report;
    const pid_t program = std::stoi(report.substr(5));
    holder.kill();
    // The started program drops close-on-exec descriptors a moment after its parent may already
    // have seen it start, so allow that moment; an inherited lock would stay for 30 s.
    bool granted = false;
    for (int attempt = 0; attempt < 100 && !granted; ++attempt) {
        try {
            LibraryLease mine(folder.root());
            granted = true;
        } catch (const AppError &) {
            ::usleep(20'000);
        }
    }
    EXPECT_TRUE(granted) << "the started program inherited the lock";
    ::kill(program, SIGKILL);
}

TEST(LibraryLease, AnotherProcessIsRefusedAndTheLeaseFreesWhenItsHolderDies)
{
    LibraryFolder folder;
    LibraryChild holder("lease:" + folder.root().toStdString());
    ASSERT_TRUE(holder.started());
    ASSERT_EQ(holder.nextReport(), "held");
    expectRefusedAsHeld(folder.root());
    holder.kill();
    EXPECT_NO_THROW(LibraryLease mine(folder.root()));
}
