#include "gui/dictionaries/CDocDictDlg.h"

#include "core/base/IPrompter.h"
#include "gui/common/EditorText.h"
#include "gui/widgets/CFileOpenDlg.h"
#include "gui/widgets/CReportListWidget.h"
#include "gui/widgets/DialogControls.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
// The filters differ only in their names; the name the operator picks tells the code page. Both
// match every file: "*.*" would hide the names without a dot. The dialog shows a filter without
// its last bracket, the pattern.
const QString kWindowsName = QStringLiteral("Все файлы Windows(*.*)");
const QString kDosFilter = QStringLiteral("Все файлы DOS (*.*) (*)");
const QString kWindowsFilter = kWindowsName + QStringLiteral(" (*)");
} // namespace

std::optional<KindsFileChoice> AskKindsFile(QWidget* parent)
{
    CFileOpenDlg dialog(parent, QString(), {kDosFilter, kWindowsFilter});
    dialog.setFileMode(QFileDialog::ExistingFile);
    // A desktop's dialog would show the filters' patterns; this one shows their names.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.selectNameFilter(kDosFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    KindsFileChoice choice;
    choice.path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    // The dialog may give back the filter as shown, without its pattern.
    choice.codePage = dialog.selectedNameFilter().startsWith(kWindowsName) ? KindsFileCodePage::Windows1251
                                                                           : KindsFileCodePage::Dos866;
    return choice;
}

CDocDictDlg::CDocDictDlg(const CDocKindsList& kinds, IPrompter& prompter, QWidget* parent)
    : QDialog(parent), m_kinds(kinds), m_prompter(prompter)
{
    setWindowTitle(QStringLiteral("Словарь видов документов"));
    m_askImportFile = [this] { return AskKindsFile(this); };

    m_list = new CReportListWidget(QStringLiteral("Виды документов"), this);
    m_list->setObjectName(QStringLiteral("kindsList"));
    auto* label = new QLabel(QStringLiteral("Вид документа"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("kindEdit"));
    m_addButton = MakeDialogButton(QStringLiteral("Добавить"), "addButton", this);
    m_addButton->setDefault(true);
    m_fromFileButton = MakeDialogButton(QStringLiteral("Из файла"), "fromFileButton", this);
    m_deleteButton = MakeDialogButton(QStringLiteral("Удалить"), "deleteButton", this);
    m_deleteAllButton = MakeDialogButton(QStringLiteral("Удалить все"), "deleteAllButton", this);
    QPushButton* ok = MakeDialogButton(QStringLiteral("OK"), "okButton", this);
    QPushButton* cancel = MakeDialogButton(QStringLiteral("Отмена"), "cancelButton", this);
    m_addButton->setEnabled(false);
    m_deleteButton->setEnabled(false);
    m_deleteAllButton->setEnabled(false);

    QHBoxLayout* editRow = MakeEntryRow(label, m_edit, m_addButton);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_fromFileButton);
    buttonRow->addWidget(m_deleteButton);
    buttonRow->addWidget(m_deleteAllButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(editRow);
    layout->addLayout(buttonRow);
    resize(460, 380);
    KeepTitleWhole(*this);

    connect(m_edit, &QLineEdit::textChanged, this,
            [this](const QString& text)
            {
                m_editText = text;
                m_addButton->setEnabled(!m_editText.isEmpty());
            });
    m_list->EnableWhileSelected(m_deleteButton);
    connect(m_addButton, &QPushButton::clicked, this, &CDocDictDlg::OnAdd);
    connect(m_fromFileButton, &QPushButton::clicked, this, &CDocDictDlg::OnFromFile);
    connect(m_deleteButton, &QPushButton::clicked, this, &CDocDictDlg::OnDelete);
    connect(m_deleteAllButton, &QPushButton::clicked, this, &CDocDictDlg::OnDeleteAll);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    RefreshList();
    m_edit->setFocus();
}

void CDocDictDlg::RefreshList()
{
    const std::vector<int> selected = m_list->SelectedRows();
    const bool hadSelection = !selected.empty();
    const int oldRow = hadSelection ? selected.front() : -1;
    const QString oldText = hadSelection ? m_list->RowText(oldRow) : QString();

    m_kinds.SortKinds();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(m_kinds.Kinds().size()));
    for (const std::string& kind : m_kinds.Kinds())
        texts.append(EditorTextOfLine(kind));
    m_list->SetRows(texts);

    if (hadSelection && !texts.isEmpty())
    {
        int row = std::min(oldRow, static_cast<int>(texts.size()) - 1);
        if (texts[row] != oldText && row + 1 < texts.size() && texts[row + 1] == oldText)
            ++row;
        m_list->SelectOnly(row);
        m_list->setFocus();
    }

    m_deleteAllButton->setEnabled(!texts.isEmpty());
    m_deleteButton->setEnabled(false);
    m_addButton->setEnabled(!m_editText.isEmpty());
}

void CDocDictDlg::OnAdd()
{
    m_editText = m_edit->text();
    if (!m_kinds.AddKind(LineOfEditorText(m_editText), m_prompter))
        return;
    m_edit->clear();
    RefreshList();
}

void CDocDictDlg::OnFromFile()
{
    const std::optional<KindsFileChoice> choice = m_askImportFile();
    if (!choice)
        return;
    if (m_kinds.ImportKinds(choice->path, choice->codePage, m_prompter))
        RefreshList();
}

void CDocDictDlg::OnDelete()
{
    if (m_list->SelectedRows().empty())
        return;
    m_kinds.RemoveKindsAt(m_list->SelectedRows());
    RefreshList();
}

void CDocDictDlg::OnDeleteAll()
{
    if (m_prompter.Ask("Удалить все виды документов?", PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    m_kinds.Clear();
    RefreshList();
}

bool EditDocKinds(CDocKindsList& kinds, IPrompter& prompter, QWidget* parent)
{
    CDocDictDlg dialog(kinds, prompter, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    kinds = dialog.m_kinds;
    return true;
}
