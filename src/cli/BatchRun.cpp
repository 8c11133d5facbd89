#include "cli/BatchRun.h"

#include "cli/BatchReport.h"
#include "cli/CProgressLine.h"
#include "cli/DocumentReporter.h"
#include "cli/RunInOrder.h"
#include "cli/TocTool.h"
#include "core/base/FileIO.h"
#include "core/base/FileSystem.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <numeric>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
// The remarks are listed document by document with --check, -v and --remarks.
bool RemarksListed(const TocToolOptions& options)
{
    return options.check || options.verbose || options.remarks;
}

std::atomic<bool> g_stop{false};

// The first Ctrl-C lets the documents in hand finish and be written whole; a second one ends at once.
extern "C" void StopRequested(int signal)
{
    g_stop = true;
    std::signal(signal, SIG_DFL);
}

// Removes what writes killed in an earlier run left in the folders this run writes into: beside the
// documents (unless they are only read, under -o) and in the folders they go to. A temporary file
// still being written by another run is locked and stays.
void RemoveStaleTemporaryFiles(const std::vector<DocumentJob>& jobs, const TocToolOptions& options)
{
    std::set<std::string> folders;
    for (const DocumentJob& job : jobs)
    {
        if (options.outputDir.empty())
            folders.insert(FolderOf(job.path));
        if (!options.outputDir.empty() || !options.moveTo.empty())
            folders.insert(FolderOf(DestinationOf(job, options)));
    }
    for (const std::string& folder : folders)
        for (const std::string& removed : RemoveStaleTemporaries(folder))
            std::fprintf(stderr, "tirvel-toc: removed %s, left by an interrupted run\n",
                         PrintableText(removed).c_str());
}

// The size of each document's file (0 when it cannot be told).
std::vector<std::uintmax_t> FileSizes(const std::vector<DocumentJob>& jobs)
{
    std::vector<std::uintmax_t> sizes;
    sizes.reserve(jobs.size());
    for (const DocumentJob& job : jobs)
    {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(job.path, error);
        sizes.push_back(error ? 0 : size);
    }
    return sizes;
}

// The documents largest first: the threads share the large ones from the start and end together on
// small ones, rather than one thread finishing a large document started last while the others wait.
std::vector<std::size_t> LargestFirst(const std::vector<std::uintmax_t>& sizes)
{
    std::vector<std::size_t> order(sizes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&sizes](std::size_t a, std::size_t b) { return sizes[a] > sizes[b]; });
    return order;
}

// What a run tells as each document's result arrives, in the order the documents were named, and
// what it keeps for the summary and the report.
class CBatchOutput
{
public:
    CBatchOutput(const TocToolOptions& options, CProgressLine& progress)
        : m_options(options), m_progress(progress)
    {
    }

    void Deliver(const std::string& path, DocumentResult&& result)
    {
        if (m_options.toStdout && !result.output.empty() &&
            std::fwrite(result.output.data(), 1, result.output.size(), stdout) != result.output.size())
        {
            result.messages.push_back("tirvel-toc: " + path + ": cannot write to standard output");
            result.outcome = DocumentOutcome::Failed;
            m_outputFailed = true;
        }
        for (const std::string& message : result.messages)
            m_progress.Print(PrintableText(message));
        if (m_options.check && !m_options.remarks &&
            (result.outcome != DocumentOutcome::Processed || result.changed))
            ListCheckedDocument(path, result);
        if (RemarksListed(m_options))
            ListRemarks(path, result);
        m_totals.Add(result);
        m_progress.Advance(result.bytes);
        if (!m_options.reportFile.empty())
        {
            result.output.clear();
            m_reported.push_back({path, std::move(result)});
        }
    }

    // The end of the output: false when standard output could not take all of it.
    bool Finish()
    {
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            m_outputFailed = true;
        return !m_outputFailed;
    }

    const BatchTotals& Totals() const { return m_totals; }
    const std::vector<ReportedDocument>& Reported() const { return m_reported; }

private:
    void ListCheckedDocument(const std::string& path, const DocumentResult& result)
    {
        m_progress.Clear();
        const std::string line =
            PrintableText(path) + ": " +
            (result.outcome == DocumentOutcome::Processed ? std::string("would change")
                                                          : std::string(StatusName(result.outcome)));
        std::fprintf(stdout, "%s\n", line.c_str());
        // With -v each file operation the document's writing would make follows, indented.
        if (m_options.verbose)
            for (const std::string& operation : result.plan)
                std::fprintf(stdout, "  %s\n", PrintableText(operation).c_str());
        std::fflush(stdout);
    }

    // Beside the documents on standard output the remarks go to standard error.
    void ListRemarks(const std::string& path, const DocumentResult& result)
    {
        const std::string remarks = RemarkLines(path, result);
        if (remarks.empty())
            return;
        m_progress.Clear();
        std::FILE* const stream = m_options.toStdout ? stderr : stdout;
        std::fputs(remarks.c_str(), stream);
        std::fflush(stream);
    }

    const TocToolOptions& m_options;
    CProgressLine& m_progress;
    BatchTotals m_totals;
    std::vector<ReportedDocument> m_reported;
    bool m_outputFailed = false;
};
} // namespace

int RunBatch(const TocToolOptions& options, const std::string& exeDir)
{
    const auto setup = LoadToolSetup(options, exeDir, std::cerr);
    if (!setup)
        return 1;

    const std::vector<DocumentJob> jobs = ExpandDocumentPaths(options.paths, options.recursive);
    const std::map<std::size_t, std::string> clashes = FindRunClashes(jobs, options, *setup);
    if (!options.check && !options.toStdout)
        RemoveStaleTemporaryFiles(jobs, options);

    std::signal(SIGINT, StopRequested);
    std::signal(SIGTERM, StopRequested);
    const bool onTerminal = ::isatty(STDERR_FILENO) == 1;
    const bool summaryShown = !options.quiet && (onTerminal || options.summary);
    const bool findRemarks = RemarksListed(options) || !options.reportFile.empty() || summaryShown;
    const std::vector<std::uintmax_t> sizes = FileSizes(jobs);
    CProgressLine progress(onTerminal && !options.quiet, jobs.size(),
                           std::accumulate(sizes.begin(), sizes.end(), std::uintmax_t{0}));
    CBatchOutput output(options, progress);

    auto work = [&](std::size_t index)
    {
        if (const auto clash = clashes.find(index); clash != clashes.end())
        {
            DocumentResult result;
            result.messages.push_back(clash->second);
            return result;
        }
        return ProcessOneDocument(jobs[index], options, *setup, findRemarks);
    };
    auto deliver = [&](std::size_t index, DocumentResult&& result)
    { output.Deliver(jobs[index].path, std::move(result)); };
    // Documents bound for standard output wait in memory for their turn: only a few may run ahead.
    const std::size_t ahead = options.toStdout ? 2 * std::size_t{options.jobs} : jobs.size();
    const std::vector<std::size_t> order = options.jobs > 1 ? LargestFirst(sizes) : std::vector<std::size_t>{};
    RunInOrder(
        jobs.size(), options.jobs, ahead, work, deliver, [&] { progress.Refresh(); }, g_stop, order);
    progress.Clear();
    const double seconds = progress.Seconds();

    const bool outputWritten = output.Finish();
    const BatchTotals& totals = output.Totals();
    if (summaryShown)
        std::fprintf(stderr, "%s\n",
                     FormatSummary(totals, jobs.size(), options.check, seconds, options.extended).c_str());
    bool reportFailed = false;
    if (!options.reportFile.empty() &&
        !WriteFileAtomically(options.reportFile, JsonReport(output.Reported(), totals, jobs.size(),
                                                            options.check, seconds, options.extended)))
    {
        std::fprintf(stderr, "tirvel-toc: %s: cannot write the report\n", options.reportFile.c_str());
        reportFailed = true;
    }
    const bool interrupted = totals.documents < jobs.size();
    return totals.failed > 0 || totals.skipped > 0 || !outputWritten || reportFailed || interrupted ? 1 : 0;
}
