// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

namespace tarn {

class EditorModel;

// The editor window's content until the full editor view exists: the edited image as the
// outputs would flatten it, fitted into the window, with the editor's status line below.
class EditorPlaceholderView : public QWidget {
    Q_OBJECT

public:
    explicit EditorPlaceholderView(EditorModel &model, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<EditorModel> model_;
};

} // namespace tarn
