#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/entries/TocEntryCommands.h"
#include "core/entries/TocEntryList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
// Four blocks: a chapter (level 1), two numbered entries (level 2) and, between them, a level-3 entry.
std::vector<std::string> Sample()
{
    return Doc({
        "Начало текста",                 // 0
        "<ОГЛ>",                         // 1
        "*",                             // 2
        "ГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ",      // 3
        "<КОН>",                         // 4
        "Глава 1. Общие положения",      // 5
        "<ОГЛ>",                         // 6
        "**",                            // 7
        "  1. ПРАВА ГРАЖДАН РОССИЙСКОЙ", // 8
        "    ФЕДЕРАЦИИ",                 // 9
        "<КОН>",                         // 10
        "<ОГЛ>",                         // 11
        "***",                           // 12
        "    Подпункт",                  // 13
        "<КОН>",                         // 14
        "<ОГЛ>",                         // 15
        "**",                            // 16
        "  2. Обязанности",              // 17
        "<КОН>",                         // 18
        "Конец текста",                  // 19
    });
}

CContentFilter Hiding(int level)
{
    CContentFilter filter;
    filter.SetLevelShown(level, false);
    return filter;
}

// What the editor shows after the command: the edits applied to the text they were computed from.
std::vector<std::string> EditedBy(EntryCommand command, const std::vector<std::string>& lines,
                                  const std::vector<std::size_t>& marked, const CContentFilter& filter = {},
                                  const CUpperCaseWordsDict* words = nullptr)
{
    const std::vector<TocEntryRef> shown = BuildEntryList(lines, filter);
    const EntryCommandResult result = RunEntryCommand(command, lines, shown, marked, filter, words);
    EXPECT_FALSE(result.Failed()) << result.failure;
    for (std::size_t i = 1; i < result.edits.size(); ++i)
        EXPECT_GT(result.edits[i - 1].firstLine, result.edits[i].firstLine)
            << "edits go from the last block up";
    CTextLines edited = lines;
    ApplyEdits(edited, result.edits);
    return edited.ToVector();
}

std::vector<std::string> Replaced(std::vector<std::string> lines, std::size_t first, std::size_t count,
                                  const std::vector<std::string>& newLines)
{
    CTextLines edited = lines;
    ApplyEdits(edited, {LineEdit{first, count, newLines}});
    return edited.ToVector();
}
} // namespace

TEST(EntryCommands, LevelChangeRewritesTheMovedBlocksAndLeavesHiddenLevelsAlone)
{
    const struct
    {
        const char* what;
        EntryCommand command;
        std::vector<std::size_t> marked;
        CContentFilter filter;
        std::vector<std::string> expected;
    } cases[] = {
        // Laying an entry out again also lower-cases its heading word («ГЛАВА» → «Глава»).
        {"down: the chapter takes its entries along",
         EntryCommand::LevelDown,
         {0},
         {},
         Doc({"Начало текста", "<ОГЛ>", "**", "  Глава 1. ОБЩИЕ ПОЛОЖЕНИЯ", "<КОН>",
              "Глава 1. Общие положения", "<ОГЛ>", "***", "    1. ПРАВА ГРАЖДАН РОССИЙСКОЙ ФЕДЕРАЦИИ",
              "<КОН>", "<ОГЛ>", "****", "      Подпункт", "<КОН>", "<ОГЛ>", "***", "    2. Обязанности",
              "<КОН>", "Конец текста"})},
        {"up: the top level stays",
         EntryCommand::LevelUp,
         {0},
         {},
         Doc({"Начало текста", "<ОГЛ>", "*", "Глава 1. ОБЩИЕ ПОЛОЖЕНИЯ", "<КОН>", "Глава 1. Общие положения",
              "<ОГЛ>", "*", "1. ПРАВА ГРАЖДАН РОССИЙСКОЙ ФЕДЕРАЦИИ", "<КОН>", "<ОГЛ>", "**", "  Подпункт",
              "<КОН>", "<ОГЛ>", "*", "2. Обязанности", "<КОН>", "Конец текста"})},
        {"level 3 hidden: its block is not touched",
         EntryCommand::LevelDown,
         {1},
         Hiding(3),
         Replaced(Sample(), 7, 3, Doc({"***", "    1. ПРАВА ГРАЖДАН РОССИЙСКОЙ ФЕДЕРАЦИИ"}))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EditedBy(c.command, Sample(), c.marked, c.filter), c.expected) << c.what;
}

TEST(EntryCommands, LevelChangeFailureGivesTheMessageAndNoEdit)
{
    // Entry lines "", "" and "", "Текст": the first line, where the level line belongs, is empty.
    for (const char* second : {"", "Текст"})
    {
        std::vector<std::string> lines = Sample();
        lines.insert(lines.end(), {MarkerLine(Marker::Ogl), "", Cp(second), MarkerLine(Marker::Kon)});
        const std::vector<TocEntryRef> entries = BuildEntryList(lines, CContentFilter());
        const EntryCommandResult result = ChangeLevelEdits(entries, {1}, true);
        EXPECT_EQ(result.failure, "Отсутствует номер уровня вложенности пункта оглавления.");
        EXPECT_TRUE(result.edits.empty());
    }
    // An empty block after the marked entry has no level line either.
    std::vector<std::string> lines = Sample();
    lines.insert(lines.end(), {MarkerLine(Marker::Ogl), MarkerLine(Marker::Kon)});
    EXPECT_TRUE(ChangeLevelEdits(BuildEntryList(lines, CContentFilter()), {3}, false).Failed());

    // Any other failure on the way has a message of its own.
    const EntryCommandResult interrupted =
        ChangeLevelEdits(BuildEntryList(Sample(), CContentFilter()), {0}, true, nullptr,
                         [] { throw std::runtime_error("window gone"); });
    EXPECT_EQ(interrupted.failure, "Ошибка изменения уровня вложенности пункта оглавления!");
    EXPECT_TRUE(interrupted.edits.empty());
}

TEST(EntryCommands, CaseChangesRewriteOnlyTheMarkedEntries)
{
    const CUpperCaseWordsDict words;
    EXPECT_EQ(EditedBy(EntryCommand::ToSentenceCase, Sample(), {0, 1}, {}, &words),
              Replaced(Replaced(Sample(), 8, 2, Doc({"  1. Права граждан Российской", "    Федерации"})), 3,
                       1, Doc({"ГЛАВА 1. Общие положения"})));
    EXPECT_EQ(EditedBy(EntryCommand::ToCapitals, Sample(), {3}),
              Replaced(Sample(), 17, 1, Doc({"  2. ОБЯЗАННОСТИ"})));
    // Already in capitals: nothing to do.
    const std::vector<TocEntryRef> entries = BuildEntryList(Sample(), CContentFilter());
    EXPECT_TRUE(ToCapitalsEdits(entries, {0, 1}).edits.empty());
}

TEST(EntryCommands, CaseChangesLeaveLinesShapedAsMarkersAsTheyAre)
{
    // A stray line in a block that would turn into a marker in capitals, and a marker that would
    // stop being one in sentence case: either change would cut or merge blocks.
    const std::string strayOgl = "\x04\x04" + Cp("оГЛ") + std::string(61, '-');
    const std::string tab = MarkerLine(Marker::Tab);
    const std::vector<std::string> lines = {
        MarkerLine(Marker::Ogl), "*", Cp("Общие положения"), strayOgl, tab, MarkerLine(Marker::Kon)};
    const CUpperCaseWordsDict words;
    EXPECT_EQ(EditedBy(EntryCommand::ToCapitals, lines, {0}), Replaced(lines, 2, 1, {Cp("ОБЩИЕ ПОЛОЖЕНИЯ")}));
    const std::vector<std::string> capitals = Replaced(lines, 2, 1, {Cp("ОБЩИЕ ПОЛОЖЕНИЯ")});
    EXPECT_EQ(EditedBy(EntryCommand::ToSentenceCase, capitals, {0}, {}, &words), lines);
}

TEST(EntryCommands, DeleteRemovesWholeBlocksFromTheBottomUp)
{
    EXPECT_EQ(EditedBy(EntryCommand::DeleteBlocks, Sample(), {0, 2, 3}),
              Doc({"Начало текста", "Глава 1. Общие положения", "<ОГЛ>", "**",
                   "  1. ПРАВА ГРАЖДАН РОССИЙСКОЙ", "    ФЕДЕРАЦИИ", "<КОН>", "Конец текста"}));
    const std::vector<LineEdit> expected = {{15, 4, {}}, {11, 4, {}}, {1, 4, {}}};
    EXPECT_EQ(DeleteBlockEdits(BuildEntryList(Sample(), CContentFilter()), {3, 0, 2}).edits, expected);
}

TEST(EntryCommands, ARowWhoseBlockWasDeletedByHandIsDropped)
{
    const std::vector<TocEntryRef> shown = BuildEntryList(Sample(), CContentFilter());
    std::vector<std::string> edited = Sample();
    edited.erase(edited.begin() + 6, edited.begin() + 11); // the operator removes the block of row 1
    const EntryCommandResult result =
        RunEntryCommand(EntryCommand::DeleteBlocks, edited, shown, {1, 3}, CContentFilter(), nullptr);
    CTextLines text = edited;
    ApplyEdits(text, result.edits);
    EXPECT_EQ(text,
              Doc({"Начало текста", "<ОГЛ>", "*", "ГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ", "<КОН>",
                   "Глава 1. Общие положения", "<ОГЛ>", "***", "    Подпункт", "<КОН>", "Конец текста"}));
}

TEST(EntryCommands, EntryLinesOfAnEmptyBlockGoBetweenItsMarkers)
{
    CTextLines lines = Doc({"Текст", "<ОГЛ>", "<КОН>", "Текст"});
    const std::vector<TocEntryRef> entries = BuildEntryList(lines, CContentFilter());
    ASSERT_EQ(entries.size(), 1u);
    ApplyEdits(lines, {ReplaceEntryLines(entries[0], Doc({"*", "Новый пункт"}))});
    EXPECT_EQ(lines, Doc({"Текст", "<ОГЛ>", "*", "Новый пункт", "<КОН>", "Текст"}));
}

TEST(EntryCommands, NothingMarkedOrNothingLeftGivesNoEdit)
{
    const std::vector<TocEntryRef> entries = BuildEntryList(Sample(), CContentFilter());
    for (EntryCommand command : {EntryCommand::LevelUp, EntryCommand::LevelDown, EntryCommand::ToCapitals,
                                 EntryCommand::ToSentenceCase, EntryCommand::DeleteBlocks})
    {
        const EntryCommandResult result =
            RunEntryCommand(command, Sample(), entries, {9}, CContentFilter(), nullptr);
        EXPECT_TRUE(result.edits.empty());
        EXPECT_FALSE(result.Failed());
    }
}

TEST(EntryCommands, ApplyEditsRefusesAnEditOutsideTheText)
{
    CTextLines lines = {"a", "b"};
    EXPECT_THROW(ApplyEdits(lines, {LineEdit{0, 1, {}}, LineEdit{1, 1, {}}}), std::out_of_range);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
}

// Edits listed from the last line up are made in one pass; the result must be that of making them
// one after the other, also where they touch, insert at one place or reach the last line.
TEST(EntryCommands, ApplyEditsMakesTheEditsInTheirOrder)
{
    const std::vector<std::string> lines = {"a", "b", "c", "d", "e"};
    const std::vector<std::vector<LineEdit>> cases = {
        {LineEdit{3, 2, {"D"}}, LineEdit{1, 2, {"B", "C", "X"}}},
        {LineEdit{4, 1, {}}, LineEdit{2, 2, {}}, LineEdit{0, 1, {"A"}}},
        {LineEdit{2, 0, {"x"}}, LineEdit{2, 0, {"y"}}, LineEdit{0, 2, {}}},
        {LineEdit{5, 0, {"f"}}, LineEdit{0, 5, {"z"}}},
        {LineEdit{1, 1, {"1"}}, LineEdit{3, 1, {"3"}}}, // not from the last up: made one by one
    };
    for (const std::vector<LineEdit>& edits : cases)
    {
        std::vector<std::string> expected = lines;
        for (const LineEdit& edit : edits)
        {
            const auto first = expected.begin() + static_cast<std::ptrdiff_t>(edit.firstLine);
            const auto at = expected.erase(first, first + static_cast<std::ptrdiff_t>(edit.lineCount));
            expected.insert(at, edit.newLines.begin(), edit.newLines.end());
        }
        CTextLines edited = lines;
        ApplyEdits(edited, edits);
        EXPECT_EQ(edited, expected);
    }
}
