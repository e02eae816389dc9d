// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QStringList>
#include <QWidget>

#include "app/settings/SettingToggle.h"
#include "app/settings/SwitchButton.h"

namespace tarn {

// The "일반" page of the settings window: the three work-flow switches, the notice of global
// shortcuts that another application holds, and launch at login. It shows values owned
// elsewhere and reports the user's changes through its controls' signals.
class GeneralSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit GeneralSettingsPage(QWidget *parent = nullptr);

    SettingToggle *openEditor() const { return openEditor_; }
    SettingToggle *copyAfterCapture() const { return copyAfterCapture_; }
    SettingToggle *globalShortcuts() const { return globalShortcuts_; }
    SwitchButton *launchAtLogin() const { return launchAtLogin_; }
    QLabel *clashNotice() const { return clashNotice_; }

    // Shows the notice while some shortcut failed, hides it otherwise.
    void setShortcutFailures(const QStringList &failures);
    // The notice's text for the failed shortcut labels, in their order.
    static QString clashText(const QStringList &failures);

private:
    SettingToggle *openEditor_;
    SettingToggle *copyAfterCapture_;
    SettingToggle *globalShortcuts_;
    SwitchButton *launchAtLogin_;
    QLabel *clashNotice_;
};

} // namespace tarn
