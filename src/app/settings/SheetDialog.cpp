// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SheetDialog.h"

#include <algorithm>

#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/Palette.h"
#include "app/widgets/WindowPlacement.h"

namespace tarn {

namespace {

// The content of a sheet, which scrolls only when the sheet is shorter than it. It asks for the
// whole height of its content, so that a sheet fits its content where the screen has room.
class SheetBody : public QScrollArea {
public:
    explicit SheetBody(QWidget *content)
    {
        SettingsLayout::dressScrollArea(this, content);
        setFocusPolicy(Qt::NoFocus);
    }

    QSize sizeHint() const override { return widget()->sizeHint(); }
    bool hasHeightForWidth() const override { return widget()->hasHeightForWidth(); }
    int heightForWidth(int width) const override { return widget()->heightForWidth(width); }
};

} // namespace

SheetDialog::SheetDialog(const QString &title, const QString &subtitle, int width, std::optional<int> height,
                         QWidget *parent)
    : QDialog(parent),
      header_(new SheetHeader(title, subtitle)),
      content_(new QVBoxLayout),
      footer_(new QVBoxLayout),
      width_(width),
      height_(height)
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    applyDarkScheme(this);
    setAutoFillBackground(true);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(header_);
    auto *body = new QWidget;
    body->setLayout(content_);
    content_->setContentsMargins(0, 0, 0, 0);
    content_->setSpacing(0);
    stack->addWidget(new SheetBody(body), 1);
    footer_->setContentsMargins(0, 0, 0, 0);
    footer_->setSpacing(0);
    stack->addLayout(footer_);
    if (height)
        setFixedSize(width, *height);
    else
        setFixedWidth(width);
    connect(header_, &SheetHeader::closeRequested, this, &SheetDialog::closeRequested);
}

void SheetDialog::applyDarkScheme(QWidget *widget)
{
    QPalette colors = widget->palette();
    colors.setColor(QPalette::Window, Palette::background);
    colors.setColor(QPalette::WindowText, Palette::text);
    colors.setColor(QPalette::Base, Palette::surface);
    colors.setColor(QPalette::AlternateBase, Palette::raised);
    colors.setColor(QPalette::Text, Palette::text);
    colors.setColor(QPalette::PlaceholderText, Palette::muted);
    colors.setColor(QPalette::Button, Palette::raised);
    colors.setColor(QPalette::ButtonText, Palette::text);
    colors.setColor(QPalette::Highlight, Palette::teal);
    colors.setColor(QPalette::HighlightedText, Palette::sidebar);
    colors.setColor(QPalette::ToolTipBase, Palette::raised);
    colors.setColor(QPalette::ToolTipText, Palette::text);
    colors.setColor(QPalette::Light, Palette::border);
    colors.setColor(QPalette::Midlight, Palette::border);
    colors.setColor(QPalette::Mid, Palette::border);
    colors.setColor(QPalette::Dark, Palette::sidebar);
    colors.setColor(QPalette::Shadow, Palette::sidebar);
    colors.setColor(QPalette::Disabled, QPalette::Text, Palette::muted);
    colors.setColor(QPalette::Disabled, QPalette::ButtonText, Palette::muted);
    colors.setColor(QPalette::Disabled, QPalette::WindowText, Palette::muted);
    widget->setPalette(colors);
}

void SheetDialog::dismiss()
{
    dismissing_ = true;
    done(QDialog::Rejected);
}

// Escape.
void SheetDialog::reject()
{
    if (dismissing_)
        QDialog::reject();
    else
        Q_EMIT closeRequested();
}

void SheetDialog::closeEvent(QCloseEvent *event)
{
    if (dismissing_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    Q_EMIT closeRequested();
}

// Wrapped texts know their height only for a width.
void SheetDialog::showEvent(QShowEvent *event)
{
    // Return in a field must not press some button of the sheet: no button is a default one.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    fitHeight();
    // Qt centred the sheet over its window before it knew the sheet's height and frame.
    QScreen *screen = parentScreen();
    if (screen)
        WindowPlacement::placeAround(this, screen,
                                     parentWidget() ? parentWidget()->frameGeometry().center()
                                                    : screen->availableGeometry().center());
    QDialog::showEvent(event);
}

QScreen *SheetDialog::parentScreen() const { return parentWidget() ? parentWidget()->screen() : screen(); }

void SheetDialog::fitHeight()
{
    const QSize room = WindowPlacement::room(this, parentScreen());
    if (height_) {
        setFixedSize(QSize(width_, *height_).boundedTo(room));
        return;
    }
    setFixedWidth(std::min(width_, room.width()));
    layout()->activate();
    const int natural =
        layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width()) : layout()->totalSizeHint().height();
    setFixedHeight(std::min(natural, room.height()));
    if (isVisible())
        WindowPlacement::fitIntoScreen(this);
}

} // namespace tarn
