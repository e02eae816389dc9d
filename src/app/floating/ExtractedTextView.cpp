// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/ExtractedTextView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "app/widgets/Palette.h"
#include "app/widgets/Theme.h"

namespace tarn {
namespace {

QWidget *title()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(7);
    auto *symbol = new QLabel;
    symbol->setPixmap(QPixmap::fromImage(
        Theme::symbolImage(QStringLiteral("text.viewfinder"), Palette::text, 15, row->devicePixelRatioF())));
    auto *label = new QLabel(QStringLiteral("로컬 텍스트 추출"));
    QFont font = label->font();
    font.setPixelSize(15);
    font.setWeight(QFont::DemiBold);
    label->setFont(font);
    layout->addWidget(symbol);
    layout->addWidget(label);
    return row;
}

// Plain text, 13 points, with 6 points between lines, 16 points inside a rounded surface. A
// rich-text area, as the plain-text one ignores the line distance of its blocks.
QTextEdit *makeTextArea(const QString &text)
{
    auto *area = new QTextEdit;
    area->setAcceptRichText(false);
    area->setReadOnly(true);
    area->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont font = area->font();
    font.setPixelSize(13);
    area->setFont(font);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The selection keeps the text's own colour: the application's selected-text colour is dark,
    // made for its bright selection, and would vanish on this dark one.
    area->setStyleSheet(QStringLiteral("QTextEdit { background: %1; color: %2; border: none; border-radius: 10px;"
                                       " padding: 16px; selection-background-color: %3; selection-color: %2; }")
                            .arg(Palette::surface.name(), Palette::text.name(), Palette::border.name()));
    area->setPlainText(text);
    QTextCursor cursor(area->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat spacing;
    spacing.setLineHeight(6, QTextBlockFormat::LineDistanceHeight);
    cursor.mergeBlockFormat(spacing);
    area->moveCursor(QTextCursor::Start);
    return area;
}

} // namespace

ExtractedTextView::ExtractedTextView(QString text, QWidget *parent) : QWidget(parent), text_(std::move(text))
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Palette::text);
    setPalette(colours);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(24, 24, 24, 24);
    stack->setSpacing(18);

    auto *header = new QHBoxLayout;
    header->addWidget(title());
    header->addStretch(1);
    copy_ = new TarnButton(QStringLiteral("전체 복사"), {.prominent = true});
    header->addWidget(copy_);
    stack->addLayout(header);

    area_ = makeTextArea(text_);
    stack->addWidget(area_, 1);

    auto *footnote =
        new QLabel(QStringLiteral("이 이미지는 라이브러리에 저장하지 않았습니다. OCR 결과는 검토 후 사용하세요."));
    QFont font = footnote->font();
    font.setPixelSize(10);
    footnote->setFont(font);
    QPalette muted = footnote->palette();
    muted.setColor(QPalette::WindowText, Palette::muted);
    footnote->setPalette(muted);
    footnote->setWordWrap(true);
    stack->addWidget(footnote);

    connect(copy_, &QAbstractButton::clicked, this, [this] {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(text_);
        copied_ = true;
        copy_->setText(QStringLiteral("복사 완료"));
    });
}

void ExtractedTextView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::background);
}

} // namespace tarn
