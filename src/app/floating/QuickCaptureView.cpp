// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/QuickCaptureView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/floating/FloatingPanel.h"
#include "app/floating/PinView.h"
#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

// The preview: the image fitted into the full width and 118 points of height, on the
// background colour, inside a rounded clip.
class Preview : public FittedImage {
public:
    explicit Preview(QImage image) : FittedImage(std::move(image)) { setFixedHeight(118); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        QPainterPath clip;
        clip.addRoundedRect(QRectF(rect()), 7, 7);
        painter.setClipPath(clip);
        painter.fillRect(rect(), Palette::background);
        painter.drawImage(fittedRect(image().size(), rect()), image());
    }
};

QWidget *header(QAbstractButton *&closeButton)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    auto *symbol = new QLabel;
    symbol->setPixmap(QPixmap::fromImage(
        Theme::symbolImage(QStringLiteral("checkmark.circle.fill"), Palette::teal, 12, row->devicePixelRatioF())));
    auto *title = new QLabel(QStringLiteral("캡처 완료"));
    QFont font = title->font();
    font.setPixelSize(11);
    title->setFont(font);
    QPalette colours = title->palette();
    colours.setColor(QPalette::WindowText, Palette::teal);
    title->setPalette(colours);
    layout->addWidget(symbol);
    layout->addWidget(title);
    layout->addStretch(1);

    auto *close = new QToolButton;
    close->setAutoRaise(true);
    close->setIcon(QIcon(
        QPixmap::fromImage(Theme::symbolImage(QStringLiteral("xmark"), Palette::text, 10, row->devicePixelRatioF()))));
    close->setIconSize(QSize(10, 10));
    close->setToolTip(QStringLiteral("닫기"));
    close->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; padding: 2px; }"));
    layout->addWidget(close);
    closeButton = close;
    return row;
}

} // namespace

QuickCaptureView::QuickCaptureView(CaptureItem item, QImage image, QuickCaptureActions &app, QWidget *parent)
    : QWidget(parent),
      item_(std::move(item)),
      app_(app)
{
    setFixedSize(310, 216);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Palette::text);
    setPalette(colours);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(9);
    stack->addWidget(header(closeButton_));
    stack->addWidget(new Preview(std::move(image)));

    auto *actions = new QHBoxLayout;
    actions->setSpacing(7);
    edit_ = new TarnButton(QStringLiteral("편집"), {.prominent = true});
    copy_ = new TarnButton(QStringLiteral("복사"));
    pin_ = new TarnButton(QStringLiteral("고정"));
    for (TarnButton *button : {edit_, copy_, pin_})
        actions->addWidget(button, 1);
    stack->addLayout(actions);

    connect(closeButton_, &QAbstractButton::clicked, this, &QuickCaptureView::closeRequested);
    // The panel closes before the editor opens; the model may refuse to open while busy.
    connect(edit_, &QAbstractButton::clicked, this, [this] {
        const CaptureItem item = item_;
        QuickCaptureActions &app = app_;
        const QPointer<QScreen> screen = window()->screen();
        Q_EMIT closeRequested();
        app.openItem(item, screen);
    });
    // The copy runs on after the panel has gone.
    connect(copy_, &QAbstractButton::clicked, this, [this] {
        app_.copyItem(item_);
        Q_EMIT closeRequested();
    });
    connect(pin_, &QAbstractButton::clicked, this, [this] {
        app_.pin(item_, window()->screen());
        Q_EMIT closeRequested();
    });
}

void QuickCaptureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPlate(painter, rect(), 13, Palette::sidebar, Palette::border);
}

} // namespace tarn
