#include "core/toc/CTocRecognizer.h"

#include "core/base/Reporter.h"
#include "core/document/Markers.h"
#include "core/toc/RecognitionSteps.h"

#include <utility>

bool HasTargetFormatToc(const CTextLines& lines)
{
    bool inBlock = false;
    for (std::string_view line : lines)
    {
        if (!inBlock)
            inBlock = BeginsWithMarker(line, Marker::Ogl);
        // The insert-block command leaves an empty ОГЛ/КОН pair in front of a line, and a written
        // block may follow it: an ОГЛ line keeps the test armed, or such a document would be
        // processed a second time and its entries garbled.
        else if (BeginsWithMarker(line, Marker::Kon) || BeginsWithMarker(line, Marker::Ogl))
            continue;
        else if (!line.empty() && line.front() == '*')
            return true;
        else
            inBlock = false;
    }
    return false;
}

CTocRecognizer::CTocRecognizer(const CUpperCaseWordsDict* words, const CDocKindsList& kinds,
                               IReporter& reporter, std::function<void()> pumpMessages,
                               RecognitionOptions options)
    : CTocItemList(words), m_kinds(kinds), m_options(options), m_reporter(reporter),
      m_pumpMessages(std::move(pumpMessages))
{
}

void CTocRecognizer::PumpMessages()
{
    if (m_pumpMessages)
        m_pumpMessages();
}

void CTocRecognizer::Build(CTextLines& lines)
{
    m_refused = false;
    m_writtenBlocks = 0;
    PumpMessages();
    if (lines.empty())
        return;
    std::vector<TocItem>& items = MutableItems();
    items.clear();

    if (HasTargetFormatToc(lines))
    {
        m_refused = true;
        m_reporter.Report(
            "Документ содержит оглавление формата Лантрис 9.0!\nКонвертация документа невозможна.",
            MessageIcon::Error);
        return;
    }

    RecognitionRun run{lines, *this, m_kinds, m_options};
    for (const RecognitionStep& step : RecognitionSteps())
    {
        if (step.extendedOnly && !m_options.extended)
            continue;
        RunRecognitionStep(step, run);
        if (m_stepObserver)
            m_stepObserver(step.name, items);
        PumpMessages();
        if (run.finished)
            break;
    }
    m_writtenBlocks = run.writtenBlocks;
}
