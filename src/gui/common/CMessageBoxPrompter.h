#pragma once
// The prompter of the running program: modal message boxes captioned "Тирвель", owned by the modal
// dialog in front or else by the given main window.

#include "core/base/IPrompter.h"

#include <QPointer>
#include <QWidget>

class CMessageBoxPrompter : public IPrompter
{
public:
    explicit CMessageBoxPrompter(QWidget* owner = nullptr);

    void SetOwner(QWidget* owner);
    void Report(std::string_view text, MessageIcon icon) override;
    // The message, then the reason below it as the batch tool prints it.
    void ReportWithReason(std::string_view text, std::string_view reason, MessageIcon icon) override;
    PromptAnswer Ask(std::string_view text, PromptButtons buttons) override;

private:
    QWidget* Owner() const;

    QPointer<QWidget> m_owner;
};
