// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/ToolMenus.h"

#include <cmath>

#include <QHBoxLayout>
#include <QHideEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

#include "app/editor/BadgeRotationControl.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorViewValues.h"
#include "app/editor/InspectorParts.h"
#include "app/editor/ToolGlyphs.h"
#include "app/widgets/MarkupDisplay.h"
#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {

namespace {

QString weightText(double weight) { return QString::number(EditorViewValues::wholeNumber(weight, 1, 24)); }

QPen glyphPen(const QColor &color, qreal width)
{
    QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setMiterLimit(10);
    return pen;
}

// One choice of a popover: a picture over a caption on a plate (radius 10) that shows the
// chosen one. The whole plate takes clicks.
class ChoiceButton : public QAbstractButton {
public:
    ChoiceButton(QSize size, QWidget *parent) : QAbstractButton(parent)
    {
        setFixedSize(size);
        setCursor(Qt::PointingHandCursor);
    }
    void setChosen(bool chosen)
    {
        if (chosen_ != chosen) {
            chosen_ = chosen;
            update();
        }
    }
    bool isChosen() const { return chosen_; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (chosen_) {
            QPainterPath plate;
            plate.addRoundedRect(QRectF(rect()), 10, 10);
            QColor fill = Palette::accent;
            fill.setAlphaF(chosenOpacity);
            painter.fillPath(plate, fill);
        }
        paintChoice(painter);
    }
    virtual void paintChoice(QPainter &painter) = 0;
    qreal chosenOpacity = 0.1;
    bool chosen_ = false;
};

class ShapeChoice : public ChoiceButton {
public:
    ShapeChoice(MarkupTool shape, QWidget *parent) : ChoiceButton(QSize(66, 88), parent), shape_(shape)
    {
        setAccessibleName(label(shape));
    }

protected:
    void paintChoice(QPainter &painter) override
    {
        const QColor color = isChosen() ? Palette::accent : Palette::text;
        painter.setPen(glyphPen(color, 1.8));
        painter.drawPath(ToolGlyphs::shapeGlyph(shape_, QRectF((width() - 30) / 2.0, 10, 30, 30)));
        painter.setFont(InspectorParts::font(11));
        painter.drawText(QRectF(0, 50, width(), 28), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, label(shape_));
    }

private:
    MarkupTool shape_;
};

class BadgeChoice : public ChoiceButton {
public:
    BadgeChoice(BadgeStyle style, QWidget *parent) : ChoiceButton(QSize(61, 92), parent), style_(style)
    {
        setAccessibleName(ToolGlyphs::badgeStyleName(style) + QStringLiteral(" 배지"));
    }
    void setRotation(double rotation)
    {
        if (rotation_ != rotation) {
            rotation_ = rotation;
            update();
        }
    }

protected:
    void paintChoice(QPainter &painter) override
    {
        ToolGlyphs::drawBadgeIcon(painter, style_, rotation_, QRectF((width() - 43) / 2.0, 12, 43, 40));
        painter.setPen(Palette::text);
        painter.setFont(InspectorParts::font(11));
        painter.drawText(QRectF(0, 62, width(), 18), Qt::AlignHCenter | Qt::AlignTop,
                         ToolGlyphs::badgeStyleName(style_));
    }

private:
    BadgeStyle style_;
    double rotation_ = 0;
};

// A row of the stroke presets: a bar as thick as half the preset, the number and a check.
class PresetRow : public ChoiceButton {
public:
    PresetRow(double preset, QWidget *parent) : ChoiceButton(QSize(203, 29), parent), preset_(preset)
    {
        chosenOpacity = 0.09;
        setAccessibleName(QStringLiteral("두께 ") + weightText(preset));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (isChosen()) {
            QPainterPath plate;
            plate.addRoundedRect(QRectF(rect()), 6, 6);
            QColor fill = Palette::accent;
            fill.setAlphaF(chosenOpacity);
            painter.fillPath(plate, fill);
        }
        paintChoice(painter);
    }
    void paintChoice(QPainter &painter) override
    {
        const qreal thickness = std::max(1.0, preset_ * 0.5);
        QPainterPath bar;
        bar.addRoundedRect(QRectF(9, (height() - thickness) / 2, 92, thickness), thickness / 2, thickness / 2);
        painter.fillPath(bar, Palette::text);
        painter.setFont(InspectorParts::font(11, QFont::Normal, true));
        painter.setPen(Palette::text);
        const QRectF number(width() - 9 - 14 - 15 - 30, 0, 30, height());
        painter.drawText(number, Qt::AlignRight | Qt::AlignVCenter, weightText(preset_));
        if (isChosen()) {
            const QImage check =
                Theme::symbolImage(QStringLiteral("checkmark"), Palette::accent, 12, devicePixelRatioF());
            if (!check.isNull())
                painter.drawImage(QPointF(width() - 9 - 13, (height() - 12) / 2.0), check);
        }
    }

private:
    double preset_;
};

// The popover's look: dark, on the sidebar colour.
void dress(QWidget *popover)
{
    popover->setAutoFillBackground(true);
    QPalette palette = popover->palette();
    palette.setColor(QPalette::Window, Palette::sidebar);
    palette.setColor(QPalette::WindowText, Palette::text);
    popover->setPalette(palette);
}

} // namespace

// ---- ToolPopover ----

ToolPopover::ToolPopover(QWidget *trigger) : QFrame(trigger, Qt::Popup), trigger_(trigger)
{
    dress(this);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Palette::border);
    setPalette(palette);
}

void ToolPopover::open(Edge edge)
{
    adjustSize();
    const QRect bounds(trigger_->mapToGlobal(QPoint()), trigger_->size());
    QPoint at = edge == Edge::leading ? QPoint(bounds.right() + 8, bounds.center().y() - height() / 2)
                                      : QPoint(bounds.center().x() - width() / 2, bounds.bottom() + 8);
    if (QScreen *screen = trigger_->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    // The trigger's window, as it is now: the trigger may have been moved into it after this
    // popover was made. Installing twice keeps one filter.
    trigger_->window()->removeEventFilter(this);
    trigger_->window()->installEventFilter(this);
    show();
}

bool ToolPopover::eventFilter(QObject *watched, QEvent *event)
{
    // Only windows of the trigger are watched.
    if (event->type() == QEvent::Hide && isVisible())
        hide();
    return QFrame::eventFilter(watched, event);
}

void ToolPopover::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    Q_EMIT hidden();
}

// ---- ShapeToolMenu ----

ShapeToolMenu::ShapeToolMenu(EditorModel &model, QWidget *parent)
    : RailButton(parent),
      model_(&model),
      popover_(new ToolPopover(this))
{
    setObjectName(QStringLiteral("editor.rail.shapes"));
    setToolTip(QStringLiteral("도형 · 정사각형, 둥근 사각형, 원, 선"));
    setAccessibleName(QStringLiteral("도형"));
    popover_->setObjectName(QStringLiteral("editor.shapes.popover"));

    auto *row = new QHBoxLayout(popover_);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(8);
    for (MarkupTool shape : shapeTools) {
        auto *button = new ShapeChoice(shape, popover_);
        button->setObjectName(QStringLiteral("editor.shapes.") + EditorViewValues::caseText(shape));
        connect(button, &QAbstractButton::clicked, this, [this, shape] {
            if (model_)
                model_->selectTool(shape);
            popover_->hide();
        });
        row->addWidget(button);
        shapeButtons_.push_back(button);
    }
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (popover_->isVisible())
            popover_->hide();
        else
            popover_->open(ToolPopover::Edge::leading);
    });
    connect(&model, &EditorModel::changed, this, &ShapeToolMenu::refresh);
    refresh();
}

QAbstractButton *ShapeToolMenu::shapeButton(MarkupTool shape) const
{
    for (size_t i = 0; i < shapeTools.size(); ++i)
        if (shapeTools[i] == shape)
            return shapeButtons_[i];
    return nullptr;
}

QColor ShapeToolMenu::plateColor() const { return isActive() ? Palette::accent : QColor(Qt::transparent); }

QColor ShapeToolMenu::pictureColor() const { return isActive() ? Palette::sidebar : Palette::muted; }

void ShapeToolMenu::paintPicture(QPainter &painter)
{
    if (!model_)
        return;
    painter.setPen(glyphPen(pictureColor(), 1.7));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(ToolGlyphs::shapeGlyph(model_->selectedShape(), QRectF(9, 9, 20, 20)));
    paintChevron(painter, pictureColor());
}

void ShapeToolMenu::refresh()
{
    if (!model_)
        return;
    setActive(isShape(model_->tool()));
    for (size_t i = 0; i < shapeTools.size(); ++i)
        static_cast<ShapeChoice *>(shapeButtons_[i])->setChosen(model_->tool() == shapeTools[i]);
    update();
}

// ---- BadgeToolMenu ----

BadgeToolMenu::BadgeToolMenu(EditorModel &model, QWidget *parent)
    : RailButton(parent),
      model_(&model),
      popover_(new ToolPopover(this)),
      rotation_(nullptr)
{
    setObjectName(QStringLiteral("editor.rail.badge"));
    setToolTip(QStringLiteral("배지 · B"));
    setAccessibleName(QStringLiteral("배지"));
    popover_->setObjectName(QStringLiteral("editor.badges.popover"));

    auto *column = new QVBoxLayout(popover_);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(12);
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    for (BadgeStyle style : allCases<BadgeStyle>()) {
        auto *button = new BadgeChoice(style, popover_);
        button->setObjectName(QStringLiteral("editor.badges.") + EditorViewValues::caseText(style));
        connect(button, &QAbstractButton::clicked, this, [this, style] {
            if (model_)
                model_->selectBadge(style);
            popover_->hide();
        });
        row->addWidget(button);
        styleButtons_.push_back(button);
    }
    column->addLayout(row);
    column->addWidget(InspectorParts::divider(popover_));
    rotation_ = new BadgeRotationControl(model, popover_);
    column->addWidget(rotation_);

    connect(this, &QAbstractButton::clicked, this, &BadgeToolMenu::toggle);
    connect(&model, &EditorModel::changed, this, &BadgeToolMenu::refresh);
    refresh();
}

void BadgeToolMenu::toggle()
{
    if (popover_->isVisible()) {
        popover_->hide();
        return;
    }
    if (model_ && model_->activeAnnotationTool() != MarkupTool::badge)
        model_->selectTool(MarkupTool::badge);
    popover_->open(ToolPopover::Edge::leading);
}

QAbstractButton *BadgeToolMenu::styleButton(BadgeStyle style) const
{
    return styleButtons_[static_cast<size_t>(style)];
}

QColor BadgeToolMenu::plateColor() const
{
    QColor plate = Palette::accent;
    plate.setAlphaF(isActive() ? 0.16 : 0);
    return plate;
}

void BadgeToolMenu::paintPicture(QPainter &painter)
{
    if (!model_)
        return;
    const QColor color = isActive() ? Palette::accent : Palette::muted;
    ToolGlyphs::drawBadgeSymbol(painter, model_->currentBadgeStyle(), model_->currentBadgeRotation(),
                                QRectF(5, 5, 28, 28), color);
    paintChevron(painter, color);
}

void BadgeToolMenu::refresh()
{
    if (!model_)
        return;
    setActive(model_->tool() == MarkupTool::badge);
    const double rotation = model_->currentBadgeRotation();
    setAccessibleDescription(QString::number(EditorViewValues::wholeNumber(rotation, 0, 360)) + QStringLiteral("도"));
    for (size_t i = 0; i < styleButtons_.size(); ++i) {
        auto *choice = static_cast<BadgeChoice *>(styleButtons_[i]);
        choice->setRotation(rotation);
        choice->setChosen(model_->currentBadgeStyle() == static_cast<BadgeStyle>(i) &&
                          model_->activeAnnotationTool() == MarkupTool::badge);
    }
    update();
}

// ---- StrokeWeightMenu ----

StrokeWeightMenu::StrokeWeightMenu(EditorModel &model, QWidget *parent)
    : TarnButton(QStringLiteral("두께"), TarnButtonStyle{}, parent),
      model_(&model),
      popover_(new ToolPopover(this)),
      popoverValue_(InspectorParts::label(QString(), InspectorParts::font(13, QFont::Normal, true), Palette::teal)),
      slider_(nullptr)
{
    setObjectName(QStringLiteral("editor.strokeWeight"));
    setSymbol(QStringLiteral("lineweight"));
    setToolTip(QStringLiteral("선 두께 · 선택한 주석과 다음에 그릴 주석에 적용"));
    setAccessibleName(QStringLiteral("두께 메뉴"));
    popover_->setObjectName(QStringLiteral("editor.strokeWeight.popover"));

    auto *column = new QVBoxLayout(popover_);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);
    popover_->setFixedWidth(235);
    auto *header = new QHBoxLayout;
    header->addWidget(
        InspectorParts::label(QStringLiteral("두께"), InspectorParts::font(13, QFont::DemiBold), Palette::text));
    header->addStretch();
    header->addWidget(popoverValue_);
    column->addLayout(header);

    auto *rows = new QVBoxLayout;
    rows->setSpacing(3);
    for (size_t i = 0; i < presets.size(); ++i) {
        const double preset = presets[i];
        auto *row = new PresetRow(preset, popover_);
        row->setObjectName(QStringLiteral("editor.strokeWeight.preset%1").arg(weightText(preset)));
        connect(row, &QAbstractButton::clicked, this, [this, preset] {
            if (model_) {
                model_->previewStrokeWeight(preset);
                model_->finishControlEdit();
            }
            popover_->hide();
        });
        rows->addWidget(row);
        presetRows_.push_back(row);
    }
    column->addLayout(rows);
    column->addWidget(InspectorParts::divider(popover_));
    slider_ = new StepSlider(1, 24, 1, popover_);
    slider_->setObjectName(QStringLiteral("editor.strokeWeight.slider"));
    slider_->setAccessibleName(QStringLiteral("두께 조절"));
    connect(slider_, &StepSlider::previewed, &model, &EditorModel::previewStrokeWeight);
    connect(slider_, &StepSlider::finished, &model, &EditorModel::finishControlEdit);
    column->addWidget(slider_);
    auto *ends = new QHBoxLayout;
    const QFont endFont = InspectorParts::font(10, QFont::Normal, true);
    ends->addWidget(InspectorParts::label(QStringLiteral("1"), endFont, Palette::muted));
    ends->addStretch();
    ends->addWidget(InspectorParts::label(QStringLiteral("24"), endFont, Palette::muted));
    column->addLayout(ends);

    connect(this, &QAbstractButton::clicked, this, [this] {
        if (popover_->isVisible())
            popover_->hide();
        else
            popover_->open(ToolPopover::Edge::top);
    });
    connect(popover_, &ToolPopover::hidden, this, [this] {
        if (model_)
            model_->finishControlEdit();
    });
    connect(&model, &EditorModel::changed, this, &StrokeWeightMenu::refresh);
    refresh();
}

bool StrokeWeightMenu::isChosen(double weight, double preset) { return std::abs(weight - preset) < 0.1; }

void StrokeWeightMenu::refresh()
{
    if (!model_)
        return;
    const double weight = model_->currentStrokeWeight();
    setDetail(weightText(weight), Palette::teal);
    setAccessibleDescription(weightText(weight));
    popoverValue_->setText(weightText(weight));
    if (!slider_->isSliderDown())
        slider_->showValue(weight);
    for (size_t i = 0; i < presets.size(); ++i)
        static_cast<PresetRow *>(presetRows_[i])->setChosen(isChosen(weight, presets[i]));
    setEnabled(supportsStrokeWeight(model_->activeAnnotationTool()));
}

} // namespace tarn
