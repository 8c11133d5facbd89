#include "cli/ToolOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>
#include <thread>

namespace
{
// The options of the tool, bound to the fields of options.
void AddToolOptions(CLI::App& app, TocToolOptions& options)
{
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
                 "them too); with --check, list under each document the file operations its writing would "
                 "make");
    app.add_flag("--remarks", options.remarks,
                 "List only the documents with remarks on their tables of contents, and their remarks");
    app.add_flag("--summary", options.summary,
                 "Print the summary line even when standard error is no terminal");
    app.add_option("--report", options.reportFile, "Write a JSON report of every document into FILE");
    app.add_option("PATH", options.paths,
                   "Documents, or folders of .rla documents (after -- when one begins with -)")
        ->required();
}

// An argument that begins with "-" and is no option of the tool: most likely a path, which CLI11
// would otherwise take for an unknown option and then miss as PATH.
std::string UnknownDashArgument(const CLI::App& app, const std::vector<std::string>& args)
{
    const std::vector<const CLI::Option*> options = app.get_options();
    for (const std::string& arg : args)
    {
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
} // namespace

ToolCommandLine ParseToolOptions(const std::vector<std::string>& args)
{
    TocToolOptions options;
    options.jobs = std::max(1u, std::thread::hardware_concurrency());
    CLI::App app{"Builds the tables of contents of .rla documents.", "tirvel-toc"};
    AddToolOptions(app, options);

    ToolCommandLine line;
    try
    {
        // CLI11 takes the arguments last first.
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    }
    catch (const CLI::ParseError& error)
    {
        if (const std::string unknown = UnknownDashArgument(app, args);
            !unknown.empty() && error.get_exit_code() != 0)
        {
            line.err = "tirvel-toc: " + unknown +
                       ": no such option; a path that begins with \"-\" goes after --, as in tirvel-toc -- " +
                       unknown + " (or write it as ./" + unknown + ")\n";
            line.exitCode = 2;
            return line;
        }
        std::ostringstream out;
        std::ostringstream err;
        line.exitCode = app.exit(error, out, err) == 0 ? 0 : 2;
        line.out = out.str();
        line.err = err.str();
        return line;
    }
    line.options = std::move(options);
    return line;
}
