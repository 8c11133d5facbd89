#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Heading kinds: a smaller kind is a higher heading; level assignment relies on the order.
enum HeadingKind : std::int32_t
{
    kKindDocument = 0, // the document's kind, found in its title
    kKindAppendix = 1, // appendix or table; any unrecognised heading that starts without white space
    kKindSection = 2,  // part or section
    kKindRoman = 3,    // heading numbered with a roman number
    kKindChapter = 4,  // chapter
    kKindNumbered = 5, // 5..9: numbered with digits, by the number of dots
    kKindIndented = 9, // also an unrecognised heading that starts with white space
    kKindArticle = 10,
};

// One table-of-contents item.
struct TocItem
{
    std::int32_t kind = 0;
    // Where the item's block is inserted: the first line of the heading's block or paragraph.
    std::int32_t line = 0;
    // Nesting level, 0 = top; -1 until levels are assigned.
    std::int32_t level = -1;
    // The entry text exactly as it will stand between the ОГЛ and КОН lines.
    std::vector<std::string> lines;

    bool operator==(const TocItem&) const = default;
};
