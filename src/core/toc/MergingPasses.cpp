#include "core/toc/MergingPasses.h"

#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"
#include "core/toc/PassHelpers.h"

#include <algorithm>
#include <cstdint>

namespace
{
// A repeat of an appendix or table heading without its word stands in its caption or title, a few
// blocks below it; the same words farther down belong to another heading.
constexpr std::int64_t kRepeatReach = 30;
// The title block that repeats the document's kind stands right under the kind.
constexpr std::int64_t kKindTitleReach = 20;
// The end of an appendix's caption block is looked for this many lines above its title.
constexpr int kCaptionEndReach = 4;
} // namespace

namespace
{
// The word a and the word b are the same in capitals.
bool EqualInCapitals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && ToUpperChar(a[i]) != ToUpperChar(b[i]))
            return false;
    return true;
}

// Flags, for each item not flagged yet, at most one later item within reach that repeats it without
// its word (e.g. «Приложение N 2 Форма» repeated as «Форма»). words: the words of each item's first
// line.
void FlagNearDuplicates(const std::vector<TocItem>& items, const std::vector<std::vector<std::string_view>>& words,
                        const std::string& word, std::vector<char>& erased)
{
    const std::size_t count = items.size();
    // In line order the items within reach of item i follow it directly, so the search can stop at
    // the first one out of reach.
    const bool sorted = std::is_sorted(items.begin(), items.end(),
                                       [](const TocItem& a, const TocItem& b) { return a.line < b.line; });
    const std::string wordBlank = word + " ";
    for (std::size_t i = 0; i < count; ++i)
    {
        if (erased[i])
            continue;
        const std::string& t = FirstLine(items[i]);
        // Only an entry that holds the word is looked at for the blank and the number sign after it.
        const bool hasWord = Contains(t, word);
        const bool hasWordBlank = hasWord && Contains(t, wordBlank);
        const bool hasNumberSign = hasWord && Contains(t, " N ");
        const std::vector<std::string_view>& a = words[i];
        for (std::size_t j = i + 1; j < count; ++j)
        {
            if (erased[j])
                continue;
            const std::int64_t distance = std::int64_t{items[j].line} - items[i].line;
            if (sorted && distance > kRepeatReach)
                break;
            if (distance > kRepeatReach || distance < -kRepeatReach)
                continue;
            const std::vector<std::string_view>& b = words[j];
            const bool repeats =
                (a.size() == b.size() + 1 && hasWord && TailsEqual(a, 1, b, 0)) ||
                (a.size() == b.size() + 2 && hasWordBlank && TailsEqual(a, 2, b, 0)) ||
                (a.size() == b.size() + 1 && hasNumberSign && TailsEqual(a, 2, b, 1)) ||
                (a.size() == b.size() + 3 && hasNumberSign && TailsEqual(a, 3, b, 0)) || a == b;
            if (repeats)
            {
                erased[j] = 1;
                break;
            }
        }
    }
}
} // namespace

void MergeRepeatedItems(std::vector<TocItem>& items)
{
    static const std::string appendix = SentenceCase(HeadingWords().appendix);
    static const std::string table = SentenceCase(HeadingWords().table);
    // The words are read once for all three merges; the items they point into are erased only at the
    // end, when no merge reads them any more.
    std::vector<std::vector<std::string_view>> words;
    words.reserve(items.size());
    for (const TocItem& item : items)
        words.push_back(WordViews(FirstLine(item)));
    std::vector<char> erased(items.size(), 0);
    FlagNearDuplicates(items, words, appendix, erased);
    FlagNearDuplicates(items, words, table, erased);

    // The same heading found twice in a row (by different passes, or in capitals once) is kept once.
    std::size_t current = 0;
    while (current < items.size() && erased[current])
        ++current;
    for (std::size_t next = current + 1; next < items.size(); ++next)
    {
        if (erased[next])
            continue;
        const std::vector<std::string_view>& a = words[next];
        const std::vector<std::string_view>& b = words[current];
        if (std::equal(a.begin(), a.end(), b.begin(), b.end(), EqualInCapitals))
            erased[next] = 1;
        else
            current = next;
    }
    EraseFlagged(items, erased);
}

void DropEmptyItems(std::vector<TocItem>& items)
{
    std::erase_if(items, [](const TocItem& item) { return item.lines.empty(); });
}

void AdjustAppendixLines(std::vector<TocItem>& items, const CTextLines& lines)
{
    if (std::none_of(items.begin(), items.end(),
                     [](const TocItem& item) { return item.kind == kKindAppendix; }))
        return;
    // Every look at the text below is answered from these tables, built in one sweep each, so the
    // cost stays linear however many appendices a document has.
    const int n = static_cast<int>(lines.size());
    const auto size = static_cast<std::size_t>(n) + 1;
    std::vector<int> nextCaption(size, n); // first ПРВ marker at or after each index
    std::vector<int> nextWide(size, n);    // first full-width text line (or longer line) at or after
    for (int i = n - 1; i >= 0; --i)
    {
        const auto u = static_cast<std::size_t>(i);
        std::string_view line = lines[static_cast<std::size_t>(i)];
        nextCaption[u] = IsMarker(line, Marker::Prv) ? i : nextCaption[u + 1];
        nextWide[u] = IsWideTextLine(line) || line.size() > kMarkerLineLength ? i : nextWide[u + 1];
    }
    std::vector<int> blankAbove(size, -1);      // last blank line at or before each index
    std::vector<int> otherStartAbove(size, -1); // last block start other than ПРВ at or before
    for (int i = 0; i < n; ++i)
    {
        const auto u = static_cast<std::size_t>(i);
        std::string_view line = lines[static_cast<std::size_t>(i)];
        blankAbove[u] = IsBlankLine(line) ? i : (i > 0 ? blankAbove[u - 1] : -1);
        otherStartAbove[u] =
            IsBlockStart(line) && !IsMarker(line, Marker::Prv) ? i : (i > 0 ? otherStartAbove[u - 1] : -1);
    }

    for (TocItem& item : items)
    {
        if (item.kind != kKindAppendix)
            continue;
        const int l = std::clamp(item.line, 0, n);
        // A caption block still ahead, before the body text starts: the entry stands where it belongs.
        if (nextCaption[static_cast<std::size_t>(l)] < nextWide[static_cast<std::size_t>(l)])
            continue;
        for (int j = l - 1; j >= l - kCaptionEndReach && j > 0; --j)
        {
            std::string_view line = lines[static_cast<std::size_t>(j)];
            if (IsWideTextLine(line) || IsBlockStart(line))
                break;
            if (!IsMarker(line, Marker::End))
                continue;
            // Walking up from the end of the caption block: every ПРВ marker met before another block
            // start moves the entry, and the topmost one decides where it stands.
            const int stop = otherStartAbove[static_cast<std::size_t>(j)];
            const int caption = nextCaption[static_cast<std::size_t>(stop + 1)];
            if (caption < j)
            {
                const int blank = blankAbove[static_cast<std::size_t>(j)];
                item.line = blank > caption ? blank + 1 : caption;
            }
            break;
        }
    }
}

void DropKindTitleDuplicate(std::vector<TocItem>& items, const CDocKindsList& kinds)
{
    if (items.size() < 2)
        return;
    const TocItem& first = items[0];
    const TocItem& second = items[1];
    if ((first.kind != kKindDocument && first.kind != kKindAppendix) ||
        std::int64_t{second.line} - first.line > kKindTitleReach)
        return;
    const std::string& a = FirstLine(first);
    const std::string& b = FirstLine(second);
    const bool secondIsShorter = b.size() <= a.size();
    const std::string& s = secondIsShorter ? b : a;
    const std::string& t = secondIsShorter ? a : b;
    const std::vector<std::string>& list = kinds.Kinds();
    if (BeginsWith(t, s) && std::find(list.begin(), list.end(), s) != list.end())
        items.erase(items.begin() + (secondIsShorter ? 0 : 1));
}
