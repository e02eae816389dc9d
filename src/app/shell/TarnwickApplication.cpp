// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/TarnwickApplication.h"

#include <csignal>
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include "app/model/ProductInfo.h"
#include "app/shell/CommandLine.h"
#include "app/shell/DevModes.h"
#include "app/shell/ExitGuard.h"
#include "app/shell/TarnAppDelegate.h"
#include "app/widgets/ErrorDescription.h"
#include "core/render/BadgePreview.h"

namespace tarn::TarnwickApplication {

namespace {

void writeLine(FILE *stream, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stream);
    std::fflush(stream);
}

int writeBadgePreview(const LaunchPlan &plan)
{
    try {
        const QString path = BadgePreview::write(plan.badgeFile, plan.badgeRotations);
        writeLine(stdout, QStringLiteral("Badge palette: ") + path);
        return 0;
    } catch (...) {
        writeLine(stderr, QStringLiteral("Badge preview failed: ") + describe(std::current_exception()));
        return 1;
    }
}

// Without any display the benchmark still runs: it draws into images only.
void preferOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QCoro::Task<> benchmarkTask(QString output)
{
    try {
        co_await DevModes::runBenchmark(output);
    } catch (...) {
        writeLine(stderr, QStringLiteral("Benchmark failed: ") + describe(std::current_exception()));
        QCoreApplication::exit(1);
        co_return;
    }
    QCoreApplication::exit(0);
}

// The benchmark's streams carry its report and its failure only: Qt's own warnings (a missing
// runtime folder, font notices) are dropped.
void discardQtMessages(QtMsgType, const QMessageLogContext &, const QString &) { }

// An application without windows, menus, status item, hot keys or library.
int runBenchmark(int argc, char **argv, const LaunchPlan &plan)
{
    preferOffscreenWithoutDisplay();
    qInstallMessageHandler(discardQtMessages);
    QApplication application(argc, argv);
    QMetaObject::invokeMethod(
        &application, [output = plan.benchmarkOutput] { benchmarkTask(output); }, Qt::QueuedConnection);
    return QApplication::exec();
}

// The interface is Korean whatever the system language, so Qt's own texts (file dialogs, the
// standard buttons of alerts) are too. Without the translation files they stay English.
void installKoreanQtTexts(QApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

int runApplication(int argc, char **argv, const LaunchPlan &plan)
{
    if (plan.smokeOutput && holdsFiles(plan.libraryRoot)) {
        writeLine(stderr,
                  QStringLiteral("--ui-smoke needs a new library folder, but ") + plan.libraryRoot +
                      QStringLiteral(" already holds files"));
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    installKoreanQtTexts(application);
    auto delegate = std::make_unique<TarnAppDelegate>(plan.libraryRoot, plan.demo, plan.smokeOutput);
    QObject::connect(delegate.get(), &TarnAppDelegate::exitRequested, &application, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    delegate->applicationDidFinishLaunching();
    const int status = QApplication::exec();
    return endRun(std::move(delegate), status);
}

} // namespace

int endRun(std::unique_ptr<TarnAppDelegate> delegate, int status)
{
    delegate.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ExitGuard::arm(status);
    return status;
}

QStringList arguments(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

std::optional<QString> dataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

bool holdsFiles(const QString &folder)
{
    const QDir dir(folder);
    return dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

int main(int argc, char **argv)
{
    // Past the file-size limit (ulimit -f) a write then fails with EFBIG, which every writer
    // reports and cleans up after; the signal's default would end the process mid-write and
    // leave the temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARN_VERSION));
    const LaunchPlan plan = CommandLine::parse(arguments(argc, argv), QDir::currentPath(), dataFolder());
    switch (plan.mode) {
    case LaunchPlan::Mode::help:
        std::fputs(CommandLine::helpText(ProductInfo::version()).toUtf8().constData(), stdout);
        return 0;
    case LaunchPlan::Mode::refused:
        writeLine(stderr, plan.message);
        return plan.status;
    case LaunchPlan::Mode::badgePreview:
        return writeBadgePreview(plan);
    case LaunchPlan::Mode::benchmark:
        return runBenchmark(argc, argv, plan);
    case LaunchPlan::Mode::run:
        return runApplication(argc, argv, plan);
    }
    return 1;
}

} // namespace tarn::TarnwickApplication
