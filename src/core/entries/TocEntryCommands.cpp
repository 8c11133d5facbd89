#include "core/entries/TocEntryCommands.h"

#include "core/document/Markers.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/CHeadingCaseConverter.h"
#include "core/toc/CTocLevelChanger.h"
#include "core/toc/HeadingTests.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string_view>

namespace
{
const char* const kLevelChangeFailed = "Ошибка изменения уровня вложенности пункта оглавления!";

// Ascending, without repeats, only positions that address entries.
std::vector<std::size_t> UsableMarks(const std::vector<std::size_t>& marked, std::size_t entryCount)
{
    std::vector<std::size_t> positions;
    for (std::size_t position : marked)
        if (position < entryCount)
            positions.push_back(position);
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

// The entry lines of a block exactly as they stand: every piece between "\n" is a line (an empty
// text is an empty block), so writing them back never adds or loses a line.
std::vector<std::string> EntryLinesOf(std::string_view text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
        {
            lines.emplace_back(text.substr(start));
            return lines;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

template <typename Convert>
EntryCommandResult CaseEdits(const std::vector<TocEntryRef>& entries, const std::vector<std::size_t>& marked,
                             Convert convert)
{
    EntryCommandResult result;
    const std::vector<std::size_t> positions = UsableMarks(marked, entries.size());
    for (auto it = positions.rbegin(); it != positions.rend(); ++it)
    {
        const TocEntryRef& entry = entries[*it];
        const std::vector<std::string> before = EntryLinesOf(entry.text);
        std::vector<std::string> lines = before;
        convert(lines);
        // A line shaped as a marker keeps its letters: in capitals a stray «оГЛ» line would become
        // an ОГЛ marker and cut the block in two, and a lowered marker would stop being one.
        for (std::size_t i = 0; i < std::min(lines.size(), before.size()); ++i)
            if (IsMarkerLine(before[i]))
                lines[i] = before[i];
        if (JoinLines(lines) != entry.text)
            result.edits.push_back(ReplaceEntryLines(entry, std::move(lines)));
    }
    return result;
}
} // namespace

LineEdit ReplaceEntryLines(const TocEntryRef& entry, std::vector<std::string> newLines)
{
    return LineEdit{entry.oglLine + 1, entry.konLine - entry.oglLine - 1, std::move(newLines)};
}

LineEdit DeleteBlock(const TocEntryRef& entry)
{
    return LineEdit{entry.oglLine, entry.konLine - entry.oglLine + 1, {}};
}

EntryCommandResult ChangeLevelEdits(const std::vector<TocEntryRef>& entries,
                                    const std::vector<std::size_t>& marked, bool deeper,
                                    const CUpperCaseWordsDict* words,
                                    const std::function<void()>& pumpMessages)
{
    EntryCommandResult result;
    const std::vector<std::size_t> positions = UsableMarks(marked, entries.size());
    if (positions.empty())
        return result;

    std::vector<TocEntryRef> changed = entries;
    try
    {
        CTocLevelChanger changer(words, pumpMessages);
        changer.ChangeEntryLevels(positions, deeper, changed);
    }
    catch (const CTocLevelChanger::MissingLevelLine& error)
    {
        result.failure = error.what();
        return result;
    }
    catch (...)
    {
        result.failure = kLevelChangeFailed;
        return result;
    }

    for (std::size_t i = changed.size(); i-- > positions.front();)
        if (changed[i].text != entries[i].text)
            result.edits.push_back(ReplaceEntryLines(entries[i], EntryLinesOf(changed[i].text)));
    return result;
}

EntryCommandResult ToCapitalsEdits(const std::vector<TocEntryRef>& entries,
                                   const std::vector<std::size_t>& marked)
{
    const CHeadingCaseConverter converter(nullptr);
    return CaseEdits(entries, marked, [&](std::vector<std::string>& lines) { converter.ToCapitals(lines); });
}

EntryCommandResult ToSentenceCaseEdits(const std::vector<TocEntryRef>& entries,
                                       const std::vector<std::size_t>& marked,
                                       const CUpperCaseWordsDict* words)
{
    const CHeadingCaseConverter converter(words);
    return CaseEdits(entries, marked,
                     [&](std::vector<std::string>& lines) { converter.ToSentenceCase(lines); });
}

EntryCommandResult DeleteBlockEdits(const std::vector<TocEntryRef>& entries,
                                    const std::vector<std::size_t>& marked)
{
    EntryCommandResult result;
    const std::vector<std::size_t> positions = UsableMarks(marked, entries.size());
    for (auto it = positions.rbegin(); it != positions.rend(); ++it)
        result.edits.push_back(DeleteBlock(entries[*it]));
    return result;
}

EntryCommandResult RunEntryCommand(EntryCommand command, const CTextLines& lines,
                                   const std::vector<TocEntryRef>& shown,
                                   const std::vector<std::size_t>& marked, const CContentFilter& filter,
                                   const CUpperCaseWordsDict* words,
                                   const std::function<void()>& pumpMessages)
{
    const std::vector<TocEntryRef> entries = BuildEntryList(lines, filter);
    const std::vector<std::size_t> kept = RevalidateMarked(shown, marked, entries);
    switch (command)
    {
    case EntryCommand::LevelUp:
        return ChangeLevelEdits(entries, kept, false, words, pumpMessages);
    case EntryCommand::LevelDown:
        return ChangeLevelEdits(entries, kept, true, words, pumpMessages);
    case EntryCommand::ToCapitals:
        return ToCapitalsEdits(entries, kept);
    case EntryCommand::ToSentenceCase:
        return ToSentenceCaseEdits(entries, kept, words);
    case EntryCommand::DeleteBlocks:
        return DeleteBlockEdits(entries, kept);
    }
    throw std::invalid_argument("unknown entry command");
}

namespace
{
// Every edit lies within the lines and wholly before the one listed ahead of it, as the commands
// list them: then each edit meets the lines as they were, and all of them can be made in one pass.
bool FromLastToFirst(const std::vector<LineEdit>& edits, std::size_t lineCount)
{
    std::size_t limit = lineCount;
    for (const LineEdit& edit : edits)
    {
        if (edit.firstLine > limit || edit.lineCount > limit - edit.firstLine)
            return false;
        limit = edit.firstLine;
    }
    return true;
}
} // namespace

void ApplyEdits(CTextLines& lines, const std::vector<LineEdit>& edits)
{
    if (FromLastToFirst(edits, lines.size()))
    {
        std::vector<CTextLines::RangeEdit> inOrder;
        inOrder.reserve(edits.size());
        for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
            inOrder.push_back({edit->firstLine, edit->lineCount,
                               std::vector<std::string_view>(edit->newLines.begin(), edit->newLines.end())});
        lines.Apply(inOrder);
        return;
    }
    // Each edit is checked against the size the ones before leave, before any is made.
    std::size_t size = lines.size();
    for (const LineEdit& edit : edits)
    {
        if (edit.firstLine > size || edit.lineCount > size - edit.firstLine)
            throw std::out_of_range("edit outside the text");
        size = size - edit.lineCount + edit.newLines.size();
    }
    for (const LineEdit& edit : edits)
        lines.Replace(edit.firstLine, edit.lineCount, edit.newLines);
}
