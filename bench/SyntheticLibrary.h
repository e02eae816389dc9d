// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Library items for the benchmarks: realistic titles and sizes, mixed Korean and English
// recognized text of a given length, 30 text regions when there is text, and optional marks.
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/model/CaptureItem.h"

namespace tarn::Bench {

inline const char *const vocabulary[] = {"회의", "자료",    "로그인", "Settings", "설정", "error",  "파일", "Export",
                                         "캡처", "report",  "메뉴",   "사용자",   "확인", "Cancel", "저장", "window",
                                         "결제", "invoice", "버튼",   "오류가",   "발생", "build",  "배포", "서버"};

inline std::string word(std::mt19937 &rng) { return vocabulary[rng() % std::size(vocabulary)]; }

inline Annotation syntheticMark(int a, std::mt19937 &rng)
{
    std::uniform_real_distribution<double> unit(0, 1);
    Annotation mark;
    mark.id = Uuid::random();
    mark.tool = allCases<MarkupTool>()[1 + a % 13];
    mark.points = {UnitPoint(unit(rng), unit(rng)), UnitPoint(unit(rng), unit(rng))};
    mark.weight = 6;
    mark.number = a + 1;
    if (mark.tool == MarkupTool::badge) {
        mark.badgeStyle = BadgeStyle::warning;
        mark.badgeRotation = 30;
    }
    return mark;
}

inline CaptureItem syntheticItem(int n, size_t textBytes, int marks, std::mt19937 &rng)
{
    CaptureItem item;
    item.id = Uuid::random();
    item.title = "캡처 " + std::to_string(n);
    item.createdAt = Date{780'000'000.0 + n * 97.0};
    item.filename = item.id.toString() + ".png";
    item.thumbnailFilename = item.id.toString() + ".jpg";
    item.width = 2880;
    item.height = 1800;
    item.byteCount = 1'200'000 + n;
    item.isFavorite = n % 7 == 0;
    item.tags = {n % 2 ? "work" : "home", "ui"};
    while (item.recognizedText.size() < textBytes)
        item.recognizedText += word(rng) + (rng() % 8 == 0 ? "\n" : " ");
    if (textBytes > 0)
        for (int r = 0; r < 30; ++r)
            item.textRegions.push_back(
                TextRegion{Uuid::random(), word(rng) + " " + word(rng), UnitRect(0.1, r / 31.0, 0.5, 0.02), 0.9f});
    for (int a = 0; a < marks; ++a)
        item.edits.annotations.push_back(syntheticMark(a, rng));
    item.captureMilliseconds = 25.0;
    return item;
}

inline std::vector<CaptureItem> syntheticLibrary(int count, size_t textBytes, int marks = 0)
{
    std::mt19937 rng(11);
    std::vector<CaptureItem> items;
    items.reserve(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n)
        items.push_back(syntheticItem(n, textBytes, marks, rng));
    return items;
}

} // namespace tarn::Bench
