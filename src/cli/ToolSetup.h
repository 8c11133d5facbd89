#pragma once
// The dictionaries and the backup rule the documents of a run are processed with.

#include "cli/TocToolOptions.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"

#include <iosfwd>
#include <optional>
#include <string>

// What the documents are processed with.
struct TocToolSetup
{
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    bool makeBackup = true;
};

// The dictionaries from the settings file (the one given, else the editor's when found) and the
// word and kind files. Errors name the file and go to err; nullopt when any file could not be read.
std::optional<TocToolSetup> LoadToolSetup(const TocToolOptions& options, const std::string& exeDir,
                                          std::ostream& err);
