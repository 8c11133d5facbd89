#include "core/toc/CHeadingCaseConverter.h"

#include "core/base/TextRules.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/HeadingWords.h"

namespace
{

constexpr char kBlank = ' ';
constexpr char kQuote = '"';
constexpr std::size_t kNone = std::string::npos;
// A word of up to three characters closed by a full stop is an abbreviation («ст.», «п.»); after a
// longer one a new sentence begins.
constexpr std::size_t kMaxAbbreviationLength = 3;

// Function-local, so they are converted on first use whatever the order of static initialisation.
const std::string& AppendixWithStopUpper()
{
    static const std::string text = HeadingWords().appendix + ".";
    return text;
}
const std::string& TableUpper()
{
    static const std::string text = HeadingWords().table;
    return text;
}
const std::string& ArticleUpper()
{
    static const std::string text = HeadingWords().article + kBlank;
    return text;
}
const std::string& AppendixWord()
{
    static const std::string text = SentenceCase(HeadingWords().appendix);
    return text;
}
const std::string& ArticleWord()
{
    static const std::string text = SentenceCase(HeadingWords().article) + kBlank;
    return text;
}

void CapitaliseAt(std::string& s, std::size_t index)
{
    if (index < s.size())
        s[index] = ToUpperChar(s[index]);
}

// The first character of the word in capitals, the rest in small letters.
std::string Capitalised(std::string_view word)
{
    std::string result = ToLower(word);
    CapitaliseAt(result, 0);
    return result;
}

// Index of the first "." of the line, or npos; the part after it is what the case rules change,
// the part up to it (a heading's number) is kept.
std::size_t FirstStop(const std::string& line)
{
    return line.find('.');
}

std::size_t AfterStop(std::size_t stop)
{
    return stop == kNone ? 0 : stop + 1;
}

bool IsHeadingLineWithNumber(const std::string& line)
{
    return CHeadingCaseConverter::IsNumberedHeadingLine(line) || Contains(line, AppendixWord());
}

std::vector<std::string> SplitEntryText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
        {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

bool CHeadingCaseConverter::IsNumberedHeadingLine(std::string_view line)
{
    const std::string s = ToUpper(TrimLeft(line));
    if (BeginsWith(s, AppendixWithStopUpper()))
        return false;
    return IsSectionHeading(s) || BeginsWith(s, TableUpper()) ||
           (BeginsWith(s, ArticleUpper()) && Contains(s, "."));
}

void CHeadingCaseConverter::ToSentenceCase(std::vector<std::string>& lines) const
{
    if (lines.size() < 2)
        return;
    const std::vector<std::string> original = lines;

    for (std::size_t k = 2; k < lines.size(); ++k)
        lines[k] = ToLower(lines[k]);

    std::string& heading = lines[1];
    if (IsHeadingLineWithNumber(heading))
    {
        const std::size_t from = AfterStop(FirstStop(heading));
        heading = heading.substr(0, from) + ToLower(std::string_view(heading).substr(from));
        CapitaliseAt(heading, heading.find_first_not_of(kBlank, from));
    }
    else if (!Contains(heading, ArticleWord()))
    {
        heading = ToLower(heading);
        CapitaliseAt(heading, heading.find_first_not_of(kBlank));
    }

    ApplyDictionaryWords(original, lines);
}

void CHeadingCaseConverter::ApplyDictionaryWords(const std::vector<std::string>& original,
                                                 std::vector<std::string>& lines) const
{
    for (std::size_t k = 0; k < original.size(); ++k)
    {
        const std::vector<Word> words = SplitWords(original[k]);
        for (std::size_t i = 0; i < words.size(); ++i)
        {
            const std::string& w = words[i].text;
            if (w.empty())
                continue;
            const std::string* prev = i > 0 ? &words[i - 1].text : nullptr;

            std::string replacement;
            const auto entry = Words() ? Words()->FindWord(w) : std::nullopt;
            if (entry)
                replacement = entry->AllCaps() == 1 ? ToUpper(w) : Capitalised(w);
            else if (w[0] == kQuote && w.size() > 1)
                replacement = kQuote + Capitalised(std::string_view(w).substr(1));
            else if (prev && prev->size() > kMaxAbbreviationLength && prev->back() == '.')
                replacement = Capitalised(w);
            else
                continue;
            lines[k].replace(words[i].start, words[i].end - words[i].start, replacement);
        }
    }
}

void CHeadingCaseConverter::ToCapitals(std::vector<std::string>& lines) const
{
    if (lines.size() < 2)
        return;
    for (std::size_t k = 2; k < lines.size(); ++k)
        lines[k] = ToUpper(lines[k]);

    std::string& heading = lines[1];
    if (IsHeadingLineWithNumber(heading))
    {
        const std::size_t from = AfterStop(FirstStop(heading));
        heading = heading.substr(0, from) + ToUpper(std::string_view(heading).substr(from));
    }
    else if (!Contains(heading, ArticleWord()))
    {
        heading = ToUpper(heading);
    }
}

std::string CHeadingCaseConverter::ToSentenceCase(std::string_view entryText) const
{
    std::vector<std::string> lines = SplitEntryText(entryText);
    if (lines.size() < 2)
        return std::string(entryText);
    ToSentenceCase(lines);
    return JoinLines(lines);
}

std::string CHeadingCaseConverter::ToCapitals(std::string_view entryText) const
{
    std::vector<std::string> lines = SplitEntryText(entryText);
    if (lines.size() < 2)
        return std::string(entryText);
    ToCapitals(lines);
    return JoinLines(lines);
}
