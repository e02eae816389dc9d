// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Date.h"
#include "core/base/EnumNames.h"
#include "core/base/Json.h"
#include "core/base/Uuid.h"

namespace tarn::Json {

// Writes compact JSON straight into a string, without building a document first: the library
// index is rewritten on every change, so this is the hot path. Callers emit object keys in
// sorted (byte) order themselves. Strings are escaped and invalid UTF-8 is replaced by U+FFFD;
// NaN and infinities throw WriteError.
class Writer {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);

    void value(std::string_view text);
    void value(const std::string &text) { value(std::string_view(text)); }
    void value(const char *text) { value(std::string_view(text)); }
    void value(double number);
    void value(float number);
    void value(int64_t number);
    void value(int number) { value(static_cast<int64_t>(number)); }
    void value(bool flag);
    void value(const Uuid &id) { value(std::string_view(id.toString())); }
    void value(const Date &date) { value(date.secondsSinceReferenceDate); }
    template <typename E>
    requires std::is_enum_v<E>
    void value(E e) { value(caseName(e)); }

    const std::string &text() const { return out_; }
    std::string take() { return std::move(out_); }

private:
    void separate();

    std::string out_;
    bool needsComma_ = false;
};

// write(writer, value) for primitives, lists and the model types found by argument lookup.
template <typename T>
requires requires(Writer &w, const T &v) { w.value(v); }
void write(Writer &w, const T &v) { w.value(v); }

template <typename T> void write(Writer &w, const std::vector<T> &values)
{
    w.beginArray();
    for (const T &v : values)
        write(w, v);
    w.endArray();
}

template <typename T> void field(Writer &w, std::string_view name, const T &v)
{
    w.key(name);
    write(w, v);
}

// An optional field is left out when absent.
template <typename T> void field(Writer &w, std::string_view name, const std::optional<T> &v)
{
    if (v)
        field(w, name, *v);
}

} // namespace tarn::Json
