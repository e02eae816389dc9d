// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "app/editor/EditorCanvas.h"
#include "app/editor/EditorHost.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorViewValues.h"
#include "app/editor/EditorWindowController.h"
#include "app/editor/ImageEditingView.h"
#include "app/editor/InspectorParts.h"
#include "app/editor/PrivacyInspector.h"
#include "app/editor/RailButton.h"
#include "app/editor/StyleInspector.h"
#include "app/editor/TextInspector.h"
#include "app/editor/ToolMenus.h"
#include "app/widgets/Dot.h"
#include "app/widgets/Eyebrow.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/KeyboardHome.h"
#include "app/widgets/MarkupDisplay.h"
#include "app/widgets/Palette.h"
#include "app/widgets/ScrollColumn.h"
#include "app/widgets/SymbolMark.h"
#include "app/widgets/TarnButtonStyle.h"
#include "app/widgets/Theme.h"

namespace tarn {

namespace {

// A plain widget filled with one colour.
QWidget *filled(const QColor &color, QWidget *parent = nullptr)
{
    auto *widget = new QWidget(parent);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    return widget;
}

QWidget *rule(Qt::Orientation orientation)
{
    QWidget *line = filled(Palette::border);
    if (orientation == Qt::Horizontal)
        line->setFixedHeight(1);
    else
        line->setFixedWidth(1);
    return line;
}

QHBoxLayout *row(QWidget *parent, int spacing, QMargins margins)
{
    auto *layout = new QHBoxLayout(parent);
    layout->setSpacing(spacing);
    layout->setContentsMargins(margins);
    return layout;
}

// A text button without a plate, in the muted colour, as the canvas bar uses.
QPushButton *plainButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(InspectorParts::font(10));
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; border: none; background: transparent; padding: 2px; }"
                       " QPushButton:disabled { color: %2; }")
            .arg(Palette::muted.name(), Palette::border.name()));
    return button;
}

// An inspector tab: its title across a third of the row, 31 px high, on a faint accent plate
// while chosen.
QPushButton *tabButton(const QString &title, QWidget *parent)
{
    auto *button = new QPushButton(title, parent);
    button->setFixedHeight(31);
    button->setFont(InspectorParts::font(11, QFont::Medium));
    button->setCursor(Qt::PointingHandCursor);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

void paintTab(QPushButton *button, bool chosen)
{
    QColor plate = Palette::accent;
    plate.setAlphaF(chosen ? 0.08 : 0);
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; background: %2; border: none; border-radius: 7px; }")
                              .arg((chosen ? Palette::accent : Palette::muted).name(), plate.name(QColor::HexArgb)));
}

} // namespace

EditorView::EditorView(EditorModel &model, QWidget *parent) : QWidget(parent), model_(&model)
{
    setObjectName(QStringLiteral("editor.view"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Palette::background);
    palette.setColor(QPalette::WindowText, Palette::text);
    palette.setColor(QPalette::Text, Palette::text);
    setPalette(palette);

    auto *column = new QVBoxLayout(this);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(topBar());
    column->addWidget(rule(Qt::Horizontal));
    auto *work = new QHBoxLayout;
    work->setSpacing(0);
    // The window keeps its smallest size where the screen has room for it; on a smaller screen
    // the rail and the inspector scroll.
    work->addWidget(new ScrollColumn(toolRail(), Palette::sidebar));
    work->addWidget(canvasColumn(), 1);
    work->addWidget(rule(Qt::Vertical));
    work->addWidget(inspector());
    column->addLayout(work, 1);
    column->addWidget(footer());

    // Space, the tool letters, Delete and Escape belong to the canvas whatever control was
    // clicked last; only text fields keep the keyboard, until Escape or Return.
    KeyboardHome::keepWith(*this, *canvas_->view());

    connect(&model, &EditorModel::changed, this, &EditorView::refresh);
    connect(&model, &EditorModel::isSavingChanged, this, &EditorView::refresh);
    connect(&model, &EditorModel::isExportingChanged, this, &EditorView::refresh);
    connect(&model, &EditorModel::messageChanged, this, &EditorView::refresh);
    connect(&model, &EditorModel::historyChanged, this, &EditorView::refresh);
    connect(&model, &EditorModel::errorMessageChanged, this, &EditorView::showError);
    refresh();
    showError();
}

QWidget *EditorView::topBar()
{
    QWidget *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("editor.topBar"));
    QHBoxLayout *items = row(bar, 16, QMargins(23, 37, 23, 20));

    auto *back = new IconButton(QStringLiteral("arrow.left"), QStringLiteral("라이브러리로 돌아가기"), bar);
    back->setObjectName(QStringLiteral("editor.back"));
    connect(back, &QAbstractButton::clicked, this, &EditorView::goBack);
    items->addWidget(back);

    auto *titleBlock = new QVBoxLayout;
    titleBlock->setSpacing(6);
    auto *eyebrowRow = new QHBoxLayout;
    eyebrowRow->setSpacing(7);
    eyebrowRow->addWidget(new Eyebrow(QStringLiteral("THE EDITING ROOM"), Palette::muted, bar));
    dirtyDot_ = new Dot(5, Palette::accent, bar); // the dirty mark beside the eyebrow
    dirtyDot_->setObjectName(QStringLiteral("editor.dirtyDot"));
    eyebrowRow->addWidget(dirtyDot_);
    eyebrowRow->addStretch();
    titleBlock->addLayout(eyebrowRow);
    titleField_ = new QLineEdit(bar);
    titleField_->setObjectName(QStringLiteral("editor.title"));
    titleField_->setPlaceholderText(QStringLiteral("캡처 이름"));
    titleField_->setAccessibleName(QStringLiteral("캡처 이름"));
    titleField_->setFont(InspectorParts::font(14, QFont::Medium));
    titleField_->setFrame(false);
    titleField_->setMaximumWidth(380);
    titleField_->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; color: %1; }").arg(Palette::text.name()));
    connect(titleField_, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (model_)
            model_->setTitle(text);
    });
    titleBlock->addWidget(titleField_);
    items->addLayout(titleBlock, 1);
    items->addStretch();

    auto *weight = new StrokeWeightMenu(*model_, bar);
    items->addWidget(weight);

    auto *history = new QHBoxLayout;
    history->setSpacing(3);
    undo_ = new IconButton(QStringLiteral("arrow.uturn.backward"), QStringLiteral("실행 취소 · Ctrl+Z"), bar);
    undo_->setObjectName(QStringLiteral("editor.undo"));
    redo_ = new IconButton(QStringLiteral("arrow.uturn.forward"), QStringLiteral("다시 실행 · Ctrl+Shift+Z"), bar);
    redo_->setObjectName(QStringLiteral("editor.redo"));
    connect(undo_, &QAbstractButton::clicked, model_, &EditorModel::undo);
    connect(redo_, &QAbstractButton::clicked, model_, &EditorModel::redo);
    history->addWidget(undo_);
    history->addWidget(redo_);
    items->addLayout(history);

    QWidget *divider = filled(Palette::border, bar);
    divider->setFixedSize(1, 24);
    items->addWidget(divider);

    pin_ = new IconButton(QStringLiteral("pin"), QStringLiteral("편집 결과를 화면에 고정"), bar);
    pin_->setObjectName(QStringLiteral("editor.pin"));
    connect(pin_, &QAbstractButton::clicked, model_, &EditorModel::pin);
    items->addWidget(pin_);

    copy_ = new TarnButton(QStringLiteral("복사"), TarnButtonStyle{}, bar);
    copy_->setObjectName(QStringLiteral("editor.copy"));
    copy_->setSymbol(QStringLiteral("doc.on.doc"));
    connect(copy_, &QAbstractButton::clicked, model_, &EditorModel::copy);
    items->addWidget(copy_);

    export_ = new TarnButton(QStringLiteral("내보내기"), TarnButtonStyle{}, bar);
    export_->setObjectName(QStringLiteral("editor.export"));
    export_->setSymbol(QStringLiteral("square.and.arrow.up"));
    connect(export_, &QAbstractButton::clicked, model_, &EditorModel::exportImage);
    items->addWidget(export_);

    save_ = new TarnButton(QStringLiteral("저장"), TarnButtonStyle{.prominent = true}, bar);
    save_->setObjectName(QStringLiteral("editor.save"));
    connect(save_, &QAbstractButton::clicked, model_, &EditorModel::saveAction);
    items->addWidget(save_);
    return bar;
}

QWidget *EditorView::toolRail()
{
    QWidget *rail = filled(Palette::sidebar, this);
    rail->setObjectName(QStringLiteral("editor.rail"));
    rail->setFixedWidth(62);
    auto *entries = new QVBoxLayout(rail);
    entries->setSpacing(6);
    entries->setContentsMargins(0, 19, 0, 19);
    for (MarkupTool tool : railTools) {
        RailButton *button = nullptr;
        if (tool == MarkupTool::rectangle) {
            button = new ShapeToolMenu(*model_, rail);
        } else if (tool == MarkupTool::badge) {
            button = new BadgeToolMenu(*model_, rail);
        } else {
            button = new RailButton(rail);
            button->setObjectName(QStringLiteral("editor.rail.") + EditorViewValues::caseText(tool));
            button->setSymbol(symbol(tool));
            button->setToolTip(label(tool) + QStringLiteral(" · ") + key(tool).toUpper());
            button->setAccessibleName(label(tool));
            connect(button, &QAbstractButton::clicked, this, [this, tool] {
                if (model_)
                    model_->selectTool(tool);
            });
            railButtons_.emplace_back(tool, button);
        }
        entries->addWidget(button, 0, Qt::AlignHCenter);
    }
    entries->addStretch();
    auto *mark = new SymbolMark(QStringLiteral("lock.shield"), Palette::teal, 14, rail);
    mark->setObjectName(QStringLiteral("editor.rail.privacyMark"));
    mark->setToolTip(QStringLiteral("원본을 보존합니다"));
    entries->addWidget(mark, 0, Qt::AlignHCenter);
    return rail;
}

QWidget *EditorView::canvasColumn()
{
    auto *column = new QWidget(this);
    auto *canvas = canvas_ = new EditorCanvas(*model_, column);
    canvas->setObjectName(QStringLiteral("editor.canvas"));
    auto *stack = new QVBoxLayout(column);
    stack->setSpacing(0);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(canvas, 1);
    stack->addWidget(canvasBar());
    // The bar shows the canvas's own tool name and hint, so the two never disagree.
    toolLabel_->setText(canvas->toolLabel());
    hint_->setText(canvas->hint());
    connect(canvas, &EditorCanvas::toolLabelChanged, toolLabel_, &QLabel::setText);
    connect(canvas, &EditorCanvas::hintChanged, hint_, &QLabel::setText);
    return column;
}

QWidget *EditorView::canvasBar()
{
    QColor tint = Palette::sidebar;
    tint.setAlphaF(0.5);
    QWidget *bar = filled(tint, this);
    bar->setObjectName(QStringLiteral("editor.canvasBar"));
    bar->setFixedHeight(41);
    QHBoxLayout *items = row(bar, 10, QMargins(17, 0, 17, 0));
    toolLabel_ = InspectorParts::label(QString(), InspectorParts::font(11, QFont::Medium), Palette::text, bar);
    toolLabel_->setObjectName(QStringLiteral("editor.toolLabel"));
    items->addWidget(toolLabel_);
    items->addWidget(InspectorParts::label(QStringLiteral("·"), InspectorParts::font(10), Palette::muted, bar));
    hint_ = InspectorParts::label(QString(), InspectorParts::font(10), Palette::muted, bar);
    hint_->setObjectName(QStringLiteral("editor.hint"));
    hint_->setMinimumWidth(1);
    hint_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    items->addWidget(hint_, 1);

    auto *zoomOut = new QPushButton(bar);
    zoomOut->setObjectName(QStringLiteral("editor.zoomOut"));
    zoomOut->setFlat(true);
    zoomOut->setIcon(QPixmap::fromImage(Theme::symbolImage(QStringLiteral("minus"), Palette::muted, 12, 2)));
    zoomOut->setAccessibleName(QStringLiteral("축소"));
    connect(zoomOut, &QAbstractButton::clicked, this, [this] {
        if (model_)
            model_->setZoom(EditorViewValues::zoomedOut(model_->zoom()));
    });
    fit_ = plainButton(QString(), bar);
    fit_->setObjectName(QStringLiteral("editor.fit"));
    fit_->setFixedWidth(42);
    fit_->setToolTip(QStringLiteral("캔버스에 맞추기"));
    connect(fit_, &QAbstractButton::clicked, this, [this] {
        if (!model_)
            return;
        model_->setZoom(1);
        model_->resetCanvas();
    });
    auto *zoomIn = new QPushButton(bar);
    zoomIn->setObjectName(QStringLiteral("editor.zoomIn"));
    zoomIn->setFlat(true);
    zoomIn->setIcon(QPixmap::fromImage(Theme::symbolImage(QStringLiteral("plus"), Palette::muted, 12, 2)));
    zoomIn->setAccessibleName(QStringLiteral("확대"));
    connect(zoomIn, &QAbstractButton::clicked, this, [this] {
        if (model_)
            model_->setZoom(EditorViewValues::zoomedIn(model_->zoom()));
    });
    items->addWidget(zoomOut);
    items->addWidget(fit_);
    items->addWidget(zoomIn);
    return bar;
}

QWidget *EditorView::inspector()
{
    // The panel is 274 points wide; on a screen too short for it, its scroll bar stands beside it.
    QWidget *column = filled(Palette::sidebar, this);
    column->setObjectName(QStringLiteral("editor.inspector"));
    column->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto *stack = new QVBoxLayout(column);
    stack->setSpacing(0);
    stack->setContentsMargins(0, 0, 0, 0);

    auto *tabRow = new QHBoxLayout;
    tabRow->setSpacing(4);
    tabRow->setContentsMargins(15, 15, 15, 15);
    const QString titles[] = {QStringLiteral("스타일"), QStringLiteral("보호"), QStringLiteral("텍스트")};
    for (int index = 0; index < 3; ++index) {
        QPushButton *tab = tabButton(titles[index], column);
        tab->setObjectName(QStringLiteral("editor.tab%1").arg(index));
        connect(tab, &QAbstractButton::clicked, this, [this, index] { setInspectorTab(index); });
        tabRow->addWidget(tab);
        tabs_.push_back(tab);
    }
    stack->addLayout(tabRow);

    auto *content = new QWidget;
    content->setFixedWidth(274);
    content->setAutoFillBackground(true);
    QPalette palette = content->palette();
    palette.setColor(QPalette::Window, Palette::sidebar);
    content->setPalette(palette);
    auto *panels = new QVBoxLayout(content);
    panels->setContentsMargins(20, 5, 20, 22);
    panels_ = {new StyleInspector(*model_, content), new PrivacyInspector(*model_, content),
               new TextInspector(*model_, content)};
    for (QWidget *panel : panels_)
        panels->addWidget(panel);
    panels->addStretch();
    auto *scroll = new ScrollColumn(content, Palette::sidebar, column);
    scroll->setObjectName(QStringLiteral("editor.inspector.scroll"));
    stack->addWidget(scroll, 1);
    setInspectorTab(0);
    return column;
}

void EditorView::setInspectorTab(int index)
{
    inspectorTab_ = index;
    for (size_t i = 0; i < tabs_.size(); ++i)
        paintTab(tabs_[i], static_cast<int>(i) == index);
    // Any index beyond the first two shows the text panel.
    const size_t shown = index <= 0 ? 0 : index == 1 ? 1 : 2;
    for (size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->setVisible(i == shown);
}

QWidget *EditorView::footer()
{
    QWidget *bar = filled(Palette::sidebar, this);
    bar->setObjectName(QStringLiteral("editor.footer"));
    bar->setFixedHeight(32);
    auto *stack = new QVBoxLayout(bar);
    stack->setSpacing(0);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(rule(Qt::Horizontal));
    QHBoxLayout *items = row(nullptr, 7, QMargins(20, 0, 20, 0));
    stack->addLayout(items, 1);
    stateIcon_ = new QLabel(bar);
    stateIcon_->setObjectName(QStringLiteral("editor.footer.state"));
    items->addWidget(stateIcon_);
    message_ = InspectorParts::label(QString(), InspectorParts::font(10), Palette::muted, bar);
    message_->setObjectName(QStringLiteral("editor.footer.message"));
    message_->setMinimumWidth(1);
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    items->addWidget(message_, 1);
    outputSize_ = InspectorParts::label(QString(), InspectorParts::font(9, QFont::Normal, true), Palette::muted, bar);
    outputSize_->setObjectName(QStringLiteral("editor.footer.size"));
    items->addWidget(outputSize_);
    items->addWidget(InspectorParts::label(QStringLiteral("· ORIGINAL PRESERVED"),
                                           InspectorParts::font(9, QFont::Normal, true), Palette::teal, bar));
    return bar;
}

void EditorView::goBack()
{
    if (!model_)
        return;
    model_->host().showLibrary();
    if (model_->windowController)
        model_->windowController->performClose();
}

void EditorView::refresh()
{
    if (!model_)
        return;
    const EditorModel &model = *model_;
    dirtyDot_->setVisible(model.isDirty());
    if (titleField_->text() != model.title())
        titleField_->setText(model.title());
    undo_->setEnabled(model.canUndo());
    redo_->setEnabled(model.canRedo());
    pin_->setEnabled(!model.isExporting());
    copy_->setEnabled(!model.isExporting());
    export_->setEnabled(!model.isExporting());
    export_->setText(model.isExporting() ? QStringLiteral("처리 중…") : QStringLiteral("내보내기"));
    save_->setEnabled(!model.isSaving() && model.isDirty());
    save_->setText(model.isSaving() ? QStringLiteral("저장 중…") : QStringLiteral("저장"));
    for (auto &[tool, button] : railButtons_)
        button->setActive(model.tool() == tool);

    fit_->setText(EditorViewValues::zoomLabel(model.zoom()));

    const QString state = model.isDirty() ? QStringLiteral("circle.dotted") : QStringLiteral("checkmark.circle");
    stateIcon_->setPixmap(QPixmap::fromImage(Theme::symbolImage(state, Palette::teal, 12, devicePixelRatioF())));
    stateIcon_->setAccessibleName(state);
    message_->setText(model.message());
    outputSize_->setText(
        EditorViewValues::outputSizeText(model.image().width(), model.image().height(), model.document()));
}

void EditorView::showError()
{
    if (!model_ || !model_->errorMessage()) {
        if (alert_)
            alert_->close();
        return;
    }
    if (!alert_) {
        alert_ =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("편집기"), QString(), QMessageBox::NoButton, this);
        alert_->setObjectName(QStringLiteral("editor.alert"));
        alert_->setWindowModality(Qt::WindowModal);
        alert_->setAttribute(Qt::WA_DeleteOnClose);
        alert_->addButton(QStringLiteral("확인"), QMessageBox::RejectRole);
        connect(alert_, &QMessageBox::finished, this, [this] {
            if (model_)
                model_->setErrorMessage(std::nullopt);
        });
        alert_->open();
    }
    alert_->setText(*model_->errorMessage());
}

} // namespace tarn
