// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/WindowPickerView.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "app/settings/SettingsLayout.h"
#include "app/settings/WindowSearch.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TextMetrics.h"
#include "app/widgets/Theme.h"
#include "platform/ScreenSource.h"

namespace tarn {
namespace {

constexpr int rowPadding = 13;
constexpr int rowSpacing = 13;

QString titleOf(const ShareableWindow &window)
{
    return window.title.isEmpty() ? QStringLiteral("윈도우") : window.title;
}

QString applicationOf(const ShareableWindow &window)
{
    return window.applicationName.isEmpty() ? QStringLiteral("앱") : window.applicationName;
}

} // namespace

WindowRow::WindowRow(ShareableWindow window, QImage icon, QWidget *parent)
    : QAbstractButton(parent),
      window_(std::move(window)),
      icon_(std::move(icon))
{
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(titleOf(window_));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize WindowRow::sizeHint() const
{
    const int texts = TextMetrics::lineHeight(SettingsLayout::font(12, QFont::Medium)) + 5 +
        TextMetrics::lineHeight(SettingsLayout::font(10));
    return {200, 2 * rowPadding + std::max(WindowPickerView::iconSize, texts)};
}

void WindowRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(isDown() ? 0.7 : 1.0);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()), 9, 9);
    painter.fillPath(plate, Palette::surface);

    const QRect inner = rect().adjusted(rowPadding, rowPadding, -rowPadding, -rowPadding);
    const int side = WindowPickerView::iconSize;
    const QRect iconRect(inner.left(), inner.center().y() - side / 2 + 1, side, side);
    if (!icon_.isNull()) {
        painter.drawImage(iconRect, icon_);
    } else {
        const qreal ratio = devicePixelRatioF();
        const QImage symbol = Theme::symbolImage(QStringLiteral("macwindow"), Palette::text, 25, ratio);
        painter.drawImage(QPointF(iconRect.center().x() - 12.5 + 0.5, iconRect.center().y() - 12.5 + 0.5), symbol);
    }

    const QImage expand = Theme::symbolImage(QStringLiteral("arrow.up.left.and.arrow.down.right"), Palette::teal, 11,
                                             devicePixelRatioF());
    const QPointF expandAt(inner.right() + 1 - 11, inner.center().y() - 5);
    painter.drawImage(expandAt, expand);

    const QFont titleFont = SettingsLayout::font(12, QFont::Medium);
    const QFont appFont = SettingsLayout::font(10);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics appMetrics(appFont);
    const int textLeft = iconRect.right() + 1 + rowSpacing;
    const int textWidth = int(expandAt.x()) - rowSpacing - textLeft;
    const int titleHeight = TextMetrics::lineHeight(titleFont);
    const int appHeight = TextMetrics::lineHeight(appFont);
    const int textsHeight = titleHeight + 5 + appHeight;
    const int top = inner.center().y() - textsHeight / 2 + 1;
    painter.setFont(titleFont);
    painter.setPen(Palette::text);
    painter.drawText(QRect(textLeft, top, textWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(titleOf(window_), Qt::ElideRight, textWidth));
    painter.setFont(appFont);
    painter.setPen(Palette::muted);
    painter.drawText(QRect(textLeft, top + titleHeight + 5, textWidth, appHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     appMetrics.elidedText(applicationOf(window_), Qt::ElideRight, textWidth));
}

WindowPickerView::WindowPickerView(std::vector<ShareableWindow> windows, ScreenSource *icons, QWidget *parent)
    : SheetDialog(QStringLiteral("어떤 윈도우를 담을까요?"), QStringLiteral("창을 선택하면 원래 해상도로 캡처합니다."),
                  width, height, parent),
      iconSource_(icons),
      search_(new QLineEdit),
      list_(new QWidget),
      empty_(SettingsLayout::text(QStringLiteral("캡처할 윈도우가 없습니다. 다른 앱의 창을 열어 주세요."), 12,
                                  QFont::Normal, Palette::muted))
{
    search_->setPlaceholderText(QStringLiteral("윈도우 또는 앱 이름 검색"));
    search_->setClearButtonEnabled(false);
    search_->setFont(SettingsLayout::font(13));
    search_->setStyleSheet(
        QStringLiteral("QLineEdit { background: %1; color: %2; border: 1px solid %3; border-radius: 6px;"
                       " padding: 5px 8px; selection-background-color: %4; }"
                       "QLineEdit:focus { border-color: %4; }")
            .arg(Palette::surface.name(), Palette::text.name(), Palette::border.name(), Palette::teal.name()));
    auto *searchRow = new QVBoxLayout;
    searchRow->setContentsMargins(28, 0, 28, 15);
    searchRow->addWidget(search_);
    content()->addLayout(searchRow);

    auto *rows = new QVBoxLayout(list_);
    rows->setContentsMargins(28, 0, 28, 25);
    rows->setSpacing(8);
    rows->addStretch(1);
    content()->addWidget(SettingsLayout::scrollArea(list_), 1);

    empty_->setContentsMargins(28, 28, 28, 28);
    empty_->setWordWrap(true);
    content()->addWidget(empty_);

    setWindows(std::move(windows));
    connect(search_, &QLineEdit::textChanged, this, &WindowPickerView::rebuildRows);
}

QImage WindowPickerView::iconFor(const ShareableWindow &window, ScreenSource *source)
{
    const qreal ratio = qApp->devicePixelRatio();
    const int pixels = qRound(iconSize * ratio);
    if (source) {
        const QImage own = source->windowIcon(window.windowID, pixels);
        if (!own.isNull())
            return own;
    }
    if (window.applicationName.isEmpty())
        return {};
    for (const QString &name : {window.applicationName.toLower(), window.applicationName}) {
        const QIcon themed = QIcon::fromTheme(name);
        if (!themed.isNull())
            return themed.pixmap(QSize(iconSize, iconSize), ratio).toImage();
    }
    return {};
}

void WindowPickerView::setWindows(std::vector<ShareableWindow> windows)
{
    windows_ = std::move(windows);
    icons_.clear();
    for (const ShareableWindow &window : windows_)
        icons_.push_back(iconFor(window, iconSource_));
    empty_->setVisible(windows_.empty());
    rebuildRows();
}

void WindowPickerView::rebuildRows()
{
    auto *rows = static_cast<QVBoxLayout *>(list_->layout());
    for (WindowRow *row : this->rows())
        delete row;
    const QString search = search_->text();
    int at = 0;
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (!WindowSearch::matches(windows_[i], search))
            continue;
        auto *row = new WindowRow(windows_[i], icons_[i]);
        connect(row, &QAbstractButton::clicked, this, [this, row] { Q_EMIT windowChosen(row->window()); });
        rows->insertWidget(at++, row);
    }
}

std::vector<WindowRow *> WindowPickerView::rows() const
{
    std::vector<WindowRow *> result;
    auto *layout = list_->layout();
    for (int i = 0; i < layout->count(); ++i)
        if (auto *row = qobject_cast<WindowRow *>(layout->itemAt(i)->widget()))
            result.push_back(row);
    return result;
}

bool WindowPickerView::showsEmptyMessage() const { return !empty_->isHidden(); }

} // namespace tarn
