#include "gui/app/EditingCommands.h"

#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CTextEditHistory.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace
{
bool BlockIsMarker(const QTextBlock& block, Marker marker)
{
    return IsMarker(LineOfEditorText(block.text()), marker);
}

// Redrawing is suspended for the life of the object.
class SuspendedRedraw
{
public:
    explicit SuspendedRedraw(QPlainTextEdit& editor) : m_editor(editor)
    {
        m_editor.viewport()->setUpdatesEnabled(false);
    }
    ~SuspendedRedraw()
    {
        m_editor.viewport()->setUpdatesEnabled(true);
        m_editor.viewport()->update();
    }
    SuspendedRedraw(const SuspendedRedraw&) = delete;
    SuspendedRedraw& operator=(const SuspendedRedraw&) = delete;

private:
    QPlainTextEdit& m_editor;
};
} // namespace

void ChangeSelectionCase(QPlainTextEdit& editor, CTextEditHistory& history, bool upper)
{
    QTextCursor cursor = editor.textCursor();
    if (!cursor.hasSelection())
        return;
    const int anchor = cursor.anchor();
    const int position = cursor.position();
    // Line by line: the paragraph separators of the selection are line breaks, not letters.
    const QStringList pieces = cursor.selectedText().split(QChar::ParagraphSeparator);
    QStringList converted;
    converted.reserve(pieces.size());
    for (const QString& piece : pieces)
    {
        const std::string line = LineOfEditorText(piece);
        converted.append(EditorTextOfLine(upper ? ToUpper(line) : ToLower(line)));
    }
    const QString text = converted.join(QLatin1Char('\n'));
    if (text == pieces.join(QLatin1Char('\n')))
        return;
    history.BeginStep();
    cursor.insertText(text);
    history.EndStep();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

void InsertTocTag(QPlainTextEdit& editor, CTextEditHistory& history)
{
    SuspendedRedraw redraw(editor);
    const int start = editor.textCursor().selectionStart();
    const QTextBlock line = editor.document()->findBlock(start);
    QTextCursor cursor(editor.document());
    cursor.setPosition(line.position());
    history.BeginStep();
    cursor.insertText(EditorTextOfLine(MarkerLine(Marker::Ogl)) + QLatin1Char('\n') +
                      EditorTextOfLine(MarkerLine(Marker::Kon)) + QLatin1Char('\n'));
    history.EndStep();
    QTextCursor caret(editor.document());
    caret.setPosition(start);
    editor.setTextCursor(caret);
}

int DeleteTocEntriesInSelection(QPlainTextEdit& editor, CTextEditHistory& history)
{
    const QTextCursor selection = editor.textCursor();
    QTextDocument& document = *editor.document();
    int line = document.findBlock(selection.selectionStart()).blockNumber();
    int endLine = document.findBlock(selection.selectionEnd()).blockNumber();
    if (line >= endLine)
        return 0;

    SuspendedRedraw redraw(editor);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int deleted = 0;
    bool inside = false;
    while (line < endLine)
    {
        const QTextBlock block = document.findBlockByNumber(line);
        if (!inside)
        {
            inside = BlockIsMarker(block, Marker::Ogl);
            ++line;
            continue;
        }
        if (BlockIsMarker(block, Marker::Kon))
        {
            inside = false;
            ++line;
            continue;
        }
        // The line goes with its line break; the walk stays on this index, which holds the next line.
        QTextCursor cursor(&document);
        cursor.setPosition(block.position());
        cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
        history.BeginStep();
        cursor.removeSelectedText();
        history.EndStep();
        ++deleted;
        --endLine;
    }
    QApplication::restoreOverrideCursor();
    return deleted;
}
