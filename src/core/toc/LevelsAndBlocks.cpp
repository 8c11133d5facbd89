#include "core/toc/LevelsAndBlocks.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/CHeadingCaseConverter.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/PassHelpers.h"

#include <algorithm>

namespace
{
// After a front matter, a longer gap (or one with body text) behind an indented heading ends what
// the front matter lists: the headings below it move down one level, not two.
constexpr int kMaxFrontMatterGap = 5;
// Tenths of an entry's characters that are capitals (or no letters) in an entry typed in capitals.
constexpr std::size_t kCapitalTenths = 7;
} // namespace

void AssignLevels(std::vector<TocItem>& items, const std::function<int(const TocItem&)>& rankOf)
{
    if (items.size() < 2)
        return;
    auto rank = [&rankOf](const TocItem& item) { return rankOf ? rankOf(item) : item.kind; };
    int memory[kMaxHeadingRank + 1];
    std::fill(std::begin(memory), std::end(memory), -1);
    auto remembered = [&memory](int r) -> int& { return memory[std::clamp(r, 0, int{kMaxHeadingRank})]; };

    TocItem& first = items.front();
    first.level = 0;
    // A kind met again later returns to the level it had, the first item's kind included.
    int prev = rank(first);
    remembered(prev) = 0;
    int n = 0;
    for (std::size_t i = 1; i < items.size(); ++i)
    {
        TocItem& item = items[i];
        const int k = rank(item);
        if (item.level >= 0)
        {
            n = item.level;
            prev = k;
            continue;
        }
        if (prev > k)
            --n;
        if (prev < k)
            ++n;
        if (n < 0)
            n = 0;
        if (item.kind == kKindAppendix)
            n = 0;
        if (prev < k)
            remembered(k) = n;
        if (prev > k)
        {
            for (int j = k + 1; j <= kMaxHeadingRank; ++j)
                remembered(j) = -1;
            if (remembered(k) != -1)
                n = remembered(k);
            else
                remembered(k) = n;
        }
        item.level = n;
        prev = k;
    }
}

void ShiftAfterFrontMatter(std::vector<TocItem>& items, const CTextLines& lines)
{
    static const std::string frontMatter[] = {Utf8ToCp1251("Введение"), Utf8ToCp1251("Содержание"),
                                              Utf8ToCp1251("Паспорт"), Utf8ToCp1251("Оглавление")};
    const int n = static_cast<int>(lines.size());
    auto hasFullWidthLine = [&](int from, int to)
    {
        for (int l = std::max(from, 0); l < std::min(to, n); ++l)
            if (IsWideTextLine(lines[static_cast<std::size_t>(l)]))
                return true;
        return false;
    };
    const std::size_t count = items.size();
    for (std::size_t i = 0; i + 1 < count;)
    {
        const std::string next = TrimLeft(FirstLine(items[i + 1]));
        const bool opensFrontMatter =
            (items[i].kind == kKindDocument || items[i].kind == kKindAppendix) &&
            std::any_of(std::begin(frontMatter), std::end(frontMatter),
                        [&](const std::string& word) { return BeginsWith(next, word); });
        if (!opensFrontMatter)
        {
            ++i;
            continue;
        }
        int add = 2;
        std::size_t j = i + 1;
        for (; j < count && items[j].kind != kKindAppendix; ++j)
        {
            TocItem& item = items[j];
            if (item.kind != kKindIndented)
                item.level += add;
            else if (j + 1 < count && items[j + 1].kind != kKindIndented)
            {
                const int from = item.line;
                const int to = items[j + 1].line;
                // Only a short gap is searched for body text; a longer one holds it anyway.
                if (to - from > kMaxFrontMatterGap || hasFullWidthLine(from, to))
                    add = 1;
            }
        }
        i = j + 1;
    }
}

void DropLoneRoot(std::vector<TocItem>& items, bool hasSecondRoot)
{
    if (!hasSecondRoot && std::any_of(items.begin() + (items.empty() ? 0 : 1), items.end(),
                                      [](const TocItem& item) { return item.level == 0; }))
        hasSecondRoot = true;
    if (hasSecondRoot || items.empty() ||
        (items.front().kind != kKindDocument && items.front().kind != kKindAppendix))
        return;
    items.erase(items.begin());
    for (TocItem& item : items)
    {
        if (item.level == 0)
            break;
        --item.level;
    }
}

void FixEntryCase(std::vector<TocItem>& items, const CUpperCaseWordsDict* words)
{
    const CHeadingCaseConverter converter(words);
    for (TocItem& item : items)
    {
        std::vector<std::string>& lines = item.lines;
        if (item.kind > kKindSection && item.level > 0)
        {
            const std::string text = Trim(JoinLines(lines));
            // Upper-cased whole and compared byte by byte: a call per byte cost more.
            const std::string upper = ToUpper(text);
            std::size_t unchanged = 0;
            for (std::size_t i = 0; i < text.size(); ++i)
                unchanged += upper[i] == text[i] ? 1 : 0;
            // Typed in capitals: more than seven tenths unchanged by upper-casing (digits and signs
            // count as capitals), compared in integers so that no length falls on the wrong side
            // through rounding.
            if (unchanged * 10 > text.size() * kCapitalTenths)
                converter.ToSentenceCase(lines);
        }
        else if (item.kind <= kKindChapter && lines.size() >= 2 && Contains(lines[1], "."))
        {
            const std::size_t dot = lines[1].find('.');
            lines[1] = lines[1].substr(0, dot) + ToUpper(std::string_view(lines[1]).substr(dot));
            for (std::size_t i = 2; i < lines.size(); ++i)
                lines[i] = ToUpper(lines[i]);
        }
    }
}

void InsertBlocks(CTextLines& lines, const std::vector<TocItem>& items)
{
    // Items are in line order here, so one pass over the text puts every block in front of its
    // heading (blocks of equal lines in list order), as inserting from the last item would, without
    // moving the rest of the text once per block. A line at the end of the text appends the block.
    // The marker lines are the same for every block and are held once.
    const std::size_t size = lines.size();
    std::size_t added = 0;
    for (const TocItem& item : items)
        added += item.lines.size() + 2;
    CTextLines::Rebuild rebuild(lines, size + added);
    std::size_t next = 0;
    for (const TocItem& item : items)
    {
        const auto at = static_cast<std::size_t>(std::clamp(item.line, 0, static_cast<int>(size)));
        rebuild.Keep(next, at - next);
        next = at;
        rebuild.Add(MarkerLine(Marker::Ogl));
        for (const std::string& line : item.lines)
            rebuild.Add(line);
        rebuild.Add(MarkerLine(Marker::Kon));
    }
    rebuild.Keep(next, size - next);
    rebuild.Finish();
}
