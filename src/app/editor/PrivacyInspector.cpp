// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/PrivacyInspector.h"

#include <QHBoxLayout>

#include "app/editor/EditorModel.h"
#include "app/editor/InspectorParts.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"
#include "app/widgets/Theme.h"

namespace tarn {

namespace {

using InspectorParts::clearFrom;
using InspectorParts::progressRow;
using InspectorParts::recognizeButton;

QString kindsText(const PrivacySuggestion &suggestion)
{
    QStringList labels;
    for (SensitiveKind kind : suggestion.kinds)
        labels << label(kind);
    return labels.join(QStringLiteral(" · "));
}

// A suggestion card: its kinds and a plus over the line's text; pressing it blurs the line.
QPushButton *suggestionCard(EditorModel &model, const PrivacySuggestion &suggestion)
{
    auto *card = new QPushButton;
    card->setObjectName(QStringLiteral("editor.privacy.suggestion"));
    card->setCursor(Qt::PointingHandCursor);
    card->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: none; border-radius: 9px; }")
                            .arg(Palette::surface.name()));
    auto *column = new QVBoxLayout(card);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(8);
    auto *header = new QHBoxLayout;
    QLabel *kinds =
        InspectorParts::label(kindsText(suggestion), InspectorParts::font(10, QFont::DemiBold), Palette::teal);
    kinds->setObjectName(QStringLiteral("editor.privacy.suggestion.kinds"));
    // The card's style sheet reaches its labels and would draw them in the text colour.
    kinds->setStyleSheet(QStringLiteral("color: %1;").arg(Palette::teal.name()));
    header->addWidget(kinds);
    header->addStretch();
    auto *plus = new QLabel;
    plus->setPixmap(QPixmap::fromImage(Theme::symbolImage(QStringLiteral("plus"), Palette::muted, 10, 1)));
    header->addWidget(plus);
    column->addLayout(header);
    const QString text = QString::fromStdString(suggestion.region.text);
    QLabel *line = InspectorParts::label(text, InspectorParts::font(11), Palette::text);
    line->setWordWrap(true);
    line->setMaximumHeight(2 * QFontMetrics(InspectorParts::font(11)).lineSpacing());
    column->addWidget(line);
    for (QLabel *child : card->findChildren<QLabel *>())
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    card->setMinimumHeight(column->sizeHint().height());
    card->setAccessibleName(kindsText(suggestion) + QStringLiteral(" ") + text);
    const TextRegion region = suggestion.region;
    QObject::connect(card, &QAbstractButton::clicked, &model, [model = QPointer<EditorModel>(&model), region] {
        // The card goes away with its suggestion: add the blur after the click has finished.
        QMetaObject::invokeMethod(
            model,
            [model, region] {
                if (model)
                    model->add(Annotation::blurring(region));
            },
            Qt::QueuedConnection);
    });
    return card;
}

} // namespace

// ---- PrivacyInspector ----

PrivacyInspector::PrivacyInspector(EditorModel &model, QWidget *parent) : InspectorPanel(parent), model_(&model)
{
    setObjectName(QStringLiteral("editor.inspector.privacy"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(21);
    auto *shield = new QLabel(this);
    shield->setPixmap(QPixmap::fromImage(
        Theme::symbolImage(QStringLiteral("checkmark.shield"), Palette::teal, 32, devicePixelRatioF())));
    column->addWidget(shield);
    column->addWidget(InspectorParts::note(QStringLiteral("공유 전에,\n가릴 곳만 부드럽게."),
                                           InspectorParts::font(20, QFont::Medium), Palette::text, 4, this));
    column->addWidget(InspectorParts::note(QStringLiteral("로컬 OCR에서 이메일, 전화번호, 일부 인증 정보와 카드 번호를 "
                                                          "찾아 흐림 처리할 영역을 제안합니다."),
                                           InspectorParts::font(11), Palette::muted, 6, this));
    recognition_ = new QVBoxLayout;
    recognition_->setContentsMargins(0, 0, 0, 0);
    recognition_->setSpacing(21);
    column->addLayout(recognition_);
    column->addWidget(InspectorParts::divider(this));
    blurCount_ = InspectorParts::label(QString(), InspectorParts::font(12, QFont::Medium), Palette::teal, this);
    blurCount_->setObjectName(QStringLiteral("editor.privacy.blurCount"));
    column->addWidget(blurCount_);
    column->addWidget(
        InspectorParts::note(QStringLiteral("이미지와 주석에 흐림을 적용합니다. 흐림은 시각적 가림 효과이며 "
                                            "민감정보의 완전 삭제를 보장하지 않습니다."),
                             InspectorParts::font(11), Palette::muted, 6, this));
    convert_ = new TarnButton(QString(), TarnButtonStyle{}, this);
    convert_->setObjectName(QStringLiteral("editor.privacy.convertMasks"));
    convert_->setFont(InspectorParts::font(10));
    connect(convert_, &QAbstractButton::clicked, &model, &EditorModel::convertBlackMasksToBlur);
    column->addWidget(convert_, 0, Qt::AlignLeft);

    auto *warning = new QHBoxLayout;
    warning->setSpacing(6);
    auto *triangle = new QLabel(this);
    triangle->setPixmap(QPixmap::fromImage(
        Theme::symbolImage(QStringLiteral("exclamationmark.triangle"), Palette::coral, 12, devicePixelRatioF())));
    warning->addWidget(triangle);
    warning->addWidget(InspectorParts::label(QStringLiteral("자동 감지는 완전하지 않습니다."),
                                             InspectorParts::font(10, QFont::Medium), Palette::coral));
    warning->addStretch();
    column->addLayout(warning);
    column->addWidget(
        InspectorParts::note(QStringLiteral("OCR 오인식이나 예상하지 못한 정보는 감지하지 못할 수 있습니다. "
                                            "원본과 OCR 텍스트는 로컬 라이브러리에 남습니다. 공유 전 결과를 "
                                            "꼭 확인하세요."),
                             InspectorParts::font(10), Palette::muted, 5, this));
    connect(&model, &EditorModel::changed, this, &PrivacyInspector::follow);
    connect(&model, &EditorModel::isRecognizingChanged, this, &PrivacyInspector::follow);
    connect(&model, &EditorModel::itemChanged, this, &PrivacyInspector::follow);
    refresh();
}

void PrivacyInspector::refresh()
{
    if (!model_)
        return;
    blurCount_->setText(QStringLiteral("흐림 %1개 적용").arg(model_->blurCount()));
    const int masks = model_->blackMaskCount();
    convert_->setVisible(masks >= 1);
    convert_->setText(QStringLiteral("검정 마스킹 %1개를 흐림으로 변경").arg(masks));
    rebuildRecognition();
}

void PrivacyInspector::rebuildRecognition()
{
    EditorModel &model = *model_;
    const auto suggestions = model.isRecognizing() || model.item().textRegions.empty()
        ? std::vector<PrivacySuggestion>{}
        : model.suggestions();
    QString shown = model.isRecognizing()  ? QStringLiteral("recognizing")
        : model.item().textRegions.empty() ? QStringLiteral("unrecognized")
                                           : QStringLiteral("recognized");
    for (const PrivacySuggestion &suggestion : suggestions)
        shown += QLatin1Char('|') + suggestion.id().toQString() + QString::fromStdString(suggestion.region.text);
    if (shown == recognitionShown_)
        return;
    recognitionShown_ = shown;
    clearFrom(recognition_, 0);
    if (model.isRecognizing()) {
        recognition_->addWidget(
            progressRow(QStringLiteral("텍스트 분석 중…"), QStringLiteral("editor.privacy.progress")));
        return;
    }
    if (model.item().textRegions.empty()) {
        recognition_->addWidget(
            recognizeButton(model, QStringLiteral("로컬 OCR 실행"), QStringLiteral("editor.privacy.recognize")), 0,
            Qt::AlignLeft);
        return;
    }
    auto *header = new QHBoxLayout;
    QLabel *count = InspectorParts::label(QStringLiteral("검토할 제안 %1개").arg(suggestions.size()),
                                          InspectorParts::font(12, QFont::DemiBold), Palette::text);
    count->setObjectName(QStringLiteral("editor.privacy.suggestionCount"));
    header->addWidget(count);
    header->addStretch();
    if (!suggestions.empty()) {
        auto *all = new QPushButton(QStringLiteral("모두 흐림 처리"));
        all->setObjectName(QStringLiteral("editor.privacy.blurAll"));
        all->setFont(InspectorParts::font(10, QFont::DemiBold));
        all->setCursor(Qt::PointingHandCursor);
        all->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; background: transparent; }")
                               .arg(Palette::accent.name()));
        connect(all, &QAbstractButton::clicked, &model, &EditorModel::blurAll);
        header->addWidget(all);
    }
    recognition_->addLayout(header);
    for (const PrivacySuggestion &suggestion : suggestions)
        recognition_->addWidget(suggestionCard(model, suggestion));
    if (suggestions.empty())
        recognition_->addWidget(
            InspectorParts::note(QStringLiteral("현재 검토할 제안이 없습니다. 놓친 정보가 없는지 직접 확인해 주세요."),
                                 InspectorParts::font(11), Palette::muted, 5));
}

} // namespace tarn
