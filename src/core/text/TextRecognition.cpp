// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/TextRecognition.h"

#include <exception>

#include <QPromise>

namespace tarn {

TextRecognition::TextRecognition(std::filesystem::path tessdata, RecognitionOptions options)
    : recognizer_(std::move(tessdata), options)
{ }

TextRecognition::~TextRecognition() { executor_.waitForDone(); }

QFuture<RecognitionResult> TextRecognition::recognize(const QImage &image)
{
    // A failure travels in the future as itself, so a caller catches RecognitionFailure and
    // shows its Korean message.
    return executor_.run([this, image] { return recognizer_.recognize(image); });
}

} // namespace tarn
