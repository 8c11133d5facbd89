#include "gui/panel/CFilterDlg.h"

#include "gui/widgets/CDblClickButton.h"
#include "gui/widgets/DialogControls.h"

#include <QGridLayout>
#include <QPushButton>

CFilterDlg::CFilterDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Отображаемые пункты оглавления"));
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < CContentFilter::kLevelCount; ++i)
    {
        auto* box = new CDblClickButton(QStringLiteral("Уровень %1").arg(i + 1), this);
        box->setObjectName(QStringLiteral("level%1").arg(i + 1));
        // Odd levels on the left, even ones on the right, levels 1 and 2 in the top row.
        grid->addWidget(box, i / 2, i % 2);
        connect(box, &CDblClickButton::doubleClicked, this, [this, i] { ShowOnlyLevel(i); });
        m_levelBoxes[static_cast<std::size_t>(i)] = box;
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    auto* all = new QPushButton(QStringLiteral("Все"), this);
    all->setObjectName(QStringLiteral("allButton"));
    all->setAutoDefault(false);
    auto* reset = new QPushButton(QStringLiteral("Сброс"), this);
    reset->setObjectName(QStringLiteral("resetButton"));
    reset->setAutoDefault(false);
    const int firstButtonRow = CContentFilter::kLevelCount / 2;
    grid->addWidget(ok, firstButtonRow, 0);
    grid->addWidget(cancel, firstButtonRow, 1);
    grid->addWidget(all, firstButtonRow + 1, 0);
    grid->addWidget(reset, firstButtonRow + 1, 1);
    grid->setRowMinimumHeight(firstButtonRow, 36);
    grid->setAlignment(ok, Qt::AlignBottom);
    grid->setAlignment(cancel, Qt::AlignBottom);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    KeepTitleWhole(*this);

    connect(ok, &QPushButton::clicked, this, &CFilterDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CFilterDlg::reject);
    connect(all, &QPushButton::clicked, this, [this] { SetAll(true); });
    connect(reset, &QPushButton::clicked, this, [this] { SetAll(false); });
}

void CFilterDlg::ShowFlags()
{
    for (std::size_t i = 0; i < m_levelBoxes.size(); ++i)
        m_levelBoxes[i]->setChecked(m_levelShown[i] != 0);
}

void CFilterDlg::ReadFlags()
{
    for (std::size_t i = 0; i < m_levelBoxes.size(); ++i)
        m_levelShown[i] = m_levelBoxes[i]->isChecked() ? 1 : 0;
}

void CFilterDlg::accept()
{
    ReadFlags();
    QDialog::accept();
}

void CFilterDlg::SetAll(bool shown)
{
    m_levelShown.fill(shown ? 1 : 0);
    ShowFlags();
}

void CFilterDlg::ShowOnlyLevel(int index)
{
    m_levelShown.fill(0);
    m_levelShown[static_cast<std::size_t>(index)] = 1;
    ShowFlags();
}

bool EditFilter(CContentFilter& filter, QWidget* parent)
{
    CFilterDlg dialog(parent);
    dialog.m_levelShown = filter.LevelsShown();
    dialog.ShowFlags();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    filter.SetLevelsShown(dialog.m_levelShown);
    return true;
}
