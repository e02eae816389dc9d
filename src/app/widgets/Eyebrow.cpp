// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/Eyebrow.h"

#include <QFontDatabase>

namespace tarn {

Eyebrow::Eyebrow(const QString &text, const QColor &color, QWidget *parent) : QLabel(text, parent)
{
    setFont(font());
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, color);
    setPalette(colors);
}

QFont Eyebrow::font()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(10);
    font.setWeight(QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    return font;
}

} // namespace tarn
