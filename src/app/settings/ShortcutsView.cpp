// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/ShortcutsView.h"

#include <QHBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/Keycap.h"
#include "app/widgets/Palette.h"

namespace tarn {
namespace {

QWidget *shortcutRow(const QString &label, int pixelSize, const QString &keys)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(SettingsLayout::text(label, pixelSize, QFont::Normal, Palette::text));
    layout->addStretch(1);
    layout->addWidget(new Keycap(keys));
    return row;
}

} // namespace

QStringList ShortcutsView::globalLabels()
{
    return {QStringLiteral("영역 캡처"), QStringLiteral("윈도우 캡처"), QStringLiteral("전체 화면"),
            QStringLiteral("녹화 시작 / 종료"), QStringLiteral("영역 텍스트 추출")};
}

QString ShortcutsView::globalKeys(int position) { return QStringLiteral("Ctrl+Shift+%1").arg(position); }

ShortcutsView::ShortcutsView(QWidget *parent)
    : SheetDialog(QStringLiteral("손끝에서, 바로."),
                  QStringLiteral("전역 단축키 · 기본 시스템 캡처 키와 분리했습니다."), width, std::nullopt, parent)
{
    auto *card = new SettingsLayout::Card(12, 24, 17);
    const QStringList labels = globalLabels();
    for (int i = 0; i < labels.size(); ++i)
        card->add(shortcutRow(labels[i], 13, globalKeys(i + 1)));
    card->add(SettingsLayout::divider());
    card->add(shortcutRow(QStringLiteral("라이브러리 검색"), 12, QStringLiteral("Ctrl+F")));
    card->add(shortcutRow(QStringLiteral("편집 저장 / 실행 취소"), 12, QStringLiteral("Ctrl+S / Ctrl+Z")));
    card->add(shortcutRow(QStringLiteral("편집 이미지 복사 / 내보내기"), 12, QStringLiteral("Ctrl+C / Ctrl+Shift+S")));

    auto *cardRow = new QVBoxLayout;
    cardRow->setContentsMargins(28, 0, 28, 0);
    cardRow->addWidget(card);
    content()->addLayout(cardRow);

    footnote_ = SettingsLayout::note(canvasKeys(), 11, 6, Palette::muted);
    footnote_->setContentsMargins(28, 28, 28, 28);
    content()->addWidget(footnote_);
}

// A line may break at the dots between the keys, never between a key and its tool: each pair is
// held together by a no-break space (U+00A0).
QString ShortcutsView::canvasKeys()
{
    return QStringLiteral("편집 캔버스에 포커스가 있을 때: A\u00A0화살표 · R\u00A0사각형 · E\u00A0타원 · "
                          "P\u00A0펜 · T\u00A0텍스트 · N\u00A0번호 · H\u00A0형광펜 · X\u00A0마스킹 · "
                          "C\u00A0자르기 · V\u00A0선택");
}

} // namespace tarn
