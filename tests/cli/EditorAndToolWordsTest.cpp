// A failure reads the same in the editor and in the tool: the editor's message box shows its own
// first line and below it exactly what tirvel-toc prints after its name.

#include "CliTestSupport.h"

#include "core/base/FileError.h"
#include "core/workflow/SessionTestSupport.h"
#include "support/FileSizeLimit.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include <sys/stat.h>

namespace
{
using namespace cli_test;

// What the tool printed last after its name ("tirvel-toc: "); empty when its last line is not its own.
std::string ToolWords(const RunResult& tool)
{
    if (!tool.err.ends_with("\n"))
        return {};
    const std::size_t lastLine = tool.err.rfind('\n', tool.err.size() - 2) + 1;
    const std::string_view prefix = "tirvel-toc: ";
    if (tool.err.compare(lastLine, prefix.size(), prefix) != 0)
        return {};
    return tool.err.substr(lastLine + prefix.size(), tool.err.size() - lastLine - prefix.size() - 1);
}

// The editor's session around fakes, and what its last message box showed.
struct Editor
{
    std::string LastBoxShown() const
    {
        return prompter.m_reasons.empty() ? std::string()
                                          : MessageWithReason(prompter.m_messages.back().text,
                                                              prompter.m_reasons.back());
    }

    CScriptedPrompter prompter;
    FakeEditor editor;
    FakeTrash trash;
    FakeMonitor monitor;
    CDocumentSession session{editor, prompter, trash, monitor, AddBlock};
};

TEST_F(CliToolTest, AFileThatCannotBeOpenedReadsTheSameInTheEditorAndTheTool)
{
    const std::string pipe = (m_dir / "pipe.rla").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {(m_dir / "missing.rla").string(), pipe})
    {
        SCOPED_TRACE(path);
        const RunResult tool = RunTool({"--no-settings", "-q", path});
        EXPECT_EQ(tool.status, 1);
        const std::string toolWords = ToolWords(tool);
        ASSERT_EQ("tirvel-toc: " + toolWords + "\n", tool.err);

        Editor editor;
        editor.session.OpenFiles({path});
        EXPECT_EQ(editor.prompter.m_reasons.size(), 1u);
        EXPECT_EQ(editor.LastBoxShown(), "Ошибка открытия файла " + path + "\n" + toolWords);
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
        toolWords = ToolWords(tool);
    }
    EXPECT_EQ(toolWords, path + ": cannot write the document: " + std::strerror(EFBIG));
    EXPECT_EQ(ReadBytes(path), original);

    Editor editor;
    editor.session.OpenFiles({path});
    ASSERT_TRUE(editor.prompter.m_messages.empty());
    {
        FileSizeLimit disk(original.size());
        editor.session.SaveDocument();
    }
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(editor.prompter.m_reasons.size(), 1u);
    EXPECT_EQ(editor.LastBoxShown(), "Ошибка сохранения файла " + path + "!\n" + toolWords);
}
} // namespace
