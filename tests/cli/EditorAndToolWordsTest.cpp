// A failure reads the same in the editor and in the tool: the editor's message box shows its own
// first line and below it exactly what tirvel-toc prints after its name.

#include "CliTestSupport.h"

#include "core/base/FileError.h"
#include "core/workflow/SessionTestSupport.h"
#include "support/FileSizeLimit.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace
{
using namespace cli_test;

TEST_F(CliToolTest, AFileThatCannotBeOpenedReadsTheSameInTheEditorAndTheTool)
{
    const std::string pipe = (m_dir / "pipe.rla").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {(m_dir / "missing.rla").string(), pipe})
    {
        SCOPED_TRACE(path);
        const RunResult tool = RunTool({"--no-settings", "-q", path});
        EXPECT_EQ(tool.status, 1);
        ASSERT_TRUE(tool.err.starts_with("tirvel-toc: ") && tool.err.ends_with("\n")) << tool.err;
        const std::string toolWords = tool.err.substr(12, tool.err.size() - 13);

        CScriptedPrompter prompter;
        FakeEditor editor;
        FakeTrash trash;
        FakeMonitor monitor;
        CDocumentSession session(editor, prompter, trash, monitor, AddBlock);
        session.OpenFiles({path});
        ASSERT_EQ(prompter.m_reasons.size(), 1u);
        EXPECT_EQ(MessageWithReason(prompter.m_messages.front().text, prompter.m_reasons.front()),
                  "Ошибка открытия файла " + path + "\n" + toolWords);
    }
}

// A disk too full for the processed document: the save fails in both, the file stays as it was, and
// the editor shows below its own line what the tool prints last.
TEST_F(CliToolTest, ASaveThatFailsReadsTheSameInTheEditorAndTheTool)
{
    const std::string path = (m_dir / "law.rla").string();
    const std::string original = ReadBytes(kSamples / "law_sections_articles.rla");
    WriteBytes(path, original);

    std::string toolWords;
    {
        FileSizeLimit disk(original.size());
        const RunResult tool = RunTool({"--no-settings", "-q", path});
        EXPECT_EQ(tool.status, 1);
        ASSERT_TRUE(tool.err.ends_with("\n")) << tool.err;
        const std::size_t lastLine = tool.err.rfind('\n', tool.err.size() - 2) + 1;
        ASSERT_EQ(tool.err.compare(lastLine, 12, "tirvel-toc: "), 0) << tool.err;
        toolWords = tool.err.substr(lastLine + 12, tool.err.size() - lastLine - 13);
    }
    EXPECT_EQ(ReadBytes(path), original);

    CScriptedPrompter prompter;
    FakeEditor editor;
    FakeTrash trash;
    FakeMonitor monitor;
    CDocumentSession session(editor, prompter, trash, monitor, AddBlock);
    session.OpenFiles({path});
    ASSERT_TRUE(prompter.m_messages.empty());
    {
        FileSizeLimit disk(original.size());
        session.SaveDocument();
    }
    EXPECT_EQ(ReadBytes(path), original);
    ASSERT_EQ(prompter.m_reasons.size(), 1u);
    EXPECT_EQ(MessageWithReason(prompter.m_messages.back().text, prompter.m_reasons.front()),
              "Ошибка сохранения файла " + path + "!\n" + toolWords);
    EXPECT_EQ(toolWords, path + ": cannot write the document: " + std::strerror(EFBIG));
}
} // namespace
