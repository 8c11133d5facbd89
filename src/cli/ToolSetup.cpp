#include "cli/ToolSetup.h"

#include "core/base/CodePage.h"
#include "core/base/FileIO.h"
#include "core/workflow/SettingsFile.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// Where the editor keeps its settings when the folder of the programs is not writable: its
// application configuration folder, named after the editor's organisation and application names.
std::string EditorConfigDir()
{
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    else
        return {};
    return (base / kProfileOrganisation / kProfileApplication).string();
}

// Lines of a UTF-8 text file in memory form; LF or CR LF, no empty line from a final line end.
bool ReadUtf8Lines(const std::string& path, std::vector<std::string>& lines)
{
    std::string bytes;
    if (ReadWholeFile(path, kMaxSmallFileBytes, bytes).errorNumber != 0)
        return false;
    std::string_view text(bytes);
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    while (!text.empty())
    {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(Utf8ToCp1251(line));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return true;
}
} // namespace

std::optional<TocToolSetup> LoadToolSetup(const TocToolOptions& options, const std::string& exeDir,
                                          std::ostream& err)
{
    TocToolSetup setup;
    WorkflowSettings settings;
    if (!options.settingsFile.empty())
    {
        std::string bytes;
        if (ReadWholeFile(options.settingsFile, kMaxSmallFileBytes, bytes).errorNumber != 0)
        {
            err << "tirvel-toc: " << options.settingsFile << ": cannot read the settings file\n";
            return std::nullopt;
        }
        if (ReadSettingsBytes(bytes, settings, setup.words, setup.kinds) != SettingsReadResult::Complete)
        {
            err << "tirvel-toc: " << options.settingsFile << ": the settings file is damaged\n";
            return std::nullopt;
        }
    }
    else if (!options.noSettings)
    {
        // The editor's settings when there are any; a damaged file is used as far as the editor
        // itself would use it.
        ReadSettingsFile(SettingsReadPaths(exeDir, EditorConfigDir()), settings, setup.words, setup.kinds);
    }
    setup.makeBackup = settings.makeBak != 0 && !options.noBackup;

    if (!options.kindsFile.empty())
    {
        std::vector<std::string> kinds;
        if (!ReadUtf8Lines(options.kindsFile, kinds))
        {
            err << "tirvel-toc: " << options.kindsFile << ": cannot read the kinds file\n";
            return std::nullopt;
        }
        // As the editor imports kinds: every line not yet in the list, as it stands.
        setup.kinds.AppendNewKinds(std::move(kinds));
    }
    if (!options.wordsFile.empty())
    {
        std::vector<std::string> words;
        if (!ReadUtf8Lines(options.wordsFile, words))
        {
            err << "tirvel-toc: " << options.wordsFile << ": cannot read the words file\n";
            return std::nullopt;
        }
        setup.words.AddUserWords(std::move(words));
    }
    return setup;
}
