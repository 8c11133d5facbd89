#include "core/workflow/SettingsFile.h"

#include "core/base/CArchive.h"
#include "core/base/FileError.h"
#include "core/base/FileIO.h"
#include "core/base/FileSystem.h"
#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace
{

std::string InFolder(const std::string& folder, const char* name)
{
    return (std::filesystem::path(folder) / name).string();
}

// The four workflow fields; a failure leaves the fields not yet read as they were.
bool ReadWorkflow(CArchive& ar, WorkflowSettings& settings)
{
    try
    {
        settings.autoSaveOnNext = ar.ReadInt32();
        settings.makeBak = ar.ReadInt32();
        settings.moveOnSave = ar.ReadInt32();
        settings.processedFolder = ar.ReadString();
        return true;
    }
    catch (const CArchiveException&)
    {
        return false;
    }
}

void ForceSafeWorkflow(WorkflowSettings& settings)
{
    settings.makeBak = 1;
    settings.autoSaveOnNext = 0;
}

} // namespace

std::string SettingsWritePath(const std::string& exeDir, const std::string& configDir)
{
    return InFolder(IsWritableFolder(exeDir) ? exeDir : configDir, kSettingsFileName);
}

std::vector<std::string> SettingsReadPaths(const std::string& exeDir, const std::string& configDir)
{
    const std::string besideExe = InFolder(exeDir, kSettingsFileName);
    const std::string inConfig = InFolder(configDir, kSettingsFileName);
    if (IsWritableFolder(exeDir))
        return {besideExe, inConfig};
    // A read-only install may ship a settings file; it serves only until the user's own exists.
    return {inConfig, besideExe};
}

SettingsReadResult ReadSettingsBytes(const std::string& bytes, WorkflowSettings& settings,
                                     CUpperCaseWordsDict& words, CDocKindsList& kinds)
{
    CArchive ar(bytes);
    if (!ReadWorkflow(ar, settings))
    {
        ForceSafeWorkflow(settings);
        return SettingsReadResult::WorkflowIncomplete;
    }
    try
    {
        words.Serialize(ar);
        kinds.Serialize(ar);
        return SettingsReadResult::Complete;
    }
    catch (const CArchiveException&)
    {
        kinds.Clear();
        return SettingsReadResult::DictionariesIncomplete;
    }
}

SettingsReadResult ReadSettingsFile(const std::vector<std::string>& paths, WorkflowSettings& settings,
                                    CUpperCaseWordsDict& words, CDocKindsList& kinds)
{
    std::string bytes;
    for (const std::string& path : paths)
    {
        if (ReadWholeFile(path, kMaxSmallFileBytes, bytes).errorNumber == 0)
            return ReadSettingsBytes(bytes, settings, words, kinds);
    }
    ForceSafeWorkflow(settings);
    return SettingsReadResult::WorkflowIncomplete;
}

std::string SettingsBytes(const WorkflowSettings& settings, const CUpperCaseWordsDict& words,
                          const CDocKindsList& kinds)
{
    CArchive ar;
    ar.WriteInt32(settings.autoSaveOnNext);
    ar.WriteInt32(settings.makeBak);
    ar.WriteInt32(settings.moveOnSave);
    ar.WriteString(settings.processedFolder);
    // Serialize is one operation for both directions and so takes its object as changeable.
    CUpperCaseWordsDict wordsCopy = words;
    CDocKindsList kindsCopy = kinds;
    wordsCopy.Serialize(ar);
    kindsCopy.Serialize(ar);
    return ar.Bytes();
}

bool WriteSettingsFile(const std::string& path, const WorkflowSettings& settings,
                       const CUpperCaseWordsDict& words, const CDocKindsList& kinds, IReporter& reporter)
{
    FileError failure{FileAction::Save, path, 0, {}};
    try
    {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        std::error_code error;
        if (!folder.empty())
            std::filesystem::create_directories(folder, error);
        if (WriteFileAtomically(path, SettingsBytes(settings, words, kinds)))
            return true;
        failure.errorNumber = errno != 0 ? errno : EIO;
    }
    catch (const CArchiveException& tooLarge)
    {
        failure.reason = tooLarge.what();
    }
    reporter.ReportWithReason("Ошибка сохранения служебных данных", FileErrorText(failure), MessageIcon::Error);
    return false;
}
