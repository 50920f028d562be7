#include "hardwareinfo.h"

namespace {

constexpr char kStartHeader = 0x20; // 13-bit length header, upper length bits 0
constexpr char kCommand = 0x3C;
constexpr char kSuccess = 0x00;
constexpr int kPacketSize = 20; // the camera fills every packet but the last of a reply

bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0x80) != 0;
}

} // namespace

bool HardwareInfo::isReplyStart(const QByteArray& bytes)
{
    return bytes.size() >= 4 && bytes.at(0) == kStartHeader && bytes.at(2) == kCommand
        && bytes.at(3) == kSuccess;
}

bool HardwareInfo::modelFromText(const QByteArray& bytes, int* number)
{
    const qsizetype p = bytes.indexOf("HERO");
    if (p < 0)
        return false;
    qsizetype q = bytes.indexOf(' ', p);
    if (q < 0)
        q = bytes.size();
    bool ok = false;
    const int value = bytes.mid(p + 4, q - (p + 4)).trimmed().toInt(&ok, 10);
    *number = ok ? value : 0;
    return true;
}

QString HardwareInfo::modelNameFor(int number)
{
    return QStringLiteral("hero%1").arg(number);
}

void HardwareInfo::reset()
{
    m_startPacket.clear();
    m_message.clear();
    m_expectedLength = 0;
    m_nextCounter = 0;
    m_pending = false;
}

HardwareInfo::Outcome HardwareInfo::found(int number)
{
    m_modelNumber = number;
    reset();
    return Outcome::Model;
}

HardwareInfo::Outcome HardwareInfo::feed(const QByteArray& notification)
{
    if (notification.isEmpty())
        return Outcome::Ignored;

    if (isContinuation(notification.at(0))) {
        if (!m_pending)
            return Outcome::Ignored;
        const int counter = static_cast<unsigned char>(notification.at(0)) & 0x0F;
        if (counter != m_nextCounter) {
            // A packet went missing: what follows cannot be put in place.
            reset();
            return Outcome::Ignored;
        }
        m_nextCounter = (m_nextCounter + 1) & 0x0F;
        m_message.append(notification.mid(1));
        if (m_message.size() < m_expectedLength && notification.size() == kPacketSize)
            return Outcome::Pending;
        return decide(true);
    }

    // Any other start packet (another command's reply, a failure status, a longer header)
    // is not ours; it leaves a reply in progress alone unless it is a new reply to 3C.
    if (notification.at(0) != kStartHeader)
        return Outcome::Ignored;
    if (!isReplyStart(notification)) {
        if (notification.size() >= 3 && notification.at(2) == kCommand)
            reset();
        return Outcome::Ignored;
    }

    reset();
    m_startPacket = notification;
    m_message = notification.mid(2);
    m_expectedLength = static_cast<unsigned char>(notification.at(1));
    m_pending = true;

    // The usual case: the model text is whole in this packet.
    const qsizetype p = notification.indexOf("HERO");
    if (p >= 0 && notification.indexOf(' ', p) >= 0) {
        int number = 0;
        modelFromText(notification, &number);
        return found(number);
    }
    // Only a full packet can have a continuation; a shorter one is the whole reply.
    if (m_message.size() >= m_expectedLength || notification.size() != kPacketSize)
        return decide(true);
    return Outcome::Pending;
}

HardwareInfo::Outcome HardwareInfo::flush()
{
    if (!m_pending)
        return Outcome::Ignored;
    return decide(false);
}

HardwareInfo::Outcome HardwareInfo::decide(bool complete)
{
    int number = 0;
    if (complete) {
        // 3C 00, then length-prefixed fields: model number, model name, ...
        const QByteArray& m = m_message;
        qsizetype at = 2;
        if (at < m.size()) {
            at += 1 + static_cast<unsigned char>(m.at(at)); // skip the model number field
            if (at < m.size()) {
                const int nameLength = static_cast<unsigned char>(m.at(at));
                if (at + 1 + nameLength <= m.size()
                    && modelFromText(m.mid(at + 1, nameLength), &number))
                    return found(number);
            }
        }
    }
    // Not laid out as expected, or cut short: read it as one piece of text.
    const QByteArray whole = m_startPacket.left(2) + m_message;
    if (modelFromText(whole, &number))
        return found(number);
    reset();
    return Outcome::Ignored;
}
