// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/editor/CanvasKeys.h"

namespace tarn {
namespace {

TEST(CanvasKeys, LettersChooseToolsOnlyWithoutCtrlAltOrMeta)
{
    const struct {
        QString text;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<MarkupTool> tool;
    } cases[] = {
        {QStringLiteral("r"), Qt::Key_R, Qt::NoModifier, MarkupTool::rectangle},
        {QStringLiteral("R"), Qt::Key_R, Qt::ShiftModifier, MarkupTool::rectangle}, // Shift and Caps Lock
        {QStringLiteral("v"), Qt::Key_V, Qt::KeypadModifier, MarkupTool::select},
        {QStringLiteral("x"), Qt::Key_X, Qt::NoModifier, MarkupTool::blur},
        {QStringLiteral("c"), Qt::Key_C, Qt::NoModifier, MarkupTool::crop},
        {QStringLiteral("\x12"), Qt::Key_R, Qt::ControlModifier, std::nullopt}, // Ctrl+R is the menu's
        {QStringLiteral("r"), Qt::Key_R, Qt::AltModifier, std::nullopt},
        {QStringLiteral("r"), Qt::Key_R, Qt::MetaModifier, std::nullopt},
        {QStringLiteral("z"), Qt::Key_Z, Qt::NoModifier, std::nullopt},
        {QStringLiteral("1"), Qt::Key_1, Qt::NoModifier, std::nullopt},
        // A Korean layout types jamo; the key's Latin letter chooses.
        {QStringLiteral("ㄱ"), Qt::Key_R, Qt::NoModifier, MarkupTool::rectangle},
        {QStringLiteral("ㅠ"), Qt::Key_B, Qt::NoModifier, MarkupTool::badge},
        {QStringLiteral("ㅋ"), Qt::Key_Z, Qt::NoModifier, std::nullopt},
        // Keys without text never choose, least of all the hidden redaction tool.
        {QString(), Qt::Key_Left, Qt::NoModifier, std::nullopt},
        {QString(), Qt::Key_F5, Qt::NoModifier, std::nullopt},
        {QString(), Qt::Key_Shift, Qt::ShiftModifier, std::nullopt},
        {QString(), Qt::Key_R, Qt::NoModifier, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CanvasKeys::toolForKey(c.text, c.key, c.modifiers), c.tool) << c.text.toStdString() << " " << c.key;
}

} // namespace
} // namespace tarn
