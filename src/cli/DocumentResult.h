#pragma once
// What became of one document of a run.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class DocumentOutcome
{
    Processed,
    Refused,
    Failed,
    // Another run holds the document's lock.
    Skipped,
};

// A remark on the document's table of contents, for the report and the listing.
struct DocumentRemark
{
    std::size_t line = 0; // 1-based line in the file, header lines included, of the heading's first line
    std::string kind;     // "gap", "repeat", "order", "nesting", "body"
    std::string text;     // UTF-8
};

// What happened to one document.
struct DocumentResult
{
    DocumentOutcome outcome = DocumentOutcome::Failed;
    bool changed = false;                       // writing it would change the file (dates aside)
    std::uint64_t bytesAfterEnd = 0;            // content after a 0x1A byte, which a save leaves out
    std::size_t entries = 0;                    // table-of-contents blocks in the resulting text
    std::map<int, std::size_t> entriesPerLevel; // level (1 = top) -> blocks
    std::vector<DocumentRemark> remarks;        // on the table of contents as written (or as it would be)
    std::vector<std::string> messages;          // lines for stderr, each naming the document
    std::vector<std::string> plan;              // what writing it does (or would do), one operation a line
    std::string output;                         // the document's bytes for standard output
    std::uintmax_t bytes = 0;                   // size of the document file
    double milliseconds = 0;
};
