// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

namespace tarn {
class TarnAppDelegate;
}

namespace tarn::TarnwickApplication {

// The process entry: reads the command line once and runs exactly one mode (help, badge
// preview, benchmark, or the application with its delegate, a UI smoke run included).
// Returns the process's exit status. The help and the badge preview never create an
// application object.
int main(int argc, char **argv);

// The end of an application run once its event loop is over, before the application object
// goes: the delegate goes first and takes every window of ours with it, deferred deletions run,
// and from then on the process ends within ExitGuard::limit; the video players those windows
// handed over end with their sound streams as the application object goes.
// Returns `status`.
int endRun(std::unique_ptr<TarnAppDelegate> delegate, int status);

// The arguments as given, the program path included. Taken before the application object
// exists, since Qt removes its own options (-platform, -style, ...) from argv.
QStringList arguments(int argc, char **argv);

// The user's application-data folder ($XDG_DATA_HOME, else ~/.local/share), absent when the
// system names none.
std::optional<QString> dataFolder();

// A UI smoke run creates its own library; a folder already holding files is somebody's
// library and is refused.
bool holdsFiles(const QString &folder);

} // namespace tarn::TarnwickApplication
