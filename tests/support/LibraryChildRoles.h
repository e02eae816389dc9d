// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a child process of the library tests does, by role:
//   "lease:<root>"            takes the lease, reports "held" and waits to be killed;
//   "lease-and-spawn:<root>"  the same, but first starts "sleep 30" and reports its process id;
//   "churn:<seed>:<root>"     inserts, favourite toggles and saved edits without end, reporting
//                             "begin <operation>" before and "done …" after each one.
#include <random>
#include <string>

#include <spawn.h>

#include <QImage>
#include <QPainter>
#include <QString>

#include "core/library/LibraryLease.h"
#include "core/library/LibraryStore.h"
#include "support/ChildProcess.h"

namespace tarn::TestSupport {

inline constexpr const char *childRoleVariable = "TARN_LIBRARY_CHILD";

// The worker test of this program (LibraryChildProcessTest.cpp) in a child process, in `role`.
class LibraryChild : public ChildProcess {
public:
    explicit LibraryChild(const std::string &role)
        : ChildProcess("LibraryChildProcess.Worker", {{childRoleVariable, role}})
    { }
};

inline void churnLibrary(const QString &root, unsigned seed)
{
    LibraryStore store(root);
    std::vector<CaptureItem> items = store.load();
    std::mt19937 random(seed);
    QImage image(96, 64, QImage::Format_ARGB32);
    for (unsigned step = 0;; ++step) {
        const unsigned choice = random() % 10;
        if (items.empty() || choice < 4) {
            image.fill(QColor::fromRgb(random()));
            reportToParent("begin insert");
            const CaptureItem item = store.insertImage(image, "churn", false, std::nullopt);
            reportToParent("done insert " + item.id.toString());
        } else if (choice < 7) {
            const CaptureItem &item = items[random() % items.size()];
            const bool value = !item.isFavorite;
            reportToParent("begin favorite " + item.id.toString() + " " + (value ? "1" : "0"));
            store.setFavorite(item.id, value);
            reportToParent("done");
        } else {
            const CaptureItem &item = items[random() % items.size()];
            const std::string title = "edit-" + std::to_string(seed) + "-" + std::to_string(step);
            EditDocument document;
            document.annotations.push_back(
                Annotation::redaction(TextRegion{Uuid::random(), "x", UnitRect(0.1, 0.1, 0.5, 0.2), 1}));
            reportToParent("begin edit " + item.id.toString() + " " + title);
            store.saveEdits(item.id, title, {"tag"}, document);
            reportToParent("done");
        }
        items = store.load();
    }
}

inline void runChildRole(const std::string &role)
{
    const size_t colon = role.find(':');
    const std::string name = role.substr(0, colon);
    const QString root = QString::fromStdString(role.substr(colon + 1));
    if (name == "churn") {
        const size_t second = role.find(':', colon + 1);
        churnLibrary(QString::fromStdString(role.substr(second + 1)),
                     static_cast<unsigned>(std::stoul(role.substr(colon + 1, second - colon - 1))));
    }
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

} // namespace tarn::TestSupport
