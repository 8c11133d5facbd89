#include "gui/app/CKestrelDoc.h"

#include "gui/dictionaries/CDocDictDlg.h"
#include "gui/dictionaries/CUpperCaseWordsDlg.h"

#include <utility>

ProcessResult CKestrelDoc::ProcessDocument(CTextLines lines, IReporter& reporter,
                                           const std::function<void()>& pumpMessages,
                                           const RecognitionOptions& options) const
{
    ProcessResult result = ProcessDocumentInPlace(lines, m_words, m_kinds, reporter, pumpMessages, options);
    result.lines = std::move(lines);
    return result;
}

void CKestrelDoc::OnDocKindsDict(IPrompter& prompter, QWidget* parent)
{
    EditDocKinds(m_kinds, prompter, parent);
}

void CKestrelDoc::OnUpperCaseWordsDict(IPrompter& prompter, QWidget* parent)
{
    EditUpperCaseWords(m_words, prompter, parent);
}
