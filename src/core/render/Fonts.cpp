// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/Fonts.h"

#include <algorithm>

#include <QFontDatabase>
#include <QGuiApplication>

namespace tarn::Fonts {

namespace {

const QString koreanFamily = QStringLiteral("Noto Sans CJK KR");

QStringList resolveFamilies()
{
    QStringList list;
    // The platform theme knows the UI font only once a GUI application exists.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QString system = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        if (!system.isEmpty() && system != koreanFamily)
            list << system;
    }
    list << koreanFamily;
    return list;
}

} // namespace

QStringList families()
{
    static const QStringList resolved = resolveFamilies();
    return resolved;
}

QFont font(int pixelSize, QFont::Weight weight)
{
    QFont f;
    f.setFamilies(families());
    f.setPixelSize(std::max(1, pixelSize));
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

} // namespace tarn::Fonts
