#include "gui/widgets/DialogControls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

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

int TitleBarWidth(const QWidget& window)
{
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    constexpr int kIconAndButtons = 4 * 28 + 24;
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + kIconAndButtons;
}

void KeepTitleWhole(QWidget& window)
{
    const int width = TitleBarWidth(window);
    QLayout* layout = window.layout();
    if (layout && layout->sizeConstraint() == QLayout::SetFixedSize)
    {
        layout->setSizeConstraint(QLayout::SetDefaultConstraint);
        const QSize hint = layout->totalSizeHint();
        window.setFixedSize(std::max(hint.width(), width), hint.height());
        return;
    }
    window.setMinimumWidth(std::max(window.minimumWidth(), width));
}
