// SPDX-License-Identifier: GPL-3.0-or-later
// How a capture leaves the application: copied, exported or pinned.
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtConcurrent>

#include <qcoro/qcorofuture.h>

#include "app/flows/ExportFiles.h"
#include "app/flows/FileDialogs.h"
#include "app/flows/ItemNames.h"
#include "app/model/AppModel.h"
#include "core/image/ImageCodec.h"
#include "core/render/RasterRenderer.h"

namespace tarn {
namespace {

constexpr double exportQuality = 0.92;

QString copiedStatus() { return QStringLiteral("클립보드에 복사했습니다."); }

QString exportMessage()
{
    return QStringLiteral("PNG 또는 JPEG로 내보냅니다. 마스킹은 픽셀에 적용되며 원본·OCR 데이터는 포함하지 않습니다.");
}

// The chosen path, or nothing when the panel was cancelled.
QCoro::Task<std::optional<QString>> saveURL(QFileDialog *dialog)
{
    const QStringList chosen = co_await FileDialogs::choose(dialog);
    if (chosen.isEmpty())
        co_return std::nullopt;
    co_return chosen.front();
}

} // namespace

QCoro::Task<QImage> AppModel::renderedImage(CaptureItem item)
{
    const QString original = repository_->originalURL(item);
    QFuture<QImage> rendering = QtConcurrent::run([original, document = item.edits] {
        return RasterRenderer::render(ImageCodec::read(original.toStdString()), document);
    });
    co_return co_await rendering;
}

QCoro::Task<> AppModel::copyImage(QImage image)
{
    QFuture<QByteArray> encoding =
        QtConcurrent::run([image] { return ImageCodec::encode(image, ExportFormat::png, exportQuality); });
    const QByteArray png = co_await encoding;
    clipboard_->setPng(png);
}

QCoro::Task<> AppModel::exportImage(QImage image, QString title, QWidget *over)
{
    QPointer<AppModel> self(this);
    QFileDialog *dialog =
        FileDialogs::saveDialog(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                ItemNames::exportFileName(title, QStringLiteral("png")),
                                {QStringLiteral("PNG 이미지 (*.png)"), QStringLiteral("JPEG 이미지 (*.jpg *.jpeg)")},
                                QStringLiteral("png"), exportMessage(), over);
    const std::optional<QString> destination = co_await saveURL(dialog);
    if (!destination || !self)
        co_return;
    repository_->validateExportDestination(*destination);
    const ExportFormat format = ItemNames::exportFormat(*destination);
    const ExportClaim writingExport = claimExport();
    QFuture<void> writing = QtConcurrent::run([image, format, path = *destination] {
        ExportFiles::writeAtomically(path, ImageCodec::encode(image, format, exportQuality));
    });
    co_await writing;
    if (self)
        setStatus(QFileInfo(*destination).fileName() + QStringLiteral("을 내보냈습니다."));
}

void AppModel::copyItem(const CaptureItem &item) { runCopyItem(item); }

QCoro::Task<> AppModel::runCopyItem(CaptureItem item)
{
    QPointer<AppModel> self(this);
    if (item.kind == CaptureKind::video) {
        clipboard_->setFileCopy(repository_->originalURL(item));
        setStatus(copiedStatus());
        co_return;
    }
    try {
        const QImage image = co_await renderedImage(item);
        if (!self)
            co_return;
        co_await copyImage(image);
    } catch (...) {
        if (self)
            showError(std::current_exception());
        co_return;
    }
    if (self)
        setStatus(copiedStatus());
}

// One panel an item: asked again while the item's panel is open (or its image is still being drawn
// for it), the library comes forward with the panel in front and the keyboard, as for the import,
// instead of a second panel exactly over the first.
void AppModel::exportItem(const CaptureItem &item)
{
    if (!exportingItems_.insert(item.id).second) {
        showLibrary();
        return;
    }
    runExportItem(item);
}

QCoro::Task<> AppModel::runExportItem(CaptureItem item)
{
    QPointer<AppModel> self(this);
    if (item.kind == CaptureKind::video)
        co_await exportVideo(item);
    else
        co_await exportRendered(item);
    if (self)
        exportingItems_.erase(item.id);
}

QCoro::Task<> AppModel::exportRendered(CaptureItem item)
{
    QPointer<AppModel> self(this);
    try {
        const QImage image = co_await renderedImage(item);
        if (!self)
            co_return;
        co_await exportImage(image, QString::fromStdString(item.title), mainWindow_);
    } catch (...) {
        if (self)
            showError(std::current_exception());
    }
}

QCoro::Task<> AppModel::exportVideo(CaptureItem item)
{
    QPointer<AppModel> self(this);
    const QString source = repository_->originalURL(item);
    const QString extension = QFileInfo(source).suffix();
    QFileDialog *dialog =
        FileDialogs::saveDialog(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation),
                                ItemNames::exportFileName(QString::fromStdString(item.title), extension),
                                ItemNames::videoExportFilters(extension), extension, QString(), mainWindow_);
    const std::optional<QString> destination = co_await saveURL(dialog);
    if (!destination || !self)
        co_return;
    try {
        repository_->validateExportDestination(*destination);
        const ExportClaim copyingExport = claimExport();
        QFuture<void> copying =
            QtConcurrent::run([source, path = *destination] { ExportFiles::copyFile(source, path); });
        co_await copying;
    } catch (...) {
        if (self)
            showError(std::current_exception());
        co_return;
    }
    if (self)
        setStatus(QStringLiteral("녹화 파일을 내보냈습니다."));
}

void AppModel::pin(const CaptureItem &item, QScreen *screen)
{
    if (item.kind != CaptureKind::image)
        return;
    runPin(item, workScreen(screen));
}

QCoro::Task<> AppModel::runPin(CaptureItem item, QPointer<QScreen> screen)
{
    QPointer<AppModel> self(this);
    try {
        const QImage image = co_await renderedImage(item);
        if (self)
            floating_->pin(image, QString::fromStdString(item.title), screen);
    } catch (...) {
        if (self)
            showError(std::current_exception());
    }
}

} // namespace tarn
