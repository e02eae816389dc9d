// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "app/editor/InspectorParts.h"

namespace tarn {

class EditorModel;

// The protect tab: the local recognition's suggestions of sensitive lines to blur, the blur
// count, turning black masks into blur, and the warnings that detection is incomplete. The
// recognition part shows progress, the recognize button or the suggestions, by the model.
class PrivacyInspector : public InspectorPanel {
    Q_OBJECT

public:
    explicit PrivacyInspector(EditorModel &model, QWidget *parent = nullptr);

private:
    void refresh() override;
    void rebuildRecognition();

    QPointer<EditorModel> model_;
    QVBoxLayout *recognition_;
    QString recognitionShown_;
    QLabel *blurCount_;
    QPushButton *convert_;
};

} // namespace tarn
