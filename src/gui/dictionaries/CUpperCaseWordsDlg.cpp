#include "gui/dictionaries/CUpperCaseWordsDlg.h"

#include "core/base/IPrompter.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CReportListWidget.h"
#include "gui/widgets/DialogControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CUpperCaseWordsDlg::CUpperCaseWordsDlg(const CUpperCaseWordsDict& words, IPrompter& prompter, QWidget* parent)
    : QDialog(parent), m_words(words), m_prompter(prompter)
{
    setWindowTitle(QStringLiteral("Словарь слов с заглавными буквами"));

    m_list = new CReportListWidget(QStringLiteral("Слова"), this);
    m_list->setObjectName(QStringLiteral("wordsList"));
    auto* hint = new QLabel(QStringLiteral("Вводите слова с учетом строчных и прописных букв!"), this);
    auto* label = new QLabel(QStringLiteral("Новое"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("wordEdit"));
    m_addButton = MakeDialogButton(QStringLiteral("Добавить"), "addButton", this);
    m_addButton->setDefault(true);
    m_deleteButton = MakeDialogButton(QStringLiteral("Удалить"), "deleteButton", this);
    m_clearButton = MakeDialogButton(QStringLiteral("Очистить"), "clearButton", this);
    QPushButton* ok = MakeDialogButton(QStringLiteral("OK"), "okButton", this);
    QPushButton* cancel = MakeDialogButton(QStringLiteral("Отмена"), "cancelButton", this);

    QHBoxLayout* editRow = MakeEntryRow(label, m_edit, m_addButton);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_deleteButton);
    buttonRow->addWidget(m_clearButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(hint);
    layout->addLayout(editRow);
    layout->addLayout(buttonRow);
    resize(420, 380);
    KeepTitleWhole(*this);

    connect(m_edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_addButton->setEnabled(!text.isEmpty()); });
    m_list->EnableWhileSelected(m_deleteButton);
    connect(m_addButton, &QPushButton::clicked, this, &CUpperCaseWordsDlg::OnAdd);
    connect(m_deleteButton, &QPushButton::clicked, this, &CUpperCaseWordsDlg::OnDelete);
    connect(m_clearButton, &QPushButton::clicked, this, &CUpperCaseWordsDlg::OnClear);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    RefreshList();
    m_edit->setFocus();
}

void CUpperCaseWordsDlg::RefreshList()
{
    m_words.SortUserWords();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(m_words.UserWords().size()));
    for (const CUpperCaseWordsRec& word : m_words.UserWords())
        texts.append(EditorTextOfLine(word.Word()));
    m_list->SetRows(texts);
    m_clearButton->setEnabled(!texts.isEmpty());
    m_deleteButton->setEnabled(!m_list->selectedItems().isEmpty());
    m_addButton->setEnabled(!m_edit->text().isEmpty());
}

void CUpperCaseWordsDlg::OnAdd()
{
    if (!m_words.AddWord(LineOfEditorText(m_edit->text()), m_prompter))
        return;
    RefreshList();
    m_edit->clear();
    m_addButton->setEnabled(false);
}

void CUpperCaseWordsDlg::OnDelete()
{
    m_words.RemoveUserWordsAt(m_list->SelectedRows());
    RefreshList();
}

void CUpperCaseWordsDlg::OnClear()
{
    if (m_prompter.Ask("Удалить все слова в словаре?", PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    m_words.ClearUserWords();
    RefreshList();
}

bool EditUpperCaseWords(CUpperCaseWordsDict& words, IPrompter& prompter, QWidget* parent)
{
    CUpperCaseWordsDlg dialog(words, prompter, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    words = dialog.m_words;
    return true;
}
