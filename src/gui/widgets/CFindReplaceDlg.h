#pragma once
// The editor's search and replace dialog: finds text in a QPlainTextEdit forwards or backwards,
// optionally matching case and whole words, replaces the found text or every occurrence. It stays
// open beside the editor; "find next" repeats the last search without it.

#include <QDialog>

#include <functional>

class CTextEditHistory;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class CFindReplaceDlg : public QDialog
{
    Q_OBJECT
public:
    CFindReplaceDlg(QPlainTextEdit& editor, CTextEditHistory* history, QWidget* parent = nullptr);

    // Shows the dialog for finding only or for replacing too, with the selected text (when on one
    // line) as the text to find.
    void ShowFind();
    void ShowReplace();

    // Selects the next occurrence from the caret in the chosen direction; false (and a beep) when
    // there is none or nothing has been searched for yet.
    bool FindNext();
    // Replaces the selection when it is the text searched for, then finds the next occurrence.
    bool ReplaceCurrent();
    // Replaces every occurrence in the text as one undo step; returns how many.
    int ReplaceAll();

    bool HasSearch() const;

    // Turns the replacement text, as it is typed, into what the editor can hold.
    void SetReplacementFilter(std::function<QString(const QString&)> filter);

    QLineEdit* m_findEdit;
    QLineEdit* m_replaceEdit;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QRadioButton* m_up;
    QRadioButton* m_down;
    QLabel* m_status;

private:
    void Prepare(bool replace);
    bool SelectionMatches() const;

    QPlainTextEdit& m_editor;
    CTextEditHistory* m_history;
    QLabel* m_replaceLabel;
    QPushButton* m_replaceButton;
    QPushButton* m_replaceAllButton;
};
