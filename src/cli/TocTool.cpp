#include "cli/TocTool.h"

#include "document/CDocumentFile.h"
#include "document/CodePage.h"
#include "document/Reporter.h"
#include "settings/FileBytes.h"
#include "settings/SettingsFile.h"
#include "toc/ProcessDocument.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string_view>
#include <system_error>

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
    return (base / "Local AppWizard-Generated Applications" / "Тирвель").string();
}

// Lines of a UTF-8 text file in memory form; LF or CR LF, no empty line from a final line end.
bool ReadUtf8Lines(const std::string& path, std::vector<std::string>& lines)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
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

// Messages of the engine and the document file, one line each, naming the document.
class DocumentReporter : public IReporter
{
public:
    DocumentReporter(const std::string& path, std::ostream& err) : m_path(path), m_err(err) {}
    void Report(std::string_view text, MessageIcon) override
    {
        std::string line(text);
        std::replace(line.begin(), line.end(), '\n', ' ');
        m_err << "tirvel-toc: " << m_path << ": " << line << '\n';
    }

private:
    const std::string& m_path;
    std::ostream& m_err;
};

// The bytes a save of the document writes, dates brought up to date as the save would: the document
// is saved into a private temporary file and read back.
bool SavedBytes(CDocumentFile& document, std::string& bytes, std::ostream& err, const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error) / ("tirvel-toc-" + std::to_string(::getpid()) +
                                                                 "-" + std::to_string(counter++) + ".rla");
    if (error)
    {
        err << "tirvel-toc: " << path << ": no temporary folder: " << error.message() << '\n';
        return false;
    }
    const std::string original = document.m_path;
    document.m_path = temporary.string();
    const bool saved = document.Save(false) && ReadFileBytes(document.m_path, bytes);
    fs::remove(temporary, error);
    document.m_path = original;
    return saved;
}

bool WriteToStdout(std::ostream& out, const std::string& bytes, std::ostream& err, const std::string& path)
{
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (out)
        return true;
    err << "tirvel-toc: " << path << ": cannot write to standard output\n";
    return false;
}

bool SaveInto(CDocumentFile& document, const std::string& dir, const std::string& path, std::ostream& err)
{
    std::error_code error;
    fs::create_directories(dir, error);
    if (error)
    {
        err << "tirvel-toc: " << dir << ": cannot create the output folder: " << error.message() << '\n';
        return false;
    }
    document.m_path = (fs::path(dir) / fs::path(path).filename()).string();
    return document.Save(false);
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
        if (!ReadFileBytes(options.settingsFile, bytes))
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
    setup.makeBackup = settings.m_makeBak != 0 && !options.noBackup;

    if (!options.kindsFile.empty())
    {
        std::vector<std::string> kinds;
        if (!ReadUtf8Lines(options.kindsFile, kinds))
        {
            err << "tirvel-toc: " << options.kindsFile << ": cannot read the kinds file\n";
            return std::nullopt;
        }
        // As the editor imports kinds: every line not yet in the list, as it stands.
        for (std::string& kind : kinds)
            if (std::find(setup.kinds.m_kinds.begin(), setup.kinds.m_kinds.end(), kind) ==
                setup.kinds.m_kinds.end())
                setup.kinds.m_kinds.push_back(std::move(kind));
    }
    if (!options.wordsFile.empty())
    {
        std::vector<std::string> words;
        if (!ReadUtf8Lines(options.wordsFile, words))
        {
            err << "tirvel-toc: " << options.wordsFile << ": cannot read the words file\n";
            return std::nullopt;
        }
        std::vector<CUpperCaseWordsRec>& userWords = setup.words.m_userWords;
        for (std::string& word : words)
        {
            if (word.empty() ||
                std::any_of(userWords.begin(), userWords.end(),
                            [&word](const CUpperCaseWordsRec& entry) { return entry.m_word == word; }))
                continue;
            userWords.emplace_back(std::move(word));
        }
    }
    return setup;
}

std::vector<std::string> ExpandDocumentPaths(const std::vector<std::string>& paths)
{
    std::vector<std::string> documents;
    for (const std::string& path : paths)
    {
        std::error_code error;
        if (!fs::is_directory(path, error))
        {
            documents.push_back(path);
            continue;
        }
        std::vector<std::string> inFolder;
        for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
            if (entry.path().extension() == ".rla" && !entry.is_directory(error))
                inFolder.push_back(entry.path().string());
        if (error)
        {
            // Unreadable folder: named as a document, its load then reports why.
            documents.push_back(path);
            continue;
        }
        std::sort(inFolder.begin(), inFolder.end());
        documents.insert(documents.end(), inFolder.begin(), inFolder.end());
    }
    return documents;
}

DocumentOutcome ProcessOneDocument(const std::string& path, const TocToolOptions& options,
                                   const TocToolSetup& setup, std::ostream& out, std::ostream& err)
{
    DocumentReporter reporter(path, err);
    CDocumentFile document(reporter);
    try
    {
        document.Load(path);
    }
    catch (const DocumentFileError& error)
    {
        err << "tirvel-toc: " << error.what() << '\n';
        return DocumentOutcome::Failed;
    }

    const ProcessResult result = ProcessDocument(document.m_textLines, setup.words, setup.kinds, reporter);
    if (result.refused)
    {
        // The document stays as it is; wherever output goes, the document goes there as loaded.
        document.KeepDates();
        bool written = true;
        if (options.toStdout)
            written = WriteToStdout(out, document.FileBytes(), err, path);
        else if (!options.outputDir.empty())
            written = SaveInto(document, options.outputDir, path, err);
        return written ? DocumentOutcome::Refused : DocumentOutcome::Failed;
    }

    document.m_textLines = result.lines;
    if (options.keepDates)
        document.KeepDates();
    bool written = false;
    if (options.toStdout)
    {
        std::string bytes;
        if (options.keepDates)
            bytes = document.FileBytes();
        written = (options.keepDates || SavedBytes(document, bytes, err, path)) &&
                  WriteToStdout(out, bytes, err, path);
    }
    else if (!options.outputDir.empty())
        written = SaveInto(document, options.outputDir, path, err);
    else
        written = document.Save(setup.makeBackup);
    return written ? DocumentOutcome::Processed : DocumentOutcome::Failed;
}
