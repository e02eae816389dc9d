// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the real program (the tarnwick binary next to the app tests) as a process to its end,
// for the tests of its command-line modes.
#include <chrono>

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace tarn::TestSupport {

struct ProgramOutcome {
    int status = -1; // the exit code; -1 when it crashed or ran out of time
    QByteArray out;
    QByteArray err;
};

// The variables that give a process a display or a platform choice: without them, the modes
// that must not open a window prove it by working anyway.
inline QStringList displayVariables()
{
    return {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("QT_QPA_PLATFORM")};
}

// Runs the program with `arguments` in `workingDirectory` (empty: this process's), with the
// variables named in `removed` taken out of its environment; kills it after `timeout`.
inline ProgramOutcome runProgram(const QStringList &arguments, const QStringList &removed,
                                 const QString &workingDirectory = {},
                                 std::chrono::milliseconds timeout = std::chrono::minutes(1))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : removed)
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TARN_APP_BINARY), arguments);
    if (!process.waitForFinished(int(timeout.count()))) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

} // namespace tarn::TestSupport
