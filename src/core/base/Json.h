// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Date.h"
#include "core/base/EnumNames.h"
#include "core/base/Failure.h"
#include "core/base/Uuid.h"

namespace simdjson::dom {
class element;
} // namespace simdjson::dom

// The JSON errors and document types shared by the stored value types. Reading never repairs
// (JsonReader.h); writing is JsonWriter's work.

namespace tarn::Json {

// A stored document that does not read as its type. `path` names the value from the top of
// the document (".items[0].kind"; empty for the document itself) and `problem` says in Korean
// what is wrong with it, completing "… 값이" ("정수가 아닙니다"). what() holds both, in UTF-8.
class ReadError : public std::runtime_error {
public:
    explicit ReadError(QString problem, std::string path = {});

    const std::string &path() const { return path_; }
    const QString &problem() const { return problem_; }
    // The same problem seen from the value that holds this one.
    ReadError inside(const std::string &prefix) const { return ReadError(problem_, prefix + path_); }
    // A Korean sentence on what is wrong where in the document that `document` names, a phrase
    // ending in a noun such as "인덱스 파일(…/library.json)".
    virtual QString describe(const QString &document) const;

private:
    QString problem_;
    std::string path_;
};

// Text that is not one JSON value at all; the problem says how.
class SyntaxError : public ReadError {
public:
    using ReadError::ReadError;
    QString describe(const QString &document) const override;
};

// A number written correctly that no number of ours can hold (1e400): whatever value it
// stands for, it is out of range, wherever it stands.
class NumberRangeError : public ReadError {
public:
    using ReadError::ReadError;
    QString describe(const QString &document) const override;
};

// A value that JSON cannot hold (NaN or an infinity) reached a stored document; nothing was
// written. Its description is the user's message.
class WriteError : public Failure {
public:
    explicit WriteError(std::string detail) : detail_(std::move(detail)) { }
    const std::string &detail() const { return detail_; }
    QString description() const override
    {
        return QStringLiteral("저장할 수 없는 숫자 값(NaN 또는 무한대)이 있어 라이브러리를 저장하지 않았습니다.");
    }

private:
    std::string detail_;
};

// A parsed value (simdjson's document element). The readers that take one are in
// JsonReader.h, so only the files that read pay for simdjson's header.
using Value = simdjson::dom::element;

} // namespace tarn::Json
