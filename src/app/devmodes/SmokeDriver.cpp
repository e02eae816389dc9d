// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/devmodes/SmokeDriver.h"

#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QSaveFile>
#include <QWidget>

#include <qcoro/qcorotimer.h>

#include "app/editor/ImageEditingView.h"
#include "app/floating/FloatingWindows.h"

namespace tarn::SmokeDriver {

using namespace std::chrono_literals;

AppError failure(const QString &message) { return AppError(1, message, QStringLiteral("Tarnwick.UISmoke")); }

QCoro::Task<> waitUntil(std::function<bool()> condition)
{
    for (int polls = 0;;) {
        if (condition())
            co_return;
        co_await QCoro::sleepFor(100ms);
        if (++polls == 60)
            throw failure(QStringLiteral("Asynchronous UI operation timed out"));
    }
}

QCoro::Task<> settle() { co_await QCoro::sleepFor(650ms); }

void snapshot(QWidget *window, const QString &folder, const QString &fileName)
{
    if (!window)
        throw failure(QStringLiteral("Snapshot window is missing: ") + fileName);
    if (window->layout())
        window->layout()->activate();
    const QImage picture = window->grab().toImage();
    if (picture.isNull())
        throw failure(QStringLiteral("Could not allocate window snapshot"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        throw failure(QStringLiteral("Could not encode window snapshot"));
    writeAtomically(QDir(folder).filePath(fileName), png);
}

ImageEditingView *findCanvas(QWidget *root)
{
    if (!root)
        return nullptr;
    if (auto *canvas = qobject_cast<ImageEditingView *>(root))
        return canvas;
    for (QWidget *child : root->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (ImageEditingView *canvas = findCanvas(child))
            return canvas;
    }
    return nullptr;
}

void sendMouse(QWidget *target, QEvent::Type type, QPointF point, Qt::KeyboardModifiers modifiers)
{
    if (!target)
        throw failure(QStringLiteral("Mouse event creation failed"));
    // A drag carries the held button; a release no longer holds it.
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, point, target->mapToGlobal(point), button, held, modifiers);
    QCoreApplication::sendEvent(target, &event);
}

void sendKey(QWidget *target, QEvent::Type type, int key, const QString &text, Qt::KeyboardModifiers modifiers)
{
    if (!target)
        throw failure(QStringLiteral("Key event creation failed"));
    QKeyEvent event(type, key, modifiers, text);
    QCoreApplication::sendEvent(target, &event);
}

std::vector<QWidget *> visiblePins()
{
    std::vector<QWidget *> pins;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == FloatingWindows::pinIdentifier && window->isVisible())
            pins.push_back(window);
    }
    return pins;
}

QString sha256Hex(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

void writeReport(const QJsonObject &report, const QString &folder)
{
    const QByteArray json = QJsonDocument(report).toJson(QJsonDocument::Indented);
    writeAtomically(QDir(folder).filePath(QStringLiteral("ui-smoke.json")), json);
    std::fputs((QString::fromUtf8(json) + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void writeAtomically(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw failure(QStringLiteral("Could not write ") + path + QStringLiteral(": ") + file.errorString());
}

} // namespace tarn::SmokeDriver
