#include "gui/widgets/DialogControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QPushButton* MakeDialogButton(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout* MakeEntryRow(QLabel* label, QLineEdit* edit, QPushButton* addButton)
{
    label->setBuddy(edit);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edit, 1);
    row->addWidget(addButton);
    return row;
}
