#include "core/remarks/Remarks.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/entries/TocEntryList.h"
#include "core/remarks/HeadingNumbers.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

namespace
{
// How a series is named in the messages: «После статьи 63 идёт статья 65: нет статьи 64».
struct SeriesWords
{
    std::string nominative;  // статья
    std::string genitive;    // статьи
    std::string plural;      // статей
    std::string accusative;  // статью
    std::string instrumental; // статьёй
    std::string nested;      // вложена
    std::string numberSign;  // «№ » of appendices
};

const SeriesWords& WordsOf(Series series)
{
    auto make = [](const HeadingNames& names, const std::string& sign)
    {
        return SeriesWords{names.nominative, names.genitive, names.plural, names.accusative,
                           names.instrumental, names.nested, sign};
    };
    const HeadingVocabulary& w = HeadingWords();
    static const std::array<SeriesWords, kSeriesCount> words = {
        make(w.articleNames, ""),    make(w.chapterNames, ""), make(w.sectionNames, ""),
        make(w.subsectionNames, ""), make(w.partNames, ""),    make(w.paragraphNames, ""),
        make(w.headingNames, ""),    make(w.headingNames, ""), make(w.appendixNames, w.numberSign + " "),
    };
    return words[static_cast<std::size_t>(series)];
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

// Why an entry reads as body text rather than a heading; empty when it reads as a heading.
std::string BodyTextReason(const std::string& text)
{
    // Longer than any title of an act or of an appendix.
    constexpr std::size_t kLongestHeading = 1000;
    if (text.empty())
        return {};
    const char last = text.back();
    if (last == ',' || last == ';')
        return Utf8ToCp1251("оканчивается на \"") + last + "\"";
    static const std::set<std::string> hanging = []
    {
        std::set<std::string> words;
        for (const char* word : {"в", "во", "на", "с", "со", "к", "ко", "о", "об", "обо", "от", "до", "из", "за",
                                 "для", "при", "без", "под", "над", "по", "через", "у", "и", "или", "а", "но"})
            words.insert(Utf8ToCp1251(word));
        return words;
    }();
    const std::size_t blank = text.rfind(' ');
    if (blank != std::string::npos && hanging.count(text.substr(blank + 1)))
        return Utf8ToCp1251("оканчивается на \"") + text.substr(blank + 1) + "\"";
    if (text.size() > kLongestHeading)
        return Utf8ToCp1251("слишком длинный (") + std::to_string(text.size()) + Utf8ToCp1251(" знаков)");
    // A sentence ends where a word of small letters ends with a full stop and a capital begins the next
    // one; numbers, abbreviations and initials do not end one. A title may run on in short phrases
    // («Амнистия. Помилование. Судимость»): two sentences of several words each are body text.
    constexpr int kSentenceWords = 4;
    int breaks = 0;
    int words = 0;        // of the sentence after the last break
    int longestAfter = 0; // words of the longest sentence after the first break
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == ' ')
            ++words;
        if (i < 3 || i + 3 >= text.size() || text[i] != '.' || text[i + 1] != ' ' ||
            !IsUpperLetter(static_cast<unsigned char>(text[i + 2])) ||
            !IsLowerLetter(static_cast<unsigned char>(text[i + 3])))
            continue;
        std::size_t from = i;
        while (from > 0 && IsLowerLetter(static_cast<unsigned char>(text[from - 1])))
            --from;
        if (i - from < 3)
            continue;
        if (breaks > 0)
            longestAfter = std::max(longestAfter, words);
        ++breaks;
        words = 0;
    }
    longestAfter = std::max(longestAfter, breaks > 0 ? words : 0);
    if (breaks >= 2 && longestAfter >= kSentenceWords)
        return Utf8ToCp1251("в нём несколько предложений");
    return {};
}

// One heading of the table of contents, as its entry reads.
struct Heading
{
    std::size_t line = 0;
    std::size_t oglLine = 0;
    std::size_t konLine = 0;
    int level = 0;
    HeadingNumbers numbers;
    // What a heading says in brackets it stands for: «ПОДРАЗДЕЛ III. (Главы 23 - 26-2) (Статьи 245 - 261-8)».
    std::vector<HeadingNumbers> standsFor;
    std::string text;
};

// The first line of the heading a block stands in front of: past the blocks and marker lines that
// stand with it.
std::size_t HeadingLineAfter(const std::vector<std::string>& lines, std::size_t konLine)
{
    std::size_t i = konLine + 1;
    bool inBlock = false;
    for (; i < lines.size(); ++i)
    {
        std::string_view line = lines[i];
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (inBlock)
        {
            inBlock = !IsMarker(line, Marker::Kon);
            continue;
        }
        if (IsMarker(line, Marker::Ogl))
        {
            inBlock = true;
            continue;
        }
        if (!IsMarkerLine(line) && !IsBlankLine(line))
            return i;
    }
    return std::min(konLine + 1, lines.empty() ? 0 : lines.size() - 1);
}

// The entry's text lines (past the level line) on one line, runs of white space as one blank.
std::string EntryText(std::string_view text)
{
    const std::size_t firstBreak = text.find('\n');
    std::string joined;
    if (firstBreak == std::string_view::npos)
        return joined;
    joined.reserve(text.size() - firstBreak);
    bool blank = false;
    for (const char c : text.substr(firstBreak + 1))
    {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
        {
            blank = !joined.empty();
            continue;
        }
        if (blank)
            joined += ' ';
        blank = false;
        joined += c;
    }
    return joined;
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
    std::map<std::string, int> seen;
};

class CRemarkFinder
{
public:
    CRemarkFinder(const std::vector<std::string>& lines, std::vector<Heading> headings)
        : m_lines(lines), m_headings(std::move(headings))
    {
    }

    std::vector<Remark> Run()
    {
        // A dotted heading needs the one it branches from only where the document has headings of that depth.
        for (const Heading& heading : m_headings)
            if (heading.numbers.series == Series::Numbered)
                m_depths.insert(heading.numbers.first.path.size());
        for (std::size_t h = 0; h < m_headings.size(); ++h)
        {
            const Heading& heading = m_headings[h];
            CheckBodyText(h);
            CheckNesting(h);
            if (heading.numbers.series != Series::None && !heading.numbers.first.path.empty())
                CheckSequence(h);
            for (const HeadingNumbers& numbers : heading.standsFor)
                Step(h, numbers.series, 1, numbers.first, numbers.last, numbers.covered);
            for (auto& [key, state] : m_states)
                state.shallowestSince = std::min(state.shallowestSince, heading.level);
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

    void CheckBodyText(std::size_t h)
    {
        const std::string reason = BodyTextReason(m_headings[h].text);
        if (!reason.empty())
            Add(h, RemarkKind::BodyText,
                Utf8ToCp1251("Похоже на текст, а не на заголовок: ") + reason);
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
                        " " + words.nested + Utf8ToCp1251(" в ") +
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
            SequenceState& above = m_states[Key(series, depth - 1)];
            if (m_depths.count(depth - 1) &&
                (!above.started || above.last.path != parent.path || above.shallowestSince < heading.level - 1))
            {
                const SeriesWords& words = WordsOf(series);
                Add(h, RemarkKind::Gap,
                    Utf8ToCp1251("Перед ") + Named(words.instrumental, series, number.written) +
                        Utf8ToCp1251(" нет ") + Named(words.genitive, series, parent.written));
                PointAtMissing(h, series, above.started ? m_headings[above.heading].line : 0, parent, parent);
                above.started = true;
                above.last = parent;
                above.heading = h;
                above.shallowestSince = heading.level - 1;
                above.seen.clear();
                ++above.seen[parent.written];
            }
        }
        Step(h, series, depth, number, heading.numbers.last, heading.numbers.covered);
        // A deeper branch begins again under a new number.
        for (std::size_t d = depth + 1; series == Series::Numbered && m_states.count(Key(series, d)); ++d)
            m_states[Key(series, d)].started = false;
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
        const std::vector<int>& p = prev.path;
        const std::vector<int>& c = cur.path;
        auto number = [&cur](std::vector<int> path)
        {
            Number n = cur;
            n.path = std::move(path);
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
        const std::vector<int> prefix(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(k));
        auto with = [&prefix](int value)
        {
            std::vector<int> path = prefix;
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
            std::vector<int> first = {c[0], 1};
            return c[1] == 1 || !counted ? Verdict{} : gap(number(first), number({c[0], c[1] - 1}));
        }
        // «19-1» after «17» misses 18 and 19; «18-3» after «18-1» misses 18-2.
        const int to = c.size() == k + 1 ? c[k] - 1 : c[k] - (k == 0 && withPlain ? 0 : 1);
        return gap(number(with(p[k] + 1)), number(with(std::max(to, p[k] + 1))));
    }

    // A path written as the numbers of its sequence are: «18-2», «IV», «2.1».
    static std::string WrittenPath(const std::vector<int>& path, const Number& like)
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
    void Step(std::size_t h, Series series, std::size_t depth, const Number& number, const Number& last,
              const std::vector<std::string>& covered)
    {
        SequenceState& state = m_states[Key(series, depth)];
        const Heading& heading = m_headings[h];
        const bool newParent = state.started && state.shallowestSince < heading.level;
        const bool sameBranch =
            state.started && (series != Series::Numbered || std::equal(number.path.begin(), number.path.end() - 1, state.last.path.begin(),
                                        state.last.path.end() - 1));
        // Numbered headings are compared by their last number within their branch.
        auto comparable = [series](const Number& n)
        {
            if (series != Series::Numbered)
                return n;
            Number last = n;
            last.path = {n.path.back()};
            return last;
        };
        const Number cur = comparable(number);
        const SeriesWords& words = WordsOf(series);
        const int value = cur.path[0];
        // «1.1» may begin articles numbered within chapters; «1-1» is inserted after a lost «1».
        const bool startsAtOne = value == 1 && (cur.path.size() == 1 || (cur.path[1] == 1 && cur.separator == '.'));
        const int missingTo = cur.path.size() == 1 ? value - 1 : cur.separator == '.' ? 0 : value;
        // The first of a sequence, of a new branch or under a new parent may begin anywhere but a little
        // past 1.
        const bool begins = !state.started || !sameBranch || newParent;
        // Under a new parent the numbers go on, unless the sequence began again at 1 under an earlier one.
        const bool continues = state.started && sameBranch && cur.path.size() == 1 &&
                               value == comparable(state.last).path[0] + 1 && !(newParent && state.restarts);
        if (begins && !continues && !startsAtOne && missingTo >= 1 && value <= kLittlePastOne &&
            (depth > 1 || !state.started || newParent))
        {
            state.seen.clear();
            Add(h, RemarkKind::Gap,
                Capitalised(Named(words.nominative, series, number.written)) + Utf8ToCp1251(" идёт первой: ") +
                    Missing(words, series, WithPrefix(number, MissingNumber(cur, 1)),
                            WithPrefix(number, MissingNumber(cur, missingTo))));
            PointAtMissing(h, series, state.started ? m_headings[state.heading].line : 0,
                           WithPrefix(number, MissingNumber(cur, 1)), WithPrefix(number, MissingNumber(cur, missingTo)));
        }
        else if (!state.started || !sameBranch || (startsAtOne && newParent))
            state.seen.clear();
        else
        {
            const Verdict verdict = Compare(comparable(state.last), cur, state.withPlain);
            if (verdict.kind == Verdict::Gap)
            {
                Add(h, RemarkKind::Gap,
                    Utf8ToCp1251("После ") + Named(words.genitive, series, state.last.written) +
                        Utf8ToCp1251(" идёт ") + Named(words.nominative, series, number.written) + ": " +
                        Missing(words, series, WithPrefix(number, verdict.from), WithPrefix(number, verdict.to)));
                PointAtMissing(h, series, m_headings[state.heading].line, WithPrefix(number, verdict.from),
                               WithPrefix(number, verdict.to));
            }
            else if (verdict.kind == Verdict::Back && state.seen.count(number.written))
            {
                const int times = state.seen[number.written] + 1;
                Add(h, RemarkKind::Repeat,
                    Capitalised(Named(words.nominative, series, number.written)) +
                        Utf8ToCp1251(times == 2   ? " встречается второй раз"
                                     : times == 3 ? " встречается третий раз"
                                                  : " встречается снова"));
            }
            else if (verdict.kind == Verdict::Back)
                Add(h, RemarkKind::Order,
                    Capitalised(Named(words.nominative, series, number.written)) + Utf8ToCp1251(" стоит после ") +
                        Named(words.genitive, series, state.last.written));
        }
        state.restarts = state.restarts || (startsAtOne && newParent);
        if (!state.started || !sameBranch || (startsAtOne && newParent))
            state.withPlain = false;
        state.withPlain = state.withPlain || cur.path.size() == 1;
        state.started = true;
        state.last = last;
        state.heading = h;
        state.shallowestSince = 1 << 20;
        ++state.seen[number.written];
        for (const std::string& written : covered)
            if (written != number.written)
                ++state.seen[written];
    }

    // A missing heading is most often in the text, in a form the recognition did not take: the heading
    // under which the text names it gets a remark of its own, so the operator is led to the place. At
    // most a few numbers are sought: a long run of missing numbers was left out of the document.
    void PointAtMissing(std::size_t h, Series series, std::size_t fromLine, const Number& from, const Number& to)
    {
        constexpr int kSought = 3;
        if (from.path.size() != to.path.size() || to.path.back() - from.path.back() >= kSought)
            return;
        for (int value = from.path.back(); value <= to.path.back(); ++value)
        {
            Number missing = from;
            missing.path.back() = value;
            missing.written = from.separator && from.path.size() > 1
                                  ? std::to_string(from.path[0]) + from.separator + std::to_string(value)
                                  : WrittenLike(missing, from);
            const std::size_t found = FindHeadingText(series, missing.written, fromLine, m_headings[h].line);
            if (found == kNotFound)
                continue;
            std::size_t under = h;
            while (under > 0 && m_headings[under].line > found)
                --under;
            // An article's numbered paragraphs are its clauses, not headings.
            if ((series == Series::Numbered || series == Series::Roman) &&
                m_headings[under].numbers.series == Series::Article)
                continue;
            const SeriesWords& words = WordsOf(series);
            Add(under, RemarkKind::Gap,
                Utf8ToCp1251("В тексте под этим заголовком стоит \"") +
                    Capitalised(Named(words.nominative, series, missing.written)) +
                    Utf8ToCp1251("\", а в оглавлении этого заголовка нет"));
        }
    }

    // A sequence that begins at 2 or 3 has lost its first heading; one that begins further on is an
    // extract or a document numbered on from another.
    static constexpr int kLittlePastOne = 3;
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    // The first line in (from, to), outside the blocks, where the heading «Статья 64» (in capitals too),
    // «Приложение N 2» or «2.1.» begins: a reference in a sentence is written in small letters.
    std::size_t FindHeadingText(Series series, const std::string& number, std::size_t from, std::size_t to)
    {
        BuildBlockMap();
        const bool byWord = series != Series::Numbered && series != Series::Roman;
        const std::string nominative = Capitalised(WordsOf(series).nominative);
        const std::string forms[] = {nominative, ToUpper(nominative)};
        for (std::size_t i = from + 1; i < std::min(to, m_lines.size()); ++i)
        {
            if (m_inBlock[i])
                continue;
            const std::string_view line = m_lines[i];
            if (byWord ? std::any_of(std::begin(forms), std::end(forms),
                                     [&](const std::string& form)
                                     { return HoldsHeadingWord(line, form, number, series == Series::Appendix); })
                       : HoldsNumberedHeading(line, number))
                return i;
        }
        return kNotFound;
    }

    static bool HoldsHeadingWord(std::string_view line, const std::string& word, const std::string& number,
                                 bool numberSign)
    {
        const std::string& sign = HeadingWords().numberSign;
        for (std::size_t pos = line.find(word); pos != std::string_view::npos; pos = line.find(word, pos + 1))
        {
            if (pos > 0 && line[pos - 1] != ' ' && line[pos - 1] != '.' && line[pos - 1] != '"')
                continue;
            std::size_t at = pos + word.size();
            auto skipBlanks = [&]
            {
                const std::size_t before = at;
                while (at < line.size() && line[at] == ' ')
                    ++at;
                return at > before;
            };
            if (!skipBlanks())
                continue;
            if (numberSign && at < line.size() && (line[at] == 'N' || line.substr(at, 1) == sign))
            {
                ++at;
                skipBlanks();
            }
            if (line.substr(at, number.size()) == number && EndsNumber(line, at + number.size()))
                return true;
        }
        return false;
    }

    // «2.1. Название» at the start of the line or of a sentence.
    static bool HoldsNumberedHeading(std::string_view line, const std::string& number)
    {
        const std::string token = number + ". ";
        for (std::size_t pos = line.find(token); pos != std::string_view::npos; pos = line.find(token, pos + 1))
        {
            const bool opens = line.find_first_not_of(' ') == pos || (pos >= 2 && line.substr(pos - 2, 2) == ". ");
            const std::size_t next = pos + token.size();
            if (opens && next < line.size() && IsUpperLetter(static_cast<unsigned char>(line[next])))
                return true;
        }
        return false;
    }

    // The number ends at: the end of the line, a blank, or a full stop that no digit follows.
    static bool EndsNumber(std::string_view line, std::size_t at)
    {
        if (at >= line.size() || line[at] == ' ')
            return true;
        return line[at] == '.' && (at + 1 >= line.size() || !IsDigit(static_cast<unsigned char>(line[at + 1])));
    }

    // A heading the table of contents does not list, written in the text as a heading («Статья 63-1.
    // Название» at the start of a line or of a sentence) with a number that falls between the listed
    // headings of its sequence around it: an inserted article that was missed leaves no gap.
    void FindUnlistedHeadings()
    {
        std::map<Series, std::vector<Listed>> listed;
        std::map<Series, std::set<std::string>> numbers;
        for (const Heading& heading : m_headings)
        {
            const Series series = heading.numbers.series;
            if (DivisionRank(series) < 0 && series != Series::Appendix)
                continue;
            if (heading.numbers.first.path.empty())
                continue;
            listed[series].push_back({heading.line, heading.numbers.first.path});
            numbers[series].insert(heading.numbers.covered.begin(), heading.numbers.covered.end());
        }
        if (listed.empty())
            return;
        BuildBlockMap();
        struct Start
        {
            std::string word;
            bool capitals; // may stand anywhere after a blank, not only where a sentence begins
        };
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
        // The first bytes of the words: most lines hold none where a word begins, and are passed over
        // at the cost of a look at each byte.
        static const std::array<bool, 256> firstBytes = []
        {
            std::array<bool, 256> out{};
            for (const Start& start : starts)
                out[static_cast<unsigned char>(start.word.front())] = true;
            return out;
        }();
        std::size_t under = 0; // the last heading at or above the line
        for (std::size_t i = 0; i < m_lines.size(); ++i)
        {
            while (under + 1 < m_headings.size() && m_headings[under + 1].line <= i)
                ++under;
            if (m_inBlock[i] || m_headings.empty() || m_headings[0].line > i)
                continue;
            std::string_view line = m_lines[i];
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            // Only where a heading can begin is looked at: the start of the line (past a form's line
            // of «_»), past the blanks after a full stop or a closing bracket, and at every word of a
            // listed heading's own lines (a heading in capitals run on into another one). So the cost
            // stays with a few searches a line.
            const auto check = [&](std::size_t at)
            {
                if (at >= line.size() || !firstBytes[static_cast<unsigned char>(line[at])])
                    return;
                // The listed heading itself.
                if (m_headings[under].line == i && at == line.find_first_not_of(' '))
                    return;
                const auto start = std::find_if(starts.begin(), starts.end(), [&](const Start& s)
                                                { return line.substr(at, s.word.size()) == s.word; });
                if (start == starts.end() || (!start->capitals && !BeginsSentence(line, at)))
                    return;
                NoteUnlisted(i, under, line.substr(at), listed, numbers);
            };
            check(std::min(line.find_first_not_of(" _"), line.size()));
            for (const char mark : {'.', ')'})
                for (std::size_t at = line.find(mark); at != std::string_view::npos; at = line.find(mark, at + 1))
                    if (at + 1 < line.size() && line[at + 1] == ' ')
                        check(std::min(line.find_first_not_of(' ', at + 1), line.size()));
            if (i - m_headings[under].line < kHeadingLines)
                for (std::size_t at = line.find(' '); at != std::string_view::npos; at = line.find(' ', at + 1))
                    if (at + 1 < line.size() && line[at + 1] != ' ')
                        check(at + 1);
        }
    }

    // A heading runs over this many lines at most.
    static constexpr std::size_t kHeadingLines = 4;

    struct Listed
    {
        std::size_t line;
        std::vector<int> path;
    };

    // The heading that text (in line i, under heading under) begins with, when the table of contents
    // does not list it and its number falls between the listed ones around it.
    void NoteUnlisted(std::size_t i, std::size_t under, std::string_view text,
                      const std::map<Series, std::vector<Listed>>& listed,
                      std::map<Series, std::set<std::string>>& numbers)
    {
        if (!ReadsAsHeading(text))
            return;
        const HeadingNumbers found = ReadHeadingNumbers(text);
        const auto of = listed.find(found.series);
        if (found.first.path.empty() || of == listed.end() || numbers[found.series].count(found.first.written))
            return;
        // Between the listed headings of its sequence before and after the line.
        const std::vector<Listed>& sequence = of->second;
        const auto next = std::upper_bound(sequence.begin(), sequence.end(), i,
                                           [](std::size_t line, const Listed& l) { return line < l.line; });
        const bool afterPrevious = next == sequence.begin() || std::prev(next)->path < found.first.path;
        const bool beforeNext = next == sequence.end() || found.first.path < next->path;
        if (!afterPrevious || !beforeNext)
            return;
        const SeriesWords& words = WordsOf(found.series);
        Add(under, RemarkKind::Gap,
            Utf8ToCp1251("В тексте под этим заголовком стоит \"") +
                Capitalised(Named(words.nominative, found.series, found.first.written)) +
                Utf8ToCp1251("\", а в оглавлении этого заголовка нет"));
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
    static bool ReadsAsHeading(std::string_view text)
    {
        const std::string& sign = HeadingWords().numberSign;
        static const std::string to = Utf8ToCp1251(" к ");
        std::size_t at = text.find(' ');
        auto skipBlanks = [&]
        {
            while (at < text.size() && text[at] == ' ')
                ++at;
        };
        skipBlanks();
        if (at < text.size() && (text[at] == 'N' || text.substr(at, 1) == sign) && at + 1 < text.size() &&
            (text[at + 1] == ' ' || IsDigit(static_cast<unsigned char>(text[at + 1]))))
        {
            ++at;
            skipBlanks();
        }
        if (at >= text.size())
            return false;
        const std::size_t end = std::min(text.find(' ', at), text.size());
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

    // The lines of the ОГЛ…КОН blocks, from the blocks the headings were read from.
    void BuildBlockMap()
    {
        if (!m_inBlock.empty())
            return;
        m_inBlock.assign(m_lines.size(), 0);
        for (const Heading& heading : m_headings)
            std::fill(m_inBlock.begin() + static_cast<std::ptrdiff_t>(heading.oglLine),
                      m_inBlock.begin() + static_cast<std::ptrdiff_t>(std::min(heading.konLine + 1, m_lines.size())), 1);
    }

    // A missing number of a numbered heading's branch is named with the branch: 2.3 rather than 3.
    static Number WithPrefix(const Number& like, Number n)
    {
        if (like.path.size() > 1 && n.path.size() == 1 && !like.separator)
        {
            std::vector<int> path(like.path.begin(), like.path.end() - 1);
            path.push_back(n.path[0]);
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
            return Utf8ToCp1251("нет ") + Named(words.genitive, series, from.written);
        const bool two = from.path.size() == to.path.size() && from.path.back() + 1 == to.path.back();
        return Utf8ToCp1251("нет ") + words.plural + Utf8ToCp1251(two ? " " : " с ") + words.numberSign +
               from.written + Utf8ToCp1251(two ? " и " : " по ") + words.numberSign + to.written;
    }

    static std::string Key(Series series, std::size_t depth)
    {
        return std::to_string(static_cast<int>(series)) + ":" + std::to_string(depth);
    }

    const std::vector<std::string>& m_lines;
    std::vector<char> m_inBlock; // built at the first search
    std::vector<Heading> m_headings;
    std::map<std::string, SequenceState> m_states;
    std::set<std::size_t> m_depths; // of the numbered headings
    std::vector<std::size_t> m_ancestors;
    std::vector<Remark> m_remarks;
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

std::vector<Remark> FindRemarks(const std::vector<std::string>& lines)
{
    std::vector<Heading> headings;
    for (const TocEntryRef& entry : BuildEntryList(lines, CContentFilter()))
    {
        Heading heading;
        heading.oglLine = entry.oglLine;
        heading.konLine = entry.konLine;
        heading.line = HeadingLineAfter(lines, entry.konLine);
        heading.level = EntryLevel(entry.text);
        heading.text = EntryText(entry.text);
        heading.numbers = ReadHeadingNumbers(heading.text);
        for (std::size_t at = heading.text.find('('); at != std::string::npos; at = heading.text.find('(', at + 1))
        {
            HeadingNumbers inBrackets = ReadHeadingNumbers(std::string_view(heading.text).substr(at + 1));
            if (DivisionRank(inBrackets.series) >= 0 && !inBrackets.first.path.empty())
                heading.standsFor.push_back(std::move(inBrackets));
        }
        headings.push_back(std::move(heading));
    }
    return CRemarkFinder(lines, std::move(headings)).Run();
}
