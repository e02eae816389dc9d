#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/Date.h"
#include "core/EnumNames.h"
#include "core/Failure.h"
#include "core/Uuid.h"

// Strict JSON reading and writing for the stored value types. Reading never repairs: a missing
// required key, a value of the wrong JSON type, an unknown case name or a malformed identifier
// fails the whole read with a ReadError that names the path to the bad value. Writing is
// JsonWriter's work.
namespace tarn::json {

using Json = nlohmann::json;

class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value that JSON cannot hold (NaN or an infinity) reached a stored document; nothing was
// written. Its description is the user's message.
class WriteError : public Failure {
public:
    explicit WriteError(std::string detail) : detail_(std::move(detail)) {}
    const std::string &detail() const { return detail_; }
    QString description() const override
    {
        return QStringLiteral("저장할 수 없는 숫자 값(NaN 또는 무한대)이 있어 라이브러리를 저장하지 않았습니다.");
    }

private:
    std::string detail_;
};

// Primitive readers: each throws ReadError when the JSON type does not match.
void read(const Json &j, double &out);
void read(const Json &j, float &out);
void read(const Json &j, int64_t &out);
void read(const Json &j, bool &out);
void read(const Json &j, std::string &out);
void read(const Json &j, Uuid &out);
void read(const Json &j, Date &out);

template <typename E>
    requires std::is_enum_v<E>
void read(const Json &j, E &out)
{
    if (!j.is_string())
        throw ReadError("expected a string");
    const auto value = caseFromName<E>(j.get_ref<const std::string &>());
    if (!value)
        throw ReadError("unknown case \"" + j.get<std::string>() + "\"");
    out = *value;
}

template <typename T>
void read(const Json &j, std::vector<T> &out)
{
    if (!j.is_array())
        throw ReadError("expected an array");
    out.clear();
    out.reserve(j.size());
    for (size_t i = 0; i < j.size(); ++i) {
        T value{};
        try {
            read(j[i], value);
        } catch (const ReadError &e) {
            throw ReadError("[" + std::to_string(i) + "]" + (e.what()[0] == '.' || e.what()[0] == '[' ? "" : ": ") + e.what());
        }
        out.push_back(std::move(value));
    }
}

const Json &requireObject(const Json &j);

// Reads a required key of an object, prefixing any failure with the key's name.
template <typename T>
void field(const Json &object, const char *key, T &out)
{
    const auto it = requireObject(object).find(key);
    if (it == object.end())
        throw ReadError(std::string(".") + key + ": missing key");
    try {
        read(*it, out);
    } catch (const ReadError &e) {
        const char *what = e.what();
        throw ReadError(std::string(".") + key + (what[0] == '.' || what[0] == '[' ? "" : ": ") + what);
    }
}

// Reads an optional key: missing or null means absent.
template <typename T>
void optionalField(const Json &object, const char *key, std::optional<T> &out)
{
    const auto it = requireObject(object).find(key);
    if (it == object.end() || it->is_null()) {
        out.reset();
        return;
    }
    T value{};
    field(object, key, value);
    out = std::move(value);
}

// Compact output with sorted keys; invalid UTF-8 in a string is replaced instead of throwing.
std::string dump(const Json &j);

} // namespace tarn::json
