// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/StorageSettingsPage.h"

#include <QDir>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/DisplayFormat.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TarnButtonStyle.h"

namespace tarn {

StorageSettingsPage::StorageSettingsPage(const QString &libraryRoot, QWidget *parent)
    : QWidget(parent),
      size_(SettingsLayout::text(QString(), 30, QFont::Medium, Palette::text)),
      count_(SettingsLayout::text(QString(), 11, QFont::Normal, Palette::muted)),
      path_(SettingsLayout::text(QDir::toNativeSeparators(libraryRoot), 10, QFont::Normal, Palette::muted, true)),
      library_(new TarnButton(QStringLiteral("라이브러리 폴더 열기"))),
      recordings_(new TarnButton(QStringLiteral("녹화 복구 폴더")))
{
    auto *figures = new QVBoxLayout;
    figures->setContentsMargins(0, 0, 0, 0);
    figures->setSpacing(7);
    figures->addWidget(size_);
    figures->addWidget(count_);
    auto *summary = new QWidget;
    auto *summaryRow = new QHBoxLayout(summary);
    summaryRow->setContentsMargins(0, 0, 0, 0);
    summaryRow->addLayout(figures);
    summaryRow->addStretch(1);
    summaryRow->addWidget(SettingsLayout::symbol(QStringLiteral("externaldrive.badge.checkmark"), Palette::teal, 35));

    path_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    path_->setWordWrap(true);
    path_->setCursor(Qt::IBeamCursor);

    auto *buttons = new QWidget;
    auto *buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addWidget(library_);
    buttonRow->addWidget(recordings_);
    buttonRow->addStretch(1);

    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(20);
    stack->addWidget(SettingsLayout::settingsGroup(QStringLiteral("이 컴퓨터에만 저장"),
                                                   {summary, SettingsLayout::divider(), path_, buttons}));
    stack->addWidget(SettingsLayout::note(
        QStringLiteral(
            "원본은 편집해도 유지됩니다. 휴지통은 소프트 삭제이며 자동으로 비워지지 않습니다. 백업하려면 앱을 "
            "종료한 뒤 라이브러리 폴더 전체를 복사하세요. 이 폴더에는 마스킹 전 원본과 OCR 텍스트도 들어 "
            "있습니다."),
        11, 6, Palette::muted));

    const QString root = libraryRoot;
    connect(library_, &QPushButton::clicked, this, [this, root] { Q_EMIT folderRequested(root); });
    connect(recordings_, &QPushButton::clicked, this,
            [this, root] { Q_EMIT folderRequested(QDir(root).filePath(QStringLiteral("Recordings"))); });
}

QString StorageSettingsPage::countLine(int itemCount)
{
    return QStringLiteral("원본 파일 크기 · 휴지통 포함 %1개").arg(itemCount);
}

void StorageSettingsPage::setSummary(qint64 storedBytes, int itemCount)
{
    size_->setText(DisplayFormat::byteCount(storedBytes));
    count_->setText(countLine(itemCount));
}

} // namespace tarn
