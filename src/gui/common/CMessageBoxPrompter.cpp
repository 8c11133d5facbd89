#include "gui/common/CMessageBoxPrompter.h"

#include "core/base/FileError.h"
#include "core/workflow/ProductName.h"

#include <QApplication>
#include <QMessageBox>

namespace
{
QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon)
    {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int RunInForeground(QMessageBox& box)
{
    box.show();
    box.raise();
    box.activateWindow();
    return box.exec();
}
} // namespace

CMessageBoxPrompter::CMessageBoxPrompter(QWidget* owner) : m_owner(owner) {}

void CMessageBoxPrompter::SetOwner(QWidget* owner)
{
    m_owner = owner;
}

QWidget* CMessageBoxPrompter::Owner() const
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return m_owner.data();
}

void CMessageBoxPrompter::Report(std::string_view text, MessageIcon icon)
{
    QMessageBox box(BoxIcon(icon), QString::fromUtf8(kProductName), FromUtf8(text), QMessageBox::Ok, Owner());
    // Refusals and notices should not hide behind the window that caused them.
    RunInForeground(box);
}

void CMessageBoxPrompter::ReportWithReason(std::string_view text, std::string_view reason, MessageIcon icon)
{
    Report(MessageWithReason(text, reason), icon);
}

PromptAnswer CMessageBoxPrompter::Ask(std::string_view text, PromptButtons buttons)
{
    QMessageBox::StandardButtons choice = QMessageBox::Yes | QMessageBox::No;
    if (buttons == PromptButtons::YesNoCancel)
        choice |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kProductName), FromUtf8(text), choice, Owner());
    box.setEscapeButton(buttons == PromptButtons::YesNoCancel ? QMessageBox::Cancel : QMessageBox::No);
    const int result = RunInForeground(box);
    if (result == QMessageBox::Yes)
        return PromptAnswer::Yes;
    if (result == QMessageBox::No)
        return PromptAnswer::No;
    return buttons == PromptButtons::YesNoCancel ? PromptAnswer::Cancel : PromptAnswer::No;
}
