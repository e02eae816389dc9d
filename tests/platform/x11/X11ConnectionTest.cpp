// SPDX-License-Identifier: GPL-3.0-or-later
// Errors of requests without a reply do not pile up on a long-lived connection.
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "platform/x11/X11Connection.h"

namespace tarn::X11 {
namespace {

TEST(X11Connection, ErrorsOfRequestsWithoutAReplyAreDiscarded)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display";
    Connection connection;
    ASSERT_TRUE(connection.ok());
    xcb_connection_t *c = connection.get();
    // An identifier of ours that names no window: mapping it fails with BadWindow, and a
    // read (a round trip) brings that error into the event queue.
    const xcb_window_t missing = xcb_generate_id(c);
    for (int i = 0; i < 3; ++i)
        xcb_map_window(c, missing);
    EXPECT_FALSE(
        connection.bytes(connection.root(), connection.atom("TARN_NO_SUCH_PROPERTY"), XCB_GET_PROPERTY_TYPE_ANY));
    xcb_generic_event_t *queued = xcb_poll_for_queued_event(connection.get());
    ASSERT_NE(queued, nullptr); // the errors wait in the event queue
    EXPECT_EQ(queued->response_type, 0);
    std::free(queued);

    connection.discardEvents();
    queued = xcb_poll_for_queued_event(connection.get());
    EXPECT_EQ(queued, nullptr);
    std::free(queued);
    EXPECT_TRUE(connection.ok());
}

} // namespace
} // namespace tarn::X11
