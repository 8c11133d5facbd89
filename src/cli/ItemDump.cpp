#include "cli/ItemDump.h"

#include "cli/DocumentReporter.h"
#include "cli/ToolSetup.h"
#include "core/document/CDocumentFile.h"
#include "core/toc/CTocRecognizer.h"
#include "core/toc/RecognitionSteps.h"

#include <optional>
#include <ostream>
#include <vector>

namespace
{
// Why the recognition of a document never came to the step.
std::string NotReachedReason(const RecognitionStep& step, const TocToolOptions& options,
                             const CTocRecognizer& recognizer, const std::string& lastStep)
{
    if (step.extendedOnly && !options.extended)
        return "the step runs with --extended only";
    if (recognizer.WasRefused())
        return "the recognition refused the text";
    if (lastStep.empty())
        return "the document has no text";
    return "fewer than two items were left after " + lastStep + ", so the recognition ended there";
}
} // namespace

int DumpItemsAfterStep(const TocToolOptions& options, const std::string& exeDir, std::ostream& out,
                       std::ostream& err)
{
    const RecognitionStep* step = FindRecognitionStep(options.dumpItemsAfter);
    const std::string& path = options.paths.front();
    std::vector<std::string> messages;
    auto tell = [&err, &messages]
    {
        for (const std::string& message : messages)
            err << message << "\n";
        messages.clear();
    };
    DocumentReporter reporter(path, messages);
    if (!step)
    {
        reporter.Add("no recognition step " + options.dumpItemsAfter);
        tell();
        return 1;
    }
    const std::optional<TocToolSetup> setup = LoadToolSetup(options, exeDir, err);
    if (!setup)
        return 1;

    CDocumentFile document(reporter);
    // Only read: a copy an interrupted save left beside the document is reported, never put back.
    document.SetCopyRule(CopyRule::ReportOnly);
    try
    {
        document.LoadKeepingDates(path);
    }
    catch (const DocumentFileError& loadError)
    {
        tell();
        err << "tirvel-toc: " << loadError.what() << "\n";
        return 1;
    }

    CTocRecognizer recognizer(&setup->words, setup->kinds, reporter, {},
                              RecognitionOptions{options.extended});
    std::string lastStep;
    std::optional<std::string> items;
    recognizer.SetStepObserver(
        [&](std::string_view name, const std::vector<TocItem>& stepItems)
        {
            lastStep = name;
            if (name == step->name)
                items = DescribeItems(stepItems);
        });
    // The document is only read for the dump: its own text is worked on.
    recognizer.Build(document.MutableTextLines());
    tell();
    if (!items)
    {
        err << "tirvel-toc: " << PrintableText(path) << ": the recognition did not reach " << step->name
            << ": " << NotReachedReason(*step, options, recognizer, lastStep) << "\n";
        return 1;
    }
    out << *items << std::flush;
    return out ? 0 : 1;
}
