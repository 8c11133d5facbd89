#include "gui/app/CFolderChooser.h"

#include "core/base/IPrompter.h"
#include "gui/app/FolderChecks.h"
#include "gui/widgets/DialogControls.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

CFolderChooser::CFolderChooser(const QString& title, const QString& prompt, const QString& initialFolder,
                               QWidget* owner, IPrompter& prompter)
    : QDialog(owner), m_prompter(prompter)
{
    setWindowTitle(title);
    auto* promptLabel = new QLabel(prompt, this);
    promptLabel->setWordWrap(true);

    m_edit = new QLineEdit(this);
    m_edit->setMaxLength(kMaxPathLength);
    m_edit->setFrame(true);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setMinimumSize(320, 280);

    m_buttons = new QDialogButtonBox(this);
    m_buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    m_buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CFolderChooser::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CFolderChooser::reject);

    // The edit box sits directly above the tree and shares the tree's width through the layout.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(m_edit);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_buttons);
    KeepTitleWhole(*this);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CFolderChooser::OnSelectionChanged);
    connect(m_edit, &QLineEdit::textChanged, this, &CFolderChooser::OnTextChanged);

    SelectFolder(initialFolder.isEmpty() ? QDir::currentPath() : initialFolder);
    OnTextChanged(m_edit->text());
}

QPushButton* CFolderChooser::OkButton() const
{
    for (QAbstractButton* button : m_buttons->buttons())
    {
        if (m_buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
            return qobject_cast<QPushButton*>(button);
    }
    return nullptr;
}

bool CFolderChooser::Choose()
{
    return exec() == QDialog::Accepted;
}

void CFolderChooser::SelectFolder(const QString& folder)
{
    const QModelIndex index = m_model->index(QDir::cleanPath(folder));
    if (index.isValid())
    {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    // An initial folder that does not exist is still offered as text to start from.
    if (!index.isValid())
        m_edit->setText(folder);
}

void CFolderChooser::OnSelectionChanged()
{
    const QModelIndex index = m_tree->currentIndex();
    const QString path = index.isValid() ? m_model->filePath(index) : QString();
    const bool usable = path.startsWith(QLatin1Char('/'));
    m_edit->setText(usable ? path : QString());
    if (QPushButton* ok = OkButton())
        ok->setEnabled(usable);
}

void CFolderChooser::OnTextChanged(const QString& text)
{
    if (QPushButton* ok = OkButton())
        ok->setEnabled(!text.isEmpty());
}

void CFolderChooser::accept()
{
    const QString path = m_edit->text().left(kMaxPathLength);
    if (CheckFolder(path, m_prompter) != kFolderOk)
    {
        m_edit->setFocus();
        return;
    }
    m_result = path;
    QDialog::accept();
}
