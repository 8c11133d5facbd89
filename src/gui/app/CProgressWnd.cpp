#include "gui/app/CProgressWnd.h"

#include "gui/widgets/CAnimationWidget.h"
#include "gui/widgets/DialogControls.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <memory>

namespace
{
QPoint g_sharedPosition(100, 50);
} // namespace

CProgressWnd::CProgressWnd(const QString& title, QWidget* owner, Clock clock)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint), m_clock(std::move(clock))
{
    if (!m_clock)
    {
        auto elapsed = std::make_shared<QElapsedTimer>();
        elapsed->start();
        m_clock = [elapsed] { return elapsed->elapsed(); };
    }
    m_start = m_clock();
    setModal(false);
    setWindowTitle(title);
    auto* elapsedLabel = new QLabel(QStringLiteral("Прошло:"), this);
    m_elapsed = new QLabel(QStringLiteral("00:00"), this);
    m_elapsed->setObjectName(QStringLiteral("elapsed"));
    m_animation = new CAnimationWidget(this);
    auto* text = new QLabel(QStringLiteral("Идет обработка оглавления документа"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(elapsedLabel, 0, 0);
    layout->addWidget(m_elapsed, 0, 1);
    layout->addWidget(m_animation, 0, 2, 2, 1);
    layout->addWidget(text, 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    KeepTitleWhole(*this);

    // A coarse timer may fire up to 5 % early, and a second counted from there would be shown a
    // second late: the timer is precise and aimed at the end of each second.
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("clockTimer"));
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &CProgressWnd::ShowElapsed);
    ShowElapsed();

    move(g_sharedPosition);
    show();
    raise();
    m_animation->Play();
}

CProgressWnd::~CProgressWnd()
{
    g_sharedPosition = pos();
    m_timer->stop();
}

QString CProgressWnd::FormatElapsed(const QString& pattern, qint64 seconds)
{
    auto twoDigits = [](qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    QString text;
    for (qsizetype i = 0; i < pattern.size(); ++i)
    {
        if (pattern[i] != QLatin1Char('%'))
        {
            text += pattern[i];
            continue;
        }
        if (++i == pattern.size())
            break;
        switch (pattern[i].unicode())
        {
        case 'D':
            text += QString::number(seconds / 86400);
            break;
        case 'H':
            text += twoDigits(seconds / 3600 % 24);
            break;
        case 'M':
            text += twoDigits(seconds / 60 % 60);
            break;
        case 'S':
            text += twoDigits(seconds % 60);
            break;
        case '%':
            text += QLatin1Char('%');
            break;
        default:
            break;
        }
    }
    return text;
}

QPoint CProgressWnd::SharedPosition()
{
    return g_sharedPosition;
}

QString CProgressWnd::ElapsedText() const
{
    return m_elapsed->text();
}

void CProgressWnd::ShowElapsed()
{
    const qint64 elapsed = std::max<qint64>(0, m_clock() - m_start);
    m_elapsed->setText(FormatElapsed(QStringLiteral("%M:%S"), elapsed / 1000));
    m_timer->start(static_cast<int>(1000 - elapsed % 1000));
}
