// tirvel-toc --dump-items-after STEP FILE: what the recognition holds after one step, read from a
// document that stays as it was.

#include "CliTestSupport.h"

using namespace cli_test;

namespace
{
class ItemDump : public CliToolTest
{
protected:
    void SetUp() override
    {
        const std::string zag = "\x04\x04ЗАГ" + std::string(61, '-');
        const std::string end = "\x04\x04!!!" + std::string(61, '-');
        m_document = m_dir / "code.rla";
        WriteBytes(m_document, File866("$18  Текст документа\r\n" + zag + "\r\nУголовный кодекс\r\n" + end +
                                       "\r\n\r\nГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ\r\n\r\nСтатья 1. Задачи\r\n\r\n"
                                       "Текст статьи.\r\n\r\nСтатья 2. При-\r\nнципы\r\n\r\nТекст статьи."));
    }

    RunResult Dump(const std::string& step, bool extended = true) const
    {
        std::vector<std::string> args = {"--no-settings", "--dump-items-after", step, m_document.string()};
        if (extended)
            args.insert(args.begin(), "--extended");
        return RunTool(args);
    }

    fs::path m_document;
};

// The items after a step, and after a later one: each with its line in the text, its kind, its level
// and its entry lines as they stand then. The document is only read.
TEST_F(ItemDump, TheItemsAfterTheNamedStepArePrintedAndNothingIsWritten)
{
    const std::string document = ReadBytes(m_document);

    const RunResult collected = Dump("collect-plain-headings");
    EXPECT_EQ(collected.status, 0) << collected.err;
    EXPECT_EQ(collected.err, "");
    EXPECT_EQ(collected.out, "line 0, kind 0 (document), level -1\n"
                             "    Уголовный кодекс\n"
                             "line 4, kind 4 (chapter), level -1\n"
                             "    ГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ\n"
                             "line 6, kind 10 (article), level -1\n"
                             "    Статья 1. Задачи\n"
                             "line 10, kind 10 (article), level -1\n"
                             "    Статья 2. При-\n"
                             "    нципы\n");

    const RunResult levelled = Dump("assign-levels");
    EXPECT_EQ(levelled.status, 0) << levelled.err;
    EXPECT_EQ(levelled.out, "line 0, kind 0 (document), level 0\n"
                            "    Уголовный кодекс\n"
                            "line 4, kind 4 (chapter), level 1\n"
                            "    ГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ\n"
                            "line 6, kind 10 (article), level 2\n"
                            "    Статья 1. Задачи\n"
                            "line 10, kind 10 (article), level 2\n"
                            "    Статья 2. При- нципы\n");

    EXPECT_EQ(ReadBytes(m_document), document);
    EXPECT_EQ(NamesIn(m_dir), (std::vector<std::string>{"code.rla", "stderr", "stdout"}));
}

// A step the recognition never comes to, and a document that cannot be read, fail with the reason.
TEST_F(ItemDump, AStepNotReachedOrADocumentNotReadIsAFailureWithItsReason)
{
    const RunResult standard = Dump("collect-plain-headings", false);
    EXPECT_EQ(standard.status, 1);
    EXPECT_EQ(standard.out, "");
    EXPECT_NE(standard.err.find("did not reach collect-plain-headings: the step runs with --extended only"),
              std::string::npos)
        << standard.err;

    // The standard passes find nothing in a plain text: the recognition ends before the layout.
    const RunResult alone = Dump("lay-out-entries", false);
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.err.find("fewer than two items were left after drop-lone-root"), std::string::npos)
        << alone.err;

    fs::remove(m_document);
    const RunResult missing = Dump("assign-levels");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("tirvel-toc: "), std::string::npos);
    EXPECT_NE(missing.err.find(m_document.string()), std::string::npos) << missing.err;
}

TEST_F(ItemDump, AnUnknownStepIsAUsageError)
{
    const RunResult unknown = Dump("levels");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("no recognition step levels"), std::string::npos) << unknown.err;
}
} // namespace
