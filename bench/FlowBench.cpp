// SPDX-License-Identifier: GPL-3.0-or-later
// How quickly a capture answers the user on the 1920 x 1080 test display: from a synthetic
// Ctrl+Shift+1 (XTest key events through the X server, caught by our global key grab) to the
// first paint of the region overlay, and from the end of a selection to the new item in the
// model. Each repetition is one whole capture; the medians are the figures that matter (the
// overlay's goal is under 100 ms). Needs an X display (bench/run.sh provides one).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include "app/capture/DesktopScreens.h"
#include "app/model/AppModel.h"
#include "platform/x11/HotKeyManager.h"

using namespace tarn;
using Clock = std::chrono::steady_clock;

namespace {

// Presses and releases Ctrl+Shift+<digit> as a keyboard would, through XTest.
class SyntheticKeys {
public:
    SyntheticKeys() : connection_(xcb_connect(nullptr, nullptr)), symbols_(xcb_key_symbols_alloc(connection_)) { }
    ~SyntheticKeys()
    {
        xcb_key_symbols_free(symbols_);
        xcb_disconnect(connection_);
    }

    void chord(xcb_keysym_t digit)
    {
        const xcb_keycode_t keys[] = {code(XK_Control_L), code(XK_Shift_L), code(digit)};
        for (xcb_keycode_t key : keys)
            xcb_test_fake_input(connection_, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
            xcb_test_fake_input(connection_, XCB_KEY_RELEASE, *key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(connection_);
    }

private:
    xcb_keycode_t code(xcb_keysym_t symbol)
    {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols_, symbol);
        const xcb_keycode_t first = codes ? codes[0] : 0;
        free(codes);
        return first;
    }

    xcb_connection_t *connection_;
    xcb_key_symbols_t *symbols_;
};

// Notes when the region overlay first paints.
class PaintWatch : public QObject {
public:
    PaintWatch() { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    std::optional<Clock::time_point> painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!painted && event->type() == QEvent::Paint && qobject_cast<SelectionView *>(watched))
            painted = Clock::now();
        return false;
    }
};

struct Setup {
    QTemporaryDir folder;
    AppModel model{folder.filePath(QStringLiteral("library")), false};
    HotKeyManager keys;

    Setup()
    {
        QCoro::waitFor(model.load());
        model.preferences().setCaptureDelay(0);
        model.preferences().setCopyAfterCapture(false);
        model.preferences().setOpenEditor(false);
        model.preferences().setAutomaticOCR(false);
        keys.registerKeys(true);
        QObject::connect(&keys, &HotKeyManager::activated, &model, [this](uint32_t id) {
            if (id == 1)
                model.beginCapture(CaptureAction::region);
        });
    }

    QWidget *overlay()
    {
        (void)QTest::qWaitFor([&] { return !model.selector().panels().empty(); }, 5000);
        return model.selector().panels().empty() ? nullptr : model.selector().panels().front();
    }

    bool settle()
    {
        return QTest::qWaitFor([&] { return !model.isBusy(); }, 10000);
    }
};

Setup &setup()
{
    static Setup shared;
    return shared;
}

// Argument 1: the library window is open, so it is hidden first and the flow waits for it to
// leave the screen; 0: nothing of ours is on the screen.
void hotKeyToOverlayPaint(benchmark::State &state)
{
    Setup &shared = setup();
    QWidget library;
    if (state.range(0) == 1) {
        library.resize(1000, 700);
        library.show();
        (void)QTest::qWaitForWindowExposed(&library);
        shared.model.setMainWindow(&library);
    }
    if (shared.keys.registeredIdentifiers().empty()) {
        state.SkipWithError("the global keys could not be grabbed");
        return;
    }
    SyntheticKeys keyboard;
    for (auto _ : state) {
        PaintWatch watch;
        const Clock::time_point pressed = Clock::now();
        keyboard.chord(XK_1);
        if (!QTest::qWaitFor([&] { return watch.painted.has_value(); }, 5000)) {
            state.SkipWithError("the overlay never painted");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*watch.painted - pressed).count());
        QTest::keyClick(shared.overlay(), Qt::Key_Escape);
        shared.settle();
    }
}
BENCHMARK(hotKeyToOverlayPaint)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

// The release of the drag (an 800 x 600 region) to the stored item in `items`: the overlay
// closing, the screenshot, the PNG and thumbnail written by the store.
void selectionToItem(benchmark::State &state)
{
    AppModel &model = setup().model;
    for (auto _ : state) {
        const size_t before = model.items().size();
        model.beginCapture(CaptureAction::region);
        QWidget *overlay = setup().overlay();
        if (!overlay || !QTest::qWaitForWindowExposed(overlay)) {
            state.SkipWithError("no overlay");
            break;
        }
        QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(200, 200));
        QTest::mouseMove(overlay, QPoint(1000, 800));
        const Clock::time_point released = Clock::now();
        QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(1000, 800));
        if (!QTest::qWaitFor([&] { return model.items().size() > before; }, 10000)) {
            state.SkipWithError("no item");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - released).count());
        setup().settle();
    }
}
BENCHMARK(selectionToItem)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!DesktopScreens::source().isAvailable()) {
        std::fprintf(stderr, "bench_FlowBench needs an X display\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
