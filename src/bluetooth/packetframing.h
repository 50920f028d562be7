#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The camera's Bluetooth packets: a message goes in packets of at most 20 bytes, the first
// with a header that tells the message's length, the others with a continuation byte.
//
// Start headers: 5-bit (000LLLLL), 13-bit (001LLLLL LLLLLLLL) and, from the camera only,
// 16-bit (010xxxxx LLLLLLLL LLLLLLLL). Continuation: 1000CCCC, the counter starting at 0 and
// wrapping after 15.
class PacketFraming
{
public:
    enum class Result {
        Ignored,    // a continuation with no message begun
        Incomplete, // more packets to come
        Complete,   // message() holds the whole message
        Malformed,  // problem() says why; the message is dropped
    };

    // The packets of message: a 5-bit header when it fits one packet, else the 13-bit one.
    // Empty for a message longer than a 13-bit length can tell.
    static QList<QByteArray> split(const QByteArray& message);

    Result feed(const QByteArray& packet);
    // The message begun last, as far as it came: whole after Complete, its first bytes (which
    // tell its kind) after Incomplete or Malformed.
    QByteArray message() const { return m_message; }
    QString problem() const { return m_problem; }
    // A message has begun and waits for more packets.
    bool isPending() const { return m_pending; }

    static constexpr int kPacketSize = 20;
    static constexpr int kMax13BitLength = 0x1FFF;

private:
    Result fail(const QString& problem);

    QByteArray m_message;
    QString m_problem;
    int m_expected = 0;
    int m_nextCounter = 0;
    bool m_pending = false;
};
