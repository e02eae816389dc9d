// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>

#include "core/model/CaptureItem.h"

namespace tarn {

// The small checkbox that adds a capture to the library selection or takes it out. The click
// only asks (`selectionRequested`); the box then shows what the selection really holds, so a
// refused request leaves it unchanged. Its object name is "capture.select." and the capture's
// identifier in upper case, by which scripted runs find it.
class SelectionToggle : public QCheckBox {
    Q_OBJECT

public:
    static constexpr int side = 18;

    explicit SelectionToggle(QWidget *parent = nullptr);

    // Shows another capture: its name, accessible label and selected state.
    void bind(const CaptureItem &item, bool selected);
    // Shows the selection's answer without asking anything.
    void showSelected(bool selected);
    const Uuid &itemId() const { return id_; }

    static QString objectNameFor(const Uuid &id);

Q_SIGNALS:
    void selectionRequested(const tarn::Uuid &id, bool selected);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    QSize sizeHint() const override { return {side, side}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    Uuid id_;
    bool selected_ = false;
};

} // namespace tarn
