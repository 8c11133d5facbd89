#include "gui/app/CKestrelDoc.h"

#include "gui/dictionaries/CDocDictDlg.h"
#include "gui/dictionaries/CUpperCaseWordsDlg.h"

ProcessResult CKestrelDoc::ProcessDocument(const std::vector<std::string>& lines, IReporter& reporter,
                                           const std::function<void()>& pumpMessages,
                                           const RecognitionOptions& options) const
{
    std::vector<std::string> processed = lines;
    ProcessResult result =
        ProcessDocumentInPlace(processed, m_words, m_kinds, reporter, pumpMessages, options);
    result.lines = std::move(processed);
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
