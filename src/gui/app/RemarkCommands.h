#pragma once
// The commands on the remarks of the table of contents: going from remark to remark through the text,
// and mending a missed heading by putting in front of it the block the recognition would have
// written. Their entries of the window's command table come from here.

#include "core/remarks/Remarks.h"
#include "gui/app/MainCommands.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class CKestrelDoc;
class CKestrelView;
class CSessionHost;
class IReporter;
class QMainWindow;

// Where the next-remark command goes from the caret's line: the first remarked heading below that
// line, or when there is none the first one of the text (wrapped). Empty without remarks.
struct RemarkStop
{
    std::size_t line = 0;        // the heading's first line
    std::size_t oglLine = 0;     // its block's ОГЛ line
    std::vector<Remark> remarks; // all the remarks of that heading
    bool wrapped = false;
};
std::optional<RemarkStop> NextRemarkStop(const std::vector<Remark>& remarks, std::size_t caretLine);

// The lines [first, last] of the heading the add-heading command is for: the lines the selection
// touches (a selection ending at the start of a line does not take that line), or without a
// selection the paragraph that starts on the caret's line (a blank line alone).
struct HeadingLines
{
    std::size_t first = 0;
    std::size_t last = 0;
};
HeadingLines SelectedHeading(const CKestrelView& view, const CTextLines& lines);

// What the commands act on; all of them live as long as the window.
struct RemarkTargets
{
    QMainWindow& window;
    CKestrelView& view;
    CSessionHost& host;
    CKestrelDoc& doc;
    IReporter& reporter;
    // Marks the panel row of the block whose ОГЛ line is given.
    std::function<void(std::size_t)> selectEntry;
};

// Moves the caret to the next remarked heading (see NextRemarkStop), marks its panel row and says in
// the status line what the remarks are. A text changed since the remarks were found is checked again
// first, so the caret never goes by old line numbers.
void GoToNextRemark(const RemarkTargets& targets);
// Puts the ОГЛ…КОН block of the selected heading in front of it as one undo step, then rebuilds the
// entry list and marks the new row; a heading that cannot get one is reported with the stop icon.
void AddHeadingToToc(const RemarkTargets& targets);

// The entries of the command table for the two commands.
std::vector<MainCommand> RemarkCommands(const RemarkTargets& targets);
