#include "core/toc/CTocRecognizer.h"

#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/CHeadingCaseConverter.h"
#include "core/toc/HeadingTests.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>

namespace
{
bool Contains(std::string_view line, std::string_view s)
{
    return line.find(s) != std::string_view::npos;
}

bool IsWideTextLine(const std::string& line)
{
    return line.size() == kMarkerLineLength && static_cast<unsigned char>(line[0]) != 0x04;
}

// The texts of SplitWords(line), as views into line: the merges compare the words of every item and
// need no copies of them.
std::vector<std::string_view> WordViews(std::string_view line)
{
    std::vector<std::string_view> words;
    words.reserve(static_cast<std::size_t>(std::count(line.begin(), line.end(), ' ')) + 1);
    std::size_t pos = line.find_first_not_of(' ');
    if (pos == std::string_view::npos)
        pos = line.size();
    for (;;)
    {
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        words.push_back(line.substr(pos, end - pos));
        if (end == line.size())
            break;
        pos = std::min(line.find_first_not_of(' ', end), line.size());
    }
    return words;
}

// Compares a[from...] with b[bFrom...] when both tails have the same length.
bool TailsEqual(const std::vector<std::string_view>& a, std::size_t aFrom, const std::vector<std::string_view>& b,
                std::size_t bFrom)
{
    if (aFrom > a.size() || bFrom > b.size() || a.size() - aFrom != b.size() - bFrom)
        return false;
    return std::equal(a.begin() + static_cast<std::ptrdiff_t>(aFrom), a.end(),
                      b.begin() + static_cast<std::ptrdiff_t>(bFrom));
}

const std::string& FirstLine(const TocItem& item)
{
    static const std::string empty;
    return item.lines.empty() ? empty : item.lines.front();
}

// The text of an item as the duplicate test compares it.
std::string CompareText(const TocItem& item)
{
    std::size_t size = 0;
    for (const std::string& line : item.lines)
        size += line.size() + 1;
    std::string joined;
    joined.reserve(size);
    for (const std::string& line : item.lines)
    {
        joined += ' ';
        joined += line;
    }
    return NormaliseForCompare(joined);
}

// Erasing marked items in one sweep keeps the merges linear in the number of items.
void CompactItems(std::vector<TocItem>& items, const std::vector<char>& erased)
{
    std::size_t out = 0;
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        if (erased[i])
            continue;
        if (out != i)
            items[out] = std::move(items[i]);
        ++out;
    }
    items.resize(out);
}
} // namespace

CTocRecognizer::CTocRecognizer(const CUpperCaseWordsDict* words, const CDocKindsList& kinds,
                               IReporter& reporter, std::function<void()> pumpMessages)
    : CTocItemList(words), m_kinds(kinds), m_reporter(reporter), m_pumpMessages(std::move(pumpMessages))
{
}

void CTocRecognizer::PumpMessages()
{
    if (m_pumpMessages)
        m_pumpMessages();
}

void CTocRecognizer::Build(std::vector<std::string>& lines)
{
    m_refused = false;
    m_writtenBlocks = 0;
    PumpMessages();
    if (lines.empty())
        return;
    m_lines = &lines;
    m_items.clear();
    m_hasSecondRoot = false;
    m_lineIndex.clear();
    m_lineIndexBuilt = false;

    if (HasTargetFormatToc())
    {
        m_refused = true;
        m_reporter.Report(
            "Документ содержит оглавление формата Лантрис 9.0!\nКонвертация документа невозможна.",
            MessageIcon::Error);
        return;
    }

    auto onEveryItem = [this](void (*operation)(TocItem&))
    {
        for (TocItem& item : m_items)
            operation(item);
    };
    const std::function<void()> steps[] = {
        [&] { CollectExistingBlocks(); },
        [&] { onEveryItem(&StripArticleRefs); },
        [&] { onEveryItem(&JoinHyphenatedLines); },
        [&] { AddDocumentKindItem(); },
        [&] { CollectAppendices(); },
        [&] { CollectTitleBlocks(); },
        [&] { CollectCentredBlocks(); },
        [&] { CollectArticles(); },
        [&] { SplitMultiHeadingItems(); },
        [&] { onEveryItem(&RemoveMarkerLines); },
        [&] { onEveryItem(&BlankControlChars); },
        [&] { SortByLine(); },
        [&] { onEveryItem(&DotSectionHeadings); },
        [&] { MergeItems(); },
        [&] { DropEmptyItems(); },
        [&] { AdjustAppendixLines(); },
        [&] { onEveryItem(&TrimAppendixPeriod); },
        [&] { DropKindTitleDuplicate(); },
        [&] { onEveryItem(&SpaceNumericRanges); },
        [&] { WriteTocBlocks(); },
    };
    for (const auto& step : steps)
    {
        step();
        PumpMessages();
    }
}

bool CTocRecognizer::HasTargetFormatToc() const
{
    bool inBlock = false;
    for (const std::string& line : *m_lines)
    {
        if (!inBlock)
            inBlock = BeginsWithMarker(line, Marker::Ogl);
        else if (BeginsWithMarker(line, Marker::Kon))
            continue;
        else if (!line.empty() && line.front() == '*')
            return true;
        else
            inBlock = false;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Collecting items from the text

void CTocRecognizer::CollectExistingBlocks()
{
    // The text is compacted in one sweep: removing each block with an erase would cost a move of the
    // rest of the text per block, and a second list would double the memory of a large text. The
    // kept lines never overtake the line being read, so they are moved down in place; a text without
    // blocks is left as it is. An item's line is its index in the text without the blocks before it.
    std::vector<std::string>& lines = *m_lines;
    std::size_t kept = 0;
    auto keep = [&lines, &kept](std::size_t i)
    {
        if (kept != i)
            lines[kept] = std::move(lines[i]);
        ++kept;
    };
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
            else
                keep(i);
            continue;
        }
        if (BeginsWithMarker(lines[i], Marker::Kon))
        {
            inside = false;
            if (!block.empty())
            {
                const int kind = KindOfLines(block);
                Append(TocItem{kind, static_cast<std::int32_t>(kept), -1, std::move(block)});
                block.clear();
            }
            else
            {
                // An empty block (ОГЛ directly followed by КОН) stays in the text.
                keep(blockStart);
                keep(i);
            }
            continue;
        }
        block.push_back(lines[i]);
    }
    // A block left open at the end of the text stays where it is.
    if (inside)
        for (std::size_t i = blockStart; i < lines.size(); ++i)
            keep(i);
    lines.resize(kept);
}

void CTocRecognizer::AddDocumentKindItem()
{
    const int n = LineCount();
    int title = 0;
    while (title < n && !BeginsWithMarker(Line(title), Marker::Zag))
        ++title;
    if (title == n)
        return;
    const std::unordered_set<std::string> kinds(m_kinds.m_kinds.begin(), m_kinds.m_kinds.end());
    for (int i = title + 1; i < n && !BeginsWithMarker(Line(i), Marker::End); ++i)
    {
        std::string trimmed = Trim(Line(i));
        if (!kinds.count(trimmed))
            continue;
        // An empty kind still ends the search: the first matching line decides.
        if (!trimmed.empty())
            Append(TocItem{kKindDocument, FindDocumentStart(), -1, {std::move(trimmed)}});
        return;
    }
}

int CTocRecognizer::FindDocumentStart() const
{
    bool blankSeen = false;
    for (int i = 0; i < LineCount(); ++i)
    {
        const bool blank = IsBlankLine(Line(i));
        if (blankSeen)
        {
            if (!blank)
                return i;
        }
        else if (blank)
            blankSeen = true;
        else if (BeginsWithMarker(Line(i), Marker::Zag))
            return i;
    }
    return 0;
}

void CTocRecognizer::CollectAppendices()
{
    static const std::string appendix = Utf8ToCp1251("Приложение");
    static const std::string approved = Utf8ToCp1251("Утвержден");
    static const std::string table = Utf8ToCp1251("Таблица");
    const int n = LineCount();

    // The blank line closest above each line (line 0 is never taken as a paragraph's end).
    std::vector<int> blankAbove(static_cast<std::size_t>(n), -1);
    for (int i = 1; i < n; ++i)
        blankAbove[static_cast<std::size_t>(i)] =
            IsBlankLine(Line(i)) ? i : blankAbove[static_cast<std::size_t>(i - 1)];

    enum class State
    {
        Outside,
        Caption,
        BetweenBlocks,
        Title
    } state = State::Outside;
    std::vector<std::string> q;
    int st = -1;
    for (int i = 0; i + 1 < n;)
    {
        const std::string& line = Line(i);
        switch (state)
        {
        case State::Outside:
            if (BeginsWithMarker(line, Marker::Prv))
            {
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
                if (namesAppendix)
                    q.push_back(line + ".");
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
                Append(TocItem{kKindAppendix, st, 0, std::move(q)});
                m_hasSecondRoot = true;
                q.clear();
                st = -1;
                state = State::Outside;
            }
            else
                q.push_back(line);
            break;
        }
        ++i;
    }
}

void CTocRecognizer::FixAppendixNumber(std::string& line)
{
    static const std::string numbered = Utf8ToCp1251("Приложение N ");
    const std::string trimmed = TrimLeft(line);
    if (BeginsWith(trimmed, numbered))
    {
        static const std::string word = Utf8ToCp1251("Приложение ");
        line = word + trimmed.substr(numbered.size());
    }
}

void CTocRecognizer::CollectTitleBlocks()
{
    m_compareTexts.clear();
    m_itemsByLine.clear();
    const std::string& end = MarkerLine(Marker::End);
    bool inside = false;
    bool firstBlock = true;
    int st = 0;
    std::vector<std::string> q;
    for (int i = 0; i + 1 < LineCount(); ++i)
    {
        const std::string& line = Line(i);
        if (!inside)
        {
            if (BeginsWithMarker(line, Marker::Zag))
            {
                st = i;
                inside = true;
            }
            continue;
        }
        const std::size_t endAt = line.find(end);
        if (endAt == std::string::npos)
            q.push_back(line);
        else if (endAt == 0 && !q.empty())
        {
            TocItem item{HeadingKindOf(FirstContentLine(q)), st, -1, std::move(q)};
            q.clear();
            inside = false;
            // The first title block is the title of the document itself.
            if (firstBlock)
                firstBlock = false;
            else
                AppendUnlessDuplicate(std::move(item));
        }
    }
}

void CTocRecognizer::CollectCentredBlocks()
{
    m_compareTexts.clear();
    m_itemsByLine.clear();
    const int n = LineCount();
    // The first line at or after each index that is not a marker line (n when there is none).
    std::vector<int> contentFrom(static_cast<std::size_t>(n) + 1, n);
    for (int i = n - 1; i >= 0; --i)
        contentFrom[static_cast<std::size_t>(i)] =
            IsMarkerLine(Line(i)) ? contentFrom[static_cast<std::size_t>(i) + 1] : i;

    const std::string& end = MarkerLine(Marker::End);
    bool inside = false;
    int st = 0;
    std::vector<std::string> q;
    for (int i = 0; i + 1 < n; ++i)
    {
        const std::string& line = Line(i);
        if (!inside)
        {
            if (!BeginsWithMarker(line, Marker::Cnt))
                continue;
            const int k = contentFrom[static_cast<std::size_t>(i) + 1];
            if (k == n)
                return;
            if (IsNumberedLine(Line(k)))
            {
                st = i;
                inside = true;
            }
            continue;
        }
        const std::size_t endAt = line.find(end);
        if (endAt == std::string::npos)
            q.push_back(line);
        else if (endAt == 0)
        {
            const int kind = KindOfLines(q);
            AppendUnlessDuplicate(TocItem{kind, st, -1, std::move(q)});
            q.clear();
            inside = false;
        }
    }
}

void CTocRecognizer::CollectArticles()
{
    if (!IsActDocument(*m_lines))
        return;
    static const std::string amended = Utf8ToCp1251("(в ред.");
    static const std::string gMarker = "\x04\x04" + Utf8ToCp1251("Г");
    const int n = LineCount();
    bool boundary = false;
    for (int i = 1; i < n;)
    {
        const std::string& line = Line(i);
        const bool isBoundary = IsBlankLine(line) || IsMarkerLine(line);
        if (!boundary || isBoundary || !IsArticleHeading(line))
        {
            boundary = isBoundary;
            ++i;
            continue;
        }
        int st = i;
        while (st > 0 && IsMarkerLine(Line(st - 1)))
            --st;
        std::vector<std::string> q;
        int stop = i;
        for (; stop < n; ++stop)
        {
            const std::string& body = Line(stop);
            if (IsBlankLine(body) || BeginsWith(body, amended) || BeginsWith(body, gMarker))
                break;
            if (!IsMarkerLine(body))
                q.push_back(body);
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
        if (q.size() < 10)
            Append(TocItem{kKindArticle, st, -1, std::move(q)});
        boundary = true;
        i = stop + 1;
    }
}

void CTocRecognizer::SplitMultiHeadingItems()
{
    // Splitting one item appends pieces that hold one heading each, so taking the items in order and
    // moving the pieces of every split item to the end gives the same list as searching afresh.
    std::vector<TocItem> kept;
    std::vector<TocItem> pieces;
    for (TocItem& item : m_items)
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
            const int kind = HeadingKindOf(group.front());
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
                closeGroup(state == 1 ? item.line : FindLineFrom(item.line, group.front()));
                group.push_back(line);
                state = 2;
            }
        }
        if (!group.empty())
            closeGroup(FindLineFrom(item.line, group.front()));
    }
    m_items = std::move(kept);
    for (TocItem& piece : pieces)
        m_items.push_back(std::move(piece));
    for (TocItem& item : m_items)
        std::erase_if(item.lines, [](const std::string& line) { return IsBlankLine(line); });
}

int CTocRecognizer::CountHeadings(const std::vector<std::string>& lines)
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

int CTocRecognizer::FindLineFrom(int start, const std::string& s)
{
    if (!m_lineIndexBuilt)
    {
        m_lineIndex.clear();
        m_lineIndex.reserve(m_lines->size());
        for (int i = 0; i < LineCount(); ++i)
            m_lineIndex.emplace_back(std::string_view(Line(i)), i);
        std::sort(m_lineIndex.begin(), m_lineIndex.end());
        m_lineIndexBuilt = true;
    }
    const auto found =
        std::lower_bound(m_lineIndex.begin(), m_lineIndex.end(), std::make_pair(std::string_view(s), start));
    if (found != m_lineIndex.end() && found->first == s)
        return found->second;
    return start;
}

bool CTocRecognizer::IsDuplicateItem(const TocItem& item)
{
    if (m_compareTexts.size() > m_items.size())
    {
        m_compareTexts.clear();
        m_itemsByLine.clear();
    }
    for (std::size_t i = m_compareTexts.size(); i < m_items.size(); ++i)
    {
        m_compareTexts.push_back(CompareText(m_items[i]));
        m_itemsByLine.emplace(m_items[i].line, i);
    }
    const std::string text = CompareText(item);
    const auto first = m_itemsByLine.lower_bound(item.line - 19);
    const auto last = m_itemsByLine.upper_bound(item.line + 19);
    for (auto it = first; it != last; ++it)
    {
        const std::string& other = m_compareTexts[it->second];
        // An empty text is part of every text; it must not make every heading nearby a duplicate.
        if (other.empty())
            continue;
        if (Contains(other, text) || Contains(text, other))
            return true;
    }
    return false;
}

void CTocRecognizer::AppendUnlessDuplicate(TocItem item)
{
    if (!IsDuplicateItem(item))
        m_items.push_back(std::move(item));
}

// ---------------------------------------------------------------------------------------------
// Cleaning the entry of one item

void CTocRecognizer::StripArticleRefs(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& last = item.lines.back();
    static const std::string reference = Utf8ToCp1251(" ст. ");
    const std::size_t p = last.find(reference);
    if (p == std::string::npos)
        return;
    if (last.find('-', p) != std::string::npos)
    {
        last.resize(p);
        return;
    }
    const std::string number = Trim(std::string_view(last).substr(p + 4));
    if (std::all_of(number.begin(), number.end(),
                    [](char c) { return IsDigit(static_cast<unsigned char>(c)); }))
        last.resize(p);
}

void CTocRecognizer::JoinHyphenatedLines(TocItem& item)
{
    std::vector<std::string>& lines = item.lines;
    for (std::size_t i = 0; i + 1 < lines.size();)
    {
        std::string& line = lines[i];
        if (line.size() > 2 && line.back() == '-' && line[line.size() - 2] != ' ')
        {
            line.pop_back();
            line += TrimLeft(lines[i + 1]);
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
        else
            ++i;
    }
}

void CTocRecognizer::RemoveMarkerLines(TocItem& item)
{
    std::erase_if(item.lines, [](const std::string& line) { return IsMarkerLine(line); });
}

void CTocRecognizer::BlankControlChars(TocItem& item)
{
    for (std::string& line : item.lines)
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c == 0x01 || c == 0x02 || c == 0x03; }, ' ');
}

void CTocRecognizer::DotSectionHeadings(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& first = item.lines.front();
    const std::string s = TrimLeft(ToUpper(first));
    if (s.size() >= 40 || Contains(s, "."))
        return;
    static const std::string section = Utf8ToCp1251("РАЗДЕЛ");
    static const std::string part = Utf8ToCp1251("ЧАСТЬ");
    static const std::string chapter = Utf8ToCp1251("ГЛАВА");
    if (BeginsWith(s, section) || BeginsWith(s, part) || BeginsWith(s, chapter))
        first = TrimLeft(first) + ".";
}

void CTocRecognizer::TrimAppendixPeriod(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& line = item.lines.front();
    const std::vector<Word> words = SplitWords(line);
    const std::size_t dot = line.find('.');
    static const std::string appendix = Utf8ToCp1251("Приложение");
    if (!BeginsWith(words.front().text, appendix) || dot == std::string::npos)
        return;
    if (words.size() <= 2 || (words.size() == 3 && words[1].text == "N"))
        line.erase(dot, 1);
}

void CTocRecognizer::SpaceNumericRanges(TocItem& item)
{
    for (std::string& line : item.lines)
    {
        const std::vector<Word> words = SplitWords(line);
        for (auto word = words.rbegin(); word != words.rend(); ++word)
        {
            if (word->text.find_first_not_of("0123456789-") != std::string::npos)
                continue;
            std::string spaced;
            for (char c : word->text)
                spaced += c == '-' ? std::string(" - ") : std::string(1, c);
            line.replace(word->start, word->end - word->start, spaced);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Cleaning and merging the item list

void CTocRecognizer::MergeItems()
{
    for (TocItem& item : m_items)
        JoinEntryLines(item);
    static const std::string appendix = Utf8ToCp1251("Приложение");
    static const std::string table = Utf8ToCp1251("Таблица");
    MergeNearDuplicates(appendix);
    MergeNearDuplicates(table);

    // The same heading found twice in a row (by different passes, or in capitals once) is kept once.
    std::vector<std::string> upper;
    upper.reserve(m_items.size());
    for (const TocItem& item : m_items)
        upper.push_back(ToUpper(FirstLine(item)));
    std::vector<std::vector<std::string_view>> words;
    words.reserve(m_items.size());
    for (const std::string& line : upper)
        words.push_back(WordViews(line));
    std::vector<char> erased(m_items.size(), 0);
    std::size_t current = 0;
    for (std::size_t next = 1; next < m_items.size(); ++next)
    {
        if (words[next] == words[current])
            erased[next] = 1;
        else
            current = next;
    }
    CompactItems(m_items, erased);
}

void CTocRecognizer::JoinEntryLines(TocItem& item)
{
    std::string text = JoinLines(item.lines);
    std::replace(text.begin(), text.end(), '\n', ' ');
    text = NormaliseSpaces(text);
    for (std::size_t from = 0;;)
    {
        const std::size_t at = text.find(" - ", from);
        if (at == std::string::npos)
            break;
        // " - " becomes "-": the blanks on both sides go (an erase, which unlike a replace with a
        // literal raises no false overlap warning in GCC 12's optimiser).
        text.erase(at + 2, 1);
        text.erase(at, 1);
        from = at > 0 ? at - 1 : 0;
    }
    item.lines.assign(1, std::move(text));
}

void CTocRecognizer::MergeNearDuplicates(const std::string& word)
{
    const std::size_t count = m_items.size();
    std::vector<std::vector<std::string_view>> words;
    words.reserve(count);
    for (const TocItem& item : m_items)
        words.push_back(WordViews(FirstLine(item)));
    // In line order the items within reach of item i follow it directly, so the search can stop at
    // the first one out of reach.
    const bool sorted = std::is_sorted(m_items.begin(), m_items.end(),
                                       [](const TocItem& a, const TocItem& b) { return a.line < b.line; });
    const std::string wordBlank = word + " ";
    std::vector<char> erased(count, 0);
    for (std::size_t i = 0; i < count; ++i)
    {
        if (erased[i])
            continue;
        const std::string& t = FirstLine(m_items[i]);
        const bool hasWord = Contains(t, word);
        const bool hasWordBlank = Contains(t, wordBlank);
        const bool hasNumberSign = Contains(t, " N ");
        const std::vector<std::string_view>& a = words[i];
        for (std::size_t j = i + 1; j < count; ++j)
        {
            if (erased[j])
                continue;
            const std::int64_t distance = std::int64_t{m_items[j].line} - m_items[i].line;
            if (sorted && distance > 30)
                break;
            if (distance > 30 || distance < -30)
                continue;
            const std::vector<std::string_view>& b = words[j];
            const bool repeats =
                (a.size() == b.size() + 1 && hasWord && TailsEqual(a, 1, b, 0)) ||
                (a.size() == b.size() + 2 && hasWordBlank && TailsEqual(a, 2, b, 0)) ||
                (a.size() == b.size() + 1 && hasWord && hasNumberSign && TailsEqual(a, 2, b, 1)) ||
                (a.size() == b.size() + 3 && hasWord && hasNumberSign && TailsEqual(a, 3, b, 0)) || a == b;
            if (repeats)
            {
                erased[j] = 1;
                break;
            }
        }
    }
    CompactItems(m_items, erased);
}

void CTocRecognizer::DropEmptyItems()
{
    for (TocItem& item : m_items)
        std::erase_if(item.lines, [](const std::string& line) { return IsBlankLine(line); });
    std::erase_if(m_items, [](const TocItem& item) { return item.lines.empty(); });
}

void CTocRecognizer::AdjustAppendixLines()
{
    if (std::none_of(m_items.begin(), m_items.end(),
                     [](const TocItem& item) { return item.kind == kKindAppendix; }))
        return;
    // Every look at the text below is answered from these tables, built in one sweep each, so the
    // cost stays linear however many appendices a document has.
    const int n = LineCount();
    const auto size = static_cast<std::size_t>(n) + 1;
    std::vector<int> nextCaption(size, n); // first ПРВ marker at or after each index
    std::vector<int> nextWide(size, n);    // first full-width text line (or longer line) at or after
    for (int i = n - 1; i >= 0; --i)
    {
        const auto u = static_cast<std::size_t>(i);
        const std::string& line = Line(i);
        nextCaption[u] = IsMarker(line, Marker::Prv) ? i : nextCaption[u + 1];
        nextWide[u] = IsWideTextLine(line) || line.size() > kMarkerLineLength ? i : nextWide[u + 1];
    }
    std::vector<int> blankAbove(size, -1);      // last blank line at or before each index
    std::vector<int> otherStartAbove(size, -1); // last block start other than ПРВ at or before
    for (int i = 0; i < n; ++i)
    {
        const auto u = static_cast<std::size_t>(i);
        const std::string& line = Line(i);
        blankAbove[u] = IsBlankLine(line) ? i : (i > 0 ? blankAbove[u - 1] : -1);
        otherStartAbove[u] =
            IsBlockStart(line) && !IsMarker(line, Marker::Prv) ? i : (i > 0 ? otherStartAbove[u - 1] : -1);
    }

    for (TocItem& item : m_items)
    {
        if (item.kind != kKindAppendix)
            continue;
        const int l = std::clamp(item.line, 0, n);
        // A caption block still ahead, before the body text starts: the entry stands where it belongs.
        if (nextCaption[static_cast<std::size_t>(l)] < nextWide[static_cast<std::size_t>(l)])
            continue;
        for (int j = l - 1; j > l - 5 && j > 0; --j)
        {
            const std::string& line = Line(j);
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

void CTocRecognizer::DropKindTitleDuplicate()
{
    if (m_items.size() < 2)
        return;
    const TocItem& first = m_items[0];
    const TocItem& second = m_items[1];
    if ((first.kind != kKindDocument && first.kind != kKindAppendix) ||
        std::int64_t{second.line} - first.line > 20)
        return;
    const std::string& a = FirstLine(first);
    const std::string& b = FirstLine(second);
    const bool secondIsShorter = b.size() <= a.size();
    const std::string& s = secondIsShorter ? b : a;
    const std::string& t = secondIsShorter ? a : b;
    const std::vector<std::string>& kinds = m_kinds.m_kinds;
    if (BeginsWith(t, s) && std::find(kinds.begin(), kinds.end(), s) != kinds.end())
        Erase(secondIsShorter ? 0 : 1);
}

// ---------------------------------------------------------------------------------------------
// Levels and writing the blocks

void CTocRecognizer::WriteTocBlocks()
{
    SortByLine();
    AssignLevels();
    PumpMessages();
    ShiftAfterFrontMatter();
    PumpMessages();

    if (!m_hasSecondRoot && std::any_of(m_items.begin() + (m_items.empty() ? 0 : 1), m_items.end(),
                                        [](const TocItem& item) { return item.level == 0; }))
        m_hasSecondRoot = true;
    // A document kind or appendix that stands alone at the top adds nothing: the rest moves up.
    if (!m_hasSecondRoot && !m_items.empty() &&
        (m_items.front().kind == kKindDocument || m_items.front().kind == kKindAppendix))
    {
        Erase(0);
        for (TocItem& item : m_items)
        {
            if (item.level == 0)
                break;
            --item.level;
        }
    }
    if (m_items.size() < 2)
        return;

    for (TocItem& item : m_items)
        MoveFormNumbers(item);
    PumpMessages();
    LayoutEntries();
    PumpMessages();
    FixEntryCase();
    PumpMessages();
    InsertBlocks();
}

void CTocRecognizer::AssignLevels()
{
    if (m_items.size() < 2)
        return;
    int memory[kKindArticle + 1];
    std::fill(std::begin(memory), std::end(memory), -1);
    auto remembered = [&memory](int kind) -> int& { return memory[std::clamp(kind, 0, int{kKindArticle})]; };

    TocItem& first = m_items.front();
    first.level = 0;
    // A kind met again later returns to the level it had, the first item's kind included.
    remembered(first.kind) = 0;
    int prev = first.kind;
    int n = 0;
    for (std::size_t i = 1; i < m_items.size(); ++i)
    {
        TocItem& item = m_items[i];
        const int k = item.kind;
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
        if (k == kKindAppendix)
            n = 0;
        if (prev < k)
            remembered(k) = n;
        if (prev > k)
        {
            for (int j = k + 1; j <= kKindArticle; ++j)
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

void CTocRecognizer::ShiftAfterFrontMatter()
{
    static const std::string frontMatter[] = {Utf8ToCp1251("Введение"), Utf8ToCp1251("Содержание"),
                                              Utf8ToCp1251("Паспорт"), Utf8ToCp1251("Оглавление")};
    const int n = LineCount();
    auto hasFullWidthLine = [&](int from, int to)
    {
        for (int l = std::max(from, 0); l < std::min(to, n); ++l)
            if (IsWideTextLine(Line(l)))
                return true;
        return false;
    };
    const std::size_t count = m_items.size();
    for (std::size_t i = 0; i + 1 < count;)
    {
        const std::string next = TrimLeft(FirstLine(m_items[i + 1]));
        const bool opensFrontMatter =
            (m_items[i].kind == kKindDocument || m_items[i].kind == kKindAppendix) &&
            std::any_of(std::begin(frontMatter), std::end(frontMatter),
                        [&](const std::string& word) { return BeginsWith(next, word); });
        if (!opensFrontMatter)
        {
            ++i;
            continue;
        }
        int add = 2;
        std::size_t j = i + 1;
        for (; j < count && m_items[j].kind != kKindAppendix; ++j)
        {
            TocItem& item = m_items[j];
            if (item.kind != kKindIndented)
                item.level += add;
            else if (j + 1 < count && m_items[j + 1].kind != kKindIndented)
            {
                const int from = item.line;
                const int to = m_items[j + 1].line;
                // Only a gap of at most five lines is searched for body text.
                if (to - from > 5 || hasFullWidthLine(from, to))
                    add = 1;
            }
        }
        i = j + 1;
    }
}

void CTocRecognizer::MoveFormNumbers(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& line = item.lines.front();
    const std::string upper = ToUpper(line);
    static const std::string prefix = Utf8ToCp1251("ФОРМА N ");
    if (!BeginsWith(upper, prefix) || !Contains(upper, "."))
        return;
    const std::string rest = upper.substr(prefix.size());
    const std::string number = Trim(std::string_view(rest).substr(0, rest.find('.')));
    static const std::string form = Utf8ToCp1251(" (Форма N ");
    line += form + number + ")";
    line.erase(0, line.find('.') + 1);
    line = TrimLeft(line);
}

void CTocRecognizer::FixEntryCase()
{
    const CHeadingCaseConverter converter(m_words);
    for (TocItem& item : m_items)
    {
        std::vector<std::string>& lines = item.lines;
        if (item.kind > kKindSection && item.level > 0)
        {
            const std::string text = TrimLeft(TrimRight(JoinLines(lines)));
            const auto unchanged = static_cast<std::size_t>(
                std::count_if(text.begin(), text.end(), [](char c) { return ToUpperChar(c) == c; }));
            // Typed in capitals: more than seven tenths unchanged by upper-casing, compared in integers
            // so that no length falls on the wrong side through rounding.
            if (unchanged * 10 > text.size() * 7)
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

void CTocRecognizer::InsertBlocks()
{
    // Items are in line order here, so one merge of text and blocks puts every block in front of its
    // heading (blocks of equal lines in list order), as inserting from the last item would, without
    // moving the rest of the text once per block. A line at the end of the text appends the block.
    std::vector<std::string>& lines = *m_lines;
    std::size_t added = 0;
    for (const TocItem& item : m_items)
        added += item.lines.size() + 2;
    std::vector<std::string> merged;
    merged.reserve(lines.size() + added);
    std::size_t next = 0;
    for (const TocItem& item : m_items)
    {
        const auto at = static_cast<std::size_t>(std::clamp(item.line, 0, LineCount()));
        for (; next < at; ++next)
            merged.push_back(std::move(lines[next]));
        merged.push_back(MarkerLine(Marker::Ogl));
        merged.insert(merged.end(), item.lines.begin(), item.lines.end());
        merged.push_back(MarkerLine(Marker::Kon));
    }
    for (; next < lines.size(); ++next)
        merged.push_back(std::move(lines[next]));
    lines = std::move(merged);
    m_writtenBlocks = m_items.size();
}
