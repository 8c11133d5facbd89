#pragma once
// The entry panel's editor: a QPlainTextEdit whose steps a CTextEditHistory records. The text is
// shown through the editor's display characters; lines travel as code page 1251.

#include "core/entries/IEntryEditor.h"

#include <functional>

class CTextEditHistory;
class QPlainTextEdit;
class QTextDocument;

class CEntryEditorQt : public IEntryEditor
{
public:
    // refreshEntries rebuilds the entry list and hands it to the panel (the view's own rebuild).
    CEntryEditorQt(QPlainTextEdit& editor, CTextEditHistory& history, CContentFilter& filter,
                   const CUpperCaseWordsDict* words, std::function<void(bool)> refreshEntries);

    const CTextLines& Lines() const override;
    void ApplyEdits(const std::vector<LineEdit>& edits) override;
    void ShowLineAtTop(std::size_t line) override;
    bool CanUndo() const override;
    bool CanRedo() const override;
    void Undo() override;
    void Redo() override;
    void RefreshEntries(bool keepPosition) override;
    CContentFilter& Filter() override { return m_filter; }
    const CUpperCaseWordsDict* Words() const override { return m_words; }

private:
    void CollapseSelection();

    QPlainTextEdit& m_editor;
    CTextEditHistory& m_history;
    CContentFilter& m_filter;
    const CUpperCaseWordsDict* m_words;
    std::function<void(bool)> m_refreshEntries;
};

// Replaces lines [firstLine, firstLine + lineCount) of the document by newLines (1251), as the core's
// ApplyEdits does on a list of lines. An edit that reaches past the last line changes nothing and
// returns false.
bool ApplyLineEdit(QTextDocument& document, const LineEdit& edit);
