#include "stallmeter.h"

#include <algorithm>

StallMeter::StallMeter(qint64 periodMs, QObject* parent)
    : QObject(parent)
    , m_periodMs(periodMs)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_longest = std::max(m_longest, m_clock.restart() - m_periodMs);
    });
    m_clock.start();
    m_timer.start(int(m_periodMs));
}
