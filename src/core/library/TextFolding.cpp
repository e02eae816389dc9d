// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/library/TextFolding.h"

#include <cstring>
#include <optional>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace tarn::TextFolding {
namespace {

// Code points that decomposing, dropping marks, recomposing and case folding leave unchanged,
// apart from ASCII letters, which only lose their case: Hangul syllables, CJK ideographs and
// Hangul compatibility letters. Text made only of these (most Korean and English text) is folded
// without ICU; a syllable followed by a conjoining jamo is not simple text and goes through ICU.
bool isSimple(char32_t c)
{
    return c < 0x80 || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3131 && c <= 0x318E);
}

// Folds text made only of simple code points; none when another code point or invalid UTF-8
// is found.
std::optional<std::string> foldSimple(std::string_view text)
{
    std::string folded(text);
    for (size_t i = 0; i < folded.size();) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (byte < 0x80) {
            if (byte >= 'A' && byte <= 'Z')
                folded[i] = static_cast<char>(byte - 'A' + 'a');
            ++i;
            continue;
        }
        // Only three-byte sequences can hold the simple ranges above U+007F.
        if ((byte & 0xF0) != 0xE0 || i + 2 >= folded.size())
            return std::nullopt;
        const auto b1 = static_cast<unsigned char>(folded[i + 1]);
        const auto b2 = static_cast<unsigned char>(folded[i + 2]);
        if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80)
            return std::nullopt;
        const char32_t c = (char32_t(byte & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | char32_t(b2 & 0x3F);
        if (!isSimple(c) || c < 0x800)
            return std::nullopt;
        i += 3;
    }
    return folded;
}

} // namespace

std::string fold(std::string_view utf8)
{
    if (std::optional<std::string> simple = foldSimple(utf8))
        return std::move(*simple);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return std::string(utf8);
    const icu::UnicodeString decomposed = nfd->normalize(
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size()))), status);
    icu::UnicodeString bare;
    for (int32_t i = 0; i < decomposed.length();) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK)
            bare.append(c);
        i += U16_LENGTH(c);
    }
    icu::UnicodeString composed = nfc->normalize(bare, status);
    if (U_FAILURE(status))
        return std::string(utf8);
    composed.foldCase();
    std::string out;
    composed.toUTF8String(out);
    return out;
}

bool contains(std::string_view foldedHaystack, std::string_view foldedNeedle)
{
    if (foldedNeedle.empty())
        return false;
    return ::memmem(foldedHaystack.data(), foldedHaystack.size(), foldedNeedle.data(), foldedNeedle.size()) != nullptr;
}

} // namespace tarn::TextFolding
