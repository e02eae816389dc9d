// SPDX-License-Identifier: GPL-3.0-or-later
// Paths from outside that are not regular files: every reader refuses them at once, with what
// they are, instead of waiting on a pipe that no program writes.
#include <chrono>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/base/FileFailure.h"
#include "core/base/ImageFailure.h"
#include "core/base/RegularFile.h"
#include "core/image/ImageCodec.h"
#include "core/library/PrivateFiles.h"
#include "platform/VideoFailure.h"
#include "platform/VideoInfo.h"

namespace tarn {
namespace {

class SpecialFileReading : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (socket_ >= 0)
            ::close(socket_);
    }

    // The description the reader gave, or nothing when it read something or waited too long.
    std::optional<QString> refusal(const std::function<void()> &read)
    {
        auto running = std::async(std::launch::async, [&read]() -> QString {
            try {
                read();
            } catch (const Failure &failure) {
                return failure.description();
            }
            return QString();
        });
        if (running.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
            do
                releaseWaitingReaders(); // a reader may open the pipe again
            while (running.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
            return std::nullopt;
        }
        const QString text = running.get();
        return text.isEmpty() ? std::nullopt : std::optional(text);
    }

    // A reader left waiting on a pipe gets a writer that leaves at once, so it ends.
    void releaseWaitingReaders()
    {
        for (const QString &pipe : pipes_) {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    }

    QString pipe(const char *name)
    {
        pipes_ << dir_.filePath(QString::fromLatin1(name));
        EXPECT_EQ(::mkfifo(QFile::encodeName(pipes_.back()).constData(), 0600), 0);
        return pipes_.back();
    }
    QString socket(const char *name)
    {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        if (size_t(native.size()) >= sizeof address.sun_path)
            ADD_FAILURE() << "socket path too long";
        std::copy(native.begin(), native.end(), address.sun_path);
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        EXPECT_EQ(::bind(socket_, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        return path;
    }
    QString link(const char *name, const QString &target)
    {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QFile::link(target, path));
        return path;
    }
    QString folder(const char *name)
    {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }

    QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/sf-XXXXXX")}; // short: socket paths are limited
    QStringList pipes_;
    int socket_ = -1;
};

TEST_F(SpecialFileReading, EveryReaderRefusesPipesSocketsDevicesAndFoldersAtOnce)
{
    const struct {
        QString path;
        QString kind; // how the reason names it
    } paths[] = {
        {pipe("x.png"), QStringLiteral("파이프")},
        {pipe("x.mp4"), QStringLiteral("파이프")},
        {link("linked.mov", dir_.filePath(QStringLiteral("x.mp4"))), QStringLiteral("파이프")},
        {socket("s.png"), QStringLiteral("소켓")},
        {link("zero.png", QStringLiteral("/dev/zero")), QStringLiteral("장치")},
        {link("tty.mp4", QStringLiteral("/dev/tty")), QStringLiteral("장치")},
        {folder("folder.png"), QStringLiteral("폴더")},
    };
    const struct {
        const char *name;
        std::function<void(const QString &)> read;
        bool namesKind;
    } readers[] = {
        {"kind check", [](const QString &path) { RegularFile::refuseOtherKinds(path); }, true},
        {"image codec", [](const QString &path) { ImageCodec::read(path.toStdString()); }, true},
        {"video information", [](const QString &path) { VideoInfo::load(path); }, true},
        {"library read", [](const QString &path) { Files::readAll(path); }, true},
        {"library copy",
         [this](const QString &path) { Files::copyAtomically(path, dir_.filePath(QStringLiteral("copy"))); }, true},
    };
    for (const auto &reader : readers) {
        for (const auto &entry : paths) {
            SCOPED_TRACE(std::string(reader.name) + " " + entry.path.toStdString());
            const std::optional<QString> reason = refusal([&] { reader.read(entry.path); });
            ASSERT_TRUE(reason) << "read, or still waiting after a second";
            EXPECT_EQ(reason->contains(entry.kind), reader.namesKind) << reason->toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("copy"))));
}

} // namespace
} // namespace tarn
