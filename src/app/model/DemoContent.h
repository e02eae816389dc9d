// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QImage>
#include <QString>

#include "core/model/CaptureItem.h"

namespace tarn {

// One generated stand-in for a screen capture.
struct DemoSample {
    QString title;
    QImage image;                    // 1600 x 1000
    std::vector<TextRegion> regions; // as if recognized; only the privacy sample has any
    bool favorite = false;
};

// Synthetic pictures for demo libraries and the benchmark, drawn entirely in code: no file, no
// setting, no screen data. Every picture says that it is sample content, and every call draws
// the same pixels (only the privacy regions' identifiers are new each time).
namespace DemoContent {

inline constexpr int sampleWidth = 1600;
inline constexpr int sampleHeight = 1000;

// The synthetic contact of the privacy sample, drawn in it and stored as its text regions.
inline const QString privacyName = QStringLiteral("Mina Example");
inline const QString privacyEmail = QStringLiteral("mina@example.com");
inline const QString privacyPhone = QStringLiteral("010-1234-5678");
inline const QString privacyKeyLine = QStringLiteral("api_key: tarn_demo_0000SAMPLE0000XY");

// The six samples: landing, dashboard, planner, code, privacy, typography.
std::vector<DemoSample> makeSamples();
// The 3840 x 2160 input of the rendering benchmark.
QImage benchmarkImage();
// The four sensitive lines of the privacy sample, with fresh identifiers.
std::vector<TextRegion> privacyRegions();

} // namespace DemoContent

} // namespace tarn
