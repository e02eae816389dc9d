// SPDX-License-Identifier: GPL-3.0-or-later
// The stored JSON forms of the data model: round trips, strict reading and writing.
#include <gtest/gtest.h>

#include <unordered_set>

#include "core/model/CaptureItem.h"
#include "support/JsonDocuments.h"
#include "support/Samples.h"

using namespace tarn;

namespace {

CaptureItem readItem(const JsonDocument &j)
{
    CaptureItem item;
    read(j, item);
    return item;
}

JsonDocument minimalItemJson()
{
    return JsonDocument::parse(R"({
      "id": "6F9619FF-8B86-D011-B42D-00C04FC964FF", "title": "t", "createdAt": 10.5,
      "kind": "image", "filename": "a.png", "thumbnailFilename": "a.jpg", "width": 4,
      "height": 3, "byteCount": 99, "isFavorite": false, "tags": [], "recognizedText": "",
      "textRegions": [], "isSample": false,
      "edits": {"annotations": [], "backdrop": "none", "padding": 64, "cornerRadius": 18,
                "aspect": "natural"}})");
}

std::string readFailure(const JsonDocument &j)
{
    try {
        readItem(j);
    } catch (const Json::ReadError &e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(CaptureItemJson, FullItemRoundTripsWithEveryField)
{
    const CaptureItem item = Samples::sampleItem();
    const JsonDocument written = item;
    const CaptureItem back = readItem(JsonDocument::parse(written.dump()));
    EXPECT_EQ(back, item);
    EXPECT_EQ(std::hash<CaptureItem>{}(back), std::hash<CaptureItem>{}(item));
    // Keys come out sorted and compact; the identifier is the upper-case 36-character form.
    const std::string text = written.dump();
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find("\": "), std::string::npos);
    EXPECT_LT(text.find("\"byteCount\""), text.find("\"captureMilliseconds\""));
    EXPECT_NE(text.find(item.id.toString()), std::string::npos);
    EXPECT_NE(text.find("\"confidence\":0.93,"), std::string::npos); // floats written shortest
    EXPECT_EQ(item.id.toString().size(), 36u);
    EXPECT_EQ(item.id.toString(), QString::fromStdString(item.id.toString()).toUpper().toStdString());
}

TEST(CaptureItemJson, OptionalFieldsAreLeftOutAndReadAsAbsent)
{
    const CaptureItem item = readItem(minimalItemJson());
    EXPECT_FALSE(item.duration);
    EXPECT_FALSE(item.trashedAt);
    EXPECT_FALSE(item.captureMilliseconds);
    EXPECT_FALSE(item.edits.crop);
    const JsonDocument back = item;
    for (const char *key : {"duration", "trashedAt", "captureMilliseconds"})
        EXPECT_FALSE(back.contains(key)) << key;
    EXPECT_FALSE(back["edits"].contains("crop"));

    JsonDocument withNulls = minimalItemJson();
    withNulls["duration"] = nullptr;
    withNulls["trashedAt"] = nullptr;
    withNulls["unknownKey"] = "ignored";
    const CaptureItem fromNulls = readItem(withNulls);
    EXPECT_FALSE(fromNulls.duration);
    EXPECT_FALSE(fromNulls.trashedAt);
}

TEST(CaptureItemJson, ReadsThatMustFailSayWhy)
{
    JsonDocument missing = minimalItemJson();
    missing.erase("isSample");
    EXPECT_NE(readFailure(missing).find("isSample"), std::string::npos);

    JsonDocument wrongType = minimalItemJson();
    wrongType["width"] = "4";
    EXPECT_NE(readFailure(wrongType).find("width"), std::string::npos);

    JsonDocument boolAsNumber = minimalItemJson();
    boolAsNumber["height"] = true;
    EXPECT_FALSE(readFailure(boolAsNumber).empty());

    JsonDocument badKind = minimalItemJson();
    badKind["kind"] = "gif";
    EXPECT_NE(readFailure(badKind).find("gif"), std::string::npos);

    JsonDocument badTool = minimalItemJson();
    badTool["edits"]["annotations"] = JsonDocument::parse(
        R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","tool":"laser","points":[],"color":"mint",
             "weight":1,"text":"","number":1}])");
    const std::string toolFailure = readFailure(badTool);
    EXPECT_NE(toolFailure.find(".edits.annotations[0].tool"), std::string::npos) << toolFailure;

    for (const char *badId : {"6F9619FF-8B86-D011-B42D-00C04FC964F", "6F9619FF8B86-D011-B42D-00C04FC964FFF",
                              "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", "6F9619FF-8B86-D011-B42D-00C04FC964FG", ""}) {
        JsonDocument badUuid = minimalItemJson();
        badUuid["id"] = badId;
        EXPECT_NE(readFailure(badUuid).find("UUID"), std::string::npos) << badId;
    }

    JsonDocument lowerId = minimalItemJson();
    lowerId["id"] = "6f9619ff-8b86-d011-b42d-00c04fc964ff";
    EXPECT_EQ(readItem(lowerId).id.toString(), "6F9619FF-8B86-D011-B42D-00C04FC964FF");

    EXPECT_FALSE(readFailure(JsonDocument::array()).empty());
}

TEST(CaptureItemJson, NumbersThatDoNotFitAreRefusedNotCast)
{
    JsonDocument hugeWidth = minimalItemJson();
    hugeWidth["width"] = 1e300;
    EXPECT_FALSE(readFailure(hugeWidth).empty());

    JsonDocument fractional = minimalItemJson();
    fractional["byteCount"] = 12.5;
    EXPECT_FALSE(readFailure(fractional).empty());

    JsonDocument unsignedHuge = JsonDocument::parse(minimalItemJson().dump());
    unsignedHuge["byteCount"] = uint64_t{18'000'000'000'000'000'000ULL};
    EXPECT_FALSE(readFailure(unsignedHuge).empty());

    JsonDocument wholeFloat = minimalItemJson();
    wholeFloat["width"] = 640.0;
    EXPECT_EQ(readItem(wholeFloat).width, 640);

    JsonDocument hugeConfidence = minimalItemJson();
    hugeConfidence["textRegions"] = JsonDocument::parse(
        R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","text":"x",
             "rect":{"x":0,"y":0,"width":1,"height":1},"confidence":1e200}])");
    EXPECT_FALSE(readFailure(hugeConfidence).empty());
}

TEST(CaptureItemJson, WritingRefusesNumbersJsonCannotHold)
{
    CaptureItem item = Samples::sampleItem();
    item.edits.annotations[0].badgeRotation = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(JsonDocument{item}, Json::WriteError);
    item = Samples::sampleItem();
    item.duration = std::numeric_limits<double>::infinity();
    EXPECT_THROW(JsonDocument{item}, Json::WriteError);
}

TEST(CaptureItemJson, UnitValuesReadUnclampedButConstructorsClamp)
{
    UnitPoint p;
    read(JsonDocument::parse(R"({"x": 2.5, "y": -1})"), p);
    EXPECT_EQ(p.x, 2.5);
    EXPECT_EQ(p.y, -1);
    UnitRect r;
    read(JsonDocument::parse(R"({"x": -0.5, "y": 0.2, "width": 7, "height": -3})"), r);
    EXPECT_EQ(r, UnitRect::unclamped(-0.5, 0.2, 7, -3));
    const JsonDocument back = r;
    EXPECT_EQ(back["width"], 7);
}

TEST(CaptureItemJson, EqualityAndHashingCoverEveryField)
{
    const CaptureItem base = Samples::sampleItem();
    std::vector<std::function<void(CaptureItem &)>> changes = {
        [](CaptureItem &i) { i.title += "x"; },
        [](CaptureItem &i) { i.createdAt.secondsSinceReferenceDate += 1; },
        [](CaptureItem &i) { i.kind = CaptureKind::image; },
        [](CaptureItem &i) { i.filename = "other.png"; },
        [](CaptureItem &i) { i.thumbnailFilename = "other.jpg"; },
        [](CaptureItem &i) { i.width += 1; },
        [](CaptureItem &i) { i.height += 1; },
        [](CaptureItem &i) { i.byteCount += 1; },
        [](CaptureItem &i) { i.duration.reset(); },
        [](CaptureItem &i) { i.isFavorite = false; },
        [](CaptureItem &i) { i.tags.pop_back(); },
        [](CaptureItem &i) { i.recognizedText.clear(); },
        [](CaptureItem &i) { i.textRegions[1].confidence = 0.51f; },
        [](CaptureItem &i) { i.edits.cornerRadius = 13; },
        [](CaptureItem &i) { i.edits.annotations[0].badgeRotation = 43; },
        [](CaptureItem &i) { i.isSample = false; },
        [](CaptureItem &i) { i.trashedAt.reset(); },
        [](CaptureItem &i) { i.captureMilliseconds = 1; },
    };
    std::unordered_set<CaptureItem> set{base};
    for (size_t n = 0; n < changes.size(); ++n) {
        CaptureItem changed = base;
        changes[n](changed);
        EXPECT_NE(changed, base) << "change " << n;
        set.insert(changed);
    }
    EXPECT_EQ(set.size(), changes.size() + 1);

    // Same id, different title: different items.
    CaptureItem sameId = base;
    sameId.title = "다른 제목";
    EXPECT_NE(sameId, base);

    // -0 and +0 are equal and hash alike; NaN equals nothing.
    CaptureItem negZero = base, posZero = base;
    negZero.duration = -0.0;
    posZero.duration = 0.0;
    EXPECT_EQ(negZero, posZero);
    EXPECT_EQ(std::hash<CaptureItem>{}(negZero), std::hash<CaptureItem>{}(posZero));
    EXPECT_EQ(std::hash<UnitPoint>{}(UnitPoint::unclamped(-0.0, 0.0)), std::hash<UnitPoint>{}(UnitPoint(0, 0)));
    CaptureItem nan = base;
    nan.captureMilliseconds = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(nan, nan);
}

TEST(CaptureItemJson, SearchableTextJoinsTitleTextAndTags)
{
    CaptureItem item;
    item.title = "Report";
    item.tags = {"ui", "red"};
    EXPECT_EQ(item.searchableText(), "Report  ui red");
    EXPECT_EQ(CaptureItem{}.searchableText(), " ");
}
