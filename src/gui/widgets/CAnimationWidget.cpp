#include "gui/widgets/CAnimationWidget.h"

#include <QPainter>

namespace
{
constexpr int kLineCount = 6;
constexpr int kLineTop = 8;
constexpr int kLineStep = 6;
constexpr int kLineLeft = 10;
constexpr int kLineWidth = 24;
} // namespace

CAnimationWidget::CAnimationWidget(QWidget* parent) : QWidget(parent)
{
    setFixedSize(48, 50);
    m_timer.setInterval(kFrameIntervalMs);
    connect(&m_timer, &QTimer::timeout, this,
            [this]
            {
                m_frame = (m_frame + 1) % kFrameCount;
                update();
            });
}

void CAnimationWidget::Play()
{
    m_frame = 0;
    m_timer.start();
    update();
}

void CAnimationWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), palette().window());
    painter.setPen(QColor(0x2b, 0x4a, 0x7a));
    painter.setBrush(QColor(0xfd, 0xfd, 0xf6));
    painter.drawRect(6, 2, 34, 44);

    // Frames 0..19 write the lines, the last three hold the finished page before it starts over.
    const int written = std::min(m_frame, 20) * kLineCount * kLineWidth / 20;
    int penX = kLineLeft;
    int penY = kLineTop;
    for (int line = 0; line < kLineCount; ++line)
    {
        const int done = std::clamp(written - line * kLineWidth, 0, kLineWidth);
        const int y = kLineTop + line * kLineStep;
        const int indent = (line % 3 == 0) ? 0 : 4;
        const int width = done * (kLineWidth - indent) / kLineWidth;
        if (width > 0)
            painter.fillRect(kLineLeft + indent, y, width, 2,
                             line == 0 ? QColor(0xb2, 0x22, 0x22) : QColor(0x2b, 0x4a, 0x7a));
        if (done > 0 && done < kLineWidth)
        {
            penX = kLineLeft + indent + width;
            penY = y;
        }
        else if (done == kLineWidth)
        {
            penX = kLineLeft + kLineWidth;
            penY = y;
        }
    }
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 2));
    painter.drawLine(penX, penY, penX + 6, penY - 7);
}
