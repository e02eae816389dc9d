// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/settings/SheetDialog.h"
#include "app/widgets/TarnButtonStyle.h"

namespace tarn {

// The sheet that explains and obtains screen-capture access. It shows the access state it is
// given; its buttons ask for access, open the system's settings, or check again, and once
// access is there the main button only closes the sheet.
class PermissionView : public SheetDialog {
    Q_OBJECT

public:
    static constexpr int width = 570;

    explicit PermissionView(QWidget *parent = nullptr);

    // How access works on this desktop, where there is no privacy page to open: the sheet
    // shows it, and the settings page's button carries it as its tooltip.
    static QString desktopGuidance();

    void setScreenPermission(bool granted);
    bool screenPermission() const { return granted_; }

    TarnButton *permissionButton() const { return permission_; }
    TarnButton *settingsButton() const { return settings_; }
    QPushButton *recheckButton() const { return recheck_; }

Q_SIGNALS:
    void permissionRequested();
    void privacySettingsRequested();
    void recheckRequested();

private:
    TarnButton *permission_;
    TarnButton *settings_;
    QPushButton *recheck_;
    bool granted_ = false;
};

} // namespace tarn
