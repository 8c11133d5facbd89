// Documents no operator meant to open: binary files named .rla, one enormous line, nothing but
// marker lines, a hundred megabytes of headings. Each loads, is processed, is written and loads back
// as written, in time that grows with its size.

#include "support/TestSupport.h"
#include "support/ThreadClock.h"

#include <gtest/gtest.h>

#include "../../../fuzz/FuzzChecks.h"

#include "core/document/Markers.h"

#include <cerrno>
#include <chrono>
#include <random>

namespace fs = std::filesystem;

namespace
{

std::string AsFileLine(const std::string& line1251)
{
    std::string line = Cp1251ToCp866(line1251);
    CodesToBoxChars(line);
    return line + "\r\n";
}

const std::string kTextStart = AsFileLine(Utf8ToCp1251("$18  Текст документа"));

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

TEST(HostileDocuments, BinaryFilesLoadProcessAndLoadBack)
{
    std::mt19937 random(20240615);
    std::string noise(256 * 1024, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random());
    std::string program = ReadBytes("/proc/self/exe").substr(0, 512 * 1024);
    const std::pair<const char*, std::string> cases[] = {
        {"random bytes", noise},
        {"random bytes after a header", kTextStart + noise},
        {"an executable", program},
        {"an executable after a header", kTextStart + program},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_EQ(fuzzchecks::CheckDocument(bytes), "") << name;
}

TEST(HostileDocuments, OneLineOfTenMegabytes)
{
    std::string words;
    while (words.size() < 10'000'000)
        words += Utf8ToCp1251("СТАТЬЯ 1. ПОЛОЖЕНИЯ ГЛАВА ");
    const std::pair<const char*, std::string> cases[] = {
        {"the only line", AsFileLine(words)},
        {"inside a title block", kTextStart + AsFileLine(MarkerLine(Marker::Zag)) + AsFileLine(words) +
                                     AsFileLine(MarkerLine(Marker::End))},
        {"inside an old table-of-contents block", kTextStart + AsFileLine(MarkerLine(Marker::Ogl)) +
                                                      AsFileLine(words) +
                                                      AsFileLine(MarkerLine(Marker::Kon))},
    };
    for (const auto& [name, bytes] : cases)
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(fuzzchecks::CheckDocument(bytes), "") << name;
        EXPECT_LT(SecondsSince(start), 60.0) << name;
    }
}

TEST(HostileDocuments, NothingButMarkerLines)
{
    const Marker all[] = {Marker::Zag, Marker::Cnt, Marker::Prv, Marker::Lev, Marker::Lip, Marker::Nft,
                          Marker::Tab, Marker::Ttt, Marker::Ogl, Marker::Kon, Marker::End};
    std::string cycled = kTextStart, reversed = kTextStart, opened = kTextStart, damaged = kTextStart;
    for (int round = 0; round < 3000; ++round)
    {
        for (Marker marker : all)
            cycled += AsFileLine(MarkerLine(marker));
        for (auto it = std::rbegin(all); it != std::rend(all); ++it)
            reversed += AsFileLine(MarkerLine(*it));
        opened += AsFileLine(MarkerLine(round % 2 ? Marker::Cnt : Marker::Ogl));
        // Marker lines one character short or long, as a careless edit leaves them.
        damaged += AsFileLine(MarkerLine(all[round % 11]).substr(0, 65));
        damaged += AsFileLine(MarkerLine(all[round % 11]) + "*");
    }
    for (const auto& [name, bytes] : {std::pair{"in order", cycled}, std::pair{"reversed", reversed},
                                      std::pair{"openers only", opened}, std::pair{"damaged", damaged}})
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(fuzzchecks::CheckDocument(bytes), "") << name;
        EXPECT_LT(SecondsSince(start), 60.0) << name;
    }
}

// A hundred megabytes made of the sample law over and over: some 2 million lines and 300 000
// headings, loaded from disk, processed and saved with a backup.
TEST(HostileDocuments, HundredMegabytesWithHundredsOfThousandsOfHeadings)
{
    const std::string sample = ReadBytes(SamplePath("law_sections_articles.rla"));
    const std::size_t textStart = sample.find(kTextStart);
    ASSERT_NE(textStart, std::string::npos);
    const std::string header = sample.substr(0, textStart + kTextStart.size());
    const std::string body = sample.substr(textStart + kTextStart.size()) + "\r\n";
    std::string bytes = header;
    while (bytes.size() < 100'000'000)
        bytes += body;

    ScratchFolder folder;
    const std::string path = folder / "huge.rla";
    WriteBytes(path, bytes);
    RecordingReporter reporter;
    CDocumentFile document(reporter);
    const auto start = std::chrono::steady_clock::now();
    document.Load(path);
    const ProcessResult result =
        ProcessDocument(document.TextLines(), fuzzchecks::Words(), fuzzchecks::Kinds(), reporter);
    EXPECT_FALSE(result.refused);
    EXPECT_GT(result.entries, 100'000u);
    document.SetTextLines(result.lines);
    EXPECT_TRUE(document.Save(true));
    const double seconds = SecondsSince(start);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(ReadBytes(folder / "huge.bak"), bytes);

    CDocumentFile reloaded(reporter);
    reloaded.Load(path);
    EXPECT_EQ(reloaded.TextLines(), result.lines);
    EXPECT_LT(seconds, 300.0);
    RecordProperty("seconds", std::to_string(seconds));
}

// Past the size limit a document is refused before anything is read, with the file's name and the
// reason; up to it, long lines cost in proportion to their length.
TEST(HostileDocuments, OverTheSizeLimitIsRefusedAtOnce)
{
    ScratchFolder folder;
    const std::string path = folder / "huge.rla";
    WriteBytes(path, "");
    fs::resize_file(path, kMaxDocumentBytes + 1); // sparse: no disk space taken
    RecordingReporter reporter;
    CDocumentFile document(reporter);
    const auto start = std::chrono::steady_clock::now();
    try
    {
        document.Load(path);
        ADD_FAILURE() << "a document over the limit loaded";
    }
    catch (const DocumentFileError& error)
    {
        EXPECT_EQ(error.Error().errorNumber, EFBIG);
        EXPECT_EQ(error.Error().path, path);
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
    EXPECT_LT(SecondsSince(start), 1.0);
    EXPECT_TRUE(document.TextLines().empty());
}

TEST(HostileDocuments, LongLinesCostGrowsWithTheirLength)
{
    // Two title blocks and two centred headings, each title a single line of the given size.
    const auto document = [](std::size_t bytes)
    {
        std::string line;
        while (line.size() < bytes)
            line += Utf8ToCp1251("СТАТЬЯ 1. ПОЛОЖЕНИЯ ГЛАВА ");
        std::string text = kTextStart;
        for (int k = 0; k < 2; ++k)
            text += AsFileLine(MarkerLine(Marker::Zag)) + AsFileLine(line) +
                    AsFileLine(MarkerLine(Marker::End)) + AsFileLine(MarkerLine(Marker::Cnt)) +
                    AsFileLine(Utf8ToCp1251("1. Общие положения")) + AsFileLine(MarkerLine(Marker::End));
        return text;
    };
    const auto seconds = [](const std::string& bytes)
    {
        const double start = ThreadCpuSeconds();
        EXPECT_EQ(fuzzchecks::CheckDocument(bytes), "");
        return ThreadCpuSeconds() - start;
    };
    // Timed in turns, best of three, so that a burst of load from the tests beside this one does not
    // fall on one size alone.
    const std::string smallDocument = document(250'000);
    const std::string largeDocument = document(2'000'000);
    double small = 1e9;
    double large = 1e9;
    for (int run = 0; run < 3; ++run)
    {
        small = std::min(small, seconds(smallDocument));
        large = std::min(large, seconds(largeDocument));
    }
    EXPECT_LT(large, 24 * std::max(small, 1e-3)) << "small " << small << " s, large " << large << " s";
}
