// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/shell/CommandLine.h"

namespace tarn {
namespace {

const QString cwd = QStringLiteral("/work/here");
const QString data = QStringLiteral("/home/u/.local/share");

QStringList args(std::initializer_list<const char *> list)
{
    QStringList result{QStringLiteral("/usr/bin/tarnwick")};
    for (const char *a : list)
        result << QString::fromUtf8(a);
    return result;
}

LaunchPlan run(const QString &root, bool demo, std::optional<QString> smoke = std::nullopt)
{
    LaunchPlan plan;
    plan.libraryRoot = root;
    plan.demo = demo;
    plan.smokeOutput = std::move(smoke);
    return plan;
}

LaunchPlan badge(const QString &file, bool rotations)
{
    LaunchPlan plan;
    plan.mode = LaunchPlan::Mode::badgePreview;
    plan.badgeFile = file;
    plan.badgeRotations = rotations;
    return plan;
}

LaunchPlan benchmark(const QString &output)
{
    LaunchPlan plan;
    plan.mode = LaunchPlan::Mode::benchmark;
    plan.benchmarkOutput = output;
    return plan;
}

LaunchPlan help()
{
    LaunchPlan plan;
    plan.mode = LaunchPlan::Mode::help;
    return plan;
}

LaunchPlan refused(int status, const char *message)
{
    LaunchPlan plan;
    plan.mode = LaunchPlan::Mode::refused;
    plan.status = status;
    plan.message = QString::fromUtf8(message);
    return plan;
}

struct Case {
    const char *name;
    QStringList arguments;
    LaunchPlan expected;
    std::optional<QString> dataFolder = data;
};

TEST(CommandLine, EveryArgumentRuleDecidesTheModeAndTheLibrary)
{
    const char *smokeAndLibrary = "--ui-smoke works on a new library of its own and cannot be combined with --library";
    const std::vector<Case> cases{
        {"no options: the user's library", args({}), run(data + QStringLiteral("/Tarnwick"), false)},
        {"--demo alone: the demo folder", args({"--demo"}), run(data + QStringLiteral("/Tarnwick Demo"), true)},
        {"--help wins wherever it stands", args({"--library", "x", "--badge-preview", "a.png", "--help"}), help()},
        {"--help as another option's value still counts", args({"--library", "--help"}), help()},
        {"options are case-sensitive", args({"--HELP", "--Demo"}), run(data + QStringLiteral("/Tarnwick"), false)},
        {"no joined option=value form", args({"--library=lib"}), run(data + QStringLiteral("/Tarnwick"), false)},
        {"the plain badge option wins over the rotation option",
         args({"--badge-preview", "a.png", "--badge-rotation-preview", "b.png"}),
         badge(cwd + QStringLiteral("/a.png"), false)},
        {"the plain badge option last: no file", args({"--badge-rotation-preview", "b.png", "--badge-preview"}),
         refused(2, "Badge preview requires an output PNG path")},
        {"rotation preview", args({"--badge-rotation-preview", "out/r.png"}),
         badge(cwd + QStringLiteral("/out/r.png"), true)},
        {"badge path kept as given below the working directory", args({"--badge-preview", "out/sub/p.png"}),
         badge(cwd + QStringLiteral("/out/sub/p.png"), false)},
        {"absolute badge path", args({"--badge-preview", "/tmp/p.png"}), badge(QStringLiteral("/tmp/p.png"), false)},
        {"badge preview wins over the benchmark", args({"--benchmark", "b", "--badge-preview", "p.png"}),
         badge(cwd + QStringLiteral("/p.png"), false)},
        {"benchmark wins over the smoke run", args({"--benchmark", "dir", "--ui-smoke", "other"}),
         benchmark(cwd + QStringLiteral("/dir"))},
        {"benchmark last: the ordinary application", args({"--benchmark"}),
         run(data + QStringLiteral("/Tarnwick"), false)},
        {"only the first occurrence of a valued option counts", args({"--benchmark", "a", "--benchmark", "b"}),
         benchmark(cwd + QStringLiteral("/a"))},
        {"a value may start with two dashes", args({"--library", "--demo"}),
         run(cwd + QStringLiteral("/--demo"), true)},
        {"--library value with --demo only sets the flag", args({"--demo", "--library", "/srv/lib"}),
         run(QStringLiteral("/srv/lib"), true)},
        {"relative library folder", args({"--library", "../lib"}), run(QStringLiteral("/work/lib"), false)},
        {"smoke run: its own library, always a demo run", args({"--ui-smoke", "out"}),
         run(cwd + QStringLiteral("/out/library"), true, cwd + QStringLiteral("/out"))},
        {"smoke run last: ordinary, not demo", args({"--ui-smoke"}), run(data + QStringLiteral("/Tarnwick"), false)},
        {"smoke run never gets another library", args({"--ui-smoke", "out", "--library", "lib"}),
         refused(2, smokeAndLibrary)},
        {"library option taking the smoke option as its value", args({"--library", "--ui-smoke", "out"}),
         refused(2, smokeAndLibrary)},
        {"the program path is searched too", QStringList{QStringLiteral("--demo")},
         run(data + QStringLiteral("/Tarnwick Demo"), true)},
        {"no data folder and no library: refused", args({}),
         refused(1,
                 "No application data folder is known for this user; choose a library with --library "
                 "<directory>"),
         std::nullopt},
        {"no data folder but a library", args({"--library", "/l"}), run(QStringLiteral("/l"), false), std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CommandLine::parse(c.arguments, cwd, c.dataFolder), c.expected) << c.name;
}

} // namespace
} // namespace tarn
