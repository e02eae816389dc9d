// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's work that reaches outside the window: recognition, saving and the three
// outputs of the flattened image. Each holds one of the work flags from its synchronous start
// on the GUI thread until its last step there, on success and on failure alike. Every step
// after an await first checks that the editor (and the application) still exist: a window
// closed meanwhile is never touched again.
#include <QPointer>
#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

#include "app/editor/EditorHost.h"
#include "app/editor/EditorModel.h"
#include "app/editor/EditorTags.h"
#include "app/editor/EditorWindowController.h"
#include "app/floating/FloatingWindows.h"
#include "app/widgets/ErrorDescription.h"
#include "core/library/LibraryRepository.h"
#include "core/render/RasterRenderer.h"
#include "core/text/TextRecognition.h"

namespace tarn {

namespace {

QString savedMessage() { return QStringLiteral("편집을 저장했습니다. 원본은 그대로 보존했습니다."); }
QString saveFailedMessage() { return QStringLiteral("편집을 저장하지 못했습니다. 원본은 그대로 보존했습니다."); }
QString copiedMessage()
{
    return QStringLiteral("편집 결과를 복사했습니다. 원본 및 OCR 데이터는 포함하지 않았습니다.");
}

QCoro::Task<> saveShowingError(QPointer<EditorModel> model)
{
    try {
        QCoro::Task<> saving = model->save();
        co_await std::move(saving);
    } catch (...) {
        if (model)
            model->setErrorMessage(describe(std::current_exception()));
    }
}

} // namespace

// ---- recognized text ------------------------------------------------------------------------

QString EditorModel::visibleText() const
{
    QStringList lines;
    for (const TextRegion &region : document_.visibleTextRegions(item_.textRegions))
        lines.append(QString::fromStdString(region.text));
    return lines.join(QLatin1Char('\n'));
}

std::vector<PrivacySuggestion> EditorModel::suggestions() const
{
    return PrivacyDetector::suggestions(document_.visibleTextRegions(item_.textRegions));
}

void EditorModel::recognizeText()
{
    if (isRecognizing_)
        return;
    setRecognizing(true);
    runRecognition();
}

// The whole unedited original is read, never the crop or the masks. A result that arrives
// after the window closed is still stored with the capture; only the editor is left alone.
QCoro::Task<> EditorModel::runRecognition()
{
    QPointer<EditorModel> self(this);
    QPointer<QObject> hostAlive(host_.lifetime());
    EditorHost &host = host_;
    const Uuid id = item_.id;
    std::optional<CaptureItem> updated;
    size_t count = 0;
    std::exception_ptr failure;
    try {
        QFuture<RecognitionResult> recognizing = host.recognition().recognize(image_);
        RecognitionResult result = co_await recognizing;
        if (!hostAlive)
            co_return;
        count = result.regions.size();
        QFuture<CaptureItem> storing = host.repository().updateRecognition(id, std::move(result));
        updated = co_await storing;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!hostAlive)
        co_return;
    if (updated)
        host.replace(*updated);
    if (!self)
        co_return;
    if (failure) {
        setErrorMessage(describe(failure));
        setRecognizing(false);
        co_return;
    }
    takeRecognition(*updated);
    setMessage(QString::number(count) + QStringLiteral("개 텍스트 영역을 로컬에서 인식했습니다."));
    setRecognizing(false);
}

// ---- saving ---------------------------------------------------------------------------------

// The snapshot taken at the start becomes the saved state, with the tags text as typed: the
// field does not turn dirty because the store keeps the tags normalised, and edits made while
// the save was on its way stay dirty.
QCoro::Task<> EditorModel::save()
{
    if (isSaving_)
        co_return;
    setSaving(true);
    QPointer<EditorModel> self(this);
    QPointer<QObject> hostAlive(host_.lifetime());
    EditorHost &host = host_;
    const EditDocument document = document_;
    const QString title = title_;
    const QString tags = tagsText_;
    CaptureItem saved;
    try {
        QFuture<CaptureItem> saving =
            host.repository().saveEdits(item_.id, title.toStdString(), normalizedTags(tags), document);
        saved = co_await saving;
    } catch (...) {
        // The line must not go on reporting an earlier save as the state of this one.
        if (self) {
            setMessage(saveFailedMessage());
            setSaving(false);
        }
        throw;
    }
    if (!self) {
        if (hostAlive)
            host.replace(saved);
        co_return;
    }
    setItem(saved);
    savedDocument_ = document;
    savedTitle_ = title;
    savedTags_ = tags;
    announce();
    if (hostAlive)
        host.replace(saved);
    setMessage(savedMessage());
    setSaving(false);
}

void EditorModel::saveAction() { saveShowingError(QPointer<EditorModel>(this)); }

// ---- outputs --------------------------------------------------------------------------------

// Full resolution on the thread pool, from copies taken now: edits made while it renders do
// not reach the output.
QCoro::Task<QImage> EditorModel::render() const
{
    QFuture<QImage> rendering = QtConcurrent::run(
        [](QPromise<QImage> &promise, const QImage &image, const EditDocument &document) {
            try {
                promise.addResult(RasterRenderer::render(image, document));
            } catch (...) {
                promise.setException(std::current_exception());
            }
        },
        image_, document_);
    QImage flattened = co_await rendering;
    co_return flattened;
}

void EditorModel::copy() { startOutput(Output::copy); }
void EditorModel::exportImage() { startOutput(Output::exportFile); }
void EditorModel::pin() { startOutput(Output::pin); }

void EditorModel::startOutput(Output output)
{
    if (isExporting_)
        return;
    setExporting(true);
    runOutput(output);
}

QCoro::Task<> EditorModel::runOutput(Output output)
{
    QPointer<EditorModel> self(this);
    QPointer<QObject> hostAlive(host_.lifetime());
    EditorHost &host = host_;
    try {
        QCoro::Task<QImage> rendering = render();
        const QImage image = co_await std::move(rendering);
        if (!self || !hostAlive)
            co_return;
        switch (output) {
        case Output::copy: {
            QCoro::Task<> copying = host.copyImage(image);
            co_await std::move(copying);
            if (self)
                setMessage(copiedMessage());
            break;
        }
        case Output::exportFile: {
            // The panel belongs to the editor's window: it stays in front of it, and whatever
            // brings the editor forward brings the panel the export waits on.
            QCoro::Task<> exporting =
                host.exportImage(image, title_, windowController ? windowController->window() : nullptr);
            co_await std::move(exporting);
            break;
        }
        case Output::pin: {
            // The pin joins the editor on its screen.
            QWidget *window = windowController ? windowController->window() : nullptr;
            host.floating().pin(image, title_, window ? window->screen() : nullptr);
            break;
        }
        }
    } catch (...) {
        if (self) {
            setErrorMessage(describe(std::current_exception()));
            setExporting(false);
        }
        co_return;
    }
    if (self)
        setExporting(false);
}

} // namespace tarn
