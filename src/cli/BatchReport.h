#pragma once
// What the batch tool tells about a run: the progress line, the summary line and the JSON report.

#include "cli/DocumentResult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BatchTotals
{
    std::size_t documents = 0;
    std::size_t processed = 0; // of which unchanged below
    std::size_t unchanged = 0;
    std::size_t refused = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0; // locked by another run
    std::size_t entries = 0;
    std::size_t withoutEntries = 0; // processed documents that got no table of contents
    std::size_t withRemarks = 0;    // documents with remarks on their table of contents

    void Add(const DocumentResult& result);
};

// One document of the report: the result without the document bytes.
struct ReportedDocument
{
    std::string path;
    DocumentResult result;
};

// "[ 12/340]  4%  31.5 MB/s  elapsed 0:07  ETA 2:41": files done of total, the share of the bytes,
// the rate, the time so far and the time left at that rate ("ETA -" before anything is done).
std::string FormatProgress(std::size_t done, std::size_t total, std::uintmax_t bytesDone,
                           std::uintmax_t bytesTotal, double seconds);

// "tirvel-toc: 340 documents: 331 processed (12 unchanged), 7 refused, 2 failed; 15210 entries; 42.3 s"
// (", 3 skipped" after the failed ones when another run held some)
// (with check: "would be processed"), plus "; 4 without entries" when processed documents got no
// table of contents (without extended recognition: "; 4 without entries (try --extended)"), "; 3 with
// remarks" when documents have remarks on their tables of contents, and
// "; interrupted, N not processed" when stopped early.
std::string FormatSummary(const BatchTotals& totals, std::size_t named, bool check, double seconds,
                          bool extended = false);

// "PATH:LINE: text" for each remark of the document, one a line, so that an editor can jump to them.
// Path and text are printable (see PrintableText): no name or heading can forge or hide a line.
std::string RemarkLines(const std::string& path, const DocumentResult& result);

// "status" of a document in the report and in the check listing.
std::string_view StatusName(DocumentOutcome outcome);

// The messages of a document without the tool's name in front, one per line.
std::string ErrorText(const DocumentResult& result);

// A JSON string literal of UTF-8 text; bytes that are no UTF-8 (a path in another code page) become
// U+FFFD, so the report is always valid JSON.
std::string JsonString(std::string_view text);

// The whole report: the tool, the mode (check, extended recognition), the totals and one object per
// document in the order given.
std::string JsonReport(const std::vector<ReportedDocument>& documents, const BatchTotals& totals,
                       std::size_t named, bool check, double seconds, bool extended = false);
