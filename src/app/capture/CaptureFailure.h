// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/base/Failure.h"

namespace tarn {

// The errors of still capture and of starting a recording; each description is the whole
// message the user sees.
class CaptureFailure : public Failure {
public:
    enum class Case { permission, displayUnavailable, microphonePermission };

    explicit CaptureFailure(Case c) : case_(c) { }
    static CaptureFailure permission() { return CaptureFailure(Case::permission); }
    static CaptureFailure displayUnavailable() { return CaptureFailure(Case::displayUnavailable); }
    static CaptureFailure microphonePermission() { return CaptureFailure(Case::microphonePermission); }

    Case kind() const { return case_; }
    QString description() const override;

    friend bool operator==(const CaptureFailure &a, const CaptureFailure &b) { return a.case_ == b.case_; }

private:
    Case case_;
};

} // namespace tarn

template <> struct std::hash<tarn::CaptureFailure> {
    size_t operator()(const tarn::CaptureFailure &f) const noexcept { return static_cast<size_t>(f.kind()); }
};
