#pragma once
// tirvel-toc: builds the tables of contents of .rla documents without the editor. Each document is
// loaded, processed as the editor's open command processes it and saved as its first save would.

#include "cli/DocumentJobs.h"
#include "cli/DocumentResult.h"
#include "cli/TocToolOptions.h"
#include "cli/ToolSetup.h"

// Loads, processes and writes one document; with options.check nothing is written. Never throws:
// whatever goes wrong makes the document Failed, with a message, and leaves its file as it was.
// What would destroy a file is refused: a different file at the destination (unless options.replace,
// which sends it to the trash), the document as its own output, a backup that cannot be made, a
// read-only document. A document that writing would not change is not written, nor its backup
// touched. While it is worked on the document is locked; one locked by another run is Skipped.
// findRemarks: the remarks on the table of contents are read too (they cost a good part of the
// recognition's time, so a run that shows them nowhere does without). Safe to call from several
// threads at once for different documents.
DocumentResult ProcessOneDocument(const DocumentJob& job, const TocToolOptions& options,
                                  const TocToolSetup& setup, bool findRemarks);
