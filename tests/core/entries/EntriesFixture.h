#pragma once
// Small documents for the entry tests, written in UTF-8 and turned into the editor's 1251 lines.

#include "core/base/CodePage.h"
#include "core/document/Markers.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// "<ОГЛ>" and "<КОН>" stand for the marker lines; every other line is converted to 1251.
inline std::vector<std::string> Doc(std::initializer_list<std::string_view> utf8Lines)
{
    std::vector<std::string> lines;
    for (std::string_view line : utf8Lines)
    {
        if (line == "<ОГЛ>")
            lines.push_back(MarkerLine(Marker::Ogl));
        else if (line == "<КОН>")
            lines.push_back(MarkerLine(Marker::Kon));
        else
            lines.push_back(Utf8ToCp1251(line));
    }
    return lines;
}

inline std::string Cp(std::string_view utf8)
{
    return Utf8ToCp1251(utf8);
}
