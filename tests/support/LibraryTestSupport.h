// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared helpers of the library tests: a private library folder per test, raw file access and
// hashing, and synthetic items for indexes written without the store.
#include <string>
#include <vector>

#include <sys/stat.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/base/LibraryFailure.h"
#include "core/library/LibraryIndex.h"
#include "core/model/CaptureItem.h"

namespace tarn::TestSupport {

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray sha256(const QString &path)
{
    return QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256).toHex();
}

// Permission bits (0777 part) of a path, or -1 when it cannot be looked at.
inline int modeOf(const QString &path)
{
    struct stat st { };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return static_cast<int>(st.st_mode & 07777);
}

inline ino_t inodeOf(const QString &path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Runs `operation` and returns the LibraryFailure it throws (a test failure when it throws none).
template <typename Operation> LibraryFailure::Case failureOf(Operation operation)
{
    try {
        operation();
    } catch (const LibraryFailure &failure) {
        return failure.kind();
    }
    ADD_FAILURE() << "no LibraryFailure was thrown";
    return LibraryFailure::Case::missingItem;
}

inline bool runningAsRoot() { return ::geteuid() == 0; }

inline CaptureItem makeItem(const std::string &title, double createdAt = 700'000'000)
{
    CaptureItem item;
    item.id = Uuid::random();
    item.title = title;
    item.createdAt = Date{createdAt};
    item.filename = item.id.toString() + ".png";
    item.thumbnailFilename = item.id.toString() + ".jpg";
    item.width = 640;
    item.height = 480;
    item.byteCount = 1234;
    return item;
}

// A temporary library root (not yet created) inside a private temporary folder.
class LibraryFolder {
public:
    LibraryFolder() : root_(dir_.filePath(QStringLiteral("Library"))) { }
    const QString &root() const { return root_; }
    QString path(const QString &relative) const { return root_ + QLatin1Char('/') + relative; }
    QString outside(const QString &relative) const { return dir_.filePath(relative); }
    QString index() const { return path(QStringLiteral("library.json")); }

    // Writes an index with these items, creating the root first.
    void writeIndex(const std::vector<CaptureItem> &items) const
    {
        QDir().mkpath(root_);
        writeBytes(index(), LibraryIndex::encode(items));
    }

private:
    QTemporaryDir dir_;
    QString root_;
};

} // namespace tarn::TestSupport
