#include "support/CScriptedPrompter.h"

void CScriptedPrompter::Answer(std::initializer_list<PromptAnswer> answers)
{
    m_answers.insert(m_answers.end(), answers.begin(), answers.end());
}

void CScriptedPrompter::Report(std::string_view text, MessageIcon icon)
{
    m_messages.push_back({std::string(text), icon});
}

void CScriptedPrompter::ReportWithReason(std::string_view text, std::string_view reason, MessageIcon icon)
{
    Report(text, icon);
    m_reasons.emplace_back(reason);
}

PromptAnswer CScriptedPrompter::Ask(std::string_view text, PromptButtons buttons)
{
    m_questions.emplace_back(text);
    if (m_answers.empty())
    {
        ++m_unscripted;
        return buttons == PromptButtons::YesNoCancel ? PromptAnswer::Cancel : PromptAnswer::No;
    }
    const PromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}
