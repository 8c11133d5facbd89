#pragma once
// A small looping animation drawn by the program: a page whose lines are written one after another
// while a pen moves along them. 48 x 50 pixels, 23 frames at 10 frames per second.

#include <QTimer>
#include <QWidget>

class CAnimationWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kFrameCount = 23;
    static constexpr int kFrameIntervalMs = 100;

    explicit CAnimationWidget(QWidget* parent = nullptr);

    void Play();
    int Frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_frame = 0;
};
