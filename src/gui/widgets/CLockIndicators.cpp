#include "gui/widgets/CLockIndicators.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>

#ifdef TIRVEL_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace
{
QLabel* IndicatorLabel(const char* text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
    label->setEnabled(false);
    return label;
}

// Bit 0 Caps Lock, bit 1 Num Lock, bit 2 Scroll Lock, as the core keyboard's indicators are laid out.
unsigned LockStates()
{
#ifdef TIRVEL_HAVE_X11
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
    {
        unsigned state = 0;
        if (Display* display = x11->display();
            display && XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success)
            return state;
    }
#endif
    return 0;
}
} // namespace

CLockIndicators::CLockIndicators(QWidget* parent) : QWidget(parent)
{
    m_caps = IndicatorLabel("CAP", this);
    m_num = IndicatorLabel("NUM", this);
    m_scroll = IndicatorLabel("SCRL", this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_caps);
    layout->addWidget(m_num);
    layout->addWidget(m_scroll);
    m_timer.setInterval(250);
    connect(&m_timer, &QTimer::timeout, this, &CLockIndicators::Poll);
    m_timer.start();
    Poll();
}

void CLockIndicators::Poll()
{
    const unsigned state = LockStates();
    m_caps->setEnabled(state & 1u);
    m_num->setEnabled(state & 2u);
    m_scroll->setEnabled(state & 4u);
}
