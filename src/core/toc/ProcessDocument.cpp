#include "core/toc/ProcessDocument.h"

#include "core/toc/CTocRecognizer.h"

ProcessResult ProcessDocument(const CTextLines& textLines, const CUpperCaseWordsDict& words,
                              const CDocKindsList& kinds, IReporter& reporter,
                              const std::function<void()>& pumpMessages, RecognitionOptions options)
{
    CTextLines lines = textLines;
    ProcessResult result = ProcessDocumentInPlace(lines, words, kinds, reporter, pumpMessages, options);
    result.lines = std::move(lines);
    return result;
}

ProcessResult ProcessDocumentInPlace(CTextLines& lines, const CUpperCaseWordsDict& words,
                                     const CDocKindsList& kinds, IReporter& reporter,
                                     const std::function<void()>& pumpMessages, RecognitionOptions options)
{
    ProcessResult result;
    CTocRecognizer recognizer(&words, kinds, reporter, pumpMessages, options);
    recognizer.Build(lines);
    result.refused = recognizer.WasRefused();
    result.entries = recognizer.WrittenBlocks();
    return result;
}
