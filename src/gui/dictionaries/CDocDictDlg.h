#pragma once
// The dialog in which the operator edits the document-kinds dictionary: add a typed kind, import
// kinds from a DOS or Windows text file, delete the selected kinds or all of them. It works on its
// own copy of the list; the caller takes m_kinds back on OK.

#include "core/dictionaries/CDocKindsList.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class CReportListWidget;
class IPrompter;
class QLineEdit;
class QPushButton;

// A text file of kinds chosen for import, with the code page its filter entry stands for.
struct KindsFileChoice
{
    std::string path; // file-system path
    KindsFileCodePage codePage = KindsFileCodePage::Dos866;
};

// The open-file dialog of the import: every file, with the entry "Все файлы DOS (*.*)" for a file in
// code page 866 and "Все файлы Windows(*.*)" for one in code page 1251. Empty when cancelled.
std::optional<KindsFileChoice> AskKindsFile(QWidget* parent);

class CDocDictDlg : public QDialog
{
    Q_OBJECT
public:
    CDocDictDlg(const CDocKindsList& kinds, IPrompter& prompter, QWidget* parent = nullptr);

    // Rebuilds the rows from the sorted kinds, keeping the selection on the row that held the first
    // selected kind, or on the row that took its place when that kind was deleted.
    void RefreshList();

    CDocKindsList m_kinds;
    // Asks for the file to import; AskKindsFile unless a test replaces it.
    std::function<std::optional<KindsFileChoice>()> m_askImportFile;

    CReportListWidget* m_list;
    QLineEdit* m_edit;
    QPushButton* m_addButton;
    QPushButton* m_fromFileButton;
    QPushButton* m_deleteButton;
    QPushButton* m_deleteAllButton;

private:
    void OnAdd();
    void OnFromFile();
    void OnDelete();
    void OnDeleteAll();

    IPrompter& m_prompter;
    QString m_editText; // the edit box text as last read
};

// Runs the dialog on a copy of kinds; OK assigns the copy back and returns true.
bool EditDocKinds(CDocKindsList& kinds, IPrompter& prompter, QWidget* parent);
