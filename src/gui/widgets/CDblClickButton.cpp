#include "gui/widgets/CDblClickButton.h"

#include <QMouseEvent>

CDblClickButton::CDblClickButton(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

void CDblClickButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Not passed on: the base class would press the button again and the release would toggle it.
    if (event->button() != Qt::LeftButton)
    {
        QCheckBox::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    emit doubleClicked();
}
