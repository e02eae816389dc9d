// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/base/Failure.h"

namespace tarn {

// The error of every image operation: decoding, validation, drawing and encoding.
class ImageFailure : public Failure {
public:
    enum class Case { unreadable, tooLarge, encoding, invalidDimensions };

    explicit ImageFailure(Case c) : case_(c) { }
    static ImageFailure unreadable() { return ImageFailure(Case::unreadable); }
    // A file that could not even be opened: the description names it and why, not the formats.
    static ImageFailure unopened(QString path, QString cause)
    {
        ImageFailure failure(Case::unreadable);
        failure.path_ = std::move(path);
        failure.cause_ = std::move(cause);
        return failure;
    }
    static ImageFailure tooLarge() { return ImageFailure(Case::tooLarge); }
    static ImageFailure encoding() { return ImageFailure(Case::encoding); }
    static ImageFailure invalidDimensions() { return ImageFailure(Case::invalidDimensions); }

    Case kind() const { return case_; }
    QString description() const override;

    friend bool operator==(const ImageFailure &a, const ImageFailure &b) { return a.case_ == b.case_; }

private:
    Case case_;
    QString path_;
    QString cause_;
};

} // namespace tarn
