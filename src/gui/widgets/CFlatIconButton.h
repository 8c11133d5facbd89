#pragma once
// A flat button that shows only an icon filling it: raised while the mouse is over it, with an
// optional tooltip.

#include <QToolButton>

class CFlatIconButton : public QToolButton
{
    Q_OBJECT
public:
    // side: the button is side x side pixels and the icon fills it.
    CFlatIconButton(const QIcon& icon, int side, const QString& toolTip = QString(),
                    QWidget* parent = nullptr);
};
