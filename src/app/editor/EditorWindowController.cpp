// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorWindowController.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QPushButton>

#include "app/editor/EditorModel.h"
#include "app/editor/EditorView.h"
#include "app/flows/TaskCancellation.h"
#include "app/widgets/ContentSize.h"
#include "app/widgets/ErrorDescription.h"
#include "app/widgets/MenuResponder.h"
#include "app/widgets/PointSize.h"
#include "app/widgets/WindowPlacement.h"

namespace tarn {

// The editor's top-level window: its close requests go to the controller's check, and the
// menu's save, export, undo, redo and copy reach the controller through it while it is active
// and no text field before it takes them.
class EditorWindow : public QMainWindow, public MenuResponder {
public:
    explicit EditorWindow(EditorWindowController &controller) : controller_(&controller) { }

    bool answers(ResponderAction action) const override
    {
        switch (action) {
        case ResponderAction::save:
        case ResponderAction::exportImage:
        case ResponderAction::undo:
        case ResponderAction::redo:
        case ResponderAction::copy:
            return controller_ != nullptr;
        default:
            return false;
        }
    }

    void perform(ResponderAction action) override
    {
        if (!controller_)
            return;
        switch (action) {
        case ResponderAction::save:
            controller_->saveDocument();
            break;
        case ResponderAction::exportImage:
            controller_->exportDocument();
            break;
        case ResponderAction::undo:
            controller_->undo();
            break;
        case ResponderAction::redo:
            controller_->redo();
            break;
        case ResponderAction::copy:
            controller_->copy();
            break;
        default:
            break;
        }
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (controller_ && !controller_->closingDirectly_ && !controller_->windowShouldClose()) {
            event->ignore();
            return;
        }
        event->accept();
        if (controller_)
            controller_->windowWillClose();
    }

private:
    QPointer<EditorWindowController> controller_;
};

QString EditorWindowController::closeRefusedMessage()
{
    return QStringLiteral("저장 또는 이미지 처리가 완료된 후 닫아 주세요.");
}

QString EditorWindowController::windowTitle(const QString &captureTitle)
{
    return captureTitle + QStringLiteral(" — Tarnwick");
}

EditorWindowController::EditorWindowController(CaptureItem item, QImage image, EditorHost &host, QObject *parent)
    : EditorController(parent),
      model_(std::make_unique<EditorModel>(std::move(item), std::move(image), host))
{
    auto window = std::make_unique<EditorWindow>(*this);
    model_->windowController = this;
    window->setObjectName(QStringLiteral("editor.window"));
    window->setWindowTitle(windowTitle(QString::fromStdString(model_->item().title)));
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.06f, 0.08f, 0.11f));
    window->setPalette(palette);
    ContentSize::keep(*window, minimumContentSize, contentSize);

    window->setCentralWidget(new EditorView(*model_, window.get()));
    PointSize::keepAcrossScreens(window.get());

    window_ = std::move(window);
    centreOn(nullptr);
    // Queued: a failed save ends before its error is set, and the error is part of its end.
    for (auto change : {&EditorModel::isSavingChanged, &EditorModel::isExportingChanged})
        connect(model_.get(), change, this, &EditorWindowController::workChanged, Qt::QueuedConnection);
    connect(model_.get(), &EditorModel::errorMessageChanged, this, &EditorWindowController::workChanged,
            Qt::QueuedConnection);
}

void EditorWindowController::centreOn(QScreen *screen) { WindowPlacement::centreOn(window_.get(), screen); }

// The window goes before the model its views read. It is hidden first, while every view is
// whole: an open popover closes with it and ends its control edit, which the views then show.
EditorWindowController::~EditorWindowController()
{
    if (sheet_)
        delete sheet_.data();
    window_->hide();
    window_.reset();
}

Uuid EditorWindowController::itemId() const { return model_->item().id; }
bool EditorWindowController::hasUnsavedEdits() const { return model_->isDirty(); }
bool EditorWindowController::isSaving() const { return model_->isSaving(); }
bool EditorWindowController::isExporting() const { return model_->isExporting(); }
void EditorWindowController::setMessage(const QString &message) { model_->setMessage(message); }
void EditorWindowController::takeRecognition(const CaptureItem &recognized) { model_->takeRecognition(recognized); }

// ---- closing --------------------------------------------------------------------------------

// A running recognition does not hold the window: its result still reaches the library.
bool EditorWindowController::windowShouldClose()
{
    if (model_->isSaving() || model_->isExporting()) {
        model_->setMessage(closeRefusedMessage());
        return false;
    }
    if (sheet_)
        return false;
    if (allowClose_ || !model_->isDirty())
        return true;
    askAboutUnsavedEdits();
    return false;
}

void EditorWindowController::performClose() { window_->close(); }

void EditorWindowController::close()
{
    closingDirectly_ = true;
    window_->close();
    closingDirectly_ = false;
}

void EditorWindowController::askAboutUnsavedEdits()
{
    auto *box = new QMessageBox(window_.get());
    box->setObjectName(QStringLiteral("editor.unsavedEdits"));
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(window_->windowTitle());
    box->setIcon(QMessageBox::Question);
    box->setText(QStringLiteral("편집한 내용을 저장할까요?"));
    box->setInformativeText(QStringLiteral("원본 이미지는 변경하지 않습니다. 저장하지 않으면 이번 편집만 취소됩니다."));
    saveButton_ = box->addButton(QStringLiteral("저장"), QMessageBox::AcceptRole);
    discardButton_ = box->addButton(QStringLiteral("저장하지 않기"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box->addButton(QStringLiteral("취소"), QMessageBox::RejectRole);
    box->setDefaultButton(qobject_cast<QPushButton *>(saveButton_.data()));
    box->setEscapeButton(cancel);
    // The answer reaches the controller only while it exists.
    connect(box, &QMessageBox::finished, this, [this, box] { answer(box->clickedButton()); });
    sheet_ = box;
    box->open();
}

void EditorWindowController::answer(QAbstractButton *button)
{
    // The question is gone before anything closes, so the check does not see it any more.
    if (sheet_) {
        sheet_->deleteLater();
        sheet_ = nullptr;
    }
    if (button && button == saveButton_)
        saveThenClose();
    else if (button && button == discardButton_)
        closeAllowed();
    else
        Q_EMIT closeCancelled();
}

QCoro::Task<> EditorWindowController::saveThenClose()
{
    QPointer<EditorWindowController> self(this);
    try {
        QCoro::Task<> saving = model_->save();
        co_await std::move(saving);
    } catch (...) {
        if (self)
            model_->setErrorMessage(describe(std::current_exception()));
        co_return;
    }
    if (self)
        closeAllowed();
}

// After the answer the close is allowed; it still waits for a save or an output that runs. The
// window first takes back the keyboard its question had, while the window manager hands it over
// (for a moment at most): closed in the middle of that, it would leave the keyboard with no window
// (kwin, failing to focus a window already gone, focuses none), where closed once it has it, the
// window manager passes the keyboard on as after any window's close.
QCoro::Task<> EditorWindowController::closeAllowed()
{
    QPointer<EditorWindowController> self(this);
    allowClose_ = true;
    const auto handingOver = [this] {
        const QWidget *active = QApplication::activeWindow();
        return active != window_.get() && (!active || !active->isVisible());
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (handingOver() && std::chrono::steady_clock::now() < deadline) {
        co_await sleep(std::chrono::milliseconds(10), CancellationToken());
        if (!self)
            co_return;
    }
    window_->close();
}

// The work has ended once its error, if it had one, has been read: asked again before, the
// editor would put its question in front of the reason its save failed.
void EditorWindowController::workChanged()
{
    if (!model_->isSaving() && !model_->isExporting() && !model_->errorMessage())
        Q_EMIT workEnded();
}

void EditorWindowController::windowWillClose()
{
    if (didClose_)
        return;
    didClose_ = true;
    Q_EMIT closed();
}

// ---- menu commands --------------------------------------------------------------------------

void EditorWindowController::saveDocument() { model_->saveAction(); }
void EditorWindowController::undo() { model_->undo(); }
void EditorWindowController::redo() { model_->redo(); }
void EditorWindowController::copy() { model_->copy(); }
void EditorWindowController::exportDocument() { model_->exportImage(); }

} // namespace tarn
