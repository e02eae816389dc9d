#include <optional>
#include <vector>

#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include "platform/HotKeyManager.h"

namespace tarn {
namespace {

bool onX11() { return QGuiApplication::platformName() == QStringLiteral("xcb"); }

// Types keys through the X test extension, as a user at the keyboard would.
void press(const QString &keys)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}), 0) << keys.toStdString();
}

// Another X client holding Ctrl+Shift+<digit> on the root window.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr))
    {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~OtherClient() { xcb_disconnect(connection_); }

    void grab(uint32_t keysym)
    {
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection_);
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
        xcb_grab_key(connection_, 0, root_, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT, codes[0],
                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        free(codes);
        xcb_key_symbols_free(symbols);
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); // round trip
    }

private:
    xcb_connection_t *connection_;
    xcb_window_t root_ = 0;
};

class ExclusiveHotKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!onX11())
            GTEST_SKIP() << "needs an X display";
        manager_.onAction = [this](uint32_t identifier) { received_.push_back(identifier); };
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
    manager_.onAction = nullptr;
    ASSERT_TRUE(manager_.registerKeys(true).isEmpty());
    press(QStringLiteral("ctrl+shift+1"));
    QTest::qWait(200);
    EXPECT_TRUE(received_.empty());
}

} // namespace
} // namespace tarn
