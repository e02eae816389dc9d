// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/base/Failure.h"

namespace tarn {

// The library store's errors.
class LibraryFailure : public Failure {
public:
    enum class Case { corruptedIndex, unsupportedVersion, unsafeFilename, missingItem, protectedExportLocation };

    static LibraryFailure corruptedIndex(QString detail) { return {Case::corruptedIndex, std::move(detail), 0}; }
    static LibraryFailure unsupportedVersion(int64_t version) { return {Case::unsupportedVersion, {}, version}; }
    static LibraryFailure unsafeFilename() { return {Case::unsafeFilename, {}, 0}; }
    static LibraryFailure missingItem() { return {Case::missingItem, {}, 0}; }
    static LibraryFailure protectedExportLocation() { return {Case::protectedExportLocation, {}, 0}; }

    Case kind() const { return case_; }
    const QString &detail() const { return detail_; }
    int64_t version() const { return version_; }
    QString description() const override;

    friend bool operator==(const LibraryFailure &a, const LibraryFailure &b)
    {
        return a.case_ == b.case_ && a.detail_ == b.detail_ && a.version_ == b.version_;
    }

private:
    LibraryFailure(Case c, QString detail, int64_t version)
        : case_(c),
          detail_(std::move(detail)),
          version_(version) { }

    Case case_;
    QString detail_;
    int64_t version_;
};

} // namespace tarn
