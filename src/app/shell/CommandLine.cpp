// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/CommandLine.h"

#include <QDir>

namespace tarn::CommandLine {

namespace {

const QString helpOption = QStringLiteral("--help");
const QString demoOption = QStringLiteral("--demo");
const QString badgeOption = QStringLiteral("--badge-preview");
const QString rotationOption = QStringLiteral("--badge-rotation-preview");
const QString benchmarkOption = QStringLiteral("--benchmark");
const QString smokeOption = QStringLiteral("--ui-smoke");
const QString libraryOption = QStringLiteral("--library");

// The value after the first occurrence of `option`; nothing when the option is absent or last.
std::optional<QString> valueOf(const QStringList &arguments, const QString &option)
{
    const qsizetype at = arguments.indexOf(option);
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    return arguments[at + 1];
}

QString absolute(const QString &workingDirectory, const QString &path)
{
    return QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(path));
}

LaunchPlan refusal(int status, const QString &message)
{
    LaunchPlan plan;
    plan.mode = LaunchPlan::Mode::refused;
    plan.status = status;
    plan.message = message;
    return plan;
}

} // namespace

LaunchPlan parse(const QStringList &arguments, const QString &workingDirectory,
                 const std::optional<QString> &dataFolder)
{
    LaunchPlan plan;
    if (arguments.contains(helpOption)) {
        plan.mode = LaunchPlan::Mode::help;
        return plan;
    }

    qsizetype badge = arguments.indexOf(badgeOption);
    if (badge < 0)
        badge = arguments.indexOf(rotationOption);
    if (badge >= 0) {
        if (badge + 1 >= arguments.size())
            return refusal(2, QStringLiteral("Badge preview requires an output PNG path"));
        plan.mode = LaunchPlan::Mode::badgePreview;
        plan.badgeRotations = arguments[badge] == rotationOption;
        // The file keeps the spelling it was given below the working directory: the preview
        // prints the absolute path of exactly that file.
        plan.badgeFile = QDir(workingDirectory).absoluteFilePath(arguments[badge + 1]);
        return plan;
    }

    if (const auto output = valueOf(arguments, benchmarkOption)) {
        plan.mode = LaunchPlan::Mode::benchmark;
        plan.benchmarkOutput = absolute(workingDirectory, *output);
        return plan;
    }

    if (const auto output = valueOf(arguments, smokeOption))
        plan.smokeOutput = absolute(workingDirectory, *output);
    const bool demoFlag = arguments.contains(demoOption);
    if (const auto library = valueOf(arguments, libraryOption)) {
        // The smoke run edits, trashes and restores items; it never gets a user's library.
        if (plan.smokeOutput)
            return refusal(2,
                           QStringLiteral("--ui-smoke works on a new library of its own and cannot be "
                                          "combined with --library"));
        plan.libraryRoot = absolute(workingDirectory, *library);
    } else if (plan.smokeOutput) {
        plan.libraryRoot = *plan.smokeOutput + QStringLiteral("/library");
    } else if (dataFolder && !dataFolder->isEmpty()) {
        plan.libraryRoot = *dataFolder + (demoFlag ? QStringLiteral("/Tarnwick Demo") : QStringLiteral("/Tarnwick"));
    } else {
        return refusal(1,
                       QStringLiteral("No application data folder is known for this user; choose a library with "
                                      "--library <directory>"));
    }
    plan.demo = demoFlag || plan.smokeOutput.has_value();
    return plan;
}

QString helpText(const QString &version)
{
    return QStringLiteral("Tarnwick ") + version +
        QStringLiteral("\n"
                       "  --demo                     Use generated sample content\n"
                       "  --library <directory>      Use a separate local library\n"
                       "  --benchmark <directory>    Run synthetic render / OCR benchmarks\n"
                       "  --ui-smoke <directory>     Exercise and snapshot real app windows with synthetic data\n"
                       "  --badge-preview <file>     Render the badge palette without opening a window\n"
                       "  --badge-rotation-preview <file>  Render 0–360 degree badge samples\n"
                       "\n");
}

} // namespace tarn::CommandLine
