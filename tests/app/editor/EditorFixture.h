// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A real library in a temporary folder with one image capture in it, the services an editor
// uses, and editor models on that capture.

#include <memory>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/editor/EditorModel.h"
#include "app/floating/FloatingWindows.h"
#include "core/library/LibraryRepository.h"
#include "core/text/TextRecognition.h"
#include "support/EditorHostFixture.h"

namespace tarn::TestSupport {

// A capture-like picture: a light page with two lines of dark text (an e-mail address and a
// phone number) that the recognizer reads.
inline QImage pageWithText()
{
    QImage image(720, 240, QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xF4, 0xF0));
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(34);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(QPointF(40, 90), QStringLiteral("mail kim.minji@example.com"));
    painter.drawText(QPointF(40, 170), QStringLiteral("call 010-2345-6789"));
    return image;
}

// A recognized line at a place of the picture, as the recognizer would report it.
inline TextRegion region(const std::string &text, UnitRect rect)
{
    return TextRegion{Uuid::random(), text, rect, 0.9f};
}

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture()
        : repository(dir.filePath(QStringLiteral("Library"))),
          host(repository, recognition, floating),
          image(pageWithText())
    {
        QFuture<CaptureItem> inserting = repository.insertImage(image, "회의 메모", false, std::nullopt);
        item = inserting.result();
    }

    std::unique_ptr<EditorModel> makeModel() { return makeModel(item); }
    std::unique_ptr<EditorModel> makeModel(const CaptureItem &capture, QImage picture = {})
    {
        return std::make_unique<EditorModel>(capture, picture.isNull() ? image : picture, host);
    }

    // How many undo steps the history holds.
    static int undoDepth(const EditorModel &model)
    {
        EditHistory<EditDocument> history = model.history();
        int depth = 0;
        while (history.canUndo()) {
            history.undo();
            ++depth;
        }
        return depth;
    }

    QString original() const { return repository.originalURL(item); }

    QTemporaryDir dir;
    LibraryRepository repository;
    TextRecognition recognition;
    FloatingWindows floating;
    TestEditorHost host;
    QImage image;
    CaptureItem item;
};

} // namespace tarn::TestSupport
