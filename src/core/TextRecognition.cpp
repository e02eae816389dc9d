#include "core/TextRecognition.h"

#include <exception>

#include <QPromise>

namespace tarn {

TextRecognition::TextRecognition(std::filesystem::path tessdata, RecognitionOptions options)
    : recognizer_(std::move(tessdata), options)
{
}

TextRecognition::~TextRecognition()
{
    executor_.waitForDone();
}

QFuture<RecognitionResult> TextRecognition::recognize(const QImage &image)
{
    // The failure itself goes into the future (not Qt's QUnhandledException wrapper), so a
    // caller catches RecognitionFailure and shows its Korean message.
    return executor_.run([this, image](QPromise<RecognitionResult> &promise) {
        try {
            promise.addResult(recognizer_.recognize(image));
        } catch (...) {
            promise.setException(std::current_exception());
        }
    });
}

} // namespace tarn
