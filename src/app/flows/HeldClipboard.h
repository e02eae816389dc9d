// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include "app/flows/Clipboard.h"

namespace tarn {

// A clipboard of the process's own that never reaches the desktop's: each write replaces what
// it holds. The smoke run copies into it, so a developer's clipboard stays as it was, and then
// reads back exactly what a paste would have received.
class HeldClipboard : public Clipboard {
public:
    void setPng(const QByteArray &png) override;
    void setText(const QString &text) override;
    void setFileCopy(const QString &path) override;

    // The PNG bytes of the last write; empty when that write held something else.
    const QByteArray &png() const { return png_; }
    // How many writes it has taken.
    int writes() const { return writes_; }

private:
    void replace(QByteArray png);

    QByteArray png_;
    int writes_ = 0;
};

} // namespace tarn
