#include "gui/app/CEditCommands.h"

#include "gui/app/EditingCommands.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CFindReplaceDlg.h"
#include "gui/widgets/CTextPrinter.h"

#include <QPlainTextEdit>

CEditCommands::CEditCommands(QPlainTextEdit& editor, CTextEditHistory& history)
    : QObject(&editor), m_editor(editor), m_history(history),
      m_printer(std::make_unique<CTextPrinter>(editor))
{
}

CEditCommands::~CEditCommands() = default;

bool CEditCommands::HasSelection() const
{
    return m_editor.textCursor().hasSelection();
}

// A read-only editor is taking in a new text, and nothing may change it meanwhile.
void CEditCommands::UpperCase()
{
    if (!m_editor.isReadOnly())
        ChangeSelectionCase(m_editor, m_history, true);
}

void CEditCommands::LowerCase()
{
    if (!m_editor.isReadOnly())
        ChangeSelectionCase(m_editor, m_history, false);
}

void CEditCommands::InsertTocTag()
{
    if (!m_editor.isReadOnly())
        ::InsertTocTag(m_editor, m_history);
}

void CEditCommands::DeleteTocEntries()
{
    if (!m_editor.isReadOnly())
        DeleteTocEntriesInSelection(m_editor, m_history);
}

CFindReplaceDlg& CEditCommands::FindDialog()
{
    if (!m_findDialog)
    {
        m_findDialog = new CFindReplaceDlg(m_editor, &m_history, m_editor.window());
        // What replaces a found text is shown as the document will keep it.
        m_findDialog->SetReplacementFilter([](const QString& typed) { return KeepableInput(typed).text; });
    }
    return *m_findDialog;
}

void CEditCommands::Find()
{
    FindDialog().ShowFind();
}

void CEditCommands::FindNext()
{
    if (m_findDialog && m_findDialog->HasSearch())
        m_findDialog->FindNext();
    else
        FindDialog().ShowFind();
}

void CEditCommands::Replace()
{
    FindDialog().ShowReplace();
}

void CEditCommands::Print()
{
    m_printer->Print(m_editor.window());
}

void CEditCommands::PrintPreview()
{
    m_printer->PrintPreview(m_editor.window());
}

void CEditCommands::PageSetup()
{
    m_printer->PageSetup(m_editor.window());
}
