#include "core/remarks/HeadingInsertion.h"

#include "core/base/TextRules.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/document/Markers.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/CPlainTextView.h"
#include "core/toc/CTocLevelChanger.h"
#include "core/toc/ExtendedPasses.h"
#include "core/toc/HeadingEntry.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingTests.h"

#include <algorithm>

namespace
{
std::string_view WithoutCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool EndsSentence(std::string_view line)
{
    const std::string trimmed = TrimRight(line);
    return !trimmed.empty() && (trimmed.back() == '.' || trimmed.back() == ':' || trimmed.back() == ';');
}

EntryCommandResult Failure(const char* text)
{
    EntryCommandResult result;
    result.failure = text;
    return result;
}
} // namespace

std::size_t HeadingParagraphEnd(const CTextLines& lines, std::size_t first)
{
    // A blank line begins no paragraph: it is the whole of what the caret stands on.
    if (first >= lines.size() || IsBlankLine(WithoutCr(lines[first])))
        return first;
    std::size_t last = first;
    while (last + 1 < lines.size())
    {
        const std::string_view next = WithoutCr(lines[last + 1]);
        if (IsBlankLine(next) || IsMarkerLine(next))
            break;
        // A line indented further after one that ends its sentence begins the next paragraph.
        if (EndsSentence(WithoutCr(lines[last])) && !next.empty() && IsWhiteSpace(static_cast<unsigned char>(next[0])))
            break;
        ++last;
    }
    return last;
}

EntryCommandResult AddHeadingEdits(const CTextLines& lines, std::size_t first, std::size_t last,
                                   const CUpperCaseWordsDict& words, const CDocKindsList& kinds,
                                   RecognitionOptions options)
{
    if (first > last || last >= lines.size())
        return Failure("Выделите строки заголовка.");
    // A selection taken with the blank lines around the heading means the heading: its block stands in
    // front of its first line of text.
    while (first < last && IsBlankLine(WithoutCr(lines[first])))
        ++first;
    while (last > first && IsBlankLine(WithoutCr(lines[last])))
        --last;
    std::vector<std::string> headingLines;
    for (std::size_t i = first; i <= last; ++i)
    {
        const std::string_view line = WithoutCr(lines[i]);
        if (IsMarker(line, Marker::Ogl) || IsMarker(line, Marker::Kon))
            return Failure("Выделенные строки входят в блок оглавления.");
        if (!IsMarkerLine(line))
            headingLines.emplace_back(Trim(line));
    }
    if (std::all_of(headingLines.begin(), headingLines.end(), [](const std::string& l) { return IsBlankLine(l); }))
        return Failure("В выделенных строках нет текста заголовка.");

    const std::vector<TocEntryRef> blocks = BuildEntryList(lines, CContentFilter());
    for (const TocEntryRef& block : blocks)
        if (block.oglLine <= first && first <= block.konLine)
            return Failure("Выделенные строки входят в блок оглавления.");
    // The recognition puts the block of the first line of a centred or caption block in front of its marker.
    std::size_t at = first;
    if (at > 0 && IsBlockStart(WithoutCr(lines[at - 1])))
        --at;
    if (at > 0 && IsMarker(WithoutCr(lines[at - 1]), Marker::Kon))
        return Failure("Перед заголовком уже стоит блок оглавления.");

    std::vector<TocItem> entries;
    std::size_t position = 0;
    for (const TocEntryRef& block : blocks)
    {
        std::vector<std::string> entryLines = CTocLevelChanger::SplitLines(block.text);
        if (!entryLines.empty())
            entryLines.erase(entryLines.begin());
        const int kind = RecognisedKindOf(entryLines.empty() ? std::string() : entryLines.front(), options.extended);
        entries.push_back(TocItem{kind, static_cast<int>(block.oglLine), EntryLevel(block.text) - 1,
                                  std::move(entryLines)});
        if (block.oglLine < at)
            position = entries.size();
    }

    const std::string firstLine = FirstContentLine(headingLines);
    TocItem heading{RecognisedKindOf(firstLine, options.extended), static_cast<int>(at), -1, std::move(headingLines)};
    const HeadingWord word = ReadHeadingStart(firstLine).word;
    if (std::find(kinds.Kinds().begin(), kinds.Kinds().end(), firstLine) != kinds.Kinds().end())
    {
        // The document's kind stands alone, whatever title follows it.
        heading.kind = kKindDocument;
        heading.lines = {firstLine};
    }
    else if (options.extended && (word == HeadingWord::Appendix || word == HeadingWord::Approval))
    {
        // An appendix's caption takes the title that follows it, as the recognition reads them.
        const CTextLines text = RemoveTocBlocks(lines);
        std::size_t inText = first;
        for (const TocEntryRef& block : blocks)
            if (block.konLine < first)
                inText -= block.konLine - block.oglLine + 1;
        const CPlainTextView view(text, {});
        AppendixEntry entry = ReadAppendixEntry(view, static_cast<int>(inText));
        if (!entry.lines.empty())
        {
            heading.kind = kKindAppendix;
            heading.lines = std::move(entry.lines);
        }
    }
    const TocItem laidOut = LayOutHeadingAmong(std::move(heading), std::move(entries), position, &words);

    std::vector<std::string> block;
    block.push_back(MarkerLine(Marker::Ogl));
    block.insert(block.end(), laidOut.lines.begin(), laidOut.lines.end());
    block.push_back(MarkerLine(Marker::Kon));
    EntryCommandResult result;
    result.edits.push_back(LineEdit{at, 0, std::move(block)});
    return result;
}
