#include "cli/ToolOptions.h"

#include "core/toc/RecognitionSteps.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>
#include <thread>

namespace
{
// Thrown while the arguments are read when --dump-items-after asks for the names of the steps: they
// are printed in place of a run, whatever else the command line holds.
struct StepListAsked : CLI::Success
{
};

std::string StepNames()
{
    std::string names;
    for (const RecognitionStep& step : RecognitionSteps())
        names += std::string(step.name) + (step.extendedOnly ? " (with --extended only)\n" : "\n");
    return names;
}

// --dump-items-after STEP: what one step of the recognition makes of one document, for a fixture or a
// bug report.
void AddDumpOption(CLI::App& app, TocToolOptions& options)
{
    CLI::Option* dump =
        app.add_option("--dump-items-after", options.dumpItemsAfter,
                       "Print the items the recognition holds after STEP for the one document "
                       "given (line counted from 0 in the text below the header, kind, level, "
                       "entry lines) and write nothing; --dump-items-after list names the steps");
    dump->type_name("STEP");
    dump->check(CLI::Validator(
        [](std::string& name) -> std::string
        {
            if (name == "list")
                throw StepListAsked();
            return FindRecognitionStep(name) ? std::string() : "no recognition step " + name;
        },
        ""));
    for (const char* writing : {"--stdout", "-o", "--move-to", "--check", "--report"})
        dump->excludes(app.get_option(writing));
}

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
    AddDumpOption(app, options);
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
    catch (const StepListAsked&)
    {
        line.out = StepNames();
        return line;
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
    if (!options.dumpItemsAfter.empty() && options.paths.size() != 1)
    {
        line.err = "tirvel-toc: --dump-items-after takes one document, not " +
                   std::to_string(options.paths.size()) + "\n";
        line.exitCode = 2;
        return line;
    }
    line.options = std::move(options);
    return line;
}
