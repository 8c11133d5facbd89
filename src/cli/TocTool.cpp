#include "cli/TocTool.h"

#include "cli/DocumentReporter.h"
#include "cli/DocumentWriting.h"
#include "core/base/CFileLock.h"
#include "core/base/CodePage.h"
#include "core/document/CDocumentFile.h"
#include "core/entries/TocEntryList.h"
#include "core/remarks/Remarks.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/CDesktopTrash.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
std::map<int, std::size_t> EntriesPerLevel(const CTextLines& lines)
{
    std::map<int, std::size_t> levels;
    for (const TocEntryRef& entry : BuildEntryList(lines, CContentFilter()))
        ++levels[EntryLevel(entry.text)];
    return levels;
}

std::vector<DocumentRemark> RemarksOf(const CDocumentFile& document)
{
    std::vector<DocumentRemark> remarks;
    for (const Remark& remark : FindRemarks(document.TextLines()))
        remarks.push_back({document.HeaderLines().size() + remark.line + 1,
                           std::string(RemarkKindName(remark.kind)), Cp1251ToUtf8(remark.text)});
    return remarks;
}

void ProcessLoaded(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                   const TocToolSetup& setup, bool findRemarks, DocumentReporter& reporter,
                   DocumentResult& result)
{
    result.bytesAfterEnd = document.ContentAfterEndBytes();
    if (result.bytesAfterEnd > 0)
        reporter.Add(
            "warning: " + std::to_string(result.bytesAfterEnd) +
            " bytes after the end-of-file mark (0x1A) are no part of the document; a save leaves them "
            "out (the backup keeps them)");

    // Large documents are processed in place: a second copy of the text would double the memory.
    const ProcessResult processed =
        ProcessDocumentInPlace(document.MutableTextLines(), setup.words, setup.kinds, reporter, {},
                               RecognitionOptions{options.extended});
    if (processed.refused)
    {
        result.outcome = DocumentOutcome::Refused;
        // The document stays as it is; wherever output goes, the document goes there as loaded.
        document.KeepDates();
        if (findRemarks)
            result.remarks = RemarksOf(document);
        if (options.toStdout)
            result.output = document.FileBytes();
        else if (!options.outputDir.empty() &&
                 !WriteDocument(document, job, options, setup, reporter, result))
            result.outcome = DocumentOutcome::Failed;
        return;
    }

    // What the document holds afterwards; an old block the engine did not take over counts too.
    result.entriesPerLevel = EntriesPerLevel(document.TextLines());
    for (const auto& [level, count] : result.entriesPerLevel)
        result.entries += count;
    result.outcome = DocumentOutcome::Processed;
    if (findRemarks)
        result.remarks = RemarksOf(document);
    // Asked while the dates are as loaded: a document that would be written as it is, dates aside,
    // is left alone with its backup.
    result.changed = document.SaveWouldChangeFile();
    if (options.keepDates || !result.changed)
        document.KeepDates();

    bool written = true;
    if (options.toStdout)
    {
        // Standard output gets exactly what a save would write, dates included.
        document.UpdateDates();
        result.output = document.FileBytes();
    }
    else
        written = WriteDocument(document, job, options, setup, reporter, result);
    if (!written)
    {
        result.outcome = DocumentOutcome::Failed;
        result.output.clear();
    }
}
} // namespace

DocumentResult ProcessOneDocument(const DocumentJob& job, const TocToolOptions& options,
                                  const TocToolSetup& setup, bool findRemarks)
{
    const auto start = std::chrono::steady_clock::now();
    DocumentResult result;
    DocumentReporter reporter(job.path, result.messages);
    std::error_code error;
    result.bytes = fs::file_size(job.path, error);
    if (error)
        result.bytes = 0;
    // Held while the document is worked on: a second run over the same folder skips it.
    std::optional<CFileLock> lock;
    if (!options.check && !options.toStdout)
    {
        lock.emplace(job.path);
        if (lock->HeldElsewhere())
        {
            reporter.Add("skipped: another run is processing the document");
            result.outcome = DocumentOutcome::Skipped;
            return result;
        }
    }
    try
    {
        CDocumentFile document(reporter);
        // A run that does not write the document never puts back, removes or moves a copy an
        // interrupted save left beside it: it says what it found.
        if (options.check || options.toStdout || !options.outputDir.empty())
            document.SetCopyRule(CopyRule::ReportOnly);
        else
            document.SetCopyRule(CopyRule::PutBack,
                                 [](const std::string& copy) { return CDesktopTrash().MoveToTrash(copy); });
        bool loaded = false;
        try
        {
            // The fingerprint of the loaded text serves only to decide on the entry date: not made
            // when the dates stay or nothing is written.
            if (options.keepDates || options.check)
                document.LoadKeepingDates(job.path);
            else
                document.Load(job.path);
            loaded = true;
        }
        catch (const DocumentFileError& loadError)
        {
            result.messages.push_back("tirvel-toc: " + FileErrorText(loadError.Error()));
        }
        if (loaded)
            ProcessLoaded(document, job, options, setup, findRemarks, reporter, result);
    }
    catch (const std::exception& failure)
    {
        // Out of memory on a huge document, say: nothing of it was written, the others go on.
        reporter.Add(ProcessingFailureReason(failure));
        result.outcome = DocumentOutcome::Failed;
        result.bytesAfterEnd = 0;
        result.changed = false;
        result.entries = 0;
        result.entriesPerLevel.clear();
        result.remarks.clear();
        result.output.clear();
    }
    result.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return result;
}
