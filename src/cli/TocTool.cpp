#include "cli/TocTool.h"

#include "core/base/CodePage.h"
#include "core/base/FileIO.h"
#include "core/base/Reporter.h"
#include "core/document/CDocumentFile.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/ProcessedFolder.h"
#include "core/workflow/SettingsFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
// Where the editor keeps its settings when the folder of the programs is not writable: its
// application configuration folder, named after the editor's organisation and application names.
std::string EditorConfigDir()
{
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    else
        return {};
    return (base / kProfileOrganisation / kProfileApplication).string();
}

// Lines of a UTF-8 text file in memory form; LF or CR LF, no empty line from a final line end.
bool ReadUtf8Lines(const std::string& path, std::vector<std::string>& lines)
{
    std::string bytes;
    if (ReadWholeFile(path, kMaxSmallFileBytes, bytes).errorNumber != 0)
        return false;
    std::string_view text(bytes);
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    while (!text.empty())
    {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(Utf8ToCp1251(line));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return true;
}

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

bool CreateFolderOf(const std::string& file, DocumentReporter& reporter)
{
    const fs::path folder = fs::path(file).parent_path();
    std::error_code error;
    if (folder.empty() || fs::is_directory(folder, error))
        return true;
    fs::create_directories(folder, error);
    if (!error)
        return true;
    reporter.Add("cannot create the folder " + folder.string() + ": " + error.message());
    return false;
}

bool SaveInto(CDocumentFile& document, const std::string& destination, DocumentReporter& reporter)
{
    if (!CreateFolderOf(destination, reporter))
        return false;
    document.m_path = destination;
    return document.Save(false);
}

// As the editor moves a document into the folder for processed documents at its first save, but a
// refusal is an error of the document: it is then neither moved nor saved.
bool MoveInto(CDocumentFile& document, const std::string& destination, DocumentReporter& reporter)
{
    // A document that is its own destination already lies in that folder, so the folder exists.
    if (!CreateFolderOf(destination, reporter))
        return false;
    switch (MoveIntoProcessedFolder(document.m_path, destination))
    {
    case MoveIntoResult::AlreadyThere:
        reporter.Add("already in the folder for processed documents; not moved and not saved");
        return false;
    case MoveIntoResult::Failed:
        reporter.Add("cannot move the document to " + destination + "; not saved");
        return false;
    case MoveIntoResult::Moved:
        break;
    }
    document.m_path = destination;
    return true;
}

// Tells whether processing changed the text without keeping a copy of it: each line's library hash
// (which takes several bytes a step) folded in the FNV-1a way, in order, then the number of lines.
std::uint64_t Fingerprint(const std::vector<std::string>& lines)
{
    constexpr std::uint64_t prime = 1099511628211ull;
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::string& line : lines)
        hash = (hash ^ std::hash<std::string_view>{}(line)) * prime;
    return (hash ^ lines.size()) * prime;
}

std::map<int, std::size_t> EntriesPerLevel(const std::vector<std::string>& lines)
{
    std::map<int, std::size_t> levels;
    for (const TocEntryRef& entry : BuildEntryList(lines, CContentFilter()))
        ++levels[EntryLevel(entry.text)];
    return levels;
}

void ProcessLoaded(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                   const TocToolSetup& setup, DocumentReporter& reporter, DocumentResult& result)
{
    const std::string destination = DestinationOf(job, options);
    // Large documents are processed in place: a second copy of the text would double the memory.
    const std::uint64_t before = Fingerprint(document.m_textLines);
    const ProcessResult processed = ProcessDocumentInPlace(
        document.m_textLines, setup.words, setup.kinds, reporter, {}, RecognitionOptions{options.extended});
    if (processed.refused)
    {
        result.outcome = DocumentOutcome::Refused;
        // The document stays as it is; wherever output goes, the document goes there as loaded.
        document.KeepDates();
        if (options.check)
            return;
        if (options.toStdout)
            result.output = document.FileBytes();
        else if (!options.outputDir.empty() && !SaveInto(document, destination, reporter))
            result.outcome = DocumentOutcome::Failed;
        return;
    }

    result.changed = Fingerprint(document.m_textLines) != before;
    // What the document holds afterwards; an old block the engine did not take over counts too.
    result.entriesPerLevel = EntriesPerLevel(document.m_textLines);
    for (const auto& [level, count] : result.entriesPerLevel)
        result.entries += count;
    result.outcome = DocumentOutcome::Processed;
    if (options.check)
    {
        if (!options.moveTo.empty() && IsSameFile(job.path, destination))
        {
            reporter.Add("already in the folder for processed documents; would not be moved or saved");
            result.outcome = DocumentOutcome::Failed;
        }
        return;
    }

    if (options.keepDates)
        document.KeepDates();
    bool written = false;
    if (options.toStdout)
    {
        // Standard output gets exactly what a save would write, dates included.
        document.UpdateDates();
        result.output = document.FileBytes();
        written = true;
    }
    else if (!options.outputDir.empty())
        written = SaveInto(document, destination, reporter);
    else if (!options.moveTo.empty())
        written = MoveInto(document, destination, reporter) && document.Save(setup.makeBackup);
    else
        written = document.Save(setup.makeBackup);
    if (!written)
    {
        result.outcome = DocumentOutcome::Failed;
        result.output.clear();
    }
}
} // namespace

std::optional<TocToolSetup> LoadToolSetup(const TocToolOptions& options, const std::string& exeDir,
                                          std::ostream& err)
{
    TocToolSetup setup;
    WorkflowSettings settings;
    if (!options.settingsFile.empty())
    {
        std::string bytes;
        if (ReadWholeFile(options.settingsFile, kMaxSmallFileBytes, bytes).errorNumber != 0)
        {
            err << "tirvel-toc: " << options.settingsFile << ": cannot read the settings file\n";
            return std::nullopt;
        }
        if (ReadSettingsBytes(bytes, settings, setup.words, setup.kinds) != SettingsReadResult::Complete)
        {
            err << "tirvel-toc: " << options.settingsFile << ": the settings file is damaged\n";
            return std::nullopt;
        }
    }
    else if (!options.noSettings)
    {
        // The editor's settings when there are any; a damaged file is used as far as the editor
        // itself would use it.
        ReadSettingsFile(SettingsReadPaths(exeDir, EditorConfigDir()), settings, setup.words, setup.kinds);
    }
    setup.makeBackup = settings.m_makeBak != 0 && !options.noBackup;

    if (!options.kindsFile.empty())
    {
        std::vector<std::string> kinds;
        if (!ReadUtf8Lines(options.kindsFile, kinds))
        {
            err << "tirvel-toc: " << options.kindsFile << ": cannot read the kinds file\n";
            return std::nullopt;
        }
        // As the editor imports kinds: every line not yet in the list, as it stands.
        for (std::string& kind : kinds)
            if (std::find(setup.kinds.m_kinds.begin(), setup.kinds.m_kinds.end(), kind) ==
                setup.kinds.m_kinds.end())
                setup.kinds.m_kinds.push_back(std::move(kind));
    }
    if (!options.wordsFile.empty())
    {
        std::vector<std::string> words;
        if (!ReadUtf8Lines(options.wordsFile, words))
        {
            err << "tirvel-toc: " << options.wordsFile << ": cannot read the words file\n";
            return std::nullopt;
        }
        std::vector<CUpperCaseWordsRec>& userWords = setup.words.m_userWords;
        for (std::string& word : words)
        {
            if (word.empty() ||
                std::any_of(userWords.begin(), userWords.end(),
                            [&word](const CUpperCaseWordsRec& entry) { return entry.m_word == word; }))
                continue;
            userWords.emplace_back(std::move(word));
        }
    }
    return setup;
}

namespace
{
// The *.rla files of a folder, and with recursive of its subfolders; an unreadable folder is added as
// it stands.
void ListFolder(const fs::path& folder, const fs::path& top, bool recursive, std::vector<DocumentJob>& jobs)
{
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
    {
        jobs.push_back({folder.string(), folder.lexically_relative(top).string()});
        return;
    }
    for (; entries != fs::directory_iterator(); entries.increment(error))
    {
        const fs::directory_entry& entry = *entries;
        if (entry.is_directory(error))
        {
            if (recursive && !entry.is_symlink(error))
                ListFolder(entry.path(), top, recursive, jobs);
        }
        else if (entry.path().extension() == ".rla")
            jobs.push_back({entry.path().string(), entry.path().lexically_relative(top).string()});
    }
    if (error)
        jobs.push_back({folder.string(), folder.lexically_relative(top).string()});
}
} // namespace

std::vector<DocumentJob> ExpandDocumentPaths(const std::vector<std::string>& paths, bool recursive)
{
    std::vector<DocumentJob> documents;
    for (const std::string& path : paths)
    {
        std::error_code error;
        if (!fs::is_directory(path, error))
        {
            documents.push_back({path, fs::path(path).filename().string()});
            continue;
        }
        std::vector<DocumentJob> inFolder;
        ListFolder(path, path, recursive, inFolder);
        std::sort(inFolder.begin(), inFolder.end(),
                  [](const DocumentJob& a, const DocumentJob& b) { return a.path < b.path; });
        documents.insert(documents.end(), inFolder.begin(), inFolder.end());
    }

    // The same file twice would be processed twice, at the same time when in parallel.
    std::set<std::pair<dev_t, ino_t>> seen;
    std::vector<DocumentJob> unique;
    for (DocumentJob& job : documents)
    {
        struct stat status;
        if (::stat(job.path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            !seen.insert({status.st_dev, status.st_ino}).second)
            continue;
        unique.push_back(std::move(job));
    }
    return unique;
}

std::string DestinationOf(const DocumentJob& job, const TocToolOptions& options)
{
    const std::string& folder = !options.outputDir.empty() ? options.outputDir : options.moveTo;
    if (folder.empty())
        return {};
    return (fs::path(folder) / job.relativeName).string();
}

DocumentResult ProcessOneDocument(const DocumentJob& job, const TocToolOptions& options,
                                  const TocToolSetup& setup)
{
    const auto start = std::chrono::steady_clock::now();
    DocumentResult result;
    DocumentReporter reporter(job.path, result.messages);
    std::error_code error;
    result.bytes = fs::file_size(job.path, error);
    if (error)
        result.bytes = 0;
    try
    {
        CDocumentFile document(reporter);
        bool loaded = false;
        try
        {
            // The loaded-text copy serves only to decide on the entry date: not made when the dates
            // stay or nothing is written.
            if (options.keepDates || options.check)
                document.LoadKeepingDates(job.path);
            else
                document.Load(job.path);
            loaded = true;
        }
        catch (const DocumentFileError& loadError)
        {
            result.messages.push_back(std::string("tirvel-toc: ") + loadError.what());
        }
        if (loaded)
            ProcessLoaded(document, job, options, setup, reporter, result);
    }
    catch (const std::exception& failure)
    {
        // Out of memory on a huge document, say: nothing of it was written, the others go on.
        reporter.Add(std::string("cannot process the document: ") + failure.what());
        result.outcome = DocumentOutcome::Failed;
        result.changed = false;
        result.entries = 0;
        result.entriesPerLevel.clear();
        result.output.clear();
    }
    result.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return result;
}
