#pragma once
// Marker lines: 66 bytes, two 0x04, a three-letter code, 61 hyphens. Held here in memory form (1251).

#include "core/base/CTextLines.h"

#include <string>
#include <string_view>
#include <vector>

enum class Marker
{
    Zag, // ЗАГ title block
    Cnt, // ЦНТ centred block
    Prv, // ПРВ right-aligned block
    Lev, // ЛЕВ left-aligned block
    Lip, // ЛИП format block
    Nft, // НФТ format block
    Tab, // ТАБ table block
    Ttt, // ТТТ format block
    Ogl, // ОГЛ opens a table-of-contents block
    Kon, // КОН closes a table-of-contents block
    End, // !!! closes a format block
};

constexpr std::size_t kMarkerLineLength = 66;

const std::string& MarkerLine(Marker marker);

// The first 66 characters are the marker (a longer line qualifies).
bool BeginsWithMarker(std::string_view line, Marker marker);
// The line equals the marker, all 66 characters and nothing more.
bool IsMarker(std::string_view line, Marker marker);
// Exactly 66 characters whose first byte is 0x04, whatever the code.
bool IsMarkerLine(std::string_view line);
// One of the eight format markers ЗАГ ЦНТ ПРВ ЛЕВ ЛИП НФТ ТАБ ТТТ (the "is" test).
bool IsBlockStart(std::string_view line);

// Calls visit(line) with each line outside the ОГЛ...КОН blocks, in order (an unclosed block runs to
// the end); stops as soon as visit returns false, and returns whether it never did.
template <typename Lines, typename Visit> bool ForEachLineOutsideTocBlocks(const Lines& lines, Visit&& visit)
{
    bool inBlock = false;
    for (std::string_view line : lines)
    {
        if (!inBlock && IsMarker(line, Marker::Ogl))
            inBlock = true;
        else if (inBlock && IsMarker(line, Marker::Kon))
            inBlock = false;
        else if (!inBlock && !visit(line))
            return false;
    }
    return true;
}

// A copy of lines without their ОГЛ...КОН blocks (an unclosed block runs to the end).
CTextLines RemoveTocBlocks(const CTextLines& lines);
