// The engine's cost grows with the document, not with its square: a document eight times as long
// may take about eight times as long, never sixty-four.

#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/toc/ProcessDocument.h"

#include "support/TestSupport.h"
#include "support/ThreadClock.h"

#include <gtest/gtest.h>


#include <algorithm>
#include <string>
#include <vector>

namespace
{
// A law of the given number of chapters, each with numbered centred headings, articles and an
// appendix: every collecting and merging pass has work on every page.
std::vector<std::string> GeneratedLaw(int chapters)
{
    const std::string zag = MarkerLine(Marker::Zag);
    const std::string cnt = MarkerLine(Marker::Cnt);
    const std::string prv = MarkerLine(Marker::Prv);
    const std::string end = MarkerLine(Marker::End);
    const std::string body = Utf8ToCp1251("Текст статьи обычными словами, как в любом законе.");
    std::vector<std::string> lines = {zag, Utf8ToCp1251("ФЕДЕРАЛЬНЫЙ ЗАКОН"), end, ""};
    int article = 1;
    for (int c = 1; c <= chapters; ++c)
    {
        const std::string n = std::to_string(c);
        lines.insert(lines.end(), {zag, Utf8ToCp1251("Глава " + n + ". Глава номер " + n), end, ""});
        for (int p = 1; p <= 3; ++p)
        {
            lines.insert(lines.end(),
                         {cnt, n + "." + std::to_string(p) + Utf8ToCp1251(". РАЗДЕЛ ГЛАВЫ"), end, ""});
            for (int a = 0; a < 3; ++a, ++article)
                lines.insert(lines.end(),
                             {Utf8ToCp1251("Статья " + std::to_string(article) + ". Название ст. 5"), "",
                              body, body, ""});
        }
        lines.insert(lines.end(),
                     {prv, Utf8ToCp1251("Приложение N " + n), end, "", zag,
                      Utf8ToCp1251("Форма N " + n + ". Заявление"), end, std::string(66, 'x'), ""});
    }
    return lines;
}

// The same law without blocks beyond its title, as the extended recognition reads it: chapters with
// their titles in a paragraph of their own, articles with titles over two lines, numbered headings,
// clauses, a list of duties, and after every chapter an appendix caption at the right margin with its
// title and a form in caption and title blocks with the addressee between them.
std::vector<std::string> GeneratedPlainLaw(int chapters)
{
    const std::string body = Utf8ToCp1251("Текст статьи обычными словами, как в любом законе.");
    std::vector<std::string> lines = {MarkerLine(Marker::Zag), Utf8ToCp1251("Закон о примерах"),
                                      MarkerLine(Marker::End), ""};
    int article = 1;
    for (int c = 1; c <= chapters; ++c)
    {
        const std::string n = std::to_string(c);
        lines.insert(lines.end(), {Utf8ToCp1251("ГЛАВА " + n), "", Utf8ToCp1251("ПРИМЕРЫ ГЛАВЫ " + n), ""});
        for (int p = 1; p <= 3; ++p)
        {
            lines.insert(lines.end(), {"I. " + Utf8ToCp1251("Раздел главы"), ""});
            for (int a = 0; a < 3; ++a, ++article)
                lines.insert(lines.end(),
                             {Utf8ToCp1251("Статья " + std::to_string(article) + "-1. Название"),
                              Utf8ToCp1251("статьи на двух строках"), "", "1. " + body, body, "", body, ""});
        }
        lines.insert(lines.end(), {Utf8ToCp1251("Глава обязана:"), "", Utf8ToCp1251("1. Вести учет"), "",
                                   Utf8ToCp1251("2. Хранить документы"), ""});
        lines.insert(lines.end(),
                     {std::string(50, ' ') + Utf8ToCp1251("Приложение N " + n),
                      std::string(46, ' ') + Utf8ToCp1251("к закону от 1 мая 2020 г. N 5"), "",
                      Utf8ToCp1251("ПЕРЕЧЕНЬ"), Utf8ToCp1251("примеров главы"), "", "1. " + body, ""});
        lines.insert(lines.end(), {MarkerLine(Marker::Prv), Utf8ToCp1251("ПРИЛОЖЕНИЕ № " + n),
                                   MarkerLine(Marker::End), "", std::string(40, ' ') + Utf8ToCp1251("Главе"),
                                   std::string(40, ' ') + "____________", "", MarkerLine(Marker::Zag),
                                   Utf8ToCp1251("ЗАЯВЛЕНИЕ"), MarkerLine(Marker::End), "", body, ""});
    }
    return lines;
}

double Seconds(const std::vector<std::string>& lines, RecognitionOptions options)
{
    SilentReporter reporter;
    const CUpperCaseWordsDict words;
    const CDocKindsList kinds;
    const double start = ThreadCpuSeconds();
    CTextLines text = lines;
    const ProcessResult result = ProcessDocumentInPlace(text, words, kinds, reporter, {}, options);
    const double seconds = ThreadCpuSeconds() - start;
    EXPECT_GT(result.entries, lines.size() / 20);
    return seconds;
}

// The best processor times of the law of 250 and of 2000 chapters must stay within three times the
// ratio of their sizes. The two are timed in turns, so that what load still costs (caches shared with
// other work) does not fall on one of them alone.
void ExpectLinear(std::vector<std::string> (*generate)(int), RecognitionOptions options = {})
{
    const std::vector<std::string> smallText = generate(250);
    const std::vector<std::string> largeText = generate(2000);
    double small = 1e9;
    double large = 1e9;
    for (int run = 0; run < 4; ++run)
    {
        small = std::min(small, Seconds(smallText, options));
        large = std::min(large, Seconds(largeText, options));
    }
    EXPECT_LT(large, 24 * std::max(small, 1e-3)) << "small " << small << " s, large " << large << " s";
}

TEST(Scaling, CostIsLinearInTheDocument)
{
    ExpectLinear(GeneratedLaw);
}

TEST(Scaling, ExtendedRecognitionIsLinearInTheDocument)
{
    ExpectLinear(GeneratedLaw, RecognitionOptions{true});
    ExpectLinear(GeneratedPlainLaw, RecognitionOptions{true});
}
} // namespace
