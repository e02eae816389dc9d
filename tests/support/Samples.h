// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fully populated sample values for tests of the stored forms.
#include "core/model/CaptureItem.h"

namespace tarn::Samples {

inline Annotation sampleAnnotation(MarkupTool tool = MarkupTool::badge)
{
    Annotation a;
    a.id = Uuid::random();
    a.tool = tool;
    a.points = {UnitPoint(0.1, 0.2), UnitPoint(0.4, 0.6)};
    a.color = MarkupColor::violet;
    a.weight = 7.5;
    a.text = "주의 note";
    a.number = 3;
    a.badgeStyle = BadgeStyle::heart;
    a.badgeRotation = 42.5;
    return a;
}

inline CaptureItem sampleItem()
{
    CaptureItem item;
    item.id = Uuid::random();
    item.title = "화면 캡처 Report";
    item.createdAt = Date{786'000'123.25};
    item.kind = CaptureKind::video;
    item.filename = item.id.toString() + ".mp4";
    item.thumbnailFilename = item.id.toString() + ".jpg";
    item.width = 3840;
    item.height = 2160;
    item.byteCount = 9'876'543'210;
    item.duration = 12.5;
    item.isFavorite = true;
    item.tags = {"ui", "빨강"};
    item.recognizedText = "로그인\nSign in";
    item.textRegions = {TextRegion{Uuid::random(), "로그인", UnitRect(0.1, 0.1, 0.2, 0.05), 0.93f},
                        TextRegion{Uuid::random(), "Sign in", UnitRect(0.1, 0.2, 0.3, 0.05), 0.5f}};
    item.edits.annotations = {sampleAnnotation(), sampleAnnotation(MarkupTool::redact)};
    item.edits.crop = UnitRect(0.05, 0.05, 0.9, 0.9);
    item.edits.backdrop = Backdrop::aurora;
    item.edits.padding = 48;
    item.edits.cornerRadius = 12;
    item.edits.aspect = FrameAspect::wide;
    item.isSample = true;
    item.trashedAt = Date{786'100'000.5};
    item.captureMilliseconds = 31.75;
    return item;
}

} // namespace tarn::Samples
