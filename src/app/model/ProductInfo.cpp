// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/model/ProductInfo.h"

#include <QCoreApplication>

namespace tarn::ProductInfo {

const QString &version()
{
    static const QString value = [] {
        const QString declared = QCoreApplication::applicationVersion();
        return declared.isEmpty() ? QStringLiteral("0.1.6") : declared;
    }();
    return value;
}

} // namespace tarn::ProductInfo
