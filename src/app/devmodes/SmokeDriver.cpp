// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/devmodes/SmokeDriver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QSaveFile>
#include <QWidget>

#include <qcoro/qcorotimer.h>

#include "app/editor/ImageEditingView.h"
#include "app/floating/FloatingWindows.h"

namespace tarn::SmokeDriver {

using namespace std::chrono_literals;

AppError failure(const QString &message) { return AppError(1, message, QStringLiteral("Tarnwick.UISmoke")); }

QCoro::Task<> waitUntil(std::function<bool()> condition, QString what)
{
    for (int polls = 0;;) {
        if (condition())
            co_return;
        co_await QCoro::sleepFor(100ms);
        if (++polls == 60)
            throw failure(QStringLiteral("Asynchronous UI operation timed out waiting for ") + what);
    }
}

QCoro::Task<> settle() { co_await QCoro::sleepFor(650ms); }

QImage snapshot(QWidget *window, const QString &folder, const QString &fileName)
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
    return picture;
}

bool drawnIn(const QImage &picture, QWidget *root, QWidget *part)
{
    if (!root || !part || !part->isVisibleTo(root) || part->size().isEmpty())
        return false;
    // grab() renders at the device pixel ratio; the widgets' rectangles are in points.
    const double ratio = picture.devicePixelRatio();
    const QRect where(part->mapTo(root, QPoint(0, 0)) * ratio, part->size() * ratio);
    if (!picture.rect().contains(where))
        return false;
    const QImage area = picture.copy(where).convertToFormat(QImage::Format_ARGB32);
    const QRgb first = area.pixel(0, 0);
    for (int y = 0; y < area.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(area.constScanLine(y));
        if (std::any_of(line, line + area.width(), [first](QRgb pixel) { return pixel != first; }))
            return true;
    }
    return false;
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

QCoro::Task<> answerSavePanel(QString path)
{
    QPointer<QFileDialog> panel;
    const std::function<bool()> opened = [&panel] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QFileDialog *>(window);
            if (dialog && dialog->isVisible() && dialog->acceptMode() == QFileDialog::AcceptSave)
                panel = dialog;
        }
        return !panel.isNull();
    };
    co_await waitUntil(opened, QStringLiteral("the export's save panel to open"));
    auto *name = panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!name)
        throw failure(QStringLiteral("The save panel has no name field"));
    // The panel settles its folder asynchronously and may read the name again meanwhile.
    const QString expected = QFileInfo(path).absoluteFilePath();
    const std::function<bool()> named = [&panel, name, &path, &expected] {
        if (!panel)
            return true;
        name->setText(path);
        return panel->selectedFiles() == QStringList{expected};
    };
    co_await waitUntil(named, QStringLiteral("the save panel to take the export's name"));
    if (!panel)
        throw failure(QStringLiteral("The save panel closed before it was answered"));
    // done() rather than accept(): a name that exists is replaced without a question.
    static_cast<QDialog *>(panel.data())->done(QDialog::Accepted);
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
