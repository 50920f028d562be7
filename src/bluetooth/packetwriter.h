#pragma once

#include <QByteArray>
#include <QList>
#include <QLowEnergyCharacteristic>
#include <QLowEnergyService>
#include <QObject>
#include <QPointer>

class QTimer;

// Writes messages to the characteristics of one service, packet by packet: a packet written
// with response goes out once the camera has confirmed the one before (characteristicWritten),
// and each confirmation has a time limit. Messages take turns, so the packets of two never
// interleave. Qt reports a failed write per service, not per characteristic: one packet at a
// time on the whole service keeps a failure attributable.
//
// No event loop is run here; the caller returns at once and hears of the outcome through
// written() or failed(), both always emitted from the event loop (never before write()
// has returned, never inside the Bluetooth stack's callback).
class PacketWriter : public QObject
{
    Q_OBJECT

public:
    explicit PacketWriter(QLowEnergyService* service, QObject* parent = nullptr);

    void setTimeout(int ms) { m_timeoutMs = ms; }

    // Queues the packets of a message for characteristic c under id (the caller's number, not 0).
    // WriteWithoutResponse packets go out together when the message's turn comes: the camera
    // confirms none of them.
    void write(quint64 id, const QLowEnergyCharacteristic& c, const QList<QByteArray>& packets,
               QLowEnergyService::WriteMode mode);
    // Drops the message: none of its packets not yet written will be, and no outcome is told.
    // A packet already on its way is still waited for before the next message goes.
    void cancel(quint64 id);
    // The link is gone: every message queued fails.
    void abandon();

signals:
    void written(quint64 id);
    void failed(quint64 id);

private:
    struct Message {
        quint64 id = 0;
        QLowEnergyCharacteristic target;
        QList<QByteArray> packets;
        QLowEnergyService::WriteMode mode = QLowEnergyService::WriteWithResponse;
        qsizetype next = 0;     // the first packet not written yet
        bool cancelled = false; // nothing more of it goes out, nothing is told
    };

    // Writes what may go now: the next packet of the first message, or whole messages
    // without response, until a packet waits for its confirmation.
    void sendNext();
    void onWritten(const QLowEnergyCharacteristic& c, const QByteArray& value);
    void onError(QLowEnergyService::ServiceError error);
    void onTimeout();
    // The first message ends (its packet on its way failed or was not confirmed in time).
    void failFirst(const char* why);
    void tell(quint64 id, bool ok);

    QPointer<QLowEnergyService> m_service;
    QList<Message> m_queue; // the first one is being written
    QTimer* m_limit = nullptr;
    // A packet written with response and not confirmed yet: what it was.
    bool m_waiting = false;
    QLowEnergyCharacteristic m_waitingTarget;
    QByteArray m_waitingPacket;
    int m_timeoutMs = 3000;
};
