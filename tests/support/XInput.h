// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A person's pointer and keyboard: real events through the X server, sent with xdotool.
#include <optional>
#include <vector>

#include <QLineEdit>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tarn::TestSupport {

inline void xdotool(const QStringList &arguments)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << arguments.join(u' ').toStdString();
}

inline QStringList moveTo(QPoint p)
{
    return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())};
}

// The pointer to the middle of a widget (or a point in it) and one press of `button`.
inline void click(const QWidget *widget, std::optional<QPoint> at = std::nullopt, int button = 1)
{
    xdotool(moveTo(widget->mapToGlobal(at.value_or(widget->rect().center()))) +
            QStringList{QStringLiteral("click"), QString::number(button)});
}

// The left button pressed at `from` and moved through `path` (root-window device pixels), still held.
inline QStringList heldFrom(QPoint from, const std::vector<QPoint> &path)
{
    QStringList steps = moveTo(from) + QStringList{QStringLiteral("mousedown"), QStringLiteral("1")};
    for (const QPoint p : path)
        steps += moveTo(p);
    return steps;
}

// A drag from `from` to `to` by way of the middle.
inline void drag(QPoint from, QPoint to)
{
    xdotool(heldFrom(from, {(from + to) / 2, to}) + QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
}

// Types `text` over what `field` holds. On a busy machine a typed key can get lost: the text is
// typed again until the field holds it whole. Whether it does in the end.
inline bool typeInto(const QLineEdit *field, const QString &text)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("type"), QStringLiteral("--delay"),
                 QStringLiteral("5"), text});
        if (QTest::qWaitFor([&] { return field->text() == text; }, 5000))
            return true;
    }
    return false;
}

} // namespace tarn::TestSupport
