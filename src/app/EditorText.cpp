#include "app/EditorText.h"

#include "document/CodePage.h"

QString EditorTextOfLine(std::string_view line1251)
{
    QString text;
    text.reserve(static_cast<qsizetype>(line1251.size()));
    for (const char byte : line1251)
    {
        const char32_t ch = DisplayCharOf(static_cast<unsigned char>(byte));
        if (QChar::requiresSurrogates(ch))
        {
            text += QChar(QChar::highSurrogate(ch));
            text += QChar(QChar::lowSurrogate(ch));
        }
        else
            text += QChar(static_cast<char16_t>(ch));
    }
    return text;
}

std::string LineOfEditorText(QStringView text)
{
    std::string line;
    line.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        char32_t ch = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int byte = ByteOfDisplayChar(ch);
        line += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return line;
}

QString EditorTextOfLines(const std::vector<std::string>& lines)
{
    QString text;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            text += QLatin1Char('\n');
        text += EditorTextOfLine(lines[i]);
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
