#include "bleinterface.h"
#include "fakebluez.h"
#include "networkmessage.h"
#include "packetframing.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kCannotConnect =
    QStringLiteral("Cannot connect to remote device. Make sure you have powered on the camera.");
const QString kFound = QStringLiteral("GoPro device found, choose your device to connect.");

QJsonObject device(const QString& name, const QString& address, const QString& kind)
{
    return QJsonObject{{"name", name}, {"address", address}, {"kind", kind}};
}

int statusCount(const QSignalSpy& spy, const QString& text)
{
    int n = 0;
    for (const QList<QVariant>& args : spy)
        n += args.at(0).toString() == text;
    return n;
}

QStringList commandWrites(const FakeBluez& fake)
{
    return fake.writes().filter(QStringLiteral("0072|"));
}

} // namespace

class TestBle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void scan_data();
    void scan();
    void connectBindsServicesAndReadsCredentials();
    void commandsAndNotifications();
    void writesWithoutResponse();
    void messagesTakeTurns();
    void writeEnds_data();
    void writeEnds();
    void linkLossAndReconnect();
    void connectionNeverReady_data();
    void connectionNeverReady();

private:
    // Scans until the fake's devices are listed (the agent goes on scanning meanwhile).
    void scanUntilListed(BLEInterface& ble);
    // Scans, connects the first device and waits for connectFinish().
    void connectReady(BLEInterface& ble);

    FakeBluez m_fake;
};

void TestBle::initTestCase()
{
    QString error;
    QVERIFY2(m_fake.start(&error), qPrintable(error));
}

void TestBle::init()
{
    QVERIFY(m_fake.configure());
}

void TestBle::scanUntilListed(BLEInterface& ble)
{
    ble.scanDevices();
    QTRY_VERIFY_WITH_TIMEOUT(!ble.m_devices.isEmpty(), 3000);
}

void TestBle::connectReady(BLEInterface& ble)
{
    scanUntilListed(ble);
    QSignalSpy finished(&ble, &BLEInterface::connectFinish);
    ble.connectCurrentDevice();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 8000);
}

void TestBle::scan_data()
{
    QTest::addColumn<QJsonArray>("devices");
    QTest::addColumn<QStringList>("names");
    // Only LE devices whose name starts with "GoPro" (that case) are cameras.
    QJsonArray others{device("gopro 4321", "A1:00:00:00:00:02", "le"),
                      device("My GoPro", "A1:00:00:00:00:04", "le"),
                      device("GoPro Classic", "A1:00:00:00:00:05", "classic")};
    QTest::newRow("no camera") << others << QStringList{};
    others.insert(0, device("GoPro 1234", "A1:00:00:00:00:01", "camera"));
    others.insert(2, device("GoPro 5678", "A1:00:00:00:00:03", "camera"));
    QTest::newRow("cameras among others") << others << QStringList{"GoPro 1234", "GoPro 5678"};
}

void TestBle::scan()
{
    QFETCH(QJsonArray, devices);
    QFETCH(QStringList, names);
    QVERIFY(m_fake.configure(QJsonObject{{"devices", devices}}));
    BLEInterface ble;
    QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
    QElapsedTimer clock;
    clock.start();
    ble.scanDevices();
    QTRY_VERIFY_WITH_TIMEOUT(!ble.m_deviceDiscoveryAgent->isActive(), 10000);
    // The 5 s limit holds for the very first scan too.
    QVERIFY2(clock.elapsed() >= 4000 && clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));

    QCOMPARE(ble.m_devicesNames, names);
    QCOMPARE(ble.m_devices.size(), names.size());
    QCOMPARE(status.first().at(0).toString(), QStringLiteral("Scanning for devices..."));
    QCOMPARE(statusCount(status, kFound), names.size());
    const QString none = QStringLiteral("No GoPro devices found, make sure you have powered on the camera.");
    QCOMPARE(status.last(), (QList<QVariant>{names.isEmpty() ? none : kFound, !names.isEmpty()}));

    // A choice beyond the list connects nothing.
    ble.set_currentDevice(int(names.size()));
    ble.connectCurrentDevice();
    QVERIFY(!ble.m_control);
    QCOMPARE(statusCount(status, "Choose a camera from the list before connecting."),
             names.isEmpty() ? 0 : 1);
}

void TestBle::connectBindsServicesAndReadsCredentials()
{
    BLEInterface ble;
    scanUntilListed(ble);
    QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
    QSignalSpy connected(&ble, &BLEInterface::connectedChanged);
    QSignalSpy finished(&ble, &BLEInterface::connectFinish);
    QElapsedTimer clock;
    clock.start();
    ble.connectCurrentDevice();
    QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
    QCOMPARE(connected.first().at(0).toBool(), true);
    QTRY_VERIFY_WITH_TIMEOUT(ble.m_apSsidChar.isValid() && ble.m_cmdChar.isValid(), 3000);
    const qint64 boundMs = clock.elapsed();

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    // The access point is given its settle time after its service is bound.
    QVERIFY2(clock.elapsed() - boundMs >= 1500, qPrintable(QString::number(clock.elapsed() - boundMs)));
    QCOMPARE(status.last(), (QList<QVariant>{QStringLiteral("Bluetooth connection successful."), true}));

    // Notifications on every characteristic with a configuration descriptor, of all services.
    QTRY_COMPARE(m_fake.writes().filter(QStringLiteral("|notify|")).size(), 5);
    const QStringList notifies = m_fake.writes().filter(QStringLiteral("|notify|on"));
    for (const char* uuid : {"0005", "0073", "0075", "0077", "0092"})
        QVERIFY2(notifies.contains(QLatin1String(uuid) + QLatin1String("|notify|on")), uuid);

    // The SSID is read at once and stored without its surrounding blanks; the password on request.
    QCOMPARE(ble.m_apSsid, QStringLiteral("GP24645504"));
    ble.readAPPwd();
    QTRY_COMPARE(ble.m_apPwd, QStringLiteral("p@d-NNc-2ts"));
}

void TestBle::commandsAndNotifications()
{
    BLEInterface ble;
    connectReady(ble);
    QSignalSpy data(&ble, &BLEInterface::dataReceived);
    ble.enableApMode(true);
    QTRY_COMPARE(data.count(), 1);
    QCOMPARE(data.last().at(0).toByteArray(), QByteArray::fromHex("021700"));
    ble.powerOff();
    ble.SendCmd();
    ble.enableApMode(false);
    QTRY_COMPARE(data.count(), 4);

    // A notification of any characteristic of the control service, byte for byte.
    const QByteArray raw = QByteArray::fromHex("2014930000ff0102030405060708091011121314");
    m_fake.notify(QStringLiteral("0077"), raw);
    QTRY_COMPARE(data.count(), 5);
    QCOMPARE(data.last().at(0).toByteArray(), raw);

    // A longer command goes in 20-byte slices, each once the one before is confirmed.
    QSignalSpy written(&ble, &BLEInterface::written);
    const quint64 id = ble.writeCommand(QByteArray(45, '\x5A'));
    QVERIFY(id != 0);
    QVERIFY(written.wait());
    QCOMPARE(written.first().at(0).toULongLong(), id);
    QCOMPARE(commandWrites(m_fake).mid(4),
             (QStringList{"0072|request|" + QByteArray(20, '\x5A').toHex(), "0072|request|" + QByteArray(20, '\x5A').toHex(),
                          "0072|request|" + QByteArray(5, '\x5A').toHex()}));
}

void TestBle::writesWithoutResponse()
{
    // Nothing to wait for: the slices go out together.
    QVERIFY(m_fake.configure(QJsonObject{{"write_no_response", true}}));
    BLEInterface ble;
    connectReady(ble);
    QSignalSpy written(&ble, &BLEInterface::written);
    const quint64 id = ble.writeCommand(QByteArray(45, '\x5A'));
    QVERIFY(written.wait());
    QCOMPARE(written.first().at(0).toULongLong(), id);
    QTRY_COMPARE(commandWrites(m_fake).filter(QStringLiteral("0072|command|")).size(), 3);
    QCOMPARE(commandWrites(m_fake).size(), 3);
    // Without a link nothing is written at all.
    BLEInterface idle;
    QCOMPARE(idle.writeCommand(QByteArray(45, '\x5A')), 0u);
    QCOMPARE(idle.writeFrame(NetworkMessage::startScan()), 0u);
}

void TestBle::messagesTakeTurns()
{
    // Every packet is confirmed late, so the next message is asked for long before the one
    // before has gone out.
    QVERIFY(m_fake.configure(QJsonObject{{"write_delay_ms", QJsonObject{{"0072", 100}, {"0076", 100}}}}));
    BLEInterface ble;
    connectReady(ble);
    QSignalSpy written(&ble, &BLEInterface::written);
    QSignalSpy failed(&ble, &BLEInterface::writeFailed);
    // Three frames of three packets each: two commands, then a query on the same service.
    const auto frame = [](char feature, char fill) {
        return QByteArray(1, feature) + QByteArray::fromHex("700a28") + QByteArray(40, fill);
    };
    const QByteArray frames[] = {frame('\xF1', 'A'), frame('\xF1', 'B'), frame('\xF5', 'C')};
    QList<quint64> ids;
    QStringList expected;
    for (const QByteArray& f : frames) {
        ids << ble.writeFrame(f);
        for (const QByteArray& packet : PacketFraming::split(f))
            expected << (f.at(0) == '\xF1' ? "0072|request|" : "0076|request|") + packet.toHex();
    }
    QTRY_COMPARE_WITH_TIMEOUT(written.size(), 3, 5000);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(written.at(i).at(0).toULongLong(), ids.at(i));
    QVERIFY(failed.isEmpty());
    // Each message's packets in order, the messages one after the other.
    QCOMPARE(m_fake.writes().filter(QStringLiteral("|request|")), expected);
}

void TestBle::writeEnds_data()
{
    QTest::addColumn<QJsonObject>("config");
    QTest::addColumn<int>("timeout");     // how long a packet may wait for its confirmation; 0: the default
    QTest::addColumn<QString>("action");  // what happens once the first packet is on its way
    QTest::addColumn<bool>("fails");      // writeFailed() tells; otherwise nothing does
    QTest::addColumn<int>("written");     // packets of the command on the wire
    QTest::addColumn<int>("atMostMs");    // until it fails; 0: no bound
    QTest::addColumn<int>("atLeastMs");
    QTest::addColumn<bool>("nextGoes");   // a query written next goes out whole

    const QJsonObject slow{{"write_delay_ms", QJsonObject{{"0072", 1000}}}};
    // The second packet refused: stopped by the error, not by the time limit.
    QTest::newRow("refused") << QJsonObject{{"write_fail_after", 1}} << 0 << QString() << true << 2 << 2500 << 0
                             << true;
    QTest::newRow("not confirmed in time") << slow << 700 << QString() << true << 1 << 0 << 700 << true;
    QTest::newRow("cancelled") << QJsonObject{{"write_delay_ms", QJsonObject{{"0072", 300}}}} << 0
                               << QStringLiteral("cancel") << false << 1 << 0 << 0 << true;
    QTest::newRow("link lost") << slow << 0 << QStringLiteral("drop") << true << 1 << 0 << 0 << false;
}

void TestBle::writeEnds()
{
    QFETCH(QJsonObject, config);
    QFETCH(int, timeout);
    QFETCH(QString, action);
    QFETCH(bool, fails);
    QFETCH(int, written);
    QFETCH(int, atMostMs);
    QFETCH(int, atLeastMs);
    QFETCH(bool, nextGoes);
    QVERIFY(m_fake.configure(config));
    BLEInterface ble;
    if (timeout > 0)
        ble.setWriteTimeout(timeout);
    connectReady(ble);
    QSignalSpy done(&ble, &BLEInterface::written);
    QSignalSpy failed(&ble, &BLEInterface::writeFailed);
    const QByteArray command(45, '\x5A');
    const auto commandOnWire = [this] {
        return commandWrites(m_fake).filter(QRegularExpression(QStringLiteral("^0072\\|request\\|(5a)+$"))).size();
    };
    QElapsedTimer clock;
    clock.start();
    const quint64 id = ble.writeCommand(command);
    QVERIFY(id != 0);
    QTRY_COMPARE(commandOnWire(), 1);
    if (action == QLatin1String("cancel"))
        ble.cancelWrite(id);
    else if (action == QLatin1String("drop"))
        m_fake.dropLink(QLatin1String(FakeBluez::kCameraAddress));

    if (fails) {
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 5000);
        QCOMPARE(failed.first().at(0).toULongLong(), id);
        if (atMostMs > 0)
            QVERIFY2(clock.elapsed() < atMostMs, qPrintable(QString::number(clock.elapsed())));
        // A coarse timer may fire up to 5 % early.
        QVERIFY2(clock.elapsed() >= atLeastMs * 95 / 100, qPrintable(QString::number(clock.elapsed())));
    }
    // What comes next is written after what is left of the command, if anything is.
    const QByteArray query = QByteArray::fromHex("f5700a10") + QByteArray(16, 'Q');
    const quint64 next = ble.writeFrame(query);
    if (nextGoes) {
        QVERIFY(next != 0);
        QTRY_VERIFY_WITH_TIMEOUT(done.contains(QVariantList{next}), 5000);
    } else {
        QCOMPARE(next, 0u);
    }
    QCOMPARE(commandOnWire(), written);
    QCOMPARE(failed.size(), fails ? 1 : 0);
    QVERIFY(!done.contains(QVariantList{id}));
}

void TestBle::linkLossAndReconnect()
{
    BLEInterface ble;
    connectReady(ble);
    QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
    QSignalSpy connected(&ble, &BLEInterface::connectedChanged);
    m_fake.dropLink(QLatin1String(FakeBluez::kCameraAddress));
    QTRY_COMPARE(connected.count(), 1);
    QCOMPARE(connected.first().at(0).toBool(), false);
    QVERIFY(!ble.m_connected);
    QCOMPARE(statusCount(status, "Device disconnected"), 1);

    // Connecting again works with a new controller, and commands go to the new services.
    QSignalSpy finished(&ble, &BLEInterface::connectFinish);
    ble.connectCurrentDevice();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 8000);
    QVERIFY(ble.m_connected);
    QCOMPARE(connected.count(), 2);
    ble.powerOff();
    QTRY_COMPARE(commandWrites(m_fake), QStringList{"0072|request|0105"});
}

void TestBle::connectionNeverReady_data()
{
    QTest::addColumn<QJsonObject>("config");
    QTest::addColumn<int>("linkTimeout"); // 0: the program's own
    QTest::addColumn<bool>("dropLink");   // the link goes while it is still coming up
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("connectedSignals");
    const QString cannot = kCannotConnect;
    QTest::newRow("refused") << QJsonObject{{"connect", "fail"}} << 0 << false << cannot << 0;
    QTest::newRow("lost while coming up") << QJsonObject{{"connect", "never"}} << 0 << true << cannot << 0;
    QTest::newRow("never up") << QJsonObject{{"connect", "never"}} << 1500 << false << cannot << 0;
    // Detail discovery that never ends (its last read fails): connected, then given up.
    QTest::newRow("details never end") << QJsonObject{{"stall_details", true}} << 1500 << false << cannot
                                       << 2;
    QTest::newRow("no services") << QJsonObject{{"services", "none"}} << 0 << false
                                 << QStringLiteral("Can't find any services.") << 0;
    QTest::newRow("no access point") << QJsonObject{{"services", "control"}} << 0 << false
                                     << QStringLiteral("The camera offers no Wi-Fi access point service.")
                                     << 1;
}

void TestBle::connectionNeverReady()
{
    QFETCH(QJsonObject, config);
    QFETCH(int, linkTimeout);
    QFETCH(bool, dropLink);
    QFETCH(QString, status);
    QFETCH(int, connectedSignals);
    QVERIFY(m_fake.configure(config));
    BLEInterface ble;
    if (linkTimeout > 0)
        ble.setLinkTimeout(linkTimeout);
    scanUntilListed(ble);
    QSignalSpy statuses(&ble, &BLEInterface::statusInfoChanged);
    QSignalSpy connected(&ble, &BLEInterface::connectedChanged);
    QSignalSpy finished(&ble, &BLEInterface::connectFinish);
    ble.connectCurrentDevice();
    if (dropLink) {
        QTest::qWait(300);
        m_fake.dropLink(QLatin1String(FakeBluez::kCameraAddress));
    }
    QTRY_VERIFY_WITH_TIMEOUT(statusCount(statuses, status) > 0, 5000);
    QTest::qWait(2500);
    QCOMPARE(connected.count(), connectedSignals);
    QCOMPARE(ble.m_connected, connectedSignals % 2 == 1);
    QCOMPARE(finished.count(), 0);
    // Reads without their characteristic are dropped quietly.
    ble.readAPSsid();
    ble.readAPPwd();
    QTest::qWait(200);
    QVERIFY(ble.m_apSsid.isEmpty() && ble.m_apPwd.isEmpty());
}

FAKEBLUEZ_TEST_MAIN(TestBle)
#include "tst_ble.moc"
