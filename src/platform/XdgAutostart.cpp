// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/XdgAutostart.h"

#include <cerrno>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "core/base/FileFailure.h"
#include "core/library/PrivateFiles.h"
#include "platform/DesktopEntry.h"

namespace tarn {

QString LoginItemFailure::description() const
{
    const QString what = registering_ ? QStringLiteral("로그인 시 실행을 켜지 못했습니다.")
                                      : QStringLiteral("로그인 시 실행을 끄지 못했습니다.");
    return reason_.isEmpty() ? what : what + u' ' + reason_;
}

std::unique_ptr<LoginItemService> makeLoginItemService()
{
    return std::make_unique<XdgAutostart>(XdgAutostart::defaultEntryFile(), QCoreApplication::applicationFilePath());
}

XdgAutostart::XdgAutostart(QString entryFile, QString executable)
    : entryFile_(std::move(entryFile)),
      executable_(std::move(executable))
{ }

QString XdgAutostart::defaultEntryFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/tarnwick.desktop");
}

QByteArray XdgAutostart::entryText(const QString &executable)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Tarnwick\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(DesktopEntry::escapeValue(DesktopEntry::execCommand(executable)));
    return text.toUtf8();
}

// Only an entry that the session would start, and that starts this executable, is enabled.
// An unreadable or malformed file is not started by the session either.
LoginItemService::Status XdgAutostart::status()
{
    if (executable_.isEmpty())
        return Status::notFound;
    QByteArray text;
    try {
        text = Files::readAll(entryFile_);
    } catch (const FileFailure &) {
        return Status::notRegistered;
    }
    const auto keys = DesktopEntry::parse(text);
    if (!keys)
        return Status::notRegistered;
    const auto value = [&](const QString &key) {
        const auto found = keys->find(key);
        return found == keys->end() ? QString() : found->second;
    };
    if (value(QStringLiteral("Hidden")) == u"true" || value(QStringLiteral("X-GNOME-Autostart-enabled")) == u"false")
        return Status::notRegistered;
    const auto arguments = DesktopEntry::execArguments(value(QStringLiteral("Exec")));
    if (!arguments || arguments->isEmpty() || arguments->front() != executable_)
        return Status::notRegistered;
    return Status::enabled;
}

void XdgAutostart::registerItem()
{
    if (executable_.isEmpty() || QDir::isRelativePath(executable_))
        throw LoginItemFailure(true, QStringLiteral("실행 파일의 위치를 알 수 없습니다."));
    try {
        Files::createFolders(QFileInfo(entryFile_).path());
        Files::writeAtomically(entryFile_, entryText(executable_));
    } catch (const FileFailure &failure) {
        throw LoginItemFailure(true, failure.description());
    }
}

void XdgAutostart::unregisterItem()
{
    try {
        Files::removeFile(entryFile_);
    } catch (const FileFailure &failure) {
        if (failure.code() != ENOENT)
            throw LoginItemFailure(false, failure.description());
    }
}

} // namespace tarn
