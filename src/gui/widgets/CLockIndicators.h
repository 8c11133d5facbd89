#pragma once
// The CAP, NUM and SCRL panes of a status line: each label is enabled while its lock is on. The lock
// states come from the X server; where there is none (other platforms, offscreen) they show as off.

#include <QTimer>
#include <QWidget>

class QLabel;

class CLockIndicators : public QWidget
{
    Q_OBJECT
public:
    explicit CLockIndicators(QWidget* parent = nullptr);

    QLabel* CapsLabel() const { return m_caps; }
    QLabel* NumLabel() const { return m_num; }
    QLabel* ScrollLabel() const { return m_scroll; }

private:
    void Poll();

    QLabel* m_caps;
    QLabel* m_num;
    QLabel* m_scroll;
    QTimer m_timer;
};
