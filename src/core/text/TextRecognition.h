// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>

#include <QFuture>
#include <QImage>

#include "core/base/SerialExecutor.h"
#include "core/text/RecognitionResult.h"
#include "core/text/TextRecognizer.h"

namespace tarn {

// The process's one text recognizer. Every recognition runs on its own worker thread, one
// at a time, and never blocks the GUI thread. What the user waits for (the text capture, the
// editor, the benchmark) goes first, in the order asked; the recognition of stored captures
// runs in the background when nothing else waits.
class TextRecognition {
public:
    explicit TextRecognition(std::filesystem::path tessdata = defaultTessdataDirectory(),
                             RecognitionOptions options = {});
    ~TextRecognition(); // finishes what the user asked for; drops the background recognitions

    // The lines of `image` in reading order and the time taken. The future holds the
    // RecognitionFailure or ImageFailure of TextRecognizer::recognize when it fails.
    QFuture<RecognitionResult> recognize(const QImage &image);

    // The same for a stored capture nobody waits for. It gives way to every `recognize` asked
    // meanwhile and then starts again; an image that takes longer than the options'
    // backgroundLimit is left unread (RecognitionFailure::Case::tookTooLong). The future of one
    // still queued or under way when the recognizer goes holds SerialExecutor::Dropped.
    QFuture<RecognitionResult> recognizeInBackground(const QImage &image);

private:
    TextRecognizer recognizer_; // touched only on the executor's thread
    std::chrono::milliseconds backgroundLimit_;
    SerialExecutor executor_; // declared last: it finishes its queue before the recognizer goes
};

} // namespace tarn
