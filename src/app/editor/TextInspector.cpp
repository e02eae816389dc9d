// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/TextInspector.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>

#include "app/editor/EditorModel.h"
#include "app/editor/InspectorParts.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"

namespace tarn {

using InspectorParts::clearFrom;
using InspectorParts::progressRow;
using InspectorParts::recognizeButton;

QString TextInspector::copiedMessage() { return QStringLiteral("보이는 영역의 텍스트를 복사했습니다."); }

TextInspector::TextInspector(EditorModel &model, QWidget *parent) : InspectorPanel(parent), model_(&model)
{
    setObjectName(QStringLiteral("editor.inspector.text"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    auto *header = new QHBoxLayout;
    header->addWidget(
        InspectorParts::label(QStringLiteral("텍스트 추출"), InspectorParts::font(13, QFont::DemiBold), Palette::text));
    header->addStretch();
    rerun_ = new IconButton(QStringLiteral("arrow.clockwise"), QStringLiteral("로컬 OCR 다시 실행"), this);
    rerun_->setObjectName(QStringLiteral("editor.text.rerun"));
    connect(rerun_, &QAbstractButton::clicked, &model, &EditorModel::recognizeText);
    header->addWidget(rerun_);
    column->addLayout(header);
    column->addWidget(
        InspectorParts::note(QStringLiteral("마스킹과 자르기로 가려진 영역의 텍스트는 표시하거나 복사하지 않습니다."),
                             InspectorParts::font(10), Palette::muted, 5, this));
    content_ = new QVBoxLayout;
    content_->setContentsMargins(0, 0, 0, 0);
    content_->setSpacing(18);
    column->addLayout(content_);
    connect(&model, &EditorModel::changed, this, &TextInspector::follow);
    connect(&model, &EditorModel::isRecognizingChanged, this, &TextInspector::follow);
    connect(&model, &EditorModel::itemChanged, this, &TextInspector::follow);
    refresh();
}

void TextInspector::refresh()
{
    if (!model_)
        return;
    EditorModel &model = *model_;
    rerun_->setEnabled(!model.isRecognizing());
    const bool unrecognized = model.item().textRegions.empty();
    const QString text = model.isRecognizing() || unrecognized ? QString() : model.visibleText();
    const QString shown = model.isRecognizing() ? QStringLiteral("recognizing")
        : unrecognized                          ? QStringLiteral("unrecognized")
                                                : QStringLiteral("recognized|") + text;
    if (shown == contentShown_)
        return;
    contentShown_ = shown;
    clearFrom(content_, 0);
    if (model.isRecognizing()) {
        content_->addWidget(progressRow(QStringLiteral("로컬에서 인식 중…"), QStringLiteral("editor.text.progress")));
        return;
    }
    if (unrecognized) {
        content_->addWidget(
            recognizeButton(model, QStringLiteral("텍스트 인식"), QStringLiteral("editor.text.recognize")), 0,
            Qt::AlignLeft);
        return;
    }
    QLabel *box = InspectorParts::note(text.isEmpty() ? QStringLiteral("표시할 텍스트가 없습니다.") : text,
                                       InspectorParts::font(11), Palette::text, 6);
    box->setObjectName(QStringLiteral("editor.text.visible"));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setContentsMargins(12, 12, 12, 12);
    box->setAutoFillBackground(false);
    box->setStyleSheet(QStringLiteral("QLabel { background: %1; border-radius: 9px; }").arg(Palette::surface.name()));
    content_->addWidget(box);
    auto *copy = new TarnButton(QStringLiteral("텍스트 복사"), TarnButtonStyle{.prominent = true});
    copy->setObjectName(QStringLiteral("editor.text.copy"));
    copy->setSymbol(QStringLiteral("doc.on.doc"));
    copy->setEnabled(!text.isEmpty());
    connect(copy, &QAbstractButton::clicked, this, &TextInspector::copyText);
    content_->addWidget(copy, 0, Qt::AlignLeft);
}

void TextInspector::copyText()
{
    if (!model_)
        return;
    const QString text = model_->visibleText();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    model_->setMessage(copiedMessage());
}

} // namespace tarn
