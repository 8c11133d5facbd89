#include "core/base/TextRules.h"

#include "core/base/ByteBlocks.h"
#include "core/base/CodePage.h"

#include <algorithm>
#include <array>

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

// Case questions are asked for every character of every line the recognition looks at, so the
// answers for all 256 bytes are worked out once.
struct CaseTables
{
    std::array<bool, 256> upperLetter{};
    std::array<bool, 256> lowerLetter{};
    std::array<char, 256> toUpper{};
    std::array<char, 256> toLower{};
};

CaseTables MakeCaseTables()
{
    CaseTables t;
    for (int b = 0; b < 256; ++b)
    {
        const auto c = static_cast<unsigned char>(b);
        t.upperLetter[c] = LowerOf(c) >= 0 && !IsStandInByte(c);
        t.lowerLetter[c] = UpperOf(c) >= 0 && !IsStandInByte(c);
        t.toUpper[c] = static_cast<char>(t.lowerLetter[c] ? UpperOf(c) : c);
        t.toLower[c] = static_cast<char>(t.upperLetter[c] ? LowerOf(c) : c);
    }
    return t;
}

const CaseTables& CaseTablesOnce()
{
    static const CaseTables tables = MakeCaseTables();
    return tables;
}

// Outside 0x80-0xBF (where the stand-ins and the letters of other alphabets are) the case of a letter
// is a matter of one bit: a-z and А-Я against A-Z and а-я.
bool BlockToUpper(byteblocks::Block& bytes)
{
    using byteblocks::InRange;
    if (!byteblocks::Every(InRange(bytes, 0x00, 0x7F) | InRange(bytes, 0xC0, 0xFF)))
        return false;
    bytes -= (InRange(bytes, 'a', 'z') | InRange(bytes, 0xE0, 0xFF)) & 0x20;
    return true;
}

bool BlockToLower(byteblocks::Block& bytes)
{
    using byteblocks::InRange;
    if (!byteblocks::Every(InRange(bytes, 0x00, 0x7F) | InRange(bytes, 0xC0, 0xFF)))
        return false;
    bytes += (InRange(bytes, 'A', 'Z') | InRange(bytes, 0xC0, 0xDF)) & 0x20;
    return true;
}

} // namespace

bool IsUpperLetter(unsigned char c)
{
    return CaseTablesOnce().upperLetter[c];
}

bool IsLowerLetter(unsigned char c)
{
    return CaseTablesOnce().lowerLetter[c];
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
    return CaseTablesOnce().toUpper[static_cast<unsigned char>(c)];
}

char ToLowerChar(char c)
{
    return CaseTablesOnce().toLower[static_cast<unsigned char>(c)];
}

std::string ToUpper(std::string_view s)
{
    std::string out(s);
    byteblocks::ConvertInPlace<BlockToUpper>(out.data(), out.data() + out.size(), CaseTablesOnce().toUpper);
    return out;
}

std::string ToLower(std::string_view s)
{
    std::string out(s);
    byteblocks::ConvertInPlace<BlockToLower>(out.data(), out.data() + out.size(), CaseTablesOnce().toLower);
    return out;
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
    // One string made, not one per end.
    while (!s.empty() && IsWhiteSpace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    while (!s.empty() && IsWhiteSpace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return std::string(s);
}

bool Contains(std::string_view line, std::string_view s)
{
    return line.find(s) != std::string_view::npos;
}

bool ContainsAt(std::string_view line, std::string_view s, std::size_t pos)
{
    return line.find(s) == pos;
}

bool BeginsWith(std::string_view line, std::string_view s)
{
    return line.substr(0, s.size()) == s;
}

bool StartsWithCapital(std::string_view text)
{
    return !text.empty() && IsUpperLetter(static_cast<unsigned char>(text.front()));
}

std::string_view TrimBlanks(std::string_view s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string CollapseBlankRuns(std::string_view s)
{
    std::string result;
    result.reserve(s.size());
    // Whole stretches up to and including the first blank of each run are copied at once.
    std::size_t at = 0;
    while (at < s.size())
    {
        const std::size_t run = s.find("  ", at);
        if (run == std::string_view::npos)
        {
            result.append(s.substr(at));
            break;
        }
        result.append(s.substr(at, run + 1 - at));
        at = s.find_first_not_of(' ', run + 1);
    }
    return result;
}

std::string NormaliseForCompare(std::string_view s)
{
    // Collapsed where it stands: the upper-cased copy is the only string made.
    std::string upper = ToUpper(TrimBlanks(s));
    std::size_t kept = upper.find("  ");
    if (kept == std::string::npos)
        return upper;
    ++kept;
    for (std::size_t at = upper.find_first_not_of(' ', kept); at != std::string::npos;)
    {
        const std::size_t run = upper.find("  ", at);
        const std::size_t end = run == std::string::npos ? upper.size() : run + 1;
        std::copy(upper.begin() + static_cast<std::ptrdiff_t>(at), upper.begin() + static_cast<std::ptrdiff_t>(end),
                  upper.begin() + static_cast<std::ptrdiff_t>(kept));
        kept += end - at;
        at = run == std::string::npos ? run : upper.find_first_not_of(' ', end);
    }
    upper.resize(kept);
    return upper;
}
