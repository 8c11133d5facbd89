#pragma once
// A check box that reports a double click instead of taking it as a further click, so a dialog can
// give the double click a meaning of its own.

#include <QCheckBox>

class CDblClickButton : public QCheckBox
{
    Q_OBJECT
public:
    explicit CDblClickButton(const QString& text, QWidget* parent = nullptr);

signals:
    // The second press of a double click; the box keeps the state the first click gave it.
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
