// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

#include "core/model/Markup.h"

#include "app/editor/InspectorParts.h"

namespace tarn {

class BadgeRotationControl;
class EditorModel;
class SliderRow;

// The first inspector tab: the colour, weight and text of the next mark, the badge and blur
// notes, the background frame of the output (backdrop, padding, corner, aspect), crop removal,
// the layers with their delete buttons, and the tags. It keeps no state: every part is shown
// and filled from the model at each change, and every control acts through the model.
class StyleInspector : public InspectorPanel {
    Q_OBJECT

public:
    explicit StyleInspector(EditorModel &model, QWidget *parent = nullptr);

    // The frame's aspect choices, in picker order, with their names.
    static QString aspectName(FrameAspect aspect);
    static QString backdropName(Backdrop backdrop);

private:
    void buildStyleSection(QVBoxLayout *column);
    void buildFrameSection(QVBoxLayout *column);
    void buildLayersSection(QVBoxLayout *column);
    void buildTagsSection(QVBoxLayout *column);
    void refresh() override;
    void refreshLayers();
    void fitTextField();
    // A copy of the document with one change, committed as one undo step.
    template <typename Change> void commitDocument(Change change);

    QPointer<EditorModel> model_;
    QLabel *badgeNote_;
    BadgeRotationControl *rotation_;
    QWidget *swatchRow_;
    std::vector<QAbstractButton *> swatches_;
    SliderRow *weightRow_;
    QTextEdit *textField_;
    QLabel *blurNote_;
    std::vector<QAbstractButton *> backdrops_;
    SliderRow *paddingRow_;
    SliderRow *cornerRow_;
    QWidget *aspectRow_;
    QComboBox *aspectPicker_;
    QPushButton *cropRemoval_;
    QLabel *layersTitle_;
    QVBoxLayout *layerRows_;
    QString layersShown_ = QStringLiteral("-"); // what the rows show; never a real key
    QLineEdit *tagsField_;
};

} // namespace tarn
