#include "app/EditorText.h"

#include "document/CodePage.h"

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
            t.anySurrogates = t.anySurrogates || QChar::requiresSurrogates(t.chars[static_cast<std::size_t>(byte)]);
        }
        return t;
    }();
    return table;
}

// The byte of every UTF-16 code unit outside the surrogates: 0..255, or -1 when none shows it.
const std::array<std::int16_t, 0x10000>& BytesOfCodeUnits()
{
    static const std::unique_ptr<std::array<std::int16_t, 0x10000>> table = []
    {
        auto t = std::make_unique<std::array<std::int16_t, 0x10000>>();
        for (char32_t unit = 0; unit < 0x10000; ++unit)
            (*t)[unit] = static_cast<std::int16_t>(ByteOfDisplayChar(unit));
        return t;
    }();
    return *table;
}
} // namespace

namespace
{
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
} // namespace

QString EditorTextOfLine(std::string_view line1251)
{
    QString text;
    text.reserve(static_cast<qsizetype>(line1251.size()));
    AppendEditorText(text, line1251);
    return text;
}

std::string LineOfEditorText(QStringView text)
{
    const std::array<std::int16_t, 0x10000>& bytes = BytesOfCodeUnits();
    std::string line(static_cast<std::size_t>(text.size()), '\0');
    std::size_t length = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        int byte = 0;
        if (text[i].isSurrogate())
        {
            char32_t ch = text[i].unicode();
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            {
                ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
                ++i;
            }
            byte = ByteOfDisplayChar(ch);
        }
        else
            byte = bytes[text[i].unicode()];
        line[length++] = byte < 0 ? '?' : static_cast<char>(byte);
    }
    line.resize(length);
    return line;
}

QString EditorTextOfLines(const std::vector<std::string>& lines)
{
    QString text;
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 1;
    text.reserve(static_cast<qsizetype>(size));
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            text += QLatin1Char('\n');
        AppendEditorText(text, lines[i]);
    }
    return text;
}

namespace
{
bool IsLineBreak(QChar ch)
{
    return ch == QLatin1Char('\n') || ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator;
}
} // namespace

std::vector<std::string> LinesOfEditorText(const QString& text)
{
    std::vector<std::string> lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size)
    {
        qsizetype end = start;
        while (end < size && !IsLineBreak(text[end]))
            ++end;
        qsizetype pieceEnd = end;
        while (pieceEnd > start && text[pieceEnd - 1] == QLatin1Char('\r'))
            --pieceEnd;
        lines.push_back(LineOfEditorText(QStringView(text).mid(start, pieceEnd - start)));
        if (end == size)
            break;
        start = end + 1;
        if (start == size)
            break; // a final line break ends the last line and starts none
    }
    return lines;
}
