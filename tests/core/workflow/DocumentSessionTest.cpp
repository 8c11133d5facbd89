// The folder workflow without a window: the queue, opening with processing, the questions on
// leaving a changed document, command availability and the busy rules while a document is processed.

#include "SessionTestSupport.h"

namespace
{
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
        editor.lines.PushBack(Cp("правка"));
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
                               [](const CTextLines&, IReporter&,
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

// A text the engine refuses is shown as it was loaded, and is no change: there is nothing to save.
TEST_F(DocumentSessionTest, RefusedTextIsShownAsLoaded)
{
    recognizer = [](const CTextLines& lines, IReporter& reporter, const std::function<void()>&,
                    const RecognitionOptions&)
    {
        reporter.Report("отказ", MessageIcon::Error);
        return ProcessResult{lines, true, 0};
    };
    session.OpenFiles({Write("a.rla", kText)});
    EXPECT_EQ(editor.lines, CpLines(kText));
    EXPECT_EQ(prompter.m_messages, (std::vector<CScriptedPrompter::Message>{{"отказ", MessageIcon::Error}}));
    EXPECT_FALSE(session.CanSave());
}

// The recognition reads each document with the options set when it is opened, and whoever listens
// hears how many entries it got; a file that fails to load is not reported as processed.
TEST_F(DocumentSessionTest, RecognitionOptionsAndResultPassThrough)
{
    std::vector<bool> extendedRuns;
    recognizer = [&](const CTextLines& lines, IReporter& reporter,
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
