// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarn {

// Makes this process the only writer of a library folder: an exclusive, non-blocking flock on
// root/".writer-lock", held for the object's lifetime. A lease object exists only while it
// holds the lock. The lock belongs to the open file description, so a second lease in the same
// process is refused too; the system releases it when the process dies. (On NFS, flock is
// emulated with record locks and a second lease in one process would not be refused.)
//
// Throws: FileFailure when the root cannot be created or the lock file cannot be opened, or
// when locking fails for any reason other than another holder (the system error number in
// code()); AppError code 20 when another lease holds the lock.
class LibraryLease {
public:
    explicit LibraryLease(const QString &root);
    ~LibraryLease();

    LibraryLease(const LibraryLease &) = delete;
    LibraryLease &operator=(const LibraryLease &) = delete;

    // The library folder the lease holds, in the store's normalized form.
    const QString &root() const { return root_; }

    static constexpr int heldElsewhereCode = 20;
    static QString heldElsewhereMessage();

private:
    QString root_;
    int descriptor_ = -1;
};

} // namespace tarn
