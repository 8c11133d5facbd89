#include "cli/DocumentJobs.h"

#include "core/base/FileState.h"
#include "core/base/FileSystem.h"
#include "core/document/CDocumentFile.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

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
        const std::optional<FileState> state =
            IsRegularFile(job.path) ? CurrentFileState(job.path) : std::nullopt;
        if (state && !seen.insert({state->device, state->inode}).second)
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
