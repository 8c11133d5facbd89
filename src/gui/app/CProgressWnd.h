#pragma once
// The small window shown while a document is opened and processed: the elapsed time, ticking every
// second while events are pumped, and an animation. All progress windows of one run open at a shared
// position, which each one updates with its own place when it closes.

#include <QDialog>
#include <QPoint>
#include <QString>

#include <functional>

class QLabel;
class QTimer;
class CAnimationWidget;

class CProgressWnd : public QDialog
{
    Q_OBJECT
public:
    // Milliseconds from any fixed start, never going back.
    using Clock = std::function<qint64()>;

    // Creates, shows and raises the window over owner, at the shared position. Without a clock the
    // window reads the system's monotonic clock.
    CProgressWnd(const QString& title, QWidget* owner, Clock clock = {});
    // Stores the window's top-left corner as the shared position.
    ~CProgressWnd() override;

    // Formats seconds: %D whole days, %H hours modulo 24, %M minutes modulo 60, %S seconds modulo 60
    // (two digits each except %D), %% a "%"; "%" with any other character gives nothing.
    static QString FormatElapsed(const QString& pattern, qint64 seconds);

    static QPoint SharedPosition();

    QString ElapsedText() const;
    // Shows the whole seconds elapsed and sets the timer for the moment the next second is complete.
    void ShowElapsed();

private:
    Clock m_clock;
    qint64 m_start;
    QTimer* m_timer;
    QLabel* m_elapsed;
    CAnimationWidget* m_animation;
};
