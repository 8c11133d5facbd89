#pragma once
// How tirvel-toc writes a processed document: in place, into an output folder or moved into a folder,
// each refusing what would destroy a file.

#include "cli/DocumentJobs.h"
#include "cli/DocumentReporter.h"
#include "cli/DocumentResult.h"
#include "cli/TocToolOptions.h"
#include "cli/ToolSetup.h"

#include <string>

class CDocumentFile;

// -o: the document written under the output folder; the source stays as it is.
bool WriteIntoOutputFolder(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                           DocumentReporter& reporter, DocumentResult& result);
// --move-to: the processed document and its backup are written into the folder first and the source
// is removed last, so at every moment the document is whole at its source or complete in the folder.
bool MoveIntoFolder(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                    const TocToolSetup& setup, DocumentReporter& reporter, DocumentResult& result);
// In place: the document replaced by its processed form after its backup is made.
bool SaveInPlace(CDocumentFile& document, const TocToolOptions& options, const TocToolSetup& setup,
                 DocumentReporter& reporter);
