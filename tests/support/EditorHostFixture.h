// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The application as an editor sees it, for the editor tests: the store, the recognizer and the
// floating windows are the real ones handed in; copying puts real PNG bytes on the real
// clipboard; exporting stands in for the save panel nobody clicks here: it records the image
// and waits until the test releases it (or fails it).

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QFuture>
#include <QMimeData>
#include <QPromise>

#include <qcoro/qcorofuture.h>

#include "app/editor/EditorHost.h"
#include "core/image/ImageCodec.h"
#include "core/library/LibraryRepository.h"

namespace tarn::TestSupport {

// Queues slow work (a large picture to store) on the store's one worker, so that an operation
// submitted next is still running when the caller looks: a store that answered at once would
// end a save inside the call that started it.
inline void occupy(LibraryRepository &repository)
{
    QImage large(2400, 2400, QImage::Format_RGB32);
    for (int y = 0; y < large.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(large.scanLine(y));
        for (int x = 0; x < large.width(); ++x)
            row[x] = qRgb((x * 7 + y) & 0xFF, (y * 13) & 0xFF, (x ^ y) & 0xFF);
    }
    repository.insertImage(large, "ahead", false, std::nullopt);
}

class TestEditorHost : public EditorHost {
public:
    TestEditorHost(LibraryRepository &repository, TextRecognition &recognition, FloatingWindows &floating)
        : repository_(repository),
          recognition_(recognition),
          floating_(floating)
    { }

    QObject *lifetime() override { return &lifetime_; }
    LibraryRepository &repository() const override { return repository_; }
    TextRecognition &recognition() const override { return recognition_; }
    FloatingWindows &floating() const override { return floating_; }
    void replace(const CaptureItem &item) override { replaced.push_back(item); }
    void showLibrary() override { ++libraryShown; }

    QCoro::Task<> copyImage(QImage image) override
    {
        if (failCopy)
            throw std::runtime_error("copy refused");
        auto *data = new QMimeData;
        data->setData(QStringLiteral("image/png"), ImageCodec::encode(image, ExportFormat::png, 0.92));
        QApplication::clipboard()->setMimeData(data);
        ++copies;
        co_return;
    }

    QCoro::Task<> exportImage(QImage image, QString title, QWidget * /*over*/) override
    {
        exported.push_back({image, title});
        exportGate = std::make_shared<QPromise<void>>();
        exportGate->start();
        QFuture<void> answered = exportGate->future();
        co_await answered;
    }

    // Ends the export that waits: normally, or with `error` as the save panel's failure.
    void finishExport(std::exception_ptr error = nullptr)
    {
        if (!exportGate)
            return;
        if (error)
            exportGate->setException(error);
        exportGate->finish();
        exportGate.reset();
    }

    struct Export {
        QImage image;
        QString title;
    };
    std::vector<CaptureItem> replaced;
    std::vector<Export> exported;
    std::shared_ptr<QPromise<void>> exportGate;
    int copies = 0;
    int libraryShown = 0;
    bool failCopy = false;

private:
    LibraryRepository &repository_;
    TextRecognition &recognition_;
    FloatingWindows &floating_;
    QObject lifetime_;
};

} // namespace tarn::TestSupport
