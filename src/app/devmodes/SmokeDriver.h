// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <vector>

#include <QByteArray>
#include <QEvent>
#include <QImage>
#include <QJsonObject>
#include <QPointF>
#include <QString>

#include <qcoro/qcorotask.h>

#include "core/base/AppError.h"

class QWidget;

namespace tarn {
class ImageEditingView;
}

namespace tarn::SmokeDriver {

// The error of a failed smoke step: domain "Tarnwick.UISmoke", code 1, the English message.
AppError failure(const QString &message);

// Evaluates `condition` up to 60 times with a 100 ms pause after each false result; throws
// "Asynchronous UI operation timed out waiting for " and `what` after the 60th pause, so the
// failure says which condition never held. A condition that captures anything with a
// destructor (a QPointer, a container) goes in as a named std::function: g++ 12 destroys a
// lambda temporary inside a co_await expression twice.
QCoro::Task<> waitUntil(std::function<bool()> condition, QString what);

// The pause after a change that must be drawn before the next picture or step.
QCoro::Task<> settle();

// Renders `window` in process and writes it as PNG to `folder`/`fileName`, atomically; returns
// the picture written.
QImage snapshot(QWidget *window, const QString &folder, const QString &fileName);

// Whether `part` shows inside the picture of its window `root` (as snapshot() made it): visible
// there, within the picture, and drawn with more than one colour.
bool drawnIn(const QImage &picture, QWidget *root, QWidget *part);

// The first annotation canvas under `root`, depth first; null when there is none.
ImageEditingView *findCanvas(QWidget *root);

// Delivers a left-button mouse event at `point` (the target's own coordinates) synchronously,
// as the window system would: press, drag (a move with the button held) or release, click
// count 1. Throws "Mouse event creation failed" without a target.
void sendMouse(QWidget *target, QEvent::Type type, QPointF point, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Delivers a key press or release with its text synchronously; throws "Key event creation
// failed" without a target.
void sendKey(QWidget *target, QEvent::Type type, int key, const QString &text,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The visible pinned-image windows.
std::vector<QWidget *> visiblePins();

// Answers the save panel that an export opened as a user would: waits for it, types `path` into
// its name field and accepts it.
QCoro::Task<> answerSavePanel(QString path);

// The 64 lower-case hexadecimal digits of the SHA-256 of `data`.
QString sha256Hex(const QByteArray &data);

// Writes `report` pretty-printed with sorted keys to `folder`/ui-smoke.json, atomically, then
// prints it with a trailing line feed.
void writeReport(const QJsonObject &report, const QString &folder);

// Replaces `path` atomically with `data`; throws an English failure naming the path.
void writeAtomically(const QString &path, const QByteArray &data);

} // namespace tarn::SmokeDriver
