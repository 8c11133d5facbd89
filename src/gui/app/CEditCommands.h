#pragma once
// The editing commands of the editor beyond plain typing: the case of the selection, inserting and
// emptying table-of-contents blocks, search and replace, and printing.

#include <QObject>

#include <memory>

class CFindReplaceDlg;
class CTextEditHistory;
class CTextPrinter;
class QPlainTextEdit;

class CEditCommands : public QObject
{
    Q_OBJECT
public:
    // Lives as a child of editor.
    CEditCommands(QPlainTextEdit& editor, CTextEditHistory& history);
    ~CEditCommands() override;

    // The case and entry-deleting commands act on a selection.
    bool HasSelection() const;
    void UpperCase();
    void LowerCase();
    void InsertTocTag();
    void DeleteTocEntries();

    void Find();
    // Repeats the last search, or opens the search when there was none.
    void FindNext();
    void Replace();

    void Print();
    void PrintPreview();
    void PageSetup();

private:
    // Created on first use; stays open beside the editor.
    CFindReplaceDlg& FindDialog();

    QPlainTextEdit& m_editor;
    CTextEditHistory& m_history;
    CFindReplaceDlg* m_findDialog = nullptr;
    std::unique_ptr<CTextPrinter> m_printer;
};
