#pragma once
// What a run of tirvel-toc is asked to do, as its command line says it.

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
    bool verbose = false;   // list the remarks on every document
    bool remarks = false;   // list only the documents with remarks, and their remarks
    bool summary = false;   // the summary line even when standard error is no terminal
    std::string reportFile; // JSON report of every document
    // Print the items of the one document after this step of the recognition, and write nothing.
    std::string dumpItemsAfter;

    bool operator==(const TocToolOptions&) const = default;
};
