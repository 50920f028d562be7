#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Notes how late a timer of short period fires: the longest time the GUI thread did not get
// round to its events.
class StallMeter : public QObject
{
public:
    explicit StallMeter(qint64 periodMs, QObject* parent = nullptr);
    qint64 longest() const { return m_longest; }

private:
    const qint64 m_periodMs;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};
