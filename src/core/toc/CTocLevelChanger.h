#pragma once
// Moves marked table-of-contents entries of the editor text one level up or down, together with the
// entries nested under them, and lays the entries out again.

#include "core/toc/CTocItemList.h"
#include "core/toc/TocEntryRef.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class CTocLevelChanger : public CTocItemList
{
public:
    // An entry handled has no level line (its text is empty or starts with an empty line).
    // what() is the operator's message, UTF-8.
    class MissingLevelLine : public std::runtime_error
    {
    public:
        MissingLevelLine();
    };

    // words is only handed on to the layout; pumpMessages (may be empty) lets the window repaint.
    explicit CTocLevelChanger(const CUpperCaseWordsDict* words = nullptr,
                              std::function<void()> pumpMessages = {});

    // marked: ascending positions into entries, at least one, all valid (std::invalid_argument
    // otherwise). deeper: one level down (level number + 1) when true, one level up when false.
    // Each marked entry moves with the deeper entries that follow it; every entry from the first
    // marked one on is laid out again and gets its new text; the entries before it, the order and
    // the line indices are unchanged. Throws MissingLevelLine before changing anything; on any
    // exception entries is left as it was.
    void ChangeEntryLevels(const std::vector<std::size_t>& marked, bool deeper,
                           std::vector<TocEntryRef>& entries);

    // The pieces of text between the "\n"; an empty last piece is dropped (so "" gives no line).
    static std::vector<std::string> SplitLines(std::string_view text);

private:
    // Changes item position and the deeper items that follow it, each item at most once per command.
    void ChangeLevelAt(std::size_t position);

    std::vector<TocEntryRef> m_saved; // the entries handled, for their line indices
    bool m_deeper = false;
    std::vector<bool> m_changed; // one per item: already moved by this command
    std::function<void()> m_pumpMessages;
};
