#pragma once
// The recognition engine: turns the text lines of one document into table-of-contents items and
// writes one ОГЛ...КОН block per item in front of its heading. One engine serves one run of Build.

#include "core/dictionaries/CDocKindsList.h"
#include "core/toc/CTocItemList.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CUpperCaseWordsDict;
class IReporter;

class CTocRecognizer : public CTocItemList
{
public:
    // kinds is copied; words and reporter must outlive the engine. pumpMessages, when given, lets
    // the caller's user interface process waiting input between the steps.
    CTocRecognizer(const CUpperCaseWordsDict* words, const CDocKindsList& kinds, IReporter& reporter,
                   std::function<void()> pumpMessages = {});

    // Runs the whole recognition on lines and writes the blocks into them. A text that already holds
    // a table of contents of the target format is refused with a message and left unchanged.
    void Build(std::vector<std::string>& lines);
    // True when m_lines already holds a table of contents in the format this system writes.
    bool HasTargetFormatToc() const;
    void PumpMessages();

    // What the last Build did: refused the text, and how many blocks it wrote.
    bool WasRefused() const { return m_refused; }
    std::size_t WrittenBlocks() const { return m_writtenBlocks; }

    // Collecting items from the text, in the order Build runs them.
    void CollectExistingBlocks();
    void AddDocumentKindItem();
    int FindDocumentStart() const;
    void CollectAppendices();
    static void FixAppendixNumber(std::string& line);
    void CollectTitleBlocks();
    void CollectCentredBlocks();
    void CollectArticles();
    void SplitMultiHeadingItems();
    static int CountHeadings(const std::vector<std::string>& lines);
    // The first text line at or after start equal to s; start when there is none.
    int FindLineFrom(int start, const std::string& s);
    // An item already collected holds the same text (either contains the other) less than 20
    // lines away. Items with an empty text never make another item a duplicate.
    bool IsDuplicateItem(const TocItem& item);

    // Cleaning the entry of one item.
    static void StripArticleRefs(TocItem& item);
    static void JoinHyphenatedLines(TocItem& item);
    static void RemoveMarkerLines(TocItem& item);
    static void BlankControlChars(TocItem& item);
    static void DotSectionHeadings(TocItem& item);
    static void TrimAppendixPeriod(TocItem& item);
    static void SpaceNumericRanges(TocItem& item);

    // Cleaning and merging the item list.
    void MergeItems();
    static void JoinEntryLines(TocItem& item);
    void MergeNearDuplicates(const std::string& word);
    void DropEmptyItems();
    void AdjustAppendixLines();
    void DropKindTitleDuplicate();

    // Levels and writing the blocks.
    void WriteTocBlocks();
    void AssignLevels();
    void ShiftAfterFrontMatter();
    static void MoveFormNumbers(TocItem& item);
    void FixEntryCase();

    // The text being processed (not owned); set by Build, or by a caller that runs single passes.
    std::vector<std::string>* m_lines = nullptr;
    CDocKindsList m_kinds;
    bool m_hasSecondRoot = false;

private:
    int LineCount() const { return static_cast<int>(m_lines->size()); }
    const std::string& Line(int index) const { return (*m_lines)[static_cast<std::size_t>(index)]; }
    void AppendUnlessDuplicate(TocItem item);
    void InsertBlocks();

    IReporter& m_reporter;
    std::function<void()> m_pumpMessages;
    bool m_refused = false;
    std::size_t m_writtenBlocks = 0;

    // IsDuplicateItem's view of m_items: each item's compare form, built once, and the items by line.
    std::vector<std::string> m_compareTexts;
    std::multimap<int, std::size_t> m_itemsByLine;
    // Where each distinct text line stands, built on first use by FindLineFrom.
    std::vector<std::pair<std::string_view, int>> m_lineIndex;
    bool m_lineIndexBuilt = false;
};
