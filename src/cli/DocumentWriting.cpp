#include "cli/DocumentWriting.h"

#include "core/base/FileSystem.h"
#include "core/document/CDocumentFile.h"
#include "core/workflow/CDesktopTrash.h"

#include <cerrno>

namespace
{
SaveRequest RequestFor(const DocumentJob& job, const TocToolOptions& options, const TocToolSetup& setup,
                       const DocumentResult& result)
{
    SaveRequest request;
    request.source = job.path;
    request.changed = result.changed;
    if (!options.outputDir.empty())
    {
        request.destination = SaveDestination::OutputFolder;
        request.target = DestinationOf(job, options);
        return request;
    }
    request.backup = setup.makeBackup ? BackupRule::Required : BackupRule::None;
    if (!options.moveTo.empty())
    {
        request.destination = SaveDestination::ProcessedFolder;
        request.target = DestinationOf(job, options);
    }
    return request;
}

// A refusal in the words the tool prints after the document's path.
std::string RefusalMessage(const FileOperation& refused, SaveDestination destination)
{
    const std::string& path = refused.path;
    switch (refused.refusal)
    {
    case Refusal::IsTheDocument:
        return "refused: the output " + path + " is the document itself";
    case Refusal::NotARegularFile:
        return "refused: " + path + " is no regular file";
    case Refusal::InTheWay:
        return "refused: " + path + " already holds a different file (--replace moves it to the trash)";
    case Refusal::AlreadyInFolder:
        return "already in the folder for processed documents; not moved and not saved";
    case Refusal::SymbolicLink:
        return "refused: the document is a symbolic link to " + ResolvedTarget(path) +
               "; --move-to moves documents, not links (name the document itself); not moved and not saved";
    case Refusal::ReadOnly:
        return destination == SaveDestination::InPlace
                   ? "refused: the document is read-only; not saved"
                   : "refused: the document is read-only; not moved and not saved";
    case Refusal::CannotReadAttributes:
    {
        FileError error;
        error.errorNumber = refused.errorNumber;
        return "cannot read the document's attributes: " + error.Reason();
    }
    case Refusal::ChangedOnDisk:
        return "the document changed on disk while it was processed (another program wrote or replaced it); "
               "not "
               "moved and not saved";
    case Refusal::NoProcessedFolder:
        return "refused: no folder for processed documents is given";
    case Refusal::None:
        break;
    }
    return "refused";
}

// A failed operation in the words the tool prints after the document's path.
std::string FailureMessage(const FileOperation& failed, const FileError& error)
{
    const bool taken = error.errorNumber == EEXIST;
    const bool changedOnDisk = error.errorNumber == ESTALE;
    switch (failed.kind)
    {
    case FileOperationKind::TrashInTheWay:
        return "refused: " + failed.path +
               " already holds a different file, and it cannot be moved to the trash";
    case FileOperationKind::CreateFolder:
        return "cannot create the folder " + failed.path + ": " + error.Reason();
    case FileOperationKind::CopyToBackup:
        if (taken)
            return "refused: " + failed.target +
                   " was taken meanwhile by another run or program; not moved and not saved";
        return "cannot make the backup " + failed.target + " (" + error.Reason() +
               "); not moved and not saved";
    case FileOperationKind::SaveAsNewFile:
        return "refused: " + error.Reason();
    case FileOperationKind::MoveAsItIs:
        if (changedOnDisk)
            return "the document changed on disk while it was processed (another program wrote or replaced "
                   "it); "
                   "not moved";
        if (taken)
            return "refused: " + failed.target +
                   " was taken meanwhile by another run or program; the document stays where it is";
        return "cannot move the document to " + failed.target + ": " + error.Reason();
    case FileOperationKind::RemoveSource:
        if (changedOnDisk)
            return "the document changed on disk while it was processed (another program wrote or replaced "
                   "it); "
                   "it stays where it is, and " +
                   failed.target + " holds what was processed from the version read";
        return "complete in " + failed.target + ", but the document cannot be removed: " + error.Reason();
    default:
        return error.Reason();
    }
}

// A plan that is not carried out is only told: a refusal, and under --check what would go to the
// trash (unless -v lists the whole plan anyway).
bool TellPlan(const SavePlan& plan, SaveDestination destination, bool listed, DocumentReporter& reporter)
{
    for (const FileOperation& operation : plan.operations)
    {
        if (operation.kind == FileOperationKind::Refuse)
            reporter.Add(RefusalMessage(operation, destination));
        else if (operation.kind == FileOperationKind::TrashInTheWay && !listed)
            reporter.Add("would move " + operation.path + " to the trash");
    }
    return !plan.IsRefused();
}
} // namespace

std::string DescribeOperation(const FileOperation& operation, SaveDestination destination)
{
    switch (operation.kind)
    {
    case FileOperationKind::Refuse:
        return RefusalMessage(operation, destination);
    case FileOperationKind::NothingToDo:
        return "nothing to do: " + operation.path + " already holds the document";
    case FileOperationKind::TrashInTheWay:
        return "move " + operation.path + " to the trash";
    case FileOperationKind::CreateFolder:
        return "create the folder " + operation.path;
    case FileOperationKind::CopyToBackup:
        return "copy " + operation.path + " to the backup " + operation.target;
    case FileOperationKind::SaveInPlace:
        if (operation.backup == BackupRule::None)
            return "save " + operation.path;
        return "save " + operation.path + ", its previous content kept as " + operation.target;
    case FileOperationKind::SaveAsNewFile:
        return "write " + operation.path;
    case FileOperationKind::MoveAsItIs:
        return "move " + operation.path + " to " + operation.target;
    case FileOperationKind::KeepOwnerAndMode:
        return "give " + operation.path + " the owner and mode of " + operation.target;
    case FileOperationKind::RemoveSource:
        return "remove " + operation.path + ", complete in " + operation.target;
    }
    return {};
}

bool WriteDocument(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                   const TocToolSetup& setup, DocumentReporter& reporter, DocumentResult& result)
{
    const SaveRequest request = RequestFor(job, options, setup, result);
    SavePolicy policy;
    policy.trashWhatIsInTheWay = options.replace;
    policy.createFolders = true;
    policy.moveUnchanged = true;
    const SavePlan plan = PlanSave(document, request, policy);
    result.plan.clear();
    for (const FileOperation& operation : plan.operations)
        result.plan.push_back(DescribeOperation(operation, request.destination));
    // A rerun finds what the run before it wrote in the output folder: nothing to do.
    if (request.destination == SaveDestination::OutputFolder && plan.HasNothingToDo())
        result.changed = false;
    if (options.check || plan.IsRefused())
        return TellPlan(plan, request.destination, options.verbose, reporter);

    CDesktopTrash trash;
    const auto told = [&reporter, &trash](const FileOperation& operation)
    {
        if (operation.kind == FileOperationKind::TrashInTheWay)
            reporter.Add("replaced " + operation.path + "; the previous file is in the trash as " +
                         trash.TrashedAs());
    };
    const SavePlanResult run = ExecuteSavePlan(plan.operations, document, trash, told);
    if (!run.done)
        reporter.Add(FailureMessage(plan.operations[run.failedAt], run.error));
    return run.done;
}
