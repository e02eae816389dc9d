// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/CanvasKeys.h"

#include "app/widgets/MarkupDisplay.h"

namespace tarn::CanvasKeys {

namespace {

std::optional<MarkupTool> toolForLetter(const QString &letter)
{
    if (letter.isEmpty())
        return std::nullopt;
    for (MarkupTool tool : allCases<MarkupTool>()) {
        const QString k = key(tool);
        if (!k.isEmpty() && k == letter)
            return tool;
    }
    return std::nullopt;
}

bool isLatinLetter(const QString &text)
{
    return text.size() == 1 && text.at(0).toLatin1() >= 'a' && text.at(0).toLatin1() <= 'z';
}

} // namespace

std::optional<MarkupTool> toolForKey(const QString &text, int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    const QString typed = text.toLower();
    if (typed.isEmpty())
        return std::nullopt;
    if (isLatinLetter(typed))
        return toolForLetter(typed);
    // Another script's letter: its key's Latin letter.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return toolForLetter(QString(QChar(u'a' + (key - Qt::Key_A))));
    return std::nullopt;
}

} // namespace tarn::CanvasKeys
