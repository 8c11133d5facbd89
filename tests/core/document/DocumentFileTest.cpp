#include "core/document/CDocumentFile.h"
#include "core/document/Markers.h"

#include "SaveMessages.h"
#include "support/ReliabilitySupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

using Lines = std::vector<std::string>;

const std::string kTextStart = File866("$18  Текст документа");

} // namespace

TEST(DocumentFileLoad, LinesHeaderSplitAndLineEnds)
{
    struct Case
    {
        const char* what;
        std::string file;
        Lines header;
        Lines text;
    };
    const std::string start = kTextStart;
    const std::string startMem = Cp("$18  Текст документа");
    const Case cases[] = {
        {"CR LF, final line end", "$1\r\n" + start + "\r\na\r\nb\r\n", {"$1", startMem}, {"a", "b"}},
        {"no final line end", "$1\r\n" + start + "\r\na\r\nb", {"$1", startMem}, {"a", "b"}},
        {"lone LF", "$1\n" + start + "\na\nb\n", {"$1", startMem}, {"a", "b"}},
        {"CR without LF stays", start + "\r\na\rb\r\r\n", {startMem}, {"a\rb\r"}},
        {"empty line in the middle and at the end",
         start + "\r\na\r\n\r\nb\r\n\r\n",
         {startMem},
         {"a", "", "b", ""}},
        {"0x1A ends the content",
         start + "\r\nab\x1A"
                 "cd\r\nef\r\n",
         {startMem},
         {"ab"}},
        {"0x1A right after a line end", start + "\r\nab\r\n\x1A\r\nx", {startMem}, {"ab"}},
        {"no $18 line: all header", "$1\r\nx\r\ny", {"$1", "x", "y"}, {}},
        {"$18 with a trailing blank is no end", start + " \r\nx", {startMem + " ", "x"}, {}},
        {"only the first $18 line splits", start + "\r\n" + start, {startMem}, {startMem}},
        {"NUL bytes load",
         std::string("h\0h\r\n", 5) + start + "\r\n" + std::string("t\0", 2),
         {std::string("h\0h", 3), startMem},
         {std::string("t\0", 2)}},
        {"box characters in header and text",
         "\xDA\xC4\xBF\r\n" + start + "\r\n\xB3\xC5\xB3\xCD",
         {"\x1B\x16\x1A", startMem},
         {"\x12\x13\x12\xAB"}},
        {"empty file", "", {}, {}},
    };
    ScratchFolder folder;
    RecordingReporter reporter;
    for (const Case& c : cases)
    {
        const std::string path = folder / "doc.rla";
        WriteBytes(path, c.file);
        CDocumentFile document(reporter, FixedToday);
        document.Load(path);
        EXPECT_EQ(document.HeaderLines(), c.header) << c.what;
        EXPECT_EQ(document.TextLines(), c.text) << c.what;
        EXPECT_EQ(document.Path(), path);
        EXPECT_FALSE(document.ChangeDateDone());
        EXPECT_FALSE(document.EntryDateDone());

        CDocumentFile keeping(reporter, FixedToday);
        keeping.LoadKeepingDates(path);
        EXPECT_EQ(keeping.HeaderLines(), c.header) << c.what;
        EXPECT_EQ(keeping.TextLines(), c.text) << c.what;
        EXPECT_TRUE(keeping.ChangeDateDone() && keeping.EntryDateDone()) << c.what;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(DocumentFileLoad, TheTablesOfContentsOfTheLoadedTextDoNotCountAsItsText)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    const std::string ogl = File866("\x04\x04ОГЛ") + std::string(61, '-');
    const std::string kon = File866("\x04\x04КОН") + std::string(61, '-');
    WriteBytes(folder / "a.rla", File866("$101  Дата ввода текста") + "\r\n01.01.2003\r\n" + kTextStart +
                                     "\r\n" + ogl + "\r\n*\r\nx\r\n" + kon + "\r\nbody");
    CDocumentFile document(reporter, FixedToday);
    document.Load(folder / "a.rla");
    EXPECT_EQ(document.TextLines().size(), 5u);
    EXPECT_EQ(document.TextLines()[0], MarkerLine(Marker::Ogl));

    // The old block gone and a new one written: the text is the same.
    document.SetTextLines({MarkerLine(Marker::Ogl), "**", "y", MarkerLine(Marker::Kon), "body"});
    ASSERT_TRUE(document.Save(false));
    EXPECT_EQ(document.HeaderLines()[1], "01.01.2003");
    document.MutableTextLines().Set(document.TextLines().size() - 1, "changed body");
    ASSERT_TRUE(document.Save(false));
    EXPECT_EQ(document.HeaderLines()[1], "15.05.2023");
}

TEST(DocumentFileLoad, ErrorsCarryThePathAndTheReason)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    ::mkfifo((folder / "fifo").c_str(), 0600);
    struct Case
    {
        std::string path;
        int error;
        std::string reason;
    };
    const Case cases[] = {
        {folder.path().string(), EISDIR, std::strerror(EISDIR)},
        {folder / "missing.rla", ENOENT, std::strerror(ENOENT)},
        {folder / "fifo", EINVAL, "not a regular file (a named pipe)"},
        {"/dev/null", EINVAL, "not a regular file (a character device)"},
        {"/proc/self/mem", EIO, std::strerror(EIO)}, // opens, but reading fails
    };
    HangGuard guard(20);
    for (const Case& c : cases)
    {
        CDocumentFile document(reporter);
        document.SetTextLines({"old"});
        try
        {
            document.Load(c.path);
            ADD_FAILURE() << "no error for " << c.path;
        }
        catch (const DocumentFileError& error)
        {
            EXPECT_EQ(error.Error().path, c.path);
            EXPECT_EQ(error.Error().errorNumber, c.error) << c.path;
            EXPECT_EQ(error.Error().reason, c.reason);
            EXPECT_EQ(std::string(error.what()), c.path + ": " + c.reason);
        }
        EXPECT_TRUE(document.TextLines().empty());
        EXPECT_EQ(document.Path(), c.path);
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(DocumentFileLoad, UnreadableFile)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    WriteBytes(folder / "locked.rla", "x");
    ::chmod((folder / "locked.rla").c_str(), 0);
    CDocumentFile document(reporter);
    const PermissionsEnforced enforced;
    EXPECT_THROW(document.Load(folder / "locked.rla"), DocumentFileError);
}

TEST(DocumentFileFormat, EveryByteGoesFileToMemoryToFileUnchanged)
{
    // Every byte but the line ends, 0x1A and the control codes that carry the box characters.
    std::string all;
    for (int b = 0; b < 256; ++b)
    {
        const bool boxCode = b >= 0x10 && b <= 0x1C && b != 0x14 && b != 0x15;
        if (b != '\r' && b != '\n' && b != 0x1A && !boxCode)
            all += static_cast<char>(b);
    }
    const std::string file = all + "\r\n" + kTextStart + "\r\n" + all + "\r\n\r\n" + all;
    ScratchFolder folder;
    RecordingReporter reporter;
    WriteBytes(folder / "all.rla", file);
    CDocumentFile document(reporter, FixedToday);
    document.Load(folder / "all.rla");
    ASSERT_EQ(document.TextLines().size(), 3u);
    EXPECT_EQ(document.FileBytes(), file);
    ASSERT_TRUE(document.Save(false));
    EXPECT_EQ(ReadBytes(folder / "all.rla"), file);
}

TEST(DocumentFileFormat, WhatSaveWrites)
{
    struct Case
    {
        const char* what;
        std::string file;
        std::string saved;
    };
    const Case cases[] = {
        {"final line end dropped", "h\r\n" + kTextStart + "\r\na\r\nb\r\n",
         "h\r\n" + kTextStart + "\r\na\r\nb"},
        {"LF becomes CR LF", "h\n" + kTextStart + "\na\nb", "h\r\n" + kTextStart + "\r\na\r\nb"},
        {"an empty last line is written as nothing", kTextStart + "\r\na\r\n\r\n", kTextStart + "\r\na\r\n"},
        {"header only: every line ends", "a\r\nb", "a\r\nb\r\n"},
        {"$18 as the last line", "a\r\n" + kTextStart, "a\r\n" + kTextStart + "\r\n"},
        {"box codes in the file come back as box characters", kTextStart + "\r\n\x10\x1B\x14\x15",
         kTextStart + "\r\n\xC3\xDA\x14\x15"},
        {"box codes in the header likewise", "\x10\r\n" + kTextStart, "\xC3\r\n" + kTextStart + "\r\n"},
        {"content after 0x1A is gone", kTextStart + "\r\nab\x1Azz", kTextStart + "\r\nab"},
    };
    ScratchFolder folder;
    RecordingReporter reporter;
    for (const Case& c : cases)
    {
        WriteBytes(folder / "d.rla", c.file);
        CDocumentFile document(reporter, FixedToday);
        document.Load(folder / "d.rla");
        EXPECT_EQ(document.FileBytes(), c.saved) << c.what;
        ASSERT_TRUE(document.Save(false));
        EXPECT_EQ(ReadBytes(folder / "d.rla"), c.saved) << c.what;
    }
}

TEST(DocumentFileFormat, SamplesSaveUnchangedButForTheChangeDate)
{
    for (const char* name : {"law_sections_articles.rla", "decree_rules_appendix.rla", "old_style_toc.rla"})
    {
        ScratchFolder folder;
        RecordingReporter reporter;
        const std::string original = ReadBytes(std::string(TIRVEL_SOURCE_DIR) + "/samples/" + name);
        ASSERT_FALSE(original.empty()) << name;
        ASSERT_NE(original.substr(original.size() - 2), "\r\n") << name;
        WriteBytes(folder / name, original);

        CDocumentFile document(reporter, FixedToday);
        document.Load(folder / name);
        EXPECT_FALSE(document.TextLines().empty()) << name;
        ASSERT_TRUE(document.Save(true));

        // The text is unchanged, so only $100 takes today's date.
        const std::string field = File866("$100  Дата ввода/изменения") + "\r\n";
        const std::size_t value = original.find(field) + field.size();
        std::string expected = original;
        expected.replace(value, 10, "15.05.2023");
        EXPECT_EQ(ReadBytes(folder / name), expected) << name;
        EXPECT_EQ(ReadBytes(CDocumentFile::BackupPathFor(folder / name)), original) << name;
        EXPECT_TRUE(reporter.messages.empty()) << name;
    }
}
