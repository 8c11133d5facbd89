#pragma once
// How tirvel-toc puts a processed document on disk: in place, into an output folder (-o) or moved
// into a folder (--move-to). What happens to which file is the save plan's; this is where the tool
// builds its request, lists the plan with --check and words each refusal and failure.

#include "cli/DocumentJobs.h"
#include "cli/DocumentReporter.h"
#include "cli/DocumentResult.h"
#include "cli/TocToolOptions.h"
#include "cli/ToolSetup.h"
#include "core/workflow/SavePlan.h"

#include <string>

class CDocumentFile;

// Plans where the document goes and, unless the run only checks, carries the plan out. The plan's
// lines go to result.plan; refusals and failures to the reporter. False when the document was
// refused or could not be written.
bool WriteDocument(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                   const TocToolSetup& setup, DocumentReporter& reporter, DocumentResult& result);

// One operation of a plan to destination as the tool lists it (one line, English).
std::string DescribeOperation(const FileOperation& operation, SaveDestination destination);
