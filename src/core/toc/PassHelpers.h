#pragma once
// Small helpers that several recognition passes share: text tests on single lines and the item-list
// bookkeeping that keeps the merges linear.

#include "core/toc/TocItem.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A text line that fills the whole 66-column page: body text, never a heading.
bool IsWideTextLine(std::string_view line);

// The item's first entry line; empty for an item without lines.
const std::string& FirstLine(const TocItem& item);

// The texts of SplitWords(line), as views into line: the merges compare the words of every item and
// need no copies of them.
std::vector<std::string_view> WordViews(std::string_view line);

// a[aFrom...] equals b[bFrom...], both tails of the same length.
bool TailsEqual(const std::vector<std::string_view>& a, std::size_t aFrom,
                const std::vector<std::string_view>& b, std::size_t bFrom);

// Removes the elements whose flag is set, in one sweep, keeping the order of the others.
template <typename T> void EraseFlagged(std::vector<T>& elements, const std::vector<char>& erased)
{
    std::size_t out = 0;
    for (std::size_t i = 0; i < elements.size(); ++i)
    {
        if (erased[i])
            continue;
        if (out != i)
            elements[out] = std::move(elements[i]);
        ++out;
    }
    elements.resize(out);
}
