// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/ChoicePicker.h"

namespace tarn {

namespace SettingChoices {

std::vector<Choice> captureDelays()
{
    return {{QStringLiteral("없음"), 0}, {QStringLiteral("3초"), 3}, {QStringLiteral("5초"), 5}};
}

std::vector<Choice> frameRates() { return {{QStringLiteral("30 fps"), 30}, {QStringLiteral("60 fps"), 60}}; }

std::vector<Choice> longEdges() { return {{QStringLiteral("1,920 px"), 1920}, {QStringLiteral("3,840 px"), 3840}}; }

} // namespace SettingChoices

ChoicePicker::ChoicePicker(const QString &title, const std::vector<Choice> &choices, QWidget *parent)
    : QComboBox(parent)
{
    setAccessibleName(title);
    setToolTip(title);
    for (const Choice &choice : choices)
        addItem(choice.label, choice.value);
    // `activated` comes only from the user; programmatic changes are not edits.
    connect(this, &QComboBox::activated, this, [this](int index) { Q_EMIT edited(itemData(index).toInt()); });
}

std::optional<int> ChoicePicker::value() const
{
    if (currentIndex() < 0)
        return std::nullopt;
    return currentData().toInt();
}

void ChoicePicker::setValue(int value) { setCurrentIndex(findData(value)); }

} // namespace tarn
