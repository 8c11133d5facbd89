#pragma once
// tirvel-toc: builds the tables of contents of .rla documents without the editor. Each document is
// loaded, processed as the editor's open command processes it and saved as its first save would.

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <map>
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
    bool extended = false;    // extended recognition of headings in the plain text
    bool noBackup = false;    // make no .bak file
    bool toStdout = false;    // write the documents to standard output instead of saving them
    std::string outputDir;    // write the documents into this folder under their own names
    std::vector<std::string> paths;

    unsigned jobs = 1;      // documents processed at the same time
    bool recursive = false; // folders stand for their subfolders' documents as well
    std::string moveTo;     // move each document into this folder and save it there
    bool replace = false;   // a different file already at the destination goes to the trash
    bool check = false;     // process in memory only and say what would change
    bool quiet = false;     // no progress line and no summary
    bool summary = false;   // the summary line even when standard error is no terminal
    std::string reportFile; // JSON report of every document
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
    // Another run holds the document's lock.
    Skipped,
};

// The dictionaries from the settings file (the one given, else the editor's when found) and the
// word and kind files. Errors name the file and go to err; nullopt when any file could not be read.
std::optional<TocToolSetup> LoadToolSetup(const TocToolOptions& options, const std::string& exeDir,
                                          std::ostream& err);

// One document to process: its path and the name it gets under an output or move-to folder (its own
// name, or its path below the folder named on the command line when folders are searched recursively).
struct DocumentJob
{
    std::string path;
    std::string relativeName;
};

// The documents the paths stand for: files as given, a folder's *.rla files in byte order (with
// recursive, those of every subfolder too, all in byte order of their paths; symbolic links to
// folders are not followed). A document named twice (the same file under two paths) is kept once,
// where it first appears. An unreadable folder stands as a document of its own, whose load then
// says why.
std::vector<DocumentJob> ExpandDocumentPaths(const std::vector<std::string>& paths, bool recursive = false);

// Where the document is written when it goes to a folder (-o or --move-to); empty otherwise.
std::string DestinationOf(const DocumentJob& job, const TocToolOptions& options);

// Documents of the run that are refused before they are touched, by index, with the message: one
// written where another one is written or read (the first one named keeps the place), and those
// whose backups would take the same file, as another document of the run or a file beside them
// would have its backup there (all of them: whichever went first, the other would replace its
// backup).
std::map<std::size_t, std::string> FindRunClashes(const std::vector<DocumentJob>& jobs,
                                                  const TocToolOptions& options, const TocToolSetup& setup);

// What happened to one document.
struct DocumentResult
{
    DocumentOutcome outcome = DocumentOutcome::Failed;
    bool changed = false;                       // writing it would change the file (dates aside)
    std::uint64_t bytesAfterEnd = 0;            // content after a 0x1A byte, which a save leaves out
    std::size_t entries = 0;                    // table-of-contents blocks in the resulting text
    std::map<int, std::size_t> entriesPerLevel; // level (1 = top) -> blocks
    std::vector<std::string> messages;          // lines for stderr, each naming the document
    std::string output;                         // the document's bytes for standard output
    std::uintmax_t bytes = 0;                   // size of the document file
    double milliseconds = 0;
};

// Loads, processes and writes one document; with options.check nothing is written. Never throws:
// whatever goes wrong makes the document Failed, with a message, and leaves its file as it was.
// What would destroy a file is refused: a different file at the destination (unless options.replace,
// which sends it to the trash), the document as its own output, a backup that cannot be made, a
// read-only document. A document that writing would not change is not written, nor its backup
// touched. While it is worked on the document is locked; one locked by another run is Skipped.
// Safe to call from several threads at once for different documents.
DocumentResult ProcessOneDocument(const DocumentJob& job, const TocToolOptions& options,
                                  const TocToolSetup& setup);
