#pragma once
// The document object: the two dictionaries and the level filter for the whole run, the
// recognition of one text, and the question whether the window may close.

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/entries/CContentFilter.h"
#include "core/toc/ProcessDocument.h"

#include <functional>
#include <string>
#include <vector>

class CKestrelView;
class IPrompter;
class IReporter;
class QWidget;

class CKestrelDoc
{
public:
    void SetView(CKestrelView* view) { m_view = view; }

    // Runs the recognition on lines (replaced by the result); pumpMessages keeps the window alive
    // between the engine's steps. A refused text is reported through reporter and left as it was.
    void ProcessDocument(std::vector<std::string>& lines, IReporter& reporter,
                         const std::function<void()>& pumpMessages);

    // The dictionary dialogs; OK keeps the edited dictionary for the rest of the run (and the
    // settings file at its end).
    void OnDocKindsDict(IPrompter& prompter, QWidget* parent);
    void OnUpperCaseWordsDict(IPrompter& prompter, QWidget* parent);

    // False when the operator cancels leaving a changed document.
    bool CanCloseFrame();

    using Recognizer =
        std::function<ProcessResult(const std::vector<std::string>&, const CUpperCaseWordsDict&,
                                    const CDocKindsList&, IReporter&, const std::function<void()>&)>;
    // The recognition run on every opened text: the engine's, unless replaced.
    Recognizer m_recognizer = ::ProcessDocument;

    CUpperCaseWordsDict m_words;
    CDocKindsList m_kinds;
    CContentFilter m_filter;

private:
    CKestrelView* m_view = nullptr;
};
