// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

#include <QFont>
#include <QFontInfo>
#include <QString>

namespace tarn::TestSupport {

// The common interface families of Linux desktops (GNOME's, KDE's, Debian's default, the metric
// match of Arial), with Hangul from Noto Sans CJK KR, and the two fonts a Korean desktop uses for
// whole pages, Latin letters and digits too. The tests of what depends on the font run in each.
inline constexpr const char *interfaceFamilies[] = {"DejaVu Sans",     "Noto Sans",        "Cantarell",
                                                    "Liberation Sans", "Noto Sans CJK KR", "NanumGothic"};

// A test named by its family without blanks ("DejaVuSans"), as a parameter name generator.
struct FamilyName {
    template <typename ParamInfo> std::string operator()(const ParamInfo &info) const
    {
        std::string name;
        for (const char *c = info.param; *c; ++c)
            name += *c == ' ' ? "" : std::string(1, *c);
        return name;
    }
};

// Throws unless `family` is installed: a missing one would be drawn in a fallback, and a test
// meant for it would pass in another font.
inline void requireInstalled(const QString &family)
{
    QFont font;
    font.setFamilies({family});
    if (const QString drawn = QFontInfo(font).family(); drawn.compare(family, Qt::CaseInsensitive) != 0)
        throw std::runtime_error("the font family \"" + family.toStdString() + "\" is not installed (" +
                                 drawn.toStdString() + " would stand in for it)");
}

} // namespace tarn::TestSupport
