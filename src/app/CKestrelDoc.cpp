#include "app/CKestrelDoc.h"

#include "app/CKestrelView.h"

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
