// SPDX-License-Identifier: GPL-3.0-or-later
// Where the model meets the editor: creating an editor window and telling an open one about
// new recognition results.
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/AppModel.h"
#include "app/editor/EditorController.h"

namespace tarn {
namespace {

// A window that shows the capture until the full editor takes its place.
class PreviewEditor : public EditorController {
public:
    PreviewEditor(const CaptureItem &item, const QImage &image) : id_(item.id)
    {
        window_ = new CloseReporter(this);
        window_->setWindowTitle(QString::fromStdString(item.title) + QStringLiteral(" — Tarnwick"));
        auto *label = new QLabel(window_);
        label->setAlignment(Qt::AlignCenter);
        label->setPixmap(QPixmap::fromImage(image).scaled(1200, 780, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        auto *layout = new QVBoxLayout(window_);
        layout->addWidget(label);
        window_->resize(1240, 820);
    }
    ~PreviewEditor() override { delete window_; }

    Uuid itemId() const override { return id_; }
    bool hasUnsavedEdits() const override { return false; }
    bool isSaving() const override { return false; }
    bool isExporting() const override { return false; }
    QWidget *window() const override { return window_; }
    void close() override { window_->close(); }
    void performClose() override { window_->close(); }
    void setMessage(const QString &) override { }

private:
    class CloseReporter : public QWidget {
    public:
        explicit CloseReporter(PreviewEditor *owner) : owner_(owner) { }

    protected:
        void closeEvent(QCloseEvent *event) override
        {
            QWidget::closeEvent(event);
            Q_EMIT owner_->closed();
        }

    private:
        PreviewEditor *owner_;
    };

    Uuid id_;
    QWidget *window_;
};

} // namespace

void AppModel::openEditor(const CaptureItem &item, const QImage &image)
{
    // One editor per capture: a second one would escape the quit and trash checks.
    if (auto open = editorControllers_.find(item.id); open != editorControllers_.end()) {
        open->second->bringToFront();
        return;
    }
    auto *controller = new PreviewEditor(item, image);
    addEditor(controller);
    controller->bringToFront();
    QApplication::setActiveWindow(controller->window());
}

void AppModel::showRecognitionInEditor(const CaptureItem &updated)
{
    // The preview has no text of its own to refresh; the editor patches only its text regions
    // and recognized text, never the user's unsaved edits.
    Q_UNUSED(updated);
}

} // namespace tarn
