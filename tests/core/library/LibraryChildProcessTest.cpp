// SPDX-License-Identifier: GPL-3.0-or-later
// The child side of the multi-process library tests. It runs only when a test starts this
// program again with TARN_LIBRARY_CHILD set (LibraryChild in LibraryChildRoles.h); otherwise it is skipped.
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/LibraryChildRoles.h"

using namespace tarn::TestSupport;

TEST(LibraryChildProcess, Worker)
{
    const char *role = std::getenv(childRoleVariable);
    if (!role || !*role)
        GTEST_SKIP() << "runs only as the child process of another library test";
    runChildRole(role);
    std::_Exit(0);
}
