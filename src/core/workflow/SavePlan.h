#pragma once
// Where a processed document goes and what that does to the files on disk, decided in one place for
// the editor's save and the batch tool: PlanSave looks at the disk and lists the file operations,
// ExecuteSavePlan carries them out through the file functions of the base. Neither caller decides
// on its own whether to back up, move, replace or refuse; they only word what happened.
//
// Into a folder the document is written first and its source removed last: at every moment the
// document is whole at its source or complete in the folder, names that must be free are taken only
// if free, and a source another program changed meanwhile stays where it is.

#include "core/base/FileError.h"
#include "core/document/CDocumentFile.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class ITrash;

enum class SaveDestination
{
    // The document's own file.
    InPlace,
    // A file in another folder; the source stays.
    OutputFolder,
    // The folder for processed documents: the document goes there and leaves its source.
    ProcessedFolder,
};

// Why a document is not written (or not moved).
enum class Refusal
{
    None,
    NoProcessedFolder,
    // The destination is the document's own file: it already lies in the processed folder.
    AlreadyInFolder,
    // The output file is the document itself.
    IsTheDocument,
    NotARegularFile,
    // Another file has the document's place (or its backup's) and is not to be replaced.
    InTheWay,
    SymbolicLink,
    ReadOnly,
    CannotReadAttributes,
    // Another program wrote or replaced the source since it was read.
    ChangedOnDisk,
};

enum class FileOperationKind
{
    // Nothing is written or moved; refusal says why.
    Refuse,
    // path already holds the document as it would be written.
    NothingToDo,
    // path has the place the document (or its backup) needs; it goes to the trash.
    TrashInTheWay,
    // path is the folder the document goes into, made with the folders above it.
    CreateFolder,
    // The source at path is copied to the backup target beside the destination, a name that must
    // be free.
    CopyToBackup,
    // The document replaces its file at path; the backup rule says whether the save first copies
    // that file to target.
    SaveInPlace,
    // The document is written as a new file at path, a name that must be free.
    SaveAsNewFile,
    // The unchanged document's file at path moves to target, a name that must be free.
    MoveAsItIs,
    // The file at path takes the owner and mode of the source at target.
    KeepOwnerAndMode,
    // The source at path goes, once the document is complete in the folder, unless another
    // program changed it since it was read.
    RemoveSource,
};

struct FileOperation
{
    FileOperationKind kind = FileOperationKind::NothingToDo;
    std::string path;
    std::string target;
    BackupRule backup = BackupRule::None;
    Refusal refusal = Refusal::None;
    // With CannotReadAttributes: the system's error.
    int errorNumber = 0;

    bool operator==(const FileOperation&) const = default;
};

struct SavePlan
{
    std::vector<FileOperation> operations;
    // What is done instead when the plan into the processed folder is refused or fails before the
    // document is written there: the save in place. Empty when nothing is.
    std::vector<FileOperation> fallback;

    bool IsRefused() const;
    bool HasNothingToDo() const;
};

// What the document is and where it goes.
struct SaveRequest
{
    SaveDestination destination = SaveDestination::InPlace;
    // The file the document was loaded from (or last saved to).
    std::string source;
    // In a folder: the file the document becomes; empty when no processed folder is set.
    std::string target;
    // In place: the save's own rule. Into the processed folder: whether the source's bytes are kept
    // as the backup beside the target (any rule but None).
    BackupRule backup = BackupRule::None;
    // Saving would write other bytes than the source holds (dates aside), or the source changed
    // since it was read: there is something to do.
    bool changed = true;
    // The document already held this program's table of contents when it was opened: a backup
    // there is the original and is never replaced by it.
    bool keepExistingBackup = false;
};

// How the caller deals with what is in the way and what is missing.
struct SavePolicy
{
    // A different file at the destination (or at its backup's place) goes to the trash; without
    // this the document is refused.
    bool trashWhatIsInTheWay = false;
    // Missing folders on the way to the destination are made; otherwise the folder must be there.
    bool createFolders = false;
    // A document with nothing to write still moves into the processed folder, as it is.
    bool moveUnchanged = false;
    // A move into the processed folder that is refused or fails leaves the document saved in place.
    bool saveInPlaceWhenMoveFails = false;
};

// The editor: what is in the way goes to the trash, the folder must exist, and a move that cannot
// happen leaves the document saved where it is.
SavePolicy EditorSavePolicy();

// The file operations that put document where request says, with what the disk holds now.
SavePlan PlanSave(const CDocumentFile& document, const SaveRequest& request, const SavePolicy& policy);

// How a plan's execution ended.
struct SavePlanResult
{
    bool done = true;
    // The operation that failed, and why.
    std::size_t failedAt = 0;
    FileError error;
    // The document is complete at its destination (written there, or moved as it was): a failure
    // after that point leaves it there.
    bool atDestination = false;
};

// Carries out operations in order until one fails. A Refuse or NothingToDo does nothing. done is
// called after each operation that succeeded. The document follows the file: written as a new file
// or moved, later saves replace that file.
SavePlanResult ExecuteSavePlan(const std::vector<FileOperation>& operations, CDocumentFile& document,
                               ITrash& trash, const std::function<void(const FileOperation&)>& done = {});
