// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/base/Failure.h"

namespace tarn {

// Why text recognition could not run. An image without text is no failure.
class RecognitionFailure : public Failure {
public:
    enum class Case {
        noLanguageData,    // neither the Korean nor the English model is installed
        engineUnavailable, // a model is installed but the engine would not load it
        recognitionFailed, // the engine refused the image
        tookTooLong,       // a background recognition ran past its limit (see TextRecognition)
    };

    explicit RecognitionFailure(Case c) : case_(c) { }

    Case kind() const { return case_; }
    QString description() const override;

private:
    Case case_;
};

} // namespace tarn
