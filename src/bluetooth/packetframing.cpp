#include "packetframing.h"

QList<QByteArray> PacketFraming::split(const QByteArray& message)
{
    QList<QByteArray> packets;
    const qsizetype length = message.size();
    if (length > kMax13BitLength)
        return packets;
    if (length < kPacketSize) {
        packets.append(char(length) + message);
        return packets;
    }
    QByteArray first;
    first.append(char(0x20 | (length >> 8)));
    first.append(char(length & 0xFF));
    first.append(message.left(kPacketSize - 2));
    packets.append(first);
    int counter = 0;
    for (qsizetype at = kPacketSize - 2; at < length; at += kPacketSize - 1) {
        packets.append(char(0x80 | (counter & 0x0F)) + message.mid(at, kPacketSize - 1));
        ++counter;
    }
    return packets;
}

PacketFraming::Result PacketFraming::fail(const QString& problem)
{
    m_problem = problem;
    m_pending = false;
    return Result::Malformed;
}

PacketFraming::Result PacketFraming::feed(const QByteArray& packet)
{
    if (packet.isEmpty())
        return Result::Ignored;
    const auto head = static_cast<unsigned char>(packet.at(0));

    QByteArray data;
    if (head & 0x80) {
        if (!m_pending)
            return Result::Ignored;
        if ((head & 0x0F) != m_nextCounter)
            return fail(QStringLiteral("a packet of the camera's answer went missing"));
        m_nextCounter = (m_nextCounter + 1) & 0x0F;
        data = packet.mid(1);
    } else {
        // A new start ends a message still waiting for its rest: that one was cut short.
        m_pending = false;
        m_message.clear();
        m_problem.clear();
        qsizetype at = 0;
        switch (head & 0x60) {
        case 0x00:
            m_expected = head & 0x1F;
            at = 1;
            break;
        case 0x20:
            if (packet.size() < 2)
                return fail(QStringLiteral("a packet header of the camera's answer is cut short"));
            m_expected = ((head & 0x1F) << 8) | static_cast<unsigned char>(packet.at(1));
            at = 2;
            break;
        case 0x40:
            if (packet.size() < 3)
                return fail(QStringLiteral("a packet header of the camera's answer is cut short"));
            m_expected = (static_cast<unsigned char>(packet.at(1)) << 8)
                | static_cast<unsigned char>(packet.at(2));
            at = 3;
            break;
        default:
            return fail(QStringLiteral("a packet of the camera's answer has an unknown header"));
        }
        data = packet.mid(at);
        m_nextCounter = 0;
        m_pending = true;
    }

    m_message.append(data);
    if (m_message.size() > m_expected)
        return fail(QStringLiteral("the camera's answer is longer than its header says"));
    if (m_message.size() < m_expected)
        return Result::Incomplete;
    m_pending = false;
    return Result::Complete;
}
