// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Keys an exclusive test leaves held down in the X server. A key pressed through XTest stays
// down until a release comes the same way, whatever program pressed it and whether it still runs;
// the server then drops the next press of that key as a second one, and a later test, on the same
// display, loses its first press of it (its release arrives alone). Such a test fails, naming the
// keys, and they are let go so that the tests after it start with none held.
#include <cstdlib>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace tarn::TestSupport {

// The keycodes the X server holds down; none without an X display.
inline std::vector<uint8_t> heldKeys()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return {};
    xcb_connection_t *connection = x11->connection();
    xcb_query_keymap_reply_t *keymap = xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr);
    std::vector<uint8_t> held;
    for (int code = 8; keymap && code < 256; ++code)
        if (keymap->keys[code / 8] & (1 << (code % 8)))
            held.push_back(uint8_t(code));
    free(keymap);
    return held;
}

class HeldKeysCheck : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &test) override
    {
        if (!std::string(test.test_suite_name()).starts_with("Exclusive"))
            return;
        const std::vector<uint8_t> held = heldKeys();
        if (held.empty())
            return;
        std::string codes;
        for (const uint8_t code : held)
            codes += ' ' + std::to_string(code);
        ADD_FAILURE() << "the test left keys held down in the X server (keycodes" << codes << ")";
        xcb_connection_t *connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        for (const uint8_t code : held)
            xcb_test_fake_input(connection, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(connection);
        EXPECT_TRUE(QTest::qWaitFor([] { return heldKeys().empty(); }, 2000));
    }
};

} // namespace tarn::TestSupport
