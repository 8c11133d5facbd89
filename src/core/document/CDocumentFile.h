#pragma once
// The open document: header lines, text lines and the loaded-text copy in memory form (code page
// 1251, single-line box characters as the codes 0x10-0x1C), read from and written to a .rla file
// (code page 866, CR LF). Saving never loses the document: the new content goes to a temporary file
// in the same folder that is renamed over the document only once it is complete and on disk.

#include "core/base/Reporter.h"
#include "core/document/DocumentDates.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// The largest document Load accepts. Holding a document takes about nine times its size in memory;
// a larger file is refused as too large (EFBIG) before anything is read.
inline constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t{1} << 30;

// A document that cannot be loaded: a folder, a missing or an unreadable file, one too large.
// what() is UTF-8 text naming the path and the system's reason.
class DocumentFileError : public std::runtime_error
{
public:
    DocumentFileError(const std::string& path, int errorNumber);
    const std::string& path() const { return m_path; }
    // The system's error text (strerror of errorNumber()).
    const std::string& systemError() const { return m_systemError; }
    int errorNumber() const { return m_errorNumber; }

private:
    std::string m_path;
    std::string m_systemError;
    int m_errorNumber;
};

class CDocumentFile
{
public:
    using TodayFunction = std::function<CalendarDate()>;

    explicit CDocumentFile(IReporter& reporter, TodayFunction today = SystemToday);

    // Replaces the content with the file at path. Throws DocumentFileError; the lists are then
    // empty and m_path is path. Any bytes load; 0x1A ends the content.
    void Load(const std::string& path);
    // Load for a caller whose saves leave the dates alone: KeepDates follows, and the loaded-text copy,
    // which only decides on the entry date, is not made (m_loadedText stays empty).
    void LoadKeepingDates(const std::string& path);
    // Writes the document to m_path, first bringing the $100/$101 dates up to date; with makeBackup
    // the previous file is copied to BackupPathFor(m_path) first (a failed backup is reported and
    // the save goes on). On failure reports "Ошибка сохранения файла %s!", leaves the file at m_path
    // as it was and returns false.
    bool Save(bool makeBackup);
    // Empties lists and path; no date is updated until the next Load.
    void Clear();
    // The next saves leave $100 and $101 alone.
    void KeepDates();
    // Brings $100/$101 up to date as a save does (at most once per load each).
    void UpdateDates();
    // Exactly the bytes Save writes now (without updating the dates).
    std::string FileBytes() const;

    // Moves a file over another one: a rename, or across file systems a copy (permission bits and
    // modification time kept) followed by removing the source. The destination is replaced only by
    // a complete copy. False when the move did not happen (or the source could not be removed).
    static bool MoveFileReplacing(const std::string& from, const std::string& to);
    // A.rla -> A.bak when the file's own name contains ".rla", else A.txt -> A.txt.bak; never the
    // path itself (x.rla.bak -> x.rla.bak.bak).
    static std::string BackupPathFor(const std::string& path);

    std::vector<std::string> m_headerLines;
    std::vector<std::string> m_textLines;
    std::vector<std::string> m_loadedText;
    std::string m_path;
    bool m_changeDateDone = true;
    bool m_entryDateDone = true;

private:
    // Load without the loaded-text copy.
    void LoadLines(const std::string& path);
    // Writes the file form of the lists to m_path (through a temporary file, as Save describes).
    bool WriteFile();

    IReporter& m_reporter;
    TodayFunction m_today;
};
