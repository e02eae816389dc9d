// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/JsonReader.h"

#include <cfloat>
#include <cmath>

namespace tarn::Json {

using simdjson::dom::element_type;

Value Document::parse(std::string_view text)
{
    Value root;
    if (const auto error = parser_.parse(text.data(), text.size()).get(root))
        throw SyntaxError(std::string("not valid JSON: ") + simdjson::error_message(error));
    return root;
}

std::string prefixed(const std::string &prefix, const ReadError &inner)
{
    const char *what = inner.what();
    return prefix + (what[0] == '.' || what[0] == '[' ? "" : ": ") + what;
}

void read(Value v, double &out)
{
    // simdjson only hands out finite numbers: anything beyond the double range fails parsing.
    if (v.get_double().get(out))
        throw ReadError("expected a number");
}

void read(Value v, float &out)
{
    double wide = 0;
    read(v, wide);
    if (std::fabs(wide) > FLT_MAX)
        throw ReadError("number does not fit a 32-bit float");
    out = static_cast<float>(wide);
}

void read(Value v, int64_t &out)
{
    switch (v.type()) {
    case element_type::INT64:
        out = v.get_int64().value_unsafe();
        return;
    case element_type::UINT64:
        // Only values beyond the signed range are stored as unsigned.
        throw ReadError("integer out of range");
    case element_type::DOUBLE: {
        // A whole number written with a fraction part ("3.0") is still an integer; anything
        // else, including values beyond the 64-bit range, is refused before any conversion.
        const double value = v.get_double().value_unsafe();
        if (std::isfinite(value) && value == std::trunc(value) && value >= -9.2233720368547758e18 &&
            value < 9.2233720368547758e18) {
            out = static_cast<int64_t>(value);
            return;
        }
        throw ReadError("expected an integer");
    }
    default:
        throw ReadError("expected an integer");
    }
}

void read(Value v, bool &out)
{
    if (v.get_bool().get(out))
        throw ReadError("expected a boolean");
}

std::string_view requireString(Value v)
{
    std::string_view text;
    if (v.get_string().get(text))
        throw ReadError("expected a string");
    return text;
}

void read(Value v, std::string &out) { out = std::string(requireString(v)); }

void read(Value v, Uuid &out)
{
    std::string_view text;
    if (v.get_string().get(text))
        throw ReadError("expected a UUID string");
    const auto parsed = Uuid::parse(text);
    if (!parsed)
        throw ReadError("malformed UUID \"" + std::string(text) + "\"");
    out = *parsed;
}

void read(Value v, Date &out) { read(v, out.secondsSinceReferenceDate); }

simdjson::dom::object requireObject(Value v)
{
    simdjson::dom::object object;
    if (v.get_object().get(object))
        throw ReadError("expected an object");
    return object;
}

} // namespace tarn::Json
