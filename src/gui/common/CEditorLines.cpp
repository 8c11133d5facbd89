#include "gui/common/CEditorLines.h"

#include "gui/common/EditorText.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace
{
const char* const kObjectName = "tirvelEditorLines";

// Bytes that come back unchanged from the editor: shown by one character that is no line break and
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
            t[static_cast<std::size_t>(byte)] =
                shown.size() == 1 && LinesOfEditorText(shown) == std::vector<std::string>{one};
        }
        return t;
    }();
    return table;
}

template <typename Lines>
bool AllBytesRoundTrip(const Lines& lines)
{
    const std::array<bool, 256>& roundTrip = RoundTripBytes();
    for (std::string_view line : lines)
        for (const char byte : line)
            if (!roundTrip[static_cast<unsigned char>(byte)])
                return false;
    return true;
}

bool ReadsBackUnchanged(const CTextLines& lines)
{
    // A text ending in a line break has no empty last line when read back.
    if (!lines.empty() && lines.back().empty())
        return false;
    return AllBytesRoundTrip(lines);
}
} // namespace

CEditorLines::CEditorLines(QTextDocument& document) : QObject(&document), m_document(document)
{
    setObjectName(QLatin1String(kObjectName));
    connect(&m_document, &QTextDocument::contentsChange, this, &CEditorLines::Forget);
}

void CEditorLines::Attached()
{
    // The history reports each change now, after reading what it removed from the lines.
    disconnect(&m_document, &QTextDocument::contentsChange, this, &CEditorLines::Forget);
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
    m_exact = false;
}

void CEditorLines::Lose()
{
    Forget();
    m_lines = {};
    m_linesAreBlocks = false;
}

const CTextLines& CEditorLines::Lines()
{
    if (m_current)
        return m_lines;
    // The raw text keeps no-break spaces (byte 0xA0), which toPlainText() would turn into blanks.
    const QString text = m_document.toRawText();
    m_lines = LinesOfEditorText(text);
    // Blocks are split at paragraph separators only; a line break inside a block (a pasted line
    // separator) ends a line where no block ends, even one at the very end that starts no line.
    m_linesAreBlocks = !text.contains(QChar::LineSeparator) && !text.contains(QLatin1Char('\n'));
    m_current = true;
    return m_lines;
}

bool CEditorLines::TakeSetLines(CTextLines& lines)
{
    if (!ReadsBackUnchanged(lines))
    {
        Lose();
        return false;
    }
    m_lines = std::exchange(lines, {});
    m_linesAreBlocks = true;
    m_current = true;
    m_exact = true;
    m_lastBlockDropped = m_lines.empty();
    m_exactLength = std::max<qsizetype>(static_cast<qsizetype>(m_lines.LineBytes() + m_lines.size()) - 1, 0);
    return true;
}

void CEditorLines::FollowEdits(const std::vector<LineEdit>& edits)
{
    // Lines that follow each change as the history reports it have followed these edits already.
    if (m_exact)
        return;
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
        m_lines.Erase(m_lines.size() - 1);
    m_current = m_lines.size() + (endsWithBreak ? 1 : 0) == blocks;
}

std::pair<std::size_t, std::size_t> CEditorLines::PlaceOf(qsizetype position) const
{
    // The blocks before position are the same in the document and in the lines.
    const QTextBlock block = m_document.findBlock(static_cast<int>(position));
    return {static_cast<std::size_t>(block.blockNumber()),
            static_cast<std::size_t>(position - block.position())};
}

QString CEditorLines::KeptText(qsizetype position, qsizetype length) const
{
    const std::size_t blocks = m_lines.size() + (m_lastBlockDropped ? 1 : 0);
    auto [line, column] = PlaceOf(position);
    QString text;
    text.reserve(length);
    for (; line < blocks && text.size() < length; ++line, column = 0)
    {
        const std::string_view whole = line < m_lines.size() ? m_lines[line] : "";
        const std::string_view part =
            whole.substr(std::min(column, whole.size()), static_cast<std::size_t>(length - text.size()));
        AppendEditorText(text, part);
        if (text.size() < length && line + 1 < blocks)
            text += QLatin1Char('\n');
    }
    return text;
}

void CEditorLines::Follow(qsizetype position, qsizetype length, QStringView added)
{
    if (!m_exact)
        return;
    if (m_lastBlockDropped)
        m_lines.PushBack({});
    if (const std::vector<LineEdit>* edits = std::exchange(m_expected, nullptr))
    {
        FollowExpected(*edits);
        return;
    }
    const auto [line, column] = PlaceOf(position);
    // Where the removed characters end: a line break counts one.
    std::size_t endLine = line;
    std::size_t endColumn = column;
    for (qsizetype left = length; endLine < m_lines.size();)
    {
        const std::size_t size = m_lines[endLine].size();
        const auto rest = static_cast<qsizetype>(size - std::min(endColumn, size));
        if (left <= rest)
        {
            endColumn += static_cast<std::size_t>(left);
            break;
        }
        left -= rest + 1;
        ++endLine;
        endColumn = 0;
    }
    if (endLine >= m_lines.size() || column > m_lines[line].size() || endColumn > m_lines[endLine].size())
    {
        Lose();
        return;
    }
    // The lines from line to endLine become the added pieces, the first after the head of line and
    // the last before the tail of endLine.
    std::vector<std::string> pieces(static_cast<std::size_t>(added.count(QLatin1Char('\n'))) + 1);
    std::size_t target = 0;
    for (qsizetype start = 0;; ++target)
    {
        const qsizetype end = added.indexOf(QLatin1Char('\n'), start);
        if (!ExactLineOfEditorText(added.sliced(start, (end < 0 ? added.size() : end) - start), pieces[target]))
        {
            Lose();
            return;
        }
        if (end < 0)
            break;
        start = end + 1;
    }
    pieces.front().insert(0, m_lines[line].substr(0, column));
    pieces.back().append(m_lines[endLine].substr(endColumn));
    m_lines.Replace(line, endLine - line + 1, pieces);
    m_exactLength += added.size() - length;
    CheckAgainstDocument();
}

void CEditorLines::FollowExpected(const std::vector<LineEdit>& edits)
{
    // The lines are the blocks here, the last one too, as the edits address them.
    for (const LineEdit& edit : edits)
        if (!AllBytesRoundTrip(edit.newLines))
        {
            Lose();
            return;
        }
    try
    {
        ApplyEdits(m_lines, edits);
    }
    catch (const std::out_of_range&)
    {
        Lose();
        return;
    }
    // A document keeps one block when every line is gone.
    if (m_lines.empty())
        m_lines.PushBack({});
    m_exactLength = static_cast<qsizetype>(m_lines.LineBytes() + m_lines.size()) - 1;
    CheckAgainstDocument();
}

void CEditorLines::CheckAgainstDocument()
{
    m_lastBlockDropped = m_lines.back().empty();
    if (m_lastBlockDropped)
        m_lines.Erase(m_lines.size() - 1);
    // A change that did not come out as the document shows it is not followed.
    if (m_lines.size() + (m_lastBlockDropped ? 1 : 0) != static_cast<std::size_t>(m_document.blockCount()) ||
        m_exactLength != m_document.characterCount() - 1)
        Lose();
}
