#include "core/remarks/Remarks.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/entries/TocEntryList.h"
#include "core/remarks/HeadingNumbers.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <utility>

namespace
{
// How a series is named in the messages: «После статьи 63 идёт статья 65: нет статьи 64».
struct SeriesWords : HeadingNames
{
    std::string numberSign; // «№ » of appendices
};

const SeriesWords& WordsOf(Series series)
{
    auto make = [](const HeadingNames& names, const std::string& sign) { return SeriesWords{names, sign}; };
    const HeadingVocabulary& w = HeadingWords();
    static const std::array<SeriesWords, kSeriesCount> words = {
        make(w.articleNames, ""),    make(w.chapterNames, ""), make(w.sectionNames, ""),
        make(w.subsectionNames, ""), make(w.partNames, ""),    make(w.paragraphNames, ""),
        make(w.headingNames, ""),    make(w.headingNames, ""), make(w.appendixNames, w.numberSign + " "),
    };
    return words[static_cast<std::size_t>(series)];
}

// The fixed words of the messages in code page 1251, made once: a long text may have many remarks.
struct Phrases
{
    std::string endsIn = Utf8ToCp1251("оканчивается на \"");
    std::string tooLong = Utf8ToCp1251("слишком длинный (");
    std::string characters = Utf8ToCp1251(" знаков)");
    std::string sentences = Utf8ToCp1251("в нём несколько предложений");
    std::string looksLikeText = Utf8ToCp1251("Похоже на текст, а не на заголовок: ");
    std::string in = Utf8ToCp1251(" в ");
    std::string before = Utf8ToCp1251("Перед ");
    std::string noMid = Utf8ToCp1251(" нет ");
    std::string comes = Utf8ToCp1251(" идёт ");
    std::string after = Utf8ToCp1251("После ");
    std::string standsAfter = Utf8ToCp1251(" стоит после ");
    std::string inTextUnder = Utf8ToCp1251("В тексте под этим заголовком стоит \"");
    std::string notListed = Utf8ToCp1251("\", а в оглавлении этого заголовка нет");
    std::string no = Utf8ToCp1251("нет ");
    std::string secondTime = Utf8ToCp1251(" встречается второй раз");
    std::string thirdTime = Utf8ToCp1251(" встречается третий раз");
    std::string again = Utf8ToCp1251(" встречается снова");
    std::string from = Utf8ToCp1251(" с ");
    std::string and_ = Utf8ToCp1251(" и ");
    std::string to = Utf8ToCp1251(" по ");
    std::string blank = Utf8ToCp1251(" ");
};

const Phrases& Phrase()
{
    static const Phrases phrases;
    return phrases;
}

std::size_t SkipBlanks(std::string_view line, std::size_t at)
{
    while (at < line.size() && line[at] == ' ')
        ++at;
    return at;
}

// Past the blanks that indent a line, eight at a look: a laid-out text indents most of its lines.
std::size_t SkipIndent(std::string_view line)
{
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;
    std::size_t at = 0;
    for (std::uint64_t eight = 0; at + sizeof eight <= line.size(); at += sizeof eight)
    {
        std::memcpy(&eight, line.data() + at, sizeof eight);
        if (eight != kEightBlanks)
            break;
    }
    return SkipBlanks(line, at);
}

// The letters of code page 1251, looked up without a call.
const std::array<bool, 256> kLetter = []
{
    std::array<bool, 256> out{};
    for (std::size_t c = 0; c < out.size(); ++c)
        out[c] = IsLetter(static_cast<unsigned char>(c));
    return out;
}();

// A word whose letters stand apart begins at: «С т а т ь я».
bool IsLetterSpacedAt(std::string_view line, std::size_t at)
{
    auto letter = [&](std::size_t i) { return i < line.size() && kLetter[static_cast<unsigned char>(line[i])]; };
    return letter(at) && letter(at + 2) && letter(at + 4) && line[at + 1] == ' ' && line[at + 3] == ' ';
}

std::string Capitalised(std::string word)
{
    if (!word.empty())
        word.front() = ToUpperChar(word.front());
    return word;
}

std::string Named(const std::string& word, Series series, const std::string& number)
{
    return word + " " + WordsOf(series).numberSign + number;
}

// Longer than any title of an act or of an appendix.
constexpr std::size_t kLongestHeading = 1000;

// The words that begin in text[from, to): the runs of blanks before a word, the first word aside.
std::ptrdiff_t BlankRuns(std::string_view text, std::size_t from, std::size_t to)
{
    std::ptrdiff_t runs = 0;
    for (std::size_t i = from; i < to; ++i)
        runs += text[i] == ' ' && (i == from || text[i - 1] != ' ') ? 1 : 0;
    return runs;
}

// Why an entry reads as body text rather than a heading; empty when it reads as a heading. The text
// may hold runs of blanks: they count as one.
std::string BodyTextReason(std::string_view text)
{
    if (text.empty())
        return {};
    const char last = text.back();
    if (last == ',' || last == ';')
        return Phrase().endsIn + last + "\"";
    static const std::vector<std::string> hanging = []
    {
        std::vector<std::string> words;
        for (const char* word : {"в", "во", "на", "с", "со", "к", "ко", "о", "об", "обо", "от", "до", "из", "за",
                                 "для", "при", "без", "под", "над", "по", "через", "у", "и", "или", "а", "но"})
            words.push_back(Utf8ToCp1251(word));
        return words;
    }();
    static const std::size_t longestHanging =
        std::max_element(hanging.begin(), hanging.end(),
                         [](const std::string& a, const std::string& b) { return a.size() < b.size(); })
            ->size();
    const std::size_t blank = text.rfind(' ');
    const std::string_view lastWord =
        blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    if (!lastWord.empty() && lastWord.size() <= longestHanging &&
        std::find(hanging.begin(), hanging.end(), lastWord) != hanging.end())
        return Phrase().endsIn + std::string(lastWord) + "\"";
    if (text.size() > kLongestHeading)
        return Phrase().tooLong + std::to_string(text.size()) + Phrase().characters;
    // A sentence ends where a word of small letters ends with a full stop and a capital begins the next
    // one; numbers, abbreviations and initials do not end one. A title may run on in short phrases
    // («Амнистия. Помилование. Судимость»): two sentences of several words each are body text.
    constexpr std::ptrdiff_t kSentenceWords = 4;
    int breaks = 0;
    std::ptrdiff_t longestAfter = 0; // words of the longest sentence after the first break
    std::size_t previous = std::string::npos;
    for (std::size_t i = text.find(". ", 3); i != std::string::npos && i + 3 < text.size(); i = text.find(". ", i + 1))
    {
        std::size_t next = i + 2;
        while (next < text.size() && text[next] == ' ')
            ++next;
        if (next + 1 >= text.size() || !IsUpperLetter(static_cast<unsigned char>(text[next])) ||
            !IsLowerLetter(static_cast<unsigned char>(text[next + 1])))
            continue;
        std::size_t from = i;
        while (from > 0 && IsLowerLetter(static_cast<unsigned char>(text[from - 1])))
            --from;
        if (i - from < 3)
            continue;
        if (previous != std::string::npos)
            longestAfter = std::max(longestAfter, BlankRuns(text, previous + 1, i));
        ++breaks;
        previous = i;
    }
    if (previous != std::string::npos)
        longestAfter = std::max(longestAfter, BlankRuns(text, previous + 1, text.size()));
    if (breaks >= 2 && longestAfter >= kSentenceWords)
        return Phrase().sentences;
    return {};
}

// The numbers a heading covers past its first one: the last it covers and the others it names. Few
// headings have them («Статьи 89 – 101 утратили силу»), so they are kept apart from the headings.
struct MoreNumbers
{
    Number last;
    std::vector<std::string> others;
};

// A heading's series and first number; more indexes its MoreNumbers when it has them.
struct ListedNumbers
{
    static constexpr std::uint32_t kNoMore = static_cast<std::uint32_t>(-1);
    Series series = Series::None;
    std::uint32_t more = kNoMore;
    Number first;
};

// One heading of the table of contents, as its entry reads. A text may have a million of them: what
// only a few have is kept in Headings beside them.
struct Heading
{
    std::size_t line = 0;
    std::size_t oglLine = 0;
    int level = 0;
    ListedNumbers numbers;
};

struct Headings
{
    std::vector<Heading> list;
    std::vector<MoreNumbers> more;
    // What a heading says in brackets it stands for: «ПОДРАЗДЕЛ III. (Главы 23 - 26-2) (Статьи 245 - 261-8)»;
    // by heading, in their order.
    std::vector<std::pair<std::size_t, HeadingNumbers>> standsFor;
    // Why an entry reads as body text rather than a heading; by heading, in their order.
    std::vector<std::pair<std::size_t, std::string>> bodyTexts;
};

// The ОГЛ and КОН lines, told by comparing with them: every marker line of a text is asked.
bool IsOglLine(std::string_view line)
{
    static const std::string ogl = MarkerLine(Marker::Ogl);
    return line == ogl;
}

bool IsKonLine(std::string_view line)
{
    static const std::string kon = MarkerLine(Marker::Kon);
    return line == kon;
}

// The first line of the heading a block stands in front of: past the blocks and marker lines that
// stand with it.
std::size_t HeadingLineAfter(const CTextLines& lines, std::size_t konLine)
{
    std::size_t i = konLine + 1;
    bool inBlock = false;
    for (; i < lines.size(); ++i)
    {
        std::string_view line = lines[i];
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // A marker line has its fixed length: a heading's text is told at one look.
        const bool marker = line.size() == kMarkerLineLength && IsMarkerLine(line);
        if (inBlock)
        {
            inBlock = !marker || !IsKonLine(line);
            continue;
        }
        if (marker && IsOglLine(line))
        {
            inBlock = true;
            continue;
        }
        if (!marker && !IsBlankLine(line))
            return i;
    }
    return std::min(konLine + 1, lines.empty() ? 0 : lines.size() - 1);
}

std::string_view WithoutCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The bytes an entry's words are parted by: its lines are joined with runs of them as one blank.
const std::array<bool, 256> kWhite = []
{
    std::array<bool, 256> out{};
    for (const char c : {' ', '\r', '\t'})
        out[static_cast<unsigned char>(c)] = true;
    return out;
}();

// The entry's text lines (the block's lines from..to, past the level line) on one line in joined, runs of
// white space as one blank.
void EntryText(const CTextLines& lines, std::size_t from, std::size_t to, std::string& joined)
{
    joined.clear();
    bool blank = false; // a blank is owed before the next word
    for (std::size_t i = from; i < to; ++i)
    {
        // An entry's lines are indented: the indent is passed over eight blanks at a look.
        std::string_view line = lines[i];
        line.remove_prefix(SkipIndent(line));
        const std::size_t size = joined.size();
        joined.resize(size + line.size() + 1);
        char* out = joined.data() + size;
        for (const char c : line)
        {
            if (kWhite[static_cast<unsigned char>(c)])
            {
                blank = out != joined.data();
                continue;
            }
            if (blank)
                *out++ = ' ';
            blank = false;
            *out++ = c;
        }
        joined.resize(static_cast<std::size_t>(out - joined.data()));
        blank = blank || !joined.empty();
    }
}

// The entry's text as EntryText gives it. An entry of one line is most often read in place: its words
// are parted by blanks alone, and runs of them read as one.
std::string_view EntryTextView(const CTextLines& lines, std::size_t from, std::size_t to,
                               std::string& joined)
{
    if (to == from + 1)
    {
        std::string_view line = lines[from];
        while (!line.empty() && kWhite[static_cast<unsigned char>(line.back())])
            line.remove_suffix(1);
        line.remove_prefix(std::min(SkipIndent(line), line.size()));
        if (line.size() <= kLongestHeading && line.find('\t') == std::string_view::npos &&
            line.find('\r') == std::string_view::npos)
            return line;
    }
    EntryText(lines, from, to, joined);
    return joined;
}

// Reads the heading of the block between the ОГЛ line ogl and the КОН line kon into headings; joined is
// room for the entry's text.
void ReadHeading(const CTextLines& lines, std::size_t ogl, std::size_t kon, std::string& joined,
                 Headings& headings)
{
    const std::size_t h = headings.list.size();
    Heading& heading = headings.list.emplace_back();
    heading.oglLine = ogl;
    heading.line = HeadingLineAfter(lines, kon);
    heading.level = ogl + 1 < kon ? EntryLevel(WithoutCr(lines[ogl + 1])) : 1;
    const std::string_view text = EntryTextView(lines, ogl + 2, kon, joined);
    HeadingNumbers numbers = ReadHeadingNumbers(text);
    heading.numbers.series = numbers.series;
    if (!(numbers.last == numbers.first) || !numbers.others.empty())
    {
        heading.numbers.more = static_cast<std::uint32_t>(headings.more.size());
        headings.more.push_back({std::move(numbers.last), std::move(numbers.others)});
    }
    heading.numbers.first = std::move(numbers.first);
    if (std::string reason = BodyTextReason(text); !reason.empty())
        headings.bodyTexts.emplace_back(h, std::move(reason));
    for (std::size_t at = text.find('('); at != std::string_view::npos; at = text.find('(', at + 1))
    {
        HeadingNumbers inBrackets = ReadHeadingNumbers(text.substr(at + 1));
        if (DivisionRank(inBrackets.series) >= 0 && !inBrackets.first.path.empty())
            headings.standsFor.emplace_back(h, std::move(inBrackets));
    }
}

// Where each sequence stands: its last number, the numbers met since it last began, and the
// shallowest level seen since its last heading (a heading above it opens a new parent).
struct SequenceState
{
    bool started = false;
    Number last;
    std::size_t heading = 0;
    int shallowestSince = 1 << 20;
    bool withPlain = false; // a number without an inserted part stood in the sequence
    bool restarts = false;  // the sequence began again at 1 under a new parent
    bool used = false;      // a heading has asked for the sequence
    // As written, counted only when a number goes back: the numbers of the headings read, which stay
    // where they are while the remarks are sought, so a long sequence costs a pointer a number.
    std::vector<const std::string*> seen;
};

class CRemarkFinder
{
public:
    CRemarkFinder(const CTextLines& lines, std::vector<char> inBlock, Headings headings)
        : m_lines(lines), m_inBlock(std::move(inBlock)), m_headings(std::move(headings.list)),
          m_more(std::move(headings.more)), m_standsFor(std::move(headings.standsFor)),
          m_bodyTexts(std::move(headings.bodyTexts))
    {
    }

    std::vector<Remark> Run()
    {
        // A dotted heading needs the one it branches from only where the document has headings of that depth.
        for (const Heading& heading : m_headings)
            if (heading.numbers.series == Series::Numbered)
                m_depths |= 1u << heading.numbers.first.path.size();
        auto bodyText = m_bodyTexts.begin();
        auto standsFor = m_standsFor.begin();
        for (std::size_t h = 0; h < m_headings.size(); ++h)
        {
            const Heading& heading = m_headings[h];
            for (; bodyText != m_bodyTexts.end() && bodyText->first == h; ++bodyText)
                Add(h, RemarkKind::BodyText, Phrase().looksLikeText + bodyText->second);
            CheckNesting(h);
            if (heading.numbers.series != Series::None && !heading.numbers.first.path.empty())
                CheckSequence(h);
            for (; standsFor != m_standsFor.end() && standsFor->first == h; ++standsFor)
            {
                const HeadingNumbers& numbers = standsFor->second;
                Step(h, numbers.series, 1, numbers.first, numbers.last, numbers.others);
            }
            for (SequenceState* state : m_used)
                state->shallowestSince = std::min(state->shallowestSince, heading.level);
        }
        FindUnlistedHeadings();
        std::stable_sort(m_remarks.begin(), m_remarks.end(),
                         [](const Remark& a, const Remark& b) { return a.line < b.line; });
        // The search for a missing heading and the look for unlisted ones may find the same place.
        m_remarks.erase(std::unique(m_remarks.begin(), m_remarks.end()), m_remarks.end());
        return std::move(m_remarks);
    }

private:
    void Add(std::size_t h, RemarkKind kind, const std::string& text)
    {
        m_remarks.push_back({m_headings[h].line, m_headings[h].oglLine, kind, text});
    }

    // The last number heading h covers, and the others it names past its first.
    const Number& LastOf(std::size_t h) const
    {
        const ListedNumbers& numbers = m_headings[h].numbers;
        return numbers.more == ListedNumbers::kNoMore ? numbers.first : m_more[numbers.more].last;
    }
    const std::vector<std::string>& OthersOf(std::size_t h) const
    {
        static const std::vector<std::string> none;
        const ListedNumbers& numbers = m_headings[h].numbers;
        return numbers.more == ListedNumbers::kNoMore ? none : m_more[numbers.more].others;
    }

    // A heading of a high kind under one of a lower kind: a chapter under an article.
    void CheckNesting(std::size_t h)
    {
        // m_ancestors holds the headings h may stand under, shallowest first.
        const Heading& heading = m_headings[h];
        while (!m_ancestors.empty() && m_headings[m_ancestors.back()].level >= heading.level)
            m_ancestors.pop_back();
        const int rank = DivisionRank(heading.numbers.series);
        if (rank >= 0 && !m_ancestors.empty())
        {
            const Heading& parent = m_headings[m_ancestors.back()];
            if (DivisionRank(parent.numbers.series) > rank)
            {
                const SeriesWords& words = WordsOf(heading.numbers.series);
                Add(h, RemarkKind::Nesting,
                    Capitalised(Named(words.nominative, heading.numbers.series, heading.numbers.first.written)) +
                        " " + words.nested + Phrase().in +
                        Named(WordsOf(parent.numbers.series).accusative, parent.numbers.series,
                              parent.numbers.first.written));
            }
        }
        m_ancestors.push_back(h);
    }

    void CheckSequence(std::size_t h)
    {
        const Heading& heading = m_headings[h];
        const Series series = heading.numbers.series;
        const Number& number = heading.numbers.first;
        const std::size_t depth = series == Series::Numbered ? number.path.size() : 1;
        // A dotted number opens a branch of the number it continues: 2.1 stands under 2, which must be
        // the last heading one level up since that level last began again.
        if (series == Series::Numbered && depth > 1)
        {
            Number parent = number;
            parent.path.pop_back();
            parent.written = JoinPath(parent.path);
            SequenceState& above = State(series, depth - 1);
            if ((m_depths & (1u << (depth - 1))) != 0 &&
                (!above.started || above.last.path != parent.path || above.shallowestSince < heading.level - 1))
            {
                const SeriesWords& words = WordsOf(series);
                Add(h, RemarkKind::Gap,
                    Phrase().before + Named(words.instrumental, series, number.written) +
                        Phrase().noMid + Named(words.genitive, series, parent.written));
                PointAtMissing(h, series, above.started ? m_headings[above.heading].line : 0, parent, parent);
                above.started = true;
                above.last = parent;
                above.heading = h;
                above.shallowestSince = heading.level - 1;
                above.seen.assign(1, &m_madeNumbers.emplace_back(parent.written));
            }
        }
        Step(h, series, depth, number, LastOf(h), OthersOf(h));
        // A deeper branch begins again under a new number.
        for (std::size_t d = depth + 1; series == Series::Numbered && d < kDepths && m_states[Slot(series, d)].used; ++d)
            m_states[Slot(series, d)].started = false;
    }

    // What a number says about the one before it in its sequence: it follows, or numbers are missing
    // between them (from, to), or it goes back.
    struct Verdict
    {
        enum
        {
            Follows,
            Gap,
            Back
        } kind = Follows;
        Number from;
        Number to;
    };

    // prev and cur are a value with the inserted values after it: «18-1» after «18» follows, as «18-2»
    // after «18-1», «19» after «18-2» and «123-20-1» after «123-20» do; so do «2.13» after «2.12» and
    // «3.1» after «2.12» where articles are numbered within their chapters (no number of the sequence
    // stands alone: withPlain is false).
    static Verdict Compare(const Number& prev, const Number& cur, bool withPlain)
    {
        const NumberPath& p = prev.path;
        const NumberPath& c = cur.path;
        auto number = [&cur](const NumberPath& path)
        {
            Number n = cur;
            n.path = path;
            n.written = WrittenPath(n.path, cur);
            return n;
        };
        auto gap = [](Number from, Number to) { return Verdict{Verdict::Gap, std::move(from), std::move(to)}; };
        if (!(p < c))
            return {Verdict::Back, {}, {}};
        // Inserted numbers in letters or superscripts need not come in order.
        const bool counted = c.size() == 1 || cur.separator == '.' || cur.separator == '-';
        std::size_t k = 0;
        while (k < p.size() && k < c.size() && p[k] == c[k])
            ++k;
        auto with = [&c, k](int value)
        {
            NumberPath path = c;
            path.resize(k);
            path.push_back(value);
            return path;
        };
        if (k == p.size())
        {
            // A level opened under prev: «18-1» after «18».
            if (c.size() == k + 1 && (c[k] == 1 || !counted))
                return {};
            return c[k] > 1 ? gap(number(with(1)), number(with(c[k] - 1))) : gap(number(with(1)), number(with(1)));
        }
        if (c.size() == k + 1 && (c[k] == p[k] + 1 || !counted))
            return {};
        if (k == 0 && c.size() == 2 && p.size() == 2 && c[0] == p[0] + 1 && !withPlain)
        {
            const NumberPath first = {c[0], 1};
            return c[1] == 1 || !counted ? Verdict{} : gap(number(first), number({c[0], c[1] - 1}));
        }
        // «19-1» after «17» misses 18 and 19; «18-3» after «18-1» misses 18-2.
        const int to = c.size() == k + 1 ? c[k] - 1 : c[k] - (k == 0 && withPlain ? 0 : 1);
        return gap(number(with(p[k] + 1)), number(with(std::max(to, p[k] + 1))));
    }

    // A path written as the numbers of its sequence are: «18-2», «IV», «2.1».
    static std::string WrittenPath(const NumberPath& path, const Number& like)
    {
        if (path.size() == 1)
        {
            Number n = like;
            n.path = path;
            return WrittenLike(n, like);
        }
        std::string out;
        for (std::size_t i = 0; i < path.size(); ++i)
            out += (i ? std::string(1, like.separator ? like.separator : '-') : std::string()) + std::to_string(path[i]);
        return out;
    }

    // Checks the number against the sequence it continues and makes it the sequence's last one.
    void Step(std::size_t h, Series series, std::size_t depth, const Number& number,
              const Number& lastCovered, const std::vector<std::string>& others)
    {
        SequenceState& state = State(series, depth);
        const Heading& heading = m_headings[h];
        const bool newParent = state.started && state.shallowestSince < heading.level;
        const bool sameBranch =
            state.started && (series != Series::Numbered || std::equal(number.path.begin(), number.path.end() - 1, state.last.path.begin(),
                                        state.last.path.end() - 1));
        // Numbered headings are compared by their last number within their branch.
        auto comparable = [series](const Number& n, Number& scratch) -> const Number&
        {
            if (series != Series::Numbered)
                return n;
            scratch = n;
            scratch.path = {n.path.back()};
            return scratch;
        };
        Number curScratch;
        Number lastScratch;
        const Number& cur = comparable(number, curScratch);
        const SeriesWords& words = WordsOf(series);
        const int value = cur.path[0];
        // «1.1» may begin articles numbered within chapters; «1-1» is inserted after a lost «1».
        const bool startsAtOne = value == 1 && (cur.path.size() == 1 || (cur.path[1] == 1 && cur.separator == '.'));
        const int missingTo = cur.path.size() == 1 ? value - 1 : cur.separator == '.' ? 0 : value;
        // Articles numbered within their chapters begin again at «13.1» under the next chapter listed,
        // whatever became of the articles of the chapters between (a repealed chapter has none).
        const bool opensBranch = newParent && !state.withPlain && cur.separator == '.' && cur.path.size() == 2 &&
                                 cur.path[1] == 1 && cur.path[0] > state.last.path[0];
        // The first of a sequence, of a new branch or under a new parent may begin anywhere but a little
        // past 1.
        const bool begins = !state.started || !sameBranch || newParent;
        // Under a new parent the numbers go on, unless the sequence began again at 1 under an earlier one.
        const bool continues = state.started && sameBranch && cur.path.size() == 1 &&
                               value == (series == Series::Numbered ? state.last.path.back() : state.last.path[0]) + 1 &&
                               !(newParent && state.restarts);
        if (begins && !continues && !startsAtOne && missingTo >= 1 && value <= kLittlePastOne &&
            (depth > 1 || !state.started || newParent))
        {
            state.seen.clear();
            Add(h, RemarkKind::Gap,
                Capitalised(Named(words.nominative, series, number.written)) + Phrase().comes + words.first + ": " +
                    Missing(words, series, WithPrefix(number, MissingNumber(cur, 1)),
                            WithPrefix(number, MissingNumber(cur, missingTo))));
            PointAtMissing(h, series, state.started ? m_headings[state.heading].line : 0,
                           WithPrefix(number, MissingNumber(cur, 1)), WithPrefix(number, MissingNumber(cur, missingTo)));
        }
        else if (!state.started || !sameBranch || (startsAtOne && newParent) || opensBranch)
            state.seen.clear();
        else if (const Number& previous = comparable(state.last, lastScratch);
                 previous.path.size() == 1 && cur.path.size() == 1 && value == previous.path[0] + 1)
        {
            // The next number, as most are.
        }
        else
        {
            const Verdict verdict = Compare(previous, cur, state.withPlain);
            if (verdict.kind == Verdict::Gap)
            {
                Add(h, RemarkKind::Gap,
                    Phrase().after + Named(words.genitive, series, state.last.written) +
                        Phrase().comes + Named(words.nominative, series, number.written) + ": " +
                        Missing(words, series, WithPrefix(number, verdict.from), WithPrefix(number, verdict.to)));
                PointAtMissing(h, series, m_headings[state.heading].line, WithPrefix(number, verdict.from),
                               WithPrefix(number, verdict.to));
            }
            else if (verdict.kind == Verdict::Back)
            {
                const auto before =
                    std::count_if(state.seen.begin(), state.seen.end(),
                                  [&](const std::string* seen) { return *seen == number.written; });
                if (before > 0)
                    Add(h, RemarkKind::Repeat,
                        Capitalised(Named(words.nominative, series, number.written)) +
                            (before == 1   ? Phrase().secondTime
                             : before == 2 ? Phrase().thirdTime
                                           : Phrase().again));
                else
                    Add(h, RemarkKind::Order,
                        Capitalised(Named(words.nominative, series, number.written)) + Phrase().standsAfter +
                            Named(words.genitive, series, state.last.written));
            }
        }
        state.restarts = state.restarts || (startsAtOne && newParent);
        if (!state.started || !sameBranch || (startsAtOne && newParent))
            state.withPlain = false;
        state.withPlain = state.withPlain || cur.path.size() == 1;
        state.started = true;
        state.last = lastCovered;
        state.heading = h;
        state.shallowestSince = 1 << 20;
        state.seen.push_back(&number.written);
        for (const std::string& written : others)
            if (written != number.written)
                state.seen.push_back(&written);
    }

    // A missing heading is most often in the text, in a form the recognition did not take: the heading
    // under which the text names it gets a remark of its own, so the operator is led to the place. At
    // most a few numbers are sought: a long run of missing numbers was left out of the document.
    void PointAtMissing(std::size_t h, Series series, std::size_t fromLine, const Number& from, const Number& to)
    {
        constexpr int kSought = 3;
        if (from.path.size() != to.path.size() || to.path.back() - from.path.back() >= kSought)
            return;
        std::vector<std::string> missing;
        for (int value = from.path.back(); value <= to.path.back(); ++value)
        {
            Number n = from;
            n.path.back() = value;
            missing.push_back(from.separator && from.path.size() > 1
                                  ? std::to_string(from.path[0]) + from.separator + std::to_string(value)
                                  : WrittenLike(n, from));
        }
        const std::vector<std::size_t> found = FindHeadingTexts(series, missing, fromLine, m_headings[h].line);
        for (std::size_t k = 0; k < missing.size(); ++k)
        {
            if (found[k] == kNotFound)
                continue;
            std::size_t under = h;
            while (under > 0 && m_headings[under].line > found[k])
                --under;
            // An article's numbered paragraphs are its clauses, not headings.
            if ((series == Series::Numbered || series == Series::Roman) &&
                m_headings[under].numbers.series == Series::Article)
                continue;
            const SeriesWords& words = WordsOf(series);
            Add(under, RemarkKind::Gap,
                Phrase().inTextUnder +
                    Capitalised(Named(words.nominative, series, missing[k])) +
                    Phrase().notListed);
        }
    }

    // A sequence that begins at 2 or 3 has lost its first heading; one that begins further on is an
    // extract or a document numbered on from another.
    static constexpr int kLittlePastOne = 3;
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    // For each of the numbers, the first line in (from, to), outside the blocks, where the heading of
    // that number begins: «Статья 64» (in capitals or letter-spaced too; «$ 5» for «§ 5»), «Приложение
    // N 2», «2.1.»; a reference in a sentence is written in small letters. The stretch is read once for
    // all of them.
    std::vector<std::size_t> FindHeadingTexts(Series series, const std::vector<std::string>& numbers,
                                              std::size_t from, std::size_t to) const
    {
        std::vector<std::size_t> found(numbers.size(), kNotFound);
        std::size_t left = numbers.size();
        const bool byWord = series != Series::Numbered && series != Series::Roman;
        const std::string nominative = Capitalised(WordsOf(series).nominative);
        const std::vector<std::string> forms =
            series == Series::Paragraph ? std::vector<std::string>{nominative, "$", std::string(1, kDosSectionSign)}
                                        : std::vector<std::string>{nominative, ToUpper(nominative)};
        const auto note = [&](std::string_view line, std::size_t at, std::size_t i, std::string_view after)
        {
            for (std::size_t k = 0; k < numbers.size(); ++k)
                if (found[k] == kNotFound && line.substr(at, numbers[k].size()) == numbers[k] &&
                    line.substr(at + numbers[k].size(), after.size()) == after &&
                    (byWord ? EndsNumber(line, at + numbers[k].size())
                            : at + numbers[k].size() + after.size() < line.size() &&
                                  IsUpperLetter(static_cast<unsigned char>(line[at + numbers[k].size() + after.size()]))))
                {
                    found[k] = i;
                    --left;
                }
        };
        std::string closedUp;
        for (std::size_t i = from + 1; i < std::min(to, m_lines.size()) && left > 0; ++i)
        {
            if (m_inBlock[i])
                continue;
            std::string_view line = WithoutCr(m_lines[i]);
            std::size_t first = SkipBlanks(line, 0);
            if (IsLetterSpacedAt(line, first))
            {
                closedUp = CloseUpLetterSpacing(line);
                line = closedUp;
                first = 0;
            }
            if (!byWord)
            {
                // «2.1. Название» at the start of the line or of a sentence.
                note(line, first, i, ". ");
                for (std::size_t stop = line.find(". "); stop != std::string_view::npos; stop = line.find(". ", stop + 1))
                    note(line, stop + 2, i, ". ");
                continue;
            }
            for (const std::string& form : forms)
                for (std::size_t pos = line.find(form); pos != std::string_view::npos; pos = line.find(form, pos + 1))
                {
                    if (pos > 0 && line[pos - 1] != ' ' && line[pos - 1] != '.' && line[pos - 1] != '"')
                        continue;
                    std::size_t at = SkipBlanks(line, pos + form.size());
                    if (at == pos + form.size())
                        continue;
                    if (series == Series::Appendix && at < line.size() && (line[at] == 'N' || line.substr(at, 1) == HeadingWords().numberSign))
                        at = SkipBlanks(line, at + 1);
                    note(line, at, i, "");
                }
        }
        return found;
    }

    // The number ends at: the end of the line, a blank, or a full stop that no digit follows.
    static bool EndsNumber(std::string_view line, std::size_t at)
    {
        if (at >= line.size() || line[at] == ' ')
            return true;
        return line[at] == '.' && (at + 1 >= line.size() || !IsDigit(static_cast<unsigned char>(line[at + 1])));
    }

    // A heading runs over this many lines at most.
    static constexpr std::size_t kHeadingLines = 4;

    // A heading the table of contents does not list, written in the text as a heading («Статья 63-1.
    // Название» at the start of a line or of a sentence) with a number that falls between the listed
    // headings of its sequence around it: an inserted article that was missed leaves no gap.
    void FindUnlistedHeadings()
    {
        const auto sought = [](const Heading& heading)
        {
            const Series series = heading.numbers.series;
            return (DivisionRank(series) >= 0 || series == Series::Appendix) && !heading.numbers.first.path.empty();
        };
        if (std::none_of(m_headings.begin(), m_headings.end(), sought))
            return;
        // The text is read once, heading by heading: the lines from a heading to the next one stand
        // under it.
        for (std::size_t under = 0; under < m_headings.size(); ++under)
        {
            const std::size_t from = m_headings[under].line;
            const std::size_t to = under + 1 < m_headings.size() ? m_headings[under + 1].line : m_lines.size();
            // The heading's own lines: its paragraph, of a few lines at most.
            std::size_t i = from;
            for (; i < to && i - from < kHeadingLines && !IsBlankLine(WithoutCr(m_lines[i])); ++i)
                if (!m_inBlock[i])
                    FindUnlistedInHeadingLine(i, under);
            // The body under it: most of the text, read at the least cost.
            for (; i < to; ++i)
            {
                const std::string_view line = WithoutCr(m_lines[i]);
                if (m_inBlock[i] || line.size() < 2)
                    continue;
                std::size_t lineStart = 0;
                if (line[0] == ' ' || line[0] == '_')
                    lineStart = LineStart(line);
                if (lineStart < line.size() && MayBeginHeadingWord(line[lineStart]) && from != i)
                    CheckUnlisted(i, under, line, lineStart);
                const void* stop = std::memchr(line.data(), '.', line.size());
                const void* bracket = std::memchr(line.data(), ')', line.size());
                if (stop || bracket)
                    FindUnlistedAfterMarks(i, under, line, static_cast<const char*>(stop),
                                           static_cast<const char*>(bracket));
            }
        }
    }

    struct Start
    {
        std::string word;
        bool capitals; // may stand anywhere after a blank, not only where a sentence begins
    };

    static const std::vector<Start>& Starts()
    {
        static const std::vector<Start> starts = []
        {
            std::vector<Start> out;
            for (Series series : {Series::Article, Series::Chapter, Series::Section, Series::Subsection, Series::Part,
                                  Series::Paragraph, Series::Appendix})
            {
                const std::string word = Capitalised(WordsOf(series).nominative);
                out.push_back({word, false});
                out.push_back({ToUpper(word), true});
            }
            return out;
        }();
        return starts;
    }

    // The first bytes of the words (and of «$» that stands for «§»): most places a heading may begin
    // at hold none, and are passed over at the cost of one look.
    static bool MayBeginHeadingWord(char c)
    {
        return m_firstBytes[static_cast<unsigned char>(c)];
    }

    static std::size_t TwoBytes(char first, char second)
    {
        return static_cast<std::size_t>(static_cast<unsigned char>(first)) << 8 | static_cast<unsigned char>(second);
    }

    // Most capitals that begin a sentence begin no heading word: their second byte tells. A sign («§5.»,
    // «$ 5.») may be followed by a digit, a blank or a letter; a letter by the second letter of a
    // heading word, or by the blank of a letter-spaced one.
    static std::bitset<1u << 16> FirstTwoBytes()
    {
        std::bitset<1u << 16> out;
        std::array<bool, 256> afterSign{};
        for (const Start& start : Starts())
            afterSign[static_cast<unsigned char>(start.word.size() > 1 ? start.word[1] : ' ')] = true;
        for (char digit = '0'; digit <= '9'; ++digit)
            afterSign[static_cast<unsigned char>(digit)] = true;
        std::vector<char> signs = {'$', kDosSectionSign};
        for (const Start& start : Starts())
        {
            if (start.word.size() == 1)
                signs.push_back(start.word.front());
            else
                out[TwoBytes(start.word[0], start.word[1])] = true;
            out[TwoBytes(start.word[0], ' ')] = true;
        }
        for (const char sign : signs)
            for (std::size_t second = 0; second < afterSign.size(); ++second)
                if (afterSign[second])
                    out[TwoBytes(sign, static_cast<char>(second))] = true;
        return out;
    }

    // For each two bytes a text may begin with, the first of the words (in the order of Starts) that
    // begins with them; the number of words when none does.
    static std::vector<std::uint8_t> FirstStarts()
    {
        const std::vector<Start>& starts = Starts();
        std::vector<std::uint8_t> out(1u << 16, static_cast<std::uint8_t>(starts.size()));
        for (std::size_t k = starts.size(); k-- > 0;)
        {
            const std::string& word = starts[k].word;
            if (word.size() > 1)
                out[TwoBytes(word[0], word[1])] = static_cast<std::uint8_t>(k);
            else
                for (std::size_t second = 0; second < 256; ++second)
                    out[TwoBytes(word[0], static_cast<char>(second))] = static_cast<std::uint8_t>(k);
        }
        return out;
    }

    static std::array<bool, 256> FirstBytes()
    {
        std::array<bool, 256> out{};
        for (const Start& start : Starts())
            out[static_cast<unsigned char>(start.word.front())] = true;
        out[static_cast<unsigned char>('$')] = true;
        out[static_cast<unsigned char>(kDosSectionSign)] = true;
        return out;
    }

    // The unlisted headings that begin in line i of the heading under's own lines. Only where a heading
    // can begin is looked at: the start of the line (past a form's line of «_»), past the blanks after a
    // full stop or a closing bracket (as in every line of the body), and at every word in capitals (a
    // heading in capitals run on into another one).
    void FindUnlistedInHeadingLine(std::size_t i, std::size_t under)
    {
        const std::string_view line = WithoutCr(m_lines[i]);
        if (line.empty())
            return;
        const std::size_t lineStart = LineStart(line);
        const auto mayBegin = [&](std::size_t at) { return at < line.size() && MayBeginHeadingWord(line[at]); };
        // The listed heading itself is not looked at.
        if (mayBegin(lineStart) && m_headings[under].line != i)
            CheckUnlisted(i, under, line, lineStart);
        const void* stop = std::memchr(line.data(), '.', line.size());
        const void* bracket = std::memchr(line.data(), ')', line.size());
        if (stop || bracket)
            FindUnlistedAfterMarks(i, under, line, static_cast<const char*>(stop), static_cast<const char*>(bracket));
        // Every word after a blank, looked at by its first byte.
        for (std::size_t at = 1; at < line.size(); ++at)
            if (MayBeginHeadingWord(line[at]) && line[at - 1] == ' ' &&
                (at + 1 >= line.size() || !IsLowerLetter(static_cast<unsigned char>(line[at + 1]))) &&
                (m_headings[under].line != i || at != lineStart))
                CheckUnlisted(i, under, line, at);
    }

    // Where a line's text begins: past its indent and a form's line of «_».
    static std::size_t LineStart(std::string_view line)
    {
        std::size_t at = SkipIndent(line);
        while (at < line.size() && (line[at] == ' ' || line[at] == '_'))
            ++at;
        return at;
    }

    // The unlisted headings that begin past the blanks after a full stop or a closing bracket of line i
    // (under the heading under); stop and bracket are the first of each in the line, or null.
    void FindUnlistedAfterMarks(std::size_t i, std::size_t under, std::string_view line, const char* stop,
                                const char* bracket)
    {
        const char* const end = line.data() + line.size();
        const auto next = [end](const char* from, char mark)
        {
            const void* found = from < end ? std::memchr(from, mark, static_cast<std::size_t>(end - from)) : nullptr;
            return found ? static_cast<const char*>(found) : end;
        };
        stop = stop ? stop : end;
        bracket = bracket ? bracket : end;
        // In the order of the line.
        while (stop != end || bracket != end)
        {
            const char* mark = std::min(stop, bracket);
            if (mark == stop)
                stop = next(stop + 1, '.');
            else
                bracket = next(bracket + 1, ')');
            const auto at = static_cast<std::size_t>(mark - line.data()) + 1;
            if (at < line.size() && line[at] == ' ')
                if (const std::size_t word = SkipBlanks(line, at); word < line.size() && MayBeginHeadingWord(line[word]))
                    CheckUnlisted(i, under, line, word);
        }
    }

    // The heading word that may begin at position at of line, read as the recognition reads a heading:
    // «С т а т ь я» as one word, «$» as «§».
    void CheckUnlisted(std::size_t i, std::size_t under, std::string_view line, std::size_t at)
    {
        static const std::string sectionSign = Utf8ToCp1251("§");
        std::string_view text = line.substr(at);
        if (text.size() < 2 || !m_firstTwoBytes[TwoBytes(text[0], text[1])])
            return;
        std::string readable;
        const bool sign = text[0] == '$' || text[0] == kDosSectionSign;
        if (sign)
        {
            readable = sectionSign;
            readable += text.substr(1);
            text = readable;
        }
        else if (text[1] == ' ' && IsLetterSpacedAt(text, 0))
        {
            readable = CloseUpLetterSpacing(text);
            text = readable;
        }
        const std::vector<Start>& starts = Starts();
        // No word before the first one with the text's first two bytes can begin it.
        const std::size_t from = text.size() < 2 ? 0 : m_firstStart[TwoBytes(text[0], text[1])];
        const auto start = std::find_if(
            starts.begin() + static_cast<std::ptrdiff_t>(from), starts.end(),
            [&](const Start& s) { return text[0] == s.word[0] && text.substr(0, s.word.size()) == s.word; });
        if (start == starts.end() || (!start->capitals && !BeginsSentence(line, at)))
            return;
        NoteUnlisted(i, under, text, sign);
    }

    // The heading that text (in line i, under heading under) begins with, when the table of contents
    // does not list it and its number falls between the listed ones around it.
    void NoteUnlisted(std::size_t i, std::size_t under, std::string_view text, bool sign)
    {
        if (!ReadsAsHeading(text, sign))
            return;
        const HeadingNumbers found = ReadHeadingNumbers(text);
        if (found.first.path.empty())
            return;
        // The listed headings by sequence, gathered when the first candidate is read: most texts have
        // none, and a long table of contents is not gathered for nothing.
        if (!m_listedGathered)
        {
            m_listedGathered = true;
            for (std::size_t h = 0; h < m_headings.size(); ++h)
            {
                const Series series = m_headings[h].numbers.series;
                if ((DivisionRank(series) >= 0 || series == Series::Appendix) &&
                    !m_headings[h].numbers.first.path.empty())
                    m_listed[static_cast<std::size_t>(series)].push_back(h);
            }
        }
        const std::vector<std::size_t>& sequence = m_listed[static_cast<std::size_t>(found.series)];
        if (sequence.empty())
            return;
        // Between the listed headings of its sequence before and after the line.
        const auto next = std::upper_bound(sequence.begin(), sequence.end(), i,
                                           [this](std::size_t line, std::size_t h) { return line < m_headings[h].line; });
        const bool afterPrevious =
            next == sequence.begin() || m_headings[*std::prev(next)].numbers.first.path < found.first.path;
        const bool beforeNext = next == sequence.end() || found.first.path < m_headings[*next].numbers.first.path;
        if (!afterPrevious || !beforeNext)
            return;
        // A number the table of contents names already, as one of a list or a range, is no missing one.
        for (const std::size_t h : sequence)
        {
            const std::vector<std::string>& others = OthersOf(h);
            if (m_headings[h].numbers.first.written == found.first.written ||
                std::find(others.begin(), others.end(), found.first.written) != others.end())
                return;
        }
        const SeriesWords& words = WordsOf(found.series);
        Add(under, RemarkKind::Gap,
            Phrase().inTextUnder +
                Capitalised(Named(words.nominative, found.series, found.first.written)) +
                Phrase().notListed);
    }

    // A heading may begin at position at of the line: at its start, or past blanks that follow a mark
    // that ends a sentence or a line of a form («.», «:», «)», «_»: anything but a letter, a digit or a
    // comma).
    static bool BeginsSentence(std::string_view line, std::size_t at)
    {
        std::size_t before = at;
        while (before > 0 && line[before - 1] == ' ')
            --before;
        if (before == 0)
            return true;
        const auto c = static_cast<unsigned char>(line[before - 1]);
        return !IsLetter(c) && !IsDigit(c) && c != ',';
    }

    // «Статья 63-1. Название», «ГЛАВА ВТОРАЯ», «Раздел V.», «Приложение N 2 к приказу»: the word, a
    // number closed by a full stop and then a capital letter, or ending the line (an appendix's caption
    // goes on with «к»); «Статья 5 настоящего Закона» is a reference. Whether the number is one is left
    // to ReadHeadingNumbers.
    static bool ReadsAsHeading(std::string_view text, bool closedNumber)
    {
        static const std::string to = Utf8ToCp1251(" к ");
        std::size_t at = text.find(' ');
        auto skipBlanks = [&]
        {
            while (at < text.size() && text[at] == ' ')
                ++at;
        };
        skipBlanks();
        if (at < text.size() && (text[at] == 'N' || text.substr(at, 1) == HeadingWords().numberSign) && at + 1 < text.size() &&
            (text[at + 1] == ' ' || IsDigit(static_cast<unsigned char>(text[at + 1]))))
        {
            ++at;
            skipBlanks();
        }
        if (at >= text.size())
            return false;
        const std::size_t end = std::min(text.find(' ', at), text.size());
        // «$ 5.» stands for «§ 5.» only with its full stop: «$ 100» is a sum of money.
        if (closedNumber && text[end - 1] != '.')
            return false;
        if (end == text.size())
            return true;
        if (text.substr(end, to.size()) == to)
            return true;
        if (text[end - 1] != '.')
            return false;
        at = end;
        skipBlanks();
        return at >= text.size() || IsUpperLetter(static_cast<unsigned char>(text[at])) || text[at] == '"';
    }

    // A missing number of a numbered heading's branch is named with the branch: 2.3 rather than 3.
    static Number WithPrefix(const Number& like, Number n)
    {
        if (like.path.size() > 1 && n.path.size() == 1 && !like.separator)
        {
            NumberPath path = like.path;
            path.back() = n.path[0];
            n.path = path;
            n.written = JoinPath(path);
        }
        return n;
    }

    static Number MissingNumber(const Number& like, int value)
    {
        Number n = like;
        n.path = {value};
        n.separator = 0;
        n.written = WrittenLike(n, like);
        return n;
    }

    // «нет статьи 64», «нет статей 64 и 65», «нет статей с 64 по 70».
    static std::string Missing(const SeriesWords& words, Series series, const Number& from, const Number& to)
    {
        if (from.written == to.written)
            return Phrase().no + Named(words.genitive, series, from.written);
        const bool two = from.path.size() == to.path.size() && from.path.back() + 1 == to.path.back();
        return Phrase().no + words.plural + (two ? Phrase().blank : Phrase().from) + words.numberSign +
               from.written + (two ? Phrase().and_ : Phrase().to) + words.numberSign + to.written;
    }

    // The sequences by series and by the depth of a numbered heading (1 for the others).
    static constexpr std::size_t kDepths = NumberPath::kCapacity + 1;
    static std::size_t Slot(Series series, std::size_t depth) { return static_cast<std::size_t>(series) * kDepths + depth; }

    SequenceState& State(Series series, std::size_t depth)
    {
        SequenceState& state = m_states[Slot(series, depth)];
        if (!state.used)
        {
            state.used = true;
            m_used.push_back(&state);
        }
        return state;
    }

    const CTextLines& m_lines;
    static inline const std::array<bool, 256> m_firstBytes = FirstBytes();
    static inline const std::bitset<1u << 16> m_firstTwoBytes = FirstTwoBytes();
    static inline const std::vector<std::uint8_t> m_firstStart = FirstStarts();
    std::vector<char> m_inBlock; // 1 for the lines of the ОГЛ…КОН blocks the headings were read from
    std::vector<Heading> m_headings;
    std::vector<MoreNumbers> m_more;
    std::vector<std::pair<std::size_t, HeadingNumbers>> m_standsFor;
    std::vector<std::pair<std::size_t, std::string>> m_bodyTexts;
    std::deque<std::string> m_madeNumbers; // numbers the sequences were given that no heading wrote
    std::vector<SequenceState> m_states = std::vector<SequenceState>(kSeriesCount * kDepths);
    std::vector<SequenceState*> m_used; // the states asked for, in m_states
    unsigned m_depths = 0;              // bit d: a numbered heading of depth d stands in the document
    std::vector<std::size_t> m_ancestors;
    std::vector<Remark> m_remarks;
    bool m_listedGathered = false;
    // The listed headings of each sequence that is looked for in the text, in the order of the text.
    std::array<std::vector<std::size_t>, kSeriesCount> m_listed;
};
} // namespace

std::string_view RemarkKindName(RemarkKind kind)
{
    switch (kind)
    {
    case RemarkKind::Gap:
        return "gap";
    case RemarkKind::Repeat:
        return "repeat";
    case RemarkKind::Order:
        return "order";
    case RemarkKind::Nesting:
        return "nesting";
    case RemarkKind::BodyText:
        return "body";
    }
    return "gap";
}

std::vector<Remark> FindRemarks(const CTextLines& lines)
{
    // One pass over the lines finds the blocks (only marker lines are looked at twice); the headings
    // are then read into a list made once to their number, as a text may hold a million of them.
    std::vector<std::pair<std::size_t, std::size_t>> blocks; // the ОГЛ and КОН lines of each block
    std::vector<char> inBlock(lines.size(), 0);
    std::size_t openedAt = 0;
    bool open = false;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        // A marker line has its fixed length: the others are passed over at one look.
        const std::string_view line = WithoutCr(lines[i]);
        if (line.size() != kMarkerLineLength || !IsMarkerLine(line))
            continue;
        if (open && IsKonLine(line))
        {
            blocks.emplace_back(openedAt, i);
            std::fill(inBlock.begin() + static_cast<std::ptrdiff_t>(openedAt),
                      inBlock.begin() + static_cast<std::ptrdiff_t>(i + 1), 1);
            open = false;
        }
        else if (IsOglLine(line))
        {
            openedAt = i;
            open = true;
        }
    }
    Headings headings;
    headings.list.reserve(blocks.size());
    std::string text;
    text.reserve(256);
    for (const auto& [ogl, kon] : blocks)
        ReadHeading(lines, ogl, kon, text, headings);
    blocks.clear();
    blocks.shrink_to_fit();
    return CRemarkFinder(lines, std::move(inBlock), std::move(headings)).Run();
}
