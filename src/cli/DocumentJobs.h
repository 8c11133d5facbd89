#pragma once
// The documents a run's paths stand for, where each is written, and those the run refuses before it
// touches anything.

#include "cli/TocToolOptions.h"
#include "cli/ToolSetup.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

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
