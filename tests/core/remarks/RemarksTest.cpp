// The remarks on a table of contents: each kind of remark next to the numbering that only looks
// irregular, the places remarks are tied to, and a property over generated documents.

#include "core/document/Markers.h"
#include "core/remarks/Remarks.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace
{
struct Entry
{
    int level; // 1 = top
    const char* text;
};

// A text with one block per entry, each in front of its heading and a line of body text.
std::vector<std::string> TocText(const std::vector<Entry>& entries)
{
    std::vector<std::string> lines = {Cp("Текст документа.")};
    for (const Entry& entry : entries)
    {
        lines.push_back(MarkerLine(Marker::Ogl));
        lines.push_back(std::string(static_cast<std::size_t>(entry.level), '*'));
        lines.push_back(Cp(entry.text));
        lines.push_back(MarkerLine(Marker::Kon));
        lines.push_back(Cp(entry.text));
        lines.push_back(Cp("Текст под заголовком."));
    }
    return lines;
}

// The remarks as "heading text: message" in UTF-8, the heading read from the line the remark names.
std::vector<std::string> Described(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const Remark& remark : FindRemarks(lines))
        out.push_back(Cp1251ToUtf8(lines.at(remark.line)) + ": " + Cp1251ToUtf8(remark.text));
    return out;
}

struct Case
{
    const char* name;
    std::vector<Entry> entries;
    std::vector<std::string> remarks;
};

class RemarkCases : public testing::TestWithParam<Case>
{
};

TEST_P(RemarkCases, NameWhatIsIrregularAndNothingElse)
{
    EXPECT_EQ(Described(TocText(GetParam().entries)), GetParam().remarks);
}

const Case kCases[] = {
    {"Gap", {{1, "Статья 63. Права"}, {1, "Статья 65. Обязанности"}},
     {"Статья 65. Обязанности: После статьи 63 идёт статья 65: нет статьи 64"}},
    {"GapOfSeveral", {{1, "Статья 3. А"}, {1, "Статья 4. Б"}, {1, "Статья 9. В"}, {1, "Статья 11. Г"}},
     {"Статья 3. А: Статья 3 идёт первой: нет статей 1 и 2", "Статья 9. В: После статьи 4 идёт статья 9: нет статей с 5 по 8",
      "Статья 11. Г: После статьи 9 идёт статья 11: нет статьи 10"}},
    {"InsertedNumbersStandBetween",
     {{1, "Статья 18. А"}, {1, "Статья 18-1. Б"}, {1, "Статья 18-2. В"}, {1, "Статья 18.3. Г"}, {1, "Статья 19. Д"},
      {1, "Статья 19а. Е"}, {1, "Статья 20. Ж"}, {1, "Статья 20<1>. З"}, {1, "Статья 20^2. И"}, {1, "Статья 21. К"}},
     {}},
    {"InsertedNumberWithoutItsArticle", {{1, "Статья 17. А"}, {1, "Статья 18-1. Б"}},
     {"Статья 18-1. Б: После статьи 17 идёт статья 18-1: нет статьи 18"}},
    {"ArticlesNumberedWithinChapters",
     {{1, "Статья 2.11. А"}, {1, "Статья 2.12. Б"}, {1, "Статья 3.1. В"}, {1, "Статья 3.3. Г"}},
     {"Статья 3.3. Г: После статьи 3.1 идёт статья 3.3: нет статьи 3.2"}},
    {"ARepealedChapterLeavesNoGapInTheArticlesOfTheNext",
     {{1, "Глава 11. А"}, {2, "Статья 11.15. Б"}, {1, "Глава 12. Утратила силу"}, {1, "Глава 13. В"},
      {2, "Статья 13.1. Г"}},
     {}},
    {"ALostChapterTakesItsArticlesAlong",
     {{1, "Глава 11. А"}, {2, "Статья 11.15. Б"}, {1, "Глава 13. В"}, {2, "Статья 13.1. Г"}},
     {"Глава 13. В: После главы 11 идёт глава 13: нет главы 12"}},
    {"WithoutAChapterArticlesJumpingToTheNextBranchHaveAGap",
     {{1, "Статья 11.15. Б"}, {1, "Статья 13.1. Г"}},
     {"Статья 13.1. Г: После статьи 11.15 идёт статья 13.1: нет статьи 12"}},
    {"RomanFiguresLoweredByACaseRule",
     {{1, "Подраздел i. Приказное производство"}, {1, "Подраздел ii. Исковое производство"}, {1, "Подраздел iv. В"}},
     {"Подраздел iv. В: После подраздела II идёт подраздел IV: нет подраздела III"}},
    {"AMasculineSeriesComesFirstAsSuch", {{1, "Раздел III. А"}, {1, "Раздел IV. Б"}},
     {"Раздел III. А: Раздел III идёт первым: нет разделов I и II"}},
    {"Repeat", {{1, "Статья 11. А"}, {1, "Статья 12. Б"}, {1, "Статья 12. Б"}},
     {"Статья 12. Б: Статья 12 встречается второй раз"}},
    {"GoingBack", {{1, "Глава 8. А"}, {1, "Глава 7. Б"}}, {"Глава 7. Б: Глава 7 стоит после главы 8"}},
    {"ContinuingAcrossParents",
     {{1, "Глава 1. А"}, {2, "Статья 1. Б"}, {2, "Статья 2. В"}, {1, "Глава 2. Г"}, {2, "Статья 3. Д"}}, {}},
    {"RestartUnderANewParent",
     {{1, "Правила"}, {2, "1. Общие положения"}, {2, "2. Права"}, {1, "Приложение N 1"}, {2, "1. Форма"},
      {2, "2. Порядок"}},
     {}},
    {"RestartWithoutAParent", {{1, "1. Общие положения"}, {1, "2. Права"}, {1, "1. Форма"}},
     {"1. Форма: Заголовок 1 встречается второй раз"}},
    {"GoingBackWithoutAParent", {{1, "1. Общие положения"}, {1, "5. Права"}, {1, "4. Форма"}},
     {"5. Права: После заголовка 1 идёт заголовок 5: нет заголовков с 2 по 4",
      "4. Форма: Заголовок 4 стоит после заголовка 5"}},
    {"RepealedRangesCoverTheirNumbers",
     {{1, "Статья 88. А"}, {1, "Статьи 89 - 101 утратили силу"}, {1, "Статья 102. Б"}, {1, "Статья 103. Исключена"},
      {1, "Статья 104. Г"}, {1, "Статья 104-1. Д"}, {1, "Статьи 104-2, 105, 106. Исключены"}, {1, "Статья 107. В"}},
     {}},
    {"WithoutTheRangeTheNumbersAreMissing", {{1, "Статья 88. А"}, {1, "Статья 102. Б"}},
     {"Статья 102. Б: После статьи 88 идёт статья 102: нет статей с 89 по 101"}},
    {"OrdinalParts", {{1, "ЧАСТЬ ПЕРВАЯ"}, {1, "ЧАСТЬ ВТОРАЯ"}, {1, "ЧАСТЬ ДВАДЦАТЬ ПЕРВАЯ"}},
     {"ЧАСТЬ ДВАДЦАТЬ ПЕРВАЯ: После части 2 идёт часть 21: нет частей с 3 по 20"}},
    {"RomanAndLetterSpaced",
     {{1, "Раздел I. А"}, {1, "Раздел II. Б"}, {1, "Р А З Д Е Л  IV. В"}, {2, "I. Г"}, {2, "III. Д"}},
     {"Р А З Д Е Л  IV. В: После раздела II идёт раздел IV: нет раздела III",
      "III. Д: После заголовка I идёт заголовок III: нет заголовка II"}},
    {"DottedNumbersOpenBranches",
     {{1, "1. А"}, {2, "1.1. Б"}, {2, "1.2. В"}, {1, "2. Г"}, {2, "2.1. Д"}, {2, "3.1. Е"}},
     {"3.1. Е: Перед заголовком 3.1 нет заголовка 3"}},
    {"Appendices", {{1, "Приложение N 1"}, {1, "Приложение № 2"}, {1, "Приложение 4"}},
     {"Приложение 4: После приложения № 2 идёт приложение № 4: нет приложения № 3"}},
    {"Nesting",
     {{1, "Раздел I. А"}, {2, "Статья 1. Б"}, {3, "Глава 1. В"}, {1, "Раздел II. Г"}, {2, "Глава 2. Д"},
      {3, "Статья 2. Е"}},
     {"Глава 1. В: Глава 1 вложена в статью 1"}},
    {"BodyText",
     {{1, "Статья 1. Права граждан,"}, {1, "Статья 2. Права граждан на"},
      {1, "Статья 3. Права граждан. Суд рассматривает дела. Решение вступает в силу."},
      {1, "Статья 4. Права граждан и организаций. Общие положения"}},
     {"Статья 1. Права граждан,: Похоже на текст, а не на заголовок: оканчивается на \",\"",
      "Статья 2. Права граждан на: Похоже на текст, а не на заголовок: оканчивается на \"на\"",
      "Статья 3. Права граждан. Суд рассматривает дела. Решение вступает в силу.: Похоже на текст, а не на "
      "заголовок: в нём несколько предложений"}},
};

INSTANTIATE_TEST_SUITE_P(Remarks, RemarkCases, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(Remarks, AreTiedToTheHeadingLineAndItsBlock)
{
    std::vector<std::string> lines = Doc({"Текст.", "<ОГЛ>", "**", "  Статья 1.  Права", "<КОН>", "", "Статья 1. Права",
                                          "<ОГЛ>", "**", "  Статья 3.  Суд", "<КОН>", "<ОГЛ>", "<КОН>", "",
                                          "Статья 3. Суд"});
    for (std::string& line : lines)
        line += '\r';
    const std::vector<Remark> remarks = FindRemarks(lines);
    ASSERT_EQ(remarks.size(), 1u);
    EXPECT_EQ(remarks[0].line, 14u);
    EXPECT_EQ(remarks[0].oglLine, 7u);
    EXPECT_EQ(remarks[0].kind, RemarkKind::Gap);
    EXPECT_EQ(RemarkKindName(remarks[0].kind), "gap");
}

TEST(Remarks, LeadToAMissingHeadingThatStandsInTheText)
{
    const std::vector<std::string> lines =
        Doc({"<ОГЛ>", "*", "Глава 1. А", "<КОН>", "Глава 1. А", "<ОГЛ>", "**", "Статья 1. Б", "<КОН>", "Статья 1. Б",
             "Текст. Глава 2. В", "<ОГЛ>", "**", "Статья 2. Г", "<КОН>", "Статья 2. Г", "Текст статьи 2.", "<ОГЛ>", "*",
             "Глава 3. Д", "<КОН>", "Глава 3. Д"});
    EXPECT_EQ(Described(lines),
              (std::vector<std::string>{
                  "Статья 1. Б: В тексте под этим заголовком стоит \"Глава 2\", а в оглавлении этого заголовка нет",
                  "Глава 3. Д: После главы 1 идёт глава 3: нет главы 2"}));
}

TEST(Remarks, ATextWithoutBlocksHasNone)
{
    EXPECT_TRUE(FindRemarks({}).empty());
    EXPECT_TRUE(FindRemarks(Doc({"Статья 1. А", "Статья 3. Б", "<ОГЛ>", "*"})).empty());
}

// Documents of chapters, articles (numbered on through the chapters or anew in each), inserted
// articles, appendices and dotted headings, numbered without a gap. traceable tells for each entry
// whether its loss shows in the numbering: a later number of its sequence follows it (an inserted
// article, and the last of a sequence, leave no trace). Where numbers begin again under each parent,
// a parent holds at least two: a lost «1» whose «2» would go on from the previous parent's last number
// reads as numbering that runs on.
std::vector<Entry> GeneratedToc(std::mt19937& random, std::vector<std::string>& texts, std::vector<bool>& traceable)
{
    std::vector<Entry> entries;
    auto add = [&](int level, std::string text, bool followed)
    {
        texts.push_back(std::move(text));
        entries.push_back({level, nullptr});
        traceable.push_back(followed);
    };
    const bool restart = random() % 2 == 0;
    int article = 0;
    const int chapters = 2 + static_cast<int>(random() % 4);
    for (int c = 1; c <= chapters; ++c)
    {
        add(1, "Глава " + std::to_string(c) + ". Название", c < chapters);
        if (restart)
            article = 0;
        for (int a = 0, n = (restart ? 2 : 1) + static_cast<int>(random() % 3); a < n; ++a)
        {
            add(2, "Статья " + std::to_string(++article) + ". Название", a + 1 < n || (!restart && c < chapters));
            if (random() % 5 == 0)
                add(2, "Статья " + std::to_string(article) + "-1. Вставлена", false);
        }
    }
    for (int p = 1, n = static_cast<int>(random() % 3); p <= n; ++p)
    {
        add(1, "Приложение N " + std::to_string(p), p < n);
        for (int s = 1, m = 2 + static_cast<int>(random() % 2); s <= m; ++s)
        {
            const int k = static_cast<int>(random() % 3);
            add(2, std::to_string(s) + ". Раздел", s < m || k > 0);
            for (int d = 1; d <= k; ++d)
                add(3, std::to_string(s) + "." + std::to_string(d) + ". Пункт", d < k);
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].text = texts[i].c_str();
    return entries;
}

// What a failure shows: the remarks with their lines, or the entries when there is none.
std::string Explained(const std::vector<std::string>& lines)
{
    std::string out;
    for (const Remark& remark : FindRemarks(lines))
        out += "\n  " + std::to_string(remark.line) + ": " + Cp1251ToUtf8(remark.text);
    if (out.empty())
        for (const std::string& line : lines)
            if (!IsMarkerLine(line) && (line.empty() || line.front() != '*'))
                out += "\n  | " + Cp1251ToUtf8(line);
    return out;
}

TEST(Remarks, ContinuousNumberingHasNoGapAndLosingAnyHeadingLeavesOneAtItsNeighbour)
{
    std::mt19937 random(2026);
    for (int round = 0; round < 60; ++round)
    {
        std::vector<std::string> texts;
        texts.reserve(200);
        std::vector<bool> traceable;
        const std::vector<Entry> entries = GeneratedToc(random, texts, traceable);
        const std::vector<std::string> whole = TocText(entries);
        for (const Remark& remark : FindRemarks(whole))
            ADD_FAILURE() << "round " << round << ": " << Cp1251ToUtf8(remark.text);

        for (std::size_t lost = 0; lost < entries.size(); ++lost)
        {
            if (!traceable[lost])
                continue;
            // The block goes and the heading stays in the text, as when the recognition missed it.
            // Entry i stands on lines 1 + 6i (ОГЛ) to 6 + 6i, its heading on 5 + 6i.
            std::vector<std::string> lines = whole;
            const std::size_t ogl = 1 + 6 * lost;
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(ogl),
                        lines.begin() + static_cast<std::ptrdiff_t>(ogl + 4));
            const std::size_t before = ogl - 2;
            const std::size_t after = ogl + 6;
            bool named = false;
            for (const Remark& remark : FindRemarks(lines))
                named = named || (remark.kind == RemarkKind::Gap && (remark.line == before || remark.line == after));
            EXPECT_TRUE(named) << "round " << round << ", lost " << texts[lost] << Explained(lines);
        }
    }
}
} // namespace
