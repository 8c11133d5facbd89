#include "gui/common/CEditorLines.h"

#include "gui/common/EditorText.h"

#include <QTextBlock>
#include <QTextDocument>

#include <array>
#include <stdexcept>

namespace
{
const char* const kObjectName = "tirvelEditorLines";

// Bytes that come back unchanged from the editor: shown by a character that is no line break and
// that the conversion back maps to the same byte.
const std::array<bool, 256>& RoundTripBytes()
{
    static const std::array<bool, 256> table = []
    {
        std::array<bool, 256> t{};
        for (int byte = 0; byte < 256; ++byte)
        {
            const std::string one(1, static_cast<char>(byte));
            const QString shown = EditorTextOfLine(one);
            t[static_cast<std::size_t>(byte)] = LinesOfEditorText(shown) == std::vector<std::string>{one};
        }
        return t;
    }();
    return table;
}

bool ReadsBackUnchanged(const std::vector<std::string>& lines)
{
    // A text ending in a line break has no empty last line when read back.
    if (!lines.empty() && lines.back().empty())
        return false;
    const std::array<bool, 256>& roundTrip = RoundTripBytes();
    for (const std::string& line : lines)
        for (const char byte : line)
            if (!roundTrip[static_cast<unsigned char>(byte)])
                return false;
    return true;
}
} // namespace

CEditorLines::CEditorLines(QTextDocument& document) : QObject(&document), m_document(document)
{
    setObjectName(QLatin1String(kObjectName));
    connect(&m_document, &QTextDocument::contentsChange, this, &CEditorLines::Forget);
}

CEditorLines& CEditorLines::Of(QTextDocument& document)
{
    if (auto* lines =
            document.findChild<CEditorLines*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly))
        return *lines;
    return *new CEditorLines(document);
}

void CEditorLines::Forget()
{
    m_current = false;
}

const std::vector<std::string>& CEditorLines::Lines()
{
    if (m_current)
        return m_lines;
    // The raw text keeps no-break spaces (byte 0xA0), which toPlainText() would turn into blanks.
    m_lines = LinesOfEditorText(m_document.toRawText());
    const auto blocks = static_cast<std::size_t>(m_document.blockCount());
    const bool endsWithBreak = m_document.lastBlock().length() == 1;
    m_linesAreBlocks = m_lines.size() + (endsWithBreak ? 1 : 0) == blocks;
    m_current = true;
    return m_lines;
}

void CEditorLines::TakeSetLines(const std::vector<std::string>& lines)
{
    if (!ReadsBackUnchanged(lines))
    {
        m_current = false;
        return;
    }
    m_lines = lines;
    m_linesAreBlocks = true;
    m_current = true;
}

void CEditorLines::FollowEdits(const std::vector<LineEdit>& edits)
{
    if (!m_linesAreBlocks)
    {
        m_current = false;
        return;
    }
    try
    {
        ApplyEdits(m_lines, edits);
    }
    catch (const std::out_of_range&)
    {
        m_current = false;
        return;
    }
    // Empty lines inserted after the last line leave the text ending in a line break, and such a
    // text has no empty last line: the lines then hold one empty line more than a reading gives.
    const auto blocks = static_cast<std::size_t>(m_document.blockCount());
    const bool endsWithBreak = m_document.lastBlock().length() == 1;
    if (endsWithBreak && m_lines.size() == blocks && m_lines.back().empty())
        m_lines.pop_back();
    m_current = m_lines.size() + (endsWithBreak ? 1 : 0) == blocks;
}
