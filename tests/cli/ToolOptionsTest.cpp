// The command line of tirvel-toc read in process: what each option sets, what the tool refuses and
// what it says then.

#include "cli/ToolOptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Args = std::vector<std::string>;

std::string Joined(const Args& args)
{
    std::string text;
    for (const std::string& arg : args)
        text += (text.empty() ? "" : " ") + arg;
    return text;
}
} // namespace

TEST(ToolOptions, EachOptionSetsItsFieldAndTheRestStayAsByDefault)
{
    struct Case
    {
        Args args;
        std::function<void(TocToolOptions&)> expect; // applied to the defaults with paths {"a.rla"}
    };
    const Case cases[] = {
        {{"a.rla"}, [](TocToolOptions&) {}},
        {{"--kinds", "k.txt", "a.rla"}, [](TocToolOptions& o) { o.kindsFile = "k.txt"; }},
        {{"--words=w.txt", "a.rla"}, [](TocToolOptions& o) { o.wordsFile = "w.txt"; }},
        {{"--settings", "s.ini", "a.rla"}, [](TocToolOptions& o) { o.settingsFile = "s.ini"; }},
        {{"--no-settings", "a.rla"}, [](TocToolOptions& o) { o.noSettings = true; }},
        {{"--keep-dates", "a.rla"}, [](TocToolOptions& o) { o.keepDates = true; }},
        {{"--extended", "a.rla"}, [](TocToolOptions& o) { o.extended = true; }},
        {{"--no-backup", "a.rla"}, [](TocToolOptions& o) { o.noBackup = true; }},
        {{"--stdout", "a.rla"}, [](TocToolOptions& o) { o.toStdout = true; }},
        {{"-o", "out", "a.rla"}, [](TocToolOptions& o) { o.outputDir = "out"; }},
        {{"--move-to", "done", "--replace", "a.rla"},
         [](TocToolOptions& o)
         {
             o.moveTo = "done";
             o.replace = true;
         }},
        // Checking goes with moving: it lists what the move would do.
        {{"--check", "--move-to", "done", "a.rla"},
         [](TocToolOptions& o)
         {
             o.check = true;
             o.moveTo = "done";
         }},
        {{"-j", "3", "a.rla"}, [](TocToolOptions& o) { o.jobs = 3; }},
        {{"--jobs=5", "a.rla"}, [](TocToolOptions& o) { o.jobs = 5; }},
        {{"-r", "a.rla"}, [](TocToolOptions& o) { o.recursive = true; }},
        {{"--quiet", "a.rla"}, [](TocToolOptions& o) { o.quiet = true; }},
        {{"-v", "a.rla"}, [](TocToolOptions& o) { o.verbose = true; }},
        {{"--remarks", "--check", "a.rla"},
         [](TocToolOptions& o)
         {
             o.remarks = true;
             o.check = true;
         }},
        {{"--summary", "a.rla"}, [](TocToolOptions& o) { o.summary = true; }},
        {{"--report", "r.json", "a.rla"}, [](TocToolOptions& o) { o.reportFile = "r.json"; }},
        {{"--dump-items-after", "assign-levels", "--extended", "a.rla"},
         [](TocToolOptions& o)
         {
             o.dumpItemsAfter = "assign-levels";
             o.extended = true;
         }},
        // Short flags together, and options after the paths.
        {{"-rqv", "a.rla", "b", "--extended"},
         [](TocToolOptions& o)
         {
             o.recursive = o.quiet = o.verbose = o.extended = true;
             o.paths.push_back("b");
         }},
        // After -- whatever begins with "-" is a path.
        {{"--stdout", "--", "a.rla", "-b.rla", "--check"},
         [](TocToolOptions& o)
         {
             o.toStdout = true;
             o.paths = {"a.rla", "-b.rla", "--check"};
         }},
    };
    for (const Case& c : cases)
    {
        TocToolOptions expected;
        expected.jobs = std::max(1u, std::thread::hardware_concurrency());
        expected.paths = {"a.rla"};
        c.expect(expected);
        const ToolCommandLine line = ParseToolOptions(c.args);
        ASSERT_TRUE(line.options.has_value()) << Joined(c.args) << "\n" << line.err;
        EXPECT_TRUE(*line.options == expected) << Joined(c.args);
        EXPECT_EQ(line.out + line.err, "") << Joined(c.args);
    }
}

TEST(ToolOptions, WrongUsageIsRefusedWithTwoAndAReason)
{
    const std::pair<Args, std::string> cases[] = {
        {{}, "PATH is required"},
        {{"--stdout", "-o", "out", "a.rla"}, "excludes"},
        {{"--stdout", "--move-to", "done", "a.rla"}, "excludes"},
        {{"--stdout", "--check", "a.rla"}, "excludes"},
        {{"-o", "out", "--move-to", "done", "a.rla"}, "excludes"},
        {{"-o", "out", "--check", "a.rla"}, "excludes"},
        {{"--settings", "s.ini", "--no-settings", "a.rla"}, "excludes"},
        {{"-j", "0", "a.rla"}, "--jobs"},
        {{"-j", "many", "a.rla"}, "--jobs"},
        {{"a.rla", "-o"}, "-o"},
        // An unknown option, and a path that looks like one, are named with the way to give such a path.
        {{"--unknown", "a.rla"},
         "tirvel-toc: --unknown: no such option; a path that begins with \"-\" goes after --, as in "
         "tirvel-toc "
         "-- --unknown (or write it as ./--unknown)\n"},
        {{"a.rla", "-b.rla"},
         "tirvel-toc: -b.rla: no such option; a path that begins with \"-\" goes after --, as in tirvel-toc "
         "-- -b.rla (or write it as ./-b.rla)\n"},
        {{"-rx", "a.rla"}, "tirvel-toc: -rx: no such option;"},
        // The dump names a step of the recognition, reads one document and writes nothing.
        {{"--dump-items-after", "merge", "a.rla"}, "no recognition step merge"},
        {{"--dump-items-after", "assign-levels", "a.rla", "b.rla"},
         "tirvel-toc: --dump-items-after takes one document, not 2\n"},
        {{"--dump-items-after", "assign-levels"}, "PATH is required"},
        {{"--dump-items-after", "assign-levels", "-o", "out", "a.rla"}, "excludes"},
        {{"--stdout", "--dump-items-after", "assign-levels", "a.rla"}, "excludes"},
    };
    for (const auto& [args, reason] : cases)
    {
        const ToolCommandLine line = ParseToolOptions(args);
        EXPECT_FALSE(line.options.has_value()) << Joined(args);
        EXPECT_EQ(line.exitCode, 2) << Joined(args);
        EXPECT_EQ(line.out, "") << Joined(args);
        EXPECT_NE(line.err.find(reason), std::string::npos) << Joined(args) << "\n" << line.err;
    }
}

TEST(ToolOptions, HelpAndVersionArePrintedWithZeroAndNoRun)
{
    for (const Args& args : {Args{"--help"}, Args{"-h"}, Args{"--stdout", "--help", "a.rla"}})
    {
        const ToolCommandLine help = ParseToolOptions(args);
        EXPECT_FALSE(help.options.has_value()) << Joined(args);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.out.rfind("Builds the tables of contents of .rla documents.", 0), 0u) << help.out;
        for (const char* option : {"--move-to", "--remarks", "--report", "PATH"})
            EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    // The names of the steps, one a line, need no document.
    for (const Args& args :
         {Args{"--dump-items-after", "list"}, Args{"--dump-items-after=list", "a.rla", "b"}})
    {
        const ToolCommandLine steps = ParseToolOptions(args);
        EXPECT_FALSE(steps.options.has_value()) << Joined(args);
        EXPECT_EQ(steps.exitCode, 0);
        EXPECT_EQ(steps.err, "");
        EXPECT_EQ(steps.out.rfind("collect-existing-blocks\n", 0), 0u) << steps.out;
        EXPECT_NE(steps.out.find("\ncollect-plain-headings (with --extended only)\nremove-marker-lines\n"),
                  std::string::npos)
            << steps.out;
        EXPECT_TRUE(steps.out.ends_with("\ninsert-blocks\n")) << steps.out;
    }
    const ToolCommandLine version = ParseToolOptions({"--version"});
    EXPECT_FALSE(version.options.has_value());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("tirvel-toc ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.back(), '\n');
}
