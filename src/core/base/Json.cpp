// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/JsonReader.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tarn::Json {

using simdjson::dom::element_type;

namespace {

const QString outOfRange = QStringLiteral("허용 범위를 벗어납니다");

QString syntaxProblem(simdjson::error_code error)
{
    switch (error) {
    case simdjson::EMPTY:
        return QStringLiteral("내용이 비어 있습니다");
    case simdjson::UTF8_ERROR:
        return QStringLiteral("UTF-8이 아닌 바이트가 있습니다");
    case simdjson::DEPTH_ERROR:
        return QStringLiteral("괄호가 너무 깊이 겹쳐 있습니다");
    case simdjson::STRING_ERROR:
    case simdjson::UNCLOSED_STRING:
    case simdjson::UNESCAPED_CHARS:
        return QStringLiteral("문자열이 올바르게 쓰이지 않았습니다");
    case simdjson::NUMBER_ERROR:
        return QStringLiteral("숫자가 올바르게 쓰이지 않았습니다");
    case simdjson::CAPACITY:
    case simdjson::MEMALLOC:
        return QStringLiteral("너무 커서 읽을 수 없습니다");
    default:
        return QStringLiteral("괄호, 쉼표나 값의 짜임이 JSON 문법에 맞지 않습니다");
    }
}

// Calls `visit` with each number token outside strings (a run of the characters numbers are
// written with); the tokens are not checked.
template <typename Visit> void forEachNumberToken(std::string_view text, Visit visit)
{
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const size_t end = std::min(text.find_first_not_of("+-.eE0123456789", i), text.size());
            visit(i, end);
            i = end - 1;
        }
    }
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Whether a token is a number by the JSON grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(std::string_view token)
{
    if (!token.empty() && token.front() == '-')
        token.remove_prefix(1);
    const size_t exponent = token.find_first_of("eE");
    std::string_view mantissa = token.substr(0, exponent);
    if (exponent != std::string_view::npos) {
        std::string_view power = token.substr(exponent + 1);
        if (!power.empty() && (power.front() == '+' || power.front() == '-'))
            power.remove_prefix(1);
        if (!isDigits(power))
            return false;
    }
    const size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    if (point != std::string_view::npos && !isDigits(mantissa.substr(point + 1)))
        return false;
    return isDigits(whole) && (whole.size() == 1 || whole.front() != '0');
}

// A JSON integer too long for 64 bits, which simdjson refuses to parse.
bool isLongInteger(std::string_view token)
{
    if (!isJsonNumber(token) || !isDigits(token.substr(token.front() == '-')))
        return false;
    const char *end = token.data() + token.size();
    int64_t negative = 0;
    uint64_t positive = 0;
    const std::from_chars_result read = token.front() == '-' ? std::from_chars(token.data(), end, negative)
                                                             : std::from_chars(token.data(), end, positive);
    return read.ec == std::errc::result_out_of_range;
}

// The text with every integer too long for 64 bits written as the same number with a fraction,
// which simdjson reads as a double; empty when there is none.
std::string withLongIntegersAsDoubles(std::string_view text)
{
    std::string widened;
    size_t copied = 0;
    forEachNumberToken(text, [&](size_t begin, size_t end) {
        if (!isLongInteger(text.substr(begin, end - begin)))
            return;
        widened.append(text.substr(copied, end - copied)).append(".0");
        copied = end;
    });
    if (copied > 0)
        widened.append(text.substr(copied));
    return widened;
}

// The first correctly written number beyond the double range, if any.
std::optional<std::string> numberBeyondDoubles(std::string_view text)
{
    std::optional<std::string> found;
    forEachNumberToken(text, [&](size_t begin, size_t end) {
        const std::string token(text.substr(begin, end - begin));
        if (!found && isJsonNumber(token) && std::isinf(std::strtod(token.c_str(), nullptr)))
            found = token;
    });
    return found;
}

} // namespace

ReadError::ReadError(QString problem, std::string path)
    : std::runtime_error(path + (path.empty() ? "" : ": ") + problem.toStdString()),
      problem_(std::move(problem)),
      path_(std::move(path))
{ }

QString ReadError::describe(const QString &document) const
{
    if (path_.empty())
        return QStringLiteral("%1의 최상위 값이 %2.").arg(document, problem_);
    const std::string_view where = std::string_view(path_).substr(path_.front() == '.');
    return QStringLiteral("%1의 %2 값이 %3.")
        .arg(document, QString::fromUtf8(where.data(), qsizetype(where.size())), problem_);
}

QString SyntaxError::describe(const QString &document) const
{
    return QStringLiteral("%1이 올바른 JSON이 아닙니다: %2.").arg(document, problem());
}

QString NumberRangeError::describe(const QString &document) const
{
    return QStringLiteral("%1에 %2.").arg(document, problem());
}

Value Document::parse(std::string_view text)
{
    Value root;
    simdjson::error_code error = parser_.parse(text.data(), text.size()).get(root);
    if (error == simdjson::NUMBER_ERROR) {
        // Valid JSON may hold numbers simdjson cannot: those are judged by their fields.
        const std::string widened = withLongIntegersAsDoubles(text);
        if (!widened.empty())
            error = parser_.parse(widened).get(root);
        if (error == simdjson::NUMBER_ERROR)
            if (const std::optional<std::string> huge = numberBeyondDoubles(text))
                throw NumberRangeError(QStringLiteral("나타낼 수 있는 범위를 벗어난 숫자(%1)가 있습니다")
                                           .arg(QString::fromStdString(*huge)));
    }
    if (error)
        throw SyntaxError(syntaxProblem(error));
    return root;
}

void read(Value v, double &out)
{
    // simdjson only hands out finite numbers: anything beyond the double range fails parsing.
    if (v.get_double().get(out))
        throw ReadError(QStringLiteral("숫자가 아닙니다"));
}

void read(Value v, float &out)
{
    double wide = 0;
    read(v, wide);
    if (std::fabs(wide) > FLT_MAX)
        throw ReadError(outOfRange);
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
        throw ReadError(outOfRange);
    case element_type::DOUBLE: {
        // A whole number written with a fraction part ("3.0") is still an integer; anything
        // else, including values beyond the 64-bit range, is refused before any conversion.
        const double value = v.get_double().value_unsafe();
        if (value != std::trunc(value))
            throw ReadError(QStringLiteral("정수가 아닙니다"));
        if (value < -9.2233720368547758e18 || value >= 9.2233720368547758e18)
            throw ReadError(outOfRange);
        out = static_cast<int64_t>(value);
        return;
    }
    default:
        throw ReadError(QStringLiteral("정수가 아닙니다"));
    }
}

void read(Value v, bool &out)
{
    if (v.get_bool().get(out))
        throw ReadError(QStringLiteral("참/거짓 값이 아닙니다"));
}

std::string_view requireString(Value v)
{
    std::string_view text;
    if (v.get_string().get(text))
        throw ReadError(QStringLiteral("문자열이 아닙니다"));
    return text;
}

void read(Value v, std::string &out) { out = std::string(requireString(v)); }

void read(Value v, Uuid &out)
{
    std::string_view text;
    if (v.get_string().get(text))
        throw ReadError(QStringLiteral("UUID 문자열이 아닙니다"));
    const auto parsed = Uuid::parse(text);
    if (!parsed)
        throw ReadError(QStringLiteral("올바른 UUID가 아닙니다(\"%1\")")
                            .arg(QString::fromUtf8(text.data(), qsizetype(text.size()))));
    out = *parsed;
}

void read(Value v, Date &out) { read(v, out.secondsSinceReferenceDate); }

simdjson::dom::object requireObject(Value v)
{
    simdjson::dom::object object;
    if (v.get_object().get(object))
        throw ReadError(QStringLiteral("객체가 아닙니다"));
    return object;
}

} // namespace tarn::Json
