// SPDX-License-Identifier: GPL-3.0-or-later
// The streaming writer that produces every stored document.
#include <gtest/gtest.h>

#include "core/base/JsonWriter.h"
#include "core/model/CaptureItem.h"
#include "support/JsonDocuments.h"
#include "support/Samples.h"

using namespace tarn;

TEST(JsonWriter, StoredObjectsComeOutCompactWithSortedKeys)
{
    CaptureItem item = Samples::sampleItem();
    Json::Writer w;
    write(w, item);
    // nlohmann keeps objects in a sorted map; re-dumping our output must not move a byte.
    EXPECT_EQ(w.text(), JsonDocument::parse(w.text()).dump());
    item.duration.reset();
    item.edits.crop.reset();
    item.edits.annotations[0].badgeStyle.reset();
    Json::Writer sparse;
    write(sparse, item);
    EXPECT_EQ(sparse.text(), JsonDocument::parse(sparse.text()).dump());
}

TEST(JsonWriter, StringsAreEscapedAndInvalidUtf8Replaced)
{
    Json::Writer w;
    w.beginArray();
    w.value(std::string_view("quote\" back\\ nl\n tab\t bell\x07 한글"));
    w.value(std::string_view("bad \xC3\x28 end \xF0\x9F\x98")); // broken sequences
    w.value(std::string_view("\xF0\x9F\x98\x80"));              // a valid 4-byte sequence stays
    w.endArray();
    EXPECT_EQ(w.text(),
              "[\"quote\\\" back\\\\ nl\\n tab\\t bell\\u0007 한글\","
              "\"bad \xEF\xBF\xBD( end \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\",\"\xF0\x9F\x98\x80\"]");
    const auto parsed = JsonDocument::parse(w.text());
    EXPECT_EQ(parsed[0].get<std::string>(), "quote\" back\\ nl\n tab\t bell\x07 한글");
}

TEST(JsonWriter, NumbersKeepTheirValueAndRefuseNonFinite)
{
    Json::Writer w;
    w.beginArray();
    for (double d : {700000000.0, -0.0, 0.1, 786000123.25, 1e300, -2.5e-7})
        w.value(d);
    w.value(0.93f);
    w.value(int64_t{-9'000'000'000});
    w.endArray();
    EXPECT_EQ(w.text(), "[700000000.0,-0.0,0.1,786000123.25,1e+300,-2.5e-07,0.93,-9000000000]");
    EXPECT_THROW(w.value(std::numeric_limits<double>::quiet_NaN()), Json::WriteError);
    EXPECT_THROW(w.value(-std::numeric_limits<float>::infinity()), Json::WriteError);
}
