#include "gui/common/CEntryEditorQt.h"

#include "gui/common/CEditorLines.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace
{
// The position just before the line break that ends block.
int EndOfBlock(const QTextBlock& block)
{
    return block.position() + block.length() - 1;
}

// Gives each block from block on the text of its line, one line per block, changing only the
// characters between the first and the last that differ: no block is removed or made, which on a
// long text costs several times more than the characters.
void ReplaceBlockTexts(QTextDocument& document, QTextBlock block, const std::vector<std::string>& lines)
{
    QTextCursor cursor(&document);
    for (const std::string& line : lines)
    {
        const QString now = block.text();
        const QString wanted = EditorTextOfLine(line);
        const qsizetype shorter = std::min(now.size(), wanted.size());
        qsizetype prefix = 0;
        while (prefix < shorter && now[prefix] == wanted[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < shorter - prefix &&
               now[now.size() - 1 - suffix] == wanted[wanted.size() - 1 - suffix])
            ++suffix;
        // A surrogate pair is replaced whole.
        if (prefix > 0 && now[prefix - 1].isHighSurrogate())
            --prefix;
        if (suffix > 0 && now[now.size() - suffix].isLowSurrogate())
            --suffix;
        if (prefix + suffix < now.size() || prefix + suffix < wanted.size())
        {
            cursor.setPosition(block.position() + static_cast<int>(prefix));
            cursor.setPosition(block.position() + static_cast<int>(now.size() - suffix),
                               QTextCursor::KeepAnchor);
            cursor.insertText(wanted.mid(prefix, wanted.size() - prefix - suffix));
        }
        block = block.next();
    }
}
} // namespace

bool ApplyLineEdit(QTextDocument& document, const LineEdit& edit)
{
    const auto blockCount = static_cast<std::size_t>(document.blockCount());
    QTextCursor cursor(&document);
    if (edit.lineCount == 0)
    {
        if (edit.newLines.empty())
            return true;
        if (edit.firstLine < blockCount)
        {
            cursor.setPosition(document.findBlockByNumber(static_cast<int>(edit.firstLine)).position());
            cursor.insertText(EditorTextOfLines(edit.newLines) + QLatin1Char('\n'));
        }
        else if (edit.firstLine == blockCount)
        {
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QLatin1Char('\n') + EditorTextOfLines(edit.newLines));
        }
        else
            return false;
        return true;
    }

    const std::size_t lastLine = edit.firstLine + edit.lineCount - 1;
    if (lastLine >= blockCount)
        return false;
    const QTextBlock first = document.findBlockByNumber(static_cast<int>(edit.firstLine));
    const QTextBlock last = document.findBlockByNumber(static_cast<int>(lastLine));
    if (edit.newLines.size() == edit.lineCount)
    {
        ReplaceBlockTexts(document, first, edit.newLines);
        return true;
    }
    if (!edit.newLines.empty())
    {
        cursor.setPosition(first.position());
        cursor.setPosition(EndOfBlock(last), QTextCursor::KeepAnchor);
        cursor.insertText(EditorTextOfLines(edit.newLines));
        return true;
    }
    // A deleted line takes its line break along; the last line of the text takes the one before it.
    if (last.next().isValid())
    {
        cursor.setPosition(first.position());
        cursor.setPosition(last.next().position(), QTextCursor::KeepAnchor);
    }
    else if (first.previous().isValid())
    {
        cursor.setPosition(EndOfBlock(first.previous()));
        cursor.setPosition(EndOfBlock(last), QTextCursor::KeepAnchor);
    }
    else
    {
        cursor.setPosition(first.position());
        cursor.setPosition(EndOfBlock(last), QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
    return true;
}

CEntryEditorQt::CEntryEditorQt(QPlainTextEdit& editor, CTextEditHistory& history, CContentFilter& filter,
                               const CUpperCaseWordsDict* words, std::function<void(bool)> refreshEntries)
    : m_editor(editor), m_history(history), m_filter(filter), m_words(words),
      m_refreshEntries(std::move(refreshEntries))
{
}

const CTextLines& CEntryEditorQt::Lines() const
{
    // The raw text, as the view reads it: no-break spaces stay what they are.
    return CEditorLines::Of(*m_editor.document()).Lines();
}

void CEntryEditorQt::ApplyEdits(const std::vector<LineEdit>& edits)
{
    // A read-only editor is taking in a new text, and nothing may change it meanwhile.
    if (edits.empty() || m_editor.isReadOnly())
        return;
    CEditorLines& lines = CEditorLines::Of(*m_editor.document());
    const bool linesWereCurrent = lines.IsCurrent();
    bool allApplied = true;
    m_editor.viewport()->setUpdatesEnabled(false);
    m_history.BeginStep();
    QTextCursor block(m_editor.document());
    block.beginEditBlock();
    for (const LineEdit& edit : edits)
        allApplied = ApplyLineEdit(*m_editor.document(), edit) && allApplied;
    if (allApplied)
        lines.ExpectEdits(&edits);
    block.endEditBlock();
    lines.ExpectEdits(nullptr);
    m_history.EndStep();
    if (linesWereCurrent && allApplied)
        lines.FollowEdits(edits);
    m_editor.viewport()->setUpdatesEnabled(true);
    m_editor.viewport()->update();
}

void CEntryEditorQt::ShowLineAtTop(std::size_t line)
{
    const QTextBlock block = m_editor.document()->findBlockByNumber(static_cast<int>(line));
    if (!block.isValid())
        return;
    const int topLine = block.firstLineNumber() >= 0 ? block.firstLineNumber() : block.blockNumber();
    m_editor.verticalScrollBar()->setValue(topLine);
}

bool CEntryEditorQt::CanUndo() const
{
    return m_history.CanUndo();
}

bool CEntryEditorQt::CanRedo() const
{
    return m_history.CanRedo();
}

void CEntryEditorQt::Undo()
{
    m_history.Undo();
    CollapseSelection();
}

void CEntryEditorQt::Redo()
{
    m_history.Redo();
    CollapseSelection();
}

void CEntryEditorQt::CollapseSelection()
{
    QTextCursor cursor = m_editor.textCursor();
    cursor.setPosition(cursor.selectionStart());
    m_editor.setTextCursor(cursor);
}

void CEntryEditorQt::RefreshEntries(bool keepPosition)
{
    if (m_refreshEntries)
        m_refreshEntries(keepPosition);
}
