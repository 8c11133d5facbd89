// The folder workflow without a window: the queue, opening with processing, saving with backup and
// move, deleting, the questions on leaving a changed document, command availability and the busy
// rules while a document is processed.

#include "core/workflow/CDocumentSession.h"

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/workflow/IDocumentEditor.h"
#include "core/workflow/IProcessingMonitor.h"
#include "core/workflow/ITrash.h"
#include "support/CScriptedPrompter.h"
#include "support/PermissionsEnforced.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <new>

namespace fs = std::filesystem;

namespace
{

// An editor that holds its lines.
struct FakeEditor : IDocumentEditor
{
    std::vector<std::string> GetLines() const override { return lines; }
    void SetLines(const std::vector<std::string>& newLines, const std::function<void()>&) override
    {
        lines = newLines;
    }
    void ClearText() override
    {
        lines.clear();
        ++cleared;
    }

    std::vector<std::string> lines;
    int cleared = 0;
};

// A trash that takes the file away (or refuses) and remembers what it got.
struct FakeTrash : ITrash
{
    bool MoveToTrash(const std::string& path) override
    {
        if (!works)
            return false;
        trashed.push_back(path);
        contents.push_back(ReadBytes(path));
        return fs::remove(path);
    }

    bool works = true;
    std::vector<std::string> trashed;
    std::vector<std::string> contents; // of each trashed file
};

struct FakeMonitor : IProcessingMonitor
{
    void ProcessingStarted() override { ++started; }
    void PumpMessages() override
    {
        if (onPump)
            onPump();
    }
    void ProcessingEnded() override { ++ended; }

    int started = 0;
    int ended = 0;
    std::function<void()> onPump; // what the operator does while the engine works
};

const std::vector<std::string> kText = {"Статья 1. Предмет", "", "Текст статьи."};

// The text as the engine leaves it: one table-of-contents block in front.
std::vector<std::string> Processed(const std::vector<std::string>& lines)
{
    std::vector<std::string> result = {MarkerLine(Marker::Ogl), Cp("*Статья 1. Предмет"),
                                       MarkerLine(Marker::Kon)};
    result.insert(result.end(), lines.begin(), lines.end());
    return result;
}

ProcessResult AddBlock(const std::vector<std::string>& lines, IReporter&, const std::function<void()>& pump,
                       const RecognitionOptions&)
{
    pump();
    return {Processed(lines), false, 1};
}

std::string DocumentFile(const std::vector<std::string>& utf8Text)
{
    std::string bytes = File866("$18  Текст документа");
    for (const std::string& line : utf8Text)
        bytes += "\r\n" + File866(line);
    return bytes;
}

const std::string kAlreadyThere =
    "Перенос файла невозможен так как сохраняемый файл уже находится в папке для "
    "обработанных документов!\nУкажите другую папку в пункте меню\"Сервис->Параметры\"";
const std::string kNoFolder =
    "Папка для обработанных документов не задана!\nУкажите папку в пункте меню\"Сервис->Параметры\"";
const std::string kMoveFailed = "Ошибка переноса файла в папку для обработанных документов!";
const std::string kLeaveQuestion = "Текст документа был изменён.\nСохранить изменения?";

class DocumentSessionTest : public ::testing::Test
{
protected:
    DocumentSessionTest()
        : session(editor, prompter, trash, monitor,
                  [this](const std::vector<std::string>& lines, IReporter& reporter,
                         const std::function<void()>& pump, const RecognitionOptions& options)
                  { return recognizer(lines, reporter, pump, options); })
    {
    }

    // A document file in the scratch folder; its path.
    std::string Write(const std::string& name,
                      const std::vector<std::string>& utf8Text = {"Статья 1. Предмет"})
    {
        const std::string path = folder / name;
        WriteBytes(path, DocumentFile(utf8Text));
        return path;
    }

    void Configure(bool autoSave, bool moveOnSave, const std::string& processedFolder)
    {
        SessionSettings settings;
        settings.autoSaveOnNext = autoSave;
        settings.moveOnSave = moveOnSave;
        settings.processedFolder = processedFolder;
        session.SetSettings(settings);
    }

    // The text lines of a document file, in memory form.
    std::vector<std::string> TextOf(const std::string& path)
    {
        SilentReporter reporter;
        CDocumentFile document(reporter);
        document.Load(path);
        return document.m_textLines;
    }

    ScratchFolder folder;
    CScriptedPrompter prompter;
    FakeEditor editor;
    FakeTrash trash;
    FakeMonitor monitor;
    CDocumentSession::Recognizer recognizer = AddBlock;
    CDocumentSession session;
};

TEST_F(DocumentSessionTest, OpeningProcessesTheFileAndCountsAsAChange)
{
    const std::string path = Write("a.rla", kText);
    int notified = 0;
    session.SetStateListener([&] { ++notified; });
    session.OpenFiles({path});

    EXPECT_EQ(editor.lines, Processed(CpLines(kText)));
    EXPECT_EQ(session.CurrentPath(), path);
    EXPECT_TRUE(session.IsModified());
    EXPECT_FALSE(session.IsBusy());
    EXPECT_EQ(session.Title(), "Тирвель - " + path + "*");
    EXPECT_EQ(monitor.started, 1);
    EXPECT_EQ(monitor.ended, 1);
    EXPECT_GT(notified, 0);
    EXPECT_TRUE(prompter.m_messages.empty());
}

TEST_F(DocumentSessionTest, QueueOpensInByteOrderAndTheFrontAlwaysLeaves)
{
    for (const char* name : {"b.rla", "A.rla", "a.rla"})
        Write(name);
    session.OpenFiles({folder / "b.rla", folder / "A.rla", folder / "a.rla"});
    EXPECT_EQ(session.CurrentPath(), folder / "A.rla");
    EXPECT_EQ(session.PendingFiles(), (std::deque<std::string>{folder / "a.rla", folder / "b.rla"}));

    prompter.Answer({PromptAnswer::No, PromptAnswer::No});
    session.OpenNextDocument();
    EXPECT_EQ(session.CurrentPath(), folder / "a.rla");
    session.OpenNextDocument();
    EXPECT_EQ(session.CurrentPath(), folder / "b.rla");
    EXPECT_TRUE(session.PendingFiles().empty());
    EXPECT_EQ(prompter.m_questions, (std::vector<std::string>{kLeaveQuestion, kLeaveQuestion}));
    EXPECT_FALSE(session.CanOpenNext());
}

TEST_F(DocumentSessionTest, RelativePathsAreQueuedAsFullPaths)
{
    Write("a.rla");
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    session.OpenFiles({"./sub/../a.rla"});
    fs::current_path(before);
    EXPECT_EQ(session.CurrentPath(), folder / "a.rla");
}

// A folder adds its *.rla files (in any letter case, links to files too, never folders) to what is
// queued, duplicates included; the open file met again in the queue is refused and dropped.
TEST_F(DocumentSessionTest, FolderAddsToTheQueueAndTheOpenFileIsRefused)
{
    const std::string in = folder / "in";
    for (const char* name : {"in/x.rla", "in/y.RLA", "in/notes.txt", "elsewhere/z.rla"})
        Write(name);
    fs::create_directory(in + "/sub.rla");
    fs::create_symlink(folder / "elsewhere/z.rla", in + "/z.rla");
    fs::create_symlink(folder / "missing.rla", in + "/dangling.rla");

    session.OpenFolder(in);
    EXPECT_EQ(session.CurrentPath(), in + "/x.rla");
    EXPECT_EQ(session.PendingFiles(), (std::deque<std::string>{in + "/y.RLA", in + "/z.rla"}));
    session.SaveDocument();

    session.OpenFolder(in);
    EXPECT_EQ(prompter.m_messages.back(),
              (CScriptedPrompter::Message{"Файл " + in + "/x.rla уже обрабатывается!", MessageIcon::Error}));
    EXPECT_EQ(session.CurrentPath(), in + "/x.rla");
    EXPECT_EQ(session.PendingFiles(),
              (std::deque<std::string>{in + "/y.RLA", in + "/y.RLA", in + "/z.rla", in + "/z.rla"}));

    session.OpenNextDocument();
    session.SaveDocument();
    session.OpenNextDocument();
    EXPECT_EQ(prompter.m_messages.back().text, "Файл " + in + "/y.RLA уже обрабатывается!");
    EXPECT_EQ(session.PendingFiles().size(), 2u);
    EXPECT_TRUE(prompter.m_questions.empty());
}

TEST_F(DocumentSessionTest, NothingToOpenLeavesTheDocumentAsItIs)
{
    session.OpenFiles({Write("a.rla", kText)});
    fs::create_directory(folder / "empty");
    session.OpenFolder(folder / "empty");
    session.OpenFolder(folder / "missing");
    EXPECT_EQ(session.CurrentPath(), folder / "a.rla");
    EXPECT_EQ(editor.lines, Processed(CpLines(kText)));
    EXPECT_EQ(monitor.started, 1);
    EXPECT_TRUE(prompter.m_messages.empty());
}

TEST_F(DocumentSessionTest, LeavingAChangedDocumentAsks)
{
    struct Case
    {
        PromptAnswer answer;
        bool saved;
        const char* openAfterwards;
    };
    for (const Case& c : {Case{PromptAnswer::Yes, true, "b.rla"}, Case{PromptAnswer::No, false, "b.rla"},
                          Case{PromptAnswer::Cancel, false, "a.rla"}})
    {
        SCOPED_TRACE(static_cast<int>(c.answer));
        ScratchFolder scratch;
        CScriptedPrompter asked;
        CDocumentSession fresh(editor, asked, trash, monitor, AddBlock);
        const std::string a = scratch / "a.rla";
        const std::string b = scratch / "b.rla";
        WriteBytes(a, DocumentFile(kText));
        WriteBytes(b, DocumentFile(kText));
        const std::string original = ReadBytes(a);
        fresh.OpenFiles({a, b});
        editor.lines.push_back(Cp("правка"));
        fresh.TextChanged();

        asked.Answer({c.answer});
        fresh.OpenNextDocument();
        EXPECT_EQ(asked.m_questions, std::vector<std::string>{kLeaveQuestion});
        EXPECT_EQ(fresh.CurrentPath(), scratch / c.openAfterwards);
        EXPECT_EQ(fs::exists(scratch / "a.bak"), c.saved);
        EXPECT_EQ(ReadBytes(a) != original, c.saved);
        EXPECT_TRUE(fresh.PendingFiles().empty()); // the front left the queue in every case
        if (c.answer == PromptAnswer::Cancel)
        {
            EXPECT_EQ(editor.lines.back(), Cp("правка"));
            EXPECT_TRUE(fresh.IsModified());
        }
    }
}

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
    EXPECT_EQ(session.Document().m_path, folder / "done/a.rla");
    EXPECT_FALSE(session.CanSave());
    editor.lines.push_back(Cp("ещё"));
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
    EXPECT_TRUE(session.Document().m_path.empty());
    EXPECT_FALSE(session.IsModified());
    EXPECT_FALSE(session.CanSave());
    EXPECT_FALSE(session.CanDelete());
    EXPECT_TRUE(session.CanOpenNext());
    EXPECT_TRUE(session.ConfirmSaveOnClose());
}

// A file that cannot be read, or an error while the text is processed, is reported; busy ends and
// nothing of the file stays open.
TEST_F(DocumentSessionTest, FailuresWhileOpeningLeaveNothingOpen)
{
    struct Case
    {
        const char* what;
        bool readable;
        std::string message;
    };
    const std::string path = folder / "a.rla";
    for (const Case& c : {Case{"unreadable", false, "Ошибка открытия файла " + path},
                          Case{"engine fails", true, "Ошибка обработки документа " + path}})
    {
        SCOPED_TRACE(c.what);
        fs::remove(path);
        if (c.readable)
            Write("a.rla");
        CScriptedPrompter told;
        CDocumentSession fresh(editor, told, trash, monitor,
                               [](const std::vector<std::string>&, IReporter&,
                                  const std::function<void()>& pump,
                                  const RecognitionOptions&) -> ProcessResult
                               {
                                   pump();
                                   throw std::bad_alloc();
                               });
        monitor = FakeMonitor();
        fresh.OpenFiles({path});
        EXPECT_EQ(told.m_messages,
                  (std::vector<CScriptedPrompter::Message>{{c.message, MessageIcon::Error}}));
        EXPECT_FALSE(fresh.IsBusy());
        EXPECT_EQ(monitor.ended, 1);
        EXPECT_TRUE(fresh.CurrentPath().empty());
        EXPECT_TRUE(editor.lines.empty());
        EXPECT_EQ(fresh.Title(), "Тирвель");
        EXPECT_FALSE(fresh.CanSave());
        EXPECT_TRUE(fresh.CanOpen());
    }
}

// A text the engine refuses is shown as it was loaded, and still counts as a change.
TEST_F(DocumentSessionTest, RefusedTextIsShownAsLoaded)
{
    recognizer = [](const std::vector<std::string>& lines, IReporter& reporter, const std::function<void()>&,
                    const RecognitionOptions&)
    {
        reporter.Report("отказ", MessageIcon::Error);
        return ProcessResult{lines, true, 0};
    };
    session.OpenFiles({Write("a.rla", kText)});
    EXPECT_EQ(editor.lines, CpLines(kText));
    EXPECT_EQ(prompter.m_messages, (std::vector<CScriptedPrompter::Message>{{"отказ", MessageIcon::Error}}));
    EXPECT_TRUE(session.CanSave());
}

// The recognition reads each document with the options set when it is opened, and whoever listens
// hears how many entries it got; a file that fails to load is not reported as processed.
TEST_F(DocumentSessionTest, RecognitionOptionsAndResultPassThrough)
{
    std::vector<bool> extendedRuns;
    recognizer = [&](const std::vector<std::string>& lines, IReporter& reporter,
                     const std::function<void()>& pump, const RecognitionOptions& options)
    {
        extendedRuns.push_back(options.extended);
        return AddBlock(lines, reporter, pump, options);
    };
    std::vector<std::size_t> processed;
    session.SetProcessedListener([&](const ProcessResult& result) { processed.push_back(result.entries); });

    const std::string a = Write("a.rla");
    const std::string b = Write("b.rla");
    session.OpenFiles({a, b, folder / "missing.rla"});
    session.SetRecognition({true});
    session.SaveDocument();
    session.OpenNextDocument();
    session.SaveDocument();
    session.OpenNextDocument();

    EXPECT_EQ(extendedRuns, (std::vector<bool>{false, true}));
    EXPECT_EQ(processed, (std::vector<std::size_t>{1, 1}));
    EXPECT_TRUE(session.Recognition().extended);
}

// While the engine works, events run: the open, next, save and delete commands are unavailable.
TEST_F(DocumentSessionTest, CommandAvailability)
{
    EXPECT_TRUE(session.CanOpen());
    EXPECT_FALSE(session.CanSave() || session.CanOpenNext() || session.CanDelete());

    session.OpenFiles({Write("a.rla"), Write("b.rla")});
    EXPECT_TRUE(session.CanSave() && session.CanOpenNext() && session.CanDelete() && session.CanOpen());
    session.SaveDocument();
    EXPECT_FALSE(session.CanSave());

    std::map<std::string, bool> whileBusy;
    monitor.onPump = [&]
    {
        whileBusy = {{"busy", session.IsBusy()},
                     {"open", session.CanOpen()},
                     {"next", session.CanOpenNext()},
                     {"save", session.CanSave()},
                     {"delete", session.CanDelete()}};
    };
    session.OpenNextDocument();
    EXPECT_EQ(whileBusy,
              (std::map<std::string, bool>{
                  {"busy", true}, {"open", false}, {"next", false}, {"save", false}, {"delete", false}}));
    EXPECT_FALSE(session.IsBusy());
}

TEST_F(DocumentSessionTest, ClosingAsksAboutAChangedDocument)
{
    EXPECT_TRUE(session.ConfirmSaveOnClose());
    const std::string path = Write("a.rla", kText);
    session.OpenFiles({path});

    prompter.Answer({PromptAnswer::Cancel, PromptAnswer::No, PromptAnswer::Yes});
    EXPECT_FALSE(session.ConfirmSaveOnClose());
    EXPECT_TRUE(session.ConfirmSaveOnClose());
    EXPECT_FALSE(fs::exists(folder / "a.bak"));
    EXPECT_TRUE(session.ConfirmSaveOnClose());
    EXPECT_EQ(prompter.m_questions, std::vector<std::string>(3, "Сохранить документ в файл " + path + "?"));
    EXPECT_EQ(TextOf(path), Processed(CpLines(kText)));
    EXPECT_TRUE(session.ConfirmSaveOnClose());
    EXPECT_EQ(prompter.m_questions.size(), 3u);
}

TEST_F(DocumentSessionTest, ShowingTheWindowStartsClean)
{
    session.TextChanged();
    session.WindowShown();
    EXPECT_FALSE(session.IsModified());
    EXPECT_EQ(session.Title(), "Тирвель");
}

TEST_F(DocumentSessionTest, SettingsToggleAndSurviveTheSettingsFile)
{
    session.ToggleAutoSaveOnNext();
    session.ToggleMakeBak();
    EXPECT_EQ(session.Settings(), (SessionSettings{true, false, false, ""}));

    const SessionSettings stored{true, false, true, "/srv/обработано"};
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    ASSERT_TRUE(WriteSessionSettings(folder / "Kestrel.ini", stored, words, kinds, prompter));
    EXPECT_EQ(ReadSessionSettings({folder / "Kestrel.ini"}, words, kinds), stored);
    EXPECT_EQ(ReadSessionSettings({folder / "missing.ini"}, words, kinds), SessionSettings());
}

} // namespace
