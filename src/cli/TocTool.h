#pragma once
// tirvel-toc: builds the tables of contents of .rla documents without the editor. Each document is
// loaded, processed as the editor's open command processes it and saved as its first save would.

#include "dictionaries/CDocKindsList.h"
#include "dictionaries/CUpperCaseWordsDict.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct TocToolOptions
{
    std::string kindsFile;    // UTF-8, one kind per line, added as the editor's import adds them
    std::string wordsFile;    // UTF-8, one word per line
    std::string settingsFile; // the editor's settings file to take the dictionaries from
    bool noSettings = false;  // use no settings file at all
    bool keepDates = false;   // leave $100/$101 as they are
    bool noBackup = false;    // make no .bak file
    bool toStdout = false;    // write the documents to standard output instead of saving them
    std::string outputDir;    // write the documents into this folder under their own names
    std::vector<std::string> paths;
};

// What the documents are processed with.
struct TocToolSetup
{
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    bool makeBackup = true;
};

enum class DocumentOutcome
{
    Processed,
    Refused,
    Failed,
};

// The dictionaries from the settings file (the one given, else the editor's when found) and the
// word and kind files. Errors name the file and go to err; nullopt when any file could not be read.
std::optional<TocToolSetup> LoadToolSetup(const TocToolOptions& options, const std::string& exeDir,
                                          std::ostream& err);

// The documents the paths stand for: files as given, a folder's *.rla files (not its subfolders) in
// byte order.
std::vector<std::string> ExpandDocumentPaths(const std::vector<std::string>& paths);

// Loads, processes and writes one document. Messages, each naming the file, go to err.
DocumentOutcome ProcessOneDocument(const std::string& path, const TocToolOptions& options,
                                   const TocToolSetup& setup, std::ostream& out, std::ostream& err);
