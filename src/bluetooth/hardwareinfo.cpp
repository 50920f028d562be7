#include "hardwareinfo.h"

#include <algorithm>

namespace {

constexpr char kStartHeader = 0x20; // 13-bit length header, upper length bits 0
constexpr char kCommand = 0x3C;
constexpr char kSuccess = 0x00;
constexpr int kPacketSize = 20; // the camera fills every packet but the last of a reply

bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0x80) != 0;
}

// The model name field of a reply without packet headers (3C 00, then the length-prefixed
// model number and the length-prefixed model name), as far as it has arrived. False when
// not even its length byte is there.
bool modelNameField(const QByteArray& message, QByteArray* name, bool* whole)
{
    constexpr qsizetype numberAt = 2;
    if (numberAt >= message.size())
        return false;
    const qsizetype nameAt = numberAt + 1 + static_cast<unsigned char>(message.at(numberAt));
    if (nameAt >= message.size())
        return false;
    const qsizetype nameLength = static_cast<unsigned char>(message.at(nameAt));
    *name = message.mid(nameAt + 1, nameLength);
    *whole = name->size() == nameLength;
    return true;
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

QList<QByteArray> HardwareInfo::fields(const QByteArray& message)
{
    QList<QByteArray> result;
    if (message.size() < 2 || message.at(0) != kCommand || message.at(1) != kSuccess)
        return result;
    for (qsizetype at = 2; at < message.size();) {
        const qsizetype length = static_cast<unsigned char>(message.at(at));
        if (at + 1 + length > message.size())
            break;
        result.append(message.mid(at + 1, length));
        at += 1 + length;
    }
    return result;
}

QString HardwareInfo::modelNameFor(int number)
{
    return QStringLiteral("hero%1").arg(number);
}

void HardwareInfo::reset()
{
    m_message.clear();
    m_expectedLength = 0;
    m_nextCounter = 0;
    m_pending = false;
}

HardwareInfo::Outcome HardwareInfo::found(int number, const QByteArray& reported, bool whole)
{
    m_modelNumber = number;
    // From "HERO" on, and only the "HERO<number>" word of a name not yet whole; printable
    // characters that cannot be read as markup: it is shown to the user.
    QString name = QString::fromUtf8(reported.mid(std::max<qsizetype>(0, reported.indexOf("HERO"))));
    if (!whole)
        name = name.section(QLatin1Char(' '), 0, 0);
    name.removeIf([](QChar c) { return !c.isPrint() || c == u'<' || c == u'>' || c == u'&'; });
    m_reportedName = name.trimmed().left(64);
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
        const bool ended = m_message.size() >= m_expectedLength || notification.size() != kPacketSize;
        return decide(ended, false);
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
    m_message = notification.mid(2);
    m_expectedLength = static_cast<unsigned char>(notification.at(1));
    m_pending = true;
    // Only a full packet can have a continuation; a shorter one is the whole reply.
    const bool ended = m_message.size() >= m_expectedLength || notification.size() != kPacketSize;
    return decide(ended, true);
}

HardwareInfo::Outcome HardwareInfo::decide(bool ended, bool onePacket)
{
    int number = 0;
    QByteArray name;
    bool whole = false;
    const bool hasNameField = modelNameField(m_message, &name, &whole);
    if (hasNameField) {
        // A blank after the number ends it, even before the rest of the name has come.
        const qsizetype p = name.indexOf("HERO");
        if (whole || (p >= 0 && name.indexOf(' ', p) >= 0)) {
            if (modelFromText(name, &number))
                return found(number, name, whole);
            reset();
            return Outcome::Ignored;
        }
    }
    if (!ended)
        return Outcome::Pending;
    // A short reply in one notification that is not laid out in fields is read as text.
    // Anything else that ended without a whole model name was cut short: no model.
    if (onePacket && !hasNameField && modelFromText(m_message, &number)) {
        const qsizetype p = m_message.indexOf("HERO");
        const qsizetype q = m_message.indexOf(' ', p);
        return found(number, m_message.mid(p, q < 0 ? -1 : q - p), true);
    }
    reset();
    return Outcome::Ignored;
}
