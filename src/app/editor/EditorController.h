// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "core/base/Uuid.h"

namespace tarn {

// What the application model needs of an open editor window: whether it holds work that a
// trash or restore must not throw away, its window, and closing it without asking. The editor
// window controller implements it; the model keeps one per capture identifier.
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

    bool isBusyOrDirty() const { return hasUnsavedEdits() || isSaving() || isExporting(); }
    // Makes the window key and brings it to the front.
    void bringToFront() const;

Q_SIGNALS:
    // The window has closed; the model drops the controller.
    void closed();
};

} // namespace tarn
