#pragma once
// The editor view: the text of the open document in one fixed font, black on white, every typed key
// one undo step of its own, typed and pasted text kept to what the document's code page holds, the
// table-of-contents entries of the text for the panel, and the caret position reported before the
// editor acts on a key or the mouse, and after every change of the text and every move of the caret
// the program makes. The folder workflow around
// it is the document session's; the view is the session's editor.

#include "core/remarks/Remarks.h"
#include "core/toc/TocEntryRef.h"
#include "core/workflow/IDocumentEditor.h"

#include <QFont>
#include <QPlainTextEdit>

#include <functional>
#include <string>
#include <vector>

class CContentFilter;
class CEditCommands;
class CTextEditHistory;
class IReporter;
class QAction;

class CKestrelView : public QPlainTextEdit, public IDocumentEditor
{
    Q_OBJECT
public:
    // filter: the level filter the entry list follows; reporter: tells a font that cannot be had.
    CKestrelView(const CContentFilter& filter, IReporter& reporter, QWidget* parent = nullptr);
    ~CKestrelView() override;

    // The view's first set-up: no wrapping, the fixed font, the caret at the start, empty history.
    void InitialUpdate();

    CTextLines GetLines() const override;
    // Replaces the whole text (not an undoable step: the history is emptied). The text goes in part
    // by part with pumpMessages called in between; meanwhile the editor is read-only. The lines are
    // kept as the text's lines, and are then the only copy of the text besides the editor's own.
    void TakeLines(CTextLines&& lines, const std::function<void()>& pumpMessages) override;
    void SetLines(const CTextLines& lines, const std::function<void()>& pumpMessages) override;
    void SetLines(const CTextLines& lines) { SetLines(lines, {}); }
    void ClearText() override;
    // Rebuilds the entry list and the remarks from the text and hands them to the panel.
    void RefreshEntries(bool keepPosition);
    // False once the text has changed since the entry list and the remarks were built.
    bool EntriesFollowText() const { return m_entriesFollowText; }
    // Puts the caret at the start of line (from 0) and scrolls it to the middle of the view.
    void PutCaretOnLine(std::size_t line);
    // The text's context menu offers these after the editor's own commands.
    void AddContextAction(QAction* action);

    // The standard editing commands, each a step of the editor's own history.
    void Undo();
    void Redo();
    void CutSelection();
    void PasteClipboard();
    bool CanPaste() const { return m_canPaste; }

    const std::vector<TocEntryRef>& Entries() const { return m_entries; }
    // The remarks on the entries, built with them.
    const std::vector<Remark>& Remarks() const { return m_remarks; }
    CTextEditHistory& History() { return *m_history; }
    CEditCommands& EditCommands() { return *m_editCommands; }

signals:
    // The operator changed the text (typing, a command, a panel edit), not a whole replacement.
    void textEdited();
    // The selection, the history or the clipboard changed: editing commands may change availability.
    void editorStateChanged();
    // The entry list was rebuilt; the window hands it to the panel.
    void entriesUpdated(bool keepPosition);
    // Line (1-based), column (0-based) and line count, reported before the editor acts on a key or
    // the mouse, and after every change of the text and every move of the caret the program makes.
    void positionReported(int line, int column, int lineCount);
    // Something the operator should know about the last input, for the status line.
    void statusMessage(const QString& text);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Mouse events come through the viewport; each is preceded by a position report.
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void ReplaceText(const QString& text);
    // Empties the editor and puts the lines in part by part, calling pumpMessages after each.
    void FillText(const CTextLines& lines, const std::function<void()>& pumpMessages);
    // Puts typed or pasted text into the form the document can keep, and tells what was lost.
    QString KeepInput(QStringView typed);
    // The entry list and the remarks of lines, the text's current lines; pumpMessages (may be empty)
    // runs between the two.
    void BuildEntries(const CTextLines& lines, const std::function<void()>& pumpMessages);
    void ApplyCharFormat();
    void ReportPosition();
    void OnCaretMoved();
    void OnContentsChanged();
    // Runs a programmatic change as one undo step.
    void AsOneStep(const std::function<void()>& change);

    const CContentFilter& m_filter;
    IReporter& m_reporter;
    CTextEditHistory* m_history;
    CEditCommands* m_editCommands; // a child of the view
    std::vector<TocEntryRef> m_entries;
    std::vector<Remark> m_remarks;
    bool m_entriesFollowText = true;
    std::vector<QAction*> m_contextActions;
    QFont m_charFormat;
    bool m_replacingText = false;
    bool m_handlingInput = false; // a key or a mouse event is being acted on
    bool m_canPaste = false;
};
