// Writes the settings file the end-to-end test starts with: move on save into the given folder.
// Usage: e2e_write_settings <Kestrel.ini> <processed folder>

#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/workflow/SettingsFile.h"

#include <iostream>

namespace
{
class StderrReporter : public IReporter
{
public:
    void Report(std::string_view text, MessageIcon) override { std::cerr << text << '\n'; }
};
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3)
    {
        std::cerr << "usage: e2e_write_settings <Kestrel.ini> <processed folder>\n";
        return 2;
    }
    WorkflowSettings settings;
    settings.moveOnSave = 1;
    settings.processedFolder = Utf8ToCp1251(argv[2]);
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    StderrReporter reporter;
    return WriteSettingsFile(argv[1], settings, words, kinds, reporter) ? 0 : 1;
}
