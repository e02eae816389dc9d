// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QStringList>

namespace tarn {

// The five system-wide keys Ctrl+Shift+1 to Ctrl+Shift+5, grabbed on the X root window so that
// captures and recordings can start while another application has the focus. Each press is
// reported once through `activated` with its identifier (1 to 5), on the GUI thread, after the event
// handling that saw it has returned. The manager knows nothing of the commands themselves.
class HotKeyManager : public QObject {
    Q_OBJECT

public:
    struct Key {
        uint32_t identifier;
        uint32_t keysym; // the digit key
    };
    // Identifier and key of each hot key, in registration order.
    static const std::vector<Key> &keys();
    // The text shown for a key that could not be registered, "Ctrl+Shift+<identifier>".
    static QString label(uint32_t identifier);
    // The text returned when the key handler cannot be installed.
    static QString handlerFailure(int status);

    explicit HotKeyManager(QObject *parent = nullptr);
    // Removes the key handler and gives the keys back, so no event can reach a dead manager.
    ~HotKeyManager() override;

    // Registers the keys anew (unregistering first). Returns nothing when every key was
    // registered or `enabled` is false; otherwise the labels of the keys another client already
    // holds, in identifier order, or the single handler failure text when there is no X11
    // connection.
    QStringList registerKeys(bool enabled);
    void unregister();

    // Identifiers of the keys currently held, in registration order.
    std::vector<uint32_t> registeredIdentifiers() const;
    bool hasEventHandler() const;

Q_SIGNALS:
    void activated(uint32_t identifier);

private:
    class Filter;
    struct Grab {
        uint32_t identifier;
        uint8_t keycode;
    };

    struct Release {
        uint8_t keycode;
        uint32_t time;
    };

    bool handleKeyEvent(uint8_t responseType, uint32_t window, uint8_t keycode, uint16_t state, uint32_t time);
    bool grab(uint8_t keycode);
    void ungrab(uint8_t keycode);
    void deliver(uint32_t identifier);

    std::unique_ptr<Filter> eventHandler_;
    std::vector<Grab> hotKeys_;
    std::vector<uint8_t> keysDown_;
    std::optional<Release> lastRelease_; // the latest release of a held hot key
    void *connection_ = nullptr;         // xcb_connection_t of the application, while registered
    uint32_t root_ = 0;
};

} // namespace tarn
