// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>
#include <vector>

#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include "platform/x11/HotKeyManager.h"

namespace tarn {
namespace {

bool onX11() { return QGuiApplication::platformName() == QStringLiteral("xcb"); }

// Runs an X command-line tool, such as xdotool or xset.
void run(const QString &program, const QStringList &arguments)
{
    ASSERT_EQ(QProcess::execute(program, arguments), 0)
        << program.toStdString() << ' ' << arguments.join(QLatin1Char(' ')).toStdString();
}

// Types keys through the X test extension, as a user at the keyboard would.
void press(const QString &keys) { run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}); }

// Another X client holding Ctrl+Shift+<digit> on the root window.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr))
    {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    // Gives its keys back and waits until the server has done so: the server handles a
    // disconnect on its own time, so the next registration could otherwise still find them held.
    ~OtherClient()
    {
        xcb_ungrab_key(connection_, XCB_GRAB_ANY, root_, XCB_MOD_MASK_ANY);
        roundTrip();
        xcb_disconnect(connection_);
    }

    void grab(uint32_t keysym)
    {
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection_);
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
        xcb_grab_key(connection_, 0, root_, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT, codes[0], XCB_GRAB_MODE_ASYNC,
                     XCB_GRAB_MODE_ASYNC);
        free(codes);
        xcb_key_symbols_free(symbols);
        roundTrip();
    }

private:
    void roundTrip() { free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); }

    xcb_connection_t *connection_;
    xcb_window_t root_ = 0;
};

class ExclusiveHotKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!onX11())
            GTEST_SKIP() << "needs an X display";
        QObject::connect(&manager_, &HotKeyManager::activated, &manager_,
                         [this](uint32_t identifier) { received_.push_back(identifier); });
    }

    // Waits for the next delivered identifier.
    std::optional<uint32_t> next(int timeoutMs = 5000)
    {
        const size_t before = received_.size();
        if (!QTest::qWaitFor([&] { return received_.size() > before; }, timeoutMs))
            return std::nullopt;
        return received_.back();
    }

    HotKeyManager manager_;
    std::vector<uint32_t> received_;
};

TEST_F(ExclusiveHotKeys, APressReachesTheHandlerWithItsIdentifierWhateverTheLocks)
{
    ASSERT_TRUE(manager_.registerKeys(true).isEmpty());
    EXPECT_EQ(manager_.registeredIdentifiers(), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
    press(QStringLiteral("ctrl+shift+3"));
    EXPECT_EQ(next(), 3u);
    press(QStringLiteral("ctrl+shift+5"));
    EXPECT_EQ(next(), 5u);

    press(QStringLiteral("Caps_Lock"));
    press(QStringLiteral("ctrl+shift+1"));
    const auto withCapsLock = next();
    press(QStringLiteral("Caps_Lock"));
    EXPECT_EQ(withCapsLock, 1u);

    // A press is delivered once, after the event handling that saw it.
    QTest::qWait(100);
    EXPECT_EQ(received_, (std::vector<uint32_t>{3, 5, 1}));
}

// The server repeats a held key; the command runs once per press however long it is held.
TEST_F(ExclusiveHotKeys, AHeldKeyIsDeliveredOnce)
{
    ASSERT_TRUE(manager_.registerKeys(true).isEmpty());
    run(QStringLiteral("xset"), {QStringLiteral("r"), QStringLiteral("on")});
    run(QStringLiteral("xset"),
        {QStringLiteral("r"), QStringLiteral("rate"), QStringLiteral("200"), QStringLiteral("30")});
    run(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("ctrl+shift+4")});
    QTest::qWait(1000);
    run(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("ctrl+shift+4")});
    run(QStringLiteral("xset"), {QStringLiteral("r"), QStringLiteral("rate")});
    QTest::qWait(200);
    EXPECT_EQ(received_, (std::vector<uint32_t>{4}));

    // The next press after the release counts again.
    press(QStringLiteral("ctrl+shift+4"));
    EXPECT_EQ(next(), 4u);
    QTest::qWait(100);
    EXPECT_EQ(received_.size(), 2u);
}

TEST_F(ExclusiveHotKeys, RegisteringAgainNeverDuplicatesAndDisablingReleasesEverything)
{
    ASSERT_TRUE(manager_.registerKeys(true).isEmpty());
    ASSERT_TRUE(manager_.registerKeys(true).isEmpty());
    EXPECT_EQ(manager_.registeredIdentifiers().size(), 5u);
    EXPECT_TRUE(manager_.hasEventHandler());
    press(QStringLiteral("ctrl+shift+2"));
    EXPECT_EQ(next(), 2u);
    QTest::qWait(100);
    EXPECT_EQ(received_.size(), 1u);

    EXPECT_TRUE(manager_.registerKeys(false).isEmpty());
    EXPECT_TRUE(manager_.registeredIdentifiers().empty());
    EXPECT_FALSE(manager_.hasEventHandler());
    press(QStringLiteral("ctrl+shift+2"));
    EXPECT_EQ(next(1000), std::nullopt);

    // Released keys can be taken by another client, and by us again afterwards.
    {
        OtherClient other;
        other.grab(0x32);
    }
    EXPECT_TRUE(manager_.registerKeys(true).isEmpty());
}

TEST_F(ExclusiveHotKeys, AKeyAnotherClientHoldsIsReportedAndTheOthersWork)
{
    OtherClient other;
    other.grab(0x33);
    EXPECT_EQ(manager_.registerKeys(true), QStringList{QStringLiteral("Ctrl+Shift+3")});
    EXPECT_EQ(manager_.registeredIdentifiers(), (std::vector<uint32_t>{1, 2, 4, 5}));
    press(QStringLiteral("ctrl+shift+4"));
    EXPECT_EQ(next(), 4u);
    press(QStringLiteral("ctrl+shift+3"));
    EXPECT_EQ(next(1000), std::nullopt);
}

TEST_F(ExclusiveHotKeys, APressWithoutACallbackIsSwallowed)
{
    QObject::disconnect(&manager_, &HotKeyManager::activated, nullptr, nullptr);
    ASSERT_TRUE(manager_.registerKeys(true).isEmpty());
    press(QStringLiteral("ctrl+shift+1"));
    QTest::qWait(200);
    EXPECT_TRUE(received_.empty());
}

} // namespace
} // namespace tarn
