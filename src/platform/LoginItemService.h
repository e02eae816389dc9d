// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QString>

#include "core/base/Failure.h"

namespace tarn {

// Whether the application starts with the user's session, and the two calls that change it.
// The four answers are those of a login-item service: only `enabled` means it will start.
class LoginItemService {
public:
    enum class Status { notRegistered, enabled, requiresApproval, notFound };

    virtual ~LoginItemService() = default;

    virtual Status status() = 0;
    // Both throw LoginItemFailure. Unregistering an item that is not registered succeeds.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
    // Shows the system's page of login items where the desktop has one.
    virtual void openSystemSettings() = 0;
};

// A login item could not be switched on or off; the description says which and why.
class LoginItemFailure : public Failure {
public:
    LoginItemFailure(bool registering, QString reason) : registering_(registering), reason_(std::move(reason)) { }

    bool registering() const { return registering_; }
    QString description() const override;

private:
    bool registering_;
    QString reason_;
};

// The service of this desktop: an XDG autostart entry for the running executable.
std::unique_ptr<LoginItemService> makeLoginItemService();

} // namespace tarn
