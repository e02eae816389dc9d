// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace tarn {

// A key name on a faint rounded plate ("Ctrl+F"): monospaced 10 px medium in the muted colour.
class Keycap : public QLabel {
    Q_OBJECT

public:
    explicit Keycap(const QString &text, QWidget *parent = nullptr);

    static QFont font();

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tarn
