#include "bleinterface.h"
#include "deviceinfo.h"
#include "fakebluez.h"
#include "hardwareinfo.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kCannotConnect =
    QStringLiteral("Cannot connect to remote device. Make sure you have powered on the camera.");

QJsonObject device(const QString& name, const QString& address, const QString& kind)
{
    return QJsonObject{{"name", name}, {"address", address}, {"kind", kind}};
}

bool hasStatus(const QSignalSpy& spy, const QString& text, bool isGood)
{
    for (const QList<QVariant>& args : spy) {
        if (args.at(0).toString() == text && args.at(1).toBool() == isGood)
            return true;
    }
    return false;
}

int statusCount(const QSignalSpy& spy, const QString& text)
{
    int n = 0;
    for (const QList<QVariant>& args : spy)
        n += args.at(0).toString() == text;
    return n;
}

QStringList withPrefix(const QStringList& lines, const QString& prefix)
{
    QStringList out;
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            out << line;
    }
    return out;
}

} // namespace

class TestBle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void scanKeepsGoProLowEnergyDevices();
    void scanWithoutCameras();
    void adapterOffOrAbsent();
    void connectBindsServicesAndReadsCredentials();
    void commandsAndNotifications();
    void chunkedWritesWithoutResponseAndOnError();
    void unpairedCameraReportsPairError();
    void connectFailureAndLinkLoss();
    void stalledConnectionIsTimeLimited();
    void indexOutsideTheListIsRefused();
    void missingServices();

private:
    // Scans until the fake's devices are listed (the agent goes on scanning meanwhile).
    void scanUntilListed(BLEInterface& ble, int count = 1);
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

void TestBle::scanUntilListed(BLEInterface& ble, int count)
{
    ble.scanDevices();
    QTRY_VERIFY_WITH_TIMEOUT(ble.m_devices.size() >= count, 3000);
}

void TestBle::connectReady(BLEInterface& ble)
{
    scanUntilListed(ble);
    QSignalSpy finished(&ble, &BLEInterface::connectFinish);
    ble.connectCurrentDevice();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 8000);
}

void TestBle::scanKeepsGoProLowEnergyDevices()
{
    QVERIFY(m_fake.configure(QJsonObject{
        {"devices", QJsonArray{
                        device("GoPro 1234", "A1:00:00:00:00:01", "camera"),
                        device("gopro 4321", "A1:00:00:00:00:02", "le"),
                        device("GoPro 5678", "A1:00:00:00:00:03", "camera"),
                        device("My GoPro", "A1:00:00:00:00:04", "le"),
                        device("GoPro Classic", "A1:00:00:00:00:05", "classic"),
                        device("Speaker", "A1:00:00:00:00:06", "le"),
                    }}}));

    BLEInterface ble;
    QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
    QSignalSpy names(&ble, &BLEInterface::devicesNamesChanged);
    QElapsedTimer clock;
    clock.start();
    ble.scanDevices();
    QTRY_VERIFY_WITH_TIMEOUT(!ble.m_deviceDiscoveryAgent->isActive(), 10000);
    const qint64 scanMs = clock.elapsed();
    // The 5 s limit holds for the very first scan too.
    QVERIFY2(scanMs >= 4000 && scanMs < 8000, qPrintable(QString::number(scanMs)));

    QCOMPARE(ble.m_devicesNames, (QList<QString>{"GoPro 1234", "GoPro 5678"}));
    QCOMPARE(ble.property("devicesNames").value<QList<QString>>(), ble.m_devicesNames);
    QCOMPARE(ble.m_devices.size(), 2);
    QCOMPARE(ble.m_devices.at(1)->getAddress(), QStringLiteral("A1:00:00:00:00:03"));
    QCOMPARE(ble.m_devices.at(0)->property("deviceName").toString(), QStringLiteral("GoPro 1234"));
    QCOMPARE(status.first().at(0).toString(), QStringLiteral("Scanning for devices..."));
    QCOMPARE(statusCount(status, "GoPro device found, choose your device to connect."), 2);
    QVERIFY(hasStatus(status, "GoPro device found, choose your device to connect.", true));
    QCOMPARE(statusCount(status, "No GoPro devices found, make sure you have powered on the camera."), 0);
    QCOMPARE(names.last().at(0).value<QList<QString>>(), ble.m_devicesNames);

    // A new scan empties the list and says so before anything else; a camera reported
    // twice is listed twice.
    names.clear();
    status.clear();
    ble.scanDevices();
    QVERIFY(!names.isEmpty());
    QVERIFY(names.first().at(0).value<QList<QString>>().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(ble.m_devicesNames.size(), 2, 3000);
    m_fake.readvertise(QStringLiteral("A1:00:00:00:00:01"), -40);
    QTRY_COMPARE_WITH_TIMEOUT(ble.m_devicesNames.size(), 3, 3000);
    QCOMPARE(ble.m_devicesNames.count(QStringLiteral("GoPro 1234")), 2);
    QCOMPARE(ble.m_devices.size(), 3);

    // Pressing scan again while a scan runs lists the known devices again.
    ble.scanDevices();
    QTRY_COMPARE_WITH_TIMEOUT(ble.m_devicesNames.size(), 2, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!ble.m_deviceDiscoveryAgent->isActive(), 10000);
    QCOMPARE(ble.m_devicesNames.size(), 2);
}

void TestBle::scanWithoutCameras()
{
    QVERIFY(m_fake.configure(QJsonObject{
        {"devices", QJsonArray{
                        device("gopro 4321", "A1:00:00:00:00:02", "le"),
                        device("GoPro Classic", "A1:00:00:00:00:05", "classic"),
                        device("Cam GoPro 1", "A1:00:00:00:00:06", "le"),
                    }}}));
    BLEInterface ble;
    QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
    ble.scanDevices();
    QTRY_VERIFY_WITH_TIMEOUT(!ble.m_deviceDiscoveryAgent->isActive(), 10000);
    QVERIFY(ble.m_devicesNames.isEmpty());
    QVERIFY(ble.m_devices.isEmpty());
    QCOMPARE(status.last().at(0).toString(),
             QStringLiteral("No GoPro devices found, make sure you have powered on the camera."));
    QCOMPARE(status.last().at(1).toBool(), false);
}

void TestBle::adapterOffOrAbsent()
{
    PromptRecorder prompts;
    {
        BLEInterface ble;
        QCOMPARE(ble.checkLocalDevice(), 0);
        QCOMPARE(prompts.count(), 0);
    }

    QVERIFY(m_fake.configure(QJsonObject{{"adapter", "off"}}));
    {
        BLEInterface ble;
        QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
        QCOMPARE(ble.checkLocalDevice(), -1);
        QCOMPARE(prompts.count(), 1);
        QCOMPARE(prompts.requests().last().title, QStringLiteral("Alert"));
        QCOMPARE(prompts.requests().last().text,
                 QStringLiteral("Bluetooth is supported, but it's currently powered off."));
        ble.scanDevices();
        QTRY_VERIFY(hasStatus(status, "The Bluetooth is powered off, power it on before scanning.", false));
        QVERIFY(ble.m_devicesNames.isEmpty());
    }

    QVERIFY(m_fake.configure(QJsonObject{{"adapter", "absent"}}));
    {
        BLEInterface ble;
        QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
        QCOMPARE(ble.checkLocalDevice(), -2);
        QCOMPARE(prompts.count(), 2);
        QCOMPARE(prompts.requests().last().text,
                 QStringLiteral("Bluetooth is not supported on this device.<br>Please manually "
                                "enable AP mode on your GoPro."));
        ble.scanDevices();
        QTRY_VERIFY(hasStatus(status, "Writing or reading from the device resulted in an error.", false));
    }
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
    QVERIFY(ble.m_connected);
    QVERIFY(ble.property("connected").toBool());
    QCOMPARE(statusCount(status, "Service discovered. Waiting for service scan to be done..."), 2);
    QTRY_VERIFY_WITH_TIMEOUT(ble.m_apSsidChar.isValid() && ble.m_cmdChar.isValid(), 3000);
    const qint64 boundMs = clock.elapsed();

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
    // The access point is given its settle time after its service is bound.
    QVERIFY2(clock.elapsed() - boundMs >= 1500, qPrintable(QString::number(clock.elapsed() - boundMs)));
    QTRY_VERIFY(hasStatus(status, "Bluetooth connection successful.", true));

    QVERIFY(ble.m_apService && ble.m_cmdService);
    for (const QLowEnergyCharacteristic* c : {&ble.m_cmdRespChar, &ble.m_settingsChar,
                                              &ble.m_settingsRespChar, &ble.m_queryChar,
                                              &ble.m_queryRespChar, &ble.m_apPwdChar})
        QVERIFY(c->isValid());
    QCOMPARE(ble.m_queryRespChar.uuid().toString(),
             QStringLiteral("{b5f90077-aa8d-11e3-9046-0002a5d5c51b}"));
    // Notifications on every characteristic with a configuration descriptor, of both services.
    QTRY_COMPARE(m_fake.writes().filter(QStringLiteral("|notify|")).size(), 4);
    const QStringList notifies = m_fake.writes().filter(QStringLiteral("|notify|on"));
    for (const char* uuid : {"0005", "0073", "0075", "0077"})
        QVERIFY2(notifies.contains(QLatin1String(uuid) + QLatin1String("|notify|on")), uuid);

    // The SSID is read at once and stored without its surrounding blanks.
    QCOMPARE(ble.m_apSsid, QStringLiteral("GP24645504"));
    QVERIFY(ble.m_apPwd.isEmpty());
    ble.readAPPwd();
    QTRY_COMPARE(ble.m_apPwd, QStringLiteral("p@d-NNc-2ts"));
}

void TestBle::commandsAndNotifications()
{
    BLEInterface ble;
    connectReady(ble);
    QSignalSpy data(&ble, &BLEInterface::dataReceived);
    const int before = int(withPrefix(m_fake.writes(), "0072|").size());
    QCOMPARE(before, 0);

    ble.enableApMode(true);
    QTRY_COMPARE(data.count(), 1);
    QCOMPARE(data.last().at(0).toByteArray(), QByteArray::fromHex("021700"));
    ble.powerOff();
    ble.SendCmd();
    ble.enableApMode(false);
    QTRY_COMPARE(data.count(), 4);
    QCOMPARE(withPrefix(m_fake.writes(), "0072|"),
             (QStringList{"0072|request|03170101", "0072|request|0105", "0072|request|03010101",
                          "0072|request|03170100"}));

    // The hardware information reply arrives as the camera sends it, packet by packet.
    data.clear();
    QVERIFY(ble.writeCommand(QByteArray::fromHex("013C")));
    QTRY_COMPARE(data.count(), 5);
    QCOMPARE(withPrefix(m_fake.writes(), "0072|").last(), QStringLiteral("0072|request|013c"));
    QCOMPARE(data.at(0).at(0).toByteArray().left(4), QByteArray::fromHex("205B3C00"));
    HardwareInfo info;
    HardwareInfo::Outcome outcome = HardwareInfo::Outcome::Ignored;
    for (int i = 0; i < data.count(); ++i) {
        const QByteArray packet = data.at(i).at(0).toByteArray();
        QVERIFY(packet.size() <= 20);
        if (i > 0)
            QCOMPARE(quint8(packet.at(0)), quint8(0x80 + i - 1));
        if (outcome != HardwareInfo::Outcome::Model)
            outcome = info.feed(packet);
    }
    QCOMPARE(outcome, HardwareInfo::Outcome::Model);
    QCOMPARE(info.modelName(), QStringLiteral("hero12"));

    // A notification of any characteristic of the control service, byte for byte.
    data.clear();
    const QByteArray raw = QByteArray::fromHex("2014930000ff01020304050607080910111213141516");
    m_fake.notify(QStringLiteral("0077"), raw.left(20));
    QTRY_COMPARE(data.count(), 1);
    QCOMPARE(data.first().at(0).toByteArray(), raw.left(20));

    // Longer commands go in 20-byte slices, each waiting for its confirmation.
    QByteArray longCommand;
    for (int i = 0; i < 45; ++i)
        longCommand.append(char(0xA0 + i));
    QVERIFY(ble.writeCommand(longCommand));
    const QStringList writes = withPrefix(m_fake.writes(), "0072|").mid(5);
    QCOMPARE(writes,
             (QStringList{"0072|request|" + longCommand.left(20).toHex(),
                          "0072|request|" + longCommand.mid(20, 20).toHex(),
                          "0072|request|" + longCommand.mid(40).toHex()}));
}

void TestBle::chunkedWritesWithoutResponseAndOnError()
{
    QByteArray longCommand(45, '\x5A');
    {
        QVERIFY(m_fake.configure(QJsonObject{{"write_no_response", true}}));
        BLEInterface ble;
        connectReady(ble);
        QVERIFY(ble.writeCommand(longCommand));
        QTRY_COMPARE(withPrefix(m_fake.writes(), "0072|").size(), 3);
        QCOMPARE(withPrefix(m_fake.writes(), "0072|command|").size(), 3);
    }
    {
        // The camera refuses the second slice: the third is never sent.
        QVERIFY(m_fake.configure(QJsonObject{{"write_fail_after", 1}}));
        BLEInterface ble;
        connectReady(ble);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!ble.writeCommand(longCommand));
        QVERIFY2(clock.elapsed() < 2500, "stopped by the error, not by the time limit");
        QTest::qWait(300);
        QCOMPARE(withPrefix(m_fake.writes(), "0072|").size(), 2);
        // Without a link nothing is written at all.
        BLEInterface idle;
        QVERIFY(!idle.writeCommand(longCommand));
    }
}

void TestBle::unpairedCameraReportsPairError()
{
    QVERIFY(m_fake.configure(QJsonObject{{"paired", false}}));
    BLEInterface ble;
    QSignalSpy pair(&ble, &BLEInterface::pairError);
    connectReady(ble);
    QVERIFY(pair.count() >= 1);
    QVERIFY(ble.m_apSsid.isEmpty());
    ble.readAPPwd();
    QTest::qWait(300);
    QVERIFY(ble.m_apPwd.isEmpty());
}

void TestBle::connectFailureAndLinkLoss()
{
    QVERIFY(m_fake.configure(QJsonObject{{"connect", "fail"}}));
    {
        BLEInterface ble;
        scanUntilListed(ble);
        QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
        QSignalSpy connected(&ble, &BLEInterface::connectedChanged);
        ble.connectCurrentDevice();
        QTRY_VERIFY_WITH_TIMEOUT(hasStatus(status, kCannotConnect, false), 5000);
        QCOMPARE(connected.count(), 0);
    }

    QVERIFY(m_fake.configure());
    BLEInterface ble;
    connectReady(ble);
    QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
    QSignalSpy connected(&ble, &BLEInterface::connectedChanged);
    m_fake.dropLink(QLatin1String(FakeBluez::kCameraAddress));
    QTRY_COMPARE(connected.count(), 1);
    QCOMPARE(connected.first().at(0).toBool(), false);
    QVERIFY(!ble.m_connected);
    QVERIFY(hasStatus(status, "Device disconnected", false));

    // Connecting again works with a new controller.
    QSignalSpy finished(&ble, &BLEInterface::connectFinish);
    ble.connectCurrentDevice();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 8000);
    QVERIFY(ble.m_connected);
    QCOMPARE(connected.count(), 2);

    // A link lost while it is still coming up is a failed connection: no connectedChanged.
    QVERIFY(m_fake.configure(QJsonObject{{"connect", "never"}}));
    BLEInterface fresh;
    scanUntilListed(fresh);
    QSignalSpy freshStatus(&fresh, &BLEInterface::statusInfoChanged);
    QSignalSpy freshConnected(&fresh, &BLEInterface::connectedChanged);
    fresh.connectCurrentDevice();
    QTest::qWait(300);
    m_fake.dropLink(QLatin1String(FakeBluez::kCameraAddress));
    QTRY_VERIFY(hasStatus(freshStatus, kCannotConnect, false));
    QCOMPARE(freshConnected.count(), 0);
    QVERIFY(!fresh.m_connected);
}

void TestBle::stalledConnectionIsTimeLimited()
{
    // Detail discovery that never ends (its last read fails).
    QVERIFY(m_fake.configure(QJsonObject{{"stall_details", true}}));
    {
        BLEInterface ble;
        ble.setLinkTimeout(1500);
        scanUntilListed(ble);
        QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
        QSignalSpy connected(&ble, &BLEInterface::connectedChanged);
        QSignalSpy finished(&ble, &BLEInterface::connectFinish);
        ble.connectCurrentDevice();
        QTRY_VERIFY_WITH_TIMEOUT(hasStatus(status, kCannotConnect, false), 4000);
        QCOMPARE(connected.count(), 2);
        QCOMPARE(connected.last().at(0).toBool(), false);
        QVERIFY(!ble.m_connected);
        QTest::qWait(2500);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!hasStatus(status, "Bluetooth connection successful.", true));
    }
    // A link that never comes up.
    QVERIFY(m_fake.configure(QJsonObject{{"connect", "never"}}));
    {
        BLEInterface ble;
        ble.setLinkTimeout(1500);
        scanUntilListed(ble);
        QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
        ble.connectCurrentDevice();
        QTRY_VERIFY_WITH_TIMEOUT(hasStatus(status, kCannotConnect, false), 4000);
    }
}

void TestBle::indexOutsideTheListIsRefused()
{
    BLEInterface ble;
    QSignalSpy current(&ble, &BLEInterface::currentDeviceChanged);
    QVERIFY(!ble.set_currentDevice(0));
    QCOMPARE(current.count(), 0);
    QVERIFY(ble.set_currentDevice(3));
    QCOMPARE(current.count(), 1);
    QCOMPARE(ble.property("currentDevice").toInt(), 3);
    QVERIFY(!ble.set_currentDevice(3));
    QCOMPARE(current.count(), 1);

    // Nothing listed yet: nothing happens.
    ble.connectCurrentDevice();
    QVERIFY(!ble.m_control);

    scanUntilListed(ble);
    QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
    ble.connectCurrentDevice();
    QVERIFY(!ble.m_control);
    QVERIFY(hasStatus(status, "Choose a camera from the list before connecting.", false));
    ble.disconnectDevice();
    QVERIFY(!ble.m_control);
}

void TestBle::missingServices()
{
    QVERIFY(m_fake.configure(QJsonObject{{"services", "none"}}));
    {
        BLEInterface ble;
        scanUntilListed(ble);
        QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
        QSignalSpy connected(&ble, &BLEInterface::connectedChanged);
        ble.connectCurrentDevice();
        QTRY_VERIFY_WITH_TIMEOUT(hasStatus(status, "Can't find any services.", true), 5000);
        QCOMPARE(connected.count(), 0);
        QVERIFY(!ble.m_connected);
    }
    QVERIFY(m_fake.configure(QJsonObject{{"services", "control"}}));
    {
        BLEInterface ble;
        scanUntilListed(ble);
        QSignalSpy status(&ble, &BLEInterface::statusInfoChanged);
        QSignalSpy finished(&ble, &BLEInterface::connectFinish);
        ble.connectCurrentDevice();
        QTRY_VERIFY_WITH_TIMEOUT(ble.m_cmdChar.isValid(), 5000);
        QVERIFY(!ble.m_apService);
        QVERIFY(!ble.m_apSsidChar.isValid());
        QVERIFY(hasStatus(status, "The camera offers no Wi-Fi access point service.", false));
        QTest::qWait(2500);
        QCOMPARE(finished.count(), 0);
        // Reads without their characteristic are dropped quietly.
        ble.readAPSsid();
        ble.readAPPwd();
        QTest::qWait(200);
        QVERIFY(ble.m_apSsid.isEmpty());
    }
}

FAKEBLUEZ_TEST_MAIN(TestBle)
#include "tst_ble.moc"
