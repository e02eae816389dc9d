// SPDX-License-Identifier: GPL-3.0-or-later
// The library window on a 10,000-capture library with synthetic thumbnails: from `load` to the
// first painted grid (goal under 1 s), one search keystroke to the repainted grid (goal under
// 30 ms), and a full scroll from top to bottom a wheel step at a time (goal: no frame over
// 50 ms; the longest frame is the `maxFrameMs` counter).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>

#include <qcoro/qcorotask.h>

#include "SyntheticLibrary.h"
#include "app/library/LibraryHeader.h"
#include "app/library/LibraryView.h"
#include "app/model/AppModel.h"
#include "app/shell/LibraryBinding.h"
#include "app/widgets/Theme.h"
#include "core/library/LibraryIndex.h"
#include "core/library/LibraryPaths.h"

using namespace tarn;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int itemCount = 10'000;
constexpr int distinctThumbnails = 48;

double milliseconds(Clock::duration elapsed) { return std::chrono::duration<double, std::milli>(elapsed).count(); }

// A library folder of 10,000 captures whose thumbnails are 48 different 720 x 450 JPEGs.
const QString &libraryRoot()
{
    static QTemporaryDir folder;
    static const QString root = [] {
        const QString path = folder.filePath(QStringLiteral("library"));
        QDir().mkpath(QDir(path).filePath(LibraryPaths::thumbnailsName));
        QDir().mkpath(QDir(path).filePath(LibraryPaths::originalsName));
        for (int n = 0; n < distinctThumbnails; ++n) {
            QImage thumbnail(720, 450, QImage::Format_RGB32);
            thumbnail.fill(QColor::fromHsv(n * 7 % 360, 120, 160));
            thumbnail.save(QDir(path).filePath(LibraryPaths::thumbnailsName + QStringLiteral("/thumb-%1.jpg").arg(n)),
                           "JPEG", 84);
        }
        std::vector<CaptureItem> items = Bench::syntheticLibrary(itemCount, 200);
        for (size_t n = 0; n < items.size(); ++n)
            items[n].thumbnailFilename = "thumb-" + std::to_string(n % distinctThumbnails) + ".jpg";
        QFile index(QDir(path).filePath(LibraryPaths::indexName));
        index.open(QIODevice::WriteOnly);
        index.write(LibraryIndex::encode(items));
        return path;
    }();
    return root;
}

struct Window {
    std::unique_ptr<AppModel> app;
    LibraryView *view = nullptr;

    Window()
    {
        app = std::make_unique<AppModel>(libraryRoot(), false);
        view = makeLibraryView(*app);
        view->resize(1280, 880);
        view->show();
        QApplication::processEvents();
    }
    ~Window()
    {
        delete view;
        app.reset();
    }
    void load()
    {
        QCoro::waitFor(app->load());
        QApplication::processEvents();
        view->repaint();
    }
};

void BM_LoadToFirstPaintedGrid(benchmark::State &state)
{
    for (auto _ : state) {
        Window window;
        const auto start = Clock::now();
        window.load();
        state.SetIterationTime(milliseconds(Clock::now() - start) / 1000);
    }
}
BENCHMARK(BM_LoadToFirstPaintedGrid)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void type(QWidget *field, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &release);
}

// Types "캡처 1" one key at a time and takes it back again; each key ends with a repaint.
void BM_SearchKeystrokeToRepaintedGrid(benchmark::State &state)
{
    Window window;
    window.load();
    QLineEdit *field = window.view->header()->searchBox()->field();
    const QString word = QStringLiteral("캡처 1");
    int at = 0;
    bool typing = true;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (typing)
            type(field, Qt::Key_unknown, word.mid(at++, 1));
        else
            type(field, Qt::Key_Backspace, QString()), --at;
        window.view->repaint();
        state.SetIterationTime(milliseconds(Clock::now() - start) / 1000);
        if (at == word.size() || at == 0)
            typing = !typing;
    }
}
BENCHMARK(BM_SearchKeystrokeToRepaintedGrid)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);

// One pass from the top to the bottom of the grid in 120-pixel steps, each step a frame: the
// scroll, the thumbnails that arrived meanwhile, and the repaint.
void BM_FullScroll(benchmark::State &state)
{
    Window window;
    window.load();
    window.app->setGridView(state.range(0) == 1);
    QApplication::processEvents();
    QScrollBar *bar = window.view->scrollArea()->verticalScrollBar();
    double longest = 0;
    double total = 0;
    int frames = 0;
    for (auto _ : state) {
        bar->setValue(0);
        QApplication::processEvents();
        const auto pass = Clock::now();
        for (int value = 0; value <= bar->maximum(); value += 120) {
            const auto start = Clock::now();
            bar->setValue(value);
            QApplication::processEvents();
            window.view->repaint();
            const double frame = milliseconds(Clock::now() - start);
            longest = std::max(longest, frame);
            total += frame;
            ++frames;
        }
        state.SetIterationTime(milliseconds(Clock::now() - pass) / 1000);
    }
    state.counters["frames"] = frames;
    state.counters["meanFrameMs"] = total / std::max(1, frames);
    state.counters["maxFrameMs"] = longest;
}
BENCHMARK(BM_FullScroll)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    Theme::useIconTheme();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
