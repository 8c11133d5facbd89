// tirvel-toc [--kinds FILE] [--words FILE] [--settings FILE | --no-settings] [--keep-dates]
//            [--no-backup] [--stdout | -o DIR] PATH...
// Exit status: 0 when every document was processed or refused, 1 when any could not be read or
// written, 2 for wrong usage.

#include "cli/TocTool.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <system_error>

namespace
{
std::string ExecutableDir(const char* argv0)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.parent_path().string();
    return std::filesystem::absolute(argv0, error).parent_path().string();
}
} // namespace

int main(int argc, char** argv)
{
    TocToolOptions options;
    CLI::App app{"Builds the tables of contents of .rla documents.", "tirvel-toc"};
    app.add_option("--kinds", options.kindsFile, "Document kinds to add, UTF-8, one per line");
    app.add_option("--words", options.wordsFile, "Capitalised words to add, UTF-8, one per line");
    auto* settings =
        app.add_option("--settings", options.settingsFile, "Take the dictionaries from this settings file");
    auto* noSettings = app.add_flag("--no-settings", options.noSettings, "Use no settings file");
    settings->excludes(noSettings);
    app.add_flag("--keep-dates", options.keepDates, "Leave the $100/$101 dates alone");
    app.add_flag("--no-backup", options.noBackup, "Make no .bak file");
    auto* toStdout =
        app.add_flag("--stdout", options.toStdout, "Write the processed documents to standard output");
    auto* outputDir = app.add_option("-o", options.outputDir, "Write the processed documents into DIR");
    toStdout->excludes(outputDir);
    app.add_option("PATH", options.paths, "Documents, or folders of .rla documents")->required();

    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& error)
    {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }

    const auto setup = LoadToolSetup(options, ExecutableDir(argv[0]), std::cerr);
    if (!setup)
        return 1;
    bool failed = false;
    for (const std::string& path : ExpandDocumentPaths(options.paths))
        failed |= ProcessOneDocument(path, options, *setup, std::cout, std::cerr) == DocumentOutcome::Failed;
    std::cout.flush();
    return failed || !std::cout ? 1 : 0;
}
