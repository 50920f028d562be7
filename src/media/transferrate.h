#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// How fast a download goes and how long the rest takes: the bytes that came over the network
// in the last few seconds, over those seconds. A camera's rate swings with every Wi-Fi
// hiccup, so a single interval says little; time left is told only once the window holds
// enough of them. Bytes continued from an interrupted download came before and do not count.
class TransferRate
{
    Q_DECLARE_TR_FUNCTIONS(TransferRate)

public:
    // A new batch: what was measured before says nothing of this one.
    void restart();
    // The batch goes on with another file; the speed goes on across it.
    void nextFile();
    // The current file at msecs (any steady clock): done bytes of it, the first resumed of
    // them kept from an interrupted download.
    void add(qint64 msecs, qint64 done, qint64 resumed = 0);

    // Bytes per second over the window; -1 until it spans a second.
    double bytesPerSecond() const;
    // Seconds to fetch remaining bytes at that speed, rounded up; -1 until the window spans
    // kSettledMs (or when nothing comes).
    qint64 secondsLeft(qint64 remaining) const;

    // "120 MB of 1.4 GB · 35 MB/s · 38 s left": what is known of it.
    static QString text(qint64 done, qint64 total, double bytesPerSecond, qint64 secondsLeft);

    static constexpr qint64 kWindowMs = 5000;
    static constexpr qint64 kSpeedMs = 1000;
    static constexpr qint64 kSettledMs = 3000;

private:
    struct Sample {
        qint64 msecs;
        qint64 bytes;
    };
    qint64 span() const;

    QList<Sample> m_samples; // bytes received over the network since restart(), oldest first
    qint64 m_before = 0; // received for the batch's earlier files
    qint64 m_fresh = 0;
};
