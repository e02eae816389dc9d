// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include <QFuture>
#include <QImage>

#include "core/base/SerialExecutor.h"
#include "core/text/RecognitionResult.h"
#include "core/text/TextRecognizer.h"

namespace tarn {

// The process's one text recognizer. Every recognition runs on its own worker thread, one
// at a time in the order asked, so the capture flow, the text capture, the editor and the
// benchmark queue behind each other and never block the GUI thread.
class TextRecognition {
public:
    explicit TextRecognition(std::filesystem::path tessdata = defaultTessdataDirectory(),
                             RecognitionOptions options = {});
    ~TextRecognition();

    // The lines of `image` in reading order and the time taken. The future holds the
    // RecognitionFailure or ImageFailure of TextRecognizer::recognize when it fails.
    QFuture<RecognitionResult> recognize(const QImage &image);

private:
    TextRecognizer recognizer_; // touched only on the executor's thread
    SerialExecutor executor_;   // declared last: it finishes its queue before the recognizer goes
};

} // namespace tarn
