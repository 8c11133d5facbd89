#pragma once
// How tirvel-toc writes a processed document: in place, into an output folder or moved into a folder,
// each refusing what would destroy a file.

#include "cli/DocumentJobs.h"
#include "cli/DocumentResult.h"
#include "cli/TocToolOptions.h"
#include "cli/ToolSetup.h"
#include "core/base/Reporter.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

class CDocumentFile;

// Messages of the engine and the document file, one line each, naming the document. Each document
// has its own, so documents processed at the same time never mix their messages.
class DocumentReporter : public IReporter
{
public:
    DocumentReporter(const std::string& path, std::vector<std::string>& messages)
        : m_path(path), m_messages(messages)
    {
    }
    void Report(std::string_view text, MessageIcon) override
    {
        std::string line(text);
        std::replace(line.begin(), line.end(), '\n', ' ');
        Add(line);
    }
    void Add(const std::string& line) { m_messages.push_back("tirvel-toc: " + m_path + ": " + line); }

private:
    const std::string& m_path;
    std::vector<std::string>& m_messages;
};

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
