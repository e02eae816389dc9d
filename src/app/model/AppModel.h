// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QWidget>

class QFileDialog;
#include <qcoro/qcorotask.h>

#include "app/capture/CapturedImage.h"
#include "app/capture/RecordingService.h"
#include "app/capture/RegionSelector.h"
#include "app/capture/ScreenCaptureService.h"
#include "app/capture/ShareableContent.h"
#include "app/editor/EditorHost.h"
#include "app/floating/FloatingWindows.h"
#include "app/floating/QuickCaptureView.h"
#include "app/flows/AppWindows.h"
#include "app/flows/TaskCancellation.h"
#include "app/library/CaptureAction.h"
#include "app/library/LibrarySection.h"
#include "app/model/AppServices.h"
#include "app/model/Preferences.h"
#include "core/library/LibraryRepository.h"
#include "core/model/CaptureItem.h"
#include "core/text/TextRecognition.h"

namespace tarn {

class EditorController;
class LibraryLease;

// The one state object of the application: it owns every service and all library state, and
// every view reads its properties and calls its commands. Lives on the GUI thread; its async
// flows are coroutines that resume there, and `isBusy` keeps the guarded commands from
// overlapping while one of them awaits the store. Busy is a count of claims: each operation
// holds one `BusyClaim` for as long as it runs, and its scope releases it on every exit path.
// `isBusy` is true while any claim is held; `isBusyChanged` fires only when that flips.
class AppModel : public QObject, public QuickCaptureActions, public EditorHost {
    Q_OBJECT
    Q_PROPERTY(std::vector<tarn::CaptureItem> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(tarn::LibrarySection section READ section WRITE setSection NOTIFY sectionChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(std::set<tarn::Uuid> selectedItemIDs READ selectedItemIDs NOTIFY selectedItemIDsChanged)
    Q_PROPERTY(bool newestFirst READ newestFirst WRITE setNewestFirst NOTIFY newestFirstChanged)
    Q_PROPERTY(bool gridView READ gridView WRITE setGridView NOTIFY gridViewChanged)
    Q_PROPERTY(bool isBusy READ isBusy NOTIFY isBusyChanged)
    Q_PROPERTY(bool libraryReady READ libraryReady NOTIFY libraryReadyChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(std::optional<QString> errorMessage READ errorMessage WRITE setErrorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(std::optional<tarn::AppSheet> sheet READ sheet WRITE setSheet NOTIFY sheetChanged)
    Q_PROPERTY(std::vector<tarn::ShareableWindow> windows READ windows NOTIFY windowsChanged)
    Q_PROPERTY(bool screenPermission READ screenPermission WRITE setScreenPermission NOTIFY screenPermissionChanged)
    Q_PROPERTY(
        QStringList shortcutFailures READ shortcutFailures WRITE setShortcutFailures NOTIFY shortcutFailuresChanged)
    Q_PROPERTY(int pendingRecordingCount READ pendingRecordingCount NOTIFY pendingRecordingCountChanged)
    Q_PROPERTY(int exportsInFlight READ exportsInFlight NOTIFY exportsInFlightChanged)

public:
    // A held share of one of the model's counters (busy operations, exports in flight). Move
    // only; releasing it, or its end of scope, gives the share back once. A claim that outlives
    // the model releases nothing.
    class Claim {
    public:
        Claim() = default;
        Claim(Claim &&other) noexcept;
        Claim &operator=(Claim &&other) noexcept;
        Claim(const Claim &) = delete;
        Claim &operator=(const Claim &) = delete;
        ~Claim();

        bool isHeld() const { return release_ != nullptr; }
        void release();

    private:
        friend class AppModel;
        Claim(AppModel *model, void (AppModel::*release)());

        QPointer<AppModel> model_;
        void (AppModel::*release_)() = nullptr;
    };
    using BusyClaim = Claim;
    using ExportClaim = Claim;

    static QString initialStatus(); // "모든 작업은 이 컴퓨터에서 처리됩니다."
    static QString samplesStatus(); // "직접 생성한 샘플입니다. 실제 캡처나 측정 데이터가 아닙니다."
    static QString permissionReadyStatus(); // "화면 기록 권한이 준비되었습니다."
    static QString busyStatus(); // "진행 중인 작업이 있습니다. 완료된 후 다시 시도하세요."
    static constexpr int unsavedEditsCode = 10;

    // Builds the state and the services; touches no library file.
    AppModel(const QString &root, bool demo, QObject *parent = nullptr);
    // The same on other services: what a test puts in place of the desktop's own, or the smoke
    // run's own clipboard.
    AppModel(const QString &root, bool demo, AppServices services, QObject *parent = nullptr);
    ~AppModel() override;

    // Published state.
    const std::vector<CaptureItem> &items() const { return items_; }
    LibrarySection section() const { return section_; }
    const QString &searchText() const { return searchText_; }
    const std::set<Uuid> &selectedItemIDs() const { return selectedItemIDs_; }
    bool newestFirst() const { return newestFirst_; }
    bool gridView() const { return gridView_; }
    bool isBusy() const { return busyClaims_ > 0; }
    bool libraryReady() const { return libraryReady_; }
    const QString &status() const { return status_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }
    // The window the error's alert is shown over; null for the library window.
    QWidget *errorWindow() const { return errorWindow_; }
    std::optional<AppSheet> sheet() const { return sheet_; }
    const std::vector<ShareableWindow> &windows() const { return windows_; }
    bool screenPermission() const { return screenPermission_; }
    const QStringList &shortcutFailures() const { return shortcutFailures_; }
    int pendingRecordingCount() const { return pendingRecordingCount_; }
    // Exports still writing their files; quitting waits for them.
    int exportsInFlight() const { return exportsInFlight_; }
    // How often screen-recording or microphone access was asked for since the model was built:
    // the permission sheet's request button and each recording start with the microphone on.
    int permissionRequestCount() const { return permissionRequestCount_; }

    // Marks the model busy until the claim is released.
    [[nodiscard]] BusyClaim claimBusy();
    // Counts one export in flight until the claim is released.
    [[nodiscard]] ExportClaim claimExport();

    // A different section or search text empties the selection; the same value keeps it.
    void setSection(LibrarySection section);
    void setSearchText(const QString &text);
    void setNewestFirst(bool value);
    void setGridView(bool value);
    void setErrorMessage(const std::optional<QString> &message); // the view clears it
    void setSheet(std::optional<AppSheet> sheet);
    void setScreenPermission(bool value);
    void setShortcutFailures(const QStringList &failures);
    void setWindows(std::vector<ShareableWindow> windows);

    // Services and fixed state, constant for the run.
    Preferences &preferences() const { return *preferences_; }
    QObject *lifetime() override { return this; }
    LibraryRepository &repository() const override { return *repository_; }
    TextRecognition &recognition() const override { return *recognition_; }
    ScreenCaptureService &captureService() const { return *captureService_; }
    RecordingService &recorder() const { return *recorder_; }
    RegionSelector &selector() const { return *selector_; }
    FloatingWindows &floating() const override { return *floating_; }
    Clipboard &clipboard() const { return *clipboard_; }
    bool isDemo() const { return isDemo_; }

    // The library window, set by the delegate; brought forward for errors and sheets.
    QWidget *mainWindow() const { return mainWindow_; }
    void setMainWindow(QWidget *window) { mainWindow_ = window; }
    // The application windows hidden for a running recording, shown again when it ends.
    const AppWindows::HiddenWindows &recordingRestore() const { return recordingRestore_; }
    void setRecordingRestore(AppWindows::HiddenWindows windows) { recordingRestore_ = std::move(windows); }
    // Called by the settings view after the global-shortcut preference changed: announces
    // `shortcutsChanged`, on which the delegate registers the hot keys anew.
    void notifyShortcutsChanged() { Q_EMIT shortcutsChanged(); }

    // Derived values, computed on every read. The visible items are also given as pointers
    // into `items`, in the same order, which copy nothing and stay valid until `items` changes
    // (announced by itemsChanged).
    std::vector<CaptureItem> visibleItems() const;
    std::vector<const CaptureItem *> visibleItemRefs() const;
    int activeCount() const;
    int64_t storedBytes() const;
    bool allVisibleSelected() const;

    // Loading and seeding.
    // Loads the library. With the writer lease held, it also clears what a process killed in
    // the middle of a change left behind, before the library is ready.
    QCoro::Task<> load(const LibraryLease *writerLease = nullptr);
    QCoro::Task<> addSamples();

    // Puts the item into `items` by identifier (appended when it is new).
    void replace(const CaptureItem &item) override;

    // Selection of visible items.
    void selectAllVisible();
    void setSelection(const Uuid &id, bool selected);
    void clearSelection();

    // Favourites, trash and restore.
    void favorite(const CaptureItem &item);
    void trash(const CaptureItem &item);
    void trashSelected();
    void restoreSelected();

    // The shared error display: message and status line, and the library window brought
    // forward unless it is already on the screen. An error about another window of ours (an
    // editor that refuses a trash) has its alert shown over that window instead.
    void showError(std::exception_ptr error);
    void showError(const QString &message, QWidget *over = nullptr);

    void showLibrary() override;
    void present(AppSheet sheet);
    // The user closes the sheet without going on.
    void closeSheet();
    void requestScreenPermission();

    // Open editors by capture identifier. The model takes ownership; the entry leaves when the
    // editor's window closes (only if it is still that editor's entry).
    const std::map<Uuid, EditorController *> &editorControllers() const { return editorControllers_; }
    void addEditor(EditorController *controller);

    // The screen-capture check: granted while an X11 display answers.
    bool screenCaptureAccess() const;

    // Still captures. A capture command is ignored until the library is ready and while the
    // model is busy; the window action only lists the windows for the sheet, whose choice comes
    // back as captureWindow. The countdown's cancel button cancels the running capture.
    void beginCapture(CaptureAction action);
    void captureWindow(const ShareableWindow &window);
    void cancelCapture();
    // Recognizes a stored image's text and stores it with the capture; a failure only changes
    // the status line.
    void recognizeInBackground(const CaptureItem &item, const QImage &image);
    QScreen *currentScreen() const;
    static QString privacySettingsLink(bool microphone);

    // Recording. The command stops a running recording, takes back a start that has not
    // recorded yet, or opens the recording sheet whose start button calls startRecording; the
    // finished file is imported as a video.
    void toggleRecording();
    void startRecording(uint32_t displayID);
    // From an accepted start until the recorder runs or the start has ended otherwise. Meanwhile
    // our windows stay hidden: the library and sheets asked for wait until `recordingStartEnded`.
    bool recordingStarting() const { return recordingStarting_; }
    // Takes back a start that has not recorded yet: the countdown and the waits end at once,
    // nothing is recorded and the windows return.
    void cancelRecordingStart();

    // Opening and importing. A video plays in a new window, an image opens in its editor (the
    // open one comes forward). Imports copy images and movies into the library one by one and
    // list the files that failed in the error message. The new window opens on `screen`, the
    // screen of the window that asked; without one on the library window's screen. The import's
    // panel opens over the library window, which comes forward; while it is open, the panel does.
    void openItem(const CaptureItem &item, QScreen *screen = nullptr) override;
    void importFiles();
    QCoro::Task<> importURLs(QStringList files);

    // Copy, export and pin. Images leave flattened with their saved edits and without
    // metadata, videos as a copy of their file. None of them looks at or sets the busy state.
    QCoro::Task<QImage> renderedImage(CaptureItem item);
    QCoro::Task<> copyImage(QImage image) override; // PNG only; throws
    // Asks where (over `over`); throws, not when cancelled.
    QCoro::Task<> exportImage(QImage image, QString title, QWidget *over) override;
    void copyItem(const CaptureItem &item) override;
    void exportItem(const CaptureItem &item);
    // The pin opens on `screen`, chosen as for openItem.
    void pin(const CaptureItem &item, QScreen *screen = nullptr) override;

Q_SIGNALS:
    void itemsChanged();
    void sectionChanged(tarn::LibrarySection section);
    void searchTextChanged(const QString &text);
    void selectedItemIDsChanged();
    void newestFirstChanged(bool value);
    void gridViewChanged(bool value);
    void isBusyChanged(bool value);
    void libraryReadyChanged(bool value);
    void statusChanged(const QString &status);
    void errorMessageChanged();
    void sheetChanged();
    void windowsChanged();
    void screenPermissionChanged(bool value);
    void shortcutFailuresChanged();
    void pendingRecordingCountChanged(int count);
    void exportsInFlightChanged(int count);
    void shortcutsChanged();
    // The recorder has written its file, the HUD is gone and the hidden windows are back; the
    // recording flow imports the file from here.
    void recordingFinished(const QString &file);
    // A recording start is over, recording or not; our windows may be shown again.
    void recordingStartEnded();
    // A new editor is open; the delegate gives its window the menu bar.
    void editorAdded(tarn::EditorController *controller);

private:
    void setItems(std::vector<CaptureItem> items);
    void setSelectedItemIDs(std::set<Uuid> ids);
    void releaseBusy();
    // Whether work runs; a command that would start more is then refused, and says so.
    bool refusedWhileBusy();
    void releaseExport();
    void setLibraryReady(bool value);
    void setStatus(const QString &status);
    // The message for the alert, over `over` or (null) the library window.
    void publishError(const std::optional<QString> &message, QWidget *over);
    void setPendingRecordingCount(int count);
    void reconcileSelection();
    void connectRecorder();
    void endRecordingPresentation();
    void setTrashed(const std::vector<Uuid> &ids, bool value);
    QCoro::Task<> runSetTrashed(std::unordered_set<Uuid> ids, bool value, BusyClaim busy);
    QCoro::Task<> runFavorite(Uuid id, bool value);
    void removeEditor(const Uuid &id, EditorController *controller);
    void connectFlows();
    void presentAskedFrom(AppSheet sheet, uint32_t userWindow);
    QCoro::Task<> listWindows(BusyClaim busy, uint32_t userWindow);
    QCoro::Task<> runCapture(CaptureAction action, uint32_t displayID, CancellationToken token, BusyClaim busy);
    QCoro::Task<> runWindowCapture(ShareableWindow window, CancellationToken token, BusyClaim busy);
    void endCapture(const CancellationToken &token, BusyClaim &busy, std::exception_ptr failure = nullptr);
    QCoro::Task<> restoreBeforeOpening();
    CancellationToken startCaptureTask();
    void finishCaptureTask(const CancellationToken &token, BusyClaim &busy);
    // The screen of the work a new window belongs to: the one asked for, else the library
    // window's while it is shown, else the pointer's.
    QScreen *workScreen(QScreen *asked) const;
    QCoro::Task<> countdown(int seconds, CancellationToken token, QPointer<QScreen> screen);
    QCoro::Task<> recognizeCapturedText(QImage image, QPointer<QScreen> screen);
    QCoro::Task<> acceptCapture(CapturedImage captured, QString title, QPointer<QScreen> screen);
    QCoro::Task<> runRecognition(CaptureItem item, QImage image);
    // The two places the model reaches into an editor.
    void openEditor(const CaptureItem &item, const QImage &image, QScreen *screen);
    void showRecognitionInEditor(const CaptureItem &updated);
    void connectRecordingFlow();
    QCoro::Task<> runRecordingStart(uint32_t displayID, CancellationToken token, BusyClaim busy);
    void endRecordingStart(const CancellationToken &token, BusyClaim &busy);
    void finishRecordingStart(const CancellationToken &token, BusyClaim &busy);
    QCoro::Task<> discardUnstartedRecording(QString destination);
    QCoro::Task<> finalizeRecording(QString file);
    QCoro::Task<> recountPendingRecordings(std::optional<int> fallback = std::nullopt);
    QCoro::Task<> decodeThenEdit(CaptureItem item, QPointer<QScreen> screen);
    QCoro::Task<> chooseThenImport(QFileDialog *dialog);
    QCoro::Task<> importVideo(QString file);
    QCoro::Task<> importImage(QString file);
    QCoro::Task<> runCopyItem(CaptureItem item);
    QCoro::Task<> runExportItem(CaptureItem item);
    QCoro::Task<> exportRendered(CaptureItem item);
    QCoro::Task<> exportVideo(CaptureItem item);
    QCoro::Task<> runPin(CaptureItem item, QPointer<QScreen> screen);

    std::vector<CaptureItem> items_;
    LibrarySection section_ = LibrarySection::all;
    QString searchText_;
    std::set<Uuid> selectedItemIDs_;
    bool newestFirst_ = true;
    bool gridView_ = true;
    int busyClaims_ = 0;
    int exportsInFlight_ = 0;
    bool libraryReady_ = false;
    QString status_;
    std::optional<QString> errorMessage_;
    QPointer<QWidget> errorWindow_;
    std::optional<AppSheet> sheet_;
    std::vector<ShareableWindow> windows_;
    bool screenPermission_ = false;
    QStringList shortcutFailures_;
    int pendingRecordingCount_ = 0;
    int permissionRequestCount_ = 0;

    std::unique_ptr<TextRecognition> recognition_;
    std::unique_ptr<ScreenCaptureService> captureService_;
    std::unique_ptr<RecordingService> recorder_;
    // A child, not a member: it goes after the members, once pointers to the model read null, and a
    // capture or recording start waiting for its selection then wakes with nothing and ends.
    RegionSelector *selector_;
    std::unique_ptr<FloatingWindows> floating_;
    bool isDemo_ = false;
    std::unique_ptr<Preferences> preferences_;
    std::unique_ptr<LibraryRepository> repository_;
    std::unique_ptr<Clipboard> clipboard_;
    FlowTimings timings_;
    std::optional<CancellationToken> captureTask_; // the running capture or recording start
    std::set<Uuid> openingItems_;                  // images whose original decodes for an editor
    std::set<Uuid> exportingItems_;                // items whose export panel is open or about to open
    bool recountWhenIdle_ = false;                 // a recording failed while the recorder was still busy
    bool recordingStarting_ = false;               // a recording start runs; our windows stay hidden
    bool libraryHeld_ = false;                     // the library was asked for during the start
    std::optional<AppSheet> sheetHeld_;            // a sheet was asked for during the start
    std::map<Uuid, EditorController *> editorControllers_;
    QPointer<QWidget> mainWindow_;
    QPointer<QWidget> importPanel_; // the import's file panel, over the library window
    AppWindows::HiddenWindows recordingRestore_;
    // The other program the user asked for the window or recording sheet from. The sheet takes the
    // keyboard from it, and it gets the keyboard back when the capture or recording is over, its
    // start taken back or the sheet closed, not the library under the sheet, which has it only
    // because the sheet has just closed.
    uint32_t sheetUserWindow_ = 0;
    bool recordingEndedElsewhere_ = false;     // the keyboard went back to another program when it ended
    AppWindows::HiddenWindows captureRestore_; // the windows hidden for the running capture
    // Favourite values submitted to the store and not yet answered, newest per item, so that a
    // quick second toggle builds on the first instead of on a copy that predates it.
    std::unordered_map<Uuid, std::pair<bool, int>> pendingFavorites_;
};

} // namespace tarn
