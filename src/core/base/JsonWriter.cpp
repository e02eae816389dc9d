// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/JsonWriter.h"

#include <charconv>
#include <cmath>

namespace tarn::Json {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not valid UTF-8.
size_t utf8SequenceLength(std::string_view s, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    size_t length = 0;
    uint32_t code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF)
        return 0;
    return length;
}

void appendControl(std::string &out, unsigned char c)
{
    static constexpr char hex[] = "0123456789abcdef";
    switch (c) {
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\t':
        out += "\\t";
        break;
    case '\b':
        out += "\\b";
        break;
    case '\f':
        out += "\\f";
        break;
    default:
        out += "\\u00";
        out.push_back(hex[c >> 4]);
        out.push_back(hex[c & 0x0F]);
    }
}

void appendEscaped(std::string &out, std::string_view s)
{
    out.push_back('"');
    size_t runStart = 0; // bytes that go out unchanged are copied in runs
    size_t i = 0;
    const auto flush = [&] { out.append(s.data() + runStart, i - runStart); };
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const size_t length = utf8SequenceLength(s, i); length > 0) {
                i += length;
                continue;
            }
        }
        flush();
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            appendControl(out, c);
        } else {
            out += "\xEF\xBF\xBD"; // U+FFFD for a byte that starts no valid sequence
        }
        ++i;
        runStart = i;
    }
    flush();
    out.push_back('"');
}

template <typename Number> void appendNumber(std::string &out, Number number)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

void requireFinite(double number)
{
    if (!std::isfinite(number))
        throw WriteError("a number that JSON cannot hold (NaN or infinity)");
}

} // namespace

void Writer::separate()
{
    if (needsComma_)
        out_.push_back(',');
}

void Writer::beginObject()
{
    separate();
    out_.push_back('{');
    needsComma_ = false;
}

void Writer::endObject()
{
    out_.push_back('}');
    needsComma_ = true;
}

void Writer::beginArray()
{
    separate();
    out_.push_back('[');
    needsComma_ = false;
}

void Writer::endArray()
{
    out_.push_back(']');
    needsComma_ = true;
}

void Writer::key(std::string_view name)
{
    separate();
    appendEscaped(out_, name);
    out_.push_back(':');
    needsComma_ = false;
}

void Writer::value(std::string_view text)
{
    separate();
    appendEscaped(out_, text);
    needsComma_ = true;
}

void Writer::value(double number)
{
    requireFinite(number);
    separate();
    if (number == std::trunc(number) && std::fabs(number) < 1e15) {
        // Whole numbers as "700000000.0" rather than the shorter "7e+08".
        if (std::signbit(number))
            out_.push_back('-');
        appendNumber(out_, static_cast<int64_t>(std::fabs(number)));
        out_ += ".0";
    } else {
        appendNumber(out_, number);
    }
    needsComma_ = true;
}

void Writer::value(float number)
{
    requireFinite(number);
    separate();
    appendNumber(out_, number);
    needsComma_ = true;
}

void Writer::value(int64_t number)
{
    separate();
    appendNumber(out_, number);
    needsComma_ = true;
}

void Writer::value(bool flag)
{
    separate();
    out_ += flag ? "true" : "false";
    needsComma_ = true;
}

} // namespace tarn::Json
