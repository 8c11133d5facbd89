#include "document/TextRules.h"

#include "document/CodePage.h"

namespace
{

// Upper/lower pairs of code page 1251 outside the two alphabets' contiguous runs.
// The stand-in bytes carry box characters and are left out on purpose.
struct CasePair
{
    unsigned char upper;
    unsigned char lower;
};
constexpr CasePair kExtraPairs[] = {
    {0xA8, 0xB8}, // Ё ё
    {0xAA, 0xBA}, // Є є
    {0xAF, 0xBF}, // Ї ї
    {0xA1, 0xA2}, // Ў ў
    {0xA3, 0xBC}, // Ј ј
    {0xA5, 0xB4}, // Ґ ґ
    {0xB2, 0xB3}, // І і
    {0xBD, 0xBE}, // Ѕ ѕ
};

int LowerOf(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF))
        return c + 0x20;
    for (const CasePair& pair : kExtraPairs)
        if (pair.upper == c)
            return pair.lower;
    return -1;
}

int UpperOf(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || c >= 0xE0)
        return c - 0x20;
    for (const CasePair& pair : kExtraPairs)
        if (pair.lower == c)
            return pair.upper;
    return -1;
}

} // namespace

bool IsUpperLetter(unsigned char c)
{
    return LowerOf(c) >= 0 && !IsStandInByte(c);
}

bool IsLowerLetter(unsigned char c)
{
    return UpperOf(c) >= 0 && !IsStandInByte(c);
}

bool IsLetter(unsigned char c)
{
    return IsUpperLetter(c) || IsLowerLetter(c);
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

char ToUpperChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return IsLowerLetter(byte) ? static_cast<char>(UpperOf(byte)) : c;
}

char ToLowerChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return IsUpperLetter(byte) ? static_cast<char>(LowerOf(byte)) : c;
}

std::string ToUpper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = ToUpperChar(c);
    return out;
}

std::string ToLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = ToLowerChar(c);
    return out;
}

bool IsWhiteSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string TrimLeft(std::string_view s)
{
    std::size_t begin = 0;
    while (begin < s.size() && IsWhiteSpace(static_cast<unsigned char>(s[begin])))
        ++begin;
    return std::string(s.substr(begin));
}

std::string TrimRight(std::string_view s)
{
    std::size_t end = s.size();
    while (end > 0 && IsWhiteSpace(static_cast<unsigned char>(s[end - 1])))
        --end;
    return std::string(s.substr(0, end));
}

std::string Trim(std::string_view s)
{
    return TrimLeft(TrimRight(s));
}

bool ContainsAt(std::string_view line, std::string_view s, std::size_t pos)
{
    return line.find(s) == pos;
}

bool BeginsWith(std::string_view line, std::string_view s)
{
    return line.substr(0, s.size()) == s;
}
