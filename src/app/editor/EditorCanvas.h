// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

namespace tarn {

class EditorModel;
class ImageEditingView;

// The canvas as the editor view places it: the annotation canvas of one model, kept in step
// with every change of that model, and what the bar under it shows: the zoom (shared with
// pinching on the canvas), the current tool's name and the hint line. The model must outlive
// the canvas (the editor's window controller owns both). The developer modes' smoke run finds
// it by class or by its object name "editorCanvas", and the view inside as "imageEditingView".
class EditorCanvas : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double zoom READ zoom WRITE setZoom NOTIFY zoomChanged)
    Q_PROPERTY(QString toolLabel READ toolLabel NOTIFY toolLabelChanged)
    Q_PROPERTY(QString hint READ hint NOTIFY hintChanged)

public:
    explicit EditorCanvas(EditorModel &model, QWidget *parent = nullptr);

    ImageEditingView *view() const { return view_; }
    double zoom() const;
    // Kept within 0.2 to 5, the bounds pinching keeps too.
    void setZoom(double zoom);
    QString toolLabel() const { return toolLabel_; }
    QString hint() const { return hint_; }

    static constexpr double minimumZoom = 0.2;
    static constexpr double maximumZoom = 5.0;

public Q_SLOTS:
    // Back to zoom 1, recentred.
    void fit();

Q_SIGNALS:
    void zoomChanged(double zoom);
    void toolLabelChanged(const QString &label);
    void hintChanged(const QString &hint);

private:
    void follow();

    EditorModel &model_;
    ImageEditingView *view_;
    QString toolLabel_;
    QString hint_;
};

} // namespace tarn
