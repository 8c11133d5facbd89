// Saving in the folder workflow: the backup the opening owes, the move into the processed folder and
// what it would replace, failed saves, and deleting to the trash.

#include "SessionTestSupport.h"

#include "support/PermissionsEnforced.h"

#include <sys/stat.h>

namespace
{
// Auto-save with move on save: the next command saves without asking, and the file ends in the
// processed folder with its backup beside it.
TEST_F(DocumentSessionTest, AutoSaveMovesIntoTheProcessedFolder)
{
    fs::create_directory(folder / "done");
    const std::string a = Write("a.rla", kText);
    const std::string original = ReadBytes(a);
    Configure(true, true, folder / "done");

    session.OpenFiles({a, Write("b.rla")});
    session.OpenNextDocument();
    EXPECT_TRUE(prompter.m_questions.empty());
    EXPECT_TRUE(prompter.m_messages.empty());
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(ReadBytes(folder / "done/a.bak"), original);
    EXPECT_EQ(TextOf(folder / "done/a.rla"), Processed(CpLines(kText)));
    EXPECT_EQ(session.CurrentPath(), folder / "b.rla");
}

// The first save after opening moves and backs up; later saves write in the processed folder again
// and keep the first backup. The title follows the file.
TEST_F(DocumentSessionTest, SaveMovesOnceAndBacksUpOnce)
{
    fs::create_directory(folder / "done");
    const std::string a = Write("a.rla", kText);
    const std::string original = ReadBytes(a);
    Configure(false, true, folder / "done");
    session.OpenFiles({a});

    session.SaveDocument();
    EXPECT_EQ(session.Title(), "Тирвель - " + folder / "done/a.rla");
    EXPECT_EQ(session.Document().Path(), folder / "done/a.rla");
    EXPECT_FALSE(session.CanSave());
    editor.lines.PushBack(Cp("ещё"));
    session.TextChanged();
    EXPECT_EQ(session.Title(), "Тирвель - " + folder / "done/a.rla*");
    session.SaveDocument();
    EXPECT_EQ(TextOf(folder / "done/a.rla").back(), Cp("ещё"));
    EXPECT_EQ(ReadBytes(folder / "done/a.bak"), original);
    EXPECT_TRUE(prompter.m_messages.empty());
}

// A move that cannot or must not happen is reported, and the document is saved where it is. The
// file already lies in the processed folder also when the folder is named another way.
TEST_F(DocumentSessionTest, MoveRefusalsSaveInPlace)
{
    struct Case
    {
        const char* what;
        std::string processedFolder;
        std::string message;
    };
    fs::create_directory(folder / "in");
    fs::create_directory_symlink(folder / "in", folder / "link");
    const Case cases[] = {
        {"no folder", "", kNoFolder},
        {"the file's own folder", folder / "in", kAlreadyThere},
        {"the same folder through a link", folder / "link", kAlreadyThere},
        {"the same folder with a detour", folder / "in/../in", kAlreadyThere},
        {"a folder that does not exist", folder / "missing", kMoveFailed},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CScriptedPrompter told;
        CDocumentSession fresh(editor, told, trash, monitor, AddBlock);
        const std::string path = folder / "in/a.rla";
        WriteBytes(path, DocumentFile(kText));
        fs::remove(folder / "in/a.bak");
        SessionSettings settings;
        settings.moveOnSave = true;
        settings.processedFolder = c.processedFolder;
        fresh.SetSettings(settings);
        fresh.OpenFiles({path});
        fresh.SaveDocument();

        EXPECT_EQ(told.m_messages,
                  (std::vector<CScriptedPrompter::Message>{{c.message, MessageIcon::Error}}));
        EXPECT_EQ(fresh.CurrentPath(), path);
        EXPECT_EQ(TextOf(path), Processed(CpLines(kText)));
        EXPECT_TRUE(fs::exists(folder / "in/a.bak"));
        EXPECT_EQ(fs::exists(folder / "in/a.rla"), true);
    }
}

// What the move would replace in the processed folder, the file of the same name and the backup
// beside it, goes to the trash; when the trash refuses, nothing there is touched and the save stays
// in place.
TEST_F(DocumentSessionTest, MoveSendsWhatItWouldReplaceToTheTrash)
{
    const std::string a = Write("a.rla", kText);
    const std::string b = Write("b.rla", kText);
    const std::string original = ReadBytes(a);
    for (const char* name : {"a", "b"})
    {
        Write(std::string("done/") + name + ".rla", {"прежний"});
        WriteBytes(folder / (std::string("done/") + name + ".bak"), "earlier original");
    }
    const std::string earlier = ReadBytes(folder / "done/a.rla");
    Configure(false, true, folder / "done");

    trash.works = false;
    session.OpenFiles({b});
    session.SaveDocument();
    ASSERT_EQ(prompter.m_messages.size(), 1u);
    EXPECT_EQ(prompter.m_messages[0].text, kMoveFailed);
    EXPECT_EQ(TextOf(b), Processed(CpLines(kText)));
    EXPECT_EQ(ReadBytes(folder / "done/b.rla"), earlier);
    EXPECT_EQ(ReadBytes(folder / "done/b.bak"), "earlier original");

    trash.works = true;
    prompter.m_messages.clear();
    session.OpenFiles({a});
    session.SaveDocument();
    EXPECT_TRUE(prompter.m_messages.empty());
    EXPECT_EQ(TextOf(folder / "done/a.rla"), Processed(CpLines(kText)));
    EXPECT_EQ(ReadBytes(folder / "done/a.bak"), original);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(trash.trashed, (std::vector<std::string>{folder / "done/a.rla", folder / "done/a.bak"}));
    EXPECT_EQ(trash.contents, (std::vector<std::string>{earlier, "earlier original"}));
}

// Bytes after the end-of-file mark are no part of the document: the operator is told on opening,
// without a question.
TEST_F(DocumentSessionTest, ContentAfterTheEndMarkIsToldOnOpening)
{
    std::vector<std::string> notices;
    session.SetNoticeListener([&notices](const std::string& text) { notices.push_back(text); });
    const std::string plain = Write("plain.rla", kText);
    const std::string tailed = Write("tailed.rla", kText);
    WriteBytes(tailed, ReadBytes(tailed) + "\x1A" + "tail");
    session.OpenFiles({plain});
    EXPECT_TRUE(notices.empty());
    prompter.Answer({PromptAnswer::No});
    session.OpenFiles({tailed});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("(0x1A) в файле ещё 4 байт"), std::string::npos) << notices[0];
    EXPECT_TRUE(prompter.m_messages.empty());
}

TEST_F(DocumentSessionTest, BackupOnlyWhenAsked)
{
    SessionSettings settings;
    settings.makeBak = false;
    session.SetSettings(settings);
    session.OpenFiles({Write("a.rla")});
    session.SaveDocument();
    EXPECT_FALSE(fs::exists(folder / "a.bak"));
    EXPECT_EQ(TextOf(folder / "a.rla")[0], MarkerLine(Marker::Ogl));
}

// A save that cannot write keeps the document changed and the backup owed: once the folder is
// writable again, the next save makes the backup of the file as it was loaded.
TEST_F(DocumentSessionTest, FailedSaveKeepsTheChangesAndTheBackupOwed)
{
    const std::string path = Write("docs/law.rla", kText);
    const std::string original = ReadBytes(path);
    session.OpenFiles({path});

    fs::permissions(folder / "docs", fs::perms::owner_read | fs::perms::owner_exec);
    {
        PermissionsEnforced asOperator;
        session.SaveDocument();
    }
    fs::permissions(folder / "docs", fs::perms::owner_all);
    EXPECT_EQ(prompter.m_messages,
              (std::vector<CScriptedPrompter::Message>{
                  {"Ошибка создания резервного файла " + folder / "docs/law.bak" + "!", MessageIcon::Error},
                  {"Ошибка сохранения файла " + path + "!", MessageIcon::Error}}));
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_TRUE(session.IsModified());
    EXPECT_TRUE(session.CanSave());
    EXPECT_EQ(session.Title().back(), '*');

    prompter.m_messages.clear();
    session.SaveDocument();
    EXPECT_TRUE(prompter.m_messages.empty());
    EXPECT_EQ(ReadBytes(folder / "docs/law.bak"), original);
    EXPECT_FALSE(session.IsModified());

    // Closing after a failed save still asks.
    fs::remove_all(folder / "docs");
    session.TextChanged();
    session.SaveDocument();
    prompter.Answer({PromptAnswer::Cancel});
    EXPECT_FALSE(session.ConfirmSaveOnClose());
}

// A save that fails when the operator asked for it at closing keeps the window open: the changes
// are in the editor only, and closing anyway is the operator's own choice at the next question.
TEST_F(DocumentSessionTest, ClosingStaysOpenWhenTheSaveAskedForFails)
{
    const std::string path = Write("docs/law.rla", kText);
    const std::string original = ReadBytes(path);
    session.OpenFiles({path});

    fs::permissions(folder / "docs", fs::perms::owner_read | fs::perms::owner_exec);
    prompter.Answer({PromptAnswer::Yes});
    {
        PermissionsEnforced asOperator;
        EXPECT_FALSE(session.ConfirmSaveOnClose());
    }
    fs::permissions(folder / "docs", fs::perms::owner_all);
    EXPECT_EQ(prompter.m_messages.back(),
              (CScriptedPrompter::Message{"Ошибка сохранения файла " + path + "!", MessageIcon::Error}));
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_TRUE(session.IsModified());

    prompter.Answer({PromptAnswer::No});
    EXPECT_TRUE(session.ConfirmSaveOnClose());
}

TEST_F(DocumentSessionTest, DeleteToTrash)
{
    const std::string a = Write("a.rla");
    session.OpenFiles({a, Write("b.rla")});

    prompter.Answer({PromptAnswer::No});
    session.DeleteFileToTrash();
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(trash.trashed.empty());

    trash.works = false;
    prompter.Answer({PromptAnswer::Yes});
    session.DeleteFileToTrash();
    EXPECT_EQ(prompter.m_messages,
              (std::vector<CScriptedPrompter::Message>{
                  {"Не удалось удалить файл " + a + " в корзину.", MessageIcon::Error}}));
    EXPECT_EQ(session.CurrentPath(), a);

    trash.works = true;
    prompter.Answer({PromptAnswer::Yes});
    session.DeleteFileToTrash();
    EXPECT_EQ(prompter.m_questions, std::vector<std::string>(3, "Удалить файл в корзину?"));
    EXPECT_EQ(trash.trashed, std::vector<std::string>{a});
    EXPECT_EQ(session.Title(), "Тирвель");
    EXPECT_TRUE(editor.lines.empty());
    EXPECT_EQ(editor.cleared, 1);
    EXPECT_TRUE(session.Document().Path().empty());
    EXPECT_FALSE(session.IsModified());
    EXPECT_FALSE(session.CanSave());
    EXPECT_FALSE(session.CanDelete());
    EXPECT_TRUE(session.CanOpenNext());
    EXPECT_TRUE(session.ConfirmSaveOnClose());
}

// Bytes, inode and modification time of a file: equal before and after what writes nothing.
std::string Snapshot(const std::string& path)
{
    struct stat status
    {
    };
    ::stat(path.c_str(), &status);
    return ReadBytes(path) + "|" + std::to_string(status.st_ino) + "|" + std::to_string(status.st_mtim.tv_sec) +
           "." + std::to_string(status.st_mtim.tv_nsec);
}

// A document this program has already processed is refused by the recognition and opens as it is:
// nothing to save, so neither auto-save nor the save command writes it, its backup (the original
// before processing) stays, and its change date does not move. An edit of it is saved, but never
// into the place of that backup.
TEST_F(DocumentSessionTest, AProcessedDocumentOpensUnchangedAndKeepsItsBackup)
{
    recognizer = [](const CTextLines& lines, IReporter&, const std::function<void()>&,
                    const RecognitionOptions&) { return ProcessResult{lines, true, 0}; };
    const std::string a = folder / "a.rla";
    WriteBytes(a, File866("$100  Дата ввода/изменения") + "\r\n01.02.2003\r\n" +
                      DocumentFile(Utf8Lines(Processed(CpLines(kText)))));
    WriteBytes(folder / "a.bak", DocumentFile(kText));
    const std::string document = Snapshot(a);
    const std::string backup = Snapshot(folder / "a.bak");
    SessionSettings settings;
    settings.autoSaveOnNext = true;
    session.SetSettings(settings);

    session.OpenFiles({a, Write("b.rla")});
    EXPECT_FALSE(session.IsModified());
    EXPECT_FALSE(session.CanSave());
    EXPECT_EQ(session.Title(), "Тирвель - " + a);
    EXPECT_TRUE(session.ConfirmSaveOnClose());
    session.SaveDocument();
    session.OpenNextDocument();
    EXPECT_TRUE(prompter.m_questions.empty());
    EXPECT_EQ(Snapshot(a), document) << "nothing written, no date moved";
    EXPECT_EQ(Snapshot(folder / "a.bak"), backup);

    session.OpenFiles({a});
    editor.lines.PushBack(Cp("правка"));
    session.TextChanged();
    session.SaveDocument();
    EXPECT_EQ(TextOf(a).back(), Cp("правка"));
    EXPECT_EQ(Snapshot(folder / "a.bak"), backup) << "the original stays the backup";
}

// A save with nothing changed since the last one (or since the load) writes nothing.
TEST_F(DocumentSessionTest, ASaveWithNoChangeWritesNothing)
{
    const std::string a = Write("a.rla", kText);
    session.OpenFiles({a});
    session.SaveDocument();
    const std::string saved = Snapshot(a);
    const std::string backup = Snapshot(folder / "a.bak");
    session.TextChanged();
    session.SaveDocument();
    EXPECT_FALSE(session.IsModified());
    EXPECT_EQ(Snapshot(a), saved);
    EXPECT_EQ(Snapshot(folder / "a.bak"), backup);
}
} // namespace
