// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LibraryPlaceholder.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppModel.h"
#include "app/widgets/Palette.h"

namespace tarn {

namespace {

QLabel *label(const QString &text, int pixelSize, const QColor &color, QWidget *parent)
{
    auto *view = new QLabel(text, parent);
    QFont font = view->font();
    font.setPixelSize(pixelSize);
    view->setFont(font);
    QPalette palette = view->palette();
    palette.setColor(QPalette::WindowText, color);
    view->setPalette(palette);
    view->setAlignment(Qt::AlignCenter);
    view->setWordWrap(true);
    return view;
}

} // namespace

LibraryPlaceholder::LibraryPlaceholder(AppModel &app, QWidget *parent)
    : QWidget(parent),
      app_(app),
      status_(label(app.status(), 13, Palette::muted, this)),
      summary_(label({}, 15, Palette::text, this))
{
    setAcceptDrops(true);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(label(QStringLiteral("Tarnwick"), 28, Palette::text, this));
    layout->addWidget(summary_);
    layout->addSpacing(12);
    layout->addWidget(status_);
    layout->addStretch();
    showSummary();
    connect(&app, &AppModel::statusChanged, status_, &QLabel::setText);
    connect(&app, &AppModel::itemsChanged, this, &LibraryPlaceholder::showSummary);
    connect(&app, &AppModel::libraryReadyChanged, this, &LibraryPlaceholder::showSummary);
    connect(&app, &AppModel::errorMessageChanged, this, &LibraryPlaceholder::showErrorAlert);
    if (app.errorMessage())
        showErrorAlert();
}

void LibraryPlaceholder::showSummary()
{
    summary_->setText(app_.libraryReady() ? QString::number(app_.activeCount()) + QStringLiteral("개 캡처")
                                          : QStringLiteral("라이브러리를 여는 중…"));
}

// One alert at a time; a new message while it is open replaces its text.
void LibraryPlaceholder::showErrorAlert()
{
    const std::optional<QString> message = app_.errorMessage();
    if (!message) {
        if (alert_)
            alert_->close();
        return;
    }
    if (!alert_) {
        alert_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Tarnwick"), {}, QMessageBox::NoButton, window());
        alert_->setAttribute(Qt::WA_DeleteOnClose);
        alert_->addButton(QStringLiteral("확인"), QMessageBox::RejectRole);
        connect(alert_, &QMessageBox::finished, this, [this] { app_.setErrorMessage(std::nullopt); });
    }
    alert_->setText(*message);
    alert_->open();
}

void LibraryPlaceholder::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void LibraryPlaceholder::dropEvent(QDropEvent *event)
{
    QStringList files;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(files);
}

} // namespace tarn
