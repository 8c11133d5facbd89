#include "core/toc/HeadingShapes.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/toc/HeadingWords.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace
{
bool IsDigitChar(char c)
{
    return IsDigit(static_cast<unsigned char>(c));
}

bool IsLetterChar(char c)
{
    return IsLetter(static_cast<unsigned char>(c));
}

// The first word of s and what follows it (trimmed left).
std::pair<std::string_view, std::string_view> SplitFirstWord(std::string_view s)
{
    const std::size_t end = std::min(s.find(' '), s.size());
    std::string_view rest = s.substr(end);
    while (!rest.empty() && IsWhiteSpace(static_cast<unsigned char>(rest.front())))
        rest.remove_prefix(1);
    return {s.substr(0, end), rest};
}

std::vector<std::string> Cp1251Words(std::initializer_list<const char*> utf8)
{
    std::vector<std::string> words;
    for (const char* word : utf8)
        words.push_back(Utf8ToCp1251(word));
    return words;
}

bool AllLetters(std::string_view word)
{
    return !word.empty() && std::all_of(word.begin(), word.end(), IsLetterChar);
}

// An ordinal number written as a word, upper-cased: ПЕРВАЯ, ВТОРОЙ, ТРЕТЬЯ, ДВАДЦАТАЯ. Only the stems
// of the numbers count: «ГЛАВА МЕСТНОЙ АДМИНИСТРАЦИИ» names no chapter.
bool IsOrdinalWord(std::string_view upper)
{
    if (!AllLetters(upper))
        return false;
    static const std::vector<std::string> stems =
        Cp1251Words({"ПЕРВ",        "ВТОР",        "ТРЕТ",        "ЧЕТВЕРТ",   "ЧЕТВЁРТ",    "ПЯТ",
                     "ШЕСТ",        "СЕДЬМ",       "ВОСЬМ",       "ДЕВЯТ",     "ДЕСЯТ",      "ОДИННАДЦАТ",
                     "ДВЕНАДЦАТ",   "ТРИНАДЦАТ",   "ЧЕТЫРНАДЦАТ", "ПЯТНАДЦАТ", "ШЕСТНАДЦАТ", "СЕМНАДЦАТ",
                     "ВОСЕМНАДЦАТ", "ДЕВЯТНАДЦАТ", "ДВАДЦАТ",     "ТРИДЦАТ",   "СОРОКОВ",    "ПЯТИДЕСЯТ",
                     "ШЕСТИДЕСЯТ",  "СЕМИДЕСЯТ",   "ВОСЬМИДЕСЯТ", "ДЕВЯНОСТ",  "СОТ"});
    static const std::vector<std::string> endings = Cp1251Words({"АЯ", "ЫЙ", "ОЙ", "ИЙ", "ЬЯ", "ОЕ", "ЬЕ"});
    return std::any_of(stems.begin(), stems.end(),
                       [upper](const std::string& stem)
                       {
                           return upper.size() > stem.size() && upper.substr(0, stem.size()) == stem &&
                                  std::find(endings.begin(), endings.end(), upper.substr(stem.size())) !=
                                      endings.end();
                       });
}

// The tens that begin an ordinal of two words: ДВАДЦАТЬ of «ДВАДЦАТЬ ПЕРВАЯ».
bool IsTensWord(std::string_view upper)
{
    static const std::vector<std::string> tens =
        Cp1251Words({"ДВАДЦАТЬ", "ТРИДЦАТЬ", "СОРОК", "ПЯТЬДЕСЯТ", "ШЕСТЬДЕСЯТ", "СЕМЬДЕСЯТ", "ВОСЕМЬДЕСЯТ",
                     "ДЕВЯНОСТО"});
    return std::find(tens.begin(), tens.end(), upper) != tens.end();
}

bool IsRomanNumber(std::string_view s)
{
    return !s.empty() && s.find_first_not_of("IVXLC") == std::string_view::npos;
}

// Groups of digits, each joined to the next by one of the joiners: «1.2.3» with ".".
bool IsJoinedDigits(std::string_view s, std::string_view joiners)
{
    if (s.empty() || !IsDigitChar(s.front()) || !IsDigitChar(s.back()))
        return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!IsDigitChar(s[i]) && !(joiners.find(s[i]) != std::string_view::npos && IsDigitChar(s[i + 1])))
            return false;
    return true;
}

// Digits with full stops between them: «1», «2.1», «1.2.3».
bool IsDottedDigits(std::string_view s)
{
    return IsJoinedDigits(s, ".");
}

// A chapter's or section's number: roman, or digits joined by full stops or hyphens.
bool IsDivisionNumber(std::string_view s)
{
    return IsRomanNumber(s) || IsJoinedDigits(s, ".-");
}

std::string_view WithoutClosingStop(std::string_view token)
{
    return !token.empty() && token.back() == '.' ? token.substr(0, token.size() - 1) : token;
}

std::string_view TrimmedLeft(std::string_view line)
{
    while (!line.empty() && IsWhiteSpace(static_cast<unsigned char>(line.front())))
        line.remove_prefix(1);
    return line;
}

// At least three single letters, each followed by a blank: «З А К О Н», «С т а т ь я  5.».
bool IsLetterSpaced(std::string_view s)
{
    // The blanks are looked at first: most lines have none there.
    return s.size() >= 5 && s[1] == ' ' && s[3] == ' ' && (s.size() == 5 || s[5] == ' ') &&
           IsLetterChar(s[0]) && IsLetterChar(s[2]) && IsLetterChar(s[4]);
}
} // namespace

std::string CloseUpLetterSpacing(std::string_view line)
{
    const std::string_view s = TrimmedLeft(line);
    if (!IsLetterSpaced(s))
        return std::string(s);
    // The last letter is followed by the blanks before the rest of the line, or by nothing.
    std::string word;
    std::size_t i = 0;
    while (i < s.size() && IsLetterChar(s[i]) && (i + 1 == s.size() || s[i + 1] == ' '))
    {
        word += s[i];
        i += 2;
        if (i < s.size() && s[i] == ' ')
            break;
    }
    return word + std::string(s.substr(std::min(i, s.size())));
}

bool IsArticleNumber(std::string_view token)
{
    std::string_view s = WithoutClosingStop(token);
    std::size_t i = 0;
    auto digits = [&]
    {
        const std::size_t from = i;
        while (i < s.size() && IsDigitChar(s[i]))
            ++i;
        return i > from;
    };
    if (!digits())
        return false;
    for (;;)
    {
        if (i < s.size() && IsLetterChar(s[i]))
            ++i;
        if (i + 1 < s.size() && (s[i] == '.' || s[i] == '-') && IsDigitChar(s[i + 1]))
        {
            ++i;
            digits();
            continue;
        }
        break;
    }
    // A superscript written inline: «5<1>» or «5^1».
    if (i < s.size() && s[i] == '<')
    {
        ++i;
        if (!digits() || i >= s.size() || s[i] != '>')
            return false;
        ++i;
    }
    else if (i < s.size() && s[i] == '^')
    {
        ++i;
        if (!digits())
            return false;
    }
    return i == s.size();
}

bool EndsLikeSentence(std::string_view text)
{
    while (!text.empty() && IsWhiteSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.empty())
        return false;
    const char last = text.back();
    return last == '.' || last == ',' || last == ';' || last == ':' || last == '-';
}

namespace
{
// The word, upper-cased, equals upper; no copy is made of it.
bool EqualsInCapitals(std::string_view word, std::string_view upper)
{
    if (word.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (ToUpperChar(word[i]) != upper[i])
            return false;
    return true;
}

// The first word may be a heading word: one of the vocabulary's words in any case, the stem of an
// approval stamp with an ending, or a § sign. The words of the body are none of these, and are read
// no further without being upper-cased.
bool MayBeHeadingWord(std::string_view first, const HeadingVocabulary& words)
{
    if (first.size() == 1)
        return first[0] == kDosSectionSign || first[0] == kSectionSign || first[0] == '$';
    for (const std::string* word : {&words.article, &words.chapter, &words.section, &words.subsection, &words.part,
                                    &words.paragraph, &words.appendix})
        if (EqualsInCapitals(first, *word))
            return true;
    const std::size_t stem = words.approved.size();
    return (first.size() == stem || first.size() == stem + 1) &&
           EqualsInCapitals(first.substr(0, stem), words.approved);
}

// The bytes a heading begins with: the digits and the letters of roman numbers, the § signs, and the
// first letters of the heading words in either case.
const std::array<bool, 256>& HeadingOpeners(const HeadingVocabulary& words)
{
    static const std::array<bool, 256> openers = [&words]
    {
        std::array<bool, 256> table{};
        auto add = [&table](char c) { table[static_cast<unsigned char>(c)] = true; };
        for (const char c : std::string_view("0123456789IVXLC$"))
            add(c);
        add(kDosSectionSign);
        add(kSectionSign);
        for (const std::string* word : {&words.article, &words.chapter, &words.section, &words.subsection,
                                        &words.part, &words.paragraph, &words.appendix, &words.approved})
            for (int c = 0; c < 256; ++c)
                if (ToUpperChar(static_cast<char>(c)) == word->front())
                    add(static_cast<char>(c));
        return table;
    }();
    return openers;
}

// A box character: the codes 0x10 to 0x1C, but for the § of a DOS text, 0x15, and 0x14.
bool IsBoxCharacter(char c)
{
    return c >= 0x10 && c <= 0x1C && c != 0x14 && c != kDosSectionSign;
}

// The text holds a box character. Every byte of a line that begins like a heading is looked at,
// eight at a time: a group is read byte by byte only when one of its bytes lies in 0x10..0x1C.
bool HoldsBoxCharacter(std::string_view text)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kLow7 = kOnes * 0x7F;
    constexpr std::uint64_t kHigh = kOnes * 0x80;
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= text.size(); i += sizeof(std::uint64_t))
    {
        std::uint64_t x = 0;
        std::memcpy(&x, text.data() + i, sizeof x);
        // The high bit of each byte above 0x0F and below 0x1D (a byte with its own high bit set never
        // is): 127 + 0x1D - low overflows into the high bit for low < 0x1D, low + 127 - 0x0F for
        // low > 0x0F.
        const std::uint64_t low = x & kLow7;
        const std::uint64_t inRange = (kOnes * (127 + 0x1D) - low) & ~x & (low + kOnes * (127 - 0x0F)) & kHigh;
        if (inRange != 0 && std::any_of(text.begin() + static_cast<std::ptrdiff_t>(i),
                                        text.begin() + static_cast<std::ptrdiff_t>(i + sizeof x), IsBoxCharacter))
            return true;
    }
    return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), IsBoxCharacter);
}

// What the heading's words are and where its number and title stand: views into the line, or into
// closedUp when the line's first word is letter-spaced. The strings of a HeadingStart are made only
// for the lines that need them.
struct HeadingParts
{
    HeadingWord word = HeadingWord::None;
    std::string_view number;
    std::string_view title; // untrimmed
};

HeadingParts ReadHeadingParts(std::string_view line, std::string& closedUp)
{
    const HeadingVocabulary& words = HeadingWords();
    const std::string& article = words.article;
    const std::string& chapter = words.chapter;
    const std::string& section = words.section;
    const std::string& subsection = words.subsection;
    const std::string& part = words.part;
    const std::string& appendix = words.appendix;
    const std::string& approved = words.approved;
    const std::string& paragraph = words.paragraph;

    HeadingParts start;
    std::string_view text = TrimmedLeft(line);
    // Most lines begin with a byte no heading begins with and do not end with ЧАСТЬ, as a part named
    // by an adjective does: they are read no further. (A letter-spaced word keeps its first letter.)
    if (text.empty() || (!HeadingOpeners(words)[static_cast<unsigned char>(text.front())] &&
                         !TrimBlanks(text).ends_with(part)))
        return start;
    if (IsLetterSpaced(text))
    {
        closedUp = CloseUpLetterSpacing(text);
        text = closedUp;
    }
    const auto split = SplitFirstWord(text);
    const std::string_view first = split.first;
    const std::string_view rest = split.second;
    if (first.empty())
        return start;

    auto take = [&](HeadingWord word, std::string_view number, std::string_view title)
    {
        // A row of a table drawn with box characters is no heading.
        if (HoldsBoxCharacter(text))
            return;
        start.word = word;
        start.number = number;
        start.title = title;
    };
    // «IV. Название», «2.1. Название»: the first word is the number with its full stop.
    auto takeNumbered = [&]
    {
        if (first.size() < 2 || first.back() != '.')
            return;
        const std::string_view number = first.substr(0, first.size() - 1);
        if (IsRomanNumber(number))
            take(HeadingWord::Roman, first, rest);
        else if (IsDottedDigits(number))
            take(HeadingWord::Numbered, first, rest);
    };

    // The heading words are short, a numbered heading's first word ends with its full stop (no
    // heading word does), and a part named by an adjective is followed by ЧАСТЬ alone: a line that
    // begins otherwise is read no further.
    const bool partFollows = TrimBlanks(rest) == part;
    if (!partFollows && first.back() == '.')
    {
        takeNumbered();
        return start;
    }
    if (!partFollows && (first.size() > appendix.size() || !MayBeHeadingWord(first, words)))
        return start;
    const std::string upper = ToUpper(first);
    const auto [token, afterToken] = SplitFirstWord(rest);

    if (upper == article)
    {
        if (IsArticleNumber(token))
            take(HeadingWord::Article, token, afterToken);
        return start;
    }
    if (upper == chapter || upper == section || upper == subsection || upper == part)
    {
        const HeadingWord word = upper == chapter      ? HeadingWord::Chapter
                                 : upper == section    ? HeadingWord::Section
                                 : upper == subsection ? HeadingWord::Subsection
                                                       : HeadingWord::Part;
        const std::string_view bare = WithoutClosingStop(token);
        if (IsDivisionNumber(bare))
        {
            take(word, token, afterToken);
            return start;
        }
        if (IsOrdinalWord(ToUpper(bare)))
        {
            take(word, token, afterToken);
            return start;
        }
        // «ДВАДЦАТЬ ПЕРВАЯ»: an ordinal of two words counts as one number.
        const auto [second, afterSecond] = SplitFirstWord(afterToken);
        if (token.back() != '.' && IsTensWord(ToUpper(token)) &&
            IsOrdinalWord(ToUpper(WithoutClosingStop(second))))
            take(word, std::string_view(token.data(), second.data() + second.size() - token.data()),
                 afterSecond);
        return start;
    }
    // «§ 3. Залог»: the sign, or a "$" that stands for it in a text whose code page has no §, or the
    // word spelled out; the number closes with its full stop, which a sum of money never does.
    const bool sign =
        first.size() == 1 && (first[0] == kDosSectionSign || first[0] == kSectionSign || first[0] == '$');
    if ((upper == paragraph || sign) && token.size() >= 2 && token.back() == '.' &&
        IsJoinedDigits(WithoutClosingStop(token), ".-"))
    {
        take(HeadingWord::Paragraph, token, afterToken);
        return start;
    }
    // «ОБЩАЯ ЧАСТЬ»: a part named by an adjective, in capitals and alone on its line.
    static const std::string feminine = Utf8ToCp1251("АЯ");
    if (partFollows && upper == first && upper.size() > feminine.size() &&
        upper.ends_with(feminine))
    {
        take(HeadingWord::PartName, "", "");
        return start;
    }
    if (upper == appendix)
    {
        take(HeadingWord::Appendix, "", rest);
        return start;
    }
    // УТВЕРЖДЕН, УТВЕРЖДЕНЫ, УТВЕРЖДЕНО, УТВЕРЖДЕНА; not УТВЕРЖДЕНИЕ.
    static const std::string approvedEndings = Utf8ToCp1251("ЫОА");
    if (BeginsWith(upper, approved) &&
        (upper.size() == approved.size() ||
         (upper.size() == approved.size() + 1 && approvedEndings.find(upper.back()) != std::string::npos)))
    {
        take(HeadingWord::Approval, "", rest);
        return start;
    }
    takeNumbered();
    return start;
}
} // namespace

HeadingStart ReadHeadingStart(std::string_view line)
{
    std::string closedUp;
    const HeadingParts parts = ReadHeadingParts(line, closedUp);
    HeadingStart start;
    start.word = parts.word;
    start.number = std::string(parts.number);
    start.closed = !parts.number.empty() && parts.number.back() == '.';
    start.title = Trim(parts.title);
    return start;
}

HeadingWord ReadHeadingWord(std::string_view line)
{
    std::string closedUp;
    return ReadHeadingParts(line, closedUp).word;
}
