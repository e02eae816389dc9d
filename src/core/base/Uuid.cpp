// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/Uuid.h"

#include <QUuid>

namespace tarn {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isHyphenPosition(size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

} // namespace

Uuid Uuid::random()
{
    const QByteArray raw = QUuid::createUuid().toRfc4122();
    Uuid id;
    for (int i = 0; i < 16; ++i)
        id.bytes_[static_cast<size_t>(i)] = static_cast<uint8_t>(raw[i]);
    return id;
}

std::optional<Uuid> Uuid::parse(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    Uuid id;
    size_t byte = 0;
    for (size_t i = 0; i < text.size();) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        id.bytes_[byte++] = static_cast<uint8_t>(high * 16 + low);
        i += 2;
    }
    return id;
}

std::string Uuid::toString() const
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out.push_back('-');
        out.push_back(digits[bytes_[i] >> 4]);
        out.push_back(digits[bytes_[i] & 0x0F]);
    }
    return out;
}

bool Uuid::isNil() const
{
    for (uint8_t b : bytes_)
        if (b != 0)
            return false;
    return true;
}

} // namespace tarn

size_t std::hash<tarn::Uuid>::operator()(const tarn::Uuid &id) const noexcept
{
    size_t h = 1469598103934665603ULL;
    for (uint8_t b : id.bytes()) {
        h ^= b;
        h *= 1099511628211ULL;
    }
    return h;
}
