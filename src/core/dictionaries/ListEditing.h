#pragma once
// Editing the dictionaries' lists as the operator does in their windows, where rows stand for
// the entries in order.

#include <vector>

// Erases the entries at the ascending positions given; a position past the end is ignored.
template <typename T> void EraseAtPositions(std::vector<T>& items, const std::vector<int>& positions)
{
    for (auto position = positions.rbegin(); position != positions.rend(); ++position)
    {
        if (*position >= 0 && *position < static_cast<int>(items.size()))
            items.erase(items.begin() + *position);
    }
}
