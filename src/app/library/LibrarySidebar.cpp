// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibrarySidebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "app/library/LibraryPresenter.h"
#include "app/library/ViewKit.h"
#include "app/widgets/Dot.h"
#include "app/widgets/Eyebrow.h"
#include "app/widgets/FocusRing.h"
#include "app/widgets/Palette.h"

namespace tarn {

namespace {

constexpr int symbolSize = 14;
constexpr int symbolFrame = 19;
constexpr int labelSpacing = 11;
// A section row's plate (and the ring of the keyboard's focus) within the row.
const QMarginsF plateInset(14, 2, 14, 2);

// A widget wrapped in margins, for the sidebar's padded pieces.
QWidget *padded(QWidget *content, int left, int top, int right, int bottom)
{
    auto *frame = new QWidget;
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(0);
    layout->addWidget(content);
    return frame;
}

// Room between pieces of the column: `preferred` pixels while the window is tall enough, giving
// way down to `least` at the window's smallest height before any line of text has to.
void addRoom(QVBoxLayout *column, int preferred, int least)
{
    column->addSpacing(least);
    column->addSpacerItem(new QSpacerItem(0, preferred - least, QSizePolicy::Minimum, QSizePolicy::Preferred));
}

// The accent tile of the brand with the viewfinder mark.
class BrandMark : public QWidget {
public:
    BrandMark() { setFixedSize(38, 38); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ViewKit::roundedRect(QRectF(rect()), 11), Palette::accent);
        ViewKit::drawSymbol(painter, QRectF(rect()).center(), QStringLiteral("viewfinder"), Palette::sidebar, 23);
    }
};

} // namespace

SectionRow::SectionRow(LibrarySection section, QWidget *parent) : QAbstractButton(parent), section_(section)
{
    setFixedHeight(46);
    setText(LibraryPresenter::title(section));
    setCursor(Qt::ArrowCursor);
    FocusRing::insetFor(*this, plateInset.toMargins());
}

void SectionRow::setCount(int count)
{
    if (count == count_)
        return;
    count_ = count;
    update();
}

void SectionRow::setSelected(bool selected)
{
    if (selected == selected_)
        return;
    selected_ = selected;
    update();
}

void SectionRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.setOpacity(0.7);
    const QRectF plate = QRectF(rect()).marginsRemoved(plateInset);
    if (selected_)
        painter.fillPath(ViewKit::roundedRect(plate, 9), ViewKit::faded(Palette::accent, 0.07));
    const QColor foreground = selected_ ? Palette::accent : Palette::muted;
    const QRectF label = plate.adjusted(13, 0, -13, 0);
    ViewKit::drawSymbol(painter, QPointF(label.left() + symbolFrame / 2.0, label.center().y()),
                        LibraryPresenter::symbol(section_), foreground, symbolSize);

    qreal right = label.right();
    if (count_ >= 1) {
        const QFont countFont = ViewKit::monoFont(10, QFont::Medium);
        const QString number = QString::number(count_);
        const QFontMetricsF metrics(countFont);
        const QSizeF badgeSize(metrics.horizontalAdvance(number) + 14, metrics.height() + 6);
        const QRectF badge(right - badgeSize.width(), label.center().y() - badgeSize.height() / 2, badgeSize.width(),
                           badgeSize.height());
        painter.fillPath(ViewKit::roundedRect(badge, 5),
                         selected_ ? ViewKit::faded(Palette::accent, 0.12) : QColor(255, 255, 255, 10));
        painter.setFont(countFont);
        painter.setPen(foreground);
        painter.drawText(badge, Qt::AlignCenter, number);
        right = badge.left() - 8;
    }
    const qreal textLeft = label.left() + symbolFrame + labelSpacing;
    painter.setFont(ViewKit::font(12, selected_ ? QFont::DemiBold : QFont::Normal));
    painter.setPen(foreground);
    painter.drawText(QRectF(textLeft, label.top(), right - textLeft, label.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     text());
}

ToolRow::ToolRow(const QString &title, const QString &symbol, const QString &shortcut, QWidget *parent)
    : QAbstractButton(parent),
      symbol_(symbol),
      shortcut_(shortcut)
{
    setText(title);
    setFixedHeight(40);
    setCursor(Qt::ArrowCursor);
    FocusRing::insetFor(*this, plateInset.toMargins()); // its face lines up with the sections' plates
}

void ToolRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.setOpacity(0.7);
    const QRectF label = QRectF(rect()).adjusted(27, 0, -27, 0);
    ViewKit::drawSymbol(painter, QPointF(label.left() + symbolFrame / 2.0, label.center().y()), symbol_, Palette::muted,
                        symbolSize);
    painter.setPen(Palette::muted);
    painter.setFont(ViewKit::font(12));
    painter.drawText(label.adjusted(symbolFrame + labelSpacing, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
    if (!shortcut_.isEmpty()) {
        painter.setOpacity(painter.opacity() * 0.65);
        painter.setFont(ViewKit::keyHintFont());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, shortcut_);
    }
}

LibrarySidebar::LibrarySidebar(QWidget *parent) : QWidget(parent)
{
    setFixedWidth(columnWidth);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(padded(makeBrand(), 23, 49 - ViewKit::titleBarInset, 23, 0));
    addRoom(column, 38, 24);
    column->addWidget(padded(new Eyebrow(QStringLiteral("WORKSPACE"), Palette::muted), 27, 0, 27, 13));
    for (LibrarySection section :
         {LibrarySection::all, LibrarySection::images, LibrarySection::videos, LibrarySection::favorites})
        column->addWidget(makeRow(section));
    auto *hairline = new Plate(0, ViewKit::faded(Palette::border, 0.65));
    hairline->setFixedHeight(1);
    addRoom(column, 24, 14);
    column->addWidget(padded(hairline, 25, 0, 25, 0));
    addRoom(column, 24, 14);
    column->addWidget(padded(new Eyebrow(QStringLiteral("TOOLS"), Palette::muted), 27, 0, 27, 13));

    auto *text =
        new ToolRow(QStringLiteral("텍스트 추출"), QStringLiteral("text.viewfinder"), QStringLiteral("Ctrl+Shift+5"));
    auto *import = new ToolRow(QStringLiteral("파일 가져오기"), QStringLiteral("square.and.arrow.down"), QString());
    auto *shortcuts = new ToolRow(QStringLiteral("단축키 가이드"), QStringLiteral("command"), QString());
    column->addWidget(text);
    column->addWidget(import);
    column->addWidget(shortcuts);
    connect(text, &QAbstractButton::clicked, this, &LibrarySidebar::textCaptureRequested);
    connect(import, &QAbstractButton::clicked, this, &LibrarySidebar::importFilesRequested);
    connect(shortcuts, &QAbstractButton::clicked, this, [this] { Q_EMIT sheetRequested(AppSheet::shortcuts); });

    // The flexible room keeps a gap of the default spacing even at the smallest height.
    column->addSpacing(8);
    column->addStretch(1);
    column->addWidget(padded(makePrivacyCard(), 18, 0, 18, 20));
    column->addWidget(makeRow(LibrarySection::trash));
    column->addWidget(padded(makeFooter(), 27, 16, 27, 20));
    setSection(LibrarySection::all);
}

SectionRow *LibrarySidebar::makeRow(LibrarySection section)
{
    auto *row = new SectionRow(section);
    rows_[size_t(section)] = row;
    connect(row, &QAbstractButton::clicked, this, [this, section] { Q_EMIT sectionChosen(section); });
    return row;
}

QWidget *LibrarySidebar::makeBrand()
{
    auto *brand = new QWidget;
    auto *row = new QHBoxLayout(brand);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(new BrandMark);
    auto *names = new QVBoxLayout;
    names->setSpacing(2);
    QFont nameFont = ViewKit::font(20, QFont::Bold);
    nameFont.setLetterSpacing(QFont::AbsoluteSpacing, -0.6);
    names->addWidget(ViewKit::label(QStringLiteral("Tarnwick"), nameFont, Palette::text));
    QFont tagFont = ViewKit::monoFont(7, QFont::Medium);
    tagFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    names->addWidget(ViewKit::label(QStringLiteral("A LITTLE MORE CLARITY"), tagFont, Palette::muted));
    row->addLayout(names);
    row->addStretch(1);
    return brand;
}

QWidget *LibrarySidebar::makePrivacyCard()
{
    auto *card = new Plate(12, ViewKit::faded(Palette::surface, 0.55), ViewKit::faded(Palette::border, 0.55));
    auto *column = new QVBoxLayout(card);
    column->setContentsMargins(17, 17, 17, 17);
    column->setSpacing(10);
    auto *eyebrow = new QHBoxLayout;
    eyebrow->setSpacing(6);
    eyebrow->addWidget(new Dot(5, Palette::teal), 0, Qt::AlignVCenter);
    eyebrow->addWidget(new Eyebrow(QStringLiteral("LOCAL, BY DESIGN"), Palette::teal));
    eyebrow->addStretch(1);
    column->addLayout(eyebrow);
    column->addWidget(new SpacedText(QStringLiteral("당신의 화면은,\n당신의 컴퓨터 안에."),
                                     ViewKit::font(13, QFont::Medium), Palette::text, 4));
    column->addWidget(ViewKit::label(QStringLiteral("자동 업로드 · 추적 SDK 없음"), ViewKit::font(10), Palette::muted));
    return card;
}

QWidget *LibrarySidebar::makeFooter()
{
    auto *footer = new QWidget;
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    auto *settings =
        new PlainButton(QStringLiteral("설정"), QStringLiteral("gearshape"), ViewKit::font(12), Palette::muted);
    row->addWidget(settings);
    row->addStretch(1);
    row->addWidget(ViewKit::label(QStringLiteral("PREVIEW 0.1"), ViewKit::monoFont(8, QFont::Medium),
                                  ViewKit::faded(Palette::muted, 0.65)));
    connect(settings, &QAbstractButton::clicked, this, [this] { Q_EMIT sheetRequested(AppSheet::settings); });
    return footer;
}

void LibrarySidebar::setItems(const std::vector<CaptureItem> &items)
{
    for (SectionRow *row : rows_)
        row->setCount(LibraryPresenter::count(row->section(), items));
}

void LibrarySidebar::setSection(LibrarySection section)
{
    for (SectionRow *row : rows_)
        row->setSelected(row->section() == section);
}

void LibrarySidebar::paintEvent(QPaintEvent *) { QPainter(this).fillRect(rect(), Palette::sidebar); }

} // namespace tarn
