// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Reading files whose path comes from outside: imports, drops, and library files that anyone
// with access to the folder could have replaced. Only regular files are ever opened for
// reading. A named pipe blocks open() and every read until a writer appears (for ever, if none
// does), a device may never end or may act on being opened, and a folder or a socket has no
// content: each is refused with a FileFailure that says what the path is.
namespace tarn::RegularFile {

// Throws that FileFailure when the path exists and is not a regular file (symbolic links
// followed). Opens nothing. A path that cannot be looked at passes: opening it reports why.
void refuseOtherKinds(const QString &path);

// Opens a regular file for reading and returns its descriptor (close-on-exec, blocking reads),
// which the caller closes. Other kinds are refused before anything opens them; the open itself
// does not wait, so a file swapped for a pipe in the meantime cannot block it either, and the
// opened file is checked again. Every failure is a FileFailure.
int openForReading(const QString &path);

// A path that names exactly the file open on `descriptor`, for libraries that open files by
// name: they then read the file that was checked, whatever happens to its name meanwhile.
QString descriptorPath(int descriptor);

} // namespace tarn::RegularFile
