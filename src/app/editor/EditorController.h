// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "core/base/Uuid.h"
#include "core/model/CaptureItem.h"

namespace tarn {

// What the application model and the quit decision need of an open editor window: whether it
// holds work that a trash, a restore or quitting must not throw away, its window, its status
// line, and closing it with or without asking. The editor window controller implements it; the
// quit decision reads editors through it alone.
class EditorController : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual Uuid itemId() const = 0;
    // The edit document, title or tags text differ from the last saved values.
    virtual bool hasUnsavedEdits() const = 0;
    virtual bool isSaving() const = 0;
    virtual bool isExporting() const = 0;
    virtual QWidget *window() const = 0;
    // Closes the window without asking about unsaved edits; `closed` follows.
    virtual void close() = 0;
    // Asks the window to close as its close button would: the editor's own check may refuse,
    // or ask whether to save first.
    virtual void performClose() = 0;
    // Shows a sentence on the editor's status line.
    virtual void setMessage(const QString &message) = 0;
    // A background recognition of the capture finished: the editor takes its text regions and
    // recognized text, and nothing else of the item.
    virtual void takeRecognition(const CaptureItem &recognized) = 0;

    bool isBusyOrDirty() const { return hasUnsavedEdits() || isSaving() || isExporting(); }
    // Makes the window key and brings it to the front, out of the task bar when it was minimized.
    void bringToFront() const;

Q_SIGNALS:
    // The window has closed; the model drops the controller.
    void closed();
    // Saving or exporting has ended, either way, and the error of a failure has been read:
    // nothing holds the window now but unsaved edits.
    void workEnded();
    // The unsaved-edits question was answered with 취소: the window stays open with its edits.
    void closeCancelled();
};

} // namespace tarn
