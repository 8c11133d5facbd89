#pragma once
// Text rules shared by every part of the engine: casing of code page 1251 (stand-in bytes are
// never letters and are left alone), white space, trimming and position tests.

#include <cstddef>
#include <string>
#include <string_view>

bool IsUpperLetter(unsigned char c);
bool IsLowerLetter(unsigned char c);
bool IsLetter(unsigned char c);
bool IsDigit(unsigned char c);
char ToUpperChar(char c);
char ToLowerChar(char c);
std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);

// Blank, tab, LF, VT, FF, CR. Inline: the line tests ask it of nearly every byte they trim.
inline bool IsWhiteSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// s stands somewhere in line.
bool Contains(std::string_view line, std::string_view s);
// The first occurrence of s in line starts at index pos.
bool ContainsAt(std::string_view line, std::string_view s, std::size_t pos);
bool BeginsWith(std::string_view line, std::string_view s);
// The first character of text is a capital letter.
bool StartsWithCapital(std::string_view text);

// The blanks (0x20 only) at both ends cut off.
std::string_view TrimBlanks(std::string_view s);
// Every blank that directly follows another blank removed.
std::string CollapseBlankRuns(std::string_view s);
// Blanks removed at both ends, upper-cased, and runs of blanks reduced to one when longer than 2:
// the form in which document kinds and item texts are compared.
std::string NormaliseForCompare(std::string_view s);
