// --check -v lists under each document the file operations its writing would make, the plan a real
// run carries out, and leaves every file as it was.

#include "CliTestSupport.h"

namespace
{
using namespace cli_test;

TEST_F(CliToolTest, CheckListsThePlanOfEachDocument)
{
    const fs::path in = m_dir / "in";
    const fs::path done = m_dir / "done";
    const std::string law = ReadBytes(kSamples / "law_sections_articles.rla");
    WriteBytes(in / "law.rla", law);
    const std::string doc = (in / "law.rla").string();
    struct Case
    {
        const char* what;
        std::vector<std::string> options;
        std::string status;
        std::vector<std::string> plan;
    };
    const Case cases[] = {
        {"in place",
         {},
         "would change",
         {"save " + doc + ", its previous content kept as " + (in / "law.bak").string()}},
        {"in place without a backup", {"--no-backup"}, "would change", {"save " + doc}},
        {"moved, replacing what is there",
         {"--move-to", done.string(), "--replace"},
         "would change",
         {"move " + (done / "law.rla").string() + " to the trash",
          "copy " + doc + " to the backup " + (done / "law.bak").string(),
          "write " + (done / "law.rla").string(),
          "give " + (done / "law.rla").string() + " the owner and mode of " + doc,
          "remove " + doc + ", complete in " + (done / "law.rla").string()}},
        {"moved, refused for what is there",
         {"--move-to", done.string()},
         "failed",
         {"refused: " + (done / "law.rla").string() +
          " already holds a different file (--replace moves it to the trash)"}},
    };
    WriteBytes(done / "law.rla", "an earlier file");
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"--no-settings", "--check", "-v"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(doc);
        const RunResult run = RunTool(args);
        std::string listed;
        for (const std::string& line : c.plan)
            listed += "  " + line + "\n";
        EXPECT_NE(run.out.find(doc + ": " + c.status + "\n" + listed), std::string::npos) << run.out;
        EXPECT_EQ(ReadBytes(in / "law.rla"), law);
        EXPECT_EQ(ReadBytes(done / "law.rla"), "an earlier file");
        EXPECT_FALSE(fs::exists(in / "law.bak") || fs::exists(done / "law.bak"));
    }
}
} // namespace
