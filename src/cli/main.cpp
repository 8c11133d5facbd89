// tirvel-toc [--kinds FILE] [--words FILE] [--settings FILE | --no-settings] [--keep-dates] [--extended]
//            [--no-backup] [--stdout | -o DIR | --move-to DIR] [--replace] [--check] [-j N] [-r] [-q]
//            [-v] [--remarks] [--summary] [--report FILE] [--] PATH...
// Exit status: 0 when every document was processed (changed or not) or refused for its table of
// contents, 1 when any could not be read or written, was refused because writing it would destroy a
// file, or was skipped as another run's (or the run was interrupted, or the report could not be
// written), 2 for wrong usage.

#include "cli/BatchReport.h"
#include "cli/CProgressLine.h"
#include "cli/DocumentReporter.h"
#include "cli/RunInOrder.h"
#include "cli/TocTool.h"
#include "core/base/FileIO.h"
#include "core/base/FileSystem.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace
{
std::atomic<bool> g_stop{false};

// The first Ctrl-C lets the documents in hand finish and be written whole; a second one ends at once.
extern "C" void StopRequested(int signal)
{
    g_stop = true;
    std::signal(signal, SIG_DFL);
}

std::string ExecutableDir(const char* argv0)
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.parent_path().string();
    return fs::absolute(argv0, error).parent_path().string();
}

// An argument that begins with "-" and is no option of the tool: most likely a path, which CLI11
// would otherwise take for an unknown option and then miss as PATH.
std::string UnknownDashArgument(const CLI::App& app, int argc, char** argv)
{
    const std::vector<const CLI::Option*> options = app.get_options();
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (arg.size() < 2 || arg[0] != '-')
            continue;
        const std::string name = arg.substr(0, arg.find('='));
        const bool known =
            std::any_of(options.begin(), options.end(),
                        [&name](const CLI::Option* option) { return option->check_name(name); });
        // Short flags given together ("-rq") are options too.
        const bool flags =
            name.size() > 2 && name[1] != '-' &&
            std::all_of(name.begin() + 1, name.end(),
                        [&app](char c) { return app.get_option_no_throw(std::string("-") + c) != nullptr; });
        if (!known && !flags)
            return arg;
    }
    return {};
}

// Removes what writes killed in an earlier run left in the folders this run writes into: beside the
// documents (unless they are only read, under -o) and in the folders they go to. A temporary file
// still being written by another run is locked and stays.
void RemoveStaleTemporaryFiles(const std::vector<DocumentJob>& jobs, const TocToolOptions& options)
{
    std::set<std::string> folders;
    for (const DocumentJob& job : jobs)
    {
        if (options.outputDir.empty())
            folders.insert(FolderOf(job.path));
        if (!options.outputDir.empty() || !options.moveTo.empty())
            folders.insert(FolderOf(DestinationOf(job, options)));
    }
    for (const std::string& folder : folders)
        for (const std::string& removed : RemoveStaleTemporaries(folder))
            std::fprintf(stderr, "tirvel-toc: removed %s, left by an interrupted run\n",
                         PrintableText(removed).c_str());
}
} // namespace

int main(int argc, char** argv)
{
    TocToolOptions options;
    options.jobs = std::max(1u, std::thread::hardware_concurrency());
    CLI::App app{"Builds the tables of contents of .rla documents.", "tirvel-toc"};
    app.set_version_flag("--version", std::string("tirvel-toc ") + TIRVEL_VERSION);
    app.add_option("--kinds", options.kindsFile, "Document kinds to add, UTF-8, one per line");
    app.add_option("--words", options.wordsFile, "Capitalised words to add, UTF-8, one per line");
    auto* settings =
        app.add_option("--settings", options.settingsFile, "Take the dictionaries from this settings file");
    auto* noSettings = app.add_flag("--no-settings", options.noSettings, "Use no settings file");
    settings->excludes(noSettings);
    app.add_flag("--keep-dates", options.keepDates, "Leave the $100/$101 dates alone");
    app.add_flag("--extended", options.extended,
                 "Extended recognition: also find the headings a reader sees in the plain text (articles "
                 "of any act, parts, sections, chapters, numbered headings, appendix captions)");
    app.add_flag("--no-backup", options.noBackup, "Make no .bak file");
    auto* toStdout =
        app.add_flag("--stdout", options.toStdout, "Write the processed documents to standard output");
    auto* outputDir = app.add_option("-o", options.outputDir, "Write the processed documents into DIR");
    auto* moveTo = app.add_option("--move-to", options.moveTo,
                                  "Move each processed document into DIR and save it there, as the editor's "
                                  "move on save does");
    app.add_flag("--replace", options.replace,
                 "Replace a different file already at a document's place under -o or --move-to DIR (and its "
                 "backup there), moving it to the trash; without it such a document is refused");
    auto* check = app.add_flag("--check", options.check,
                               "Process in memory and write nothing; list the documents that would change, "
                               "were refused or failed");
    toStdout->excludes(outputDir)->excludes(moveTo)->excludes(check);
    outputDir->excludes(moveTo)->excludes(check);
    app.add_option("-j,--jobs", options.jobs,
                   "Documents processed at the same time (default: the number of cores)")
        ->check(CLI::PositiveNumber);
    app.add_flag("-r,--recursive", options.recursive, "Take the documents of subfolders too");
    app.add_flag("-q,--quiet", options.quiet, "No progress line and no summary");
    app.add_flag("-v,--verbose", options.verbose,
                 "List the remarks on every document's table of contents, as PATH:LINE: text (--check lists "
                 "them too)");
    app.add_flag("--remarks", options.remarks,
                 "List only the documents with remarks on their tables of contents, and their remarks");
    app.add_flag("--summary", options.summary,
                 "Print the summary line even when standard error is no terminal");
    app.add_option("--report", options.reportFile, "Write a JSON report of every document into FILE");
    app.add_option("PATH", options.paths,
                   "Documents, or folders of .rla documents (after -- when one begins with -)")
        ->required();

    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& error)
    {
        if (const std::string unknown = UnknownDashArgument(app, argc, argv);
            !unknown.empty() && error.get_exit_code() != 0)
        {
            std::fprintf(stderr,
                         "tirvel-toc: %s: no such option; a path that begins with \"-\" goes after --, as in "
                         "tirvel-toc -- %s (or write it as ./%s)\n",
                         unknown.c_str(), unknown.c_str(), unknown.c_str());
            return 2;
        }
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }

    const auto setup = LoadToolSetup(options, ExecutableDir(argv[0]), std::cerr);
    if (!setup)
        return 1;

    const std::vector<DocumentJob> jobs = ExpandDocumentPaths(options.paths, options.recursive);
    const std::map<std::size_t, std::string> clashes = FindRunClashes(jobs, options, *setup);
    if (!options.check && !options.toStdout)
        RemoveStaleTemporaryFiles(jobs, options);
    std::uintmax_t bytesTotal = 0;
    for (const DocumentJob& job : jobs)
    {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(job.path, error);
        bytesTotal += error ? 0 : size;
    }

    std::signal(SIGINT, StopRequested);
    std::signal(SIGTERM, StopRequested);
    const bool onTerminal = ::isatty(STDERR_FILENO) == 1;
    CProgressLine progress(onTerminal && !options.quiet, jobs.size(), bytesTotal);
    BatchTotals totals;
    std::vector<ReportedDocument> reported;
    bool outputFailed = false;

    auto work = [&](std::size_t index)
    {
        if (const auto clash = clashes.find(index); clash != clashes.end())
        {
            DocumentResult result;
            result.messages.push_back(clash->second);
            return result;
        }
        return ProcessOneDocument(jobs[index], options, *setup);
    };
    auto deliver = [&](std::size_t index, DocumentResult&& result)
    {
        const std::string& path = jobs[index].path;
        if (options.toStdout && !result.output.empty() &&
            std::fwrite(result.output.data(), 1, result.output.size(), stdout) != result.output.size())
        {
            result.messages.push_back("tirvel-toc: " + path + ": cannot write to standard output");
            result.outcome = DocumentOutcome::Failed;
            outputFailed = true;
        }
        for (const std::string& message : result.messages)
            progress.Print(PrintableText(message));
        if (options.check && !options.remarks &&
            (result.outcome != DocumentOutcome::Processed || result.changed))
        {
            progress.Clear();
            const std::string line =
                PrintableText(path) + ": " +
                (result.outcome == DocumentOutcome::Processed ? std::string("would change")
                                                              : std::string(StatusName(result.outcome)));
            std::fprintf(stdout, "%s\n", line.c_str());
            std::fflush(stdout);
        }
        if (options.check || options.verbose || options.remarks)
        {
            // Beside the documents on standard output the remarks go to standard error.
            const std::string remarks = RemarkLines(path, result);
            if (!remarks.empty())
            {
                progress.Clear();
                std::fputs(remarks.c_str(), options.toStdout ? stderr : stdout);
                std::fflush(options.toStdout ? stderr : stdout);
            }
        }
        totals.Add(result);
        progress.Advance(result.bytes);
        if (!options.reportFile.empty())
        {
            result.output.clear();
            reported.push_back({path, std::move(result)});
        }
    };
    // Documents bound for standard output wait in memory for their turn: only a few may run ahead.
    const std::size_t ahead = options.toStdout ? 2 * std::size_t{options.jobs} : jobs.size();
    RunInOrder(
        jobs.size(), options.jobs, ahead, work, deliver, [&] { progress.Refresh(); }, g_stop);
    progress.Clear();
    const double seconds = progress.Seconds();

    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        outputFailed = true;
    if (!options.quiet && (onTerminal || options.summary))
        std::fprintf(stderr, "%s\n",
                     FormatSummary(totals, jobs.size(), options.check, seconds, options.extended).c_str());
    bool reportFailed = false;
    if (!options.reportFile.empty() &&
        !WriteFileAtomically(options.reportFile, JsonReport(reported, totals, jobs.size(), options.check,
                                                            seconds, options.extended)))
    {
        std::fprintf(stderr, "tirvel-toc: %s: cannot write the report\n", options.reportFile.c_str());
        reportFailed = true;
    }
    const bool interrupted = totals.documents < jobs.size();
    return totals.failed > 0 || totals.skipped > 0 || outputFailed || reportFailed || interrupted ? 1 : 0;
}
