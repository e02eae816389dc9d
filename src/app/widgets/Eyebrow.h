// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLabel>

namespace tarn {

// A small caption over a group: monospaced 10 px semibold with 2 px letter spacing.
class Eyebrow : public QLabel {
    Q_OBJECT

public:
    Eyebrow(const QString &text, const QColor &color, QWidget *parent = nullptr);

    static QFont font();
};

} // namespace tarn
