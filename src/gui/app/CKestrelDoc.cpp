#include "gui/app/CKestrelDoc.h"

#include "gui/app/CKestrelView.h"
#include "gui/dictionaries/CDocDictDlg.h"
#include "gui/dictionaries/CUpperCaseWordsDlg.h"

void CKestrelDoc::ProcessDocument(std::vector<std::string>& lines, IReporter& reporter,
                                  const std::function<void()>& pumpMessages)
{
    ProcessResult result = m_recognizer(lines, m_words, m_kinds, reporter, pumpMessages);
    lines = std::move(result.lines);
}

bool CKestrelDoc::CanCloseFrame()
{
    return m_view == nullptr || m_view->ConfirmSaveOnClose();
}

void CKestrelDoc::OnDocKindsDict(IPrompter& prompter, QWidget* parent)
{
    EditDocKinds(m_kinds, prompter, parent);
}

void CKestrelDoc::OnUpperCaseWordsDict(IPrompter& prompter, QWidget* parent)
{
    EditUpperCaseWords(m_words, prompter, parent);
}
