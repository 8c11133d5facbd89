#pragma once
// The recognition engine: turns the text lines of one document into table-of-contents items and
// writes one ОГЛ...КОН block per item in front of its heading. One engine serves one run of Build.
// Build runs the named steps of RecognitionSteps in their order; the passes themselves live in the
// pass files (CollectingPasses, ItemCleaning, MergingPasses, ExtendedPasses, LevelsAndBlocks).

#include "core/base/CTextLines.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/toc/CTocItemList.h"
#include "core/toc/RecognitionOptions.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CUpperCaseWordsDict;
class IReporter;

// True when lines already hold a table of contents in the format this system writes: a block whose
// first entry line, past any КОН and ОГЛ lines, begins with the level line's "*".
bool HasTargetFormatToc(const CTextLines& lines);

class CTocRecognizer : public CTocItemList
{
public:
    // kinds is copied; words and reporter must outlive the engine. pumpMessages, when given, lets
    // the caller's user interface process waiting input between the steps.
    CTocRecognizer(const CUpperCaseWordsDict* words, const CDocKindsList& kinds, IReporter& reporter,
                   std::function<void()> pumpMessages = {}, RecognitionOptions options = {});

    // Runs the whole recognition on lines and writes the blocks into them. A text that already holds
    // a table of contents of the target format is refused with a message and left unchanged.
    void Build(CTextLines& lines);
    void PumpMessages();

    // Called after every step Build runs with the step's name and the items as the step left them:
    // the way to see what one step does to a document.
    using StepObserver = std::function<void(std::string_view step, const std::vector<TocItem>& items)>;
    void SetStepObserver(StepObserver observer) { m_stepObserver = std::move(observer); }

    // What the last Build did: refused the text, and how many blocks it wrote.
    bool WasRefused() const { return m_refused; }
    std::size_t WrittenBlocks() const { return m_writtenBlocks; }

private:
    CDocKindsList m_kinds;
    RecognitionOptions m_options;
    IReporter& m_reporter;
    std::function<void()> m_pumpMessages;
    StepObserver m_stepObserver;
    bool m_refused = false;
    std::size_t m_writtenBlocks = 0;
};
