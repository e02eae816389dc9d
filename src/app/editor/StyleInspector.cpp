// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/StyleInspector.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

#include "app/editor/BadgeRotationControl.h"
#include "app/editor/CanvasHints.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorViewValues.h"
#include "app/editor/InspectorParts.h"
#include "app/editor/ToolGlyphs.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/MarkupDisplay.h"
#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {

namespace {

// A colour swatch: a 23 px disc with a white ring 3 px outside it while chosen.
class ColorSwatch : public QAbstractButton {
public:
    ColorSwatch(MarkupColor color, QWidget *parent) : QAbstractButton(parent), color_(color)
    {
        setFixedSize(31, 31);
        setCursor(Qt::PointingHandCursor);
        setCheckable(true);
        setToolTip(EditorViewValues::caseText(color));
        setAccessibleName(EditorViewValues::caseText(color));
        setObjectName(QStringLiteral("editor.style.color.") + EditorViewValues::caseText(color));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(qColor(color_));
        painter.drawEllipse(QRectF(4, 4, 23, 23));
        if (isChecked()) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::white, 2));
            painter.drawEllipse(QRectF(1, 1, 29, 29)); // centred 3 px outside the disc
        }
    }

private:
    MarkupColor color_;
};

// A backdrop swatch: the gradient tile (40 x 33) with its name under it.
class BackdropSwatch : public QAbstractButton {
public:
    BackdropSwatch(Backdrop backdrop, QWidget *parent) : QAbstractButton(parent), backdrop_(backdrop)
    {
        setFixedSize(40, 33 + 6 + 12);
        setCursor(Qt::PointingHandCursor);
        setCheckable(true);
        setAccessibleName(StyleInspector::backdropName(backdrop));
        setObjectName(QStringLiteral("editor.style.backdrop.") + EditorViewValues::caseText(backdrop));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF tile(0, 0, 40, 33);
        QPainterPath path;
        path.addRoundedRect(tile.adjusted(1, 1, -1, -1), 7, 7);
        const auto [first, second] = colors(backdrop_);
        QLinearGradient gradient(tile.topLeft(), tile.bottomRight());
        gradient.setColorAt(0, first);
        gradient.setColorAt(1, second);
        painter.fillPath(path, gradient);
        if (backdrop_ == Backdrop::none) {
            const QImage mark =
                Theme::symbolImage(QStringLiteral("slash.circle"), Palette::muted, 13, devicePixelRatioF());
            if (!mark.isNull())
                painter.drawImage(QPointF(13.5, 10), mark);
        }
        if (isChecked()) {
            painter.setPen(QPen(Palette::accent, 2));
            painter.drawPath(path);
        }
        painter.setPen(isChecked() ? Palette::accent : Palette::muted);
        painter.setFont(InspectorParts::font(8));
        painter.drawText(QRectF(-4, 39, 48, 12), Qt::AlignHCenter | Qt::AlignTop,
                         StyleInspector::backdropName(backdrop_));
    }

private:
    Backdrop backdrop_;
};

// One layer: icon, label and delete; a press anywhere else selects the annotation.
class LayerRow : public QWidget {
public:
    LayerRow(EditorModel &model, const Annotation &annotation, bool selected, QWidget *parent)
        : QWidget(parent),
          model_(&model),
          id_(annotation.id)
    {
        setObjectName(QStringLiteral("editor.layer.") + id_.toQString());
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, selected ? Palette::raised : Palette::surface);
        setPalette(palette);
        setCursor(Qt::PointingHandCursor);
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(9, 9, 9, 9);
        row->setSpacing(9);
        row->addWidget(icon(annotation));
        QLabel *name = InspectorParts::label(CanvasHints::annotationLabel(annotation), InspectorParts::font(11),
                                             Palette::text, this);
        name->setObjectName(QStringLiteral("editor.layer.label"));
        name->setMinimumWidth(1);
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        row->addWidget(name, 1);
        auto *remove = new IconButton(QStringLiteral("xmark"), QStringLiteral("주석 삭제"), this);
        remove->setObjectName(QStringLiteral("editor.layer.delete"));
        remove->setFixedSize(18, 18);
        connect(remove, &QAbstractButton::clicked, this, [this] {
            // The row goes away with the annotation: act after the click has finished.
            QMetaObject::invokeMethod(
                model_,
                [model = model_, id = id_] {
                    if (model)
                        model->remove(id);
                },
                Qt::QueuedConnection);
        });
        row->addWidget(remove);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath plate;
        plate.addRoundedRect(QRectF(rect()), 7, 7);
        painter.fillPath(plate, palette().color(QPalette::Window));
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && model_)
            QMetaObject::invokeMethod(
                model_,
                [model = model_, id = id_] {
                    if (model)
                        model->setSelectedAnnotationID(id);
                },
                Qt::QueuedConnection);
    }

private:
    QWidget *icon(const Annotation &annotation)
    {
        if (annotation.tool == MarkupTool::badge)
            return new BadgeIcon(annotation.badgeStyle.value_or(BadgeStyle::check), annotation.resolvedBadgeRotation(),
                                 QSize(21, 18), this);
        const QColor tint = isPrivacyMask(annotation.tool) ? Palette::teal : qColor(annotation.color);
        auto *glyph = new QLabel(this);
        glyph->setFixedWidth(16);
        glyph->setPixmap(
            QPixmap::fromImage(Theme::symbolImage(symbol(annotation.tool), tint, 14, devicePixelRatioF())));
        return glyph;
    }

    QPointer<EditorModel> model_;
    Uuid id_;
};

QHBoxLayout *bareRow(QWidget *parent, int spacing)
{
    auto *row = new QHBoxLayout(parent);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    return row;
}

} // namespace

QString StyleInspector::aspectName(FrameAspect aspect)
{
    switch (aspect) {
    case FrameAspect::natural:
        return QStringLiteral("자동");
    case FrameAspect::square:
        return QStringLiteral("1:1");
    case FrameAspect::wide:
        return QStringLiteral("16:9");
    case FrameAspect::portrait:
        return QStringLiteral("4:5");
    }
    return {};
}

QString StyleInspector::backdropName(Backdrop backdrop)
{
    switch (backdrop) {
    case Backdrop::none:
        return QStringLiteral("원본");
    case Backdrop::aurora:
        return QStringLiteral("오로라");
    case Backdrop::midnight:
        return QStringLiteral("미드나잇");
    case Backdrop::peach:
        return QStringLiteral("피치");
    case Backdrop::paper:
        return QStringLiteral("페이퍼");
    }
    return {};
}

StyleInspector::StyleInspector(EditorModel &model, QWidget *parent) : InspectorPanel(parent), model_(&model)
{
    setObjectName(QStringLiteral("editor.inspector.style"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(23);
    buildStyleSection(column);
    column->addWidget(InspectorParts::divider(this));
    buildFrameSection(column);
    column->addWidget(InspectorParts::divider(this));
    buildLayersSection(column);
    buildTagsSection(column);
    connect(&model, &EditorModel::changed, this, &StyleInspector::follow);
    refresh();
}

template <typename Change> void StyleInspector::commitDocument(Change change)
{
    if (!model_)
        return;
    EditDocument document = model_->document();
    change(document);
    model_->commit(std::move(document));
}

void StyleInspector::buildStyleSection(QVBoxLayout *column)
{
    QVBoxLayout *parts = InspectorParts::section(QStringLiteral("주석 스타일"), column);
    badgeNote_ = InspectorParts::note(QStringLiteral("배지를 클릭하면 원형 회전 핸들이 나타납니다. 파란 점을 끌어 "
                                                     "회전하세요. Shift 키를 누르면 15° 단위로 맞춥니다."),
                                      InspectorParts::font(11), Palette::teal, 5, this);
    parts->addWidget(badgeNote_);
    rotation_ = new BadgeRotationControl(*model_, this);
    parts->addWidget(rotation_);

    swatchRow_ = new QWidget(this);
    // Each swatch holds its ring in a margin of its own: the discs stand 10 points apart.
    QHBoxLayout *swatches = bareRow(swatchRow_, 10 - 2 * 4);
    swatches->setContentsMargins(0, 5, 0, 5);
    for (MarkupColor color : allCases<MarkupColor>()) {
        auto *swatch = new ColorSwatch(color, swatchRow_);
        connect(swatch, &QAbstractButton::clicked, this, [this, color] {
            if (model_)
                model_->setColor(color);
        });
        swatches->addWidget(swatch);
        swatches_.push_back(swatch);
    }
    swatches->addStretch();
    parts->addWidget(swatchRow_);

    weightRow_ = new SliderRow(QStringLiteral("두께"), 1, 24, 1, 19, 11, this);
    weightRow_->setObjectName(QStringLiteral("editor.style.weight"));
    connect(weightRow_->slider(), &StepSlider::previewed, model_, &EditorModel::previewStrokeWeight);
    connect(weightRow_->slider(), &StepSlider::finished, model_, &EditorModel::finishControlEdit);
    // After a drag the row shows what was stored, even when storing it changed nothing.
    connect(weightRow_->slider(), &StepSlider::finished, this, &StyleInspector::follow);
    parts->addWidget(weightRow_);

    textField_ = new QTextEdit(this);
    textField_->setAcceptRichText(false);
    textField_->setObjectName(QStringLiteral("editor.style.text"));
    textField_->setPlaceholderText(QStringLiteral("입력할 텍스트"));
    textField_->setFont(InspectorParts::font(12));
    textField_->setFrameShape(QFrame::NoFrame);
    textField_->setStyleSheet(QStringLiteral("QTextEdit { background: %1; border-radius: 8px; padding: 10px; }")
                                  .arg(Palette::surface.name()));
    // The field grows with its text from two lines to five, then scrolls.
    fitTextField();
    connect(textField_->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &StyleInspector::fitTextField);
    connect(textField_, &QTextEdit::textChanged, this, [this] {
        if (model_)
            model_->setAnnotationText(textField_->toPlainText());
    });
    parts->addWidget(textField_);

    blurNote_ = InspectorParts::note(
        QStringLiteral("선택한 영역을 부드럽게 흐립니다. 복사와 내보내기에도 같은 효과가 적용됩니다."),
        InspectorParts::font(10), Palette::teal, 4, this);
    blurNote_->setObjectName(QStringLiteral("editor.style.blurNote"));
    parts->addWidget(blurNote_);
}

// As high as the field's first lines as they are laid out (a line of Korean is taller than one
// of Latin letters), two at least and five at most, with the padding around them.
void StyleInspector::fitTextField()
{
    constexpr int fewest = 2;
    constexpr int most = 5;
    QTextDocument *document = textField_->document();
    document->documentLayout()->documentSize(); // lays the whole text out
    double height = 0;
    double lineHeight = QFontMetricsF(textField_->font()).lineSpacing();
    int lines = 0;
    for (QTextBlock block = document->begin(); block.isValid() && lines < most; block = block.next()) {
        const QTextLayout *layout = block.layout();
        for (int i = 0; layout && i < layout->lineCount() && lines < most; ++i, ++lines) {
            lineHeight = layout->lineAt(i).height();
            height += lineHeight;
        }
    }
    height += std::max(0, fewest - lines) * lineHeight;
    // The style sheet's padding counts as the frame.
    const double padding = 2 * (document->documentMargin() + textField_->frameWidth());
    textField_->setFixedHeight(static_cast<int>(std::ceil(height + padding)));
}

void StyleInspector::buildFrameSection(QVBoxLayout *column)
{
    QVBoxLayout *parts = InspectorParts::section(QStringLiteral("배경 프레임"), column);
    auto *row = new QHBoxLayout;
    row->setSpacing(7);
    for (Backdrop backdrop : allCases<Backdrop>()) {
        auto *swatch = new BackdropSwatch(backdrop, this);
        connect(swatch, &QAbstractButton::clicked, this,
                [this, backdrop] { commitDocument([backdrop](EditDocument &d) { d.backdrop = backdrop; }); });
        row->addWidget(swatch);
        backdrops_.push_back(swatch);
    }
    row->addStretch();
    parts->addLayout(row);

    paddingRow_ = new SliderRow(QStringLiteral("여백"), 16, 240, 4, 25, 10, this);
    paddingRow_->setObjectName(QStringLiteral("editor.style.padding"));
    cornerRow_ = new SliderRow(QStringLiteral("곡률"), 0, 60, 2, 25, 10, this);
    cornerRow_->setObjectName(QStringLiteral("editor.style.corner"));
    for (auto [row, field] :
         {std::pair{paddingRow_, &EditDocument::padding}, std::pair{cornerRow_, &EditDocument::cornerRadius}}) {
        connect(row->slider(), &StepSlider::previewed, this, [this, field = field](double value) {
            if (!model_)
                return;
            EditDocument document = model_->document();
            document.*field = value;
            model_->setDocument(document);
        });
        connect(row->slider(), &StepSlider::finished, model_, &EditorModel::finishControlEdit);
        connect(row->slider(), &StepSlider::finished, this, &StyleInspector::follow);
        parts->addWidget(row);
    }

    aspectRow_ = new QWidget(this);
    QHBoxLayout *aspect = bareRow(aspectRow_, 8);
    aspect->addWidget(
        InspectorParts::label(QStringLiteral("비율"), InspectorParts::font(11), Palette::muted, aspectRow_));
    aspectPicker_ = new QComboBox(aspectRow_);
    aspectPicker_->setObjectName(QStringLiteral("editor.style.aspect"));
    aspectPicker_->setAccessibleName(QStringLiteral("비율"));
    aspectPicker_->setFont(InspectorParts::font(11));
    for (FrameAspect value : allCases<FrameAspect>())
        aspectPicker_->addItem(aspectName(value));
    connect(aspectPicker_, &QComboBox::activated, this, [this](int index) {
        const auto value = allCases<FrameAspect>()[static_cast<size_t>(index)];
        commitDocument([value](EditDocument &d) { d.aspect = value; });
    });
    aspect->addWidget(aspectPicker_, 1);
    parts->addWidget(aspectRow_);

    cropRemoval_ = new QPushButton(QStringLiteral("자르기 해제"), this);
    cropRemoval_->setObjectName(QStringLiteral("editor.style.removeCrop"));
    cropRemoval_->setFlat(true);
    cropRemoval_->setFont(InspectorParts::font(11));
    cropRemoval_->setCursor(Qt::PointingHandCursor);
    cropRemoval_->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; text-align: left; padding: 0; }")
                                    .arg(Palette::teal.name()));
    connect(cropRemoval_, &QPushButton::clicked, this, [this] {
        commitDocument([](EditDocument &d) { d.crop.reset(); });
        if (model_) {
            model_->setZoom(1);
            model_->resetCanvas();
        }
    });
    parts->addWidget(cropRemoval_, 0, Qt::AlignLeft);
}

void StyleInspector::buildLayersSection(QVBoxLayout *column)
{
    layerRows_ = InspectorParts::section(QString(), column, &layersTitle_);
}

void StyleInspector::buildTagsSection(QVBoxLayout *column)
{
    QVBoxLayout *parts = InspectorParts::section(QStringLiteral("태그"), column);
    tagsField_ = new QLineEdit(this);
    tagsField_->setObjectName(QStringLiteral("editor.style.tags"));
    tagsField_->setPlaceholderText(QStringLiteral("예: 디자인, 업무"));
    tagsField_->setFont(InspectorParts::font(11));
    tagsField_->setFrame(false);
    tagsField_->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border-radius: 7px; padding: 10px; }")
                                  .arg(Palette::surface.name()));
    connect(tagsField_, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (model_)
            model_->setTagsText(text);
    });
    parts->addWidget(tagsField_);
    parts->addWidget(InspectorParts::label(QStringLiteral("쉼표로 구분 · tag:업무 로 검색"), InspectorParts::font(9),
                                           Palette::muted));
}

void StyleInspector::refresh()
{
    if (!model_)
        return;
    const EditorModel &model = *model_;
    const MarkupTool active = model.activeAnnotationTool();
    const bool badge = active == MarkupTool::badge;
    badgeNote_->setVisible(badge);
    rotation_->setVisible(badge);
    swatchRow_->setVisible(!badge);
    const auto colorCases = allCases<MarkupColor>();
    for (size_t i = 0; i < swatches_.size(); ++i)
        swatches_[i]->setChecked(colorCases[i] == model.color());

    weightRow_->setEnabled(supportsStrokeWeight(active));
    if (!weightRow_->slider()->isSliderDown())
        weightRow_->showValue(model.currentStrokeWeight());

    textField_->setVisible(model.tool() == MarkupTool::text);
    if (textField_->toPlainText() != model.annotationText()) {
        const QSignalBlocker blocker(textField_);
        textField_->setPlainText(model.annotationText());
    }
    blurNote_->setVisible(active == MarkupTool::blur);

    const EditDocument &document = model.document();
    const auto backdropCases = allCases<Backdrop>();
    for (size_t i = 0; i < backdrops_.size(); ++i)
        backdrops_[i]->setChecked(backdropCases[i] == document.backdrop);
    const bool framed = document.backdrop != Backdrop::none;
    paddingRow_->setVisible(framed);
    cornerRow_->setVisible(framed);
    aspectRow_->setVisible(framed);
    if (!paddingRow_->slider()->isSliderDown())
        paddingRow_->showValue(document.padding);
    if (!cornerRow_->slider()->isSliderDown())
        cornerRow_->showValue(document.cornerRadius);
    {
        const QSignalBlocker blocker(aspectPicker_);
        aspectPicker_->setCurrentIndex(static_cast<int>(document.aspect));
    }
    cropRemoval_->setVisible(document.crop.has_value());

    if (tagsField_->text() != model.tagsText())
        tagsField_->setText(model.tagsText());
    refreshLayers();
}

// The rows are built again only when what they show changed, not on every slider step.
void StyleInspector::refreshLayers()
{
    const EditorModel &model = *model_;
    const auto &annotations = model.document().annotations;
    layersTitle_->setText(QStringLiteral("레이어 · %1").arg(annotations.size()));
    QString shown = model.selectedAnnotationID() ? model.selectedAnnotationID()->toQString() : QString();
    for (const Annotation &a : annotations)
        shown += QStringLiteral("|%1 %2 %3 %4 %5")
                     .arg(a.id.toQString(), CanvasHints::annotationLabel(a))
                     .arg(static_cast<int>(a.color))
                     .arg(static_cast<int>(a.badgeStyle.value_or(BadgeStyle::check)))
                     .arg(a.resolvedBadgeRotation());
    if (shown == layersShown_)
        return;
    layersShown_ = shown;
    // Keep the title, rebuild the rest.
    while (layerRows_->count() > 1) {
        QLayoutItem *item = layerRows_->takeAt(1);
        if (QWidget *widget = item->widget()) {
            // Out of the tree at once; deleted once the event that got here has finished.
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete item;
    }
    if (annotations.empty()) {
        layerRows_->addWidget(InspectorParts::note(QStringLiteral("왼쪽 도구로 이미지에 주석을 더하세요."),
                                                   InspectorParts::font(11), Palette::muted, 4));
        return;
    }
    for (auto it = annotations.rbegin(); it != annotations.rend(); ++it)
        layerRows_->addWidget(new LayerRow(*model_, *it, model.selectedAnnotationID() == it->id, this));
}

} // namespace tarn
