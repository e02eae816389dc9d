// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextEdit>
#include <QWidget>

#include "app/widgets/TarnButtonStyle.h"

namespace tarn {

// The content of the extracted-text window: the recognized text, selectable, with a button that
// copies all of it (and then reads "복사 완료" for as long as the window stays open).
class ExtractedTextView : public QWidget {
    Q_OBJECT
public:
    explicit ExtractedTextView(QString text, QWidget *parent = nullptr);

    bool copied() const { return copied_; }
    TarnButton *copyButton() const { return copy_; }
    QTextEdit *textArea() const { return area_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text_;
    bool copied_ = false;
    TarnButton *copy_;
    QTextEdit *area_;
};

} // namespace tarn
