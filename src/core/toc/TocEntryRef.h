#pragma once
// One table-of-contents block found in the editor text.

#include <cstddef>
#include <string>

struct TocEntryRef
{
    std::size_t oglLine = 0; // index (from 0) of the block's ОГЛ marker line
    std::size_t konLine = 0; // index of the КОН marker line that closes it
    // The lines between the two marker lines joined with "\n"; the first is the level line of "*".
    std::string text;

    bool operator==(const TocEntryRef&) const = default;
};
