// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "core/model/Markup.h"

namespace tarn {

class EditorCanvas;
class EditorModel;
class IconButton;
class RailButton;
class StrokeWeightMenu;
class TarnButton;

// The content of one editor window, top to bottom: the top bar (back, title, stroke weight,
// undo and redo, pin, copy, export, save), a rule, the work area (tool rail, canvas with its
// bar, inspector with three tabs) and the footer; it also shows the editor's error alert. It
// holds no editing state: every control reads the model and acts through it. The inspector tab
// is its own and starts on the style tab.
class EditorView : public QWidget {
    Q_OBJECT

public:
    explicit EditorView(EditorModel &model, QWidget *parent = nullptr);

    int inspectorTab() const { return inspectorTab_; }
    void setInspectorTab(int index);
    // The open error alert, if any.
    QMessageBox *alert() const { return alert_; }

    // The rail's entries, in order; the shape and badge entries open their menus.
    static constexpr MarkupTool railTools[] = {
        MarkupTool::select, MarkupTool::arrow,  MarkupTool::rectangle, MarkupTool::pen,  MarkupTool::text,
        MarkupTool::badge,  MarkupTool::number, MarkupTool::highlight, MarkupTool::blur, MarkupTool::crop};

private:
    QWidget *topBar();
    QWidget *toolRail();
    QWidget *canvasColumn();
    QWidget *canvasBar();
    QWidget *inspector();
    QWidget *footer();
    void goBack();
    void refresh();
    void showError();

    QPointer<EditorModel> model_;
    EditorCanvas *canvas_ = nullptr;
    int inspectorTab_ = 0;
    QWidget *dirtyDot_ = nullptr;
    QLineEdit *titleField_ = nullptr;
    IconButton *undo_ = nullptr;
    IconButton *redo_ = nullptr;
    IconButton *pin_ = nullptr;
    TarnButton *copy_ = nullptr;
    TarnButton *export_ = nullptr;
    TarnButton *save_ = nullptr;
    std::vector<std::pair<MarkupTool, RailButton *>> railButtons_;
    QLabel *toolLabel_ = nullptr;
    QLabel *hint_ = nullptr;
    QPushButton *fit_ = nullptr;
    std::vector<QPushButton *> tabs_;
    std::vector<QWidget *> panels_;
    QLabel *stateIcon_ = nullptr;
    QLabel *message_ = nullptr;
    QLabel *outputSize_ = nullptr;
    QPointer<QMessageBox> alert_;
};

} // namespace tarn
