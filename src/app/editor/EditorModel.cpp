// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor/EditorModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/editor/EditorTags.h"

namespace tarn {

namespace {

// Rotations the model sets stay within 0...360; a value that is no number at all reads as 0.
double clampedRotation(double degrees)
{
    if (!std::isfinite(degrees))
        return 0;
    return std::clamp(degrees, 0.0, 360.0);
}

// Stroke weights stay within 1...24; a value that is no number reads as the default 5.
double clampedWeight(double weight)
{
    if (!std::isfinite(weight))
        return 5;
    return std::clamp(weight, 1.0, 24.0);
}

std::optional<double> storedRotation(double degrees)
{
    if (degrees == 0)
        return std::nullopt;
    return degrees;
}

// Stores a new value and announces it; an equal value stays quiet.
template <typename T, typename Signal, typename... Args>
bool publish(EditorModel *model, T &field, const T &value, Signal signal, Args &&...args)
{
    if (field == value)
        return false;
    field = value;
    Q_EMIT(model->*signal)(std::forward<Args>(args)...);
    return true;
}

} // namespace

QString EditorModel::initialMessage() { return QStringLiteral("원본을 보존하면서 편집합니다."); }
QString EditorModel::defaultAnnotationText() { return QStringLiteral("여기에 텍스트"); }

EditorModel::EditorModel(CaptureItem item, QImage image, EditorHost &host, QObject *parent)
    : QObject(parent),
      item_(std::move(item)),
      document_(item_.edits),
      title_(QString::fromStdString(item_.title)),
      tagsText_(joinedTags(item_.tags)),
      annotationText_(defaultAnnotationText()),
      canvasReset_(Uuid::random()),
      message_(initialMessage()),
      image_(std::move(image)),
      host_(host),
      history_(item_.edits, historyCapacity),
      savedDocument_(item_.edits),
      savedTitle_(title_),
      savedTags_(tagsText_)
{
    lastDirty_ = isDirty();
}

EditorModel::~EditorModel() = default;

// ---- published state ------------------------------------------------------------------------

void EditorModel::announce()
{
    const bool dirty = isDirty();
    if (dirty != lastDirty_) {
        lastDirty_ = dirty;
        Q_EMIT isDirtyChanged(dirty);
    }
    Q_EMIT changed();
}

void EditorModel::setItem(CaptureItem item)
{
    if (publish(this, item_, item, &EditorModel::itemChanged))
        announce();
}

void EditorModel::takeRecognition(const CaptureItem &recognized)
{
    CaptureItem patched = item_;
    patched.textRegions = recognized.textRegions;
    patched.recognizedText = recognized.recognizedText;
    setItem(std::move(patched));
}

void EditorModel::setDocument(const EditDocument &document)
{
    if (publish(this, document_, document, &EditorModel::documentChanged))
        announce();
}

void EditorModel::setTitle(const QString &title)
{
    if (publish(this, title_, title, &EditorModel::titleChanged, title))
        announce();
}

void EditorModel::setTagsText(const QString &text)
{
    if (publish(this, tagsText_, text, &EditorModel::tagsTextChanged, text))
        announce();
}

void EditorModel::setTool(MarkupTool tool)
{
    if (publish(this, tool_, tool, &EditorModel::toolChanged, tool))
        announce();
}

void EditorModel::setSelectedShape(MarkupTool shape)
{
    if (publish(this, selectedShape_, shape, &EditorModel::selectedShapeChanged, shape))
        announce();
}

void EditorModel::setBadgeStyle(BadgeStyle style)
{
    if (publish(this, badgeStyle_, style, &EditorModel::badgeStyleChanged, style))
        announce();
}

void EditorModel::setBadgeRotation(double degrees)
{
    // Compared by bits, so that writing NaN twice does not announce twice.
    if (std::isnan(degrees) && std::isnan(badgeRotation_))
        return;
    if (publish(this, badgeRotation_, degrees, &EditorModel::badgeRotationChanged, degrees))
        announce();
}

void EditorModel::setColor(MarkupColor color)
{
    if (publish(this, color_, color, &EditorModel::colorChanged, color))
        announce();
}

void EditorModel::setWeight(double weight)
{
    if (std::isnan(weight) && std::isnan(weight_))
        return;
    if (publish(this, weight_, weight, &EditorModel::weightChanged, weight))
        announce();
}

void EditorModel::setAnnotationText(const QString &text)
{
    if (publish(this, annotationText_, text, &EditorModel::annotationTextChanged, text))
        announce();
}

void EditorModel::setZoom(double zoom)
{
    if (publish(this, zoom_, zoom, &EditorModel::zoomChanged, zoom))
        announce();
}

void EditorModel::setSelectedAnnotationID(const std::optional<Uuid> &id)
{
    if (publish(this, selectedAnnotationID_, id, &EditorModel::selectedAnnotationIDChanged))
        announce();
}

void EditorModel::setCanvasReset(const Uuid &token)
{
    if (publish(this, canvasReset_, token, &EditorModel::canvasResetChanged))
        announce();
}

void EditorModel::setSaving(bool value)
{
    if (publish(this, isSaving_, value, &EditorModel::isSavingChanged, value))
        announce();
}

void EditorModel::setExporting(bool value)
{
    if (publish(this, isExporting_, value, &EditorModel::isExportingChanged, value))
        announce();
}

void EditorModel::setRecognizing(bool value)
{
    if (publish(this, isRecognizing_, value, &EditorModel::isRecognizingChanged, value))
        announce();
}

// A status line is announced even when it repeats: the view shows each report.
void EditorModel::setMessage(const QString &message)
{
    message_ = message;
    Q_EMIT messageChanged(message);
    announce();
}

void EditorModel::setErrorMessage(const std::optional<QString> &message)
{
    errorMessage_ = message;
    Q_EMIT errorMessageChanged();
    announce();
}

// ---- derived values -------------------------------------------------------------------------

bool EditorModel::isDirty() const
{
    return document_ != savedDocument_ || title_ != savedTitle_ || tagsText_ != savedTags_;
}

std::optional<size_t> EditorModel::selectedIndex() const
{
    if (!selectedAnnotationID_)
        return std::nullopt;
    const auto &marks = document_.annotations;
    auto found = std::find_if(marks.begin(), marks.end(),
                              [this](const Annotation &mark) { return mark.id == *selectedAnnotationID_; });
    if (found == marks.end())
        return std::nullopt;
    return size_t(found - marks.begin());
}

MarkupTool EditorModel::activeAnnotationTool() const
{
    if (auto index = selectedIndex())
        return document_.annotations[*index].tool;
    return tool_;
}

BadgeStyle EditorModel::currentBadgeStyle() const
{
    if (auto index = selectedIndex(); index && document_.annotations[*index].tool == MarkupTool::badge)
        return document_.annotations[*index].badgeStyle.value_or(BadgeStyle::check);
    return badgeStyle_;
}

double EditorModel::currentBadgeRotation() const
{
    if (auto index = selectedIndex(); index && document_.annotations[*index].tool == MarkupTool::badge)
        return clampedRotation(document_.annotations[*index].badgeRotation.value_or(0));
    return clampedRotation(badgeRotation_);
}

// A stored weight that is no number (a damaged library) reads as the default, like a preview
// of one; every other stored weight is shown as it is.
double EditorModel::currentStrokeWeight() const
{
    if (auto index = selectedIndex(); index && supportsStrokeWeight(document_.annotations[*index].tool)) {
        const double stored = document_.annotations[*index].weight;
        return std::isfinite(stored) ? stored : 5;
    }
    return weight_;
}

int EditorModel::blurCount() const
{
    return int(std::count_if(document_.annotations.begin(), document_.annotations.end(),
                             [](const Annotation &mark) { return mark.tool == MarkupTool::blur; }));
}

int EditorModel::blackMaskCount() const
{
    return int(std::count_if(document_.annotations.begin(), document_.annotations.end(),
                             [](const Annotation &mark) { return mark.tool == MarkupTool::redact; }));
}

// ---- edit commands --------------------------------------------------------------------------

void EditorModel::takeHistoryCurrent()
{
    setDocument(history_.current());
    Q_EMIT historyChanged();
}

void EditorModel::commit(EditDocument changed)
{
    history_.commit(std::move(changed));
    takeHistoryCurrent();
}

// Numbers go on from the largest one present, gaps are not filled. A damaged library can hold
// the largest whole number already; the next one then stays there instead of overflowing.
Annotation EditorModel::makeAnnotation(std::vector<UnitPoint> points) const
{
    std::optional<int64_t> largest;
    for (const Annotation &mark : document_.annotations) {
        if (mark.tool == MarkupTool::number)
            largest = std::max(largest.value_or(mark.number), mark.number);
    }
    Annotation mark;
    mark.id = Uuid::random();
    mark.tool = tool_;
    mark.points = std::move(points);
    mark.color = color_;
    mark.weight = weight_;
    mark.text = annotationText_.isEmpty() ? std::string("텍스트") : annotationText_.toStdString();
    if (!largest)
        mark.number = 1;
    else if (*largest == std::numeric_limits<int64_t>::max())
        mark.number = *largest;
    else
        mark.number = *largest + 1;
    if (tool_ == MarkupTool::badge) {
        mark.badgeStyle = badgeStyle_;
        mark.badgeRotation = storedRotation(clampedRotation(badgeRotation_));
    }
    return mark;
}

void EditorModel::add(const Annotation &annotation)
{
    EditDocument changed = document_;
    changed.annotations.push_back(annotation);
    commit(std::move(changed));
    setSelectedAnnotationID(annotation.id);
}

void EditorModel::remove(const Uuid &id)
{
    EditDocument changed = document_;
    std::erase_if(changed.annotations, [&id](const Annotation &mark) { return mark.id == id; });
    commit(std::move(changed));
    if (selectedAnnotationID_ == id)
        setSelectedAnnotationID(std::nullopt);
}

void EditorModel::crop(const UnitRect &rect)
{
    if (!(rect.width > 0) || !(rect.height > 0))
        return;
    EditDocument changed = document_;
    changed.crop = rect;
    commit(std::move(changed));
    setTool(MarkupTool::select);
    setZoom(1);
    resetCanvas();
}

void EditorModel::selectTool(MarkupTool tool)
{
    setTool(tool);
    if (isShape(tool))
        setSelectedShape(tool);
    setSelectedAnnotationID(std::nullopt);
    if (tool == MarkupTool::crop && document_.crop) {
        EditDocument changed = document_;
        changed.crop.reset();
        commit(std::move(changed));
    }
}

void EditorModel::selectBadge(BadgeStyle style)
{
    const double rotation = currentBadgeRotation();
    setBadgeStyle(style);
    setBadgeRotation(rotation);
    selectTool(MarkupTool::badge);
}

void EditorModel::previewBadgeRotation(double degrees)
{
    if (activeAnnotationTool() != MarkupTool::badge)
        return;
    const double rotation = clampedRotation(degrees);
    setBadgeRotation(rotation);
    if (auto index = selectedIndex(); index && document_.annotations[*index].tool == MarkupTool::badge) {
        EditDocument previewed = document_;
        previewed.annotations[*index].badgeRotation = storedRotation(rotation);
        setDocument(previewed);
    }
}

void EditorModel::previewStrokeWeight(double weight)
{
    if (!supportsStrokeWeight(activeAnnotationTool()))
        return;
    const double clamped = clampedWeight(weight);
    setWeight(clamped);
    if (auto index = selectedIndex(); index && supportsStrokeWeight(document_.annotations[*index].tool)) {
        EditDocument previewed = document_;
        previewed.annotations[*index].weight = clamped;
        setDocument(previewed);
    }
}

void EditorModel::finishControlEdit() { commit(document_); }

void EditorModel::cancelBadgeRotationEdit(const Uuid &id, std::optional<double> originalRotation,
                                          double defaultRotation)
{
    auto &marks = document_.annotations;
    auto found = std::find_if(marks.begin(), marks.end(), [&id](const Annotation &mark) { return mark.id == id; });
    if (found != marks.end() && found->tool == MarkupTool::badge) {
        EditDocument restored = document_;
        restored.annotations[size_t(found - marks.begin())].badgeRotation = originalRotation;
        setDocument(restored);
    }
    setBadgeRotation(clampedRotation(defaultRotation));
}

void EditorModel::undo()
{
    history_.undo();
    takeHistoryCurrent();
    setSelectedAnnotationID(std::nullopt);
}

void EditorModel::redo()
{
    history_.redo();
    takeHistoryCurrent();
    setSelectedAnnotationID(std::nullopt);
}

void EditorModel::blurAll()
{
    const std::vector<PrivacySuggestion> found = suggestions();
    if (found.empty())
        return;
    EditDocument changed = document_;
    for (const PrivacySuggestion &suggestion : found)
        changed.annotations.push_back(Annotation::blurring(suggestion.region));
    commit(std::move(changed));
    setMessage(QString::number(found.size()) + QStringLiteral("개 영역에 흐림을 적용했습니다."));
}

void EditorModel::convertBlackMasksToBlur()
{
    const int count = blackMaskCount();
    if (count == 0)
        return;
    EditDocument changed = document_;
    for (Annotation &mark : changed.annotations) {
        if (mark.tool == MarkupTool::redact)
            mark.tool = MarkupTool::blur;
    }
    commit(std::move(changed));
    setMessage(QString::number(count) +
               QStringLiteral("개 검정 마스킹을 흐림으로 변경했습니다. 실행 취소로 되돌릴 수 있습니다."));
}

} // namespace tarn
