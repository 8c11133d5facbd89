#pragma once
// The dialog in which the operator edits the user's words of the capitalised-words dictionary
// (the built-in words are neither shown nor changed). It works on its own copy of the dictionary;
// the caller takes m_words back on OK.

#include "core/dictionaries/CUpperCaseWordsDict.h"

#include <QDialog>

class CReportListWidget;
class IPrompter;
class QLineEdit;
class QPushButton;

class CUpperCaseWordsDlg : public QDialog
{
    Q_OBJECT
public:
    CUpperCaseWordsDlg(const CUpperCaseWordsDict& words, IPrompter& prompter, QWidget* parent = nullptr);

    // Sorts the user words and shows one row per word; nothing is selected afterwards.
    void RefreshList();

    CUpperCaseWordsDict m_words;

    CReportListWidget* m_list;
    QLineEdit* m_edit;
    QPushButton* m_addButton;
    QPushButton* m_deleteButton;
    QPushButton* m_clearButton;

private:
    void OnAdd();
    void OnDelete();
    void OnClear();

    IPrompter& m_prompter;
};

// Runs the dialog on a copy of words; OK assigns the copy's user words back and returns true.
bool EditUpperCaseWords(CUpperCaseWordsDict& words, IPrompter& prompter, QWidget* parent);
