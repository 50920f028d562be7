#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Reads the camera's model from its reply to the hardware-information command (01 3C).
//
// The reply is longer than one 20-byte notification: a start packet (13-bit length header
// 0x20 LL, then 3C 00 and the first payload bytes) followed by continuation packets
// (0x80 | counter). Its payload is a row of length-prefixed fields: model number, model name
// ("HERO12 Black"), board type, firmware, serial number, network name, ... The model is read
// from the model name field alone (the network name may hold "HERO" too), as soon as that
// field has arrived, or earlier when a blank already ends the number in it. A reply that stops
// before that gives no model: a number cut short by a lost packet would name another camera.
class HardwareInfo
{
public:
    enum class Outcome {
        Ignored, // not (part of) a successful hardware-information reply, or no model in it
        Pending, // the start of a reply whose model is not known yet: more packets expected
        Model,   // the model is known: modelNumber(), modelName()
    };

    // One notification as the camera sent it.
    Outcome feed(const QByteArray& notification);
    // The rest of a pending reply did not come: it is dropped without a model.
    void abandon() { reset(); }
    bool isPending() const { return m_pending; }

    int modelNumber() const { return m_modelNumber; }
    QString modelName() const { return modelNameFor(m_modelNumber); }
    // The model as the camera names it ("HERO12 Black", or "HERO12" when the number was
    // known before the rest of the name came), for telling the user about a model without a
    // profile.
    QString reportedName() const { return m_reportedName; }

    // The reading rule on bytes of a reply: the first "HERO" (exact case), then the text up to
    // the next blank or the end, trimmed, as a decimal number (0 when it is none).
    // False when there is no "HERO".
    static bool modelFromText(const QByteArray& bytes, int* number);
    // Whether bytes start a successful hardware-information reply: 20 xx 3C 00.
    static bool isReplyStart(const QByteArray& bytes);
    // "hero12" for 12.
    static QString modelNameFor(int number);
    // The length-prefixed fields of a whole successful reply without packet headers (3C 00,
    // then model number, model name, board type, firmware, serial number, ...), as far as
    // they are whole; none for any other message.
    static QList<QByteArray> fields(const QByteArray& message);

private:
    // ended: no more packets of this reply will come. onePacket: the reply is the start
    // packet alone.
    Outcome decide(bool ended, bool onePacket);
    // reported: the model name as far as it has come, whole or not.
    Outcome found(int number, const QByteArray& reported, bool whole);
    void reset();

    QByteArray m_message; // the reply without packet headers: 3C 00 payload...
    int m_expectedLength = 0;
    int m_nextCounter = 0;
    bool m_pending = false;
    int m_modelNumber = 0;
    QString m_reportedName;
};
