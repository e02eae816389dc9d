// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/HotKeyManager.h"

#include <algorithm>
#include <array>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace tarn {

namespace {

constexpr uint16_t hotKeyModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
// Caps Lock and Num Lock (conventionally Mod2) change the reported state; each key is grabbed
// once for every combination of them so that the keys work whatever those locks are.
constexpr std::array<uint16_t, 4> lockVariants{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                               XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr uint16_t relevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

xcb_connection_t *applicationConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

class HotKeyManager::Filter : public QAbstractNativeEventFilter {
public:
    explicit Filter(HotKeyManager &owner) : owner_(owner) { }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t" || !message)
            return false;
        auto *event = static_cast<xcb_generic_event_t *>(message);
        const uint8_t type = event->response_type & 0x7f;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        auto *key = static_cast<xcb_key_press_event_t *>(message);
        return owner_.handleKeyEvent(type, key->event, key->detail, key->state, key->time);
    }

private:
    HotKeyManager &owner_;
};

const std::vector<HotKeyManager::Key> &HotKeyManager::keys()
{
    static const std::vector<Key> table{{1, 0x31}, {2, 0x32}, {3, 0x33}, {4, 0x34}, {5, 0x35}};
    return table;
}

QString HotKeyManager::label(uint32_t identifier)
{
    return QStringLiteral("Ctrl+Shift+") + QString::number(identifier);
}

QString HotKeyManager::handlerFailure(int status)
{
    return QStringLiteral("전역 키 이벤트 등록 실패 (") + QString::number(status) + QStringLiteral(")");
}

HotKeyManager::HotKeyManager(QObject *parent) : QObject(parent) { }

HotKeyManager::~HotKeyManager() { unregister(); }

QStringList HotKeyManager::registerKeys(bool enabled)
{
    unregister();
    if (!enabled)
        return {};
    auto *connection = applicationConnection();
    if (!connection || xcb_connection_has_error(connection))
        return {handlerFailure(-1)};
    connection_ = connection;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    eventHandler_ = std::make_unique<Filter>(*this);
    qGuiApp->installNativeEventFilter(eventHandler_.get());

    QStringList failures;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    for (const Key &key : keys()) {
        uint8_t keycode = 0;
        if (xcb_keycode_t *codes = symbols ? xcb_key_symbols_get_keycode(symbols, key.keysym) : nullptr) {
            keycode = codes[0];
            free(codes);
        }
        if (keycode != 0 && grab(keycode))
            hotKeys_.push_back({key.identifier, keycode});
        else
            failures << label(key.identifier);
    }
    if (symbols)
        xcb_key_symbols_free(symbols);
    return failures;
}

// Grabs every lock variant with checked requests; a key that another client holds in any
// variant is given back entirely, so it counts as failed and the other client keeps it.
bool HotKeyManager::grab(uint8_t keycode)
{
    auto *connection = static_cast<xcb_connection_t *>(connection_);
    std::array<xcb_void_cookie_t, lockVariants.size()> cookies{};
    for (size_t i = 0; i < lockVariants.size(); ++i)
        cookies[i] = xcb_grab_key_checked(connection, 0, root_, hotKeyModifiers | lockVariants[i], keycode,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool ok = true;
    for (const xcb_void_cookie_t &cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            ok = false;
            free(error);
        }
    }
    if (!ok)
        ungrab(keycode);
    return ok;
}

void HotKeyManager::ungrab(uint8_t keycode)
{
    auto *connection = static_cast<xcb_connection_t *>(connection_);
    for (uint16_t variant : lockVariants)
        xcb_ungrab_key(connection, keycode, root_, hotKeyModifiers | variant);
    xcb_flush(connection);
}

void HotKeyManager::unregister()
{
    for (const Grab &key : hotKeys_)
        ungrab(key.keycode);
    hotKeys_.clear();
    keysDown_.clear();
    lastRelease_.reset();
    if (eventHandler_) {
        if (qGuiApp)
            qGuiApp->removeNativeEventFilter(eventHandler_.get());
        eventHandler_.reset();
    }
    connection_ = nullptr;
}

std::vector<uint32_t> HotKeyManager::registeredIdentifiers() const
{
    std::vector<uint32_t> identifiers;
    for (const Grab &key : hotKeys_)
        identifiers.push_back(key.identifier);
    return identifiers;
}

bool HotKeyManager::hasEventHandler() const { return eventHandler_ != nullptr; }

// A held key repeats, and without detectable auto-repeat the server sends each repeat as a
// release and a press with the same timestamp. Only a press after a real release counts: a
// press that matches the last release of the same key in time is a repeat and is swallowed,
// whatever the modifiers are by then. Releases are matched by key alone, since the modifiers may
// already be up when the digit comes up. Detectable auto-repeat is not switched on: it would
// apply to the whole application connection and change how its own windows see held keys.
bool HotKeyManager::handleKeyEvent(uint8_t responseType, uint32_t window, uint8_t keycode, uint16_t state,
                                   uint32_t time)
{
    auto down = std::find(keysDown_.begin(), keysDown_.end(), keycode);
    // A keyboard grab of one of our own windows (the region overlay opened by this very key)
    // takes the release away from the root window. It still ends the press: otherwise the key
    // would stay marked as held and its next press would be taken for a repeat and swallowed.
    // Such a release belongs to the grabbing window and is passed on.
    if (responseType == XCB_KEY_RELEASE) {
        if (down == keysDown_.end())
            return false;
        keysDown_.erase(down);
        lastRelease_ = Release{keycode, time};
        return window == root_;
    }
    if (window != root_)
        return false;
    if (down == keysDown_.end() && lastRelease_ && lastRelease_->keycode == keycode && lastRelease_->time == time) {
        keysDown_.push_back(keycode);
        return true;
    }
    if ((state & relevantModifiers) != hotKeyModifiers)
        return false;
    auto key =
        std::find_if(hotKeys_.begin(), hotKeys_.end(), [keycode](const Grab &grab) { return grab.keycode == keycode; });
    if (key == hotKeys_.end())
        return false;
    if (down == keysDown_.end()) {
        keysDown_.push_back(keycode);
        deliver(key->identifier);
    }
    return true;
}

void HotKeyManager::deliver(uint32_t identifier)
{
    QMetaObject::invokeMethod(
        this, [this, identifier] { Q_EMIT activated(identifier); }, Qt::QueuedConnection);
}

} // namespace tarn
