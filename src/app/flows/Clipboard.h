// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace tarn {

// The general clipboard as the model writes it: every write empties it first and then offers
// exactly one kind of content. A subclass stands in for the desktop's clipboard in tests that
// need a write to fail.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // PNG bytes as "image/png", nothing else.
    virtual void setPng(const QByteArray &png);
    // Plain text.
    virtual void setText(const QString &text);
    // A file offered for copying, never for moving: "text/uri-list" and the file managers'
    // "x-special/gnome-copied-files" marked "copy", so a paste cannot take a library file away.
    virtual void setFileCopy(const QString &path);
};

} // namespace tarn
