// The move into the processed folder writes there first and removes the file last: a move that
// cannot finish never leaves the document, or another program's edit of it, half-way.

#include "SessionTestSupport.h"

#include "support/PermissionsEnforced.h"

#include <cstring>

namespace
{
// The processed folder cannot be written: nothing lands there, the reason is given, and the
// document is saved where it is with its backup.
TEST_F(DocumentSessionTest, AMoveThatCannotWriteSavesInPlace)
{
    const std::string a = Write("in/a.rla", kText);
    const std::string original = ReadBytes(a);
    fs::create_directory(folder / "done");
    Configure(false, true, folder / "done");
    session.OpenFiles({a});

    fs::permissions(folder / "done", fs::perms::owner_read | fs::perms::owner_exec);
    {
        PermissionsEnforced asOperator;
        session.SaveDocument();
    }
    fs::permissions(folder / "done", fs::perms::owner_all);
    EXPECT_EQ(prompter.m_messages,
              (std::vector<CScriptedPrompter::Message>{{kMoveFailed, MessageIcon::Error}}));
    ASSERT_EQ(prompter.m_reasons.size(), 1u);
    EXPECT_EQ(prompter.m_reasons[0], folder / "done/a.bak" + ": " + std::strerror(EACCES));
    EXPECT_TRUE(fs::is_empty(folder / "done"));
    EXPECT_EQ(TextOf(a), Processed(CpLines(kText)));
    EXPECT_EQ(ReadBytes(folder / "in/a.bak"), original);
    EXPECT_EQ(session.CurrentPath(), a);
    EXPECT_FALSE(session.IsModified());
}

// Another program changed the file after it was opened: it is neither moved nor written over, and
// the operator's text stays in the editor, still to be saved.
TEST_F(DocumentSessionTest, AFileChangedByAnotherProgramIsNotMoved)
{
    const std::string a = Write("in/a.rla", kText);
    fs::create_directory(folder / "done");
    Configure(false, true, folder / "done");
    session.OpenFiles({a});
    const std::string edited = ReadBytes(a) + "\r\nправка другой программы";
    WriteBytes(a, edited);

    session.SaveDocument();
    ASSERT_FALSE(prompter.m_messages.empty());
    EXPECT_TRUE(prompter.m_messages[0].text.starts_with("Файл " + a + " изменён другой программой"))
        << prompter.m_messages[0].text;
    EXPECT_EQ(ReadBytes(a), edited);
    EXPECT_TRUE(fs::is_empty(folder / "done"));
    EXPECT_FALSE(fs::exists(folder / "in/a.bak"));
    EXPECT_EQ(session.CurrentPath(), a);
    EXPECT_TRUE(session.IsModified());
}
} // namespace
