// The operator's mend of a missed heading writes the block the recognition writes for that heading,
// and refuses lines that are no heading of the text.

#include "core/remarks/HeadingInsertion.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/ProcessDocument.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
// A law with chapters, articles whose titles run over two lines, numbers of different widths (the
// titles of a group are aligned), an appendix with numbered headings, and a heading in capitals.
std::vector<std::string> Fixture()
{
    std::vector<std::string> lines = Doc({"", "ЗАКОН", "О ПОРЯДКЕ РАССМОТРЕНИЯ ОБРАЩЕНИЙ", "", "", "     Настоящий Закон регулирует порядок рассмотрения обращений граждан.", "",
                "     Глава 1. ОБЩИЕ ПОЛОЖЕНИЯ", "", "     Статья 1. Сфера применения настоящего Закона",
                "", "     Закон применяется ко всем обращениям граждан.", "",
                "     Статья 2. Право граждан на обращение в государственные органы и органы местного",
                "самоуправления", "", "     Граждане имеют право обращаться лично.", "",
                "     Глава 2. ПОРЯДОК РАССМОТРЕНИЯ", "", "     Статья 9. Сроки рассмотрения обращения", "",
                "     Обращение рассматривается в течение тридцати дней.", "",
                "     Статья 10. Ответ на обращение", "", "     Ответ направляется в письменной форме.", "",
                "     Статья 11. ОТВЕТСТВЕННОСТЬ ЗА НАРУШЕНИЕ НАСТОЯЩЕГО ЗАКОНА", "",
                "     Лица виновные несут ответственность.", "",
                "                                                  Приложение N 1", "",
                "                                   ПОРЯДОК", "                       ведения учета обращений", "",
                "     1. Общие положения", "", "     Учет ведется в журнале.", "", "     2. Журнал учета", "",
                "     Журнал ведется в электронной форме.", "", "     10. Хранение журнала", "",
                "     Журнал хранится пять лет."});
    lines[0] = MarkerLine(Marker::Zag);
    lines[3] = MarkerLine(Marker::End);
    return lines;
}

struct Processed
{
    CTextLines lines;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
};

Processed ProcessFixture()
{
    Processed processed;
    processed.kinds = CDocKindsList(CpLines({"ЗАКОН"}));
    SilentReporter reporter;
    processed.lines =
        ProcessDocument(Fixture(), processed.words, processed.kinds, reporter, {}, RecognitionOptions{true}).lines;
    return processed;
}

TEST(HeadingInsertion, WritesTheBlockTheRecognitionWritesForEveryHeading)
{
    const Processed processed = ProcessFixture();
    const std::vector<TocEntryRef> blocks = BuildEntryList(processed.lines, CContentFilter());
    ASSERT_GE(blocks.size(), 10u);
    for (const TocEntryRef& block : blocks)
    {
        CTextLines lines = processed.lines;
        const std::vector<std::string> written(lines.begin() + static_cast<std::ptrdiff_t>(block.oglLine),
                                               lines.begin() + static_cast<std::ptrdiff_t>(block.konLine + 1));
        lines.Erase(block.oglLine, block.konLine + 1 - block.oglLine);
        // The caret on the heading's first line: past the blank lines, or a caption block's marker.
        std::size_t first = block.oglLine;
        while (IsBlankLine(lines[first]) || IsMarkerLine(lines[first]))
            ++first;
        const EntryCommandResult result = AddHeadingEdits(lines, first, HeadingParagraphEnd(lines, first),
                                                          processed.words, processed.kinds, RecognitionOptions{true});
        ASSERT_FALSE(result.Failed()) << result.failure;
        ASSERT_EQ(result.edits.size(), 1u);
        EXPECT_EQ(result.edits[0].firstLine, block.oglLine);
        EXPECT_EQ(result.edits[0].lineCount, 0u);
        EXPECT_EQ(Utf8Lines(result.edits[0].newLines), Utf8Lines(written));
        ApplyEdits(lines, result.edits);
        EXPECT_EQ(lines, processed.lines);
    }
}

TEST(HeadingInsertion, TheParagraphEndsAtABlankLineOrWhereAnIndentedOneBegins)
{
    const CTextLines lines =
        Doc({"     Статья 2. Право граждан на обращение в органы", "самоуправления", "", "     Статья 3. Сроки.",
             "     Обращение рассматривается.", "Последняя строка"});
    EXPECT_EQ(HeadingParagraphEnd(lines, 0), 1u);
    EXPECT_EQ(HeadingParagraphEnd(lines, 3), 3u);
    EXPECT_EQ(HeadingParagraphEnd(lines, 4), 5u);
    EXPECT_EQ(HeadingParagraphEnd(lines, 9), 9u);
    EXPECT_EQ(HeadingParagraphEnd(lines, 2), 2u);
}

TEST(HeadingInsertion, ASelectionWithBlankLinesAroundTheHeadingPutsTheBlockInFrontOfItsText)
{
    const Processed processed = ProcessFixture();
    const std::vector<TocEntryRef> blocks = BuildEntryList(processed.lines, CContentFilter());
    // The block of «Статья 2», whose title runs over two lines.
    const auto block = std::find_if(blocks.begin(), blocks.end(), [](const TocEntryRef& b)
                                    { return b.text.find(Cp("Статья 2.")) != std::string::npos; });
    ASSERT_NE(block, blocks.end());
    CTextLines lines = processed.lines;
    lines.Erase(block->oglLine, block->konLine + 1 - block->oglLine);
    const std::size_t heading = block->oglLine;
    ASSERT_TRUE(IsBlankLine(lines[heading - 1]));
    ASSERT_TRUE(IsBlankLine(lines[heading + 2]));
    const EntryCommandResult result = AddHeadingEdits(lines, heading - 1, heading + 2, processed.words,
                                                      processed.kinds, RecognitionOptions{true});
    ASSERT_FALSE(result.Failed()) << result.failure;
    ASSERT_EQ(result.edits.size(), 1u);
    EXPECT_EQ(result.edits[0].firstLine, heading);
    ApplyEdits(lines, result.edits);
    EXPECT_EQ(lines, processed.lines);
}

TEST(HeadingInsertion, RefusesLinesThatAreNoHeadingOfTheText)
{
    const CTextLines lines = Doc({"Текст.", "", "<ОГЛ>", "*", "Статья 1. Права", "<КОН>",
                                                "Статья 1. Права", "<ОГЛ>", "<КОН>", "Статья 2. Суд", ""});
    const CUpperCaseWordsDict words;
    const CDocKindsList kinds;
    struct Refusal
    {
        std::size_t first;
        std::size_t last;
        const char* message;
    };
    for (const Refusal& refusal : {Refusal{1, 1, "В выделенных строках нет текста заголовка."},
                                   Refusal{10, 10, "В выделенных строках нет текста заголовка."},
                                   Refusal{4, 4, "Выделенные строки входят в блок оглавления."},
                                   Refusal{0, 2, "Выделенные строки входят в блок оглавления."},
                                   Refusal{6, 6, "Перед заголовком уже стоит блок оглавления."},
                                   Refusal{9, 9, "Перед заголовком уже стоит блок оглавления."},
                                   Refusal{9, 11, "Выделите строки заголовка."}})
    {
        const EntryCommandResult result =
            AddHeadingEdits(lines, refusal.first, refusal.last, words, kinds, RecognitionOptions{true});
        EXPECT_EQ(result.failure, refusal.message) << refusal.first << "-" << refusal.last;
        EXPECT_TRUE(result.edits.empty());
    }
}
} // namespace
