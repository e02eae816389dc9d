// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/SettingsView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>

#include "app/settings/SettingsLayout.h"
#include "app/widgets/FolderLink.h"
#include "app/widgets/Palette.h"

namespace tarn {
namespace {

// A section tab: medium 12-pixel text, accent on a faint accent plate when selected.
class SettingsTab : public QAbstractButton {
public:
    explicit SettingsTab(const QString &text)
    {
        setText(text);
        setFont(SettingsLayout::font(12, QFont::Medium));
        setCheckable(true);
        setAutoExclusive(true);
        setCursor(Qt::PointingHandCursor);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text()) + 40, metrics.height() + 20};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (isChecked()) {
            QPainterPath plate;
            plate.addRoundedRect(QRectF(rect()), 8, 8);
            QColor fill = Palette::accent;
            fill.setAlphaF(0.08);
            painter.fillPath(plate, fill);
        }
        painter.setPen(isChecked() ? Palette::accent : Palette::muted);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

const std::array<QString, 4> tabLabels = {QStringLiteral("일반"), QStringLiteral("캡처"), QStringLiteral("녹화"),
                                          QStringLiteral("저장 공간")};

} // namespace

SettingsView::SettingsView(std::unique_ptr<LoginItemService> loginItems, const QString &version,
                           const QString &libraryRoot, QWidget *parent)
    : SheetDialog(QStringLiteral("설정"), QStringLiteral("작업 방식에 맞게, 필요한 것만."), width, height, parent),
      loginItems_(std::move(loginItems)),
      general_(new GeneralSettingsPage),
      capture_(new CaptureSettingsPage),
      recording_(new RecordingSettingsPage),
      storage_(new StorageSettingsPage(libraryRoot))
{
    content()->addWidget(tabBar());

    auto *pages = new QWidget;
    auto *stack = new QVBoxLayout(pages);
    stack->setContentsMargins(28, 0, 28, 28);
    stack->setSpacing(22);
    for (QWidget *page : {static_cast<QWidget *>(general_), static_cast<QWidget *>(capture_),
                          static_cast<QWidget *>(recording_), static_cast<QWidget *>(storage_)})
        stack->addWidget(page);
    stack->addStretch(1);
    scroll_ = SettingsLayout::scrollArea(pages);
    content()->addWidget(scroll_, 1);
    content()->addWidget(footer(version));

    setSelection(0);
    connect(general_->launchAtLogin(), &QAbstractButton::clicked, this, &SettingsView::setLaunchAtLogin);
    connect(storage_, &StorageSettingsPage::folderRequested, this, [this](const QString &path) {
        if (const std::optional<QString> failure = FolderLink::open(path))
            Q_EMIT failed(*failure);
    });
}

QWidget *SettingsView::tabBar()
{
    auto *bar = new QWidget;
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(28, 0, 28, 20);
    row->setSpacing(4);
    for (int index = 0; index < int(tabLabels.size()); ++index) {
        auto *tab = new SettingsTab(tabLabels[index]);
        connect(tab, &QAbstractButton::clicked, this, [this, index] { setSelection(index); });
        row->addWidget(tab);
        tabs_[index] = tab;
    }
    row->addStretch(1);
    return bar;
}

QString SettingsView::footerText(const QString &version)
{
    return QStringLiteral("Tarnwick ") + version + QStringLiteral(" · 개발 미리보기");
}

QWidget *SettingsView::footer(const QString &version)
{
    auto *bar = new QWidget;
    bar->setAutoFillBackground(true);
    QPalette colors = bar->palette();
    colors.setColor(QPalette::Window, Palette::sidebar);
    bar->setPalette(colors);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(20, 20, 20, 20);
    row->addWidget(SettingsLayout::text(footerText(version), 10, QFont::Normal, Palette::muted));
    row->addStretch(1);
    row->addWidget(SettingsLayout::labelled(QStringLiteral("lock.shield"), QStringLiteral("100% LOCAL WORKFLOW"), 9,
                                            Palette::teal, true));
    return bar;
}

void SettingsView::setSelection(int index)
{
    selection_ = index;
    const int shown = index >= 0 && index <= 2 ? index : 3;
    tabs_[shown]->setChecked(true);
    general_->setVisible(shown == 0);
    capture_->setVisible(shown == 1);
    recording_->setVisible(shown == 2);
    storage_->setVisible(shown == 3);
    // The tabs share one scroll area: each opens at its top, not where the last one was left.
    scroll_->verticalScrollBar()->setValue(0);
}

QWidget *SettingsView::currentPage() const
{
    for (QWidget *page : {static_cast<QWidget *>(general_), static_cast<QWidget *>(capture_),
                          static_cast<QWidget *>(recording_), static_cast<QWidget *>(storage_)})
        if (!page->isHidden())
            return page;
    return nullptr;
}

void SettingsView::refreshLaunchAtLogin()
{
    launchAtLogin_ = loginItems_->status() == LoginItemService::Status::enabled;
    general_->launchAtLogin()->setChecked(launchAtLogin_);
}

void SettingsView::setLaunchAtLogin(bool value)
{
    try {
        if (value)
            loginItems_->registerItem();
        else
            loginItems_->unregisterItem();
    } catch (const Failure &failure) {
        general_->launchAtLogin()->setChecked(launchAtLogin_);
        Q_EMIT failed(failure.description());
        return;
    }
    const LoginItemService::Status status = loginItems_->status();
    launchAtLogin_ = status == LoginItemService::Status::enabled;
    general_->launchAtLogin()->setChecked(launchAtLogin_);
    if (status == LoginItemService::Status::requiresApproval)
        loginItems_->openSystemSettings();
}

void SettingsView::showEvent(QShowEvent *event)
{
    refreshLaunchAtLogin();
    SheetDialog::showEvent(event);
}

} // namespace tarn
