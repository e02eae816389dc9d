// SPDX-License-Identifier: GPL-3.0-or-later
// The library search syntax and its matching, including Korean text and day boundaries.
#include <cstdlib>
#include <ctime>

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

#include "core/library/SearchQuery.h"
#include "core/library/TextFolding.h"
#include "support/LibraryTestSupport.h"

#include <unicode/unistr.h>

using namespace tarn;
using namespace tarn::TestSupport;

namespace {

CaptureItem item(const std::string &title, const std::string &text = "", std::vector<std::string> tags = {})
{
    CaptureItem i = makeItem(title);
    i.recognizedText = text;
    i.tags = std::move(tags);
    return i;
}

bool matches(const std::string &query, const CaptureItem &candidate)
{
    const SearchQuery parsed(query);
    const bool direct = parsed.matches(candidate);
    EXPECT_EQ(direct, parsed.matches(candidate, SearchText::of(candidate))) << "prepared text disagrees for " << query;
    return direct;
}

// Sets the process time zone for one test and restores it afterwards.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char *zone)
    {
        if (const char *old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZoneScope()
    {
        if (old_.empty())
            ::unsetenv("TZ");
        else
            ::setenv("TZ", old_.c_str(), 1);
        ::tzset();
    }

private:
    std::string old_;
};

CaptureItem madeAt(const char *isoUtc)
{
    CaptureItem i = makeItem("dated");
    i.createdAt = Date::fromDateTime(QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODate));
    return i;
}

} // namespace

TEST(SearchQuery, NothingToSearchMatchesEverything)
{
    const CaptureItem any = item("anything");
    for (const char *text : {"", "   ", "\t\n", "\"\"", " \"\" "}) {
        EXPECT_TRUE(SearchQuery(text).isEmpty()) << text;
        EXPECT_TRUE(matches(text, any)) << text;
    }
}

TEST(SearchQuery, WordsMustAllOccurAnywherePhrasesTogether)
{
    const CaptureItem report = item("Quarterly report", "revenue grew", {"finance"});
    EXPECT_TRUE(matches("report revenue", report));
    EXPECT_TRUE(matches("revenue report", report));
    EXPECT_TRUE(matches("FINANCE quarterly", report)) << "tags and title, any case";
    EXPECT_FALSE(matches("report missing", report));
    EXPECT_TRUE(matches("\"revenue grew\"", report));
    EXPECT_FALSE(matches("\"grew revenue\"", report));
    EXPECT_TRUE(matches("\"report revenue\"", report)) << "fields are joined with one blank";
    EXPECT_TRUE(matches("\"revenue gr", report)) << "an unclosed quotation keeps the rest";
    EXPECT_FALSE(matches("\"revenue  gr", report)) << "white space inside quotes is kept exactly";
    EXPECT_TRUE(matches("rev\"enue gr\"ew", report)) << "quotes join the pieces of one term";
    EXPECT_TRUE(matches("report\nrevenue\u3000grew", report)) << "any Unicode white space separates";
}

TEST(SearchQuery, ExclusionWithALeadingMinus)
{
    const CaptureItem draft = item("draft - notes");
    const CaptureItem final = item("final notes");
    EXPECT_FALSE(matches("notes -draft", draft));
    EXPECT_TRUE(matches("notes -draft", final));
    EXPECT_TRUE(matches("-", draft)) << "a lone minus searches for a hyphen";
    EXPECT_FALSE(matches("-", final));
    const CaptureItem dashed = item("a -x b");
    EXPECT_FALSE(matches("--x", dashed)) << "a double minus excludes the text after the first";
    EXPECT_TRUE(matches("--x", item("x alone")));
    EXPECT_FALSE(matches("\"-final notes\"", final)) << "a quoted term can be excluded";
}

TEST(SearchQuery, KeyValueTerms)
{
    CaptureItem image = item("shot", "", {"Work", "project-alpha"});
    CaptureItem video = item("clip", "", {"home"});
    video.kind = CaptureKind::video;
    video.isFavorite = true;

    EXPECT_TRUE(matches("type:image", image));
    EXPECT_FALSE(matches("type:image", video));
    EXPECT_TRUE(matches("TYPE:VIDEO", video));
    EXPECT_TRUE(matches("Type:Video", video));
    EXPECT_TRUE(matches("-type:video", image));
    EXPECT_TRUE(matches(":type:image", image)) << "a leading colon does not count as the split";

    EXPECT_TRUE(matches("tag:work", image)) << "tag values ignore case";
    EXPECT_TRUE(matches("TAG:proj", image)) << "a tag containing the value";
    EXPECT_FALSE(matches("tag:shot", image)) << "the title is not a tag";
    EXPECT_FALSE(matches("-tag:work", image));

    EXPECT_TRUE(matches("is:favorite", video));
    EXPECT_TRUE(matches("IS:FAVORITE", video));
    EXPECT_FALSE(matches("is:favorite", image));
    EXPECT_TRUE(matches("-is:favorite", image));
    EXPECT_FALSE(matches("-is:favorite", video));

    CaptureItem twoWords = item("x", "", {"two words", "single"});
    EXPECT_TRUE(matches("\"tag:two words\"", twoWords));
    EXPECT_TRUE(matches("tag:\"two words\"", twoWords));
    EXPECT_FALSE(matches("tag:\"two single\"", twoWords));
    CaptureItem colonTag = item("x", "", {"a:x"});
    EXPECT_TRUE(matches("tag::x", colonTag)) << "the value after the first colon keeps later colons";
}

TEST(SearchQuery, UnreadableKeyValueTermsAreSearchedAsText)
{
    const CaptureItem plain = item("plain");
    for (const char *term : {"type:gif", "is:other", "before:2024-13-01", "after:2023-02-29", "before:word",
                             "before:2024-1-05", "tag:", "foo:bar", "is:", ":", "::"}) {
        SCOPED_TRACE(term);
        EXPECT_FALSE(matches(term, plain));
        EXPECT_TRUE(matches(term, item(std::string("note ") + term + " here")));
        EXPECT_TRUE(matches(std::string("-") + term, plain));
    }
}

TEST(SearchQuery, KoreanAndAccentedText)
{
    const CaptureItem korean = item("회의록", "화면 캡처 도구로 저장한 문서입니다", {"업무"});
    EXPECT_TRUE(matches("캡처", korean));
    EXPECT_TRUE(matches("\"캡처 도구\"", korean));
    EXPECT_TRUE(matches("tag:업무 회의", korean));
    EXPECT_FALSE(matches("하", item("한국어"))) << "a syllable is not found inside another syllable";
    EXPECT_TRUE(matches("한", item("한국어")));
    EXPECT_TRUE(matches("-개인", korean));

    // Decomposed Hangul (as some systems store file names) is found by composed queries.
    EXPECT_TRUE(matches("한국", item("\u1112\u1161\u11AB\u1100\u116E\u11A8")));
    EXPECT_TRUE(matches("한", item("\uD558\u11AB"))) << "a syllable and a trailing consonant compose";
    EXPECT_FALSE(matches("하", item("\uD558\u11AB")));
    EXPECT_TRUE(matches("HELLO 세계", item("hello 세계 漢字")));

    const CaptureItem cafe = item("Café Crème");
    EXPECT_TRUE(matches("cafe", cafe));
    EXPECT_TRUE(matches("CAFÉ creme", cafe));
    EXPECT_TRUE(matches("cafe\xCC\x81", cafe)) << "a decomposed accent";
    EXPECT_TRUE(matches("ÉCOLE", item("ecole")));
    EXPECT_TRUE(matches("straße", item("STRASSE")));
}

TEST(SearchQuery, DayBoundariesFollowTheCurrentTimeZone)
{
    TimeZoneScope zone("Asia/Seoul");
    const CaptureItem midnight = madeAt("2024-02-29T15:00:00Z");   // 2024-03-01 00:00 in Seoul
    const CaptureItem lastSecond = madeAt("2024-02-29T14:59:59Z"); // 2024-02-29 23:59:59 in Seoul
    EXPECT_FALSE(matches("before:2024-03-01", midnight));
    EXPECT_TRUE(matches("after:2024-03-01", midnight));
    EXPECT_TRUE(matches("before:2024-03-01", lastSecond));
    EXPECT_FALSE(matches("after:2024-03-01", lastSecond));
    EXPECT_TRUE(matches("after:2024-02-29 before:2024-03-01", lastSecond)) << "a leap day";
    EXPECT_TRUE(matches("-before:2024-03-01", midnight));

    {
        TimeZoneScope utc("UTC");
        EXPECT_TRUE(matches("before:2024-03-01", midnight)) << "the zone is read when the query is made";
    }

    // Where midnight does not exist (a daylight-saving change at 00:00), the day starts at 01:00.
    TimeZoneScope saoPaulo("America/Sao_Paulo");
    EXPECT_TRUE(matches("after:2018-11-04", madeAt("2018-11-04T03:00:00Z")));
    EXPECT_FALSE(matches("after:2018-11-04", madeAt("2018-11-04T02:59:59Z")));
}

TEST(TextFolding, TheQuickPathAgreesWithFullUnicodeFolding)
{
    // The same text once on the quick path and once, with a trailing accented letter, through
    // full Unicode folding: both must fold the shared part identically.
    std::string sample = "Hello WORLD 123 ~!@# 회의 자료 가힣 一龥 ㄱㆎ\n\t";
    for (char32_t c = 0xAC00; c <= 0xD7A3; c += 97) {
        icu::UnicodeString one(static_cast<UChar32>(c));
        one.toUTF8String(sample);
    }
    EXPECT_EQ(TextFolding::fold(sample) + "e", TextFolding::fold(sample + "\xC3\xA9"));
    EXPECT_EQ(TextFolding::fold("ABC 한글"), "abc 한글");
    EXPECT_EQ(TextFolding::fold("\xED\x9F"), TextFolding::fold(std::string("\xED\x9F"))) << "cut UTF-8 does not crash";
}
