// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/SheetRouter.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/capture/DesktopScreens.h"
#include "app/model/AppModel.h"
#include "app/model/ProductInfo.h"
#include "app/settings/PermissionView.h"
#include "app/settings/RecordingSetupView.h"
#include "app/settings/SettingsView.h"
#include "app/settings/ShortcutsView.h"
#include "app/settings/WindowPickerView.h"

namespace tarn {
namespace {

// Shows a preference in a control and writes the user's edits back: a switch row or a picker.
template <typename Control, typename Value>
void bind(Control *control, Preferences &preferences, Value (Preferences::*get)() const,
          void (Preferences::*set)(Value), void (Preferences::*changed)(Value))
{
    control->setValue((preferences.*get)());
    QObject::connect(&preferences, changed, control, [control](Value value) { control->setValue(value); });
    QObject::connect(control, &Control::edited, &preferences,
                     [&preferences, set](Value value) { (preferences.*set)(value); });
}

SheetDialog *makeSettings(AppModel &app, QWidget *parent)
{
    auto *view = new SettingsView(makeLoginItemService(), ProductInfo::version(), app.repository().root(), parent);
    Preferences &p = app.preferences();
    GeneralSettingsPage *general = view->general();
    bind(general->openEditor(), p, &Preferences::openEditor, &Preferences::setOpenEditor,
         &Preferences::openEditorChanged);
    bind(general->copyAfterCapture(), p, &Preferences::copyAfterCapture, &Preferences::setCopyAfterCapture,
         &Preferences::copyAfterCaptureChanged);
    bind(general->globalShortcuts(), p, &Preferences::globalShortcuts, &Preferences::setGlobalShortcuts,
         &Preferences::globalShortcutsChanged);
    // The hot keys follow each change the user makes here, and only those: opening the sheet
    // registers nothing.
    QObject::connect(general->globalShortcuts(), &SettingToggle::edited, &app, &AppModel::notifyShortcutsChanged);
    general->setShortcutFailures(app.shortcutFailures());
    QObject::connect(&app, &AppModel::shortcutFailuresChanged, general,
                     [general, &app] { general->setShortcutFailures(app.shortcutFailures()); });

    CaptureSettingsPage *capture = view->capture();
    bind(capture->captureCursor(), p, &Preferences::captureCursor, &Preferences::setCaptureCursor,
         &Preferences::captureCursorChanged);
    bind(capture->captureDelay(), p, &Preferences::captureDelay, &Preferences::setCaptureDelay,
         &Preferences::captureDelayChanged);
    bind(capture->automaticOCR(), p, &Preferences::automaticOCR, &Preferences::setAutomaticOCR,
         &Preferences::automaticOCRChanged);
    capture->setScreenPermission(app.screenPermission());
    QObject::connect(&app, &AppModel::screenPermissionChanged, capture, &CaptureSettingsPage::setScreenPermission);

    RecordingSettingsPage *recording = view->recording();
    bind(recording->frameRate(), p, &Preferences::frameRate, &Preferences::setFrameRate,
         &Preferences::frameRateChanged);
    bind(recording->recordingLongEdge(), p, &Preferences::recordingLongEdge, &Preferences::setRecordingLongEdge,
         &Preferences::recordingLongEdgeChanged);
    bind(recording->systemAudio(), p, &Preferences::systemAudio, &Preferences::setSystemAudio,
         &Preferences::systemAudioChanged);
    bind(recording->microphone(), p, &Preferences::microphone, &Preferences::setMicrophone,
         &Preferences::microphoneChanged);

    StorageSettingsPage *storage = view->storage();
    const auto summarize = [storage, &app] { storage->setSummary(app.storedBytes(), int(app.items().size())); };
    summarize();
    QObject::connect(&app, &AppModel::itemsChanged, storage, summarize);

    QObject::connect(view, &SettingsView::failed, &app, [&app](const QString &message) { app.showError(message); });
    return view;
}

SheetDialog *makePermission(AppModel &app, QWidget *parent)
{
    auto *view = new PermissionView(parent);
    view->setScreenPermission(app.screenPermission());
    QObject::connect(&app, &AppModel::screenPermissionChanged, view, &PermissionView::setScreenPermission);
    QObject::connect(view, &PermissionView::permissionRequested, &app, &AppModel::requestScreenPermission);
    QObject::connect(view, &PermissionView::recheckRequested, &app,
                     [&app] { app.setScreenPermission(app.screenCaptureAccess()); });
    return view;
}

SheetDialog *makeRecordingSetup(AppModel &app, QWidget *parent)
{
    const std::vector<DisplayInfo> displays = DesktopScreens::source().displays();
    std::vector<ScreenName> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.push_back({screen->name(), RecordingDisplays::monitorName(screen->manufacturer(), screen->model())});
    const std::vector<DisplayChoice> choices = RecordingDisplays::choices(screens, displays);
    auto *view = new RecordingSetupView(choices, parent);
    const QScreen *pointer = app.currentScreen();
    if (const auto id = RecordingDisplays::preselected(choices, pointer ? pointer->name() : QString(), displays))
        view->setDisplayID(*id);

    Preferences &p = app.preferences();
    bind(view->recordingRegion(), p, &Preferences::recordingRegion, &Preferences::setRecordingRegion,
         &Preferences::recordingRegionChanged);
    bind(view->frameRate(), p, &Preferences::frameRate, &Preferences::setFrameRate, &Preferences::frameRateChanged);
    bind(view->recordingLongEdge(), p, &Preferences::recordingLongEdge, &Preferences::setRecordingLongEdge,
         &Preferences::recordingLongEdgeChanged);
    bind(view->systemAudio(), p, &Preferences::systemAudio, &Preferences::setSystemAudio,
         &Preferences::systemAudioChanged);
    bind(view->microphone(), p, &Preferences::microphone, &Preferences::setMicrophone, &Preferences::microphoneChanged);
    view->setBusy(app.isBusy());
    QObject::connect(&app, &AppModel::isBusyChanged, view, &RecordingSetupView::setBusy);
    QObject::connect(view, &RecordingSetupView::startRequested, &app, &AppModel::startRecording);
    return view;
}

SheetDialog *makeWindowPicker(AppModel &app, QWidget *parent)
{
    auto *view = new WindowPickerView(app.windows(), &DesktopScreens::source(), parent);
    QObject::connect(&app, &AppModel::windowsChanged, view, [view, &app] { view->setWindows(app.windows()); });
    QObject::connect(view, &WindowPickerView::windowChosen, &app, &AppModel::captureWindow);
    return view;
}

} // namespace

SheetDialog *makeSheet(AppSheet sheet, AppModel &app, QWidget *parent)
{
    SheetDialog *dialog = nullptr;
    switch (sheet) {
    case AppSheet::settings:
        dialog = makeSettings(app, parent);
        break;
    case AppSheet::permissions:
        dialog = makePermission(app, parent);
        break;
    case AppSheet::recording:
        dialog = makeRecordingSetup(app, parent);
        break;
    case AppSheet::windows:
        dialog = makeWindowPicker(app, parent);
        break;
    case AppSheet::shortcuts:
        dialog = new ShortcutsView(parent);
        break;
    }
    QObject::connect(dialog, &SheetDialog::closeRequested, &app, &AppModel::closeSheet);
    return dialog;
}

SheetPresenter::SheetPresenter(AppModel &app, QObject *parent) : QObject(parent), app_(app)
{
    connect(&app_, &AppModel::sheetChanged, this, &SheetPresenter::follow);
    follow();
}

SheetPresenter::~SheetPresenter() { dismissCurrent(); }

void SheetPresenter::dismissCurrent()
{
    if (!current_)
        return;
    SheetDialog *old = current_;
    current_ = nullptr;
    shown_.reset();
    old->dismiss();
    old->deleteLater();
}

void SheetPresenter::follow()
{
    const std::optional<AppSheet> wanted = app_.sheet();
    if (current_ && shown_ == wanted)
        return;
    dismissCurrent();
    if (!wanted)
        return;
    current_ = makeSheet(*wanted, app_, app_.mainWindow());
    shown_ = wanted;
    current_->open();
}

} // namespace tarn
