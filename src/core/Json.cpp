#include "core/Json.h"

#include <cfloat>
#include <cmath>

namespace tarn::json {

void read(const Json &j, double &out)
{
    if (!j.is_number())
        throw ReadError("expected a number");
    out = j.get<double>();
    if (!std::isfinite(out))
        throw ReadError("number out of range");
}

void read(const Json &j, float &out)
{
    double wide = 0;
    read(j, wide);
    if (std::fabs(wide) > FLT_MAX)
        throw ReadError("number does not fit a 32-bit float");
    out = static_cast<float>(wide);
}

void read(const Json &j, int64_t &out)
{
    if (j.is_number_unsigned()) {
        const auto value = j.get<uint64_t>();
        if (value > static_cast<uint64_t>(INT64_MAX))
            throw ReadError("integer out of range");
        out = static_cast<int64_t>(value);
        return;
    }
    if (j.is_number_integer()) {
        out = j.get<int64_t>();
        return;
    }
    if (j.is_number_float()) {
        // A whole number written with a fraction part ("3.0") is still an integer; anything
        // else, including values beyond the 64-bit range, is refused before any conversion.
        const double value = j.get<double>();
        if (std::isfinite(value) && value == std::trunc(value) && value >= -9.2233720368547758e18
            && value < 9.2233720368547758e18) {
            out = static_cast<int64_t>(value);
            return;
        }
        throw ReadError("expected an integer");
    }
    throw ReadError("expected an integer");
}

void read(const Json &j, bool &out)
{
    if (!j.is_boolean())
        throw ReadError("expected a boolean");
    out = j.get<bool>();
}

void read(const Json &j, std::string &out)
{
    if (!j.is_string())
        throw ReadError("expected a string");
    out = j.get<std::string>();
}

void read(const Json &j, Uuid &out)
{
    if (!j.is_string())
        throw ReadError("expected a UUID string");
    const auto parsed = Uuid::parse(j.get_ref<const std::string &>());
    if (!parsed)
        throw ReadError("malformed UUID \"" + j.get<std::string>() + "\"");
    out = *parsed;
}

void read(const Json &j, Date &out)
{
    read(j, out.secondsSinceReferenceDate);
}

const Json &requireObject(const Json &j)
{
    if (!j.is_object())
        throw ReadError("expected an object");
    return j;
}

std::string dump(const Json &j)
{
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace tarn::json
