#include "core/workflow/SavePlan.h"

#include "core/base/CByteFingerprint.h"
#include "core/base/FileIO.h"
#include "core/base/FileState.h"
#include "core/base/FileSystem.h"
#include "core/workflow/ITrash.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
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

FileOperation Refuse(Refusal why, std::string path = {}, int errorNumber = 0)
{
    FileOperation refused;
    refused.kind = FileOperationKind::Refuse;
    refused.path = std::move(path);
    refused.refusal = why;
    refused.errorNumber = errorNumber;
    return refused;
}

FileOperation Operation(FileOperationKind kind, std::string path, std::string target = {})
{
    FileOperation operation;
    operation.kind = kind;
    operation.path = std::move(path);
    operation.target = std::move(target);
    return operation;
}

// Builds the operations of one plan; the first refusal ends it.
class CPlanner
{
public:
    CPlanner(const CDocumentFile& document, const SaveRequest& request, const SavePolicy& policy)
        : m_document(document), m_request(request), m_policy(policy)
    {
    }

    std::vector<FileOperation> InPlace()
    {
        const std::string& source = m_request.source;
        if (!m_request.changed)
            return {Operation(FileOperationKind::NothingToDo, source)};
        if (IsReadOnlyFile(source))
            return {Refuse(Refusal::ReadOnly, source)};
        FileOperation save =
            Operation(FileOperationKind::SaveInPlace, source, CDocumentFile::BackupPathFor(source));
        save.backup = m_request.backup;
        if (m_request.keepExistingBackup && PathExists(save.target))
            save.backup = BackupRule::None;
        return {save};
    }

    // -o: the source stays; a rerun finds what the run before it wrote.
    std::vector<FileOperation> IntoOutputFolder()
    {
        const std::string& target = m_request.target;
        if (IsSameFile(m_request.source, target))
            return {Refuse(Refusal::IsTheDocument, target)};
        if (PathExists(target))
        {
            if (!IsRegularFile(target))
                return {Refuse(Refusal::NotARegularFile, target)};
            if (HoldsDocument(target, m_document))
                return {Operation(FileOperationKind::NothingToDo, target)};
            if (!ClearPlace(target))
                return m_operations;
        }
        AddFolderOf(target);
        Add(FileOperationKind::SaveAsNewFile, target);
        return m_operations;
    }

    std::vector<FileOperation> IntoProcessedFolder()
    {
        const std::string& source = m_request.source;
        const std::string& target = m_request.target;
        if (!m_request.changed && !m_policy.moveUnchanged)
            return {Operation(FileOperationKind::NothingToDo, source)};
        if (target.empty())
            return {Refuse(Refusal::NoProcessedFolder)};
        if (IsSameFile(source, target))
            return {Refuse(Refusal::AlreadyInFolder, target)};
        // Moving a link would leave it dangling in the folder, and the document where it was.
        if (IsSymbolicLink(source))
            return {Refuse(Refusal::SymbolicLink, source)};
        if (IsReadOnlyFile(source))
            return {Refuse(Refusal::ReadOnly, source)};
        if (!CurrentFileState(source))
            return {Refuse(Refusal::CannotReadAttributes, source, errno)};
        // Its edit would be left behind at the source, and the backup would not be the file as read.
        if (!m_document.IsUnchangedOnDisk(source))
            return {Refuse(Refusal::ChangedOnDisk, source)};
        return m_request.changed ? WrittenIntoFolder() : MovedAsItIs();
    }

private:
    // Nothing to write: the document moves as it is, and needs no backup.
    std::vector<FileOperation> MovedAsItIs()
    {
        const std::string& source = m_request.source;
        const std::string& target = m_request.target;
        const bool targetExists = PathExists(target);
        // A run stopped after the move's copy across file systems: only the source is left to go.
        if (targetExists && SameFileContent(target, source))
        {
            Add(FileOperationKind::RemoveSource, source, target);
            return m_operations;
        }
        if (targetExists && !ClearPlace(target))
            return m_operations;
        AddFolderOf(target);
        Add(FileOperationKind::MoveAsItIs, source, target);
        return m_operations;
    }

    // The backup and the document are written into the folder, then the source goes. A run that
    // was stopped on the way is recognised by what it left: the source's bytes already in the
    // backup there (when backups are made) and this very document, dates aside, at the target.
    std::vector<FileOperation> WrittenIntoFolder()
    {
        const std::string& source = m_request.source;
        const std::string& target = m_request.target;
        const bool backupWanted = m_request.backup != BackupRule::None;
        const std::string backup = CDocumentFile::BackupPathFor(target);
        const bool sourceInBackup = backupWanted && IsRegularFile(backup) && SameFileContent(backup, source);
        const bool targetExists = PathExists(target);
        if (targetExists && (sourceInBackup || !backupWanted) && HoldsDocument(target, m_document))
        {
            Add(FileOperationKind::KeepOwnerAndMode, target, source);
            Add(FileOperationKind::RemoveSource, source, target);
            return m_operations;
        }
        if (targetExists && !ClearPlace(target))
            return m_operations;
        if (backupWanted && !sourceInBackup && PathExists(backup) && !ClearPlace(backup))
            return m_operations;
        AddFolderOf(target);
        if (backupWanted && !sourceInBackup)
            Add(FileOperationKind::CopyToBackup, source, backup);
        Add(FileOperationKind::SaveAsNewFile, target);
        Add(FileOperationKind::KeepOwnerAndMode, target, source);
        Add(FileOperationKind::RemoveSource, source, target);
        return m_operations;
    }

    // A file at path that is not this document's: to the trash when the policy allows, else the
    // plan is refused. False when the document must not go there.
    bool ClearPlace(const std::string& path)
    {
        if (!m_policy.trashWhatIsInTheWay)
        {
            m_operations = {Refuse(Refusal::InTheWay, path)};
            return false;
        }
        Add(FileOperationKind::TrashInTheWay, path);
        return true;
    }

    void AddFolderOf(const std::string& file)
    {
        const fs::path folder = fs::path(file).parent_path();
        std::error_code error;
        if (m_policy.createFolders && !folder.empty() && !fs::is_directory(folder, error))
            Add(FileOperationKind::CreateFolder, folder.string());
    }

    void Add(FileOperationKind kind, const std::string& path, const std::string& target = {})
    {
        m_operations.push_back(Operation(kind, path, target));
    }

    const CDocumentFile& m_document;
    const SaveRequest& m_request;
    const SavePolicy& m_policy;
    std::vector<FileOperation> m_operations;
};

bool Refused(const std::vector<FileOperation>& operations)
{
    return !operations.empty() && operations.front().kind == FileOperationKind::Refuse;
}

// 0 for a save that succeeded, else its error number with its words in reason.
int SaveError(const SaveResult& saved, std::string& reason)
{
    if (saved)
        return 0;
    reason = saved.error.reason;
    return saved.error.errorNumber != 0 ? saved.error.errorNumber : EIO;
}

// Runs one operation; 0 or the error it failed with, whose words (when they are the document's own)
// go to reason.
int Execute(const FileOperation& operation, CDocumentFile& document, ITrash& trash, std::string& reason)
{
    switch (operation.kind)
    {
    case FileOperationKind::Refuse:
    case FileOperationKind::NothingToDo:
        return 0;
    case FileOperationKind::TrashInTheWay:
        if (trash.MoveToTrash(operation.path))
            return 0;
        reason = "it cannot be moved to the trash";
        return EIO;
    case FileOperationKind::CreateFolder:
    {
        std::error_code error;
        fs::create_directories(operation.path, error);
        return error.value();
    }
    case FileOperationKind::CopyToBackup:
        return CopyFileToNewName(operation.path, operation.target) ? 0 : errno;
    case FileOperationKind::SaveInPlace:
        return SaveError(document.Save(operation.backup), reason);
    case FileOperationKind::SaveAsNewFile:
        return SaveError(document.SaveAsNewFile(operation.path), reason);
    case FileOperationKind::MoveAsItIs:
        if (!document.IsUnchangedOnDisk(operation.path))
            return ESTALE;
        if (const int error = MoveFileToNewName(operation.path, operation.target); error != 0)
            return error;
        document.FileMoved(operation.target);
        return 0;
    case FileOperationKind::KeepOwnerAndMode:
        CopyOwnerAndMode(operation.target, operation.path);
        return 0;
    case FileOperationKind::RemoveSource:
        return document.RemoveIfUnchangedOnDisk(operation.path);
    }
    return EINVAL;
}

FileAction ActionOf(FileOperationKind kind)
{
    switch (kind)
    {
    case FileOperationKind::TrashInTheWay:
        return FileAction::Trash;
    case FileOperationKind::CreateFolder:
        return FileAction::CreateFolder;
    case FileOperationKind::CopyToBackup:
        return FileAction::Backup;
    case FileOperationKind::MoveAsItIs:
        return FileAction::Move;
    case FileOperationKind::RemoveSource:
        return FileAction::Remove;
    case FileOperationKind::KeepOwnerAndMode:
        return FileAction::ReadAttributes;
    default:
        return FileAction::Save;
    }
}

// The file a failed operation names: the new name it could not take, or the file it worked on.
const std::string& FailedPath(const FileOperation& operation)
{
    const bool toNewName =
        operation.kind == FileOperationKind::CopyToBackup || operation.kind == FileOperationKind::MoveAsItIs;
    return toNewName ? operation.target : operation.path;
}
} // namespace

bool SavePlan::IsRefused() const
{
    return Refused(operations);
}

bool SavePlan::HasNothingToDo() const
{
    return operations.size() == 1 && operations.front().kind == FileOperationKind::NothingToDo;
}

SavePolicy EditorSavePolicy()
{
    SavePolicy policy;
    policy.trashWhatIsInTheWay = true;
    policy.saveInPlaceWhenMoveFails = true;
    return policy;
}

SavePlan PlanSave(const CDocumentFile& document, const SaveRequest& request, const SavePolicy& policy)
{
    SavePlan plan;
    switch (request.destination)
    {
    case SaveDestination::InPlace:
        plan.operations = CPlanner(document, request, policy).InPlace();
        return plan;
    case SaveDestination::OutputFolder:
        plan.operations = CPlanner(document, request, policy).IntoOutputFolder();
        return plan;
    case SaveDestination::ProcessedFolder:
        plan.operations = CPlanner(document, request, policy).IntoProcessedFolder();
        break;
    }
    if (policy.saveInPlaceWhenMoveFails && !plan.HasNothingToDo())
        plan.fallback = CPlanner(document, request, policy).InPlace();
    return plan;
}

SavePlanResult ExecuteSavePlan(const std::vector<FileOperation>& operations, CDocumentFile& document,
                               ITrash& trash, const std::function<void(const FileOperation&)>& done)
{
    SavePlanResult result;
    for (std::size_t i = 0; i < operations.size(); ++i)
    {
        const FileOperation& operation = operations[i];
        std::string reason;
        const int error = Execute(operation, document, trash, reason);
        if (error != 0)
        {
            result.done = false;
            result.failedAt = i;
            result.error = {ActionOf(operation.kind), FailedPath(operation), error, reason};
            break;
        }
        result.atDestination = result.atDestination || operation.kind == FileOperationKind::SaveAsNewFile ||
                               operation.kind == FileOperationKind::MoveAsItIs ||
                               operation.kind == FileOperationKind::RemoveSource;
        if (done)
            done(operation);
    }
    // A document moved into the folder lives in the file there from now on. It takes that file only
    // at the end: removing the source compares with the file as it was read.
    const auto removal = std::find_if(operations.begin(), operations.end(),
                                      [](const FileOperation& operation)
                                      { return operation.kind == FileOperationKind::RemoveSource; });
    if (removal != operations.end() && result.atDestination)
        document.AdoptNewFile(removal->target);
    return result;
}
