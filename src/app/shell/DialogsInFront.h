// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace tarn {

// Pins and the other floating windows stay above every ordinary window. A dialog of ours (a
// file panel, an alert, a sheet, a question) holds up what the user is doing until it is
// answered, so while one of those windows is on the screen the open dialogs float with them and
// in front of them: otherwise a pin in the middle of the screen could hide the question the
// keyboard is answering. Without one they are ordinary windows, which another application can
// cover. One filter on the application covers every dialog, Qt's own (the file panel's replace
// question) included.
class DialogsInFront : public QObject {
    Q_OBJECT

public:
    explicit DialogsInFront(QObject *parent = nullptr);
    ~DialogsInFront() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace tarn
