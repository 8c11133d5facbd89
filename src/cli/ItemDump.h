#pragma once
// tirvel-toc --dump-items-after STEP FILE: the items the recognition holds after one of its steps, for
// a fixture or a bug report. The document is only read.

#include "cli/TocToolOptions.h"

#include <iosfwd>
#include <string>

// Recognises the one document options name, with the dictionaries a run would use, and writes to out
// the items as they stand after the step options.dumpItemsAfter. The engine's messages and whatever
// keeps the step from being reached (a document that cannot be read, a text the recognition refuses
// or ends before the step, a step of the extended recognition without it) go to err. 0 when the
// items were written, 1 otherwise.
int DumpItemsAfterStep(const TocToolOptions& options, const std::string& exeDir, std::ostream& out,
                       std::ostream& err);
