#include "gui/app/COptionsDlg.h"

#include "gui/app/CFolderChooser.h"
#include "gui/widgets/DialogControls.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

COptionsDlg::COptionsDlg(QWidget* owner, IPrompter& prompter) : QDialog(owner), m_prompter(prompter)
{
    setWindowTitle(QStringLiteral("Параметры"));
    m_autoSaveBox =
        new QCheckBox(QStringLiteral("Автоматически сохранять при открытии следующего документа"), this);
    m_autoSaveBox->setProperty("controlId", 1010);
    m_makeBakBox =
        new QCheckBox(QStringLiteral("Создавать резервные .bak копии файлов при сохранении"), this);
    m_makeBakBox->setProperty("controlId", 1011);

    auto* group = new QGroupBox(QStringLiteral("Перемещать файлы в другую папку при сохранении"), this);
    m_moveOnSaveBox = new QCheckBox(QStringLiteral("Перемещать файлы при сохранении"), group);
    m_moveOnSaveBox->setProperty("controlId", 1012);
    auto* folderLabel = new QLabel(QStringLiteral("Папка:"), group);
    m_folderEdit = new QLineEdit(group);
    m_folderEdit->setProperty("controlId", 1013);
    m_browseButton = new QPushButton(QStringLiteral("..."), group);
    m_browseButton->setProperty("controlId", 1014);
    m_browseButton->setAutoDefault(false);
    m_browseButton->setFixedWidth(32);
    auto* groupLayout = new QGridLayout(group);
    groupLayout->addWidget(m_moveOnSaveBox, 0, 0, 1, 3);
    groupLayout->addWidget(folderLabel, 1, 0);
    groupLayout->addWidget(m_folderEdit, 1, 1);
    groupLayout->addWidget(m_browseButton, 1, 2);

    // Not a workflow setting: how the documents are read, so it stands apart below them.
    auto* recognition = new QGroupBox(QStringLiteral("Распознавание оглавления"), this);
    m_extendedBox = new QCheckBox(QStringLiteral("Расширенное распознавание заголовков"), recognition);
    m_extendedBox->setObjectName(QStringLiteral("extendedRecognition"));
    m_extendedBox->setToolTip(QStringLiteral("Кроме разметки блоков и заголовков обычного вида находить "
                                             "заголовки, видные в тексте: статьи любых актов, части, "
                                             "разделы и главы, нумерованные пункты правил, приложения"));
    auto* recognitionLayout = new QVBoxLayout(recognition);
    recognitionLayout->addWidget(m_extendedBox);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_autoSaveBox);
    layout->addWidget(m_makeBakBox);
    layout->addWidget(group);
    layout->addWidget(recognition);
    layout->addWidget(buttons);
    setMinimumWidth(460);
    KeepTitleWhole(*this);

    connect(m_moveOnSaveBox, &QCheckBox::clicked, this, &COptionsDlg::OnMoveClicked);
    connect(m_browseButton, &QPushButton::clicked, this, &COptionsDlg::OnBrowse);
}

void COptionsDlg::ShowCopies()
{
    m_autoSaveBox->setChecked(m_autoSaveOnNext);
    m_makeBakBox->setChecked(m_makeBak);
    m_moveOnSaveBox->setChecked(m_moveOnSave);
    m_folderEdit->setText(m_processedFolder);
    m_extendedBox->setChecked(m_extendedRecognition);
    ReadControls();
    EnableFolderControls();
}

void COptionsDlg::ReadControls()
{
    m_autoSaveOnNext = m_autoSaveBox->isChecked();
    m_makeBak = m_makeBakBox->isChecked();
    m_moveOnSave = m_moveOnSaveBox->isChecked();
    m_processedFolder = m_folderEdit->text();
    m_extendedRecognition = m_extendedBox->isChecked();
}

void COptionsDlg::EnableFolderControls()
{
    m_folderEdit->setEnabled(m_moveOnSave);
    m_browseButton->setEnabled(m_moveOnSave);
}

void COptionsDlg::OnMoveClicked()
{
    ReadControls();
    EnableFolderControls();
}

void COptionsDlg::OnBrowse()
{
    ReadControls();
    CFolderChooser chooser(QStringLiteral("Выбрать папку"),
                           QStringLiteral("Выберете папку для переноса обработанных документов"),
                           m_processedFolder, this, m_prompter);
    if (chooser.Choose())
    {
        m_processedFolder = chooser.Result();
        m_folderEdit->setText(m_processedFolder);
    }
}

void COptionsDlg::accept()
{
    ReadControls();
    QDialog::accept();
}
