// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QComboBox>

namespace tarn {

// One entry of a picker: the text shown and the number it stands for.
struct Choice {
    QString label;
    int value = 0;
};

// The fixed choices of the settings pickers, in the order they are offered.
namespace SettingChoices {
std::vector<Choice> captureDelays(); // "없음" 0, "3초" 3, "5초" 5
std::vector<Choice> frameRates();    // "30 fps", "60 fps"
std::vector<Choice> longEdges();     // "1,920 px", "3,840 px"
} // namespace SettingChoices

// A drop-down picker over fixed choices showing a value owned elsewhere: setValue shows it (no
// entry is selected for a value that is not offered), `edited` reports the value the user chose.
class ChoicePicker : public QComboBox {
    Q_OBJECT

public:
    ChoicePicker(const QString &title, const std::vector<Choice> &choices, QWidget *parent = nullptr);

    // The value of the selected entry, or nullopt when none is.
    std::optional<int> value() const;
    void setValue(int value);

Q_SIGNALS:
    void edited(int value);
};

} // namespace tarn
