// Headings found by their words and shape in the running text.

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/CPlainTextView.h"
#include "core/toc/ExtendedPasses.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"
#include "core/toc/PassHelpers.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace
{
// A heading with its title runs over a few lines, in codes up to a dozen; a paragraph that goes on
// longer is body text.
constexpr int kMaxHeadingLines = 16;
// The title of a bare «ГЛАВА 1» in a paragraph of its own is shorter still.
constexpr int kMaxBareHeadingTitleLines = 4;
// An editorial note under a heading, «(В редакции ...)», is a line or a few.
constexpr int kMaxNoteLines = 4;
// Blank and marker lines that may stand between a bare heading and its title.
constexpr int kMaxTitleGap = 6;
// The gap between two columns of a table row set in blanks; justified text has narrower ones.
constexpr std::string_view kColumnGap = "     ";
// A numbered heading of rules is one short line; a longer one is a clause of the body.
constexpr std::size_t kMaxNumberedHeadingLength = 100;
// A heading without a number is a few words; the body text under it a sentence of some length.
constexpr std::size_t kMaxSubHeadingLength = 60;
constexpr std::size_t kMinBodyLineLength = 25;

// A title begins with a capital letter, or with the opening quote of a name: «"Об охране ..."».
bool StartsLikeTitle(std::string_view text)
{
    constexpr unsigned char kOpeningGuillemet = 0xAB;
    return StartsWithCapital(text) ||
           (!text.empty() &&
            (text.front() == '"' || static_cast<unsigned char>(text.front()) == kOpeningGuillemet));
}

// «1) ...», «а) ...»: an item of a list in the body.
bool BeginsListItem(std::string_view trimmed)
{
    const std::size_t close = trimmed.substr(0, 4).find(')');
    if (close == std::string::npos || close == 0 || close > 3)
        return false;
    return std::all_of(trimmed.begin(), trimmed.begin() + static_cast<std::ptrdiff_t>(close),
                       [](char c) {
                           return IsLetter(static_cast<unsigned char>(c)) ||
                                  IsDigit(static_cast<unsigned char>(c));
                       });
}

std::size_t Indent(std::string_view line)
{
    return std::min(line.find_first_not_of(' '), line.size());
}

// All letters of the text are capitals (and there is at least one).
bool IsInCapitals(std::string_view text)
{
    bool letter = false;
    for (char c : text)
    {
        const auto u = static_cast<unsigned char>(c);
        if (IsLowerLetter(u))
            return false;
        letter = letter || IsUpperLetter(u);
    }
    return letter;
}

// «(в ред. Закона от 05.05.2014 N 12)», «(Статья утратила силу)», «(Дополнение статьей - ...»: a
// note in brackets that fills the line (or goes on to the next one). A note names the act that
// changed the text, with its date and number, or is a sentence of its own; a title goes on in
// brackets in small letters or in capitals («(удочерение)», «(ПОПЕЧИТЕЛЕЙ)»), and
// «(исполнителем), независимо от вины.» is a wrapped line of running text.
bool IsBracketedNote(std::string_view trimmed)
{
    if (trimmed.empty() || trimmed.front() != '(')
        return false;
    const std::size_t close = trimmed.rfind(')');
    if (close == std::string_view::npos)
        return true;
    if (trimmed.substr(close + 1).find_first_not_of(".,; ") != std::string_view::npos)
        return false;
    const std::string_view inside = trimmed.substr(1, close - 1);
    if (std::any_of(inside.begin(), inside.end(),
                    [](char c) { return IsDigit(static_cast<unsigned char>(c)); }))
        return true;
    return StartsWithCapital(inside) && !IsInCapitals(std::string(inside));
}

// A line of a table of contents: the title is followed by a leader of dots and a page number.
bool HasPageLeader(std::string_view line)
{
    const std::string trimmed = TrimRight(line);
    std::size_t i = trimmed.size();
    while (i > 0 && IsDigit(static_cast<unsigned char>(trimmed[i - 1])))
        --i;
    return i < trimmed.size() && trimmed.find("...") != std::string::npos;
}

char LastCharacter(std::string_view text)
{
    while (!text.empty() && IsWhiteSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text.empty() ? '\0' : text.back();
}

// The title of the heading begun at line i and continued up to line end holds what: the title on
// its first line, or one of the lines after it without the blanks that indent or end them.
bool TitleHolds(const CPlainTextView& view, const HeadingStart& start, int i, int end, std::string_view what)
{
    if (start.title.find(what) != std::string::npos)
        return true;
    for (int k = i + 1; k < end; ++k)
        if (TrimBlanks(view.Line(k)).find(what) != std::string_view::npos)
            return true;
    return false;
}

// The title of the heading begun at line i and continued up to line end is set in capitals.
bool TitleInCapitals(const CPlainTextView& view, const HeadingStart& start, int i, int end)
{
    if (!start.title.empty() && !IsInCapitals(start.title))
        return false;
    for (int k = i + 1; k < end; ++k)
        if (!IsInCapitals(view.Line(k)))
            return false;
    return !start.title.empty() || end > i + 1;
}

// The next line is the first clause under a numbered heading: «1. ПРЕДМЕТ ДОГОВОРА» followed by
// «1.1. Исполнитель обязуется ...».
bool OpensSubclauses(const HeadingStart& heading, std::string_view next)
{
    const HeadingStart clause = ReadHeadingStart(next);
    return heading.word == HeadingWord::Numbered && clause.word == HeadingWord::Numbered &&
           clause.number.size() > heading.number.size() && BeginsWith(clause.number, heading.number);
}

// The first text line after the blank and marker lines from line from on; -1 when another kind of
// line comes first.
int NextParagraph(const CPlainTextView& view, int from)
{
    int j = from;
    while (j < view.LineCount() && j - from < kMaxTitleGap && !view.IsText(j) &&
           (IsBlankLine(view.Line(j)) || IsMarkerLine(view.Line(j))))
        ++j;
    return view.IsText(j) ? j : -1;
}

// Line from begins an editorial note that stands in a paragraph of its own under a heading: «(В
// редакции ...)», «(Наименование в редакции ...)», closed by its bracket with nothing after it. A
// bracket that goes on with the sentence («(статья 10 настоящего Кодекса).», «(при ...») is body
// text.
bool NoteFollows(const CPlainTextView& view, int from)
{
    const std::string first = TrimLeft(view.Line(from));
    if (first.size() < 2 || first.front() != '(' || !IsUpperLetter(static_cast<unsigned char>(first[1])))
        return false;
    int k = from;
    while (k + 1 < view.LineCount() && view.IsText(k + 1) && k - from < kMaxNoteLines)
        ++k;
    return LastCharacter(view.Line(k)) == ')';
}

// A numbered heading of rules is one short line, or is set apart from the clauses of the body when
// it runs over more: in capitals, with its further lines indented as a centred heading's are (where
// a clause goes on at the margin), or followed by the first clause it holds: «2. Порядок ...» over
// two lines, then «2.1. ...».
bool StandsAsNumberedHeading(const CPlainTextView& view, const HeadingStart& start, int i, int end)
{
    if (end == i + 1)
        return view.Line(i).size() <= kMaxNumberedHeadingLength;
    // A clause of the body indents its first line and goes on at the margin; a heading set at the
    // margin with the rest of the text keeps its lines together.
    const int next = NextParagraph(view, end);
    bool oneIndent = true;
    for (int k = i + 1; k < end; ++k)
        oneIndent = oneIndent && Indent(view.Line(k)) == Indent(view.Line(i));
    if (oneIndent && next >= 0 && OpensSubclauses(start, view.Line(next)))
        return true;
    bool capitals = true;
    bool indented = true;
    for (int k = i; k < end; ++k)
    {
        std::string_view line = view.Line(k);
        capitals = capitals && IsInCapitals(line);
        indented = indented && (k == i || (!line.empty() && line.front() == ' '));
    }
    return capitals || indented;
}

// One past the last line that continues the heading begun at line i: text lines up to a blank or
// marker line, a line that begins another heading, a note in brackets or a list item. A text set
// without blank lines goes on after a titled heading with its body, or with a sub-heading, in a
// line that begins with a capital letter where the line above was broken on purpose; a title in
// capitals goes on in capitals, and a title in small letters.
int HeadingEnd(const CPlainTextView& view, int i, const HeadingStart& start)
{
    int j = i + 1;
    while (j < view.LineCount() && j - i < kMaxHeadingLines && view.IsText(j))
    {
        std::string_view trimmed = view.Line(j);
        while (!trimmed.empty() && IsWhiteSpace(static_cast<unsigned char>(trimmed.front())))
            trimmed.remove_prefix(1);
        if (trimmed.empty() || IsBracketedNote(trimmed) || BeginsListItem(trimmed) ||
            ReadHeadingStart(trimmed).word != HeadingWord::None)
            break;
        std::string_view above = j == i + 1 ? std::string_view(start.title) : view.Line(j - 1);
        if (!start.title.empty() && view.BreaksBefore(j) && StartsWithCapital(trimmed) &&
            !(IsInCapitals(above) && IsInCapitals(view.Line(j))))
            break;
        ++j;
    }
    return j;
}

// The title that stands in a paragraph of its own after a bare «ГЛАВА 1» or «Статья 1»: it begins
// with a capital letter, is no heading, clause or note, is short and does not end like a sentence.
// Returns its first and one past its last line; an empty range when there is none.
std::pair<int, int> TitleParagraph(const CPlainTextView& view, int from)
{
    const int n = view.LineCount();
    int j = from;
    while (j < n && j - from < kMaxTitleGap && !view.IsText(j) &&
           (IsBlankLine(view.Line(j)) || IsMarkerLine(view.Line(j))))
        ++j;
    if (!view.StartsParagraph(j))
        return {from, from};
    const std::string first = TrimLeft(view.Line(j));
    if (!StartsLikeTitle(first) || ReadHeadingStart(first).word != HeadingWord::None ||
        IsNumberedLine(first) || BeginsListItem(first))
        return {from, from};
    // An editorial note under the title is no part of it.
    int end = j;
    while (end < n && view.IsText(end) && end - j <= kMaxBareHeadingTitleLines && !NoteFollows(view, end))
        ++end;
    if (end - j > kMaxBareHeadingTitleLines || EndsLikeSentence(view.Line(end - 1)))
        return {from, from};
    return {j, end};
}

// The article's number has a full stop inside it («1.1.»), as some acts number their articles.
bool HasInnerStop(const std::string& number)
{
    const std::size_t stop = number.find('.');
    return stop != std::string::npos && stop + 1 < number.size();
}

struct Found
{
    TocItem item;
    HeadingWord word = HeadingWord::None;
    std::string number;
    int begin = 0; // the heading's first line and one past its last
    int end = 0;
    bool followedByBody = false;
};

// The words of an entry, in capitals and single-spaced, as the table of contents and the heading
// itself may set them differently.
std::string EntryWords(const TocItem& item)
{
    std::string text;
    for (const std::string& line : item.lines)
        text += " " + line;
    return ToUpper(NormaliseSpaces(text));
}

// The article pass cuts an article's entry to «Статья 5» when it cannot tell the title from the
// body that follows without a blank line; the entry read here, whose words go on from those, is the
// full heading and takes its place. articleAt: the article items of the block passes by their line.
void CompleteCutArticle(std::vector<TocItem>& items,
                        const std::unordered_multimap<int, std::size_t>& articleAt, std::pair<int, int> lines,
                        const std::vector<std::string>& entry)
{
    if (entry.empty())
        return;
    const std::size_t fullLength = TrimBlanks(entry.front()).size();
    std::string words;
    for (const int line : {lines.first, lines.second})
    {
        const auto [from, to] = articleAt.equal_range(line);
        for (auto it = from; it != to; ++it)
        {
            TocItem& item = items[it->second];
            // A cut entry is one line, shorter than the heading's first line.
            if (item.lines.size() != 1 || TrimBlanks(item.lines.front()).size() >= fullLength)
                continue;
            if (words.empty())
                words = EntryWords(TocItem{kKindArticle, 0, -1, entry});
            const std::string cut = EntryWords(item);
            if (cut.size() < words.size() && words.compare(0, cut.size(), cut) == 0)
                item.lines = entry;
        }
        if (lines.first == lines.second)
            break;
    }
}

// A document's own table of contents lists its headings before the text: a heading with no body
// text after it whose word, number and title (or the beginning of it) stand again further on is
// such a line, and is dropped.
void DropListedHeadings(std::vector<Found>& found)
{
    // Word and number -> the nearest heading further on with them. Only the index is kept: a text of
    // nothing but headings would otherwise hold the words of every one of them a second time.
    std::unordered_map<std::string, std::size_t> later;
    std::vector<char> listed(found.size(), 0);
    for (std::size_t i = found.size(); i-- > 0;)
    {
        const Found& f = found[i];
        std::string key = std::to_string(static_cast<int>(f.word)) + " " + ToUpper(f.number);
        if (!f.followedByBody && !f.number.empty())
        {
            const auto it = later.find(key);
            if (it != later.end())
            {
                const std::string words = EntryWords(f.item);
                const std::string other = EntryWords(found[it->second].item);
                const std::size_t common = std::min(words.size(), other.size());
                listed[i] = words.compare(0, common, other, 0, common) == 0;
            }
        }
        later[std::move(key)] = i;
    }
    EraseFlagged(found, listed);
}

// The number an article's number begins with: «18» of «18.1.», «12» of «12.15-1.», «5» of «5<1>».
int LeadingNumber(std::string_view number)
{
    int value = 0;
    for (std::size_t i = 0; i < number.size() && i < 9 && IsDigit(static_cast<unsigned char>(number[i])); ++i)
        value = value * 10 + (number[i] - '0');
    return value;
}

struct ArticleNumber
{
    int line = 0;
    std::string number;
    int found = -1; // index among the headings found here; -1 for an article of the block passes
};

// The articles of the document in text order: those found here and those the block passes took.
std::vector<ArticleNumber> ArticleNumbers(const std::vector<Found>& found, const std::vector<TocItem>& items)
{
    std::vector<ArticleNumber> articles;
    for (const TocItem& item : items)
        if (item.kind == kKindArticle)
        {
            const HeadingStart start = ReadHeadingStart(FirstContentLine(item.lines));
            if (start.word == HeadingWord::Article)
                articles.push_back({item.line, start.number, -1});
        }
    for (std::size_t i = 0; i < found.size(); ++i)
        if (found[i].word == HeadingWord::Article)
            articles.push_back({found[i].item.line, found[i].number, static_cast<int>(i)});
    std::stable_sort(articles.begin(), articles.end(),
                     [](const ArticleNumber& a, const ArticleNumber& b) { return a.line < b.line; });
    return articles;
}

// One act numbers its articles one way: «1.», «2.» or, by chapter, «1.1.», «1.2.». Where most are
// numbered one way, an article numbered the other way is quoted wording of another act (a chapter of
// amendments quotes «Статья 3.» amid «Статья 17.4.»), unless it was inserted after the article before
// it and carries its number: «Статья 18.1.» after «Статья 18.».
void DropArticlesOfAnotherNumbering(std::vector<Found>& found, const std::vector<TocItem>& items)
{
    const std::vector<ArticleNumber> articles = ArticleNumbers(found, items);
    std::size_t inner = 0;
    for (const ArticleNumber& a : articles)
        inner += HasInnerStop(a.number) ? 1 : 0;
    const std::size_t plain = articles.size() - inner;
    if (inner == plain)
        return;
    const bool innerStyle = inner > plain;
    std::vector<char> quoted(found.size(), 0);
    const ArticleNumber* previous = nullptr;
    for (const ArticleNumber& a : articles)
    {
        const bool inserted =
            previous != nullptr && LeadingNumber(a.number) == LeadingNumber(previous->number);
        if (a.found >= 0 && HasInnerStop(a.number) != innerStyle && !inserted && previous != nullptr)
        {
            quoted[static_cast<std::size_t>(a.found)] = 1;
            continue;
        }
        previous = &a;
    }
    EraseFlagged(found, quoted);
}

// An act divided into articles numbers them in sequence, so some two of them stand next to each
// other in the numbering. A text whose articles never do (a court's decision quoting «Статья 1064.»
// and «Статья 1095.» of a code) has none of its own: what it quotes are no headings.
void DropQuotedArticles(std::vector<Found>& found, const std::vector<TocItem>& items)
{
    const std::vector<ArticleNumber> articles = ArticleNumbers(found, items);
    std::vector<int> numbers;
    for (const ArticleNumber& a : articles)
        numbers.push_back(LeadingNumber(a.number));
    std::sort(numbers.begin(), numbers.end());
    for (std::size_t i = 1; i < numbers.size(); ++i)
        if (numbers[i] - numbers[i - 1] <= 1)
            return;
    std::erase_if(found, [](const Found& f) { return f.word == HeadingWord::Article; });
}

// The rank of a numbered heading: roman ones rank alike, «2.» and «2.1.» by their full stops.
int NumberedRank(const Found& f)
{
    if (f.word == HeadingWord::Roman)
        return 0;
    return 1 + static_cast<int>(std::count(f.number.begin(), f.number.end(), '.'));
}

// A heading has its text under it. Numbered lines of the same rank with nothing but blank lines
// between them (the points of an agenda, the duties of a post, the tasks of a programme, a table
// of contents without page numbers) are the items of a list, however short they are.
void DropNumberedLists(const CPlainTextView& view, std::vector<Found>& found)
{
    auto numbered = [](const Found& f)
    { return f.word == HeadingWord::Numbered || f.word == HeadingWord::Roman; };
    auto onlyBlankLinesBetween = [&view](const Found& a, const Found& b)
    {
        for (int k = a.end; k < b.begin; ++k)
            if (!IsBlankLine(view.Line(k)))
                return false;
        return true;
    };
    std::vector<char> listed(found.size(), 0);
    for (std::size_t i = 0; i + 1 < found.size(); ++i)
    {
        const Found& a = found[i];
        const Found& b = found[i + 1];
        if (numbered(a) && numbered(b) && NumberedRank(a) == NumberedRank(b) && onlyBlankLinesBetween(a, b))
            listed[i] = listed[i + 1] = 1;
    }
    EraseFlagged(found, listed);
}
// The line begins with the capital of «Статья», «Глава», «Раздел», «Параграф» or with a § sign:
// most lines after a sentence's end begin otherwise and are read no further.
bool MayBeginDivision(std::string_view line)
{
    const HeadingVocabulary& words = HeadingWords();
    static const std::string letters = std::string{words.article.front(), words.chapter.front(),
                                                   words.section.front(), words.paragraph.front()} +
                                       "$\x15" + words.paragraphSign;
    const std::size_t at = line.find_first_not_of(' ');
    return at != std::string::npos && letters.find(line[at]) != std::string::npos;
}

// Line i may begin a heading: it begins a paragraph, follows a heading, or follows a line broken on
// purpose. A text set without blank lines or indents begins «Статья 5.», «Глава 2.» also after a
// sentence that ended with its line: no sentence goes on in those words.
bool StartsHeadingParagraph(const CPlainTextView& view, int i, int afterHeading)
{
    if (view.StartsParagraph(i) || i == afterHeading || view.BreaksBefore(i))
        return true;
    if (LastCharacter(view.Line(i - 1)) != '.' || !MayBeginDivision(view.Line(i)))
        return false;
    const HeadingWord word = ReadHeadingStart(view.Line(i)).word;
    return word == HeadingWord::Article || word == HeadingWord::Chapter || word == HeadingWord::Section ||
           word == HeadingWord::Paragraph;
}

// A line no longer than a heading without a number, beginning with a capital letter.
bool IsShortCapitalLine(std::string_view line)
{
    const std::string_view trimmed = TrimBlanks(line);
    return trimmed.size() <= kMaxSubHeadingLength && StartsWithCapital(trimmed);
}

// A heading without a number: a short line of a few words, centred or in capitals, that stands
// alone between paragraphs and does not read as a sentence. No digits: a date, an address, a sum
// or a page number is no heading; no blanks to fill in or cells apart.
bool LooksLikeSubHeading(const CPlainTextView& view, int i)
{
    std::string_view line = view.Line(i);
    if (!IsShortCapitalLine(line))
        return false;
    const std::string trimmed = Trim(line);
    if (EndsLikeSentence(trimmed) || trimmed.back() == '!' || trimmed.back() == '?' ||
        trimmed.find(' ') == std::string::npos || trimmed.find(kColumnGap) != std::string::npos ||
        trimmed.find('_') != std::string::npos || IsBracketedNote(trimmed) || BeginsListItem(trimmed) ||
        ReadHeadingStart(trimmed).word != HeadingWord::None)
        return false;
    if (std::any_of(trimmed.begin(), trimmed.end(),
                    [](char c) { return IsDigit(static_cast<unsigned char>(c)); }))
        return false;
    return view.IsCentred(i) || IsInCapitals(trimmed);
}

// The headings without numbers that divide a section of rules: each stands alone, after a paragraph
// that ended or a heading, before the body text it heads, inside an appendix, a section, chapter or
// numbered heading (not after an article, and not before the first heading: a decree's own lines
// and its signature are no sub-headings).
std::vector<TocItem> SubHeadings(const CPlainTextView& view, const std::vector<TocItem>& items,
                                 const std::vector<Found>& found, const std::vector<char>& captionLines)
{
    const int n = view.LineCount();
    std::vector<int> kindAt(static_cast<std::size_t>(n), -1);
    std::vector<char> inHeading(static_cast<std::size_t>(n), 0);
    for (const TocItem& item : items)
        if (item.line >= 0 && item.line < n)
            kindAt[static_cast<std::size_t>(item.line)] = item.kind;
    for (const Found& f : found)
    {
        kindAt[static_cast<std::size_t>(f.begin)] = f.item.kind;
        for (int k = f.begin; k < f.end; ++k)
            inHeading[static_cast<std::size_t>(k)] = 1;
    }
    auto alone = [&view](int k)
    { return !view.IsText(k) || view.StartsParagraph(k) || view.BreaksBefore(k); };
    std::vector<TocItem> sub;
    bool inSection = false;
    for (int i = 0; i < n; ++i)
    {
        const int kind = kindAt[static_cast<std::size_t>(i)];
        if (kind >= 0)
            inSection = kind >= kKindAppendix && kind < kKindIndented;
        // Most lines are long or begin in small letters: that is looked at first.
        if (!inSection || !view.IsText(i) || !IsShortCapitalLine(view.Line(i)) ||
            inHeading[static_cast<std::size_t>(i)] || captionLines[static_cast<std::size_t>(i)] ||
            !alone(i) || !alone(i + 1) || !LooksLikeSubHeading(view, i))
            continue;
        // Before it a paragraph ended or a heading stood; after it comes body text.
        int above = i - 1;
        while (above >= 0 && !view.IsText(above) && IsBlankLine(view.Line(above)))
            --above;
        const bool afterEnd =
            above < 0 || !view.IsText(above) || inHeading[static_cast<std::size_t>(above)] ||
            captionLines[static_cast<std::size_t>(above)] || LastCharacter(view.Line(above)) == '.';
        // Body text is a sentence of some length; a name under a post's title is not.
        const int next = NextParagraph(view, i + 1);
        if (!afterEnd || next < 0 || inHeading[static_cast<std::size_t>(next)] ||
            Trim(view.Line(next)).size() < kMinBodyLineLength ||
            IsLowerLetter(static_cast<unsigned char>(Trim(view.Line(next)).front())))
            continue;
        sub.push_back(TocItem{kKindIndented, view.HeadingPosition(i), -1, {Trim(view.Line(i))}});
    }
    return sub;
}
} // namespace

void CollectPlainHeadings(const CPlainTextView& view, std::vector<TocItem>& items,
                          const std::vector<char>& captionLines)
{
    std::unordered_set<int> taken;
    std::unordered_multimap<int, std::size_t> articleAt;
    for (std::size_t k = 0; k < items.size(); ++k)
    {
        taken.insert(items[k].line);
        if (items[k].kind == kKindArticle)
            articleAt.emplace(items[k].line, k);
    }

    const int n = view.LineCount();
    std::vector<Found> found;
    // Body text after the last heading found: a heading without any is listed in a table of contents
    // when its text stands again further on.
    auto bodySeen = [&found]
    {
        if (!found.empty())
            found.back().followedByBody = true;
    };
    int afterHeading = -1; // a line right after a heading starts a paragraph of its own
    for (int i = 0; i < n; ++i)
    {
        if (!view.IsText(i) || captionLines[static_cast<std::size_t>(i)])
            continue;
        const HeadingStart start =
            StartsHeadingParagraph(view, i, afterHeading) ? ReadHeadingStart(view.Line(i)) : HeadingStart{};
        if (start.word == HeadingWord::None || start.word == HeadingWord::Appendix ||
            start.word == HeadingWord::Approval || HasPageLeader(view.Line(i)))
        {
            bodySeen();
            continue;
        }
        int end = HeadingEnd(view, i, start);
        const bool runsOn = end - i >= kMaxHeadingLines && view.IsText(end);
        // What the heading's text ends with: its last line, or the title on its only line.
        const std::string_view last = end > i + 1 ? std::string_view(view.Line(end - 1)) : start.title;
        // A full stop after a title in capitals closes the heading, as «1. ПРЕДМЕТ ДОГОВОРА.» sets
        // it; the body is not set in capitals.
        const bool endsLikeSentence =
            EndsLikeSentence(last) && !(LastCharacter(last) == '.' && TitleInCapitals(view, start, i, end));

        bool accepted = true;
        bool runsIntoBody = false;
        switch (start.word)
        {
        case HeadingWord::Article:
            // «Статья 5 настоящего Закона применяется ...» is a sentence about an article.
            accepted = start.closed || start.title.empty();
            runsIntoBody = runsOn || endsLikeSentence;
            break;
        case HeadingWord::Chapter:
        case HeadingWord::Paragraph:
        case HeadingWord::Section:
        case HeadingWord::Subsection:
        case HeadingWord::Part:
            // «Глава 5 настоящего Кодекса ...» is a reference.
            accepted = !runsOn && (start.closed || start.title.empty() || IsInCapitals(start.title)) &&
                       !(endsLikeSentence && LastCharacter(last) != '.');
            break;
        case HeadingWord::PartName:
            accepted = end == i + 1;
            break;
        case HeadingWord::Roman:
        case HeadingWord::Numbered:
            // A clause of the body reads on: it ends like a sentence or holds one («Абзац; ...»); a
            // row of a table has its columns apart.
            accepted =
                !runsOn && StartsLikeTitle(start.title) && !endsLikeSentence &&
                (start.word == HeadingWord::Roman ||
                 (StandsAsNumberedHeading(view, start, i, end) &&
                  (!view.IsText(end) || OpensSubclauses(start, view.Line(end)) || NoteFollows(view, end)))) &&
                !TitleHolds(view, start, i, end, ";") && !TitleHolds(view, start, i, end, kColumnGap);
            break;
        default:
            accepted = false;
        }
        if (!accepted)
        {
            bodySeen();
            continue;
        }

        const std::string first = Trim(view.Line(i));
        std::vector<std::string> entry;
        if (runsIntoBody)
        {
            // The heading runs on into the article's body: «Статья 5» stands for it.
            const std::size_t at = first.find(start.number);
            std::string heading = first.substr(0, at + start.number.size());
            if (!heading.empty() && heading.back() == '.')
                heading.pop_back();
            entry.push_back(NormaliseSpaces(heading));
            end = i + 1;
        }
        else
            for (int k = i; k < end; ++k)
                entry.push_back(Trim(view.Line(k)));

        // A bare «ГЛАВА 1» or «Статья 1» takes the title that follows in a paragraph of its own.
        if (!runsIntoBody && start.title.empty() && end == i + 1 && start.word != HeadingWord::PartName)
        {
            const auto [from, to] = TitleParagraph(view, end);
            // «Статья 21» and «Защита лесов» read as «Статья 21. Защита лесов».
            if (to > from && entry.back().back() != '.')
                entry.back() += '.';
            for (int k = from; k < to; ++k)
                entry.push_back(Trim(view.Line(k)));
            if (to > from)
                end = to;
        }

        const int begin = i;
        const int position = view.HeadingPosition(i);
        const bool alreadyFound = taken.count(position) || taken.count(i);
        afterHeading = end;
        i = end - 1;
        if (alreadyFound)
        {
            if (start.word == HeadingWord::Article)
                CompleteCutArticle(items, articleAt, {position, begin}, entry);
            continue;
        }
        found.push_back({TocItem{ExtendedKindOf(start.word, first), position, -1, std::move(entry)},
                         start.word, start.number, begin, end});
    }
    DropListedHeadings(found);
    DropNumberedLists(view, found);
    DropArticlesOfAnotherNumbering(found, items);
    DropQuotedArticles(found, items);
    std::vector<TocItem> subHeadings = SubHeadings(view, items, found, captionLines);
    items.reserve(items.size() + found.size() + subHeadings.size());
    for (Found& f : found)
        items.push_back(std::move(f.item));
    for (TocItem& item : subHeadings)
        items.push_back(std::move(item));
}
