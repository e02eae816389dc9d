// SPDX-License-Identifier: GPL-3.0-or-later
// Starting and stopping a screen recording, and importing the finished file.
#include <QFileInfo>
#include <QScreen>

#include <qcoro/qcorofuture.h>

#include "app/flows/AppWindows.h"
#include "app/flows/ItemNames.h"
#include "app/model/AppModel.h"
#include "app/widgets/DisplayFormat.h"
#include "app/widgets/ErrorDescription.h"
#include "core/base/AppError.h"
#include "platform/VideoInfo.h"

namespace tarn {
namespace {

constexpr int recordingImportCode = 6;
constexpr int recordingCountdown = 3;

// The rectangle a region recording covers, in global points, for placing the HUD outside it.
std::optional<QRect> globalRegion(QScreen *screen, const std::optional<QRectF> &region)
{
    if (!screen || !region)
        return std::nullopt;
    return region->toRect().translated(screen->geometry().topLeft());
}

} // namespace

void AppModel::toggleRecording()
{
    // A second toggle while the start runs takes it back: nothing is recorded and the windows
    // return. Opening the sheet again would bring them into the recording.
    if (recordingStarting_) {
        cancelRecordingStart();
        return;
    }
    if (recorder_->state() != RecordingService::State::idle) {
        recorder_->stop();
        return;
    }
    presentAskedFrom(AppSheet::recording, AppWindows::otherActiveWindow());
}

void AppModel::startRecording(uint32_t displayID)
{
    if (refusedWhileBusy() || recorder_->state() != RecordingService::State::idle || !libraryReady_)
        return;
    if (!screenCaptureAccess()) {
        present(AppSheet::permissions);
        return;
    }
    setSheet(std::nullopt);
    BusyClaim busy = claimBusy();
    recordingStarting_ = true;
    runRecordingStart(displayID, startCaptureTask(), std::move(busy));
}

// The countdown and the waits end at once, and so does a region selection, which would
// otherwise wait for a drag or Escape; a recorder already starting is stopped before it records
// (the start then finds it idle and ends like a cancelled one).
void AppModel::cancelRecordingStart()
{
    cancelCapture();
    selector_->cancel();
    if (recorder_->state() != RecordingService::State::idle)
        recorder_->stop();
}

QCoro::Task<> AppModel::runRecordingStart(uint32_t displayID, CancellationToken token, BusyClaim busy)
{
    QPointer<AppModel> self(this);
    co_await sleepThroughCancel(timings_.beforeHiding, token);
    if (!self)
        co_return;
    if (token.isCancelled()) { // taken back before anything was hidden
        endRecordingStart(token, busy);
        co_return;
    }
    // Nothing of ours may be filmed: pins and panels go too, the HUD comes once recording runs.
    recordingRestore_ = AppWindows::hideAllWindows();
    recordingRestore_.returnKeysTo(std::exchange(sheetUserWindow_, 0));
    const std::vector<uint32_t> hiddenFrames = recordingRestore_.frames;
    std::optional<QRectF> region;
    if (preferences_->recordingRegion()) {
        const std::optional<RegionSelection> selection = co_await selector_->select();
        if (!self)
            co_return;
        if (!selection) {
            endRecordingStart(token, busy);
            co_return;
        }
        displayID = selection->displayID;
        region = QRectF(selection->rect);
    }
    QString destination;
    try {
        const ContentFilter filter = co_await captureService_->displayFilter(displayID);
        QFuture<QString> naming = repository_->recordingURL();
        destination = co_await naming;
        co_await countdown(recordingCountdown, token, AppWindows::screenOf(displayID));
        if (!self)
            co_return;
        token.check();
        // Hidden three seconds ago, but on a loaded machine the window manager may not have taken
        // their frames down yet, and the first frames would show them.
        co_await AppWindows::offScreen(hiddenFrames, timings_.offScreenLimit, token);
        if (!self)
            co_return;
        co_await recorder_->start(filter, region, preferences_->recordingSettings(), destination);
    } catch (const CancellationError &) {
        if (self)
            endRecordingStart(token, busy);
        co_return;
    } catch (...) {
        if (!self)
            co_return;
        const std::exception_ptr failure = std::current_exception();
        endRecordingStart(token, busy);
        showError(failure);
        discardUnstartedRecording(destination);
        co_return;
    }
    if (!self)
        co_return;
    // A stop that arrived while the recorder was starting (or a session that replaced this one)
    // leaves it idle: nothing records, so nothing may stay hidden or claim to be recording.
    if (recorder_->state() == RecordingService::State::idle) {
        endRecordingStart(token, busy);
        discardUnstartedRecording(destination);
        co_return;
    }
    QScreen *screen = AppWindows::screenOf(displayID);
    floating_->showRecording(recorder_.get(), screen, globalRegion(screen, region));
    setStatus(QStringLiteral("녹화 중 · Ctrl+Shift+4로 종료"));
    finishRecordingStart(token, busy);
}

// A start that ended before recording: the hidden windows come back and the model is free.
void AppModel::endRecordingStart(const CancellationToken &token, BusyClaim &busy)
{
    AppWindows::handKeyboardBack(AppWindows::restoreWindows(std::exchange(recordingRestore_, {})),
                                 timings_.offScreenLimit, this);
    finishRecordingStart(token, busy);
}

// The start is over, recording or not: the model is free, and what asked for our windows
// meanwhile (the library, a sheet, the quit alert) gets them now.
void AppModel::finishRecordingStart(const CancellationToken &token, BusyClaim &busy)
{
    recordingStarting_ = false;
    finishCaptureTask(token, busy);
    if (std::exchange(libraryHeld_, false))
        showLibrary();
    if (const std::optional<AppSheet> sheet = std::exchange(sheetHeld_, std::nullopt))
        present(*sheet);
    Q_EMIT recordingStartEnded();
}

// Whatever a failed start left at its destination is no recording anyone can recover.
QCoro::Task<> AppModel::discardUnstartedRecording(QString destination)
{
    if (destination.isEmpty() || !QFileInfo::exists(destination))
        co_return;
    QPointer<AppModel> self(this);
    try {
        QFuture<void> removing = repository_->removeFinalizedRecording(destination);
        co_await removing;
    } catch (...) {
        // The count below still shows it, so the user can find it.
    }
    if (self)
        co_await recountPendingRecordings();
}

QCoro::Task<> AppModel::finalizeRecording(QString file)
{
    QPointer<AppModel> self(this);
    BusyClaim busy = claimBusy();
    const bool userElsewhere = recordingEndedElsewhere_;
    CaptureItem item;
    std::optional<QString> importFailure;
    try {
        QFuture<VideoInfo> reading = VideoInfo::loadAsync(file);
        const VideoInfo info = co_await reading;
        QFuture<CaptureItem> storing =
            repository_->insertVideo(file, ItemNames::datedTitle(QStringLiteral("화면 녹화")).toStdString(),
                                     info.thumbnail, info.width, info.height, info.duration);
        item = co_await storing;
    } catch (...) {
        importFailure = describe(std::current_exception());
    }
    if (!self)
        co_return;
    if (importFailure) {
        co_await recountPendingRecordings(1);
        if (self)
            showError(AppError(recordingImportCode,
                               QStringLiteral("녹화 가져오기 실패: ") + *importFailure +
                                   QStringLiteral("\n파일은 보존했습니다: ") + file)
                          .description());
        co_return;
    }
    replace(item);
    // The video is in the library now; a file that will not leave "Recordings" is only a leftover,
    // reported apart and never offered for recovery (the recount knows it by its content, after a
    // restart too), which would import it a second time.
    std::optional<QString> removalFailure;
    try {
        QFuture<void> removing = repository_->removeFinalizedRecording(file);
        co_await removing;
    } catch (...) {
        removalFailure = describe(std::current_exception());
    }
    if (!self)
        co_return;
    co_await recountPendingRecordings();
    if (!self)
        co_return;
    setSection(LibrarySection::videos);
    setStatus(DisplayFormat::duration(item.duration.value_or(0)) + QStringLiteral(" 녹화를 저장했습니다."));
    // The library shows the film; it comes forward with the keyboard unless the user is in another
    // program, which has had the keyboard back since the recording ended.
    if (!userElsewhere)
        showLibrary();
    if (removalFailure)
        setErrorMessage(QStringLiteral("녹화는 라이브러리에 저장했지만 녹화 폴더의 파일을 지우지 못했습니다. "
                                       "직접 지워도 됩니다: ") +
                        *removalFailure);
}

// The recordings left for recovery, without the ones already in the library; `fallback` when
// the folder cannot be listed.
QCoro::Task<> AppModel::recountPendingRecordings(std::optional<int> fallback)
{
    QPointer<AppModel> self(this);
    try {
        QFuture<QStringList> listing = repository_->recordingsToRecover();
        const QStringList pending = co_await listing;
        if (self)
            setPendingRecordingCount(int(pending.size()));
    } catch (...) {
        if (self && fallback)
            setPendingRecordingCount(*fallback);
    }
}

// A failed recording leaves its file in "Recordings": once the recorder is idle again, the
// recovery offer counts it without waiting for the next launch.
void AppModel::connectRecordingFlow()
{
    connect(this, &AppModel::recordingFinished, this, [this](const QString &file) { finalizeRecording(file); });
    connect(recorder_.get(), &RecordingService::failed, this, [this] {
        if (recorder_->state() == RecordingService::State::idle)
            recountPendingRecordings();
        else
            recountWhenIdle_ = true;
    });
    connect(recorder_.get(), &RecordingService::stateChanged, this, [this](RecordingService::State state) {
        if (state != RecordingService::State::idle || !std::exchange(recountWhenIdle_, false))
            return;
        endRecordingPresentation();
        recountPendingRecordings();
    });
}

} // namespace tarn
