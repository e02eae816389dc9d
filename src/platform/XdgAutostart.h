// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LoginItemService.h"

namespace tarn {

// Launch at login through an XDG autostart entry: the session starts each entry of
// $XDG_CONFIG_HOME/autostart that is not hidden or switched off. The entry is ours when its
// Exec starts this executable; any other content reads as not registered and is replaced by
// the next registration.
class XdgAutostart : public LoginItemService {
public:
    // `entryFile` the desktop entry to manage; `executable` the absolute path of the program it
    // starts (empty when unknown, which reads as notFound and refuses to register).
    XdgAutostart(QString entryFile, QString executable);

    // $XDG_CONFIG_HOME/autostart/tarnwick.desktop, with ~/.config for an unset or relative
    // XDG_CONFIG_HOME.
    static QString defaultEntryFile();
    // The entry written for an executable.
    static QByteArray entryText(const QString &executable);

    Status status() override;
    void registerItem() override;
    void unregisterItem() override;
    // Autostart has no settings page of its own: nothing to open.
    void openSystemSettings() override { }

    const QString &entryFile() const { return entryFile_; }

private:
    QString entryFile_;
    QString executable_;
};

} // namespace tarn
