#include "core/remarks/HeadingNumbers.h"

#include "core/base/CodePage.h"
#include "core/base/TextRules.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingWords.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace
{
bool IsDigitChar(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetterChar(char c)
{
    return IsLetter(static_cast<unsigned char>(c));
}

// The word of text that begins at (past blanks); at is moved past it.
std::string_view NextWord(std::string_view text, std::size_t& at)
{
    while (at < text.size() && text[at] == ' ')
        ++at;
    const std::size_t from = at;
    while (at < text.size() && text[at] != ' ')
        ++at;
    return text.substr(from, at - from);
}

// The words of a text, split as they are asked for: a heading's number stands within its first few
// words, and the words are read for every heading. Only a plural heading lists more than the first
// kNumberWords; those past them are kept apart.
constexpr std::size_t kNumberWords = 8;
class WordList
{
public:
    explicit WordList(std::string_view text) : m_text(text) {}

    // Every word may be asked for, not only the first kNumberWords.
    void Unlimit() { m_limit = std::string_view::npos; }

    // Word i stands in the text (within the limit).
    bool Has(std::size_t i)
    {
        while (m_count <= i && Split())
        {
        }
        return i < m_count;
    }
    std::string_view& operator[](std::size_t i) { return i < kNumberWords ? m_first[i] : m_more[i - kNumberWords]; }

private:
    bool Split()
    {
        if (m_count >= m_limit)
            return false;
        while (m_at < m_text.size() && m_text[m_at] == ' ')
            ++m_at;
        if (m_at == m_text.size())
            return false;
        const std::size_t from = m_at;
        while (m_at < m_text.size() && m_text[m_at] != ' ')
            ++m_at;
        const std::string_view word = m_text.substr(from, m_at - from);
        if (m_count < kNumberWords)
            m_first[m_count] = word;
        else
            m_more.push_back(word);
        ++m_count;
        return true;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::size_t m_count = 0;
    std::size_t m_limit = kNumberWords;
    std::array<std::string_view, kNumberWords> m_first;
    std::vector<std::string_view> m_more;
};

std::string_view WithoutTrailing(std::string_view s, std::string_view chars)
{
    while (!s.empty() && std::find(chars.begin(), chars.end(), s.back()) != chars.end())
        s.remove_suffix(1);
    return s;
}

// The upper case of every byte, looked up without a call: every heading's first word is compared.
const std::array<char, 256> kUpper = []
{
    std::array<char, 256> out{};
    for (std::size_t c = 0; c < out.size(); ++c)
        out[c] = ToUpperChar(static_cast<char>(c));
    return out;
}();

// word in capitals is upper.
bool EqualsUpper(std::string_view word, std::string_view upper)
{
    if (word.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (kUpper[static_cast<unsigned char>(word[i])] != upper[i])
            return false;
    return true;
}

// Roman figures, the Cyrillic Х and І that typists put for X and I included; 0 when s is none.
int RomanValue(std::string_view s)
{
    static const std::string cyrillicX = Utf8ToCp1251("Х");
    static const std::string cyrillicI = Utf8ToCp1251("І");
    int total = 0;
    int previous = 0;
    for (auto it = s.rbegin(); it != s.rend(); ++it)
    {
        int value = 0;
        const char c = *it;
        if (c == 'I' || c == cyrillicI.front())
            value = 1;
        else if (c == 'V')
            value = 5;
        else if (c == 'X' || c == cyrillicX.front())
            value = 10;
        else if (c == 'L')
            value = 50;
        else if (c == 'C')
            value = 100;
        else
            return 0;
        total += value < previous ? -value : value;
        previous = std::max(previous, value);
    }
    return total > 0 ? total : 0;
}

std::string RomanFigures(int value)
{
    static const std::pair<int, const char*> figures[] = {{100, "C"}, {90, "XC"}, {50, "L"}, {40, "XL"},
                                                          {10, "X"},  {9, "IX"},  {5, "V"},  {4, "IV"},
                                                          {1, "I"}};
    std::string out;
    for (const auto& [figure, text] : figures)
        for (; value >= figure; value -= figure)
            out += text;
    return out;
}

// «ПЕРВАЯ» is 1, «ДВАДЦАТЫЙ» 20; 0 for a word that is no ordinal number.
int OrdinalValue(std::string_view upper)
{
    struct Stem
    {
        std::string text;
        int value;
    };
    static const std::vector<Stem> stems = []
    {
        const std::pair<const char*, int> utf8[] = {
            {"ПЕРВ", 1},         {"ВТОР", 2},          {"ТРЕТ", 3},         {"ЧЕТВЕРТ", 4},      {"ЧЕТВЁРТ", 4},
            {"ПЯТ", 5},          {"ШЕСТ", 6},          {"СЕДЬМ", 7},        {"ВОСЬМ", 8},        {"ДЕВЯТ", 9},
            {"ДЕСЯТ", 10},       {"ОДИННАДЦАТ", 11},   {"ДВЕНАДЦАТ", 12},   {"ТРИНАДЦАТ", 13},   {"ЧЕТЫРНАДЦАТ", 14},
            {"ПЯТНАДЦАТ", 15},   {"ШЕСТНАДЦАТ", 16},   {"СЕМНАДЦАТ", 17},   {"ВОСЕМНАДЦАТ", 18}, {"ДЕВЯТНАДЦАТ", 19},
            {"ДВАДЦАТ", 20},     {"ТРИДЦАТ", 30},      {"СОРОКОВ", 40},     {"ПЯТИДЕСЯТ", 50}};
        std::vector<Stem> out;
        for (const auto& [text, value] : utf8)
            out.push_back({Utf8ToCp1251(text), value});
        return out;
    }();
    static const std::vector<std::string> endings = []
    {
        std::vector<std::string> out;
        for (const char* e : {"АЯ", "ЫЙ", "ОЙ", "ИЙ", "ЬЯ", "ОЕ", "ЬЕ", "ЬИ", "ОГО", "ЬЕГО", "ОЙ"})
            out.push_back(Utf8ToCp1251(e));
        return out;
    }();
    for (const Stem& stem : stems)
    {
        if (upper.size() <= stem.text.size() || upper.substr(0, stem.text.size()) != stem.text)
            continue;
        const std::string_view ending = upper.substr(stem.text.size());
        if (std::find(endings.begin(), endings.end(), ending) != endings.end())
            return stem.value;
    }
    return 0;
}

// The tens of an ordinal of two words: ДВАДЦАТЬ of «ДВАДЦАТЬ ПЕРВАЯ».
int TensValue(std::string_view upper)
{
    static const std::vector<std::pair<std::string, int>> tens = []
    {
        std::vector<std::pair<std::string, int>> out;
        for (const auto& [text, value] : {std::pair{"ДВАДЦАТЬ", 20}, {"ТРИДЦАТЬ", 30}, {"СОРОК", 40}})
            out.emplace_back(Utf8ToCp1251(text), value);
        return out;
    }();
    for (const auto& [text, value] : tens)
        if (upper == text)
            return value;
    return 0;
}

// A number token as the series writes it, without the punctuation after it.
std::optional<Number> ReadNumber(std::string_view token, Series series)
{
    const std::string_view s = WithoutTrailing(token, ".,:;)");
    if (s.empty())
        return std::nullopt;
    Number number;
    if (IsDigitChar(s.front()))
    {
        std::size_t i = 0;
        int value = 0;
        while (i < s.size() && IsDigitChar(s[i]) && value < 100000)
            value = value * 10 + (s[i++] - '0');
        number.path.push_back(value);
        const std::string_view rest = s.substr(i);
        if (series == Series::Numbered)
        {
            // «2.1.3»: groups of digits after full stops.
            std::size_t j = 0;
            while (j < rest.size())
            {
                if (rest[j] != '.' || j + 1 >= rest.size() || !IsDigitChar(rest[j + 1]))
                    return std::nullopt;
                ++j;
                int part = 0;
                while (j < rest.size() && IsDigitChar(rest[j]) && part < 100000)
                    part = part * 10 + (rest[j++] - '0');
                if (!number.path.push_back(part))
                    return std::nullopt;
            }
            number.written = JoinPath(number.path);
            return number;
        }
        if (!rest.empty())
        {
            // «18-1», «18.1», «12а», «5<1>», «5^1»: an inserted number; «12.1-2» counts as «12.1».
            const char c = rest.front();
            int inserted = 0;
            std::size_t j = 1;
            if (IsLetterChar(c))
            {
                static const std::string alphabet = Utf8ToCp1251("абвгдежзиклмнопрстуфхцчшщэюя");
                const std::size_t letter = alphabet.find(ToLowerChar(c));
                inserted = letter == std::string::npos ? 1 : static_cast<int>(letter) + 1;
                number.separator = 'a';
            }
            else if (c == '.' || c == '-' || c == '<' || c == '^')
            {
                while (j < rest.size() && IsDigitChar(rest[j]) && inserted < 100000)
                    inserted = inserted * 10 + (rest[j++] - '0');
                if (j == 1)
                    return std::nullopt;
                number.separator = c;
            }
            else
                return std::nullopt;
            number.path.push_back(inserted);
            // «123-20-1»: an article inserted after an inserted one.
            while (j + 1 < rest.size() && rest[j] == c && (c == '.' || c == '-') && IsDigitChar(rest[j + 1]))
            {
                int deeper = 0;
                for (++j; j < rest.size() && IsDigitChar(rest[j]) && deeper < 100000; ++j)
                    deeper = deeper * 10 + (rest[j] - '0');
                if (!number.path.push_back(deeper))
                    return std::nullopt;
            }
        }
        number.written = std::string(s);
        return number;
    }
    if (series == Series::Numbered)
        return std::nullopt;
    // «Подраздел i»: after a division word a number in small roman figures is still one (a case rule
    // may have lowered it); «i.» alone opens an item of a list.
    const bool smallRoman = series != Series::Roman &&
                            std::all_of(s.begin(), s.end(), [](char c) { return c == 'i' || c == 'v' || c == 'x'; });
    if (const int roman = RomanValue(smallRoman ? ToUpper(s) : std::string(s)); roman > 0)
    {
        number.path.push_back(roman);
        number.roman = true;
        number.written = RomanFigures(roman);
        return number;
    }
    if (const int ordinal = OrdinalValue(ToUpper(s)); ordinal > 0)
    {
        number.path.push_back(ordinal);
        number.written = std::to_string(ordinal);
        return number;
    }
    return std::nullopt;
}

struct SeriesWord
{
    std::string singular;
    std::string plural;
    Series series;
};

const std::vector<SeriesWord>& SeriesWords()
{
    const HeadingVocabulary& w = HeadingWords();
    static const std::vector<SeriesWord> words = {{w.article, w.articles, Series::Article},
                                                  {w.chapter, w.chapters, Series::Chapter},
                                                  {w.section, w.sections, Series::Section},
                                                  {w.subsection, w.subsections, Series::Subsection},
                                                  {w.part, w.parts, Series::Part},
                                                  {w.appendix, w.appendices, Series::Appendix},
                                                  {w.paragraphSign, w.paragraphSigns, Series::Paragraph}};
    return words;
}

// «2.», «10.1.»: digits, with full stops between them, closed by a full stop.
bool IsNumberWithStop(std::string_view word)
{
    return word.size() >= 2 && word.back() == '.' && IsDigitChar(word.front()) &&
           std::all_of(word.begin(), word.end() - 1, [](char c) { return IsDigitChar(c) || c == '.'; });
}

bool IsDash(std::string_view word)
{
    static const std::string enDash = Utf8ToCp1251("–");
    static const std::string emDash = Utf8ToCp1251("—");
    return word == "-" || word == enDash || word == emDash;
}

void Cover(HeadingNumbers& numbers, Number number)
{
    if (numbers.first.path.empty())
        numbers.first = number;
    else
        numbers.others.push_back(number.written);
    numbers.last = std::move(number);
}

// Every number from the last one covered up to to.
void CoverRange(HeadingNumbers& numbers, const Number& to)
{
    const Number from = numbers.last;
    for (int v = from.path.back() + 1; v < to.path.back() && v - from.path.back() < 1000; ++v)
    {
        Number n = to;
        n.path.back() = v;
        numbers.others.push_back(WrittenLike(n, to));
    }
    Cover(numbers, to);
}

// The numbers after a division word: one, or with the plural word a list and ranges
// («Статьи 24-2, 25, 26.», «Статьи 89 – 101»).
void ReadNumberList(HeadingNumbers& numbers, WordList& words, std::size_t i, bool plural)
{
    static const std::string conjunction = Utf8ToCp1251("И");
    bool range = false;
    while (words.Has(i))
    {
        std::string_view word = words[i];
        const std::string_view original = word;
        // The layout of an aligned entry may open a gap inside a dotted number: «Статья 2.     2. Нарушение»
        // is article 2.2; a title never begins with a number of its own.
        std::string joined;
        while (numbers.series != Series::Numbered && word.size() > 1 && word.back() == '.' &&
               IsDigitChar(word[word.size() - 2]) && words.Has(i + 1) && IsNumberWithStop(words[i + 1]))
        {
            joined = std::string(word) + std::string(words[++i]);
            word = joined;
        }
        std::optional<Number> number = ReadNumber(word, numbers.series);
        if (!number && numbers.series != Series::Numbered && words.Has(i + 1))
        {
            // «ДВАДЦАТЬ ПЕРВАЯ»: one number in two words.
            if (const int tens = TensValue(ToUpper(original)); tens > 0)
                if (std::optional<Number> units = ReadNumber(words[i + 1], numbers.series);
                    units && !units->roman && units->path.back() < 10)
                {
                    number = units;
                    number->path.back() += tens;
                    number->written = std::to_string(number->path.back());
                    word = words[++i];
                }
        }
        if (number)
        {
            // «89-101», «244-1-244-10» of a plural heading are ranges, as «89 - 101» is: the hyphen that
            // splits the word into two numbers, the second after the first.
            if (plural && number->path.size() > 1)
                for (std::size_t hyphen = word.find('-'); number && hyphen != std::string_view::npos;
                     hyphen = word.find('-', hyphen + 1))
                {
                    const std::optional<Number> from = ReadNumber(word.substr(0, hyphen), numbers.series);
                    const std::optional<Number> to = ReadNumber(word.substr(hyphen + 1), numbers.series);
                    if (from && to && from->path < to->path && from->path[0] <= to->path[0] &&
                        (from->path.size() > 1 || to->path[0] > from->path[0]))
                    {
                        Cover(numbers, *from);
                        CoverRange(numbers, *to);
                        number.reset();
                    }
                }
            const bool single = number && number->path.size() == 1 && !number->roman;
            if (number)
            {
                if (range && !numbers.first.path.empty())
                    CoverRange(numbers, *number);
                else
                    Cover(numbers, std::move(*number));
            }
            range = false;
            const char end = word.back();
            // «Статья 152 - 1»: the layout of a range spaced out an inserted number.
            if (!plural && single && IsDigitChar(end) && words.Has(i + 2) &&
                IsDash(words[i + 1]) && std::all_of(words[i + 2].begin(), words[i + 2].end(), [](char ch) {
                    return IsDigitChar(ch) || ch == '.';
                }))
                if (std::optional<Number> inserted = ReadNumber(std::string(word) + "-" + std::string(words[i + 2]),
                                                                numbers.series))
                {
                    // The number read was the heading's first and only one.
                    numbers.first = numbers.last = *inserted;
                    return;
                }
            if (!plural || end == '.' || end == ':' || end == ')')
                return;
            ++i;
            continue;
        }
        if (plural && (IsDash(word) || ToUpper(original) == conjunction || word == ","))
        {
            range = IsDash(word);
            ++i;
            continue;
        }
        return;
    }
}
// «С т а т ь я 5.» as «Статья 5.»: the layout of an entry leaves one blank between spaced letters. The
// letters are joined up to a heading word, so that «Р А З Д Е Л I» keeps its number. Empty when the
// text does not begin with spaced letters.
std::string CloseUpLetters(std::string_view text)
{
    if (text.size() < 5 || text[1] != ' ')
        return {};
    std::string word;
    std::size_t at = 0;
    std::size_t letters = 0;
    while (true)
    {
        std::size_t next = at;
        const std::string_view letter = NextWord(text, next);
        if (letter.size() != 1 || !IsLetterChar(letter[0]))
            break;
        word += letter;
        at = next;
        ++letters;
        if (std::any_of(SeriesWords().begin(), SeriesWords().end(), [&](const SeriesWord& w) {
                return EqualsUpper(word, w.singular) || EqualsUpper(word, w.plural);
            }))
            break;
    }
    if (letters < 3)
        return {};
    // The rest of the text, its words parted by one blank.
    std::string out = word;
    for (std::string_view rest = NextWord(text, at); !rest.empty(); rest = NextWord(text, at))
        out.append(" ").append(rest);
    return out;
}
// 1 to 5 digits, and the value they are.
bool ReadDigits(std::string_view digits, int& value)
{
    if (digits.empty() || digits.size() > 5)
        return false;
    value = 0;
    for (const char c : digits)
    {
        if (!IsDigitChar(c))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// «5», «65-1», «17.4»: a number of one value, or with one inserted value, without the full stop after it.
bool ReadPlainNumber(std::string_view word, Number& number)
{
    std::size_t split = 0;
    while (split < word.size() && IsDigitChar(word[split]))
        ++split;
    int value = 0;
    if (!ReadDigits(word.substr(0, split), value))
        return false;
    number.path = {value};
    if (split < word.size())
    {
        const char separator = word[split];
        int inserted = 0;
        if ((separator != '-' && separator != '.') || !ReadDigits(word.substr(split + 1), inserted))
            return false;
        number.path.push_back(inserted);
        number.separator = separator;
    }
    number.written = std::string(word);
    return true;
}

// «Статья 5. Название», «Статья 65-1.», «Глава 12», «3. Название»: the forms most headings take, read as
// the general reading below reads them, without its work. False when the text takes another form.
bool ReadPlainHeading(std::string_view text, HeadingNumbers& numbers)
{
    if (text.empty() || text[0] == ' ')
        return false;
    std::size_t at = 0;
    const std::string_view first = NextWord(text, at);
    const std::string_view second = NextWord(text, at);
    const std::string_view third = NextWord(text, at);
    int value = 0;
    if (first.size() >= 2 && first.back() == '.' && !second.empty() && ReadDigits(first.substr(0, first.size() - 1), value))
    {
        numbers.series = Series::Numbered;
        numbers.first.path = {value};
        numbers.first.written = std::to_string(value);
        numbers.last = numbers.first;
        return true;
    }
    const bool stop = !second.empty() && second.back() == '.';
    Number number;
    if (!ReadPlainNumber(stop ? second.substr(0, second.size() - 1) : second, number))
        return false;
    // What the general reading would join to the number: «Статья 2.  2.», «Статья 152 - 1».
    if (!third.empty() && (stop ? IsNumberWithStop(third) : number.path.size() == 1 && IsDash(third)))
        return false;
    const std::string_view bare = WithoutTrailing(first, ".:");
    for (const SeriesWord& word : SeriesWords())
    {
        if (EqualsUpper(bare, word.plural))
            return false;
        if (!EqualsUpper(bare, word.singular))
            continue;
        if (word.series == Series::Paragraph)
            return false;
        numbers.series = word.series;
        numbers.first = std::move(number);
        numbers.last = numbers.first;
        return true;
    }
    return false;
}
} // namespace

HeadingNumbers ReadHeadingNumbers(std::string_view text)
{
    HeadingNumbers numbers;
    const std::string closedUp = CloseUpLetters(text);
    if (!closedUp.empty())
        text = closedUp;
    if (ReadPlainHeading(text, numbers))
        return numbers;
    WordList words(text);
    if (!words.Has(0))
        return numbers;
    const std::string& paragraph = HeadingWords().paragraphSign;
    const std::string_view firstWord = words[0];
    // «§5.» with the number joined to the sign.
    if (firstWord.starts_with(paragraph) && firstWord.size() > 1 && firstWord[1] != paragraph.front())
    {
        numbers.series = Series::Paragraph;
        words[0] = firstWord.substr(1);
        ReadNumberList(numbers, words, 0, false);
        if (numbers.first.path.empty())
            numbers.series = Series::None;
        return numbers;
    }
    const std::string_view bareWord = WithoutTrailing(firstWord, ".:");
    for (const SeriesWord& word : SeriesWords())
    {
        const bool plural = EqualsUpper(bareWord, word.plural);
        if (!plural && !EqualsUpper(bareWord, word.singular))
            continue;
        numbers.series = word.series;
        if (plural)
            words.Unlimit();
        std::size_t i = 1;
        // «Приложение N 2», «Приложение № 2».
        const std::string& numberSign = HeadingWords().numberSign;
        if (words.Has(i) && (words[i] == "N" || words[i] == numberSign || words[i] == "N."))
            ++i;
        else if (words.Has(i) && (words[i].starts_with("N") || words[i].starts_with(numberSign)) &&
                 words[i].size() > 1 && IsDigitChar(words[i][1]))
            words[i] = words[i].substr(1);
        ReadNumberList(numbers, words, i, plural);
        return numbers;
    }
    // «IV. Название», «2.1. Название»: the number closed by a full stop opens the line.
    if (firstWord.size() >= 2 && firstWord.back() == '.' && words.Has(1))
    {
        const std::string_view bare = firstWord.substr(0, firstWord.size() - 1);
        if (IsDigitChar(bare.front()))
            numbers.series = Series::Numbered;
        else if (RomanValue(bare) > 0 && std::none_of(bare.begin(), bare.end(), [](char c) {
                     return IsLowerLetter(static_cast<unsigned char>(c));
                 }))
            numbers.series = Series::Roman;
        if (numbers.series != Series::None)
        {
            ReadNumberList(numbers, words, 0, false);
            if (numbers.first.path.empty())
                numbers.series = Series::None;
        }
    }
    return numbers;
}

int DivisionRank(Series series)
{
    switch (series)
    {
    case Series::Part:
        return 0;
    case Series::Section:
        return 1;
    case Series::Subsection:
        return 2;
    case Series::Chapter:
        return 3;
    case Series::Paragraph:
        return 4;
    case Series::Article:
        return 5;
    default:
        return -1;
    }
}

std::string JoinPath(const NumberPath& path)
{
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i)
    {
        if (i > 0)
            out += '.';
        out += std::to_string(path[i]);
    }
    return out;
}

std::string WrittenLike(const Number& n, const Number& like)
{
    if (like.roman)
        return RomanFigures(n.path.back());
    return JoinPath(n.path);
}
