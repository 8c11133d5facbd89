#pragma once
// Recognition of one document's text, shared by the editor and the command-line tool.

#include "core/base/CTextLines.h"
#include "core/toc/RecognitionOptions.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CDocKindsList;
class CUpperCaseWordsDict;
class IReporter;

struct ProcessResult
{
    CTextLines lines; // the text with its table-of-contents blocks (as given when refused)
    bool refused = false;           // the text already held a table of contents of the target format
    std::size_t entries = 0;        // blocks written (0 when the text got no table of contents)
};

// The one place the editor's open command and the batch tool run the recognition; options chooses
// how the text is read.
ProcessResult ProcessDocument(const CTextLines& textLines, const CUpperCaseWordsDict& words,
                              const CDocKindsList& kinds, IReporter& reporter,
                              const std::function<void()>& pumpMessages = {},
                              RecognitionOptions options = {});

// The same on the lines themselves, which become the result (left as they are when refused); the
// returned lines are empty. Spares the copy of a large document's text.
ProcessResult ProcessDocumentInPlace(CTextLines& lines, const CUpperCaseWordsDict& words,
                                     const CDocKindsList& kinds, IReporter& reporter,
                                     const std::function<void()>& pumpMessages = {},
                                     RecognitionOptions options = {});
