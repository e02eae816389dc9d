// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace tarn {

// What one start of the program does, worked out from its arguments alone. Every path in it is
// absolute (relative arguments are taken from the working directory).
struct LaunchPlan {
    enum class Mode {
        help,         // print the help text, status 0
        badgePreview, // write the badge palette to `badgeFile`
        benchmark,    // run the benchmark into `benchmarkOutput`
        run,          // the interactive application (a UI smoke run when `smokeOutput` is set)
        refused,      // print `message` to standard error and end with `status`
    };
    Mode mode = Mode::run;
    QString badgeFile;
    bool badgeRotations = false;
    QString benchmarkOutput;
    QString libraryRoot;
    bool demo = false;
    std::optional<QString> smokeOutput;
    int status = 0;
    QString message;

    bool operator==(const LaunchPlan &) const = default;
};

namespace CommandLine {

// Reads the whole argument list, the program path included. `dataFolder` is the user's
// application-data folder ($XDG_DATA_HOME), absent when the system names none.
//
// An option matches only an argument equal to it. Flags (--help, --demo) count wherever they
// stand, even as another option's value; of a valued option only the first occurrence counts
// and its value is the next argument, whatever it is; a valued option standing last is
// ignored. The first mode that applies wins: help, badge preview (--badge-preview is looked
// for before --badge-rotation-preview), benchmark, then the ordinary or UI smoke run. A UI
// smoke run works on a new library of its own, so it refuses --library.
LaunchPlan parse(const QStringList &arguments, const QString &workingDirectory,
                 const std::optional<QString> &dataFolder);

// "Tarnwick <version>", the six option lines and an empty line.
QString helpText(const QString &version);

} // namespace CommandLine

} // namespace tarn
