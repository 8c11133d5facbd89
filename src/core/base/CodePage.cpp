#include "core/base/CodePage.h"

#include "core/base/ByteBlocks.h"

#include <algorithm>
#include <array>
#include <utility>

namespace
{

// Single-line box characters of code page 866 and the control codes that carry them in memory,
// in the order the text format lists them.
struct BoxCode
{
    unsigned char fileByte;
    unsigned char code;
};
constexpr std::array<BoxCode, 11> kBoxCodes = {{
    {0xDA, 0x1B}, // ┌
    {0xC4, 0x16}, // ─
    {0xC2, 0x18}, // ┬
    {0xBF, 0x1A}, // ┐
    {0xB3, 0x12}, // │
    {0xC3, 0x10}, // ├
    {0xC5, 0x13}, // ┼
    {0xB4, 0x11}, // ┤
    {0xC0, 0x1C}, // └
    {0xC1, 0x19}, // ┴
    {0xD9, 0x17}, // ┘
}};

// Code page 866 -> code page 1251 for the upper half (the lower half is ASCII in both).
//
// Characters that both code pages hold map to each other. Code page 1251 lacks forty characters of
// code page 866 (the double-line and block box characters, ∙, √ and ■), and legal documents draw
// their tables with them, so a lossy replacement would destroy every such table at the first save.
// Each of the forty therefore travels in a 1251 byte of its own whose character code page 866 lacks:
// first the unused 0x98 and the typographic signs, then Serbian and Macedonian letters, always both
// cases of a letter, so that upper- and lower-casing never turns such a byte into an ordinary one or
// the other way round. These are the stand-in bytes; the text rules never treat them as letters.
// § (0xA7) is never a stand-in because the heading rules read it; neither are the soft hyphen, µ
// and the letters Ј ј Ґ ґ І і Ѕ ѕ, which stay themselves in memory but have no place in a file.
// The eleven single-line box characters become the control codes the text format prescribes.
// clang-format off
constexpr std::array<unsigned char, 128> kUpper866To1251 = {
    // 0x80-0x8F  А Б В Г Д Е Ж З И Й К Л М Н О П
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    // 0x90-0x9F  Р С Т У Ф Х Ц Ч Ш Щ Ъ Ы Ь Э Ю Я
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    // 0xA0-0xAF  а б в г д е ж з и й к л м н о п
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
    // 0xB0-0xBF  ░ ▒ ▓ │ ┤ ╡ ╢ ╖ ╕ ╣ ║ ╗ ╝ ╜ ╛ ┐
    0x98, 0x82, 0x84, 0x12, 0x11, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B, 0x91, 0x92, 0x93, 0x94, 0x1A,
    // 0xC0-0xCF  └ ┴ ┬ ├ ─ ┼ ╞ ╟ ╚ ╔ ╩ ╦ ╠ ═ ╬ ╧
    0x1C, 0x19, 0x18, 0x10, 0x16, 0x13, 0x95, 0x96, 0x97, 0x99, 0x9B, 0xA6, 0xA9, 0xAB, 0xAC, 0xAE,
    // 0xD0-0xDF  ╨ ╤ ╥ ╙ ╘ ╒ ╓ ╫ ╪ ┘ ┌ █ ▄ ▌ ▐ ▀
    0xB1, 0xB6, 0xBB, 0x80, 0x81, 0x83, 0x8A, 0x8C, 0x8D, 0x17, 0x1B, 0x8E, 0x8F, 0x90, 0x9A, 0x9C,
    // 0xE0-0xEF  р с т у ф х ц ч ш щ ъ ы ь э ю я
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
    // 0xF0-0xFF  Ё ё Є є Ї ї Ў ў ° ∙ · √ № ¤ ■ NBSP
    0xA8, 0xB8, 0xAA, 0xBA, 0xAF, 0xBF, 0xA1, 0xA2, 0xB0, 0x9D, 0xB7, 0x9E, 0xB9, 0xA4, 0x9F, 0xA0,
};

// What each byte of code page 866 looks like: the DOS glyphs, control bytes included (NUL, which
// DOS shows as nothing, is shown as the symbol for null so that it stays visible).
constexpr std::array<char32_t, 256> kGlyph866 = {
    0x2400, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, // NUL ☺ ☻ ♥ ♦ ♣ ♠ •
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C, // ◘ ○ ◙ ♂ ♀ ♪ ♫ ☼
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, // ► ◄ ↕ ‼ ¶ § ▬ ↨
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, // ↑ ↓ → ← ∟ ↔ ▲ ▼
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x2302,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // А-З
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // И-П
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // Р-Ч
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // Ш-Я
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // а-з
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // и-п
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // ░ ▒ ▓ │ ┤ ╡ ╢ ╖
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, // ╕ ╣ ║ ╗ ╝ ╜ ╛ ┐
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // └ ┴ ┬ ├ ─ ┼ ╞ ╟
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, // ╚ ╔ ╩ ╦ ╠ ═ ╬ ╧
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // ╨ ╤ ╥ ╙ ╘ ╒ ╓ ╫
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, // ╪ ┘ ┌ █ ▄ ▌ ▐ ▀
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // р-ч
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // ш-я
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E, // Ё ё Є є Ї ї Ў ў
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0, // ° ∙ · √ № ¤ ■ NBSP
};
// clang-format on

constexpr unsigned char kSectionSign1251 = 0xA7;
constexpr unsigned char kSectionSign866 = 0x15; // the DOS glyph of this control byte is §
constexpr unsigned char kNoByte866 = '?';

struct Tables
{
    std::array<unsigned char, 256> to1251{};
    std::array<unsigned char, 256> to866{};
    std::array<bool, 256> storable{}; // a 1251 byte that has its own place in a file
    std::array<bool, 256> standIn{};
    std::array<unsigned char, 256> boxCodeOf{}; // 866 byte -> code, 0 when not a box byte
    std::array<unsigned char, 256> boxByteOf{}; // code -> 866 byte, 0 when not a code
    std::array<char32_t, 256> display{};
    // The two steps of each direction composed, so that a document line is converted in one pass.
    std::array<unsigned char, 256> memoryOfFile{};
    std::array<unsigned char, 256> fileOfMemory{};
};

// The reverse direction and the display are derived from the tables above, so they cannot drift.
Tables MakeTables()
{
    Tables t;
    for (int b = 0; b < 256; ++b)
        t.to1251[b] = b < 0x80 ? static_cast<unsigned char>(b) : kUpper866To1251[b - 0x80];
    for (const BoxCode& box : kBoxCodes)
    {
        t.boxCodeOf[box.fileByte] = box.code;
        t.boxByteOf[box.code] = box.fileByte;
    }
    t.to866.fill(kNoByte866);
    t.to866[kSectionSign1251] = kSectionSign866;
    for (int b = 0; b < 256; ++b)
    {
        if (t.boxCodeOf[b] != 0)
            continue; // carried by its control code, which maps to itself
        const unsigned char m = t.to1251[b];
        t.to866[m] = static_cast<unsigned char>(b);
        t.storable[m] = true;
        t.standIn[m] = (b >= 0xB0 && b <= 0xDF) || b == 0xF9 || b == 0xFB || b == 0xFE;
    }
    for (int b = 0; b < 256; ++b)
    {
        unsigned char fileByte = t.to866[b];
        if (t.boxByteOf[fileByte] != 0)
            fileByte = t.boxByteOf[fileByte];
        t.display[b] = kGlyph866[fileByte];
    }
    for (int b = 0; b < 256; ++b)
    {
        const unsigned char code = t.boxCodeOf[b];
        t.memoryOfFile[b] = t.to1251[code != 0 ? code : b];
        const unsigned char fileByte = t.to866[b];
        t.fileOfMemory[b] = t.boxByteOf[fileByte] != 0 ? t.boxByteOf[fileByte] : fileByte;
    }
    return t;
}

const Tables& TablesOnce()
{
    static const Tables tables = MakeTables();
    return tables;
}

// Decodes one character at pos and advances pos; a malformed sequence yields U+FFFD for one byte.
char32_t NextUtf8(std::string_view s, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(s[pos]);
    int length = 0;
    char32_t ch = 0;
    if (lead < 0x80)
    {
        ++pos;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0)
    {
        length = 2;
        ch = lead & 0x1F;
    }
    else if ((lead & 0xF0) == 0xE0)
    {
        length = 3;
        ch = lead & 0x0F;
    }
    else if ((lead & 0xF8) == 0xF0)
    {
        length = 4;
        ch = lead & 0x07;
    }
    if (length == 0 || pos + length > s.size())
    {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i)
    {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80)
        {
            ++pos;
            return 0xFFFD;
        }
        ch = (ch << 6) | (next & 0x3F);
    }
    pos += length;
    return ch;
}

} // namespace

void AppendUtf8(std::string& out, char32_t ch)
{
    if (ch < 0x80)
    {
        out += static_cast<char>(ch);
    }
    else if (ch < 0x800)
    {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
    else if (ch < 0x10000)
    {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

std::string Cp866ToCp1251(std::string_view text866)
{
    const Tables& t = TablesOnce();
    std::string out(text866.size(), '\0');
    for (std::size_t i = 0; i < text866.size(); ++i)
        out[i] = static_cast<char>(t.to1251[static_cast<unsigned char>(text866[i])]);
    return out;
}

std::string Cp1251ToCp866(std::string_view text1251)
{
    const Tables& t = TablesOnce();
    std::string out(text1251.size(), '\0');
    for (std::size_t i = 0; i < text1251.size(); ++i)
        out[i] = static_cast<char>(t.to866[static_cast<unsigned char>(text1251[i])]);
    return out;
}

void BoxCharsToCodes(std::string& line866)
{
    const Tables& t = TablesOnce();
    for (char& c : line866)
    {
        const unsigned char code = t.boxCodeOf[static_cast<unsigned char>(c)];
        if (code != 0)
            c = static_cast<char>(code);
    }
}

void CodesToBoxChars(std::string& line866)
{
    const Tables& t = TablesOnce();
    for (char& c : line866)
    {
        const unsigned char fileByte = t.boxByteOf[static_cast<unsigned char>(c)];
        if (fileByte != 0)
            c = static_cast<char>(fileByte);
    }
}

namespace
{
using byteblocks::Block;
using byteblocks::Every;
using byteblocks::InRange;

// File (866) to memory (1251): А-п 0x80-0xAF -> 0xC0-0xEF, р-я 0xE0-0xEF -> 0xF0-0xFF.
bool BlockToMemory(Block& bytes)
{
    const Block low = InRange(bytes, 0x80, 0xAF);
    const Block high = InRange(bytes, 0xE0, 0xEF);
    if (!Every(InRange(bytes, 0x00, 0x7F) | low | high))
        return false;
    bytes += (low & 0x40) | (high & 0x10);
    return true;
}

// Memory (1251) to file (866): the inverse, with the box codes 0x10-0x1C left to the table.
bool BlockToFile(Block& bytes)
{
    const Block low = InRange(bytes, 0xC0, 0xEF);
    const Block high = InRange(bytes, 0xF0, 0xFF);
    const Block plain = InRange(bytes, 0x00, 0x7F) & ~InRange(bytes, 0x10, 0x1C);
    if (!Every(plain | low | high))
        return false;
    bytes -= (low & 0x40) | (high & 0x10);
    return true;
}

} // namespace

void FileLineToMemory(std::span<char> line)
{
    byteblocks::ConvertInPlace<BlockToMemory>(line.data(), line.data() + line.size(), TablesOnce().memoryOfFile);
}

void MemoryLineToFile(std::span<char> line)
{
    byteblocks::ConvertInPlace<BlockToFile>(line.data(), line.data() + line.size(), TablesOnce().fileOfMemory);
}

bool IsStandInByte(unsigned char byte1251)
{
    return TablesOnce().standIn[byte1251];
}

bool IsStorableByte(unsigned char byte1251)
{
    return TablesOnce().storable[byte1251];
}

char32_t DisplayCharOf(unsigned char byte1251)
{
    return TablesOnce().display[byte1251];
}

int ByteOfDisplayChar(char32_t ch)
{
    // Plain control characters stand for themselves, so that ASCII text converts unchanged.
    if (ch < 0x20 || ch == 0x7F)
        return static_cast<int>(ch);
    static const std::array<std::pair<char32_t, unsigned char>, 256> byDisplay = []
    {
        std::array<std::pair<char32_t, unsigned char>, 256> pairs{};
        const Tables& t = TablesOnce();
        for (int b = 0; b < 256; ++b)
            pairs[b] = {t.storable[b] ? t.display[b] : char32_t{0}, static_cast<unsigned char>(b)};
        std::sort(pairs.begin(), pairs.end());
        return pairs;
    }();
    const auto it =
        std::lower_bound(byDisplay.begin(), byDisplay.end(), std::pair<char32_t, unsigned char>{ch, 0});
    if (it == byDisplay.end() || it->first != ch)
        return -1;
    return it->second;
}

std::string Utf8ToCp1251(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();)
    {
        const int byte = ByteOfDisplayChar(NextUtf8(utf8, pos));
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::string Cp1251ToUtf8(std::string_view text1251)
{
    std::string out;
    out.reserve(text1251.size() * 2);
    for (const char c : text1251)
    {
        // Entry texts join their lines with "\n"; it stays a line break.
        if (c == '\n')
            out += '\n';
        else
            AppendUtf8(out, DisplayCharOf(static_cast<unsigned char>(c)));
    }
    return out;
}
