#include "core/toc/CollectingPasses.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/CDuplicateItemIndex.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"
#include "core/toc/ItemCleaning.h"
#include "core/toc/PassHelpers.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace
{
// An article's heading is its number and a title of a few lines; a paragraph that goes on longer is
// the article's body set without a break.
constexpr std::size_t kMaxArticleHeadingLines = 9;

// What a block walk makes of a line outside the blocks.
enum class Opening
{
    No,
    Yes,
    EndWalk,
};

// Walks the lines with index 0 to n - 2 (the last line is never examined). Outside a block,
// opens(i) says whether line i opens one. Inside, a line that holds the "!!!" marker at position 0
// closes the block and hands its opening index and lines to close, except that a block of no lines
// stays open unless closeEmpty; a "!!!" marker elsewhere in a line is passed over; every other line
// (marker lines included) belongs to the block.
template <class Opens, class Close>
void WalkBlocks(const CTextLines& lines, Opens opens, bool closeEmpty, Close close)
{
    const std::string& end = MarkerLine(Marker::End);
    bool inside = false;
    int start = 0;
    std::vector<std::string> block;
    for (int i = 0; i + 1 < static_cast<int>(lines.size()); ++i)
    {
        std::string_view line = lines[static_cast<std::size_t>(i)];
        if (!inside)
        {
            const Opening opening = opens(i);
            if (opening == Opening::EndWalk)
                return;
            if (opening == Opening::Yes)
            {
                start = i;
                inside = true;
            }
            continue;
        }
        const std::size_t endAt = line.find(end);
        if (endAt == std::string::npos)
            block.emplace_back(line);
        else if (endAt == 0 && (closeEmpty || !block.empty()))
        {
            close(start, std::move(block));
            block.clear();
            inside = false;
        }
    }
}

std::string_view At(const CTextLines& lines, int index)
{
    return lines[static_cast<std::size_t>(index)];
}
} // namespace

void CollectExistingBlocks(CTextLines& lines, std::vector<TocItem>& items)
{
    // The blocks leave the text in one pass over the list once all are found: removing each with an
    // erase would move the rest of the text once per block. A text without blocks is left as it is.
    // An item's line is its index in the text without the blocks before it.
    std::vector<CTextLines::RangeEdit> removals;
    std::size_t removed = 0;
    bool inside = false;
    std::size_t blockStart = 0;
    std::vector<std::string> block;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (!inside)
        {
            if (BeginsWithMarker(lines[i], Marker::Ogl))
            {
                inside = true;
                blockStart = i;
                block.clear();
            }
            continue;
        }
        if (BeginsWithMarker(lines[i], Marker::Kon))
        {
            inside = false;
            // An empty block (ОГЛ directly followed by КОН) stays in the text.
            if (!block.empty())
            {
                const int kind = StandardKindOfBlock(block);
                items.push_back(TocItem{kind, static_cast<std::int32_t>(blockStart - removed), -1, std::move(block)});
                block.clear();
                removals.push_back({blockStart, i + 1 - blockStart, {}});
                removed += i + 1 - blockStart;
            }
            continue;
        }
        block.emplace_back(lines[i]);
    }
    // A block left open at the end of the text stays where it is.
    lines.Apply(removals);
}

void AddDocumentKindItem(const CTextLines& lines, const CDocKindsList& kinds,
                         std::vector<TocItem>& items)
{
    const int n = static_cast<int>(lines.size());
    int title = 0;
    while (title < n && !BeginsWithMarker(At(lines, title), Marker::Zag))
        ++title;
    if (title == n)
        return;
    const std::unordered_set<std::string> known(kinds.Kinds().begin(), kinds.Kinds().end());
    for (int i = title + 1; i < n && !BeginsWithMarker(At(lines, i), Marker::End); ++i)
    {
        std::string trimmed = Trim(At(lines, i));
        if (!known.count(trimmed))
            continue;
        // An empty kind still ends the search: the first matching line decides.
        if (!trimmed.empty())
            items.push_back(TocItem{kKindDocument, FindDocumentStart(lines), -1, {std::move(trimmed)}});
        return;
    }
}

int FindDocumentStart(const CTextLines& lines)
{
    bool blankSeen = false;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i)
    {
        const bool blank = IsBlankLine(At(lines, i));
        if (blankSeen)
        {
            if (!blank)
                return i;
        }
        else if (blank)
            blankSeen = true;
        else if (BeginsWithMarker(At(lines, i), Marker::Zag))
            return i;
    }
    return 0;
}

bool CollectAppendices(const CTextLines& lines, std::vector<TocItem>& items)
{
    static const std::string appendix = SentenceCase(HeadingWords().appendix);
    static const std::string approved = SentenceCase(HeadingWords().approved);
    static const std::string table = SentenceCase(HeadingWords().table);
    const int n = static_cast<int>(lines.size());

    // The blank line closest above each line (line 0 is never taken as a paragraph's end).
    std::vector<int> blankAbove(static_cast<std::size_t>(n), -1);
    for (int i = 1; i < n; ++i)
        blankAbove[static_cast<std::size_t>(i)] =
            IsBlankLine(At(lines, i)) ? i : blankAbove[static_cast<std::size_t>(i - 1)];

    enum class State
    {
        Outside,
        Caption,
        BetweenBlocks,
        Title
    } state = State::Outside;
    std::vector<std::string> q;
    int st = -1;
    int captionBlock = -1; // the ПРВ line of the caption block being read
    bool collected = false;
    for (int i = 0; i + 1 < n;)
    {
        std::string_view line = At(lines, i);
        switch (state)
        {
        case State::Outside:
            if (BeginsWithMarker(line, Marker::Prv))
            {
                captionBlock = i;
                st = -1;
                state = State::Caption;
            }
            break;
        case State::Caption:
        {
            const bool namesAppendix = Contains(line, appendix) || Contains(line, table);
            if (namesAppendix || Contains(line, approved))
            {
                const int blank = blankAbove[static_cast<std::size_t>(i)];
                st = blank >= 1 ? blank + 1 : 1;
                // With no blank line before the caption block the paragraph would reach up into the
                // text above it; the block then starts at the caption block itself.
                if (st < captionBlock &&
                    std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(st),
                                lines.begin() + static_cast<std::ptrdiff_t>(captionBlock),
                                [](std::string_view above) { return !IsMarkerLine(above); }))
                    st = captionBlock;
                if (namesAppendix)
                    q.push_back(std::string(line) + ".");
            }
            else if (BeginsWithMarker(line, Marker::End))
            {
                if (st == -1)
                {
                    q.clear();
                    state = State::Outside;
                }
                else
                    state = State::BetweenBlocks;
            }
            break;
        }
        case State::BetweenBlocks:
            if (BeginsWithMarker(line, Marker::Zag))
                state = State::Title;
            else if (!IsBlankLine(line))
            {
                q.clear();
                st = -1;
                state = State::Outside;
                continue; // the same line is examined again outside
            }
            break;
        case State::Title:
            if (BeginsWithMarker(line, Marker::End))
            {
                if (!q.empty())
                    FixAppendixNumber(q.front());
                items.push_back(TocItem{kKindAppendix, st, 0, std::move(q)});
                collected = true;
                q.clear();
                st = -1;
                state = State::Outside;
            }
            else
                q.push_back(std::string(line));
            break;
        }
        ++i;
    }
    return collected;
}

void CollectTitleBlocks(const CTextLines& lines, std::vector<TocItem>& items)
{
    CDuplicateItemIndex duplicates(items);
    bool firstBlock = true;
    WalkBlocks(
        lines,
        [&lines](int i) { return BeginsWithMarker(At(lines, i), Marker::Zag) ? Opening::Yes : Opening::No; },
        false,
        [&](int start, std::vector<std::string>&& block)
        {
            TocItem item{StandardKindOf(FirstContentLine(block)), start, -1, std::move(block)};
            // The first title block is the title of the document itself.
            if (firstBlock)
                firstBlock = false;
            else if (!duplicates.IsDuplicateItem(item))
                items.push_back(std::move(item));
        });
}

void CollectCentredBlocks(const CTextLines& lines, std::vector<TocItem>& items)
{
    const int n = static_cast<int>(lines.size());
    // The first line at or after each index that is not a marker line (n when there is none).
    std::vector<int> contentFrom(static_cast<std::size_t>(n) + 1, n);
    for (int i = n - 1; i >= 0; --i)
        contentFrom[static_cast<std::size_t>(i)] =
            IsMarkerLine(At(lines, i)) ? contentFrom[static_cast<std::size_t>(i) + 1] : i;

    CDuplicateItemIndex duplicates(items);
    auto opens = [&](int i)
    {
        if (!BeginsWithMarker(At(lines, i), Marker::Cnt))
            return Opening::No;
        const int k = contentFrom[static_cast<std::size_t>(i) + 1];
        if (k == n)
            return Opening::EndWalk;
        return IsNumberedLine(At(lines, k)) ? Opening::Yes : Opening::No;
    };
    WalkBlocks(lines, opens, true,
               [&](int start, std::vector<std::string>&& block)
               {
                   TocItem item{StandardKindOfBlock(block), start, -1, std::move(block)};
                   if (!duplicates.IsDuplicateItem(item))
                       items.push_back(std::move(item));
               });
}

void CollectArticles(const CTextLines& lines, std::vector<TocItem>& items)
{
    if (!IsActDocument(lines))
        return;
    static const std::string amended = Utf8ToCp1251("(в ред.");
    static const std::string gMarker = "\x04\x04" + Utf8ToCp1251("Г");
    const int n = static_cast<int>(lines.size());
    bool boundary = false;
    for (int i = 1; i < n;)
    {
        std::string_view line = At(lines, i);
        const bool isBoundary = IsBlankLine(line) || IsMarkerLine(line);
        if (!boundary || isBoundary || !IsArticleHeading(line))
        {
            boundary = isBoundary;
            ++i;
            continue;
        }
        // The block goes above the marker lines that open the heading's own block, but never above the
        // "!!!" that closes a heading block: that would set it inside the heading block.
        int st = i;
        while (st > 0 && IsMarkerLine(At(lines, st - 1)) && !BeginsWithMarker(At(lines, st - 1), Marker::End))
            --st;
        std::vector<std::string> q;
        int stop = i;
        for (; stop < n; ++stop)
        {
            std::string_view body = At(lines, stop);
            if (IsBlankLine(body) || BeginsWith(body, amended) || BeginsWith(body, gMarker))
                break;
            if (!IsMarkerLine(body))
                q.emplace_back(body);
        }
        const std::string last = q.empty() ? std::string() : TrimRight(q.back());
        if (!last.empty() && (last.back() == '.' || last.back() == ':' || last.back() == '-'))
        {
            // The heading runs on into the article's body: keep «Статья N» only.
            const std::size_t dot = q.front().find('.');
            std::string heading =
                dot == std::string::npos ? std::string() : NormaliseSpaces(q.front().substr(0, dot));
            q.assign(1, std::move(heading));
        }
        if (q.size() <= kMaxArticleHeadingLines)
            items.push_back(TocItem{kKindArticle, st, -1, std::move(q)});
        boundary = true;
        i = stop + 1;
    }
}

void SplitMultiHeadingItems(const CTextLines& lines, std::vector<TocItem>& items)
{
    // Splitting one item appends pieces that hold one heading each, so taking the items in order and
    // moving the pieces of every split item to the end gives the same list as searching afresh.
    std::vector<TocItem> kept;
    std::vector<TocItem> pieces;
    // Where each distinct text line stands, built when the first piece needs its line.
    std::vector<std::pair<std::string_view, int>> lineIndex;
    auto findLineFrom = [&](int start, const std::string& s)
    {
        if (lineIndex.empty())
        {
            lineIndex.reserve(lines.size());
            for (int i = 0; i < static_cast<int>(lines.size()); ++i)
                lineIndex.emplace_back(std::string_view(At(lines, i)), i);
            std::sort(lineIndex.begin(), lineIndex.end());
        }
        // The first text line at or after start equal to s; start when there is none.
        const auto found =
            std::lower_bound(lineIndex.begin(), lineIndex.end(), std::make_pair(std::string_view(s), start));
        return found != lineIndex.end() && found->first == s ? found->second : start;
    };
    for (TocItem& item : items)
    {
        if (CountHeadings(item.lines) < 2)
        {
            kept.push_back(std::move(item));
            continue;
        }
        int state = 0;
        std::vector<std::string> group;
        auto closeGroup = [&](std::int32_t line)
        {
            const int kind = StandardKindOf(group.front());
            pieces.push_back(TocItem{kind, line, -1, std::move(group)});
            group.clear();
        };
        for (const std::string& line : item.lines)
        {
            const bool heading = IsSectionHeading(line);
            if (state == 0)
            {
                if (heading)
                {
                    group.push_back(line);
                    state = 1;
                }
            }
            else if (!heading)
                group.push_back(line);
            else
            {
                closeGroup(state == 1 ? item.line : findLineFrom(item.line, group.front()));
                group.push_back(line);
                state = 2;
            }
        }
        if (!group.empty())
            closeGroup(findLineFrom(item.line, group.front()));
    }
    items = std::move(kept);
    for (TocItem& piece : pieces)
        items.push_back(std::move(piece));
    for (TocItem& item : items)
        DropBlankLines(item);
}

int CountHeadings(const std::vector<std::string>& lines)
{
    std::vector<const std::string*> content;
    for (const std::string& line : lines)
        if (!IsMarkerLine(line))
            content.push_back(&line);
    if (content.size() < 2)
        return 1;
    return 1 +
           static_cast<int>(std::count_if(content.begin() + 1, content.end(),
                                          [](const std::string* line) { return IsSectionHeading(*line); }));
}
