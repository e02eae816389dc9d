// SPDX-License-Identifier: GPL-3.0-or-later
// The road of a still capture from the command to the library.
#include <QScreen>

#include <qcoro/qcorofuture.h>

#include "app/capture/DesktopScreens.h"
#include "app/flows/AppWindows.h"
#include "app/flows/ItemNames.h"
#include "app/model/AppModel.h"
#include "app/widgets/ErrorDescription.h"
#include "app/widgets/WindowPlacement.h"

namespace tarn {
namespace {

QString cancelledStatus() { return QStringLiteral("캡처를 취소했습니다."); }

QString titlePrefix(CaptureAction action)
{
    return action == CaptureAction::display ? QStringLiteral("전체 화면") : QStringLiteral("영역 캡처");
}

} // namespace

QScreen *AppModel::currentScreen() const { return WindowPlacement::pointerScreen(); }

QScreen *AppModel::workScreen(QScreen *asked) const
{
    if (asked)
        return asked;
    if (mainWindow_ && mainWindow_->isVisible())
        return mainWindow_->screen();
    return currentScreen();
}

QString AppModel::privacySettingsLink(bool microphone)
{
    return QStringLiteral("x-apple.systempreferences:com.apple.preference.security?") +
        (microphone ? QStringLiteral("Privacy_Microphone") : QStringLiteral("Privacy_ScreenCapture"));
}

void AppModel::connectFlows()
{
    connect(floating_.get(), &FloatingWindows::countdownCancelled, this, &AppModel::cancelCapture);
    connectRecordingFlow();
}

void AppModel::beginCapture(CaptureAction action)
{
    if (!libraryReady_ || refusedWhileBusy())
        return;
    if (!screenCaptureAccess()) {
        present(AppSheet::permissions);
        return;
    }
    if (action == CaptureAction::window) {
        listWindows(claimBusy(), AppWindows::otherActiveWindow());
        return;
    }
    const uint32_t displayID = DesktopScreens::displayID(currentScreen());
    BusyClaim busy = claimBusy();
    runCapture(action, displayID, startCaptureTask(), std::move(busy));
}

QCoro::Task<> AppModel::listWindows(BusyClaim busy, uint32_t userWindow)
{
    QPointer<AppModel> self(this);
    try {
        std::vector<ShareableWindow> listed = co_await captureService_->availableWindows();
        if (!self)
            co_return;
        setWindows(std::move(listed));
        presentAskedFrom(AppSheet::windows, userWindow);
    } catch (...) {
        if (self)
            showError(std::current_exception());
    }
    busy.release();
}

QCoro::Task<> AppModel::runCapture(CaptureAction action, uint32_t displayID, CancellationToken token, BusyClaim busy)
{
    QPointer<AppModel> self(this);
    captureRestore_ = AppWindows::hideNormalWindows();
    std::exception_ptr failure;
    try {
        // The pause lets the hidden windows leave the screen before the overlay freezes it; with
        // nothing hidden it would only delay the overlay (the hot key's answer). A busy window
        // manager may take their frames down later still.
        co_await sleep(captureRestore_.empty() ? std::chrono::milliseconds(0) : timings_.settleAfterHiding, token);
        if (self)
            co_await AppWindows::offScreen(captureRestore_.frames, timings_.offScreenLimit, token);
        if (!self)
            co_return;
        std::optional<QRectF> region;
        if (action != CaptureAction::display) {
            const std::optional<RegionSelection> selection = co_await selector_->select();
            if (!self)
                co_return;
            if (!selection) {
                endCapture(token, busy);
                co_return;
            }
            displayID = selection->displayID;
            region = QRectF(selection->rect);
        }
        // What follows the capture (countdown, text window, editor, quick panel) appears on
        // the captured screen.
        const QPointer<QScreen> screen = AppWindows::screenOf(displayID);
        co_await countdown(preferences_->captureDelay(), token, screen);
        if (!self)
            co_return;
        token.check();
        const bool cursor = preferences_->captureCursor();
        const ContentFilter filter = co_await captureService_->displayFilter(displayID);
        if (!self)
            co_return;
        const CapturedImage captured = co_await captureService_->capture(filter, region, cursor);
        if (!self)
            co_return;
        if (action == CaptureAction::text)
            co_await recognizeCapturedText(captured.image, screen);
        else
            co_await acceptCapture(captured, ItemNames::datedTitle(titlePrefix(action)), screen);
    } catch (...) {
        failure = std::current_exception();
    }
    if (self)
        endCapture(token, busy, failure);
}

void AppModel::captureWindow(const ShareableWindow &window)
{
    if (refusedWhileBusy())
        return;
    setSheet(std::nullopt);
    BusyClaim busy = claimBusy();
    runWindowCapture(window, startCaptureTask(), std::move(busy));
}

QCoro::Task<> AppModel::runWindowCapture(ShareableWindow window, CancellationToken token, BusyClaim busy)
{
    QPointer<AppModel> self(this);
    co_await sleepThroughCancel(timings_.beforeHiding, token);
    if (!self)
        co_return;
    captureRestore_ = AppWindows::hideNormalWindows();
    captureRestore_.returnKeysTo(std::exchange(sheetUserWindow_, 0));
    const QPointer<QScreen> screen = DesktopScreens::screenShowing(window.nativeFrame.center());
    std::exception_ptr failure;
    try {
        co_await countdown(preferences_->captureDelay(), token, screen);
        co_await sleep(timings_.afterWindowCountdown, token);
        if (self)
            co_await AppWindows::offScreen(captureRestore_.frames, timings_.offScreenLimit, token);
        if (!self)
            co_return;
        token.check();
        const bool cursor = preferences_->captureCursor();
        const CapturedImage captured =
            co_await captureService_->capture(ScreenCaptureService::windowFilter(window), std::nullopt, cursor);
        if (!self)
            co_return;
        // A window without a title gets a dated one; an empty title is the window's own.
        const QString title =
            window.title.isNull() ? ItemNames::datedTitle(QStringLiteral("윈도우 캡처")) : window.title;
        co_await acceptCapture(captured, title, screen);
    } catch (...) {
        failure = std::current_exception();
    }
    if (self)
        endCapture(token, busy, failure);
}

// Whatever way the task ends: a cancel is said in the status line and any other failure shown,
// then our windows come back and the task lets go.
void AppModel::endCapture(const CancellationToken &token, BusyClaim &busy, std::exception_ptr failure)
{
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const CancellationError &) {
            setStatus(cancelledStatus());
        } catch (...) {
            showError(failure);
        }
    }
    AppWindows::handKeyboardBack(AppWindows::restoreWindows(std::exchange(captureRestore_, {})),
                                 timings_.offScreenLimit, this);
    finishCaptureTask(token, busy);
}

// Our windows hidden for the capture come back before the windows the capture opens (an editor,
// the extracted text), which then come in front of them with the keyboard, once the window the
// user was in has it again. Shown again after those, a dialog of ours would take the keyboard
// from them (Qt activates a modal window it maps); and the window the user was in, not activated
// again, would not be where the window manager gives the keyboard back when they close.
QCoro::Task<> AppModel::restoreBeforeOpening()
{
    co_await AppWindows::keyboardBack(AppWindows::restoreWindows(std::exchange(captureRestore_, {})),
                                      timings_.offScreenLimit, this);
}

// The task the countdown's cancel button cancels; a newer one replaces it.
CancellationToken AppModel::startCaptureTask()
{
    CancellationToken token;
    captureTask_ = token;
    return token;
}

// The countdown goes and the model is free; the task is forgotten unless a newer one replaced it.
void AppModel::finishCaptureTask(const CancellationToken &token, BusyClaim &busy)
{
    busy.release();
    floating_->countdownPanel.reset();
    if (captureTask_ == token)
        captureTask_.reset();
}

void AppModel::cancelCapture()
{
    if (captureTask_)
        captureTask_->cancel();
}

QCoro::Task<> AppModel::countdown(int seconds, CancellationToken token, QPointer<QScreen> screen)
{
    if (seconds < 1)
        co_return;
    QPointer<AppModel> self(this);
    for (int n = std::min(seconds, 10); n >= 1; --n) {
        floating_->showCountdown(n, screen);
        co_await sleep(timings_.countdownStep, token);
        if (!self)
            co_return;
    }
    // The panel must be off the screen before what follows grabs it.
    std::vector<uint32_t> panel;
    if (floating_->countdownPanel)
        panel.push_back(AppWindows::frameOf(floating_->countdownPanel.get()));
    floating_->countdownPanel.reset();
    co_await sleep(timings_.afterCountdown, token);
    if (self)
        co_await AppWindows::offScreen(std::move(panel), timings_.offScreenLimit, token);
}

QCoro::Task<> AppModel::recognizeCapturedText(QImage image, QPointer<QScreen> screen)
{
    QPointer<AppModel> self(this);
    QFuture<RecognitionResult> recognizing = recognition_->recognize(image);
    const RecognitionResult result = co_await recognizing;
    if (!self)
        co_return;
    co_await restoreBeforeOpening();
    if (!self)
        co_return;
    const QString text = QString::fromStdString(result.text());
    if (text.isEmpty()) {
        setStatus(QStringLiteral("선택한 영역에서 텍스트를 찾지 못했습니다."));
        floating_->showText(QStringLiteral("인식 가능한 텍스트를 찾지 못했습니다."), screen);
        co_return;
    }
    clipboard_->setText(text);
    floating_->showText(text, screen);
    setStatus(QString::number(result.regions.size()) + QStringLiteral("개 텍스트 영역을 인식해 복사했습니다."));
}

QCoro::Task<> AppModel::acceptCapture(CapturedImage captured, QString title, QPointer<QScreen> screen)
{
    QPointer<AppModel> self(this);
    QFuture<CaptureItem> storing =
        repository_->insertImage(captured.image, title.toStdString(), false, captured.milliseconds);
    const CaptureItem item = co_await storing;
    if (!self)
        co_return;
    replace(item);
    setSection(LibrarySection::all);
    setStatus(QStringLiteral("캡처 완료 · %1 × %2 px · API %3 ms")
                  .arg(item.width)
                  .arg(item.height)
                  .arg(QString::asprintf("%.0f", captured.milliseconds)) +
              (captured.notice.isEmpty() ? QString() : QStringLiteral(" · ") + captured.notice));
    std::exception_ptr copyFailure;
    if (preferences_->copyAfterCapture()) {
        try {
            co_await copyImage(captured.image);
        } catch (...) {
            copyFailure = std::current_exception();
        }
        if (!self)
            co_return;
    }
    if (!copyFailure) {
        co_await restoreBeforeOpening();
        if (!self)
            co_return;
        if (preferences_->openEditor())
            openEditor(item, captured.image, screen);
        else
            floating_->showCapture(item, captured.image, *this, screen);
    }
    // Recognition runs even when the copy failed: the stored capture should still become searchable.
    if (preferences_->automaticOCR())
        recognizeInBackground(item, captured.image);
    if (copyFailure)
        std::rethrow_exception(copyFailure);
}

void AppModel::recognizeInBackground(const CaptureItem &item, const QImage &image) { runRecognition(item, image); }

QCoro::Task<> AppModel::runRecognition(CaptureItem item, QImage image)
{
    QPointer<AppModel> self(this);
    CaptureItem updated;
    try {
        QFuture<RecognitionResult> recognizing = recognition_->recognizeInBackground(image);
        RecognitionResult result = co_await recognizing;
        if (!self)
            co_return;
        QFuture<CaptureItem> storing = repository_->updateRecognition(item.id, std::move(result));
        updated = co_await storing;
    } catch (...) {
        if (self)
            setStatus(QStringLiteral("캡처는 저장했습니다. OCR 처리 실패: ") + describe(std::current_exception()));
        co_return;
    }
    if (!self)
        co_return;
    replace(updated);
    showRecognitionInEditor(updated);
}

} // namespace tarn
