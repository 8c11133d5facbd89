#pragma once
// The four workflow settings as the document session uses them, and their place in the settings
// file: read once at start, written once at the end of the run, beside the two dictionaries.

#include <string>
#include <vector>

class CDocKindsList;
class CUpperCaseWordsDict;
class IReporter;

struct SessionSettings
{
    bool autoSaveOnNext = false; // save a changed document without asking when another one opens
    bool makeBak = true;         // make a backup at the first save after opening
    bool moveOnSave = false;     // move each document into the processed folder at its first save
    std::string processedFolder; // UTF-8, as the operator gave it

    bool operator==(const SessionSettings&) const = default;
};

// Reads the first of paths that can be read into settings and the dictionaries; a missing or short
// file leaves the defaults (backup on, auto-save off) without a message.
SessionSettings ReadSessionSettings(const std::vector<std::string>& paths, CUpperCaseWordsDict& words,
                                    CDocKindsList& kinds);
// Writes settings and the dictionaries to path; on failure reports "Ошибка сохранения служебных
// данных" and returns false.
bool WriteSessionSettings(const std::string& path, const SessionSettings& settings,
                          const CUpperCaseWordsDict& words, const CDocKindsList& kinds, IReporter& reporter);
