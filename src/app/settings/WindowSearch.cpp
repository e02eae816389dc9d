// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/WindowSearch.h"

#include "core/library/TextFolding.h"

namespace tarn::WindowSearch {
namespace {

bool folds(const QString &text, const std::string &foldedNeedle)
{
    return TextFolding::contains(TextFolding::fold(text.toStdString()), foldedNeedle);
}

} // namespace

bool matches(const ShareableWindow &window, const QString &search)
{
    if (search.isEmpty())
        return true;
    const std::string needle = TextFolding::fold(search.toStdString());
    return folds(window.title, needle) || folds(window.applicationName, needle);
}

std::vector<ShareableWindow> filtered(const std::vector<ShareableWindow> &windows, const QString &search)
{
    std::vector<ShareableWindow> result;
    for (const ShareableWindow &window : windows)
        if (matches(window, search))
            result.push_back(window);
    return result;
}

} // namespace tarn::WindowSearch
