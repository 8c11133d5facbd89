#include "gui/widgets/CFlatIconButton.h"

CFlatIconButton::CFlatIconButton(const QIcon& icon, int side, const QString& toolTip, QWidget* parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setIcon(icon);
    setIconSize(QSize(side, side));
    setFixedSize(side, side);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (!toolTip.isEmpty())
        setToolTip(toolTip);
}
