// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SheetDialog.h"

#include <QCloseEvent>
#include <QPushButton>

#include "app/widgets/Palette.h"

namespace tarn {

SheetDialog::SheetDialog(const QString &title, const QString &subtitle, int width, std::optional<int> height,
                         QWidget *parent)
    : QDialog(parent),
      header_(new SheetHeader(title, subtitle)),
      content_(new QVBoxLayout),
      fixedHeight_(height.has_value())
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    applyDarkScheme(this);
    setAutoFillBackground(true);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(header_);
    content_->setContentsMargins(0, 0, 0, 0);
    content_->setSpacing(0);
    stack->addLayout(content_, 1);
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
    QDialog::showEvent(event);
}

void SheetDialog::fitHeight()
{
    if (fixedHeight_)
        return;
    layout()->activate();
    setFixedHeight(layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                 : layout()->totalSizeHint().height());
}

} // namespace tarn
