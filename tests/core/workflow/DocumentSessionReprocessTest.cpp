// Processing the open document again: the file is read afresh with the options of now, a changed
// text is asked about first, and the backup and the move the first save owes are left as they were.

#include "SessionTestSupport.h"

namespace
{
class ReprocessTest : public DocumentSessionTest
{
protected:
    ReprocessTest()
    {
        recognizer = [this](const CTextLines& lines, IReporter& reporter,
                            const std::function<void()>& pump, const RecognitionOptions& options)
        {
            extendedRuns.push_back(options.extended);
            return AddBlock(lines, reporter, pump, options);
        };
    }

    std::vector<bool> extendedRuns;
};

TEST_F(ReprocessTest, ReadsTheFileAgainWithTheOptionsOfNow)
{
    const std::string path = Write("a.rla", kText);
    const std::string original = ReadBytes(path);
    session.OpenFiles({path, Write("b.rla")});
    editor.lines.PushBack(Cp("правка оператора"));
    session.TextChanged();
    session.SetRecognition({true});

    prompter.Answer({PromptAnswer::No});
    session.ReprocessDocument();
    EXPECT_EQ(prompter.m_questions, (std::vector<std::string>{kLeaveQuestion}));
    EXPECT_EQ(extendedRuns, (std::vector<bool>{false, true}));
    EXPECT_EQ(editor.lines, Processed(CpLines(kText)));
    EXPECT_EQ(session.CurrentPath(), path);
    EXPECT_TRUE(session.IsModified() && session.CanSave());
    EXPECT_EQ(session.PendingFiles(), (std::deque<std::string>{folder / "b.rla"}));
    EXPECT_EQ(monitor.started, 2);
    EXPECT_EQ(monitor.ended, 2);
    EXPECT_EQ(ReadBytes(path), original);

    // The first save still makes the backup of the file as it was opened.
    session.SaveDocument();
    EXPECT_EQ(ReadBytes(folder / "a.bak"), original);
}

// Auto-save or not, a changed text is asked about: Cancel keeps everything, Yes saves first (the
// backup was made then, and the reprocess owes no new one), and a failed save reads nothing over.
TEST_F(ReprocessTest, AsksAboutAChangedTextAndKeepsTheFirstSaveRule)
{
    const std::string path = Write("a.rla", kText);
    const std::string original = ReadBytes(path);
    Configure(true, false, "");
    session.OpenFiles({path});
    const CTextLines opened = editor.lines;

    prompter.Answer({PromptAnswer::Cancel});
    session.ReprocessDocument();
    EXPECT_EQ(editor.lines, opened);
    EXPECT_EQ(extendedRuns.size(), 1U);
    EXPECT_EQ(ReadBytes(path), original);

    prompter.Answer({PromptAnswer::Yes});
    session.ReprocessDocument();
    EXPECT_EQ(prompter.m_questions, (std::vector<std::string>{kLeaveQuestion, kLeaveQuestion}));
    EXPECT_EQ(extendedRuns.size(), 2U);
    EXPECT_EQ(TextOf(path), Processed(CpLines(kText)));
    EXPECT_EQ(editor.lines, Processed(Processed(CpLines(kText))));
    session.SaveDocument();
    EXPECT_EQ(ReadBytes(folder / "a.bak"), original);

    // The file cannot be written now: the operator's text stays in the editor.
    editor.lines = {Cp("несохранённый текст")};
    session.TextChanged();
    fs::remove(path);
    fs::create_directory(path);
    prompter.Answer({PromptAnswer::Yes});
    session.ReprocessDocument();
    EXPECT_EQ(editor.lines, (std::vector<std::string>{Cp("несохранённый текст")}));
    EXPECT_EQ(extendedRuns.size(), 2U);
    EXPECT_TRUE(session.IsModified());
}

TEST_F(ReprocessTest, AvailableWithAnOpenDocumentWhenNotBusy)
{
    EXPECT_FALSE(session.CanReprocess());
    session.ReprocessDocument();
    EXPECT_TRUE(extendedRuns.empty());

    const std::string path = Write("a.rla");
    session.OpenFiles({path});
    EXPECT_TRUE(session.CanReprocess());
    bool availableWhileBusy = true;
    monitor.onPump = [&] { availableWhileBusy = session.CanReprocess(); };
    prompter.Answer({PromptAnswer::No});
    session.ReprocessDocument();
    EXPECT_FALSE(availableWhileBusy);
    EXPECT_FALSE(session.IsBusy());

    // The file went away meanwhile: it is reported, and nothing of it stays open.
    monitor.onPump = {};
    fs::remove(path);
    prompter.Answer({PromptAnswer::No});
    session.ReprocessDocument();
    EXPECT_EQ(prompter.m_messages.back().text, "Ошибка открытия файла " + path);
    EXPECT_TRUE(session.CurrentPath().empty());
    EXPECT_FALSE(session.CanReprocess() || session.IsBusy());
}
} // namespace
