#pragma once
// A prompter for tests: records every message and question and answers from a script.

#include "core/base/IPrompter.h"

#include <deque>
#include <string>
#include <vector>

class CScriptedPrompter : public IPrompter
{
public:
    struct Message
    {
        std::string text; // UTF-8
        MessageIcon icon;
        bool operator==(const Message&) const = default;
    };

    // The next questions get these answers in order; a question beyond the script is answered
    // Cancel (No for a Yes/No question) and counted in m_unscripted so a test can fail on it.
    void Answer(std::initializer_list<PromptAnswer> answers);

    void Report(std::string_view text, MessageIcon icon) override;
    // The message is recorded as Report records it; the reason, as the editor would show it below
    // the message, goes to m_reasons.
    void ReportWithReason(std::string_view text, std::string_view reason, MessageIcon icon) override;
    PromptAnswer Ask(std::string_view text, PromptButtons buttons) override;

    std::vector<Message> m_messages;      // reports, in order
    std::vector<std::string> m_questions; // questions asked, in order
    std::vector<std::string> m_reasons;   // the reasons given with reports, in order
    int m_unscripted = 0;

private:
    std::deque<PromptAnswer> m_answers;
};
