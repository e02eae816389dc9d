// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/ResponderChain.h"

#include <functional>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tarn::ResponderChain {

namespace {

using Step = std::function<void()>;

// What a text field does for a text-editing command, or nothing when it does not answer it.
template <typename Field> Step textStep(Field *field, ResponderAction action, bool canUndo, bool canRedo)
{
    const bool editable = !field->isReadOnly();
    switch (action) {
    case ResponderAction::undo:
        return editable && canUndo ? Step([field] { field->undo(); }) : Step();
    case ResponderAction::redo:
        return editable && canRedo ? Step([field] { field->redo(); }) : Step();
    case ResponderAction::cut:
        return editable ? Step([field] { field->cut(); }) : Step();
    case ResponderAction::copy:
        return Step([field] { field->copy(); });
    case ResponderAction::paste:
        return editable ? Step([field] { field->paste(); }) : Step();
    case ResponderAction::selectAll:
        return Step([field] { field->selectAll(); });
    default:
        return {};
    }
}

Step stepOf(QWidget *widget, ResponderAction action)
{
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return textStep(line, action, line->isUndoAvailable(), line->isRedoAvailable());
    if (auto *text = qobject_cast<QTextEdit *>(widget)) {
        const QTextDocument *document = text->document();
        return textStep(text, action, document->isUndoAvailable(), document->isRedoAvailable());
    }
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        const QTextDocument *document = plain->document();
        return textStep(plain, action, document->isUndoAvailable(), document->isRedoAvailable());
    }
    if (auto *responder = dynamic_cast<MenuResponder *>(widget); responder && responder->answers(action))
        return [responder, action] { responder->perform(action); };
    if (action == ResponderAction::close && widget->isWindow())
        return [widget] { widget->close(); };
    return {};
}

Step find(ResponderAction action)
{
    for (QWidget *widget = start(); widget; widget = widget->parentWidget()) {
        if (Step step = stepOf(widget, action))
            return step;
        if (widget->isWindow())
            break;
    }
    return {};
}

} // namespace

QWidget *start()
{
    if (QWidget *focused = QApplication::focusWidget())
        return focused;
    return QApplication::activeWindow();
}

bool answers(ResponderAction action) { return bool(find(action)); }

void perform(ResponderAction action)
{
    if (Step step = find(action))
        step();
}

} // namespace tarn::ResponderChain
