// The extended recognition on texts of every shape: it only ever adds blocks, never changes, drops
// or moves a line of the document, and texts cut off in the middle of a heading do not trip it.

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/toc/ProcessDocument.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace
{
// Lines that begin headings, captions, stamps, titles, clauses, notes and their false friends, and
// the markup around them.
std::vector<std::string> LineShapes()
{
    std::vector<std::string> shapes = CpLines({
        "",
        "   ",
        "\t",
        "Статья 1. Предмет",
        "Статья 18-1.",
        "С т а т ь я  2. Права",
        "Статья",
        "Статья 5 настоящего Закона применяется ко всем.",
        "ГЛАВА 1",
        "ГЛАВА ДВАДЦАТЬ ПЕРВАЯ",
        "Глава 2. Права",
        "РАЗДЕЛ I",
        "ОБЩАЯ ЧАСТЬ",
        "ЧАСТЬ ПЕРВАЯ",
        "I. Общие положения",
        "1. Общие положения",
        "1. Утвердить прилагаемые Правила.",
        "1) обработке данных;",
        "                                                  Приложение N 1",
        "Приложение",
        "УТВЕРЖДЕНЫ",
        "приказом министерства",
        "от 1 марта 2020 г. N 5",
        "ПРАВИЛА",
        "учета документов",
        "(Статья утратила силу)",
        "Глава 1. Общие положения .......... 3",
        "Текст статьи обычными словами, как в любом законе.",
        "З А К О Н",
        "\"Статья 2. Цитата",
        "Подраздел 1. Основные начала",
        "1. ПРЕДМЕТ ДОГОВОРА.",
        "                                                             Форма",
        "                                   ______________________________",
        "Приложение № 1 к приказу от 17.02.2023 № 58-од",
        "(исполнителем), независимо от вины.",
        "Статья 1064. Вред подлежит возмещению.",
        "                        II. ПРАВА ПОЛЬЗОВАТЕЛЕЙ",
    });
    for (Marker marker : {Marker::Zag, Marker::Cnt, Marker::Prv, Marker::End, Marker::Tab, Marker::Kon})
        shapes.push_back(MarkerLine(marker));
    shapes.push_back(std::string(66, 'x'));
    shapes.push_back(std::string("\x12 1. ") + Cp("Журнал") + " \x12");
    return shapes;
}

CTextLines OnlyDocumentLines(const CTextLines& lines)
{
    return RemoveTocBlocks(lines);
}

TEST(ExtendedRecognition, AddsBlocksAndKeepsEveryLineOfAnyText)
{
    const std::vector<std::string> shapes = LineShapes();
    CDocKindsList kinds(CpLines({"ЗАКОН", "ПРАВИЛА"}));
    const CUpperCaseWordsDict words;
    SilentReporter reporter;
    std::mt19937 random(20240517);
    std::size_t withEntries = 0;
    for (int document = 0; document < 400; ++document)
    {
        std::vector<std::string> text;
        const std::size_t length = 1 + random() % 60;
        for (std::size_t i = 0; i < length; ++i)
            text.push_back(shapes[random() % shapes.size()]);
        // Existing ОГЛ blocks are taken out by the standard passes; the lines of the document are
        // what stands outside them.
        const CTextLines documentLines = OnlyDocumentLines(text);

        CTextLines plain = text;
        const ProcessResult off = ProcessDocumentInPlace(plain, words, kinds, reporter);
        CTextLines lines = text;
        const ProcessResult on =
            ProcessDocumentInPlace(lines, words, kinds, reporter, {}, RecognitionOptions{true});
        ASSERT_EQ(on.refused, off.refused) << "document " << document;
        EXPECT_EQ(OnlyDocumentLines(lines), OnlyDocumentLines(plain)) << "document " << document;
        if (!on.refused)
        {
            EXPECT_EQ(OnlyDocumentLines(lines), documentLines) << "document " << document;
        }
        withEntries += on.entries > 0 ? 1 : 0;
    }
    // The shapes make headings often enough that the texts exercise the passes.
    EXPECT_GT(withEntries, 100u);
}

} // namespace
