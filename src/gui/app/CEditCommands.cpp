#include "gui/app/CEditCommands.h"

#include "gui/app/CommandIds.h"
#include "gui/app/EditingCommands.h"
#include "gui/widgets/CFindReplaceDlg.h"
#include "gui/widgets/CTextPrinter.h"

#include <QPlainTextEdit>

CEditCommands::CEditCommands(QPlainTextEdit& editor, CTextEditHistory& history)
    : QObject(&editor), m_editor(editor), m_history(history),
      m_printer(std::make_unique<CTextPrinter>(editor))
{
}

CEditCommands::~CEditCommands() = default;

bool CEditCommands::Handles(int id)
{
    switch (id)
    {
    case CommandId::UpperCase:
    case CommandId::LowerCase:
    case CommandId::InsertTocTag:
    case CommandId::DeleteTocEntries:
    case CommandId::EditFind:
    case CommandId::EditRepeat:
    case CommandId::EditReplace:
    case CommandId::FilePrint:
    case CommandId::FilePrintPreview:
    case CommandId::FilePageSetup:
        return true;
    default:
        return false;
    }
}

bool CEditCommands::IsEnabled(int id) const
{
    switch (id)
    {
    case CommandId::UpperCase:
    case CommandId::LowerCase:
    case CommandId::DeleteTocEntries:
        return m_editor.textCursor().hasSelection();
    default:
        return Handles(id);
    }
}

CFindReplaceDlg& CEditCommands::FindDialog()
{
    if (!m_findDialog)
        m_findDialog = new CFindReplaceDlg(m_editor, &m_history, m_editor.window());
    return *m_findDialog;
}

void CEditCommands::Run(int id)
{
    switch (id)
    {
    case CommandId::UpperCase:
        ChangeSelectionCase(m_editor, m_history, true);
        break;
    case CommandId::LowerCase:
        ChangeSelectionCase(m_editor, m_history, false);
        break;
    case CommandId::InsertTocTag:
        InsertTocTag(m_editor, m_history);
        break;
    case CommandId::DeleteTocEntries:
        DeleteTocEntriesInSelection(m_editor, m_history);
        break;
    case CommandId::EditFind:
        FindDialog().ShowFind();
        break;
    case CommandId::EditReplace:
        FindDialog().ShowReplace();
        break;
    case CommandId::EditRepeat:
        if (m_findDialog && m_findDialog->HasSearch())
            m_findDialog->FindNext();
        else
            FindDialog().ShowFind();
        break;
    case CommandId::FilePrint:
        m_printer->Print(m_editor.window());
        break;
    case CommandId::FilePrintPreview:
        m_printer->PrintPreview(m_editor.window());
        break;
    case CommandId::FilePageSetup:
        m_printer->PageSetup(m_editor.window());
        break;
    default:
        break;
    }
}
