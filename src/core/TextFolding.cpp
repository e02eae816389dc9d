#include "core/TextFolding.h"

#include <cstring>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace tarn::textFolding {
namespace {

bool isAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

std::string fold(std::string_view utf8)
{
    if (isAscii(utf8)) {
        std::string folded(utf8);
        for (char &c : folded)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return folded;
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return std::string(utf8);
    const icu::UnicodeString decomposed =
        nfd->normalize(icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size()))), status);
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

} // namespace tarn::textFolding
