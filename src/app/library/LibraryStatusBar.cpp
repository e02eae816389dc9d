// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/library/LibraryStatusBar.h"

#include <cmath>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include "app/library/ViewKit.h"
#include "app/widgets/DisplayFormat.h"
#include "app/widgets/Palette.h"
#include "app/widgets/TextMetrics.h"

namespace tarn {

namespace {

constexpr int spinnerSide = 13; // a mini spinner at 0.8 of its size
constexpr int spokes = 12;

QFont statusFont() { return ViewKit::font(10); }
QFont timeFont()
{
    QFont font = ViewKit::monoFont(10);
    return font;
}

// The status line, cut to one line with an ellipsis.
class StatusText : public QWidget {
public:
    explicit StatusText(const QString *text) : text_(text)
    {
        setFont(statusFont());
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        setFixedHeight(TextMetrics::lineHeight(font()));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(Palette::muted);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(QString(*text_).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                                                  Qt::ElideRight, width()));
    }

private:
    const QString *text_;
};

} // namespace

Spinner::Spinner(QWidget *parent) : QWidget(parent)
{
    setFixedSize(spinnerSide, spinnerSide);
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % spokes;
        update();
    });
}

void Spinner::showEvent(QShowEvent *event)
{
    timer_.start();
    QWidget::showEvent(event);
}

void Spinner::hideEvent(QHideEvent *event)
{
    timer_.stop();
    QWidget::hideEvent(event);
}

void Spinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = spinnerSide / 2.0;
    for (int spoke = 0; spoke < spokes; ++spoke) {
        const int age = (step_ - spoke + spokes) % spokes;
        painter.setPen(
            QPen(ViewKit::faded(Palette::muted, 1.0 - age / qreal(spokes)), 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -outer * 0.45), QPointF(0, -outer + 0.7));
        painter.rotate(360.0 / spokes);
    }
}

RecordingControl::RecordingControl(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::ArrowCursor);
    setAccessibleName(QStringLiteral("녹화 종료"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setSeconds(0);
}

void RecordingControl::setSeconds(double seconds)
{
    const QString time = DisplayFormat::duration(seconds);
    if (time == text())
        return;
    setText(time);
    updateGeometry();
    update();
}

QSize RecordingControl::sizeHint() const
{
    return {6 + 5 + QFontMetrics(timeFont()).horizontalAdvance(text()) + 5 + 10 + 2, 20};
}

void RecordingControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.setOpacity(0.7);
    const qreal middle = height() / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::coral);
    painter.drawEllipse(QRectF(1, middle - 3, 6, 6));
    painter.setFont(timeFont());
    painter.setPen(Palette::coral);
    const int timeWidth = QFontMetrics(timeFont()).horizontalAdvance(text());
    painter.drawText(QRectF(1 + 6 + 5, 0, timeWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    ViewKit::drawSymbol(painter, QPointF(1 + 6 + 5 + timeWidth + 5 + 5, middle), QStringLiteral("stop.fill"),
                        Palette::coral, 10);
}

LibraryStatusBar::LibraryStatusBar(QWidget *parent)
    : QWidget(parent),
      spinner_(new Spinner),
      shield_(new SymbolView(QStringLiteral("checkmark.shield"), Palette::teal, 10)),
      statusText_(new StatusText(&status_)),
      recording_(new RecordingControl),
      stats_(ViewKit::label(QString(), ViewKit::monoFont(9), ViewKit::faded(Palette::muted, 0.7)))
{
    setFixedHeight(barHeight);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(22, 0, 22, 0);
    row->setSpacing(8);
    row->addWidget(spinner_);
    row->addWidget(shield_);
    row->addWidget(statusText_, 1);
    row->addWidget(recording_);
    row->addWidget(stats_);
    statusText_->setObjectName(QStringLiteral("library.status"));
    stats_->setObjectName(QStringLiteral("library.stats"));
    spinner_->hide();
    recording_->hide();
    connect(recording_, &QAbstractButton::clicked, this, &LibraryStatusBar::recordingToggled);
}

void LibraryStatusBar::setBusy(bool busy)
{
    spinner_->setVisible(busy);
    shield_->setVisible(!busy);
}

bool LibraryStatusBar::showsSpinner() const { return !spinner_->isHidden(); }

void LibraryStatusBar::setStatus(const QString &status)
{
    status_ = status;
    statusText_->setToolTip(status);
    statusText_->update();
}

void LibraryStatusBar::setRecorder(RecordingService::State state, double seconds)
{
    recording_->setVisible(state != RecordingService::State::idle);
    recording_->setSeconds(seconds);
}

void LibraryStatusBar::setLibraryStats(const QString &stats) { stats_->setText(stats); }

QString LibraryStatusBar::libraryStats() const { return stats_->text(); }

void LibraryStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ViewKit::faded(Palette::sidebar, 0.6));
    painter.fillRect(QRect(0, 0, width(), 1), ViewKit::faded(Palette::border, 0.5));
}

} // namespace tarn
