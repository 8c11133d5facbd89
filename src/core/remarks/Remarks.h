#pragma once
// Remarks on a table of contents: the places where it is probably wrong, read from the numbering of the
// headings it lists. A missed heading leaves a gap in its numbers, a heading taken twice repeats one,
// and a heading of a high kind found inside a low one (a chapter under an article) nests against the
// order of kinds; an entry that reads as a sentence was most likely taken from the body.

#include "core/base/CTextLines.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class RemarkKind
{
    Gap,      // a number of a sequence is missing
    Repeat,   // a number stands a second time
    Order,    // a number goes back
    Nesting,  // a heading stands under one of a lower kind
    BodyText, // the entry reads as body text
};

struct Remark
{
    std::size_t line = 0;    // index (from 0), in the lines checked, of the first line of the heading the remark
                             // is tied to (the heading in the text, not its ОГЛ block)
    std::size_t oglLine = 0; // index of the ОГЛ marker line of that heading's block (the panel row to select)
    RemarkKind kind = RemarkKind::Gap;
    std::string text;        // the message in Russian, code page 1251
    bool operator==(const Remark&) const = default;
};

// The name the report uses for a kind: "gap", "repeat", "order", "nesting", "body".
std::string_view RemarkKindName(RemarkKind kind);

// The remarks on the table of contents written in lines (a text with its ОГЛ…КОН blocks, as the editor holds it;
// a trailing "\r" of a line ignored), ordered by line. Reads only; cheap enough to run after every change.
std::vector<Remark> FindRemarks(const CTextLines& lines);
