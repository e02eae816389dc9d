// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <simdjson.h>

#include "core/base/Json.h"

// Strict readers over a parsed document: a missing required key, a value of the wrong JSON
// type, an unknown case name or a malformed identifier fails the whole read with a ReadError
// naming the path to the bad value (".edits.annotations[0].tool").
namespace tarn::Json {

// simdjson's document reads a large index several times faster than building a document tree.
// Parses text once; the values it hands out live as long as the Document.
class Document {
public:
    // Throws SyntaxError for text that is not one JSON value (syntax, invalid UTF-8, nesting too
    // deep) and NumberRangeError for a number beyond any double. An integer too long for 64
    // bits is read as the double nearest to it, for the field that holds it to judge.
    Value parse(std::string_view text);

private:
    simdjson::dom::parser parser_;
};

// Primitive readers: each throws ReadError when the JSON type does not match.
void read(Value v, double &out);
void read(Value v, float &out);
void read(Value v, int64_t &out);
void read(Value v, bool &out);
void read(Value v, std::string &out);
void read(Value v, Uuid &out);
void read(Value v, Date &out);

std::string_view requireString(Value v);

template <typename E>
requires std::is_enum_v<E>
void read(Value v, E &out)
{
    const std::string_view name = requireString(v);
    const auto value = caseFromName<E>(name);
    if (!value)
        throw ReadError(QStringLiteral("알 수 없는 이름입니다(\"%1\")")
                            .arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
    out = *value;
}

template <typename T> void read(Value v, std::vector<T> &out)
{
    simdjson::dom::array array;
    if (v.get_array().get(array))
        throw ReadError(QStringLiteral("배열이 아닙니다"));
    out.clear();
    size_t i = 0;
    for (Value element : array) {
        T value{};
        try {
            read(element, value);
        } catch (const ReadError &e) {
            throw e.inside("[" + std::to_string(i) + "]");
        }
        out.push_back(std::move(value));
        ++i;
    }
}

simdjson::dom::object requireObject(Value v);

// Reads a required key of an object, prefixing any failure with the key's name. A key given
// more than once counts by its first occurrence.
template <typename T> void field(Value object, const char *key, T &out)
{
    Value value;
    if (requireObject(object).at_key(key).get(value))
        throw ReadError(QStringLiteral("없습니다"), std::string(".") + key);
    try {
        read(value, out);
    } catch (const ReadError &e) {
        throw e.inside(std::string(".") + key);
    }
}

// Reads an optional key: missing or null means absent.
template <typename T> void optionalField(Value object, const char *key, std::optional<T> &out)
{
    Value value;
    if (requireObject(object).at_key(key).get(value) || value.is_null()) {
        out.reset();
        return;
    }
    T read{};
    field(object, key, read);
    out = std::move(read);
}

// Reads a whole text as one value of type T.
template <typename T> void readText(std::string_view text, T &out)
{
    Document document;
    const Value root = document.parse(text);
    read(root, out);
}

} // namespace tarn::Json

namespace tarn {
// The generic readers are found beside the model types' own, whatever the argument.
using Json::read;
} // namespace tarn
