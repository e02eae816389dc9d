// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarn::TestSupport {

// The common interface families of Linux desktops (GNOME's, KDE's, Debian's default, the metric
// match of Arial), and the CJK font whose Latin letters a Korean desktop shows. Hangul comes from
// Noto Sans CJK KR with each of them. The tests of what depends on the font run in each.
inline constexpr const char *interfaceFamilies[] = {"DejaVu Sans", "Noto Sans", "Cantarell", "Liberation Sans",
                                                    "Noto Sans CJK KR"};

} // namespace tarn::TestSupport
