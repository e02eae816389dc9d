#pragma once

// What a child process of the library tests does, by role:
//   "lease:<root>"            takes the lease, reports "held" and waits to be killed;
//   "lease-and-spawn:<root>"  the same, but first starts "sleep 30" and reports its process id.
#include <string>

#include <spawn.h>

#include <QString>

#include "ChildProcess.h"
#include "core/LibraryLease.h"

namespace tarn::testing {

inline void runChildRole(const std::string &role)
{
    const size_t colon = role.find(':');
    const std::string name = role.substr(0, colon);
    const QString root = QString::fromStdString(role.substr(colon + 1));
    if (name == "lease") {
        LibraryLease lease(root);
        reportToParent("held");
        for (;;)
            ::pause();
    }
    if (name == "lease-and-spawn") {
        LibraryLease lease(root);
        pid_t program = -1;
        char sleepProgram[] = "/bin/sleep", seconds[] = "30";
        char *argv[] = {sleepProgram, seconds, nullptr};
        ::posix_spawn(&program, "/bin/sleep", nullptr, nullptr, argv, environ);
        reportToParent("held " + std::to_string(program));
        for (;;)
            ::pause();
    }
}

} // namespace tarn::testing
