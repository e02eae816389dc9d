// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "app/settings/SheetDialog.h"

class QLabel;

namespace tarn {

// The read-only guide to the keyboard: the five global hot keys, three window shortcuts and
// the canvas's tool keys. It describes bindings made elsewhere and changes nothing.
class ShortcutsView : public SheetDialog {
    Q_OBJECT

public:
    static constexpr int width = 550;

    explicit ShortcutsView(QWidget *parent = nullptr);

    // The commands of the global hot keys; the n-th (from 1) is Ctrl+Shift+n.
    static QStringList globalLabels();
    // The key-cap text of the n-th global hot key.
    static QString globalKeys(int position);
    // The canvas keys under the card, each key letter bound to its tool's name so that a line
    // never breaks between them.
    static QString canvasKeys();

    QLabel *footnote() const { return footnote_; }

private:
    QLabel *footnote_;
};

} // namespace tarn
