// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>

#include "app/editor/InspectorParts.h"

namespace tarn {

class EditorModel;

// The text tab: the recognized text still visible after masks and the crop, its copy, and
// recognizing again.
class TextInspector : public InspectorPanel {
    Q_OBJECT

public:
    explicit TextInspector(EditorModel &model, QWidget *parent = nullptr);
    static QString copiedMessage(); // "보이는 영역의 텍스트를 복사했습니다."

private:
    void refresh() override;
    void copyText();

    QPointer<EditorModel> model_;
    QAbstractButton *rerun_;
    QVBoxLayout *content_;
    QString contentShown_;
};

} // namespace tarn
