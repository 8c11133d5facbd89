#pragma once
// What a reader takes in at a glance of one line, read once per line so that the recognition steps
// that look at a line again and again, and at its neighbours, read a few fields instead of the bytes.
// The heading word a line begins with is not among them: reading it costs more than all of these
// together and few lines are asked for it (the plain text view reads it when first asked).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LineShape
{
    std::uint32_t length = 0;       // bytes in the line
    std::uint32_t indent = 0;       // blanks before the first other byte; the length on a blank line
    std::uint32_t end = 0;          // one past the last byte that is no blank; 0 on a blank line
    std::uint32_t firstWordEnd = 0; // one past the first word after the indent (up to a blank or line end)
    char first = ' ';               // the first byte after the indent; a blank on a blank line
    char last = ' ';                // the last byte that is no blank; a blank on a blank line
    char lastVisible = '\0';        // the last byte that is no white space; 0 when there is none
    bool blank = false;             // empty, or blanks only
    bool marker = false;            // a marker line

    // How many bytes the first word after the indent has.
    std::size_t FirstWordLength() const { return firstWordEnd - indent; }
};

LineShape ClassifyLine(std::string_view line);

// The shape of every line, in order.
std::vector<LineShape> ClassifyLines(const std::vector<std::string>& lines);
