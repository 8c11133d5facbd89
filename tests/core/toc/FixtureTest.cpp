// Runs every document of tests/data/engine through the recognition and compares the result with the
// expected text beside it.
//
// NAME.in.txt  the text lines of a document, UTF-8. "@ЗАГ", "@!!!", "@ОГЛ" ... stand for marker lines;
//              leading lines "%kind X" and "%word X" fill the kinds list and the capitalised words;
//              a leading line "%extended" turns the extended recognition on.
// NAME.out.txt the processed lines in the same notation, preceded by one "%message TEXT" line per
//              message the engine showed (a line break in it written as \n).
// NAME.STEP.items.txt (optional) the items the recognition holds after its step STEP, as
//              tirvel-toc --dump-items-after STEP prints them: what pins a fault to the step that makes it.

#include "core/base/CodePage.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/toc/CTocRecognizer.h"
#include "core/toc/ProcessDocument.h"
#include "core/toc/RecognitionSteps.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const fs::path kFixtureDir = fs::path(TIRVEL_TEST_DATA_DIR) / "engine";

const std::vector<std::pair<std::string, Marker>>& MarkerNames()
{
    static const std::vector<std::pair<std::string, Marker>> names = {
        {"@ЗАГ", Marker::Zag}, {"@ЦНТ", Marker::Cnt}, {"@ПРВ", Marker::Prv}, {"@ЛЕВ", Marker::Lev},
        {"@ЛИП", Marker::Lip}, {"@НФТ", Marker::Nft}, {"@ТАБ", Marker::Tab}, {"@ТТТ", Marker::Ttt},
        {"@ОГЛ", Marker::Ogl}, {"@КОН", Marker::Kon}, {"@!!!", Marker::End},
    };
    return names;
}

std::vector<std::string> ReadUtf8Lines(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ToMemoryLine(const std::string& utf8)
{
    for (const auto& [name, marker] : MarkerNames())
        if (utf8 == name)
            return MarkerLine(marker);
    return Utf8ToCp1251(utf8);
}

std::string ToFixtureLine(const std::string& line)
{
    for (const auto& [name, marker] : MarkerNames())
        if (IsMarker(line, marker))
            return name;
    return Cp1251ToUtf8(line);
}

std::vector<std::string> FixtureNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kFixtureDir))
    {
        const std::string file = entry.path().filename().string();
        const std::string suffix = ".in.txt";
        if (file.size() > suffix.size() && file.ends_with(suffix))
            names.push_back(file.substr(0, file.size() - suffix.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Numbered(const std::vector<std::string>& lines)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out << i + 1 << ": " << lines[i] << "\n";
    return out.str();
}

// A document of the engine fixtures with the dictionaries and options it is recognised with.
struct FixtureDocument
{
    CDocKindsList kinds;
    CUpperCaseWordsDict words;
    RecognitionOptions options;
    std::vector<std::string> text;
};

FixtureDocument ReadFixture(const std::string& name)
{
    FixtureDocument document;
    for (const std::string& line : ReadUtf8Lines(kFixtureDir / (name + ".in.txt")))
    {
        if (document.text.empty() && line == "%extended")
            document.options.extended = true;
        else if (document.text.empty() && line.starts_with("%kind "))
            document.kinds.AppendNewKinds({Utf8ToCp1251(line.substr(6))});
        else if (document.text.empty() && line.starts_with("%word "))
            document.words.AddUserWords({Utf8ToCp1251(line.substr(6))});
        else
            document.text.push_back(ToMemoryLine(line));
    }
    return document;
}

class EngineFixture : public testing::TestWithParam<std::string>
{
};

TEST_P(EngineFixture, ProducesTheExpectedText)
{
    const std::string name = GetParam();
    const FixtureDocument document = ReadFixture(name);
    const CDocKindsList& kinds = document.kinds;
    const CUpperCaseWordsDict& words = document.words;
    const RecognitionOptions options = document.options;
    const std::vector<std::string>& text = document.text;

    RecordingReporter reporter;
    int pumps = 0;
    CTextLines lines = text;
    ProcessResult result = ProcessDocumentInPlace(
        lines, words, kinds, reporter, [&pumps] { ++pumps; }, options);
    result.lines = std::move(lines);

    std::vector<std::string> actual;
    for (std::string message : reporter.Texts())
    {
        for (std::size_t at = message.find('\n'); at != std::string::npos; at = message.find('\n', at))
            message.replace(at, 1, "\\n");
        actual.push_back("%message " + message);
    }
    for (std::string_view line : result.lines)
        actual.push_back(ToFixtureLine(std::string(line)));

    const fs::path expectedPath = kFixtureDir / (name + ".out.txt");
    // TIRVEL_WRITE_FIXTURES=1 writes the actual text as the expected one, to be read and checked by hand.
    if (std::getenv("TIRVEL_WRITE_FIXTURES"))
    {
        std::ofstream out(expectedPath, std::ios::binary);
        for (const std::string& line : actual)
            out << line << "\n";
    }
    EXPECT_EQ(Numbered(actual), Numbered(ReadUtf8Lines(expectedPath))) << "fixture " << name;
    EXPECT_EQ(result.refused, !reporter.messages.empty());
    if (result.refused)
    {
        EXPECT_EQ(result.lines, text);
    }
    // The window is given its chances between the steps, not only at the start.
    if (!result.refused)
    {
        EXPECT_GT(pumps, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, EngineFixture, testing::ValuesIn(FixtureNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// Every NAME.STEP.items.txt beside the fixtures names a fixture and a step, and holds the items after it.
TEST(EngineFixtureItems, HoldTheItemsAfterTheirSteps)
{
    const std::string suffix = ".items.txt";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kFixtureDir))
    {
        const std::string file = entry.path().filename().string();
        if (!file.ends_with(suffix))
            continue;
        ++files;
        const std::string stem = file.substr(0, file.size() - suffix.size());
        const std::size_t dot = stem.rfind('.');
        ASSERT_NE(dot, std::string::npos) << file;
        const std::string name = stem.substr(0, dot);
        const std::string step = stem.substr(dot + 1);
        ASSERT_NE(FindRecognitionStep(step), nullptr) << file;
        ASSERT_TRUE(fs::exists(kFixtureDir / (name + ".in.txt"))) << file;

        const FixtureDocument document = ReadFixture(name);
        RecordingReporter reporter;
        CTocRecognizer engine(&document.words, document.kinds, reporter, {}, document.options);
        std::string actual;
        engine.SetStepObserver(
            [&](std::string_view stepName, const std::vector<TocItem>& items)
            {
                if (stepName == step)
                    actual = DescribeItems(items);
            });
        CTextLines lines = document.text;
        engine.Build(lines);
        if (std::getenv("TIRVEL_WRITE_FIXTURES"))
            std::ofstream(entry.path(), std::ios::binary) << actual;
        std::string expected;
        for (const std::string& line : ReadUtf8Lines(entry.path()))
            expected += line + "\n";
        EXPECT_EQ(actual, expected) << file;
    }
    EXPECT_GT(files, 0);
}
} // namespace
