#include "toc/ProcessDocument.h"

#include "toc/CTocRecognizer.h"

ProcessResult ProcessDocument(const std::vector<std::string>& textLines, const CUpperCaseWordsDict& words,
                              const CDocKindsList& kinds, IReporter& reporter,
                              const std::function<void()>& pumpMessages)
{
    ProcessResult result;
    result.lines = textLines;
    CTocRecognizer recognizer(&words, kinds, reporter, pumpMessages);
    recognizer.Build(result.lines);
    result.refused = recognizer.WasRefused();
    result.entries = recognizer.WrittenBlocks();
    return result;
}
