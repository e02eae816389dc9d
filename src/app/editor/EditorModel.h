// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <qcoro/qcorotask.h>

#include "core/model/Annotation.h"
#include "core/model/CaptureItem.h"
#include "core/model/EditDocument.h"
#include "core/model/EditHistory.h"
#include "core/text/PrivacyDetector.h"

namespace tarn {

class EditorHost;
class EditorWindowController;

// The state and commands of one editor window: the capture being edited, the working edit
// document with its undo history, the settings for new marks, the selection, the zoom, the
// work flags and the status lines. It knows no widget: the canvas and the panels read its
// properties, follow their signals and call its commands, and the tests drive it alone.
//
// Every command that changes the document is one step of an 80-deep history: it changes a
// copy, commits the copy and takes the history's current value back. Live controls (stroke
// weight, badge rotation, the frame sliders) change `document` without the history and end
// with `finishControlEdit()`, so a whole drag is one undo step. Lives on the GUI thread.
class EditorModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(tarn::CaptureItem item READ item NOTIFY itemChanged)
    Q_PROPERTY(tarn::EditDocument document READ document WRITE setDocument NOTIFY documentChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString tagsText READ tagsText WRITE setTagsText NOTIFY tagsTextChanged)
    Q_PROPERTY(tarn::MarkupTool tool READ tool WRITE setTool NOTIFY toolChanged)
    Q_PROPERTY(tarn::MarkupTool selectedShape READ selectedShape NOTIFY selectedShapeChanged)
    Q_PROPERTY(tarn::BadgeStyle badgeStyle READ badgeStyle WRITE setBadgeStyle NOTIFY badgeStyleChanged)
    Q_PROPERTY(double badgeRotation READ badgeRotation WRITE setBadgeRotation NOTIFY badgeRotationChanged)
    Q_PROPERTY(tarn::MarkupColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(double weight READ weight WRITE setWeight NOTIFY weightChanged)
    Q_PROPERTY(QString annotationText READ annotationText WRITE setAnnotationText NOTIFY annotationTextChanged)
    Q_PROPERTY(double zoom READ zoom WRITE setZoom NOTIFY zoomChanged)
    Q_PROPERTY(std::optional<tarn::Uuid> selectedAnnotationID READ selectedAnnotationID WRITE setSelectedAnnotationID
                   NOTIFY selectedAnnotationIDChanged)
    Q_PROPERTY(tarn::Uuid canvasReset READ canvasReset WRITE setCanvasReset NOTIFY canvasResetChanged)
    Q_PROPERTY(bool isSaving READ isSaving NOTIFY isSavingChanged)
    Q_PROPERTY(bool isExporting READ isExporting NOTIFY isExportingChanged)
    Q_PROPERTY(bool isRecognizing READ isRecognizing NOTIFY isRecognizingChanged)
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY messageChanged)
    Q_PROPERTY(std::optional<QString> errorMessage READ errorMessage WRITE setErrorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(bool isDirty READ isDirty NOTIFY isDirtyChanged)
    Q_PROPERTY(bool canUndo READ canUndo NOTIFY historyChanged)
    Q_PROPERTY(bool canRedo READ canRedo NOTIFY historyChanged)

public:
    static constexpr int historyCapacity = 80;
    static QString initialMessage();        // "원본을 보존하면서 편집합니다."
    static QString defaultAnnotationText(); // "여기에 텍스트"

    // Starts from the item's saved edits, title and tags with an empty history. `host` is the
    // application, which outlives every editor; the model does not own it.
    EditorModel(CaptureItem item, QImage image, EditorHost &host, QObject *parent = nullptr);
    ~EditorModel() override;

    // Published state.
    const CaptureItem &item() const { return item_; }
    const EditDocument &document() const { return document_; }
    const QString &title() const { return title_; }
    const QString &tagsText() const { return tagsText_; }
    MarkupTool tool() const { return tool_; }
    MarkupTool selectedShape() const { return selectedShape_; }
    BadgeStyle badgeStyle() const { return badgeStyle_; }
    double badgeRotation() const { return badgeRotation_; }
    MarkupColor color() const { return color_; }
    double weight() const { return weight_; }
    const QString &annotationText() const { return annotationText_; }
    double zoom() const { return zoom_; }
    const std::optional<Uuid> &selectedAnnotationID() const { return selectedAnnotationID_; }
    const Uuid &canvasReset() const { return canvasReset_; }
    bool isSaving() const { return isSaving_; }
    bool isExporting() const { return isExporting_; }
    bool isRecognizing() const { return isRecognizing_; }
    const QString &message() const { return message_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }

    // Direct writes by the views and the canvas; the model does not react to them beyond
    // announcing the change. Writing `document` bypasses the history: a live preview, or the
    // second half of `commit`.
    void setDocument(const EditDocument &document);
    void setTitle(const QString &title);
    void setTagsText(const QString &text);
    void setTool(MarkupTool tool);
    void setBadgeStyle(BadgeStyle style);
    void setBadgeRotation(double degrees);
    void setColor(MarkupColor color);
    void setWeight(double weight);
    void setAnnotationText(const QString &text);
    void setZoom(double zoom);
    void setSelectedAnnotationID(const std::optional<Uuid> &id);
    void setCanvasReset(const Uuid &token);
    void resetCanvas() { setCanvasReset(Uuid::random()); }
    void setMessage(const QString &message);
    void setErrorMessage(const std::optional<QString> &message); // the alert clears it
    // A recognition of this capture finished (here or in the background): only its text
    // regions and recognized text are taken into `item`.
    void takeRecognition(const CaptureItem &recognized);

    // Fixed fields.
    const QImage &image() const { return image_; }
    EditorHost &host() const { return host_; }
    const EditHistory<EditDocument> &history() const { return history_; }
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    const EditDocument &savedDocument() const { return savedDocument_; }
    const QString &savedTitle() const { return savedTitle_; }
    const QString &savedTags() const { return savedTags_; }
    QPointer<EditorWindowController> windowController; // set by the owning controller

    // Derived values, computed on every read. They follow `document`, `tool`, `badgeStyle`,
    // `badgeRotation`, `weight`, `selectedAnnotationID` and `item`; `changed` covers them all.
    bool isDirty() const;
    MarkupTool activeAnnotationTool() const;
    BadgeStyle currentBadgeStyle() const;
    double currentBadgeRotation() const;
    double currentStrokeWeight() const;
    int blurCount() const;
    int blackMaskCount() const;
    // The recognized lines still readable in the edited image, one per line.
    QString visibleText() const;
    std::vector<PrivacySuggestion> suggestions() const;

    // ---- edit commands (synchronous) ----

    // The one way a command changes the document: commit `changed` to the history and take
    // the history's current value back. An equal document adds no step. The style panel uses
    // it for frame settings and the crop.
    void commit(EditDocument changed);
    // A new mark from the current settings; changes nothing.
    Annotation makeAnnotation(std::vector<UnitPoint> points) const;
    void add(const Annotation &annotation);
    void remove(const Uuid &id);
    void crop(const UnitRect &rect);
    void selectTool(MarkupTool tool);
    void selectBadge(BadgeStyle style);
    void previewBadgeRotation(double degrees);
    void previewStrokeWeight(double weight);
    void finishControlEdit();
    void cancelBadgeRotationEdit(const Uuid &id, std::optional<double> originalRotation, double defaultRotation);
    void undo();
    void redo();
    void blurAll();
    void convertBlackMasksToBlur();

    // ---- work that leaves the editor ----

    // Recognizes the whole original and stores the result with the capture; ignored while a
    // recognition runs.
    void recognizeText();
    // Stores title, tags and document in the library; returns at once while a save runs.
    // Throws the store's error.
    QCoro::Task<> save();
    // `save()` in a task of its own, its error shown on `errorMessage`.
    void saveAction();
    // The flattened image to the clipboard, to a file, or pinned on screen. One guard,
    // `isExporting`, serves all three: a request while any of them runs is dropped.
    void copy();
    void exportImage();
    void pin();

Q_SIGNALS:
    void itemChanged();
    void documentChanged();
    void titleChanged(const QString &title);
    void tagsTextChanged(const QString &text);
    void toolChanged(tarn::MarkupTool tool);
    void selectedShapeChanged(tarn::MarkupTool shape);
    void badgeStyleChanged(tarn::BadgeStyle style);
    void badgeRotationChanged(double degrees);
    void colorChanged(tarn::MarkupColor color);
    void weightChanged(double weight);
    void annotationTextChanged(const QString &text);
    void zoomChanged(double zoom);
    void selectedAnnotationIDChanged();
    void canvasResetChanged();
    void isSavingChanged(bool value);
    void isExportingChanged(bool value);
    void isRecognizingChanged(bool value);
    void messageChanged(const QString &message);
    void errorMessageChanged();
    void isDirtyChanged(bool value);
    void historyChanged();
    // After any published value changed: the views refresh their derived values from here.
    void changed();

private:
    enum class Output { copy, exportFile, pin };

    // The selected annotation's position in the document, if the selection matches one.
    std::optional<size_t> selectedIndex() const;
    void takeHistoryCurrent();
    void announce(); // re-reads the dirty state and emits `changed`
    void setItem(CaptureItem item);
    void setSaving(bool value);
    void setExporting(bool value);
    void setRecognizing(bool value);
    void setSelectedShape(MarkupTool shape);

    QCoro::Task<> runRecognition();
    QCoro::Task<QImage> render() const;
    void startOutput(Output output);
    QCoro::Task<> runOutput(Output output);

    CaptureItem item_;
    EditDocument document_;
    QString title_;
    QString tagsText_;
    MarkupTool tool_ = MarkupTool::arrow;
    MarkupTool selectedShape_ = MarkupTool::rectangle;
    BadgeStyle badgeStyle_ = BadgeStyle::check;
    double badgeRotation_ = 0;
    MarkupColor color_ = MarkupColor::coral;
    double weight_ = 5;
    QString annotationText_;
    double zoom_ = 1;
    std::optional<Uuid> selectedAnnotationID_;
    Uuid canvasReset_;
    bool isSaving_ = false;
    bool isExporting_ = false;
    bool isRecognizing_ = false;
    QString message_;
    std::optional<QString> errorMessage_;

    const QImage image_;
    EditorHost &host_;
    EditHistory<EditDocument> history_;
    EditDocument savedDocument_;
    QString savedTitle_;
    QString savedTags_;
    bool lastDirty_ = false;
};

} // namespace tarn
