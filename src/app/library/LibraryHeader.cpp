// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibraryHeader.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/library/LibraryPresenter.h"
#include "app/library/ViewKit.h"
#include "app/widgets/Eyebrow.h"
#include "app/widgets/IconButton.h"
#include "app/widgets/Keycap.h"
#include "app/widgets/Palette.h"

namespace tarn {

namespace {

// The teal "DEMO" marker beside the title.
class DemoMarker : public QLabel {
public:
    DemoMarker() : QLabel(QStringLiteral("DEMO"))
    {
        setFont(ViewKit::monoFont(9, QFont::Bold));
        setContentsMargins(5, 5, 5, 5);
        QPalette colors = palette();
        colors.setColor(QPalette::WindowText, Palette::teal);
        setPalette(colors);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillPath(ViewKit::roundedRect(QRectF(rect()), 4), ViewKit::faded(Palette::teal, 0.08));
        }
        QLabel::paintEvent(event);
    }
};

} // namespace

SearchBox::SearchBox(QWidget *parent) : QWidget(parent), field_(new QLineEdit), accessory_(new QStackedWidget)
{
    setFixedSize(boxWidth, boxHeight);
    setToolTip(QStringLiteral("단어, \"정확한 구문\", tag:태그, type:image, before:2026-01-01, -제외어"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 0, 12, 0);
    row->setSpacing(8);
    row->addWidget(new SymbolView(QStringLiteral("magnifyingglass"), Palette::muted, 12));

    field_->setObjectName(QStringLiteral("library.search"));
    field_->setFrame(false);
    field_->setFont(ViewKit::font(12));
    field_->setPlaceholderText(QStringLiteral("캡처, OCR 텍스트 검색"));
    field_->setAcceptDrops(false); // dropped files are imports, not search text
    QPalette colors = field_->palette();
    colors.setColor(QPalette::Base, Qt::transparent);
    colors.setColor(QPalette::Text, Palette::text);
    colors.setColor(QPalette::PlaceholderText, Palette::muted);
    field_->setPalette(colors);
    row->addWidget(field_, 1);

    accessory_->addWidget(new Keycap(QStringLiteral("Ctrl+F")));
    auto *clear = new PlainButton(QString(), QStringLiteral("xmark.circle.fill"), ViewKit::font(12), Palette::muted);
    clear->setObjectName(QStringLiteral("library.clearSearch"));
    clear->setAccessibleName(QStringLiteral("검색어 지우기"));
    clear->setFocusPolicy(Qt::NoFocus); // clearing leaves the focus where it was
    accessory_->addWidget(clear);
    accessory_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(accessory_);

    connect(field_, &QLineEdit::textEdited, this, [this](const QString &text) {
        showAccessory();
        Q_EMIT edited(text);
    });
    connect(clear, &QAbstractButton::clicked, this, &SearchBox::clearText);
    field_->installEventFilter(this);
    showAccessory();
}

void SearchBox::clearText()
{
    field_->clear();
    showAccessory();
    Q_EMIT edited(QString());
}

// Escape in the field does what the clear button does; the keyboard stays in the field.
bool SearchBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && !field_->text().isEmpty()) {
        clearText();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchBox::setText(const QString &text)
{
    if (field_->text() != text)
        field_->setText(text);
    showAccessory();
}

bool SearchBox::showsClearButton() const { return accessory_->currentIndex() == 1; }

void SearchBox::showAccessory()
{
    accessory_->setCurrentIndex(field_->text().isEmpty() ? 0 : 1);
    accessory_->setFixedSize(accessory_->currentWidget()->sizeHint());
}

void SearchBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = ViewKit::roundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 9);
    painter.fillPath(shape, Palette::surface);
    painter.setPen(QPen(Palette::border, 1));
    painter.drawPath(shape);
}

LibraryHeader::LibraryHeader(bool isDemo, QWidget *parent) : QWidget(parent), search_(new SearchBox)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(32, 40 - ViewKit::titleBarInset, 32, 28);
    auto *names = new QVBoxLayout;
    names->setSpacing(5);
    names->addWidget(new Eyebrow(QStringLiteral("YOUR CAPTURE STUDIO"), Palette::muted));
    auto *titleRow = new QHBoxLayout;
    titleRow->setSpacing(9);
    QFont titleFont = ViewKit::font(24, QFont::DemiBold);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, -0.6);
    title_ = ViewKit::label(QString(), titleFont, Palette::text);
    title_->setObjectName(QStringLiteral("library.title"));
    titleRow->addWidget(title_);
    if (isDemo)
        titleRow->addWidget(new DemoMarker, 0, Qt::AlignVCenter);
    titleRow->addStretch(1);
    names->addLayout(titleRow);
    row->addLayout(names);
    row->addStretch(1);
    row->addWidget(search_, 0, Qt::AlignVCenter);
    row->addSpacing(8);
    auto *settings = new IconButton(QStringLiteral("slider.horizontal.3"), QStringLiteral("설정"));
    row->addWidget(settings, 0, Qt::AlignVCenter);

    connect(search_, &SearchBox::edited, this, &LibraryHeader::searchEdited);
    connect(settings, &QAbstractButton::clicked, this, &LibraryHeader::settingsRequested);
    setSection(LibrarySection::all);
}

void LibraryHeader::setSection(LibrarySection section) { title_->setText(LibraryPresenter::title(section)); }

void LibraryHeader::setSearchText(const QString &text) { search_->setText(text); }

void LibraryHeader::focusSearch() { search_->field()->setFocus(Qt::ShortcutFocusReason); }

QString LibraryHeader::title() const { return title_->text(); }

} // namespace tarn
