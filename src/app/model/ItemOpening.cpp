// SPDX-License-Identifier: GPL-3.0-or-later
// Opening library items and importing files into the library.
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QtConcurrent>

#include <qcoro/qcorofuture.h>

#include "app/editor/EditorController.h"
#include "app/flows/FileDialogs.h"
#include "app/flows/ItemNames.h"
#include "app/model/AppModel.h"
#include "app/widgets/ErrorDescription.h"
#include "core/base/RegularFile.h"
#include "core/image/ImageCodec.h"
#include "platform/VideoInfo.h"

namespace tarn {
namespace {

// The type comes from the extension alone; the contents are never looked at, so a file named
// like a movie is read as a movie (and reported when it is none).
bool namesMovie(const QString &path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return type.isValid() && type.name().startsWith(QLatin1String("video/"));
}

QStringList importFilters()
{
    return {QStringLiteral("이미지와 동영상 (*.png *.jpg *.jpeg *.heic *.heif *.tif *.tiff *.gif *.bmp *.webp "
                           "*.mp4 *.mov *.m4v *.mkv *.webm *.avi)"),
            QStringLiteral("모든 파일 (*)")};
}

} // namespace

void AppModel::openItem(const CaptureItem &item, QScreen *screen)
{
    if (isBusy() || item.trashedAt)
        return;
    if (item.kind == CaptureKind::video) {
        const QString original = repository_->originalURL(item);
        try {
            // A player handed a pipe would wait on it for ever.
            RegularFile::refuseOtherKinds(original);
        } catch (...) {
            showError(std::current_exception());
            return;
        }
        floating_->showVideo(QUrl::fromLocalFile(original), QString::fromStdString(item.title), workScreen(screen));
        return;
    }
    if (auto open = editorControllers_.find(item.id); open != editorControllers_.end()) {
        open->second->bringToFront();
        return;
    }
    // A second open while the first still decodes would make a second editor for one capture.
    if (!openingItems_.insert(item.id).second)
        return;
    decodeThenEdit(item, workScreen(screen));
}

QCoro::Task<> AppModel::decodeThenEdit(CaptureItem item, QPointer<QScreen> screen)
{
    QPointer<AppModel> self(this);
    const QString original = repository_->originalURL(item);
    QImage image;
    try {
        QFuture<QImage> decoding = QtConcurrent::run([original] { return ImageCodec::read(original.toStdString()); });
        image = co_await decoding;
    } catch (...) {
        if (self) {
            openingItems_.erase(item.id);
            showError(std::current_exception());
        }
        co_return;
    }
    if (!self)
        co_return;
    openingItems_.erase(item.id);
    if (isBusy())
        co_return;
    const auto current =
        std::find_if(items_.begin(), items_.end(), [&item](const CaptureItem &entry) { return entry.id == item.id; });
    if (current == items_.end() || current->trashedAt)
        co_return;
    openEditor(*current, image, screen);
}

// The panel belongs to the library window, as an editor's export panel to the editor: the window
// manager keeps it in front of the library and raises it with it, and whatever brings the library
// forward brings the panel the import waits on, with the keyboard: so does the import, once the
// panel is shown (the library may lie in the task bar). Asked for again while the panel is open,
// it brings that one forward; a second one would only wait behind it.
void AppModel::importFiles()
{
    if (!importPanel_ || !importPanel_->isVisible()) {
        QFileDialog *dialog = FileDialogs::openDialog(
            QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), importFilters(),
            QStringLiteral("원본은 그대로 두고 Tarnwick 라이브러리에 복사합니다."), mainWindow_);
        importPanel_ = dialog;
        chooseThenImport(dialog);
    }
    showLibrary();
}

QCoro::Task<> AppModel::chooseThenImport(QFileDialog *dialog)
{
    QPointer<AppModel> self(this);
    const QStringList files = co_await FileDialogs::choose(dialog);
    if (self && !files.isEmpty())
        co_await importURLs(files);
}

QCoro::Task<> AppModel::importURLs(QStringList files)
{
    if (!libraryReady_ || isBusy())
        co_return;
    QPointer<AppModel> self(this);
    BusyClaim busy = claimBusy();
    QStringList failures;
    int imported = 0;
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        try {
            // Listed with what it is before anything opens it: a pipe would block the reader.
            RegularFile::refuseOtherKinds(file);
            if (namesMovie(file))
                co_await importVideo(file);
            else
                co_await importImage(file);
            ++imported;
        } catch (...) {
            failures.append(name + QStringLiteral(": ") + describe(std::current_exception()));
        }
        if (!self)
            co_return;
    }
    setSection(LibrarySection::all);
    setStatus(QString::number(imported) + QStringLiteral("개 파일을 가져왔습니다."));
    if (!failures.isEmpty())
        setErrorMessage(failures.join(QLatin1Char('\n')));
    busy.release();
}

QCoro::Task<> AppModel::importVideo(QString file)
{
    QPointer<AppModel> self(this);
    QFuture<VideoInfo> reading = VideoInfo::loadAsync(file);
    const VideoInfo info = co_await reading;
    if (!self)
        co_return;
    QFuture<CaptureItem> storing =
        repository_->insertVideo(file, ItemNames::importTitle(QFileInfo(file).fileName()).toStdString(), info.thumbnail,
                                 info.width, info.height, info.duration);
    const CaptureItem item = co_await storing;
    if (self)
        replace(item);
}

QCoro::Task<> AppModel::importImage(QString file)
{
    QPointer<AppModel> self(this);
    QFuture<QImage> decoding = QtConcurrent::run([file] { return ImageCodec::read(file.toStdString()); });
    const QImage image = co_await decoding;
    if (!self)
        co_return;
    QFuture<CaptureItem> storing = repository_->insertImage(
        image, ItemNames::importTitle(QFileInfo(file).fileName()).toStdString(), false, std::nullopt);
    const CaptureItem item = co_await storing;
    if (!self)
        co_return;
    replace(item);
    if (preferences_->automaticOCR())
        recognizeInBackground(item, image);
}

} // namespace tarn
