#pragma once
// The document object: the two dictionaries and the level filter for the whole run, and the
// recognition of one text with them.

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/entries/CContentFilter.h"
#include "core/toc/ProcessDocument.h"

#include <functional>
#include <string>
#include <vector>

class IPrompter;
class IReporter;
class QWidget;

class CKestrelDoc
{
public:
    // Runs the recognition on lines (in place) with the dictionaries, read as options say;
    // pumpMessages keeps the window alive between the engine's steps. The lines come back as the
    // result's; a refused text is reported through reporter and comes back as it was.
    ProcessResult ProcessDocument(CTextLines lines, IReporter& reporter,
                                  const std::function<void()>& pumpMessages,
                                  const RecognitionOptions& options) const;

    // The dictionary dialogs; OK keeps the edited dictionary for the rest of the run (and the
    // settings file at its end).
    void OnDocKindsDict(IPrompter& prompter, QWidget* parent);
    void OnUpperCaseWordsDict(IPrompter& prompter, QWidget* parent);

    CUpperCaseWordsDict m_words;
    CDocKindsList m_kinds;
    CContentFilter m_filter;
};
