// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/smoke/UISmoke.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include "app/devmodes/SmokeDriver.h"
#include "app/model/AppModel.h"
#include "app/smoke/UISmokeChecks.h"

namespace tarn::UISmoke {

namespace {

using SmokeDriver::failure;

QCoro::Task<QJsonObject> report(Run &run)
{
    // The size of the flattened export; a run that stopped before the export measures the
    // privacy sample as the library now holds it.
    QSize exportPixels = run.exportPixels;
    if (!exportPixels.isValid()) {
        const auto current = std::find_if(run.app.items().begin(), run.app.items().end(),
                                          [&](const CaptureItem &item) { return item.id == run.sample.id; });
        run.require(current != run.app.items().end(), "Saved item missing");
        exportPixels = (co_await run.app.renderedImage(*current)).size();
    }
    co_return QJsonObject{
        {QStringLiteral("status"), QStringLiteral("passed")},
        {QStringLiteral("checks"), QJsonArray::fromStringList(run.checks)},
        {QStringLiteral("checkCount"), qint64(run.checks.size())},
        {QStringLiteral("mechanism"),
         QStringLiteral("Real Qt window snapshots rendered in process, model-driven UI actions, and synthetic mouse "
                        "events delivered to the native annotation canvas. Not an external accessibility test.")},
        {QStringLiteral("screenRecordingPermissionAvailable"), run.app.screenPermission()},
        {QStringLiteral("captureAndRecordingTested"), false},
        {QStringLiteral("limitations"),
         QStringLiteral("This smoke test deliberately does not grant screen-recording permissions, capture another "
                        "app, record audio, or alter the user's clipboard.")},
        {QStringLiteral("exportPixels"),
         QString::number(exportPixels.width()) + QLatin1Char('x') + QString::number(exportPixels.height())},
        {QStringLiteral("originalSHA256"), run.originalDigest},
        {QStringLiteral("sampleLibrary"), run.app.repository().root()},
    };
}

} // namespace

QCoro::Task<> run(AppModel &app, QString output)
{
    if (!QDir().mkpath(output))
        throw failure(QStringLiteral("Could not create the output folder ") + output);
    Run state(app, output);
    // Each group with the number of checks it passes. While a group is being built it passes
    // fewer, and the run reports what passed so far instead of driving the next group from a
    // state it does not expect.
    using Group = QCoro::Task<> (*)(Run &);
    static constexpr std::pair<Group, int> groups[] = {
        {libraryChecks, 4},        {editorDrawingChecks, 4}, {badgeMouseRotationChecks, 7},  {editorPrivacyChecks, 10},
        {trashAndRestoreCheck, 1}, {bulkSelectionChecks, 4}, {sheetAndBadgeExportChecks, 4},
    };
    for (const auto &[group, count] : groups) {
        const qsizetype before = state.checks.size();
        co_await group(state);
        if (state.checks.size() - before < count)
            break;
    }
    SmokeDriver::writeReport(co_await report(state), output);
}

} // namespace tarn::UISmoke
