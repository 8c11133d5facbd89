#pragma once
// The editing commands of the view beyond plain typing: the case of the selection, inserting and
// emptying table-of-contents blocks, search and replace, and printing. The view routes these ids here.

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

    static bool Handles(int id);
    bool IsEnabled(int id) const;
    void Run(int id);

    // Created on first use; stays open beside the editor.
    CFindReplaceDlg& FindDialog();
    CTextPrinter& Printer() { return *m_printer; }

private:
    QPlainTextEdit& m_editor;
    CTextEditHistory& m_history;
    CFindReplaceDlg* m_findDialog = nullptr;
    std::unique_ptr<CTextPrinter> m_printer;
};
