// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>

#include <QAbstractButton>

#include "app/settings/CaptureSettingsPage.h"
#include "app/settings/GeneralSettingsPage.h"
#include "app/settings/RecordingSettingsPage.h"
#include "app/settings/SheetDialog.h"
#include "app/settings/StorageSettingsPage.h"
#include "platform/LoginItemService.h"

class QScrollArea;

namespace tarn {

// The settings sheet: 650 x 580, a header, four section tabs, the chosen section in a scrolling
// area and a footer with the version. Of its own it keeps only the chosen tab (the first on
// every presentation) and a mirror of the launch-at-login state, read from the login-item
// service when it is shown and after every change. Every other control shows a value owned
// elsewhere and reports the user's change (see the pages).
class SettingsView : public SheetDialog {
    Q_OBJECT

public:
    static constexpr int width = 650;
    static constexpr int height = 580;

    SettingsView(std::unique_ptr<LoginItemService> loginItems, const QString &version, const QString &libraryRoot,
                 QWidget *parent = nullptr);

    // 0 general, 1 capture, 2 recording; any other value shows storage.
    int selection() const { return selection_; }
    void setSelection(int index);
    QAbstractButton *tab(int index) const { return tabs_.at(index); }
    // The page on screen.
    QWidget *currentPage() const;
    // The scroll area the pages share.
    QScrollArea *scrollArea() const { return scroll_; }

    GeneralSettingsPage *general() const { return general_; }
    CaptureSettingsPage *capture() const { return capture_; }
    RecordingSettingsPage *recording() const { return recording_; }
    StorageSettingsPage *storage() const { return storage_; }

    bool launchAtLogin() const { return launchAtLogin_; }
    // Reads the login-item state again (done whenever the sheet is shown).
    void refreshLaunchAtLogin();
    // What turning the launch-at-login switch does: register or unregister, then read the
    // state back; a failure is reported through `failed` and changes nothing.
    void setLaunchAtLogin(bool value);

    static QString footerText(const QString &version);

Q_SIGNALS:
    // A complete Korean message for the application's error display.
    void failed(const QString &message);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *tabBar();
    QWidget *footer(const QString &version);

    std::unique_ptr<LoginItemService> loginItems_;
    int selection_ = 0;
    bool launchAtLogin_ = false;
    std::array<QAbstractButton *, 4> tabs_{};
    GeneralSettingsPage *general_;
    CaptureSettingsPage *capture_;
    RecordingSettingsPage *recording_;
    StorageSettingsPage *storage_;
    QScrollArea *scroll_ = nullptr;
};

} // namespace tarn
