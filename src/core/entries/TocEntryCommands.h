#pragma once
// The panel's commands on marked entries as text edits: each command computes the edits of the
// editor's lines and changes nothing itself, so the editor applies them as one undoable step.

#include "core/base/CTextLines.h"
#include "core/entries/CContentFilter.h"
#include "core/toc/TocEntryRef.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CUpperCaseWordsDict;

// Lines [firstLine, firstLine + lineCount) of the text are replaced by newLines. lineCount 0 inserts
// newLines in front of line firstLine; empty newLines deletes.
struct LineEdit
{
    std::size_t firstLine = 0;
    std::size_t lineCount = 0;
    std::vector<std::string> newLines;

    bool operator==(const LineEdit&) const = default;
};

// What a command asks of the editor: the edits, from the last block of the text to the first, so
// that each one's line numbers still hold after the previous ones are applied. On failure there is
// no edit and failure holds the operator's message (UTF-8, shown with the stop icon).
struct EntryCommandResult
{
    std::vector<LineEdit> edits;
    std::string failure;

    bool Failed() const { return !failure.empty(); }
};

enum class EntryCommand
{
    LevelUp,        // level number minus one, never above the top level
    LevelDown,      // level number plus one
    ToCapitals,     // the entry text in capitals
    ToSentenceCase, // the entry text in sentence case, dictionary words keeping their capitals
    DeleteBlocks,   // the whole blocks, ОГЛ through КОН
};

// The edit that puts newLines between the entry's ОГЛ and КОН lines in place of its entry lines;
// both marker lines stay (for an empty block the lines are inserted between them).
LineEdit ReplaceEntryLines(const TocEntryRef& entry, std::vector<std::string> newLines);
// The edit that removes the entry's block from its ОГЛ line through its КОН line.
LineEdit DeleteBlock(const TocEntryRef& entry);

// In the functions below entries is the list as built from the current text (BuildEntryList) and
// marked addresses it; marked is taken in ascending order without repeats, and positions outside
// entries are ignored. Nothing marked gives no edit and no failure.

// Level change of the marked entries, each with the deeper entries that follow it; every block from
// the first marked one on is laid out again (a block whose text comes out the same gets no edit).
// words goes to the layout; pumpMessages (may be empty) lets the window repaint.
EntryCommandResult ChangeLevelEdits(const std::vector<TocEntryRef>& entries,
                                    const std::vector<std::size_t>& marked, bool deeper,
                                    const CUpperCaseWordsDict* words = nullptr,
                                    const std::function<void()>& pumpMessages = {});
// Case change of each marked entry's lines; an entry that does not change gets no edit.
EntryCommandResult ToCapitalsEdits(const std::vector<TocEntryRef>& entries,
                                   const std::vector<std::size_t>& marked);
EntryCommandResult ToSentenceCaseEdits(const std::vector<TocEntryRef>& entries,
                                       const std::vector<std::size_t>& marked,
                                       const CUpperCaseWordsDict* words);
// Deletion of each marked entry's block.
EntryCommandResult DeleteBlockEdits(const std::vector<TocEntryRef>& entries,
                                    const std::vector<std::size_t>& marked);

// A whole panel command on the editor's lines: rebuilds the entry list from lines with filter, keeps
// the marked rows of shown (the list the operator marked them in) that still exist (RevalidateMarked)
// and computes the command's edits on them.
EntryCommandResult RunEntryCommand(EntryCommand command, const CTextLines& lines,
                                   const std::vector<TocEntryRef>& shown,
                                   const std::vector<std::size_t>& marked, const CContentFilter& filter,
                                   const CUpperCaseWordsDict* words,
                                   const std::function<void()>& pumpMessages = {});

// Applies edits in their order to lines, as the editor does. Throws std::out_of_range when an edit
// reaches past the end of the lines; lines are then left as they were.
void ApplyEdits(CTextLines& lines, const std::vector<LineEdit>& edits);
