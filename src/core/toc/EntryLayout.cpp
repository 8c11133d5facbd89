#include "core/toc/EntryLayout.h"

#include "core/base/TextRules.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"
#include "core/toc/PassHelpers.h"

#include <algorithm>
#include <span>
#include <vector>

namespace
{

constexpr char kBlank = ' ';

int Length(std::string_view s)
{
    return static_cast<int>(s.size());
}

// The text after count blanks, made in one allocation.
std::string Indented(int count, std::string_view text)
{
    const auto blanks = static_cast<std::size_t>(std::max(count, 0));
    std::string line;
    line.reserve(blanks + text.size());
    line.append(blanks, kBlank);
    line += text;
    return line;
}

std::string JoinWithBlanks(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            text += kBlank;
        text += lines[i];
    }
    return text;
}

struct WrapRules
{
    // The entry's first text line is 2 characters wider than the later ones, which are indented more.
    bool narrowAfterFirstLine;
    // A full stop that only digits precede («12.») does not make a number prefix.
    bool digitsAreNoPrefix;
};

// The words with the gaps widened in turn, first to last, until the line is width long.
std::string JustifyWords(std::span<const std::string_view> words, int width)
{
    // The empty line before a word too long for any line.
    if (words.empty())
        return {};
    if (words.size() == 1)
        return std::string(words.front());

    const int gaps = static_cast<int>(words.size()) - 1;
    int wordsLength = 0;
    for (const std::string_view word : words)
        wordsLength += Length(word);
    const int extra = std::max(width - wordsLength - gaps, 0);

    std::string result;
    result.reserve(static_cast<std::size_t>(wordsLength + gaps + extra));
    result = words.front();
    for (int gap = 0; gap < gaps; ++gap)
    {
        const int blanks = 1 + extra / gaps + (gap < extra % gaps ? 1 : 0);
        result.append(static_cast<std::size_t>(blanks), kBlank);
        result += words[static_cast<std::size_t>(gap) + 1];
    }
    return result;
}

// The words joined by single blanks.
std::string JoinWords(std::span<const std::string_view> words)
{
    std::size_t length = words.empty() ? 0 : words.size() - 1;
    for (const std::string_view word : words)
        length += word.size();
    std::string text;
    text.reserve(length);
    for (std::size_t i = 0; i < words.size(); ++i)
    {
        if (i > 0)
            text += kBlank;
        text += words[i];
    }
    return text;
}

// The first two text lines keep their number («Глава 1.») with a single blank after it and only
// the rest of the line is widened, so the heading word and its number stay together. The line is
// its words joined by single blanks; the number ends at the first full stop of that line.
std::string FinishLine(std::span<const std::string_view> words, int width, bool mayHavePrefix,
                       const WrapRules& rules)
{
    if (!mayHavePrefix)
        return JustifyWords(words, width);
    // The word that holds the first full stop, and where the stop stands in the line.
    std::size_t offset = 0;
    std::size_t k = 0;
    std::size_t inWord = std::string_view::npos;
    for (; k < words.size() && offset <= kNumberPrefixLimit; offset += words[k].size() + 1, ++k)
        if ((inWord = words[k].find('.')) != std::string_view::npos)
            break;
    if (inWord == std::string_view::npos || offset + inWord > kNumberPrefixLimit)
        return JustifyWords(words, width);
    // Blanks stand before a stop in a later word, and a blank is no digit.
    const std::string_view before = words[k].substr(0, inWord);
    const bool onlyDigitsBefore =
        k == 0 && std::all_of(before.begin(), before.end(), [](char c) { return IsDigit(static_cast<unsigned char>(c)); });
    if (rules.digitsAreNoPrefix && onlyDigitsBefore)
        return JustifyWords(words, width);
    const std::size_t stop = offset + inWord;
    const int prefixLength = static_cast<int>(stop) + 1;
    std::string line = JoinWords(words.first(k));
    if (k > 0)
        line += kBlank;
    line += words[k].substr(0, inWord + 1);
    line += kBlank;
    // The rest of the line: what follows the stop in its word, then the later words.
    std::vector<std::string_view> rest;
    rest.reserve(words.size() - k);
    if (inWord + 1 < words[k].size())
        rest.push_back(words[k].substr(inWord + 1));
    rest.insert(rest.end(), words.begin() + static_cast<std::ptrdiff_t>(k) + 1, words.end());
    line += JustifyWords(rest, width - prefixLength - 1);
    return line;
}

// Greedy word wrap; every completed line is justified, the last one is not. A word that does not
// fit even an empty line completes that (empty) line and stands alone on the next.
std::vector<std::string> WrapWords(const std::vector<std::string_view>& words, int width, const WrapRules& rules)
{
    std::vector<std::string> done;
    std::size_t lineStart = 0; // the first word of the line being filled
    int length = 0;            // the length of that line, its words joined by single blanks
    for (std::size_t i = 0; i < words.size(); ++i)
    {
        const int wordLength = Length(words[i]);
        const int needed = length + (length == 0 ? 0 : 1) + wordLength;
        if (needed <= width)
        {
            length += (i > 0 ? 1 : 0) + wordLength;
            continue;
        }
        const std::span<const std::string_view> lineWords(words.data() + lineStart, i - lineStart);
        done.push_back(FinishLine(lineWords, width, done.size() < 2, rules));
        length = wordLength;
        lineStart = i;
        if (done.size() == 1 && rules.narrowAfterFirstLine)
            width -= kContinuationIndent;
    }
    if (length != 0)
        done.push_back(JoinWords(std::span<const std::string_view>(words.data() + lineStart, words.size() - lineStart)));
    return done;
}

} // namespace

void FormatEntry(TocItem& item)
{
    const int level = std::max(item.level, 0);
    // An entry is mostly one line by now: its words are read where they stand.
    const std::string joined = item.lines.size() == 1 ? std::string() : JoinWithBlanks(item.lines);
    const std::vector<std::string_view> words =
        WordViews(item.lines.size() == 1 ? std::string_view(item.lines.front()) : std::string_view(joined));
    const std::vector<std::string> text =
        WrapWords(words, kPageWidth - kLevelIndent * level, WrapRules{true, true});

    std::vector<std::string> lines;
    lines.reserve(text.size() + 1);
    lines.emplace_back(static_cast<std::size_t>(level) + 1, '*');
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const int indent = kLevelIndent * level + (i > 0 ? kContinuationIndent : 0);
        lines.push_back(Indented(indent, text[i]));
    }
    item.lines = std::move(lines);
}

void AlignEntry(TocItem& item, int column)
{
    if (item.lines.size() < 2)
        return;
    const std::string& firstText = item.lines[1];
    const std::size_t numberEnd = NumberEnd(firstText);
    const std::string prefix = firstText.substr(0, numberEnd);
    std::size_t length = firstText.size() - numberEnd;
    for (std::size_t i = 2; i < item.lines.size(); ++i)
        length += 1 + item.lines[i].size();
    std::string joined;
    joined.reserve(length);
    joined.append(firstText, numberEnd);
    for (std::size_t i = 2; i < item.lines.size(); ++i)
    {
        joined += kBlank;
        joined += item.lines[i];
    }
    // The words of the text trimmed of white space at both ends; the runs of blanks the justified
    // lines hold part the words as single blanks do.
    std::string_view text = joined;
    while (!text.empty() && IsWhiteSpace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);

    const std::vector<std::string> wrapped =
        WrapWords(WordViews(text), kPageWidth - column, WrapRules{false, false});

    std::vector<std::string> lines;
    lines.reserve(wrapped.size() + 1);
    lines.push_back(std::move(item.lines.front()));
    if (wrapped.empty())
    {
        lines.push_back(prefix);
    }
    else
    {
        // A wrapped first line was justified to the full width, so it is pushed to end at the page
        // edge; a single line only needs its text to start at the column.
        const int gap = wrapped.size() >= 2 ? kPageWidth - Length(prefix) - Length(wrapped.front())
                                            : column - Length(prefix);
        std::string& first = lines.emplace_back(prefix);
        first += Indented(gap, wrapped.front());
        for (std::size_t i = 1; i < wrapped.size(); ++i)
            lines.push_back(Indented(column, wrapped[i]));
    }
    item.lines = std::move(lines);
}

bool IsAlignableEntry(const TocItem& item)
{
    static const std::string kArticle = HeadingWords().article + " ";
    if (item.lines.size() < 2)
        return false;
    std::string_view line = item.lines[1];
    while (!line.empty() && IsWhiteSpace(static_cast<unsigned char>(line.front())))
        line.remove_prefix(1);
    // The tests read the first word, the blank after it and the words it is compared with: only
    // that much of the line is upper-cased.
    const std::string& appendix = HeadingWords().appendix;
    const std::size_t firstWord = std::min(line.find(kBlank), line.size());
    const std::string head = ToUpper(line.substr(0, std::max({firstWord + 1, appendix.size(), kArticle.size()})));
    if (BeginsWith(head, appendix))
        return false;
    if (IsNumberedLine(head) || IsSectionHeading(head))
        return true;
    return BeginsWith(head, kArticle) && line.find('.') != std::string_view::npos;
}

std::size_t NumberEnd(std::string_view s)
{
    const std::size_t stop = s.find('.');
    if (stop == std::string_view::npos)
        return 0;
    const std::size_t blank = s.find(kBlank, stop);
    return blank == std::string_view::npos ? s.size() : blank;
}

std::string JustifyLine(std::string_view s, int width)
{
    return JustifyWords(WordViews(s), width);
}

bool HasNumberWord(std::string_view s)
{
    std::string_view t = s;
    while (!t.empty() && IsWhiteSpace(static_cast<unsigned char>(t.front())))
        t.remove_prefix(1);
    if (IsNumberedLine(t))
        return true;
    const std::size_t blank = t.find(kBlank);
    return blank != std::string_view::npos && IsNumberedLine(t.substr(blank));
}

void LowerHeadingWord(TocItem& item)
{
    if (item.lines.size() < 2)
        return;
    std::string& s = item.lines[1];
    if (!HasNumberWord(s))
        return;
    const std::size_t stop = s.find('.');
    if (stop == std::string::npos || stop == 0)
        return;
    std::size_t indent = 0;
    while (indent < stop && s[indent] == kBlank)
        ++indent;
    const std::size_t wordEnd = s.find(kBlank, indent);
    if (wordEnd == std::string::npos)
        return;
    // The first letter keeps its case: the rest of the word, up to the number's full stop at most.
    const std::size_t from = indent + 1;
    const std::size_t to = std::min(stop, wordEnd);
    if (from >= to)
        return;
    const std::string_view rest = std::string_view(s).substr(from, to - from);
    if (rest.find_first_of("IXV") != std::string_view::npos)
        return;
    s.replace(from, to - from, ToLower(rest));
}
