#include "core/toc/HeadingTests.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"
#include "core/toc/HeadingWords.h"
#include "core/toc/TocItem.h"

#include <algorithm>
#include <array>

namespace
{

constexpr char kBlank = ' ';

std::string_view BeforeFirstBlank(std::string_view s)
{
    return s.substr(0, s.find(kBlank));
}

// TrimLeft as a view: the line tests run on nearly every line and need no copy of it.
std::string_view TrimLeftView(std::string_view s)
{
    while (!s.empty() && IsWhiteSpace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return s;
}

// The first word of a numbered line: "0123456789IVX." only, with a full stop among them.
bool IsHeadingNumber(std::string_view number)
{
    return number.find_first_not_of("0123456789IVX.") == std::string_view::npos &&
           number.find('.') != std::string_view::npos;
}

} // namespace

bool IsBlankLine(std::string_view line)
{
    return line.find_first_not_of(kBlank) == std::string_view::npos;
}

bool IsNumberedLine(std::string_view line)
{
    const std::string_view s = TrimLeftView(line);
    if (s.empty() || s.find(kBlank) == std::string_view::npos)
        return false;
    return IsHeadingNumber(BeforeFirstBlank(s));
}

bool IsSectionHeading(std::string_view line)
{
    const HeadingVocabulary& vocabulary = HeadingWords();
    static const std::array<std::string, 4> kWords = {vocabulary.section, vocabulary.chapter, vocabulary.part,
                                                      vocabulary.paragraphSign};
    // Only the first word is read, so only it is upper-cased.
    const std::string_view s = TrimLeftView(line);
    const std::string first = ToUpper(BeforeFirstBlank(s));
    const bool numbered = s.find(kBlank) != std::string_view::npos && IsHeadingNumber(first);
    return numbered || std::find(kWords.begin(), kWords.end(), first) != kWords.end();
}

bool IsArticleHeading(std::string_view line)
{
    static const std::string kArticle = SentenceCase(HeadingWords().article) + kBlank;
    const std::string_view s = TrimLeftView(line);
    if (!BeginsWith(s, kArticle))
        return false;
    const std::string rest = TrimLeft(TrimRight(s.substr(kArticle.size())));
    if (rest.empty() || rest.find(kBlank) == std::string::npos)
        return true;
    const std::string_view number = BeforeFirstBlank(rest);
    if (number.size() < 2 || number.back() != '.')
        return false;
    const std::string_view body = number.substr(0, number.size() - 1);
    return std::all_of(body.begin(), body.end(),
                       [](char c)
                       {
                           const auto byte = static_cast<unsigned char>(c);
                           return IsLetter(byte) || IsDigit(byte);
                       });
}

bool IsActDocument(const CTextLines& lines)
{
    static const std::array<std::string, 8> kActWords = {Utf8ToCp1251("ЗАКОН"),   Utf8ToCp1251("КОДЕКС"),
                                                         Utf8ToCp1251("УСТАВ"),   Utf8ToCp1251("ПРОГРАММА"),
                                                         Utf8ToCp1251("УКАЗ"),    Utf8ToCp1251("СОГЛАШЕНИЕ"),
                                                         Utf8ToCp1251("ДОГОВОР"), Utf8ToCp1251("РЕГЛАМЕНТ")};
    constexpr std::size_t kLinesLooked = 40;
    const std::size_t count = std::min(lines.size(), kLinesLooked);
    for (std::size_t i = 0; i < count; ++i)
    {
        const std::string line = Trim(lines[i]);
        for (const std::string& word : kActWords)
        {
            if (line == word || line.find(kBlank + word) != std::string::npos ||
                line.find(word + kBlank) != std::string::npos)
                return true;
        }
    }
    return false;
}

int StandardKindOf(std::string_view line)
{
    struct Opening
    {
        std::string text;
        int kind;
    };
    const HeadingVocabulary& vocabulary = HeadingWords();
    static const std::array<Opening, 5> kOpenings = {{{vocabulary.section + kBlank, kKindSection},
                                                      {vocabulary.chapter + kBlank, kKindChapter},
                                                      {vocabulary.article + kBlank, kKindArticle},
                                                      {vocabulary.appendix, kKindAppendix},
                                                      {vocabulary.table, kKindAppendix}}};

    const std::string s = ToUpper(TrimLeftView(line));
    for (const Opening& opening : kOpenings)
    {
        if (BeginsWith(s, opening.text))
            return opening.kind;
    }
    if (s == vocabulary.generalPart || s == vocabulary.specialPart)
        return kKindSection;
    if (IsNumberedLine(s))
    {
        const std::string_view number = BeforeFirstBlank(s);
        const std::string_view beforeLast = number.substr(0, number.size() - 1);
        if (beforeLast.find_first_not_of("IVX") == std::string_view::npos)
            return kKindRoman;
        const auto dots = std::count(number.begin(), number.end(), '.');
        return kKindChapter + static_cast<int>(std::clamp<std::ptrdiff_t>(dots, 1, 5));
    }
    // Nothing was trimmed when the upper-cased line is s: the line starts without white space.
    return ToUpper(line) == s ? kKindAppendix : kKindIndented;
}

int StandardKindOfBlock(const std::vector<std::string>& lines)
{
    const auto first = std::find_if_not(lines.begin(), lines.end(),
                                        [](const std::string& line) { return IsMarkerLine(line); });
    return first == lines.end() ? kKindIndented : StandardKindOf(*first);
}

std::string FirstContentLine(const std::vector<std::string>& lines)
{
    for (std::string_view line : lines)
    {
        if (!IsBlankLine(line) && !IsMarkerLine(line))
            return std::string(line);
    }
    return {};
}

std::string NormaliseSpaces(std::string_view s)
{
    // Trimmed as a view, so the result is the only string made.
    while (!s.empty() && IsWhiteSpace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    while (!s.empty() && IsWhiteSpace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return CollapseBlankRuns(s);
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string result;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            result += '\n';
        result += lines[i];
    }
    return result;
}

std::vector<Word> SplitWords(std::string_view line)
{
    if (line.find(kBlank) == std::string_view::npos)
        return {Word{std::string(line), 0, line.size()}};

    std::vector<Word> words;
    // At most one word per blank and one more: the list is allocated once.
    words.reserve(static_cast<std::size_t>(std::count(line.begin(), line.end(), kBlank)) + 1);
    // Blanks at the end leave an empty last word, where a line's end stands.
    std::size_t start = std::min(line.find_first_not_of(kBlank), line.size());
    for (;;)
    {
        const std::size_t end = std::min(line.find(kBlank, start), line.size());
        words.push_back(Word{std::string(line.substr(start, end - start)), start, end});
        if (end == line.size())
            break;
        start = std::min(line.find_first_not_of(kBlank, end), line.size());
    }
    return words;
}
