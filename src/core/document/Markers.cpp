#include "core/document/Markers.h"

#include <array>

namespace
{

constexpr std::size_t kMarkerCount = 11;

// The codes in memory form (code page 1251), in the order of the Marker enumeration.
constexpr std::array<const char*, kMarkerCount> kCodes = {
    "\xC7\xC0\xC3", // ЗАГ
    "\xD6\xCD\xD2", // ЦНТ
    "\xCF\xD0\xC2", // ПРВ
    "\xCB\xC5\xC2", // ЛЕВ
    "\xCB\xC8\xCF", // ЛИП
    "\xCD\xD4\xD2", // НФТ
    "\xD2\xC0\xC1", // ТАБ
    "\xD2\xD2\xD2", // ТТТ
    "\xCE\xC3\xCB", // ОГЛ
    "\xCA\xCE\xCD", // КОН
    "!!!",
};

constexpr Marker kBlockStarts[] = {Marker::Zag, Marker::Cnt, Marker::Prv, Marker::Lev,
                                   Marker::Lip, Marker::Nft, Marker::Tab, Marker::Ttt};

std::array<std::string, kMarkerCount> MakeMarkerLines()
{
    std::array<std::string, kMarkerCount> lines;
    for (std::size_t i = 0; i < kMarkerCount; ++i)
    {
        lines[i] = std::string("\x04\x04") + kCodes[i];
        lines[i].append(kMarkerLineLength - lines[i].size(), '-');
    }
    return lines;
}

} // namespace

const std::string& MarkerLine(Marker marker)
{
    static const std::array<std::string, kMarkerCount> lines = MakeMarkerLines();
    return lines[static_cast<std::size_t>(marker)];
}

// Every marker line is kMarkerLineLength long and starts with 0x04; the recognition asks these
// questions of every text line, nearly all of which fail the first look.
bool BeginsWithMarker(std::string_view line, Marker marker)
{
    if (line.size() < kMarkerLineLength || line[0] != '\x04')
        return false;
    return line.substr(0, kMarkerLineLength) == MarkerLine(marker);
}

bool IsMarker(std::string_view line, Marker marker)
{
    return IsMarkerLine(line) && line == MarkerLine(marker);
}

bool IsMarkerLine(std::string_view line)
{
    return line.size() == kMarkerLineLength && line[0] == '\x04';
}

bool IsBlockStart(std::string_view line)
{
    if (!IsMarkerLine(line))
        return false;
    for (const Marker marker : kBlockStarts)
        if (IsMarker(line, marker))
            return true;
    return false;
}

CTextLines RemoveTocBlocks(const CTextLines& lines)
{
    CTextLines kept;
    kept.Reserve(lines.size());
    ForEachLineOutsideTocBlocks(lines,
                                [&](std::string_view line)
                                {
                                    kept.PushBack(line);
                                    return true;
                                });
    return kept;
}
