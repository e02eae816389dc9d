// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/settings/SheetDialog.h"
#include "app/widgets/TarnButtonStyle.h"

class QLabel;

namespace tarn {

// The sheet that explains and obtains screen-capture access. It shows the access state it is
// given; its buttons ask for access or check again (and say what the check found), and once
// access is there the main button only closes the sheet. An X11 desktop has no settings page
// that grants screen access, so there is no button to open one: the sheet says so instead.
class PermissionView : public SheetDialog {
    Q_OBJECT

public:
    static constexpr int width = 570;

    explicit PermissionView(QWidget *parent = nullptr);

    // Where the other platform has a settings page to open: there is none here.
    static QString noSettingsPage();

    void setScreenPermission(bool granted);
    bool screenPermission() const { return granted_; }

    TarnButton *permissionButton() const { return permission_; }
    QPushButton *recheckButton() const { return recheck_; }
    // What the last check found; hidden until the first.
    QLabel *recheckResult() const { return recheckResult_; }

Q_SIGNALS:
    void permissionRequested();
    void recheckRequested();

private:
    TarnButton *permission_;
    QPushButton *recheck_;
    QLabel *recheckResult_;
    bool granted_ = false;
};

} // namespace tarn
