#include "core/toc/ItemCleaning.h"

#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"
#include "core/toc/PassHelpers.h"

#include <algorithm>

namespace
{
std::string_view TrimmedLeft(std::string_view s)
{
    while (!s.empty() && IsWhiteSpace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return s;
}
} // namespace

void StripArticleRefs(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& last = item.lines.back();
    static const std::string reference = " " + HeadingWords().articleShort + " ";
    const std::size_t p = last.find(reference);
    if (p == std::string::npos)
        return;
    if (last.find('-', p) != std::string::npos)
    {
        last.resize(p);
        return;
    }
    const std::string number = Trim(std::string_view(last).substr(p + reference.size()));
    if (std::all_of(number.begin(), number.end(),
                    [](char c) { return IsDigit(static_cast<unsigned char>(c)); }))
        last.resize(p);
}

void JoinHyphenatedLines(TocItem& item)
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

void RemoveMarkerLines(TocItem& item)
{
    std::erase_if(item.lines, [](const std::string& line) { return IsMarkerLine(line); });
}

void BlankControlChars(TocItem& item)
{
    for (std::string& line : item.lines)
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c == 0x01 || c == 0x02 || c == 0x03; }, ' ');
}

void DotSectionHeadings(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& first = item.lines.front();
    // A longer line holds the heading's title too, which closes it in place of the full stop. Most
    // entries are longer or hold a full stop: they are not upper-cased.
    constexpr std::size_t kMaxBareHeadingLength = 40;
    const std::string_view trimmed = TrimmedLeft(first);
    if (trimmed.size() >= kMaxBareHeadingLength || Contains(trimmed, "."))
        return;
    const std::string s = ToUpper(trimmed);
    const HeadingVocabulary& words = HeadingWords();
    if (BeginsWith(s, words.section) || BeginsWith(s, words.part) || BeginsWith(s, words.chapter))
        first = TrimLeft(first) + ".";
}

void TrimAppendixPeriod(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& line = item.lines.front();
    const std::size_t dot = line.find('.');
    static const std::string appendix = SentenceCase(HeadingWords().appendix);
    // The first word is the word after the blanks the line begins with.
    const std::size_t firstWord = std::min(line.find_first_not_of(' '), line.size());
    if (dot == std::string::npos || !BeginsWith(std::string_view(line).substr(firstWord), appendix))
        return;
    const std::vector<std::string_view> words = WordViews(line);
    if (words.size() <= 2 || (words.size() == 3 && words[1] == "N"))
        line.erase(dot, 1);
}

void SpaceNumericRanges(TocItem& item)
{
    for (std::string& line : item.lines)
    {
        // A number without a dash stays as it is.
        if (line.find('-') == std::string::npos)
            continue;
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

void FixAppendixNumber(std::string& line)
{
    static const std::string word = SentenceCase(HeadingWords().appendix) + " ";
    static const std::string numbered = word + "N ";
    const std::string trimmed = TrimLeft(line);
    if (BeginsWith(trimmed, numbered))
        line = word + trimmed.substr(numbered.size());
}

void JoinEntryLines(TocItem& item)
{
    // An entry of one line is normalised where it stands.
    std::string text;
    if (item.lines.size() == 1)
        text = std::move(item.lines.front());
    else
        text = JoinLines(item.lines);
    std::replace(text.begin(), text.end(), '\n', ' ');
    text = NormaliseSpaces(text);
    for (std::size_t from = 0;;)
    {
        // The dash is sought, not the blank before it: blanks stand between all the words.
        std::size_t dash = text.find('-', from + 1);
        while (dash != std::string::npos && !(text[dash - 1] == ' ' && dash + 1 < text.size() && text[dash + 1] == ' '))
            dash = text.find('-', dash + 1);
        if (dash == std::string::npos)
            break;
        const std::size_t at = dash - 1;
        // " - " becomes "-": the blanks on both sides go (an erase, which unlike a replace with a
        // literal raises no false overlap warning in GCC 12's optimiser).
        text.erase(at + 2, 1);
        text.erase(at, 1);
        from = at > 0 ? at - 1 : 0;
    }
    item.lines.assign(1, std::move(text));
}

void DropBlankLines(TocItem& item)
{
    std::erase_if(item.lines, [](const std::string& line) { return IsBlankLine(line); });
}

void MoveFormNumbers(TocItem& item)
{
    if (item.lines.empty())
        return;
    std::string& line = item.lines.front();
    static const std::string prefix = HeadingWords().form + " N ";
    // Only a line that begins with the form's word is upper-cased whole.
    if (line.size() < prefix.size() || !Contains(line, ".") ||
        ToUpper(std::string_view(line).substr(0, prefix.size())) != prefix)
        return;
    const std::string upper = ToUpper(line);
    const std::string rest = upper.substr(prefix.size());
    const std::string number = Trim(std::string_view(rest).substr(0, rest.find('.')));
    static const std::string form = " (" + SentenceCase(HeadingWords().form) + " N ";
    line += form + number + ")";
    line.erase(0, line.find('.') + 1);
    line = TrimLeft(line);
}
