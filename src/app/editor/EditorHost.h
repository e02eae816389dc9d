// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <qcoro/qcorotask.h>

#include "core/model/CaptureItem.h"

class QWidget;

namespace tarn {

class FloatingWindows;
class LibraryRepository;
class TextRecognition;

// What an editor needs of the application that opened it: the library store, the recognizer
// and the floating windows it shares with everything else, and the application's own copy and
// export of a flattened image. The application model implements it; it sits below the model
// in the layer order, so the editor reaches the application only through this.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // An object that lives exactly as long as the host. Work that outlives its editor (a
    // recognition still running when the window closed) checks it before calling back.
    virtual QObject *lifetime() = 0;

    virtual LibraryRepository &repository() const = 0;
    virtual TextRecognition &recognition() const = 0;
    virtual FloatingWindows &floating() const = 0;

    // Puts the item into the application's list by identifier.
    virtual void replace(const CaptureItem &item) = 0;
    // Brings the library window to the front (the editor's back button).
    virtual void showLibrary() = 0;

    // PNG on the cleared clipboard; throws the encoding error.
    virtual QCoro::Task<> copyImage(QImage image) = 0;
    // Asks for a destination over the window `over` (none: a panel of its own) and writes PNG or
    // JPEG; returns normally when the user cancels, throws on refusal, encoding or write errors.
    virtual QCoro::Task<> exportImage(QImage image, QString title, QWidget *over) = 0;
};

} // namespace tarn
