#pragma once
// The properties every input must keep, one check per input the program reads. The fuzz harnesses
// run them on generated inputs and abort on a failure; the regression tests run them on the inputs
// that once broke them. Each check returns an empty string when all held, else what went wrong.

#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/base/TextRules.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/CDocumentFile.h"
#include "core/entries/CContentFilter.h"
#include "core/entries/TocEntryCommands.h"
#include "core/entries/TocEntryList.h"
#include "core/toc/CHeadingCaseConverter.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/SettingsFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzchecks
{

struct RecordingReporter final : IReporter
{
    void Report(std::string_view text, MessageIcon) override { m_messages.emplace_back(text); }
    std::vector<std::string> m_messages;
};

// A file in memory with a path the loaders can open, so no run touches the disk.
class MemoryFile
{
public:
    explicit MemoryFile(std::string_view bytes)
    {
        m_fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
        std::size_t done = 0;
        while (m_fd >= 0 && done < bytes.size())
        {
            const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (written <= 0)
                break;
            done += static_cast<std::size_t>(written);
        }
        m_complete = m_fd >= 0 && done == bytes.size();
    }
    ~MemoryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    bool Complete() const { return m_complete; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd = -1;
    bool m_complete = false;
};

inline const CUpperCaseWordsDict& Words()
{
    static const CUpperCaseWordsDict words = []
    {
        CUpperCaseWordsDict dict;
        RecordingReporter ignored;
        for (const char* word : {"Российской Федерации", "МВД", "Правительства", "Москва"})
            dict.AddWord(Utf8ToCp1251(word), ignored);
        return dict;
    }();
    return words;
}

inline const CDocKindsList& Kinds()
{
    static const CDocKindsList kinds = []
    {
        CDocKindsList list;
        RecordingReporter ignored;
        for (const char* kind : {"ЗАКОН", "ПОСТАНОВЛЕНИЕ", "ПРИКАЗ", "УКАЗ", "ПОЛОЖЕНИЕ"})
            list.AddKind(Utf8ToCp1251(kind), ignored);
        return list;
    }();
    return kinds;
}

inline std::vector<std::string> SplitAtNewlines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

// Lines of a std::vector or of the document's line store.
template <class Lines>
std::string JoinWithNewlines(const Lines& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    return text;
}

// Load, recognise, write to memory, load what was written, recognise again.
inline std::string CheckDocument(std::string_view bytes)
{
    MemoryFile input(bytes);
    if (!input.Complete())
        return {};
    RecordingReporter reporter;
    const auto today = [] { return CalendarDate{15, 6, 2024}; };
    CDocumentFile document(reporter, today);
    document.Load(input.Path());
    if (document.SaveWouldChangeFile() != (document.FileBytes() != bytes))
        return "whether a save would change the file disagrees with the bytes it would write";

    const CTextLines loaded = document.TextLines();
    const ProcessResult first = ProcessDocument(loaded, Words(), Kinds(), reporter);
    if (first.refused && first.lines != loaded)
        return "a refused text was changed";
    if (first.refused != !reporter.m_messages.empty())
        return "a refusal without its message, or a message without a refusal";

    document.SetTextLines(first.lines);
    const std::string saved = document.FileBytes();
    MemoryFile output(saved);
    CDocumentFile reloaded(reporter, today);
    reloaded.Load(output.Path());
    // The last text line is written without a line end, so an empty one is not read back.
    std::vector<std::string> expected = first.lines.ToVector();
    if (!expected.empty() && expected.back().empty())
        expected.pop_back();
    if (reloaded.HeaderLines() != document.HeaderLines())
        return "the header lines do not load back";
    if (reloaded.TextLines() != expected)
        return "the processed text does not load back";
    if (reloaded.FileBytes() != saved && !(first.lines.size() > expected.size()))
        return "writing the reloaded document gives other bytes";

    // A text given blocks is refused from then on. (A run that writes no block - one item or none
    // left - takes old blocks out and leaves a text the next run recognises afresh.)
    RecordingReporter again;
    const ProcessResult second = ProcessDocument(first.lines, Words(), Kinds(), again);
    if (first.entries > 0 && !second.refused)
        return "a processed text is not refused when processed again";
    if (first.entries == 0 && first.lines == loaded && second.lines != first.lines)
        return "a text without headings changed when processed again";
    return {};
}

// Any bytes read as a settings file give settings that are written and read back unchanged.
inline std::string CheckSettings(std::string_view bytes)
{
    WorkflowSettings settings;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    ReadSettingsBytes(std::string(bytes), settings, words, kinds);

    const std::string written = SettingsBytes(settings, words, kinds);
    WorkflowSettings settingsBack;
    CUpperCaseWordsDict wordsBack;
    CDocKindsList kindsBack;
    if (ReadSettingsBytes(written, settingsBack, wordsBack, kindsBack) != SettingsReadResult::Complete)
        return "a written settings file does not read back completely";
    if (!(settingsBack == settings))
        return "the workflow settings do not read back equal";
    if (wordsBack.UserWords() != words.UserWords())
        return "the capitalised words do not read back equal";
    if (!(kindsBack == kinds))
        return "the document kinds do not read back equal";
    if (SettingsBytes(settingsBack, wordsBack, kindsBack) != written)
        return "writing the settings read back gives other bytes";
    return {};
}

// The first byte picks the code page, the rest is the file.
inline std::string CheckKindsImport(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const KindsFileCodePage codePage =
        (bytes[0] & 1) ? KindsFileCodePage::Windows1251 : KindsFileCodePage::Dos866;
    const std::string_view content = bytes.substr(1);
    MemoryFile file(content);
    if (!file.Complete())
        return {};

    RecordingReporter reporter;
    CDocKindsList kinds = Kinds();
    if (!kinds.ImportKinds(file.Path(), codePage, reporter) || !reporter.m_messages.empty())
        return "a readable kinds file was refused";
    if (!std::equal(Kinds().Kinds().begin(), Kinds().Kinds().end(), kinds.Kinds().begin()))
        return "the import changed the kinds already in the list";
    const std::set<std::string> distinct(kinds.Kinds().begin(), kinds.Kinds().end());
    if (distinct.size() != kinds.Kinds().size())
        return "the import added a kind twice";
    // In a DOS file 0x1A ends the text; converted from 866 the byte stands for a box character.
    for (const std::string& kind : kinds.Kinds())
        if (kind.find('\n') != std::string::npos ||
            (codePage == KindsFileCodePage::Windows1251 && kind.find('\x1A') != std::string::npos))
            return "an imported kind holds a line end or the end-of-text byte";
    const std::size_t lineCount = SplitAtNewlines(content).size();
    if (kinds.Kinds().size() > Kinds().Kinds().size() + lineCount)
        return "the import added more kinds than the file has lines";

    CDocKindsList twice = kinds;
    if (!twice.ImportKinds(file.Path(), codePage, reporter) || !(twice == kinds))
        return "importing the same file again changed the list";

    // Each line typed into the dialog: added normalised, or refused with one message.
    for (const std::string& line : SplitAtNewlines(content.substr(0, 4096)))
    {
        const std::size_t before = kinds.Kinds().size();
        const std::size_t messages = reporter.m_messages.size();
        const bool added = kinds.AddKind(line, reporter);
        if (added != (kinds.Kinds().size() == before + 1) ||
            added == (reporter.m_messages.size() == messages + 1))
            return "AddKind's result does not match what it did";
        if (added)
        {
            std::string normalised = kinds.Kinds().back();
            CDocKindsList::NormaliseForCompare(normalised);
            if (normalised != kinds.Kinds().back())
                return "AddKind stored a kind that is not in its normal form";
        }
    }

    WorkflowSettings settings;
    const std::string stored = SettingsBytes(settings, Words(), kinds);
    CUpperCaseWordsDict wordsBack;
    CDocKindsList kindsBack;
    if (ReadSettingsBytes(stored, settings, wordsBack, kindsBack) != SettingsReadResult::Complete ||
        !(kindsBack == kinds))
        return "imported kinds do not survive the settings file";
    return {};
}

// Lines outside every block, in order: what the entry commands must never touch.
inline std::vector<std::string> LinesOutsideBlocks(const CTextLines& lines,
                                                   const std::vector<TocEntryRef>& entries)
{
    std::vector<std::string> outside;
    std::size_t next = 0;
    for (const TocEntryRef& entry : entries)
    {
        for (; next < entry.oglLine; ++next)
            outside.emplace_back(lines[next]);
        next = entry.konLine + 1;
    }
    for (; next < lines.size(); ++next)
        outside.emplace_back(lines[next]);
    return outside;
}

inline std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

// Byte 0: the levels the filter shows; byte 1: the command; bytes 2-3: which shown rows are
// marked; the rest: the editor's text, lines separated by "\n".
inline std::string CheckEntryCommands(std::string_view bytes)
{
    if (bytes.size() < 4)
        return {};
    const auto levelMask = static_cast<unsigned char>(bytes[0]);
    const auto command = static_cast<EntryCommand>(static_cast<unsigned char>(bytes[1]) % 5);
    const unsigned markMask =
        static_cast<unsigned char>(bytes[2]) | (static_cast<unsigned char>(bytes[3]) << 8);
    const std::vector<std::string> lines = SplitAtNewlines(bytes.substr(4));

    CContentFilter filter;
    for (int level = 1; level <= CContentFilter::kLevelCount; ++level)
        filter.SetLevelShown(level, (levelMask >> (level - 1)) & 1);
    const std::vector<TocEntryRef> shown = BuildEntryList(lines, filter);
    const std::vector<TocEntryRef> all = BuildEntryList(lines, CContentFilter());
    if (shown.size() > all.size())
        return "the filter shows more entries than there are";
    std::vector<std::size_t> marked;
    for (std::size_t row = 0; row < shown.size() && row < 16; ++row)
        if ((markMask >> row) & 1)
            marked.push_back(row);
    if (markMask >> 15 & 1)
        marked.push_back(shown.size() + 3); // a row that no longer exists is ignored

    const EntryCommandResult result = RunEntryCommand(command, lines, shown, marked, filter, &Words());
    if (result.Failed() && !result.edits.empty())
        return "a failed command still asks for edits";
    CTextLines changed = lines;
    try
    {
        ApplyEdits(changed, result.edits);
    }
    catch (const std::out_of_range&)
    {
        return "an edit reaches past the end of the text";
    }
    // The marked rows as positions in the unfiltered list.
    std::vector<std::size_t> markedAll;
    for (std::size_t row : marked)
        if (row < shown.size())
            for (std::size_t k = 0; k < all.size(); ++k)
                if (all[k].oglLine == shown[row].oglLine)
                    markedAll.push_back(k);

    if (command == EntryCommand::DeleteBlocks)
    {
        std::vector<std::string> expected;
        std::vector<bool> deleted(lines.size(), false);
        for (std::size_t k : markedAll)
            std::fill(deleted.begin() + static_cast<std::ptrdiff_t>(all[k].oglLine),
                      deleted.begin() + static_cast<std::ptrdiff_t>(all[k].konLine) + 1, true);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (!deleted[i])
                expected.push_back(lines[i]);
        return changed == expected ? std::string() : "deletion removed other lines than the marked blocks";
    }

    const std::vector<TocEntryRef> after = BuildEntryList(changed, CContentFilter());
    if (LinesOutsideBlocks(lines, all) != LinesOutsideBlocks(changed, after))
        return "a command changed text outside the blocks";
    if (after.size() != all.size())
        return "a command changed the number of blocks";
    if (result.Failed())
        return changed == lines ? std::string() : "a failed command changed the text";

    if (command == EntryCommand::ToCapitals || command == EntryCommand::ToSentenceCase)
    {
        for (std::size_t k = 0; k < all.size(); ++k)
            if (ToUpper(all[k].text) != ToUpper(after[k].text))
                return "a case change changed more than letter case";
        return {};
    }

    const bool deeper = command == EntryCommand::LevelDown;
    for (std::size_t k = 0; k < all.size(); ++k)
    {
        const bool isMarked = std::find(markedAll.begin(), markedAll.end(), k) != markedAll.end();
        if (!markedAll.empty() && k < markedAll.front() && after[k].text != all[k].text)
            return "an entry before the first marked one changed";
        if (!isMarked)
            continue;
        const std::size_t oldLevel = FirstLine(all[k].text).size();
        const std::size_t newLevel = deeper ? oldLevel + 1 : std::max<std::size_t>(1, oldLevel - 1);
        const std::string levelLine = FirstLine(after[k].text);
        if (levelLine != std::string(newLevel, '*'))
            return "a marked entry did not move by one level";
    }
    return {};
}

// An entry text in capitals or sentence case keeps its lines, their lengths and their letters.
inline std::string CheckCaseConversion(std::string_view bytes)
{
    // Split as the converter splits an entry text: a final piece without "\n" is a line when not empty.
    std::vector<std::string> original = SplitAtNewlines(bytes);
    if (original.back().empty())
        original.pop_back();
    const CHeadingCaseConverter converter(&Words());
    std::vector<std::string> capitals = original;
    converter.ToCapitals(capitals);
    std::vector<std::string> sentence = original;
    converter.ToSentenceCase(sentence);
    for (const std::vector<std::string>* converted : {&capitals, &sentence})
    {
        if (converted->size() != original.size())
            return "a case change changed the number of lines";
        if (original.size() < 2 && *converted != original)
            return "an entry without a heading line was changed";
        for (std::size_t i = 0; i < original.size(); ++i)
            if (ToUpper((*converted)[i]) != ToUpper(original[i]))
                return "a case change changed more than letter case";
    }
    // The word pass of sentence case also reads line 0, which holds no words in a written entry.
    if (!original.empty() && capitals.front() != original.front())
        return "capitals touched the level line";

    // An entry text of fewer than two lines comes back exactly as given.
    const std::string expectedCapitals =
        original.size() < 2 ? std::string(bytes) : JoinWithNewlines(capitals);
    const std::string expectedSentence =
        original.size() < 2 ? std::string(bytes) : JoinWithNewlines(sentence);
    if (converter.ToCapitals(bytes) != expectedCapitals ||
        converter.ToSentenceCase(bytes) != expectedSentence)
        return "an entry text and its lines convert differently";
    return {};
}

} // namespace fuzzchecks
