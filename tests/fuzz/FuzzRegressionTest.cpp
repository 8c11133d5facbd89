// Inputs that once broke a fuzz harness, kept under data/<harness>/ and run through the same checks.

#include "../../fuzz/FuzzChecks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryKeptInputPassesItsHarnessChecks)
{
    using Check = std::string (*)(std::string_view);
    const std::pair<const char*, Check> harnesses[] = {
        {"document", fuzzchecks::CheckDocument},        {"settings", fuzzchecks::CheckSettings},
        {"kinds_import", fuzzchecks::CheckKindsImport}, {"entries", fuzzchecks::CheckEntryCommands},
        {"case", fuzzchecks::CheckCaseConversion},
    };
    const fs::path data = fs::path(TIRVEL_SOURCE_DIR) / "fuzz/regressions";
    std::size_t inputs = 0;
    for (const auto& [harness, check] : harnesses)
    {
        if (!fs::is_directory(data / harness))
            continue;
        for (const auto& entry : fs::directory_iterator(data / harness))
        {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            EXPECT_EQ(check(bytes), "") << entry.path();
            ++inputs;
        }
    }
    EXPECT_GT(inputs, 0u) << "no regression inputs found under " << data;
}
