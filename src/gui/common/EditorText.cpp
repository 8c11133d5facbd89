#include "gui/common/EditorText.h"

#include "core/base/CodePage.h"

#include <array>
#include <cstdint>
#include <memory>

namespace
{
// Whole documents pass through these conversions on every panel command, so both directions are
// looked up in tables built once from the code page's own mapping.

struct DisplayTable
{
    std::array<char32_t, 256> chars{};
    bool anySurrogates = false;
};

const DisplayTable& DisplayChars()
{
    static const DisplayTable table = []
    {
        DisplayTable t;
        for (int byte = 0; byte < 256; ++byte)
        {
            t.chars[static_cast<std::size_t>(byte)] = DisplayCharOf(static_cast<unsigned char>(byte));
            t.anySurrogates =
                t.anySurrogates || QChar::requiresSurrogates(t.chars[static_cast<std::size_t>(byte)]);
        }
        return t;
    }();
    return table;
}

// What each UTF-16 code unit stands for: its byte (0..255), -1 when no byte shows it ("?"), or:
constexpr std::int16_t kSurrogate = -2; // half of a pair, decoded together with the other half

const std::array<std::int16_t, 0x10000>& BytesOfCodeUnits()
{
    static const std::unique_ptr<std::array<std::int16_t, 0x10000>> table = []
    {
        auto t = std::make_unique<std::array<std::int16_t, 0x10000>>();
        for (char32_t unit = 0; unit < 0x10000; ++unit)
            (*t)[unit] =
                QChar::isSurrogate(unit) ? kSurrogate : static_cast<std::int16_t>(ByteOfDisplayChar(unit));
        return t;
    }();
    return *table;
}

bool IsLineBreak(char16_t unit)
{
    return unit == u'\n' || unit == QChar::ParagraphSeparator || unit == QChar::LineSeparator;
}

// Converts units [begin, end) into out, which has room for one byte per unit; returns the bytes
// written (a surrogate pair gives one byte).
std::size_t ConvertUnits(const char16_t* begin, const char16_t* end, char* out)
{
    const std::array<std::int16_t, 0x10000>& bytes = BytesOfCodeUnits();
    char* const start = out;
    for (const char16_t* unit = begin; unit < end; ++unit)
    {
        const std::int16_t byte = bytes[*unit];
        if (byte >= 0)
        {
            *out++ = static_cast<char>(byte);
            continue;
        }
        int decoded = byte;
        if (byte == kSurrogate)
        {
            char32_t ch = *unit;
            if (QChar::isHighSurrogate(*unit) && unit + 1 < end && QChar::isLowSurrogate(unit[1]))
            {
                ch = QChar::surrogateToUcs4(*unit, unit[1]);
                ++unit;
            }
            decoded = ByteOfDisplayChar(ch);
        }
        *out++ = decoded < 0 ? '?' : static_cast<char>(decoded);
    }
    return static_cast<std::size_t>(out - start);
}
} // namespace

namespace
{
// The stand-ins for characters that the code page lacks; a no-break space has a byte of its own, but
// in typed or pasted text it is the word processor's, not the operator's.
const char* StandIn(char16_t ch)
{
    switch (ch)
    {
    case u'\u00AB': // « »
    case u'\u00BB':
    case u'\u201C': // “ ” „ ‟
    case u'\u201D':
    case u'\u201E':
    case u'\u201F':
    case u'\u2033': // ″
    case u'\uFF02': // fullwidth "
        return "\"";
    case u'\u2018': // ‘ ’ ‚ ‛
    case u'\u2019':
    case u'\u201A':
    case u'\u201B':
    case u'\u2039': // ‹ ›
    case u'\u203A':
    case u'\u2032': // ′
    case u'\u00B4': // ´
        return "'";
    case u'\u2010': // hyphen, non-breaking hyphen, figure dash, – — ―, minus sign
    case u'\u2011':
    case u'\u2012':
    case u'\u2013':
    case u'\u2014':
    case u'\u2015':
    case u'\u2212':
        return "-";
    case u'\u2026': // …
        return "...";
    case u'\u00A0': // no-break, en, em, thin, hair, narrow no-break, ideographic and other spaces
    case u'\u2000':
    case u'\u2001':
    case u'\u2002':
    case u'\u2003':
    case u'\u2004':
    case u'\u2005':
    case u'\u2006':
    case u'\u2007':
    case u'\u2008':
    case u'\u2009':
    case u'\u200A':
    case u'\u202F':
    case u'\u205F':
    case u'\u3000':
        return " ";
    case u'\u00AD': // soft hyphen, zero-width space and joiners, word joiner, byte-order mark
    case u'\u200B':
    case u'\u200C':
    case u'\u200D':
    case u'\u2060':
    case u'\uFEFF':
        return "";
    default:
        return nullptr;
    }
}
} // namespace

EditorInput KeepableInput(QStringView typed)
{
    EditorInput kept;
    kept.text.reserve(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i)
    {
        const char16_t unit = typed[i].unicode();
        if (const char* standIn = StandIn(unit))
        {
            kept.text += QLatin1String(standIn);
            continue;
        }
        const qsizetype start = i;
        char32_t ch = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < typed.size() && typed[i + 1].isLowSurrogate())
            ch = QChar::surrogateToUcs4(unit, typed[++i].unicode());
        // Line breaks of every kind are the editor's to split at.
        if (IsLineBreak(unit) || ByteOfDisplayChar(ch) >= 0)
        {
            kept.text += typed.mid(start, i + 1 - start);
            continue;
        }
        kept.text += QLatin1Char('?');
        ++kept.unkept;
    }
    return kept;
}

void AppendEditorText(QString& text, std::string_view line1251)
{
    const DisplayTable& display = DisplayChars();
    if (!display.anySurrogates)
    {
        const qsizetype at = text.size();
        text.resize(at + static_cast<qsizetype>(line1251.size()));
        QChar* out = text.data() + at;
        for (const char byte : line1251)
            *out++ = QChar(static_cast<char16_t>(display.chars[static_cast<unsigned char>(byte)]));
        return;
    }
    for (const char byte : line1251)
    {
        const char32_t ch = display.chars[static_cast<unsigned char>(byte)];
        if (QChar::requiresSurrogates(ch))
        {
            text += QChar(QChar::highSurrogate(ch));
            text += QChar(QChar::lowSurrogate(ch));
        }
        else
            text += QChar(static_cast<char16_t>(ch));
    }
}

QString EditorTextOfLine(std::string_view line1251)
{
    QString text;
    text.reserve(static_cast<qsizetype>(line1251.size()));
    AppendEditorText(text, line1251);
    return text;
}

std::string LineOfEditorText(QStringView text)
{
    std::string line(static_cast<std::size_t>(text.size()), '\0');
    line.resize(ConvertUnits(text.utf16(), text.utf16() + text.size(), line.data()));
    return line;
}

bool ExactLineOfEditorText(QStringView text, std::string& line)
{
    const std::array<std::int16_t, 0x10000>& bytes = BytesOfCodeUnits();
    const DisplayTable& display = DisplayChars();
    line.resize(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        const char16_t unit = text[i].unicode();
        const std::int16_t byte = bytes[unit];
        // A carriage return would be dropped at the end of a line when the text is read back.
        if (byte < 0 || unit == u'\r' || IsLineBreak(unit) ||
            display.chars[static_cast<std::size_t>(byte)] != char32_t{unit})
            return false;
        line[static_cast<std::size_t>(i)] = static_cast<char>(byte);
    }
    return true;
}

namespace
{
template <typename Lines> QString JoinedEditorText(const Lines& lines, std::size_t first, std::size_t count)
{
    QString text;
    if (count == 0)
        return text;
    std::size_t size = count - 1;
    for (std::size_t i = first; i < first + count; ++i)
        size += lines[i].size();
    const DisplayTable& display = DisplayChars();
    if (display.anySurrogates)
    {
        text.reserve(static_cast<qsizetype>(size));
        for (std::size_t i = first; i < first + count; ++i)
        {
            if (i > first)
                text += QLatin1Char('\n');
            AppendEditorText(text, lines[i]);
        }
        return text;
    }
    // A whole document passes through here when it is opened: the text is sized once and written
    // straight, one character per byte.
    text.resize(static_cast<qsizetype>(size));
    auto* out = reinterpret_cast<char16_t*>(text.data());
    for (std::size_t i = first; i < first + count; ++i)
    {
        if (i > first)
            *out++ = u'\n';
        for (const char byte : std::string_view(lines[i]))
            *out++ = static_cast<char16_t>(display.chars[static_cast<unsigned char>(byte)]);
    }
    return text;
}
} // namespace

QString EditorTextOfLines(std::span<const std::string> lines)
{
    return JoinedEditorText(lines, 0, lines.size());
}

QString EditorTextOfLines(const CTextLines& lines, std::size_t first, std::size_t count)
{
    return JoinedEditorText(lines, first, count);
}

CTextLines LinesOfEditorText(const QString& text)
{
    // Each line is converted into one piece of storage used again for the next, and the store takes
    // its bytes: no line has storage of its own.
    CTextLines lines;
    lines.Reserve(0, static_cast<std::size_t>(text.size()));
    std::string line;
    const auto* const begin = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* const end = begin + text.size();
    for (const char16_t* start = begin; start < end;)
    {
        const char16_t* lineEnd = start;
        while (lineEnd < end && !IsLineBreak(*lineEnd))
            ++lineEnd;
        const char16_t* pieceEnd = lineEnd;
        while (pieceEnd > start && pieceEnd[-1] == u'\r')
            --pieceEnd;
        line.resize(static_cast<std::size_t>(pieceEnd - start));
        line.resize(ConvertUnits(start, pieceEnd, line.data()));
        lines.PushBack(line);
        if (lineEnd == end)
            break;
        start = lineEnd + 1; // a final line break ends the last line and starts none
    }
    return lines;
}
