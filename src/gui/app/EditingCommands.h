#pragma once
// The editor's commands on the table-of-contents markup typed by hand: the letter case of the
// selection, an empty ОГЛ/КОН block in front of the current line, and removing the entry lines of
// the blocks in the selection. None of them rebuilds the panel's entry list.

class CTextEditHistory;
class QPlainTextEdit;

// Every letter of the selection to upper (or lower) case by the code page 1251 rules, as one undo
// step; the length does not change and the selection stays. Nothing happens without a selection.
void ChangeSelectionCase(QPlainTextEdit& editor, CTextEditHistory& history, bool upper);

// Inserts the ОГЛ and КОН marker lines in front of the line that holds the selection's start, as
// one undo step, and puts the caret at the old position counted from the start of the text.
void InsertTocTag(QPlainTextEdit& editor, CTextEditHistory& history);

// Walks the lines from the one holding the selection's start up to (not including) the one holding
// its end, and deletes every line inside an ОГЛ...КОН block, one undo step per line; the marker lines
// stay, and a block opened above the selection is not touched. Returns the number of deleted lines.
int DeleteTocEntriesInSelection(QPlainTextEdit& editor, CTextEditHistory& history);
