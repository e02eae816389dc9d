// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder's shared-memory buffers never outlive the process: each is marked for removal
// as soon as the X server has attached it.
#include <set>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <QGuiApplication>
#include <gtest/gtest.h>

#include "platform/x11/ShmScreenGrabber.h"

namespace tarn {
namespace {

struct OwnSegment {
    int id;
    bool markedForRemoval;
};

// The System V segments this process created, read from the kernel's table.
std::vector<OwnSegment> ownSegments()
{
    std::vector<OwnSegment> result;
    shmid_ds info{};
    const int highest = shmctl(0, SHM_INFO, reinterpret_cast<shmid_ds *>(&info));
    for (int index = 0; index <= highest; ++index) {
        shmid_ds ds{};
        const int id = shmctl(index, SHM_STAT, &ds);
        if (id >= 0 && ds.shm_cpid == getpid())
            result.push_back({id, (ds.shm_perm.mode & SHM_DEST) != 0});
    }
    return result;
}

TEST(ShmScreenGrabber, EveryBufferIsMarkedForRemovalAsSoonAsItIsAttached)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display";
    std::set<int> before;
    for (const OwnSegment &segment : ownSegments())
        before.insert(segment.id);
    {
        ShmScreenGrabber grabber(QSize(64, 48), 4);
        EXPECT_TRUE(grabber.grab(0, QPoint(0, 0), false).isEmpty());
        int fresh = 0;
        for (const OwnSegment &segment : ownSegments()) {
            if (before.count(segment.id))
                continue;
            ++fresh;
            EXPECT_TRUE(segment.markedForRemoval) << "segment " << segment.id;
        }
        EXPECT_EQ(fresh, 4);
    }
    // The server may detach a moment later; whatever is still there goes with it.
    for (const OwnSegment &segment : ownSegments())
        EXPECT_TRUE(before.count(segment.id) || segment.markedForRemoval) << "segment " << segment.id;
}

} // namespace
} // namespace tarn
