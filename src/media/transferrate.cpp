#include "transferrate.h"

#include "losstext.h"

#include <cmath>

void TransferRate::restart()
{
    m_samples.clear();
    m_before = 0;
    m_fresh = 0;
}

void TransferRate::nextFile()
{
    m_before = m_fresh;
}

void TransferRate::add(qint64 msecs, qint64 done, qint64 resumed)
{
    // What a .part held came before: only what comes now is speed.
    m_fresh = m_before + (done - resumed);
    if (!m_samples.isEmpty() && msecs <= m_samples.last().msecs) {
        m_samples.last().bytes = m_fresh; // the same moment, counted again
        return;
    }
    m_samples.append({msecs, m_fresh});
    // One sample at or before the window's start stays, so that the window is full.
    while (m_samples.size() > 2 && m_samples.at(1).msecs <= msecs - kWindowMs)
        m_samples.removeFirst();
}

qint64 TransferRate::span() const
{
    return m_samples.size() < 2 ? 0 : m_samples.last().msecs - m_samples.first().msecs;
}

double TransferRate::bytesPerSecond() const
{
    if (span() < kSpeedMs)
        return -1;
    return double(m_samples.last().bytes - m_samples.first().bytes) * 1000.0 / double(span());
}

qint64 TransferRate::secondsLeft(qint64 remaining) const
{
    const double speed = bytesPerSecond();
    if (span() < kSettledMs || speed <= 0 || remaining < 0)
        return -1;
    return qint64(std::ceil(double(remaining) / speed));
}

QString TransferRate::text(qint64 done, qint64 total, double bytesPerSecond, qint64 secondsLeft)
{
    QStringList parts;
    parts << (total > 0 ? tr("%1 of %2").arg(LossText::size(done), LossText::size(total)) : LossText::size(done));
    if (bytesPerSecond >= 0)
        parts << tr("%1/s").arg(LossText::size(qint64(bytesPerSecond)));
    if (secondsLeft >= 0) {
        if (secondsLeft < 60)
            parts << tr("%1 s left").arg(secondsLeft);
        else if (secondsLeft < 3600)
            parts << tr("%1 min %2 s left").arg(secondsLeft / 60).arg(secondsLeft % 60);
        else
            parts << tr("%1 h %2 min left").arg(secondsLeft / 3600).arg(secondsLeft % 3600 / 60);
    }
    return parts.join(QStringLiteral(" · "));
}
