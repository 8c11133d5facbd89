#pragma once
// What a reader takes in at a glance of one line, read once per line so that the recognition steps
// that look at a line again and again, and at its neighbours, read a few fields instead of the bytes.
// The heading word a line begins with is not among them: reading it costs more than all of these
// together and few lines are asked for it (the plain text view reads it when first asked).

#include "core/base/CTextLines.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Ten bytes a line: a document of a million lines holds its table beside its text while the
// extended passes run. Positions are held in 16 bits; a line so long that one does not fit keeps
// kFar there, and the position is read from the line again (IndentOf, EndOf, FirstWordLengthOf).
struct LineShape
{
    static constexpr std::uint16_t kFar = 0xFFFF;

    std::uint16_t indent = 0;          // blanks before the first other byte; the length on a blank line
    std::uint16_t end = 0;             // one past the last byte that is no blank; 0 on a blank line
    std::uint16_t firstWordLength = 0; // bytes of the first word after the indent (up to a blank)
    char first = ' ';                  // the first byte after the indent; a blank on a blank line
    char last = ' ';                   // the last byte that is no blank; a blank on a blank line
    char lastVisible = '\0';           // the last byte that is no white space; 0 when there is none
    bool blank : 1 = false;            // empty, or blanks only
    bool marker : 1 = false;           // a marker line
};

LineShape ClassifyLine(std::string_view line);

// The positions of the shape of line, read from the line itself where the shape holds kFar.
std::size_t IndentOf(const LineShape& shape, std::string_view line);
std::size_t EndOf(const LineShape& shape, std::string_view line);
std::size_t FirstWordLengthOf(const LineShape& shape, std::string_view line);

// The shape of every line, in order.
std::vector<LineShape> ClassifyLines(const CTextLines& lines);
