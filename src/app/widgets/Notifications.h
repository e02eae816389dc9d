// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace tarn {

// The process-wide notices that one part of the application posts and another, which it does
// not know, acts on. One signal per notice; connect with a context object.
class Notifications : public QObject {
    Q_OBJECT

public:
    static Notifications &center();

Q_SIGNALS:
    // "Tarnwick.focusSearch": the library view moves the keyboard focus into its search field.
    void focusSearch();

private:
    Notifications() = default;
};

} // namespace tarn
