#pragma once
// A whole run of tirvel-toc over the documents its command line names.

#include "cli/TocToolOptions.h"

#include <string>

// Processes every document options name, with the dictionaries found beside the tool in exeDir when
// no settings file is given, telling progress, messages and remarks on the way. The first SIGINT or
// SIGTERM lets the documents in hand finish and be written whole; a second one ends the process.
// 0 when every document was processed (changed or not) or refused for its table of contents; 1 when
// the dictionaries could not be read, or any document could not be read or written, was refused
// because writing it would destroy a file, or was skipped as another run's, or the run was
// interrupted, or its output or report could not be written.
int RunBatch(const TocToolOptions& options, const std::string& exeDir);
