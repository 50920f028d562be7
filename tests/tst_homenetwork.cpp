#include "networkmessage.h"
#include "packetframing.h"
#include "testsupport.h"

#include <QtTest>

namespace {

QList<QByteArray> hex(std::initializer_list<const char*> packets)
{
    QList<QByteArray> result;
    for (const char* packet : packets)
        result.append(QByteArray::fromHex(packet));
    return result;
}

// A frame of a feature and action around a message's bytes, in one packet with its header.
QByteArray packet(const char* frameHex, const QByteArray& tail = QByteArray())
{
    const QByteArray frame = QByteArray::fromHex(frameHex) + tail;
    return char(frame.size()) + frame;
}

// What the program reads from the camera's notifications: the message, field by field.
QString read(const QList<QByteArray>& packets)
{
    PacketFraming framing;
    for (int i = 0; i < packets.size(); ++i) {
        switch (framing.feed(packets.at(i))) {
        case PacketFraming::Result::Malformed:
            return QStringLiteral("malformed: ") + framing.problem();
        case PacketFraming::Result::Complete: {
            if (i != packets.size() - 1)
                return QStringLiteral("complete too early");
            if (NetworkMessage::isIgnorable(framing.message()))
                return QStringLiteral("ignored");
            const NetworkMessage m = NetworkMessage::parse(framing.message());
            using Kind = NetworkMessage::Kind;
            switch (m.kind) {
            case Kind::Malformed:
                return QStringLiteral("malformed: ") + m.problem;
            case Kind::ScanStarted:
                return QStringLiteral("scan started %1 %2").arg(m.result).arg(m.state);
            case Kind::ScanFinished:
                return QStringLiteral("scan finished %1 id %2, %3 networks").arg(m.state).arg(m.scanId).arg(m.total);
            case Kind::Entries: {
                QStringList entries;
                for (const HomeNetworkEntry& e : m.entries)
                    entries << QStringLiteral("%1 %2%3%4").arg(e.ssid).arg(e.bars)
                                   .arg(e.secured ? " secured" : "", e.configured ? " known" : "");
                return QStringLiteral("entries %1: ").arg(m.result) + entries.join(", ");
            }
            case Kind::CertCreated:
                return QStringLiteral("created %1").arg(m.result);
            case Kind::Certificate:
                return QStringLiteral("certificate %1 ").arg(m.result) + QString::fromLatin1(m.certificate);
            case Kind::Status:
                return QStringLiteral("status %1 %2 %3:%4@%5 on %6")
                    .arg(m.provisioned).arg(m.state).arg(m.user, m.password, m.address.toString(), m.ssid);
            default:
                return QStringLiteral("kind %1").arg(int(m.kind));
            }
        }
        case PacketFraming::Result::Ignored:
        case PacketFraming::Result::Incomplete:
            break;
        }
    }
    return framing.isPending() ? QStringLiteral("incomplete") : QStringLiteral("nothing");
}

const QByteArray kPem = "-----BEGIN CERTIFICATE-----\nMIIBAA==\n-----END CERTIFICATE-----\n";

// The camera's status as a message with the given address field.
QByteArray statusWithAddress(const QByteArray& address)
{
    return QByteArray::fromHex("0801101b1a05676f70726f220c477a74326d36594d764c416f2a") + char(address.size())
        + address;
}

} // namespace

class TestHomeNetwork : public QObject
{
    Q_OBJECT

private slots:
    void fromCamera_data();
    void fromCamera();
    void requests_data();
    void requests();
};

void TestHomeNetwork::fromCamera_data()
{
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::addColumn<QString>("read"); // a "malformed: " row names the start of the reason

    const QList<QByteArray> status = hex({"2047f5ef0801101b1a05676f70726f220c477a74",
                                          "80326d36594d764c416f2a0e3139322e3136382e",
                                          "8135302e31303330013a0a646162756764616275",
                                          "8267420c323437346637663636313034"});
    QTest::newRow("status in four packets")
        << status << "status 1 27 gopro:Gzt2m6YMvLAo@192.168.50.103 on dabugdabug";
    QTest::newRow("scan started") << hex({"06028208011002"}) << "scan started 1 2";
    QTest::newRow("scan finished") << hex({"0a020b0805100118052001"}) << "scan finished 5 id 1, 5 networks";
    QTest::newRow("certificate created") << hex({"04f1e70801"}) << "created 1";
    QTest::newRow("16-bit header") << hex({"400004f1e70801"}) << "created 1";
    // The camera leaves out a network that does not tell its name.
    QTest::newRow("entries")
        << PacketFraming::split(QByteArray::fromHex("0283080110011a130a0a64616275676461627567100320e428282f"
                                                    "1a0d0a0443616665100120ec1228001a090a00100220ec122801"))
        << "entries 1: dabugdabug 3 secured known, Cafe 1";
    QTest::newRow("certificate")
        << PacketFraming::split("\xF5\xEE\x08\x01\x12" + QByteArray(1, char(kPem.size())) + kPem)
        << "certificate 1 " + QString::fromLatin1(kPem);
    QTest::newRow("notification of action 0xFF") << hex({"0202ff"}) << "ignored";
    QTest::newRow("continuation without a start") << hex({"80326d"}) << "nothing";

    QTest::newRow("a packet lost")
        << QList<QByteArray>{status.at(0), status.at(2)} << "malformed: a packet of the camera's answer went missing";
    QTest::newRow("longer than its header") << hex({"03f1e70801"})
                                            << "malformed: the camera's answer is longer than its header";
    QTest::newRow("reserved header") << hex({"60f1e70801"}) << "malformed: a packet of the camera's answer has an unknown header";
    QTest::newRow("frame too short") << hex({"01f5"}) << "malformed: a message of 1 bytes";
    QTest::newRow("field beyond the message") << hex({"05f5ef2a0e31"}) << "malformed: the camera's message f5/ef";
    QTest::newRow("required field missing") << hex({"020282"}) << "malformed: the camera's message 02/82";
    QTest::newRow("certificate not PEM")
        << QList<QByteArray>{packet("f5ee08011205", "hello")} << "malformed: the camera's certificate is not";
    QTest::newRow("certificate body not base64")
        << PacketFraming::split("\xF5\xEE\x08\x01\x12\x3A-----BEGIN CERTIFICATE-----\n@@@@\n-----END CERTIFICATE-----")
        << "malformed: the camera's certificate is not";
    for (const char* address : {"fe80::1", "192.168.1.256", "1", "0.0.0.0", "192.168.1.1 "})
        QTest::addRow("address %s", address) << PacketFraming::split("\xF5\xEF" + statusWithAddress(address))
                                             << "malformed: the camera's address is not an IPv4";
    QTest::newRow("on its network without address")
        << QList<QByteArray>{packet("f5ef0801101b1a05676f70726f2203616263")}
        << "malformed: the camera is on its network but did not tell";
}

void TestHomeNetwork::fromCamera()
{
    QFETCH(QList<QByteArray>, packets);
    QFETCH(QString, read);
    const QString got = ::read(packets);
    if (read.startsWith(QLatin1String("malformed: ")))
        QVERIFY2(got.startsWith(read), qPrintable(got));
    else
        QCOMPARE(got, read);
}

void TestHomeNetwork::requests_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::newRow("start scan") << NetworkMessage::startScan() << hex({"020202"});
    QTest::newRow("scan results") << NetworkMessage::getEntries(1) << hex({"080203080010641801"});
    QTest::newRow("register for status") << NetworkMessage::getStatus(true) << hex({"04f56f0801"});
    QTest::newRow("certificate") << NetworkMessage::getCertificate() << hex({"02f56e"});
    // Name and password together are longer than a packet: 13-bit header and a continuation.
    QTest::newRow("join a new network")
        << NetworkMessage::connectNew("Home & Co", "p@ss wörd 1234")
        << hex({"201e02050a09486f6d65202620436f120f704073", "80732077c3b672642031323334"});
    // 18 packets: the continuation counter wraps after 0x8F.
    const QByteArray longName(330, 'n');
    QList<QByteArray> wrapping = PacketFraming::split(NetworkMessage::connect(longName));
    QCOMPARE(wrapping.size(), 18);
    QCOMPARE(wrapping.at(16).at(0), char(0x8F));
    QCOMPARE(wrapping.at(17).at(0), char(0x80));
    QTest::newRow("long name") << NetworkMessage::connect(longName) << wrapping;
}

void TestHomeNetwork::requests()
{
    QFETCH(QByteArray, frame);
    QFETCH(QList<QByteArray>, packets);
    const QList<QByteArray> written = PacketFraming::split(frame);
    QCOMPARE(written, packets);
    // What is written reads back as the same frame.
    PacketFraming framing;
    for (const QByteArray& p : written) {
        QVERIFY(p.size() <= PacketFraming::kPacketSize);
        framing.feed(p);
    }
    QCOMPARE(framing.message(), frame);
}

VELKAMO_TEST_MAIN(TestHomeNetwork)
#include "tst_homenetwork.moc"
