#include "bleinterface.h"
#include "hardwareinfo.h"
#include "testsupport.h"

#include <QtTest>

namespace {

QByteArray field(const QByteArray& value)
{
    return char(value.size()) + value;
}

// A hardware-information reply laid out as the camera sends it: 3C 00, then
// length-prefixed model number, model name, board type, firmware, serial, SSID, MAC and
// 11 reserved bytes.
QByteArray replyMessage(const QByteArray& modelNumberField, const QByteArray& modelName,
                        const QByteArray& ssid = "GP24645504")
{
    return QByteArray::fromHex("3C00") + field(modelNumberField) + field(modelName)
        + field("0x05") + field("H23.01.01.10.00") + field("C3501324645504")
        + field(ssid) + field("065747046ceb") + QByteArray(11, '\0');
}

// Start packet with the 13-bit length header, then continuation packets 0x80 | counter.
QList<QByteArray> packets(const QByteArray& message)
{
    QList<QByteArray> out;
    const int length = int(message.size());
    out << QByteArray(1, char(0x20 | (length >> 8))) + char(length & 0xFF) + message.left(18);
    int counter = 0;
    for (qsizetype at = 18; at < message.size(); at += 19)
        out << QByteArray(1, char(0x80 | (counter++ & 0x0F))) + message.mid(at, 19);
    return out;
}

} // namespace

class TestHardwareInfo : public QObject
{
    Q_OBJECT

private slots:
    void modelFromRealLayout();
    void modelTextAcrossPackets_data();
    void modelTextAcrossPackets();
    void singleNotificationVariants_data();
    void singleNotificationVariants();
    void lostPacketAndFlush();
    void slicesOfCommandBytes();
};

void TestHardwareInfo::modelFromRealLayout()
{
    const QList<QByteArray> reply = packets(replyMessage(QByteArray::fromHex("0000003E"), "HERO12 Black"));
    QCOMPARE(reply.size(), 5);
    QCOMPARE(reply.first().size(), 20);
    QCOMPARE(reply.first().left(4), QByteArray::fromHex("205B3C00"));

    HardwareInfo info;
    // The model text is whole in the start packet: known at once.
    QCOMPARE(info.feed(reply.at(0)), HardwareInfo::Outcome::Model);
    QCOMPARE(info.modelNumber(), 12);
    QCOMPARE(info.modelName(), QStringLiteral("hero12"));
    // The rest of that reply changes nothing.
    for (int i = 1; i < reply.size(); ++i)
        QCOMPARE(info.feed(reply.at(i)), HardwareInfo::Outcome::Ignored);
    QCOMPARE(info.modelNumber(), 12);
    QVERIFY(!info.isPending());

    // The whole reply handed over as one piece reads the same.
    HardwareInfo whole;
    QCOMPARE(whole.feed(reply.join()), HardwareInfo::Outcome::Model);
    QCOMPARE(whole.modelNumber(), 12);
}

void TestHardwareInfo::modelTextAcrossPackets_data()
{
    QTest::addColumn<QByteArray>("numberField");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("ssid");
    QTest::addColumn<int>("expected"); // -1: no model
    // A longer first field pushes the name to the end of the start packet.
    QTest::newRow("blank in the next packet") << QByteArray(8, '\1') << QByteArray("HERO12 Black")
                                              << QByteArray("GP24645504") << 12;
    QTest::newRow("number cut by the packet end") << QByteArray(9, '\1') << QByteArray("HERO13 Black")
                                                  << QByteArray("GP24645504") << 13;
    QTest::newRow("name without blank") << QByteArray::fromHex("00000015") << QByteArray("HERO9")
                                        << QByteArray("GP24645504") << 9;
    QTest::newRow("HERO only in the network name") << QByteArray::fromHex("00000041")
                                                   << QByteArray("Max 360") << QByteArray("HERO5 Black") << -1;
}

void TestHardwareInfo::modelTextAcrossPackets()
{
    QFETCH(QByteArray, numberField);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, ssid);
    QFETCH(int, expected);

    const QList<QByteArray> reply = packets(replyMessage(numberField, name, ssid));
    HardwareInfo info;
    int models = 0;
    for (const QByteArray& packet : reply)
        models += info.feed(packet) == HardwareInfo::Outcome::Model;
    QCOMPARE(models, expected < 0 ? 0 : 1);
    if (expected >= 0)
        QCOMPARE(info.modelNumber(), expected);
    QVERIFY(!info.isPending());
}

void TestHardwareInfo::singleNotificationVariants_data()
{
    QTest::addColumn<QByteArray>("notification");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("expected");
    const QByteArray head = QByteArray::fromHex("20113C00");
    QTest::newRow("HERO12 and a blank") << head + "..HERO12 Black" << true << 12;
    QTest::newRow("byte 1 not looked at") << QByteArray::fromHex("20FF3C00") + "HERO10 Black" << true << 10;
    QTest::newRow("no blank until the end") << head + "HERO11" << true << 11;
    QTest::newRow("HERO then a blank") << head + "HERO Black" << true << 0;
    QTest::newRow("not a number") << head + "HEROic one" << true << 0;
    QTest::newRow("status not success") << QByteArray::fromHex("20113C01") + "HERO12 Black" << false << 0;
    QTest::newRow("longer reply header") << QByteArray::fromHex("21113C00") + "HERO12 Black" << false << 0;
    QTest::newRow("other command") << QByteArray::fromHex("20113B00") + "HERO12 Black" << false << 0;
    QTest::newRow("lower-case hero") << head + "hero12 Black" << false << 0;
    QTest::newRow("no HERO") << head + "Max 360" << false << 0;
    QTest::newRow("short reply") << QByteArray::fromHex("021700") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
}

void TestHardwareInfo::singleNotificationVariants()
{
    QFETCH(QByteArray, notification);
    QFETCH(bool, accepted);
    QFETCH(int, expected);

    HardwareInfo info;
    const HardwareInfo::Outcome outcome = info.feed(notification);
    QCOMPARE(outcome == HardwareInfo::Outcome::Model, accepted);
    if (accepted)
        QCOMPARE(info.modelNumber(), expected);
    QVERIFY(!info.isPending());
}

void TestHardwareInfo::lostPacketAndFlush()
{
    const QList<QByteArray> reply = packets(replyMessage(QByteArray(9, '\1'), "HERO13 Black"));
    HardwareInfo info;
    QCOMPARE(info.feed(reply.at(0)), HardwareInfo::Outcome::Pending);
    // Another characteristic's short reply in between leaves the reply in progress alone.
    QCOMPARE(info.feed(QByteArray::fromHex("021700")), HardwareInfo::Outcome::Ignored);
    QVERIFY(info.isPending());
    // A continuation out of order cannot be put in place: the reply is dropped.
    QCOMPARE(info.feed(reply.at(2)), HardwareInfo::Outcome::Ignored);
    QVERIFY(!info.isPending());
    QCOMPARE(info.feed(reply.at(3)), HardwareInfo::Outcome::Ignored);

    // When the rest never comes, the number cut short ("HERO1") is not taken.
    QCOMPARE(info.feed(reply.at(0)), HardwareInfo::Outcome::Pending);
    info.abandon();
    QVERIFY(!info.isPending());
    QCOMPARE(info.feed(reply.at(1)), HardwareInfo::Outcome::Ignored);
    QCOMPARE(info.modelNumber(), 0);
}

void TestHardwareInfo::slicesOfCommandBytes()
{
    QByteArray data;
    for (int i = 0; i < 45; ++i)
        data.append(char(i));
    const QList<QByteArray> parts = BLEInterface::slices(data);
    QCOMPARE(parts.size(), 3);
    QCOMPARE(parts.at(0), data.left(20));
    QCOMPARE(parts.at(1), data.mid(20, 20));
    QCOMPARE(parts.at(2), data.mid(40));
    QCOMPARE(BLEInterface::slices(QByteArray::fromHex("013C")), QList<QByteArray>{QByteArray::fromHex("013C")});
    QCOMPARE(BLEInterface::slices(data.left(40)).size(), 2);
    QVERIFY(BLEInterface::slices(QByteArray()).isEmpty());
}

VELKAMO_TEST_MAIN(TestHardwareInfo)
#include "tst_hardwareinfo.moc"
