// The save plan: what putting a processed document in place, into an output folder or into the
// processed folder does to the files there, decided from what is on disk, and carried out.

#include "core/workflow/SavePlan.h"

#include "support/TestSupport.h"

#include "core/workflow/ITrash.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace
{
using Kind = FileOperationKind;

SavePolicy Policy(bool trashWhatIsInTheWay, bool createFolders)
{
    SavePolicy policy;
    policy.trashWhatIsInTheWay = trashWhatIsInTheWay;
    policy.createFolders = createFolders;
    return policy;
}

struct KeepingTrash : ITrash
{
    bool MoveToTrash(const std::string& path) override
    {
        trashed.push_back(path);
        return fs::remove(path);
    }
    std::vector<std::string> trashed;
};

// The cases of a table arrange the disk through the fixture: its parts are open to them.
class SavePlanTest : public ::testing::Test
{
public:
    SavePlanTest() : document(reporter, [] { return CalendarDate{1, 5, 2024}; })
    {
        WriteBytes(Source(), File866("$18  Текст документа\r\nСтатья 1. Предмет"));
        document.Load(Source());
        document.MutableTextLines().Insert(0, Cp("оглавление"));
    }

    std::string Source() const { return folder / "in/a.rla"; }
    std::string Target() const { return folder / "done/a.rla"; }
    std::string TargetBackup() const { return folder / "done/a.bak"; }

    SaveRequest Into(SaveDestination destination, BackupRule backup = BackupRule::Required) const
    {
        SaveRequest request;
        request.destination = destination;
        request.source = Source();
        request.target = destination == SaveDestination::InPlace ? std::string() : Target();
        request.backup = backup;
        return request;
    }

    std::vector<Kind> KindsOf(const SaveRequest& request, const SavePolicy& policy = {}) const
    {
        std::vector<Kind> kinds;
        for (const FileOperation& operation : PlanSave(document, request, policy).operations)
            kinds.push_back(operation.kind);
        return kinds;
    }

    ScratchFolder folder;
    SilentReporter reporter;
    CDocumentFile document;
};

// What is already on disk decides the plan, for each destination and policy.
TEST_F(SavePlanTest, TheDiskDecidesThePlan)
{
    struct Case
    {
        const char* what;
        std::function<void(SavePlanTest&, SaveRequest&, SavePolicy&)> arrange;
        SaveDestination destination;
        std::vector<Kind> expected;
    };
    const auto writeFinished = [](SavePlanTest& t, SaveRequest&, SavePolicy&)
    {
        WriteBytes(t.TargetBackup(), ReadBytes(t.Source()));
        WriteBytes(t.Target(), t.document.FileBytes());
    };
    const Case cases[] = {
        {"in place", {}, SaveDestination::InPlace, {Kind::SaveInPlace}},
        {"in place, nothing to write",
         [](SavePlanTest&, SaveRequest& r, SavePolicy&) { r.changed = false; },
         SaveDestination::InPlace,
         {Kind::NothingToDo}},
        {"in place, read-only",
         [](SavePlanTest& t, SaveRequest&, SavePolicy&)
         { fs::permissions(t.Source(), fs::perms::owner_read); },
         SaveDestination::InPlace,
         {Kind::Refuse}},
        {"into a free place",
         {},
         SaveDestination::ProcessedFolder,
         {Kind::CreateFolder, Kind::CopyToBackup, Kind::SaveAsNewFile, Kind::KeepOwnerAndMode,
          Kind::RemoveSource}},
        {"another file in the place",
         [](SavePlanTest& t, SaveRequest&, SavePolicy&) { WriteBytes(t.Target(), "x"); },
         SaveDestination::ProcessedFolder,
         {Kind::Refuse}},
        {"another file and backup, trashed",
         [](SavePlanTest& t, SaveRequest&, SavePolicy& p)
         {
             WriteBytes(t.Target(), "x");
             WriteBytes(t.TargetBackup(), "y");
             p.trashWhatIsInTheWay = true;
         },
         SaveDestination::ProcessedFolder,
         {Kind::TrashInTheWay, Kind::TrashInTheWay, Kind::CopyToBackup, Kind::SaveAsNewFile,
          Kind::KeepOwnerAndMode, Kind::RemoveSource}},
        {"a stopped run finished",
         writeFinished,
         SaveDestination::ProcessedFolder,
         {Kind::KeepOwnerAndMode, Kind::RemoveSource}},
        // The source's bytes in the backup alone do not prove the document is there.
        {"backup of the source beside another file",
         [](SavePlanTest& t, SaveRequest&, SavePolicy&)
         {
             WriteBytes(t.TargetBackup(), ReadBytes(t.Source()));
             WriteBytes(t.Target(), "x");
         },
         SaveDestination::ProcessedFolder,
         {Kind::Refuse}},
        {"already in the folder",
         [](SavePlanTest& t, SaveRequest& r, SavePolicy&) { r.target = t.Source(); },
         SaveDestination::ProcessedFolder,
         {Kind::Refuse}},
        {"unchanged, moved as it is",
         [](SavePlanTest&, SaveRequest& r, SavePolicy& p)
         {
             r.changed = false;
             p.moveUnchanged = true;
         },
         SaveDestination::ProcessedFolder,
         {Kind::CreateFolder, Kind::MoveAsItIs}},
        {"unchanged, left alone",
         [](SavePlanTest&, SaveRequest& r, SavePolicy&) { r.changed = false; },
         SaveDestination::ProcessedFolder,
         {Kind::NothingToDo}},
        {"output already written", writeFinished, SaveDestination::OutputFolder, {Kind::NothingToDo}},
        {"output onto the document",
         [](SavePlanTest& t, SaveRequest& r, SavePolicy&) { r.target = t.Source(); },
         SaveDestination::OutputFolder,
         {Kind::Refuse}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder / "done");
        fs::permissions(Source(), fs::perms::owner_read | fs::perms::owner_write);
        SaveRequest request = Into(c.destination);
        SavePolicy policy = Policy(false, true);
        if (c.arrange)
            c.arrange(*this, request, policy);
        EXPECT_EQ(KindsOf(request, policy), c.expected);
    }
}

// The editor's plan into the processed folder says why it is refused and falls back to the save in
// place; a backup that is the original of a document opened already processed is never replaced.
TEST_F(SavePlanTest, TheEditorSavesInPlaceWhenTheMoveCannotHappen)
{
    SaveRequest request = Into(SaveDestination::ProcessedFolder, BackupRule::Wanted);
    request.target.clear();
    const SavePlan noFolder = PlanSave(document, request, EditorSavePolicy());
    ASSERT_TRUE(noFolder.IsRefused());
    EXPECT_EQ(noFolder.operations.front().refusal, Refusal::NoProcessedFolder);
    ASSERT_EQ(noFolder.fallback.size(), 1u);
    EXPECT_EQ(noFolder.fallback.front().kind, Kind::SaveInPlace);
    EXPECT_EQ(noFolder.fallback.front().backup, BackupRule::Wanted);

    WriteBytes(folder / "in/a.bak", "the original");
    request.keepExistingBackup = true;
    EXPECT_EQ(PlanSave(document, request, EditorSavePolicy()).fallback.front().backup, BackupRule::None);
}

// Carried out, a move leaves the source's bytes in the backup, the document in the folder and no
// source; the document then lives there, so the next save replaces that file.
TEST_F(SavePlanTest, AMoveCarriedOutLeavesTheDocumentInTheFolder)
{
    const std::string original = ReadBytes(Source());
    KeepingTrash trash;
    WriteBytes(Target(), "an earlier file");
    const SavePlan plan = PlanSave(document, Into(SaveDestination::ProcessedFolder), Policy(true, false));
    const SavePlanResult run = ExecuteSavePlan(plan.operations, document, trash);
    ASSERT_TRUE(run.done) << run.error.Reason();
    EXPECT_TRUE(run.atDestination);
    EXPECT_EQ(trash.trashed, std::vector<std::string>{Target()});
    EXPECT_FALSE(fs::exists(Source()));
    EXPECT_EQ(ReadBytes(TargetBackup()), original);
    EXPECT_EQ(ReadBytes(Target()), document.FileBytes());
    EXPECT_EQ(document.Path(), Target());
    EXPECT_FALSE(document.SaveWouldChangeFile());

    document.MutableTextLines().PushBack(Cp("ещё"));
    const SaveResult saved = document.Save(BackupRule::None);
    EXPECT_TRUE(saved) << FileErrorText(saved.error);
    EXPECT_EQ(ReadBytes(Target()), document.FileBytes());
}

// A name taken meanwhile stops the plan before anything is written; the error names that file and
// the system's reason, and the document stays at its source.
TEST_F(SavePlanTest, AFailureStopsThePlanAndNamesTheFile)
{
    const std::string original = ReadBytes(Source());
    KeepingTrash trash;
    const SavePlan plan = PlanSave(document, Into(SaveDestination::ProcessedFolder), Policy(false, true));
    WriteBytes(TargetBackup(), "taken meanwhile");
    const SavePlanResult run = ExecuteSavePlan(plan.operations, document, trash);
    EXPECT_FALSE(run.done);
    EXPECT_FALSE(run.atDestination);
    EXPECT_EQ(plan.operations[run.failedAt].kind, Kind::CopyToBackup);
    EXPECT_EQ(run.error.path, TargetBackup());
    EXPECT_EQ(run.error.errorNumber, EEXIST);
    EXPECT_EQ(FileErrorText(run.error), TargetBackup() + ": File exists");
    EXPECT_EQ(ReadBytes(Source()), original);
    EXPECT_FALSE(fs::exists(Target()));
    EXPECT_EQ(document.Path(), Source());
}
} // namespace
