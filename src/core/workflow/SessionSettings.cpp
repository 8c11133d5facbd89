#include "core/workflow/SessionSettings.h"

#include "core/base/CodePage.h"
#include "core/workflow/SettingsFile.h"

SessionSettings ReadSessionSettings(const std::vector<std::string>& paths, CUpperCaseWordsDict& words,
                                    CDocKindsList& kinds)
{
    WorkflowSettings stored;
    ReadSettingsFile(paths, stored, words, kinds);
    SessionSettings settings;
    settings.autoSaveOnNext = stored.autoSaveOnNext != 0;
    settings.makeBak = stored.makeBak != 0;
    settings.moveOnSave = stored.moveOnSave != 0;
    // The file keeps the folder in code page 1251; the file system speaks UTF-8.
    settings.processedFolder = Cp1251ToUtf8(stored.processedFolder);
    return settings;
}

bool WriteSessionSettings(const std::string& path, const SessionSettings& settings,
                          const CUpperCaseWordsDict& words, const CDocKindsList& kinds, IReporter& reporter)
{
    WorkflowSettings stored;
    stored.autoSaveOnNext = settings.autoSaveOnNext ? 1 : 0;
    stored.makeBak = settings.makeBak ? 1 : 0;
    stored.moveOnSave = settings.moveOnSave ? 1 : 0;
    stored.processedFolder = Utf8ToCp1251(settings.processedFolder);
    return WriteSettingsFile(path, stored, words, kinds, reporter);
}
