// SPDX-License-Identifier: GPL-3.0-or-later
// Developer tool: writes the badge palette sheet as a PNG file, without any window.
//   tarn-badge-preview --badge-preview <file>            one row, unrotated
//   tarn-badge-preview --badge-rotation-preview <file>   each style at 0, 45, 180, 289, 360 degrees
#include <cstdio>
#include <cstring>

#include "core/base/Failure.h"
#include "core/render/BadgePreview.h"

int main(int argc, char **argv)
{
    int at = -1;
    for (int i = 1; i < argc && at < 0; ++i)
        if (std::strcmp(argv[i], "--badge-preview") == 0)
            at = i;
    for (int i = 1; i < argc && at < 0; ++i)
        if (std::strcmp(argv[i], "--badge-rotation-preview") == 0)
            at = i;
    if (at < 0) {
        std::fputs("Usage: tarn-badge-preview --badge-preview|--badge-rotation-preview <file>\n", stderr);
        return 2;
    }
    if (at + 1 >= argc) {
        std::fputs("Badge preview requires an output PNG path\n", stderr);
        return 2;
    }
    const bool rotations = std::strcmp(argv[at], "--badge-rotation-preview") == 0;
    try {
        const QString path = tarn::BadgePreview::write(QString::fromLocal8Bit(argv[at + 1]), rotations);
        std::printf("Badge palette: %s\n", path.toLocal8Bit().constData());
    } catch (const tarn::Failure &f) {
        std::fprintf(stderr, "Badge preview failed: %s\n", f.what());
        return 1;
    }
    return 0;
}
