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

class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value that JSON cannot hold (NaN or an infinity) reached a stored document; nothing was
// written. Its description is the user's message.
// Text that is not one JSON value at all.
class SyntaxError : public ReadError {
public:
    using ReadError::ReadError;
};

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
