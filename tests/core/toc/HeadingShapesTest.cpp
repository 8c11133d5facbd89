// How the extended recognition reads the beginning of a line: the heading word, its number and the
// title, and the false friends that begin like a heading.

#include "core/toc/HeadingShapes.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(HeadingShapes, ReadHeadingStartTellsHeadingWordsAndNumbers)
{
    struct Case
    {
        std::string line;
        HeadingWord word;
        std::string number;
        std::string title;
    };
    const std::vector<Case> cases = {
        {"Статья 5.", HeadingWord::Article, "5.", ""},
        {"     Статья 5. Название", HeadingWord::Article, "5.", "Название"},
        {"Статья 18-1. Меры", HeadingWord::Article, "18-1.", "Меры"},
        {"Статья 1.1. Законодательство", HeadingWord::Article, "1.1.", "Законодательство"},
        {"Статья 12.1-2.", HeadingWord::Article, "12.1-2.", ""},
        {"Статья 5<1>. Вставка", HeadingWord::Article, "5<1>.", "Вставка"},
        {"Статья 12а.", HeadingWord::Article, "12а.", ""},
        {"Статья 1", HeadingWord::Article, "1", ""},
        {"СТАТЬЯ 7. ПРАВА", HeadingWord::Article, "7.", "ПРАВА"},
        {"С т а т ь я  20. Леса", HeadingWord::Article, "20.", "Леса"},
        {"Статья 5 настоящего Закона применяется", HeadingWord::Article, "5",
         "настоящего Закона применяется"},
        {"Статьей 5 установлено", HeadingWord::None, "", ""},
        {"Статья пятая", HeadingWord::None, "", ""},
        {"\"Статья 2. Контроль", HeadingWord::None, "", ""},
        {"Глава 12.1. Правонарушения", HeadingWord::Chapter, "12.1.", "Правонарушения"},
        {"ГЛАВА 15-1.", HeadingWord::Chapter, "15-1.", ""},
        {"ГЛАВА ПЕРВАЯ", HeadingWord::Chapter, "ПЕРВАЯ", ""},
        {"ГЛАВА ДВАДЦАТЬ ПЕРВАЯ", HeadingWord::Chapter, "ДВАДЦАТЬ ПЕРВАЯ", ""},
        {"РАЗДЕЛ ШЕСТЬДЕСЯТ ВТОРОЙ. Итоги", HeadingWord::Section, "ШЕСТЬДЕСЯТ ВТОРОЙ.", "Итоги"},
        {"ГЛАВА ПЯТИДЕСЯТАЯ", HeadingWord::Chapter, "ПЯТИДЕСЯТАЯ", ""},
        {"ГЛАВА ДВАДЦАТЬ ЧЕЛОВЕК", HeadingWord::None, "", ""},
        {"ГЛАВА 1 ОСНОВЫ СТРОЯ", HeadingWord::Chapter, "1", "ОСНОВЫ СТРОЯ"},
        {"Глава государства", HeadingWord::None, "", ""},
        {"ГЛАВА МЕСТНОЙ АДМИНИСТРАЦИИ", HeadingWord::None, "", ""},
        {"Глава 5 настоящего Кодекса", HeadingWord::Chapter, "5", "настоящего Кодекса"},
        {"Раздел II. Название", HeadingWord::Section, "II.", "Название"},
        {"РАЗДЕЛ ПЕРВЫЙ", HeadingWord::Section, "ПЕРВЫЙ", ""},
        {"Раздел третий. Название", HeadingWord::Section, "третий.", "Название"},
        {"Подраздел 2. Документы", HeadingWord::Subsection, "2.", "Документы"},
        {"ПОДРАЗДЕЛ II", HeadingWord::Subsection, "II", ""},
        {"Подразделение 5", HeadingWord::None, "", ""},
        {"ЧАСТЬ ВТОРАЯ", HeadingWord::Part, "ВТОРАЯ", ""},
        {"Часть 1 статьи 5", HeadingWord::Part, "1", "статьи 5"},
        {"ОБЩАЯ ЧАСТЬ", HeadingWord::PartName, "", ""},
        {"Общая часть", HeadingWord::None, "", ""},
        {"I. Общие положения", HeadingWord::Roman, "I.", "Общие положения"},
        {"XIV. Сроки", HeadingWord::Roman, "XIV.", "Сроки"},
        {"2.1. Порядок", HeadingWord::Numbered, "2.1.", "Порядок"},
        {"1 Собрание законодательства", HeadingWord::None, "", ""},
        {"1) обработке", HeadingWord::None, "", ""},
        {"Приложение N 2", HeadingWord::Appendix, "", "N 2"},
        {"приложению N 3 к приказу", HeadingWord::None, "", ""},
        {"Приложения", HeadingWord::None, "", ""},
        {"УТВЕРЖДЕНЫ", HeadingWord::Approval, "", ""},
        {"Утверждено приказом", HeadingWord::Approval, "", "приказом"},
        {"Утверждение", HeadingWord::None, "", ""},
        {"§ 3. Залог", HeadingWord::Paragraph, "3.", "Залог"},
        {"     $ 1. Основные положения", HeadingWord::Paragraph, "1.", "Основные положения"},
        {"Параграф 2. Неустойка", HeadingWord::Paragraph, "2.", "Неустойка"},
        {"ПАРАГРАФ 1-1.", HeadingWord::Paragraph, "1-1.", ""},
        {"$ 100 уплачиваются в рублях", HeadingWord::None, "", ""},
        {"Параграф 3 настоящей главы", HeadingWord::None, "", ""},
        {"§ 2 статьи 5", HeadingWord::None, "", ""},
        // Lines that a quick look at their first byte or first word sets aside, and their neighbours
        // that must still be read in full.
        {"статья 5. Название", HeadingWord::Article, "5.", "Название"},
        {"глава 3", HeadingWord::Chapter, "3", ""},
        {"власти.", HeadingWord::None, "", ""},
        {"ст. 5 Закона", HeadingWord::None, "", ""},
        {"12. Порядок", HeadingWord::Numbered, "12.", "Порядок"},
        {"12.5 процента", HeadingWord::None, "", ""},
        {"ОСОБЕННАЯ ЧАСТЬ  ", HeadingWord::PartName, "", ""},
        {"З А К О Н", HeadingWord::None, "", ""},
        {"Г Л А В А  2. Суды", HeadingWord::Chapter, "2.", "Суды"},
        {"Утвержденоо", HeadingWord::None, "", ""},
        {"\t Статья 9.", HeadingWord::Article, "9.", ""},
    };
    for (const Case& c : cases)
    {
        const HeadingStart start = ReadHeadingStart(Cp(c.line));
        EXPECT_EQ(start.word, c.word) << c.line;
        EXPECT_EQ(Cp1251ToUtf8(start.number), c.number) << c.line;
        EXPECT_EQ(Cp1251ToUtf8(start.title), c.title) << c.line;
        EXPECT_EQ(start.closed, !c.number.empty() && c.number.back() == '.') << c.line;
        EXPECT_EQ(ReadHeadingWord(Cp(c.line)), c.word) << c.line;
    }
    // § is held as the DOS byte or as the byte of the editor's code page.
    EXPECT_EQ(ReadHeadingStart("\x15 4. " + Cp("Поручительство")).word, HeadingWord::Paragraph);
    EXPECT_EQ(ReadHeadingStart("\xA7 4. " + Cp("Поручительство")).word, HeadingWord::Paragraph);
    EXPECT_EQ(ReadHeadingWord("\x15 4. " + Cp("Поручительство")), HeadingWord::Paragraph);
    // A row of a table drawn with box characters is no heading, however it begins.
    EXPECT_EQ(ReadHeadingWord(Cp("1. Сроки ") + "\x13" + Cp(" 5 дней")), HeadingWord::None);
}

// The line is read in groups of eight bytes: a box character is found wherever it stands, at the
// edges of a group and in the bytes after the last whole group, and the bytes beside the range
// (0x0F, 0x1D) and the two inside it that are no box characters (0x14, the DOS §) keep the heading.
TEST(HeadingShapes, BoxCharacterAnywhereInTheLineMakesItNoHeading)
{
    const std::string line = Cp("1. Сроки исполнения обязательств");
    for (int byte = 0x0E; byte <= 0x1E; ++byte)
    {
        const bool box = byte >= 0x10 && byte <= 0x1C && byte != 0x14 && byte != 0x15;
        for (std::size_t at = 3; at <= line.size(); ++at)
        {
            std::string marked = line;
            marked.insert(at, 1, static_cast<char>(byte));
            EXPECT_EQ(ReadHeadingWord(marked), box ? HeadingWord::None : HeadingWord::Numbered)
                << "byte " << byte << " at " << at;
        }
    }
}

TEST(HeadingShapes, LetterSpacingIsClosedUpOnlyForASpacedWord)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"     З А К О Н", "ЗАКОН"},
        {"С т а т ь я  1. Основные", "Статья 1. Основные"},
        {"У К А З", "УКАЗ"},
        {"В соответствии с законом", "В соответствии с законом"},
        {"А Б", "А Б"},
        {"", ""},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Cp1251ToUtf8(CloseUpLetterSpacing(Cp(line))), expected) << line;
}

TEST(HeadingShapes, SentenceEndings)
{
    for (const char* text : {"понятия:", "данных;", "лиц,", "Текст.", "насаждений -  "})
        EXPECT_TRUE(EndsLikeSentence(Cp(text))) << text;
    for (const char* text : {"Общие положения", "", "Статья 5)", "   "})
        EXPECT_FALSE(EndsLikeSentence(Cp(text))) << text;
}

} // namespace
