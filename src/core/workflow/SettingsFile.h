#pragma once
// The settings file "Kestrel.ini": a binary archive holding the four workflow settings, then the
// capitalised-words dictionary, then the document-kinds list.
//
// Where it lives: next to the executable when that folder is writable, else in the user's
// configuration folder (the application's XDG config folder, created when needed). Reading looks
// first where writing would go, then in the other place, so what was written is what is read.

#include <cstdint>
#include <string>
#include <vector>

class CDocKindsList;
class CUpperCaseWordsDict;
class IReporter;

inline constexpr const char* kSettingsFileName = "Kestrel.ini";
// The names the editor's per-user profile and configuration folder go by (UTF-8); the batch tool
// finds the editor's settings through them.
inline constexpr const char* kProfileOrganisation = "Local AppWizard-Generated Applications";
inline constexpr const char* kProfileApplication = "Тирвель";

// The editor's workflow settings, with the values it starts with.
struct WorkflowSettings
{
    std::int32_t autoSaveOnNext = 0; // save a changed document without asking before the next
    std::int32_t makeBak = 1;        // create .bak files when saving
    std::int32_t moveOnSave = 0;     // move documents into the processed folder at their first save
    std::string processedFolder;     // code page 1251

    bool operator==(const WorkflowSettings&) const = default;
};

// How far reading got. Whatever the result, the settings and dictionaries hold usable values.
enum class SettingsReadResult
{
    Complete,
    // No file could be read, or it ended inside the four workflow fields: .bak is on, auto-save
    // off, fields read before the end keep their values, the dictionaries are untouched.
    WorkflowIncomplete,
    // The dictionary blocks are damaged or cut: the words read so far stay, the kinds are emptied.
    DictionariesIncomplete,
};

// The path writing uses: exeDir/Kestrel.ini when exeDir is a writable folder, else
// configDir/Kestrel.ini.
std::string SettingsWritePath(const std::string& exeDir, const std::string& configDir);
// The paths reading tries, in order: the write path, then the other place.
std::vector<std::string> SettingsReadPaths(const std::string& exeDir, const std::string& configDir);

// Reads the settings from the first of paths that can be read; never reports anything.
SettingsReadResult ReadSettingsFile(const std::vector<std::string>& paths, WorkflowSettings& settings,
                                    CUpperCaseWordsDict& words, CDocKindsList& kinds);
// Reads the settings from bytes as stored in the file, by the same rules.
SettingsReadResult ReadSettingsBytes(const std::string& bytes, WorkflowSettings& settings,
                                     CUpperCaseWordsDict& words, CDocKindsList& kinds);

// The file's bytes for the given settings.
std::string SettingsBytes(const WorkflowSettings& settings, const CUpperCaseWordsDict& words,
                          const CDocKindsList& kinds);
// Writes the file all at once (a failed write leaves any old file as it was), creating its folder
// when missing. On failure reports "Ошибка сохранения служебных данных" and returns false.
bool WriteSettingsFile(const std::string& path, const WorkflowSettings& settings,
                       const CUpperCaseWordsDict& words, const CDocKindsList& kinds, IReporter& reporter);
