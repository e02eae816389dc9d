// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include <QFile>

#include <qcoro/qcorotimer.h>

#include "app/devmodes/SmokeDriver.h"
#include "app/model/AppModel.h"
#include "app/model/DemoContent.h"
#include "app/smoke/UISmokeChecks.h"

namespace tarn::UISmoke {

namespace {

using SmokeDriver::failure;

bool visibleHolds(const AppModel &app, const Uuid &id)
{
    const std::vector<CaptureItem> visible = app.visibleItems();
    return std::any_of(visible.begin(), visible.end(), [&](const CaptureItem &item) { return item.id == id; });
}

} // namespace

QString digestOfOriginal(const Run &run)
{
    QFile file(run.app.repository().originalURL(run.sample));
    if (!file.open(QIODevice::ReadOnly))
        throw failure(QStringLiteral("Could not read the original file ") + file.fileName());
    return SmokeDriver::sha256Hex(file.readAll());
}

void Run::require(bool condition, const char *message) const
{
    if (!condition)
        throw failure(QString::fromUtf8(message));
}

void Run::pass(const char *name) { checks << QString::fromLatin1(name); }

QCoro::Task<EditorController *> pollEditor(const Run &run, const Uuid &id)
{
    const auto lookUp = [&]() -> EditorController * {
        const auto found = run.app.editorControllers().find(id);
        return found == run.app.editorControllers().end() ? nullptr : found->second;
    };
    for (int looks = 0; looks < 60 && !lookUp(); ++looks)
        co_await QCoro::sleepFor(std::chrono::milliseconds(100));
    co_return lookUp();
}

QCoro::Task<> libraryChecks(Run &run)
{
    AppModel &app = run.app;
    run.require(app.libraryReady() && app.items().size() >= 6, "Sample library did not load");
    run.pass("library_load_with_synthetic_samples");
    co_await SmokeDriver::settle();
    SmokeDriver::snapshot(app.mainWindow(), run.output, QStringLiteral("01-library.png"));

    const auto sample = std::find_if(app.items().begin(), app.items().end(), [](const CaptureItem &item) {
        return QString::fromStdString(item.title).startsWith(QLatin1String("Privacy"));
    });
    run.require(sample != app.items().end(), "Missing privacy sample");
    run.sample = *sample;
    run.originalDigest = digestOfOriginal(run);

    app.setSearchText(DemoContent::privacyEmail);
    run.require(visibleHolds(app, run.sample.id), "OCR search did not find sample");
    run.pass("library_ocr_search");

    app.setSearchText(QStringLiteral("type:video"));
    run.require(app.visibleItems().empty(), "Video filter included images");
    run.pass("typed_search_filter");

    app.setSearchText(QString());
    app.setSection(LibrarySection::favorites);
    const std::vector<CaptureItem> favourites = app.visibleItems();
    run.require(
        !favourites.empty() &&
            std::all_of(favourites.begin(), favourites.end(), [](const CaptureItem &item) { return item.isFavorite; }),
        "Favorite filter failed");
    run.pass("favorite_filter");
    app.setSection(LibrarySection::all);
}

} // namespace tarn::UISmoke
