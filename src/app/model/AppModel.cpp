// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/model/AppModel.h"

#include <algorithm>

#include <QApplication>

#include <qcoro/qcorofuture.h>

#include "app/editor/EditorController.h"
#include "app/flows/AppWindows.h"
#include "app/model/DemoContent.h"
#include "app/widgets/ErrorDescription.h"
#include "core/base/AppError.h"
#include "core/library/SearchQuery.h"

namespace tarn {

QString AppModel::initialStatus() { return QStringLiteral("모든 작업은 이 컴퓨터에서 처리됩니다."); }
QString AppModel::samplesStatus()
{
    return QStringLiteral("직접 생성한 샘플입니다. 실제 캡처나 측정 데이터가 아닙니다.");
}
QString AppModel::permissionReadyStatus() { return QStringLiteral("화면 기록 권한이 준비되었습니다."); }
QString AppModel::busyStatus() { return QStringLiteral("진행 중인 작업이 있습니다. 완료된 후 다시 시도하세요."); }

AppModel::AppModel(const QString &root, bool demo, QObject *parent) : AppModel(root, demo, AppServices{}, parent) { }

AppModel::AppModel(const QString &root, bool demo, AppServices services, QObject *parent)
    : QObject(parent),
      status_(initialStatus()),
      recognition_(std::make_unique<TextRecognition>()),
      captureService_(std::make_unique<ScreenCaptureService>(std::move(services.screenSource))),
      recorder_(std::make_unique<RecordingService>(std::move(services.recorderBackend))),
      selector_(new RegionSelector(this, std::move(services.selectorDesktop))),
      floating_(std::make_unique<FloatingWindows>()),
      isDemo_(demo),
      preferences_(std::make_unique<Preferences>(demo)),
      repository_(std::make_unique<LibraryRepository>(root)),
      clipboard_(services.clipboard ? std::move(services.clipboard) : std::make_unique<Clipboard>()),
      timings_(services.timings)
{
    screenPermission_ = screenCaptureAccess();
    connectRecorder();
    connectFlows();
}

AppModel::~AppModel()
{
    // Editors go before the services their models use.
    const auto editors = editorControllers_;
    editorControllers_.clear();
    for (const auto &entry : editors)
        delete entry.second;
}

bool AppModel::screenCaptureAccess() const { return captureService_->source().isAvailable(); }

// ---- published state ------------------------------------------------------------------------

void AppModel::setItems(std::vector<CaptureItem> items)
{
    items_ = std::move(items);
    Q_EMIT itemsChanged();
    reconcileSelection();
}

namespace {

// Stores a new value of a published flag and announces it; an unchanged value stays quiet.
void publish(AppModel *model, bool &field, bool value, void (AppModel::*changed)(bool))
{
    if (value == field)
        return;
    field = value;
    Q_EMIT(model->*changed)(value);
}

} // namespace

void AppModel::setSection(LibrarySection section)
{
    if (section == section_)
        return;
    section_ = section;
    Q_EMIT sectionChanged(section);
    clearSelection();
}

void AppModel::setSearchText(const QString &text)
{
    if (text == searchText_)
        return;
    searchText_ = text;
    Q_EMIT searchTextChanged(text);
    clearSelection();
}

void AppModel::setSelectedItemIDs(std::set<Uuid> ids)
{
    selectedItemIDs_ = std::move(ids);
    Q_EMIT selectedItemIDsChanged();
}

void AppModel::setNewestFirst(bool value) { publish(this, newestFirst_, value, &AppModel::newestFirstChanged); }

void AppModel::setGridView(bool value) { publish(this, gridView_, value, &AppModel::gridViewChanged); }

// ---- claims ---------------------------------------------------------------------------------

AppModel::Claim::Claim(AppModel *model, void (AppModel::*release)()) : model_(model), release_(release) { }

AppModel::Claim::Claim(Claim &&other) noexcept
    : model_(std::move(other.model_)),
      release_(std::exchange(other.release_, nullptr))
{ }

AppModel::Claim &AppModel::Claim::operator=(Claim &&other) noexcept
{
    if (this != &other) {
        release();
        model_ = std::move(other.model_);
        release_ = std::exchange(other.release_, nullptr);
    }
    return *this;
}

AppModel::Claim::~Claim() { release(); }

void AppModel::Claim::release()
{
    const auto release = std::exchange(release_, nullptr);
    if (release && model_)
        (model_.data()->*release)();
    model_.clear();
}

AppModel::BusyClaim AppModel::claimBusy()
{
    if (++busyClaims_ == 1)
        Q_EMIT isBusyChanged(true);
    return BusyClaim(this, &AppModel::releaseBusy);
}

void AppModel::releaseBusy()
{
    Q_ASSERT(busyClaims_ > 0);
    if (--busyClaims_ == 0)
        Q_EMIT isBusyChanged(false);
}

bool AppModel::refusedWhileBusy()
{
    if (isBusy())
        setStatus(busyStatus());
    return isBusy();
}

AppModel::ExportClaim AppModel::claimExport()
{
    Q_EMIT exportsInFlightChanged(++exportsInFlight_);
    return ExportClaim(this, &AppModel::releaseExport);
}

void AppModel::releaseExport()
{
    Q_ASSERT(exportsInFlight_ > 0);
    Q_EMIT exportsInFlightChanged(--exportsInFlight_);
}

void AppModel::setLibraryReady(bool value) { publish(this, libraryReady_, value, &AppModel::libraryReadyChanged); }

void AppModel::setStatus(const QString &status)
{
    status_ = status;
    Q_EMIT statusChanged(status);
}

void AppModel::setErrorMessage(const std::optional<QString> &message) { publishError(message, nullptr); }

void AppModel::publishError(const std::optional<QString> &message, QWidget *over)
{
    errorMessage_ = message;
    errorWindow_ = over;
    Q_EMIT errorMessageChanged();
}

void AppModel::setSheet(std::optional<AppSheet> sheet)
{
    if (sheet == sheet_)
        return;
    sheet_ = sheet;
    Q_EMIT sheetChanged();
}

void AppModel::setScreenPermission(bool value)
{
    publish(this, screenPermission_, value, &AppModel::screenPermissionChanged);
}

void AppModel::setShortcutFailures(const QStringList &failures)
{
    if (failures == shortcutFailures_)
        return;
    shortcutFailures_ = failures;
    Q_EMIT shortcutFailuresChanged();
}

void AppModel::setWindows(std::vector<ShareableWindow> windows)
{
    windows_ = std::move(windows);
    Q_EMIT windowsChanged();
}

void AppModel::setPendingRecordingCount(int count)
{
    if (count == pendingRecordingCount_)
        return;
    pendingRecordingCount_ = count;
    Q_EMIT pendingRecordingCountChanged(count);
}

// ---- derived values -------------------------------------------------------------------------

std::vector<const CaptureItem *> AppModel::visibleItemRefs() const
{
    const SearchQuery query(searchText_.toStdString());
    std::vector<const CaptureItem *> visible;
    for (const CaptureItem &item : items_) {
        if (includes(section_, item) && query.matches(item))
            visible.push_back(&item);
    }
    const bool newestFirst = newestFirst_;
    std::stable_sort(visible.begin(), visible.end(), [newestFirst](const CaptureItem *a, const CaptureItem *b) {
        return newestFirst ? b->createdAt < a->createdAt : a->createdAt < b->createdAt;
    });
    return visible;
}

std::vector<CaptureItem> AppModel::visibleItems() const
{
    std::vector<CaptureItem> visible;
    for (const CaptureItem *item : visibleItemRefs())
        visible.push_back(*item);
    return visible;
}

int AppModel::activeCount() const
{
    return int(std::count_if(items_.begin(), items_.end(), [](const CaptureItem &item) { return !item.trashedAt; }));
}

int64_t AppModel::storedBytes() const
{
    int64_t total = 0;
    for (const CaptureItem &item : items_)
        total += item.byteCount;
    return total;
}

bool AppModel::allVisibleSelected() const
{
    const std::vector<const CaptureItem *> visible = visibleItemRefs();
    if (visible.empty())
        return false;
    return std::all_of(visible.begin(), visible.end(),
                       [this](const CaptureItem *item) { return selectedItemIDs_.count(item->id) > 0; });
}

// ---- selection ------------------------------------------------------------------------------

void AppModel::selectAllVisible()
{
    if (!libraryReady_ || isBusy())
        return;
    std::set<Uuid> ids;
    for (const CaptureItem *item : visibleItemRefs())
        ids.insert(item->id);
    setSelectedItemIDs(std::move(ids));
}

void AppModel::setSelection(const Uuid &id, bool selected)
{
    if (!libraryReady_ || isBusy())
        return;
    const std::vector<const CaptureItem *> visible = visibleItemRefs();
    const bool isVisible =
        std::any_of(visible.begin(), visible.end(), [&id](const CaptureItem *item) { return item->id == id; });
    if (!isVisible || (selectedItemIDs_.count(id) > 0) == selected)
        return;
    std::set<Uuid> ids = selectedItemIDs_;
    if (selected)
        ids.insert(id);
    else
        ids.erase(id);
    setSelectedItemIDs(std::move(ids));
}

void AppModel::clearSelection()
{
    if (!selectedItemIDs_.empty())
        setSelectedItemIDs({});
}

void AppModel::reconcileSelection()
{
    if (selectedItemIDs_.empty())
        return;
    std::set<Uuid> kept;
    for (const CaptureItem *item : visibleItemRefs()) {
        if (selectedItemIDs_.count(item->id) > 0)
            kept.insert(item->id);
    }
    if (kept != selectedItemIDs_)
        setSelectedItemIDs(std::move(kept));
}

void AppModel::replace(const CaptureItem &item)
{
    std::vector<CaptureItem> updated = items_;
    auto found =
        std::find_if(updated.begin(), updated.end(), [&item](const CaptureItem &entry) { return entry.id == item.id; });
    if (found != updated.end())
        *found = item;
    else
        updated.push_back(item);
    setItems(std::move(updated));
}

// ---- loading and seeding --------------------------------------------------------------------

QCoro::Task<> AppModel::load(const LibraryLease *writerLease)
{
    QPointer<AppModel> self(this);
    std::vector<CaptureItem> loaded;
    try {
        QFuture<std::vector<CaptureItem>> reading = repository_->load();
        loaded = co_await reading;
        if (!self)
            co_return;
        if (writerLease) {
            QFuture<void> clearing = repository_->removeLeftovers(*writerLease);
            co_await clearing;
        }
    } catch (...) {
        if (self)
            showError(std::current_exception());
        co_return;
    }
    if (!self)
        co_return;
    setItems(std::move(loaded));
    setLibraryReady(true);

    QStringList pending;
    try {
        QFuture<QStringList> listing = repository_->recordingsToRecover();
        pending = co_await listing;
    } catch (...) {
        if (self)
            showError(std::current_exception());
        co_return;
    }
    if (!self)
        co_return;
    setPendingRecordingCount(int(pending.size()));
    if (isDemo_ && items_.empty()) {
        QCoro::Task<> seeding = addSamples();
        co_await seeding;
    }
}

// Seeding is refused while another command is busy: remembering and restoring the flag would
// set it again after that command had cleared it, and every guarded command would stay refused.
QCoro::Task<> AppModel::addSamples()
{
    if (!libraryReady_ || isBusy())
        co_return;
    const BusyClaim busy = claimBusy();
    QPointer<AppModel> self(this);
    try {
        // Drawing can fail too (no memory for a picture); that must clear the flag like a store error.
        const std::vector<DemoSample> samples = DemoContent::makeSamples();
        for (const DemoSample &sample : samples) {
            QFuture<CaptureItem> step =
                repository_->insertImage(sample.image, sample.title.toStdString(), true, std::nullopt);
            CaptureItem item = co_await step;
            if (!self)
                co_return;
            step = repository_->updateRecognition(item.id, RecognitionResult{sample.regions, 0});
            item = co_await step;
            if (!self)
                co_return;
            if (sample.favorite) {
                step = repository_->setFavorite(item.id, true);
                item = co_await step;
                if (!self)
                    co_return;
            }
            replace(item);
        }
    } catch (...) {
        if (self)
            showError(std::current_exception());
        co_return;
    }
    setStatus(samplesStatus());
}

// ---- errors, windows and sheets -------------------------------------------------------------

void AppModel::showError(std::exception_ptr error) { showError(describe(error)); }

void AppModel::showError(const QString &message, QWidget *over)
{
    publishError(message, over);
    setStatus(message);
    // A minimized library is on no screen: the alert over it would be out of sight.
    if (over || (mainWindow_ && mainWindow_->isVisible() && !AppWindows::isMinimized(mainWindow_)))
        return;
    showLibrary();
}

// While a recording starts our windows stay off the screen, or it would record them: the
// library and the sheets asked for meanwhile come when the start is over.
void AppModel::showLibrary()
{
    if (recordingStarting_) {
        libraryHeld_ = true;
        return;
    }
    if (mainWindow_)
        AppWindows::bringForward(mainWindow_);
}

void AppModel::present(AppSheet sheet) { presentAskedFrom(sheet, 0); }

// `userWindow`: the other program's window the sheet was asked for from, if one was.
void AppModel::presentAskedFrom(AppSheet sheet, uint32_t userWindow)
{
    if (recordingStarting_) {
        sheetHeld_ = sheet;
        return;
    }
    sheetUserWindow_ = userWindow;
    showLibrary();
    setSheet(sheet);
    setScreenPermission(screenCaptureAccess());
}

// The library came forward for the sheet only: the keys go back to the program it was asked for
// from, if that was another's.
void AppModel::closeSheet()
{
    setSheet(std::nullopt);
    if (const uint32_t userWindow = std::exchange(sheetUserWindow_, 0))
        AppWindows::handKeyboardBack({{}, nullptr, userWindow}, timings_.offScreenLimit, this);
}

// An X11 session has no access prompt: the answer is the same check as the preflight.
void AppModel::requestScreenPermission()
{
    ++permissionRequestCount_;
    setScreenPermission(screenCaptureAccess());
    if (!screenPermission_)
        return;
    setSheet(std::nullopt);
    setStatus(permissionReadyStatus());
}

// ---- recorder reports -----------------------------------------------------------------------

void AppModel::connectRecorder()
{
    connect(recorder_.get(), &RecordingService::microphoneAccessRequested, this, [this] { ++permissionRequestCount_; });
    connect(recorder_.get(), &RecordingService::finished, this, [this](const QString &file) {
        endRecordingPresentation();
        Q_EMIT recordingFinished(file);
    });
    connect(recorder_.get(), &RecordingService::failed, this, [this](const Failure &error) {
        if (recorder_->state() == RecordingService::State::idle)
            endRecordingPresentation();
        showError(error.description());
    });
}

// The HUD goes and the windows hidden for the recording come back; the keyboard goes back to the
// window the user works in, ours or another program's.
void AppModel::endRecordingPresentation()
{
    floating_->recordingPanel.reset();
    AppWindows::RestoredWindows restored = AppWindows::restoreWindows(std::exchange(recordingRestore_, {}));
    recordingEndedElsewhere_ = restored.other != 0;
    AppWindows::handKeyboardBack(std::move(restored), timings_.offScreenLimit, this);
}

// ---- editors --------------------------------------------------------------------------------

void AppModel::addEditor(EditorController *controller)
{
    const Uuid id = controller->itemId();
    controller->setParent(this);
    editorControllers_[id] = controller;
    connect(controller, &EditorController::closed, this, [this, id, controller] { removeEditor(id, controller); });
    Q_EMIT editorAdded(controller);
}

void AppModel::removeEditor(const Uuid &id, EditorController *controller)
{
    auto entry = editorControllers_.find(id);
    if (entry != editorControllers_.end() && entry->second == controller)
        editorControllers_.erase(entry);
    controller->deleteLater();
}

// ---- favourites, trash and restore ----------------------------------------------------------

// The new mark is the opposite of the item's newest state: the store's answer as held in
// `items`, or the value of a toggle still on its way to the store. A copy handed in by a view
// may predate both, and two quick clicks on it would otherwise set the same value twice.
void AppModel::favorite(const CaptureItem &item)
{
    if (isBusy())
        return;
    bool current = item.isFavorite;
    if (auto pending = pendingFavorites_.find(item.id); pending != pendingFavorites_.end()) {
        current = pending->second.first;
    } else {
        auto stored = std::find_if(items_.begin(), items_.end(),
                                   [&item](const CaptureItem &entry) { return entry.id == item.id; });
        if (stored != items_.end())
            current = stored->isFavorite;
    }
    auto &pending = pendingFavorites_[item.id];
    pending.first = !current;
    ++pending.second;
    runFavorite(item.id, !current);
}

QCoro::Task<> AppModel::runFavorite(Uuid id, bool value)
{
    QPointer<AppModel> self(this);
    std::optional<CaptureItem> updated;
    std::exception_ptr failure;
    try {
        QFuture<CaptureItem> marking = repository_->setFavorite(id, value);
        updated = co_await marking;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (auto pending = pendingFavorites_.find(id); pending != pendingFavorites_.end() && --pending->second.second == 0)
        pendingFavorites_.erase(pending);
    if (updated)
        replace(*updated);
    else
        showError(failure);
}

void AppModel::trash(const CaptureItem &item) { setTrashed({item.id}, !item.trashedAt.has_value()); }

void AppModel::trashSelected()
{
    std::vector<Uuid> ids;
    for (const CaptureItem *item : visibleItemRefs()) {
        if (!item->trashedAt && selectedItemIDs_.count(item->id) > 0)
            ids.push_back(item->id);
    }
    setTrashed(ids, true);
}

void AppModel::restoreSelected()
{
    std::vector<Uuid> ids;
    for (const CaptureItem *item : visibleItemRefs()) {
        if (item->trashedAt && selectedItemIDs_.count(item->id) > 0)
            ids.push_back(item->id);
    }
    setTrashed(ids, false);
}

void AppModel::setTrashed(const std::vector<Uuid> &ids, bool value)
{
    if (!libraryReady_ || isBusy() || ids.empty())
        return;
    std::vector<EditorController *> editors;
    for (const Uuid &id : ids) {
        if (auto entry = editorControllers_.find(id); entry != editorControllers_.end())
            editors.push_back(entry->second);
    }
    for (EditorController *editor : editors) {
        if (editor->isBusyOrDirty()) {
            // The editor, where the edits can be saved, comes forward with the refusal over it:
            // over the library window, the alert would come up behind the editor, and a window
            // manager keeps it with that window (raising the one raises the other).
            editor->bringToFront();
            showError(AppError(unsavedEditsCode,
                               QStringLiteral("선택한 캡처에 진행 중인 편집이나 저장이 있습니다. "
                                              "먼저 저장하거나 편집기를 닫아 주세요."))
                          .description(),
                      editor->window());
            return;
        }
    }
    BusyClaim busy = claimBusy();
    // Each editor leaves the map when its window closes, so close from a copy of the list.
    for (EditorController *editor : editors)
        editor->close();
    runSetTrashed(std::unordered_set<Uuid>(ids.begin(), ids.end()), value, std::move(busy));
}

QCoro::Task<> AppModel::runSetTrashed(std::unordered_set<Uuid> ids, bool value, BusyClaim busy)
{
    QPointer<AppModel> self(this);
    std::vector<CaptureItem> changed;
    try {
        QFuture<std::vector<CaptureItem>> moving = repository_->setTrashed(ids, value);
        changed = co_await moving;
    } catch (...) {
        if (self)
            showError(std::current_exception());
        co_return;
    }
    if (!self)
        co_return;
    std::unordered_map<Uuid, CaptureItem> byId;
    for (const CaptureItem &item : changed)
        byId.insert_or_assign(item.id, item);
    std::vector<CaptureItem> updated = items_;
    for (CaptureItem &item : updated) {
        if (auto found = byId.find(item.id); found != byId.end())
            item = found->second;
    }
    setItems(std::move(updated));
    std::set<Uuid> selection = selectedItemIDs_;
    for (const Uuid &id : ids)
        selection.erase(id);
    if (selection != selectedItemIDs_)
        setSelectedItemIDs(std::move(selection));
    const QString count = QString::number(changed.size());
    setStatus(value ? count + QStringLiteral("개를 휴지통으로 이동했습니다. 휴지통에서 복원할 수 있습니다.")
                    : count + QStringLiteral("개 캡처를 복원했습니다."));
}

} // namespace tarn
