#include "packetwriter.h"

#include <QDebug>
#include <QTimer>

#include <utility>

PacketWriter::PacketWriter(QLowEnergyService* service, QObject* parent)
    : QObject(parent)
    , m_service(service)
{
    m_limit = new QTimer(this);
    m_limit->setSingleShot(true);
    connect(m_limit, &QTimer::timeout, this, &PacketWriter::onTimeout);
    if (service) {
        connect(service, &QLowEnergyService::characteristicWritten, this, &PacketWriter::onWritten);
        connect(service, &QLowEnergyService::errorOccurred, this, &PacketWriter::onError);
        // Gone with a packet on its way: that confirmation will never come.
        connect(service, &QObject::destroyed, this, &PacketWriter::abandon);
    }
}

void PacketWriter::write(quint64 id, const QLowEnergyCharacteristic& c, const QList<QByteArray>& packets,
                         QLowEnergyService::WriteMode mode)
{
    m_queue.append(Message{id, c, packets, mode});
    if (!m_waiting)
        sendNext();
}

void PacketWriter::cancel(quint64 id)
{
    for (qsizetype i = 0; i < m_queue.size(); ++i) {
        if (m_queue.at(i).id != id)
            continue;
        // The first message may have a packet on its way: it stays until that is answered.
        if (i == 0 && m_waiting)
            m_queue[0].cancelled = true;
        else
            m_queue.removeAt(i);
        return;
    }
}

void PacketWriter::abandon()
{
    m_limit->stop();
    m_waiting = false;
    const QList<Message> queue = std::exchange(m_queue, {});
    for (const Message& message : queue) {
        if (!message.cancelled)
            tell(message.id, false);
    }
}

void PacketWriter::sendNext()
{
    while (!m_waiting && !m_queue.isEmpty()) {
        Message& message = m_queue.first();
        if (message.cancelled || message.next >= message.packets.size()) {
            const Message done = m_queue.takeFirst();
            if (!done.cancelled)
                tell(done.id, true);
            continue;
        }
        if (!m_service) {
            abandon();
            return;
        }
        if (message.mode == QLowEnergyService::WriteWithoutResponse) {
            // Qt queues them in order and confirms none. (Should one fail, the failure would be
            // taken for that of the packet then waiting, if any: Qt tells no more.)
            const QList<QByteArray> rest = message.packets.mid(message.next);
            message.next = message.packets.size();
            for (const QByteArray& packet : rest)
                m_service->writeCharacteristic(message.target, packet, message.mode);
            continue;
        }
        // Set before writing: an error may be reported inside writeCharacteristic().
        m_waiting = true;
        m_waitingTarget = message.target;
        m_waitingPacket = message.packets.at(message.next);
        ++message.next;
        m_limit->start(m_timeoutMs);
        m_service->writeCharacteristic(m_waitingTarget, m_waitingPacket, QLowEnergyService::WriteWithResponse);
    }
}

void PacketWriter::onWritten(const QLowEnergyCharacteristic& c, const QByteArray& value)
{
    // A late confirmation of a packet given up on is not this one's.
    if (!m_waiting || c != m_waitingTarget || value != m_waitingPacket)
        return;
    m_waiting = false;
    m_limit->stop();
    sendNext();
}

void PacketWriter::onError(QLowEnergyService::ServiceError error)
{
    // Reads and notification switches of the service fail in other ways.
    if (m_waiting
        && (error == QLowEnergyService::CharacteristicWriteError || error == QLowEnergyService::OperationError))
        failFirst("(write error)");
}

void PacketWriter::onTimeout()
{
    if (m_waiting)
        failFirst("(no confirmation in time)");
}

void PacketWriter::failFirst(const char* why)
{
    m_waiting = false;
    m_limit->stop();
    if (!m_queue.isEmpty()) {
        const Message message = m_queue.takeFirst();
        qWarning() << "Write stopped at packet" << message.next << "of" << message.packets.size() << why;
        if (!message.cancelled)
            tell(message.id, false);
    }
    // Not from here: this may run inside the Bluetooth stack's error report.
    QMetaObject::invokeMethod(this, &PacketWriter::sendNext, Qt::QueuedConnection);
}

void PacketWriter::tell(quint64 id, bool ok)
{
    QMetaObject::invokeMethod(
        this,
        [this, id, ok] {
            if (ok)
                emit written(id);
            else
                emit failed(id);
        },
        Qt::QueuedConnection);
}
