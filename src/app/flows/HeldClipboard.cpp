// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/HeldClipboard.h"

namespace tarn {

void HeldClipboard::setPng(const QByteArray &png) { replace(png); }

void HeldClipboard::setText(const QString &) { replace({}); }

void HeldClipboard::setFileCopy(const QString &) { replace({}); }

void HeldClipboard::replace(QByteArray png)
{
    png_ = std::move(png);
    ++writes_;
}

} // namespace tarn
