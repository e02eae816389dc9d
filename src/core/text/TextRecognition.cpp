// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/TextRecognition.h"

#include <exception>

#include <QPromise>

namespace tarn {

TextRecognition::TextRecognition(std::filesystem::path tessdata, RecognitionOptions options)
    : recognizer_(std::move(tessdata), options),
      backgroundLimit_(options.backgroundLimit)
{ }

// Nobody waits for the background recognitions: quitting does not wait for them either.
TextRecognition::~TextRecognition()
{
    executor_.dropBackground();
    executor_.waitForDone();
}

QFuture<RecognitionResult> TextRecognition::recognize(const QImage &image)
{
    // A failure travels in the future as itself, so a caller catches RecognitionFailure and
    // shows its Korean message.
    return executor_.run([this, image] { return recognizer_.recognize(image); });
}

// The limit is counted from each start: time spent before giving way is not the image's fault.
QFuture<RecognitionResult> TextRecognition::recognizeInBackground(const QImage &image)
{
    return executor_.runInBackground([this, image] {
        return recognizer_.recognize(image, {std::chrono::steady_clock::now() + backgroundLimit_, &executor_});
    });
}

} // namespace tarn
