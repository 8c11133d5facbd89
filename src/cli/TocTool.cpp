#include "cli/TocTool.h"

#include "core/base/CByteFingerprint.h"
#include "core/base/CFileLock.h"
#include "core/base/CodePage.h"
#include "core/base/FileIO.h"
#include "core/base/FileSystem.h"
#include "core/base/Reporter.h"
#include "core/document/CDocumentFile.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/CDesktopTrash.h"
#include "core/workflow/ProcessedFolder.h"
#include "core/workflow/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// Save, with the reason of a failure told beside the operator's message.
bool SaveDocument(CDocumentFile& document, BackupRule backup, DocumentReporter& reporter)
{
    if (document.Save(backup))
        return true;
    reporter.Add(document.LastSaveFailure().text);
    return false;
}

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

std::string SystemError(int errorNumber)
{
    return std::strerror(errorNumber);
}

// Whether the files at a and b hold the same bytes; false when either cannot be read.
bool SameContent(const std::string& a, const std::string& b)
{
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second)
        return false;
    std::vector<char> bufferA(1 << 16);
    std::vector<char> bufferB(1 << 16);
    while (true)
    {
        first.read(bufferA.data(), static_cast<std::streamsize>(bufferA.size()));
        second.read(bufferB.data(), static_cast<std::streamsize>(bufferB.size()));
        const std::streamsize readA = first.gcount();
        if (readA != second.gcount() ||
            !std::equal(bufferA.begin(), bufferA.begin() + readA, bufferB.begin()))
            return false;
        if (readA == 0 || first.eof() || second.eof())
            return first.eof() == second.eof() && !first.bad() && !second.bad();
    }
}

// A fingerprint of a document file's bytes without the values of its $100 and $101 date fields, fed
// in pieces: two files that differ in those dates alone hold the same document.
class DatelessFingerprint
{
public:
    void Add(std::string_view bytes)
    {
        while (!bytes.empty())
        {
            if (!m_inHeader)
            {
                m_fingerprint.Add(bytes);
                return;
            }
            // Header lines are short: each is gathered whole before it is judged.
            const std::size_t end = bytes.find('\n');
            const std::size_t taken = end == std::string_view::npos ? bytes.size() : end + 1;
            m_line.append(bytes.substr(0, taken));
            bytes.remove_prefix(taken);
            if (end != std::string_view::npos)
                EndLine();
        }
    }
    CByteFingerprint::Value Finish()
    {
        if (m_inHeader && !m_line.empty())
            EndLine();
        return m_fingerprint.Finish();
    }

private:
    void EndLine()
    {
        if (!m_skipValue)
            m_fingerprint.Add(m_line);
        m_skipValue = !m_skipValue && (m_line.starts_with("$100 ") || m_line.starts_with("$101 "));
        m_inHeader = !m_line.starts_with("$18 ");
        m_line.clear();
    }

    CByteFingerprint m_fingerprint;
    std::string m_line;
    bool m_inHeader = true;
    bool m_skipValue = false;
};

// Whether the file at path holds the document as it would be written now, its dates aside. Both are
// read in pieces: neither a large file nor the document's bytes are held a second time.
bool HoldsDocument(const std::string& path, const CDocumentFile& document)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    DatelessFingerprint held;
    std::vector<char> buffer(1 << 16);
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || file.gcount() > 0)
        held.Add(std::string_view(buffer.data(), static_cast<std::size_t>(file.gcount())));
    if (file.bad())
        return false;
    DatelessFingerprint written;
    document.ForEachFileChunk([&written](std::string_view chunk) { written.Add(chunk); });
    return held.Finish() == written.Finish();
}

bool IsRegularFile(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

// Whether this process may not change the document: no write permission for it, or none at all
// (which root could override, but a file made read-only says it is not to be changed).
bool IsReadOnly(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    return (status.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

// Where a document goes in a folder, and what to do about a file already there.
class FolderPlace
{
public:
    FolderPlace(const TocToolOptions& options, DocumentReporter& reporter)
        : m_options(options), m_reporter(reporter)
    {
    }

    // A file at path that is not this document's: refused, unless --replace sends it to the trash.
    // False when the document must not go there.
    bool Clear(const std::string& path)
    {
        if (!Exists(path))
            return true;
        if (!m_options.replace)
        {
            m_reporter.Add("refused: " + path +
                           " already holds a different file (--replace moves it to the trash)");
            return false;
        }
        if (m_options.check)
        {
            m_reporter.Add("would move " + path + " to the trash");
            return true;
        }
        CDesktopTrash trash;
        if (!trash.MoveToTrash(path))
        {
            m_reporter.Add("refused: " + path +
                           " already holds a different file, and it cannot be moved to the trash");
            return false;
        }
        m_reporter.Add("replaced " + path + "; the previous file is in the trash as " + trash.TrashedAs());
        return true;
    }

private:
    const TocToolOptions& m_options;
    DocumentReporter& m_reporter;
};

// -o: the document written under the output folder; the source stays as it is.
bool WriteIntoOutputFolder(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                           DocumentReporter& reporter, DocumentResult& result)
{
    const std::string destination = DestinationOf(job, options);
    if (IsSameFile(job.path, destination))
    {
        reporter.Add("refused: the output " + destination + " is the document itself");
        return false;
    }
    if (Exists(destination))
    {
        if (!IsRegularFile(destination))
        {
            reporter.Add("refused: " + destination + " is no regular file");
            return false;
        }
        // A rerun finds what the run before it wrote: nothing to do.
        if (HoldsDocument(destination, document))
        {
            result.changed = false;
            return true;
        }
        if (!FolderPlace(options, reporter).Clear(destination))
            return false;
    }
    if (options.check)
        return true;
    if (!CreateFolderOf(destination, reporter))
        return false;
    document.m_path = destination;
    return SaveDocument(document, BackupRule::None, reporter);
}

// Gives the new file at path the owner and group of the document it stands for, as far as this
// process may (only root gives a file away, only a member gives it a group), then its permission
// bits, which a change of owner would clear in part.
void KeepAttributes(const std::string& path, const struct stat& of)
{
    [[maybe_unused]] const bool owned = ::chown(path.c_str(), of.st_uid, of.st_gid) == 0 ||
                                        ::chown(path.c_str(), static_cast<uid_t>(-1), of.st_gid) == 0;
    ::chmod(path.c_str(), of.st_mode & 07777);
}

// Removes the source once its document is complete in the folder.
bool RemoveSource(const std::string& source, const std::string& destination, DocumentReporter& reporter)
{
    if (::unlink(source.c_str()) == 0)
    {
        SyncFolder(FolderOf(source));
        return true;
    }
    reporter.Add("complete in " + destination +
                 ", but the document cannot be removed: " + SystemError(errno));
    return false;
}

// --move-to: the processed document and its backup are written into the folder first and the source
// is removed last, so at every moment the document is whole at its source or complete in the folder.
// A run that finds the source's bytes already in the backup there (or, without backups, the
// document already written there) finishes what an interrupted run began.
bool MoveIntoFolder(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                    const TocToolSetup& setup, DocumentReporter& reporter, DocumentResult& result)
{
    const std::string& source = job.path;
    const std::string destination = DestinationOf(job, options);
    if (IsSameFile(source, destination))
    {
        reporter.Add("already in the folder for processed documents; not moved and not saved");
        return false;
    }
    if (IsReadOnly(source))
    {
        reporter.Add("refused: the document is read-only; not moved and not saved");
        return false;
    }
    struct stat sourceStatus;
    if (::stat(source.c_str(), &sourceStatus) != 0)
    {
        reporter.Add("cannot read the document's attributes: " + SystemError(errno));
        return false;
    }
    const std::string backup = CDocumentFile::BackupPathFor(destination);
    const bool destinationExists = Exists(destination);

    if (!result.changed)
    {
        // Nothing to write: the document moves as it is, and needs no backup.
        if (destinationExists && SameContent(destination, source))
            return options.check || RemoveSource(source, destination, reporter);
        if (destinationExists && !FolderPlace(options, reporter).Clear(destination))
            return false;
        if (options.check || !CreateFolderOf(destination, reporter))
            return options.check;
        if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0)
        {
            SyncFolder(FolderOf(destination));
            SyncFolder(FolderOf(source));
            return true;
        }
        const int error = errno;
        if (error == EXDEV && CopyFileReplacing(source, destination))
            return RemoveSource(source, destination, reporter);
        reporter.Add("cannot move the document to " + destination + ": " + SystemError(error));
        return false;
    }

    const bool sourceInBackup = IsRegularFile(backup) && SameContent(backup, source);
    if (sourceInBackup && destinationExists)
    {
        if (options.check)
            return true;
        KeepAttributes(destination, sourceStatus);
        return RemoveSource(source, destination, reporter);
    }
    if (!sourceInBackup)
    {
        if (destinationExists && !setup.makeBackup && HoldsDocument(destination, document))
            return options.check || RemoveSource(source, destination, reporter);
        FolderPlace place(options, reporter);
        if (destinationExists && !place.Clear(destination))
            return false;
        if (setup.makeBackup && Exists(backup) && !place.Clear(backup))
            return false;
    }
    if (options.check)
        return true;
    if (!CreateFolderOf(destination, reporter))
        return false;
    if (setup.makeBackup && !sourceInBackup && !CopyFileReplacing(source, backup))
    {
        reporter.Add("cannot make the backup " + backup + " (" + SystemError(errno) +
                     "); not moved and not saved");
        return false;
    }
    document.m_path = destination;
    if (!SaveDocument(document, BackupRule::None, reporter))
        return false;
    KeepAttributes(destination, sourceStatus);
    return RemoveSource(source, destination, reporter);
}

// In place: the document replaced by its processed form after its backup is made.
bool SaveInPlace(CDocumentFile& document, const TocToolOptions& options, const TocToolSetup& setup,
                 DocumentReporter& reporter)
{
    if (IsReadOnly(document.m_path))
    {
        reporter.Add("refused: the document is read-only; not saved");
        return false;
    }
    if (options.check)
        return true;
    return SaveDocument(document, setup.makeBackup ? BackupRule::Required : BackupRule::None, reporter);
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
    result.bytesAfterEnd = document.ContentAfterEndBytes();
    if (result.bytesAfterEnd > 0)
        reporter.Add(
            "warning: " + std::to_string(result.bytesAfterEnd) +
            " bytes after the end-of-file mark (0x1A) are no part of the document; a save leaves them "
            "out (the backup keeps them)");

    // Large documents are processed in place: a second copy of the text would double the memory.
    const ProcessResult processed = ProcessDocumentInPlace(
        document.m_textLines, setup.words, setup.kinds, reporter, {}, RecognitionOptions{options.extended});
    if (processed.refused)
    {
        result.outcome = DocumentOutcome::Refused;
        // The document stays as it is; wherever output goes, the document goes there as loaded.
        document.KeepDates();
        if (options.toStdout)
            result.output = document.FileBytes();
        else if (!options.outputDir.empty() &&
                 !WriteIntoOutputFolder(document, job, options, reporter, result))
            result.outcome = DocumentOutcome::Failed;
        return;
    }

    // What the document holds afterwards; an old block the engine did not take over counts too.
    result.entriesPerLevel = EntriesPerLevel(document.m_textLines);
    for (const auto& [level, count] : result.entriesPerLevel)
        result.entries += count;
    result.outcome = DocumentOutcome::Processed;
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
    else if (!options.outputDir.empty())
        written = WriteIntoOutputFolder(document, job, options, reporter, result);
    else if (!options.moveTo.empty())
        written = MoveIntoFolder(document, job, options, setup, reporter, result);
    else if (result.changed)
        written = SaveInPlace(document, options, setup, reporter);
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

namespace
{
std::string FileKey(const std::string& path)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    return error ? fs::absolute(path, error).lexically_normal().string() : canonical.string();
}

// The file whose backup a document's save makes: the document itself, or its place in the move-to
// folder; empty when no backup is made.
std::string BackedUpFile(const DocumentJob& job, const TocToolOptions& options, const TocToolSetup& setup)
{
    if (!setup.makeBackup || options.toStdout || !options.outputDir.empty())
        return {};
    return options.moveTo.empty() ? job.path : DestinationOf(job, options);
}

// The files of each folder asked about by the backups their saves would make, listed once per
// folder.
class BackupsInFolders
{
public:
    // Another file beside file whose backup would be the same; empty when there is none. A backup's
    // name depends on the file's name alone, so names are compared.
    std::string OtherWithBackup(const std::string& file, const std::string& backup)
    {
        const std::string folder = FolderOf(file);
        auto listed = m_folders.find(folder);
        if (listed == m_folders.end())
            listed = m_folders.emplace(folder, List(folder)).first;
        const auto [first, last] = listed->second.equal_range(NameOf(backup));
        for (auto it = first; it != last; ++it)
            if (it->second != NameOf(file) && it->second != NameOf(backup))
                return folder + "/" + it->second;
        return {};
    }

private:
    static std::multimap<std::string, std::string> List(const std::string& folder)
    {
        std::multimap<std::string, std::string> byBackup;
        std::error_code error;
        for (fs::directory_iterator entries(folder, error); !error && entries != fs::directory_iterator();
             entries.increment(error))
        {
            const std::string name = entries->path().filename().string();
            if (entries->is_regular_file(error))
                byBackup.emplace(CDocumentFile::BackupPathFor(name), name);
        }
        return byBackup;
    }

    std::map<std::string, std::multimap<std::string, std::string>> m_folders;
};
} // namespace

std::map<std::size_t, std::string> FindRunClashes(const std::vector<DocumentJob>& jobs,
                                                  const TocToolOptions& options, const TocToolSetup& setup)
{
    std::map<std::size_t, std::string> clashes;
    const auto refuse = [&](std::size_t i, const std::string& why)
    { clashes.emplace(i, "tirvel-toc: " + jobs[i].path + ": refused: " + why); };

    std::map<std::string, std::size_t> sources;
    for (std::size_t i = 0; i < jobs.size(); ++i)
        sources.emplace(FileKey(jobs[i].path), i);
    if (!options.outputDir.empty() || !options.moveTo.empty())
    {
        std::map<std::string, std::size_t> destinations;
        for (std::size_t i = 0; i < jobs.size(); ++i)
        {
            const std::string destination = DestinationOf(jobs[i], options);
            const std::string key = FileKey(destination);
            const auto source = sources.find(key);
            const auto [taken, added] = destinations.emplace(key, i);
            if (source != sources.end() && source->second != i)
                refuse(i, destination + " is the document " + jobs[source->second].path + " of this run");
            else if (!added)
                refuse(i, destination + " is also where " + jobs[taken->second].path + " goes");
        }
    }

    std::map<std::string, std::size_t> backups;
    BackupsInFolders beside;
    for (std::size_t i = 0; i < jobs.size(); ++i)
    {
        const std::string file = BackedUpFile(jobs[i], options, setup);
        if (file.empty())
            continue;
        const std::string backup = CDocumentFile::BackupPathFor(file);
        const std::string key = FileKey(backup);
        const auto [first, added] = backups.emplace(key, i);
        if (const auto source = sources.find(key); source != sources.end())
            refuse(i, "its backup " + backup + " would replace the document " + jobs[source->second].path);
        else if (!added)
        {
            refuse(first->second, "its backup " + backup + " would also be the backup of " + jobs[i].path);
            refuse(i, "its backup " + backup + " would also be the backup of " + jobs[first->second].path);
        }
        else if (const std::string sibling = beside.OtherWithBackup(file, backup); !sibling.empty())
            refuse(i, "its backup " + backup + " would also be the backup of " + sibling);
    }
    return clashes;
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
        result.bytesAfterEnd = 0;
        result.changed = false;
        result.entries = 0;
        result.entriesPerLevel.clear();
        result.output.clear();
    }
    result.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return result;
}
