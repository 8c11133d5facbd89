#include "gui/widgets/CTextEditHistory.h"

#include "gui/widgets/ITextKeeper.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUndoCommand>

#include <algorithm>

namespace
{
// The document separates blocks by paragraph separators; the history keeps line breaks.
void ToLineBreaks(QString& text)
{
    auto* const begin = reinterpret_cast<char16_t*>(text.data());
    std::replace(begin, begin + text.size(), char16_t(QChar::ParagraphSeparator), u'\n');
}
} // namespace

class CTextChangeCommand : public QUndoCommand
{
public:
    CTextChangeCommand(CTextEditHistory& history, int position, QString removed, QString added,
                       QUndoCommand* parent)
        : QUndoCommand(parent), m_history(history), m_position(position), m_removed(std::move(removed)),
          m_added(std::move(added))
    {
    }

    void undo() override { m_history.Apply(m_position, static_cast<int>(m_added.size()), m_removed); }

    void redo() override
    {
        // The first redo comes from push(): the editor already shows the change.
        if (m_done)
            m_history.Apply(m_position, static_cast<int>(m_removed.size()), m_added);
        m_done = true;
    }

private:
    CTextEditHistory& m_history;
    int m_position;
    QString m_removed;
    QString m_added;
    bool m_done = false;
};

CTextEditHistory::CTextEditHistory(QPlainTextEdit* editor) : QObject(editor), m_editor(editor)
{
    m_stack.setUndoLimit(kStepLimit);
    m_editor->document()->setUndoRedoEnabled(false);
    m_shadow = CurrentText();
    connect(m_editor->document(), &QTextDocument::contentsChange, this, &CTextEditHistory::OnContentsChange);
    connect(&m_stack, &QUndoStack::canUndoChanged, this, &CTextEditHistory::availabilityChanged);
    connect(&m_stack, &QUndoStack::canRedoChanged, this, &CTextEditHistory::availabilityChanged);
}

void CTextEditHistory::SetKeeper(ITextKeeper& keeper)
{
    m_keeper = &keeper;
    m_keeper->Attached();
    if (!m_paused)
        StartFromCurrentText();
}

bool CTextEditHistory::KeeperHoldsText() const
{
    return m_keeper && m_keeper->KeepsText();
}

qsizetype CTextEditHistory::KnownLength() const
{
    return KeeperHoldsText() ? m_keeper->KeptLength() : m_shadow.size();
}

QString CTextEditHistory::KnownText(qsizetype position, qsizetype length) const
{
    return KeeperHoldsText() ? m_keeper->KeptText(position, length) : m_shadow.mid(position, length);
}

void CTextEditHistory::Follow(int position, int length, const QString& added)
{
    if (!KeeperHoldsText())
    {
        if (m_keeper)
            m_keeper->Drop();
        m_shadow.replace(position, length, added);
        return;
    }
    m_keeper->Follow(position, length, added);
    // A keeper that could not follow leaves the history to keep the text itself.
    if (!m_keeper->KeepsText())
        m_shadow = CurrentText();
}

void CTextEditHistory::StartFromCurrentText()
{
    // A text put in whole is held once, by the keeper, when it can hold it.
    if (KeeperHoldsText())
        m_shadow = QString();
    else
        m_shadow = CurrentText();
}

void CTextEditHistory::BeginStep()
{
    ++m_depth;
}

void CTextEditHistory::EndStep()
{
    if (m_depth == 0)
        return;
    if (--m_depth == 0 && m_macroOpen)
    {
        m_stack.endMacro();
        m_macroOpen = false;
    }
}

void CTextEditHistory::Undo()
{
    if (m_depth == 0 && !m_paused)
        m_stack.undo();
}

void CTextEditHistory::Redo()
{
    if (m_depth == 0 && !m_paused)
        m_stack.redo();
}

bool CTextEditHistory::CanUndo() const
{
    return m_stack.canUndo();
}

bool CTextEditHistory::CanRedo() const
{
    return m_stack.canRedo();
}

int CTextEditHistory::StepCount() const
{
    return m_stack.count();
}

void CTextEditHistory::Clear()
{
    if (m_macroOpen)
    {
        m_stack.endMacro();
        m_macroOpen = false;
    }
    m_stack.clear();
    m_paused = false;
    StartFromCurrentText();
}

void CTextEditHistory::Pause()
{
    if (m_macroOpen)
    {
        m_stack.endMacro();
        m_macroOpen = false;
    }
    m_stack.clear();
    m_shadow = QString();
    m_paused = true;
}

void CTextEditHistory::Restart()
{
    m_paused = false;
    StartFromCurrentText();
}

QString CTextEditHistory::CurrentText() const
{
    // The raw text: toPlainText() would turn no-break spaces into blanks.
    QString text = m_editor->document()->toRawText();
    ToLineBreaks(text);
    return text;
}

QString CTextEditHistory::DocumentText(int position, int length) const
{
    // A cursor gathers its text fragment by fragment, several times slower per character than
    // the document's own copy of the whole text: a span of a good part of the text is cut from that.
    if (length > m_editor->document()->characterCount() / 4)
    {
        QString text = m_editor->document()->toRawText().mid(position, length);
        ToLineBreaks(text);
        return text;
    }
    QTextCursor cursor(m_editor->document());
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    ToLineBreaks(text);
    return text;
}

void CTextEditHistory::OnContentsChange(int position, int removed, int added)
{
    if (m_applying)
        return;
    if (m_paused)
    {
        if (m_keeper)
            m_keeper->Drop();
        return;
    }
    const int oldLength = static_cast<int>(KnownLength());
    const int newLength = m_editor->document()->characterCount() - 1; // without the final separator

    // The reported range may include the document's final separator or, after a format change,
    // cover the whole text; clamp it and fall back to comparing texts when the counts disagree.
    position = std::clamp(position, 0, oldLength);
    removed = std::clamp(removed, 0, oldLength - position);
    added = std::clamp(added, 0, std::max(0, newLength - position));
    QString removedText;
    QString addedText;
    if (oldLength - removed + added == newLength)
    {
        removedText = KnownText(position, removed);
        addedText = DocumentText(position, added);
    }
    else
    {
        const QString before = KnownText(0, oldLength);
        const QString now = CurrentText();
        int prefix = 0;
        const int shorter = std::min(oldLength, newLength);
        while (prefix < shorter && before[prefix] == now[prefix])
            ++prefix;
        int suffix = 0;
        while (suffix < shorter - prefix && before[oldLength - 1 - suffix] == now[newLength - 1 - suffix])
            ++suffix;
        position = prefix;
        removedText = before.mid(prefix, oldLength - prefix - suffix);
        addedText = now.mid(prefix, newLength - prefix - suffix);
    }
    if (removedText == addedText)
        return; // a format change only

    Follow(position, static_cast<int>(removedText.size()), addedText);
    if (m_depth > 0 && !m_macroOpen)
    {
        m_stack.beginMacro(QString());
        m_macroOpen = true;
    }
    auto* command = new CTextChangeCommand(*this, position, removedText, addedText, nullptr);
    m_stack.push(command);
}

void CTextEditHistory::Apply(int position, int length, const QString& text)
{
    m_applying = true;
    QTextCursor cursor(m_editor->document());
    cursor.beginEditBlock();
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    cursor.endEditBlock();
    m_applying = false;
    Follow(position, length, text);
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
}
