#include "bleinterface.h"
#include "camsim.h"
#include "deviceinfo.h"
#include "fakebluez.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <signal.h>

namespace {

const QString kSuccess =
    QStringLiteral("connect to the WiFi successfully, please wait to refresh automatically");
const QString kFailureHead = QStringLiteral("connection failed, please connect to the following network")
    + QString(29, QLatin1Char(' ')) + QStringLiteral("manually<br>SSID: ");
const QString kCaution = QStringLiteral(
    "CAUTION: This will disconnect the current network and connect to the GoPro network. Are you sure?");

int countText(const PromptRecorder& prompts, const QString& text)
{
    int n = 0;
    for (const Prompt::Request& request : prompts.requests())
        n += request.text == text;
    return n;
}

QList<Prompt::Request> withTextStarting(const PromptRecorder& prompts, const QString& head)
{
    QList<Prompt::Request> out;
    for (const Prompt::Request& request : prompts.requests()) {
        if (request.text.startsWith(head))
            out << request;
    }
    return out;
}

} // namespace

class TestBluetoothFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void connectBeforeScanAsksToScan();
    void scanFillsTheSelector();
    void adapterOffIsExplained();
    void cancelChangesNothing();
    void wholeFlowJoinsTheCameraWifi();
    void failedJoinShowsCredentialsAsWritten();
    void unpairedCameraIsExplained();
    void nmcliMissingOrHanging();
    void repliesThatAreNotAModel();

private:
    enum class Nmcli { Joins, Fails, Hangs };
    void installNmcli(Nmcli mode);
    QStringList nmcliArguments() const;
    // Scans through the window's Bluetooth button until the selector lists a camera.
    void scanWith(MainWindow& window);
    // The whole flow from the connect button until the join's message box.
    void connectAndWaitForJoin(MainWindow& window, PromptRecorder& prompts);

    FakeBluez m_fake;
    QTemporaryDir m_tools;
    QByteArray m_path;
};

void TestBluetoothFlow::initTestCase()
{
    QString error;
    QVERIFY2(m_fake.start(&error), qPrintable(error));
    testsupport::installFreshDataTree();
    QVERIFY(m_tools.isValid());
    m_path = qgetenv("PATH");
}

void TestBluetoothFlow::init()
{
    QVERIFY(m_fake.configure());
    // Not on the camera's network yet: 10.5.5.9 is unreachable until the join adds it.
    QVERIFY(CamSim::leaveNetwork());
    QFile::remove(m_tools.filePath("args"));
    QFile::remove(m_tools.filePath("pid"));
    installNmcli(Nmcli::Joins);
}

void TestBluetoothFlow::cleanup()
{
    qputenv("PATH", m_path);
    CamSim::joinNetwork();
}

void TestBluetoothFlow::installNmcli(Nmcli mode)
{
    // Records its arguments NUL-separated (they may hold blanks and line breaks).
    const QString action = mode == Nmcli::Joins ? QStringLiteral("/bin/ip addr replace 10.5.5.9/32 dev lo; exit 0")
        : mode == Nmcli::Fails                  ? QStringLiteral("exit 4")
                                                : QStringLiteral("exec /bin/sleep 60");
    const QString script = QStringLiteral("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1'\necho $$ > '%2'\n%3\n")
                               .arg(m_tools.filePath("args"), m_tools.filePath("pid"), action);
    QFile file(m_tools.filePath("nmcli"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(script.toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", m_tools.path().toLocal8Bit() + ':' + m_path);
}

QStringList TestBluetoothFlow::nmcliArguments() const
{
    QFile file(m_tools.filePath("args"));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<nmcli not run>")};
    QStringList args = QString::fromUtf8(file.readAll()).split(QLatin1Char('\0'));
    args.removeLast(); // after the last separator
    return args;
}

void TestBluetoothFlow::scanWith(MainWindow& window)
{
    auto* scan = window.findChild<QPushButton*>(QStringLiteral("pbBluetoothScan"));
    auto* devices = window.findChild<QComboBox*>(QStringLiteral("comboDevices"));
    QVERIFY(scan && devices);
    scan->click();
    QTRY_VERIFY_WITH_TIMEOUT(devices->count() > 0, 3000);
}

void TestBluetoothFlow::connectAndWaitForJoin(MainWindow& window, PromptRecorder& prompts)
{
    auto* connectButton = window.findChild<QPushButton*>(QStringLiteral("pbBluetoothConnect"));
    QVERIFY(connectButton);
    const int before = prompts.count();
    connectButton->click();
    QVERIFY(prompts.count() > before);
    QCOMPARE(prompts.requests().at(before).kind, Prompt::Kind::Question);
    QCOMPARE(prompts.requests().at(before).title, QStringLiteral("Velkamo"));
    QCOMPARE(prompts.requests().at(before).text, kCaution);
    QTRY_VERIFY_WITH_TIMEOUT(countText(prompts, kSuccess) + withTextStarting(prompts, kFailureHead).size()
                                     + withTextStarting(prompts, "nmcli").size() > 0,
                             15000);
}

void TestBluetoothFlow::connectBeforeScanAsksToScan()
{
    PromptRecorder prompts;
    MainWindow window;
    auto* connectButton = window.findChild<QPushButton*>(QStringLiteral("pbBluetoothConnect"));
    QVERIFY(connectButton);
    connectButton->click();
    QCOMPARE(prompts.count(), 1);
    QCOMPARE(prompts.requests().first().title, QStringLiteral("info"));
    QCOMPARE(prompts.requests().first().text,
             QStringLiteral("please press bluetooth button to find device first"));
    QVERIFY(!window.findChild<BLEInterface*>()->m_control);
}

void TestBluetoothFlow::scanFillsTheSelector()
{
    QVERIFY(m_fake.configure(QJsonObject{
        {"devices", QJsonArray{
                        QJsonObject{{"name", "GoPro 1234"}, {"address", "A1:00:00:00:00:01"}, {"kind", "camera"}},
                        QJsonObject{{"name", "Phone"}, {"address", "A1:00:00:00:00:02"}, {"kind", "le"}},
                        QJsonObject{{"name", "GoPro 0042"}, {"address", "A1:00:00:00:00:03"}, {"kind", "camera"}},
                    }}}));
    PromptRecorder prompts;
    MainWindow window;
    scanWith(window);
    auto* devices = window.findChild<QComboBox*>(QStringLiteral("comboDevices"));
    QTRY_COMPARE(devices->count(), 2);
    QCOMPARE(devices->itemText(0), QStringLiteral("GoPro 1234"));
    QCOMPARE(devices->itemText(1), QStringLiteral("GoPro 0042"));
    QCOMPARE(window.findChild<BLEInterface*>()->m_devicesNames,
             (QList<QString>{"GoPro 1234", "GoPro 0042"}));
    QCOMPARE(window.statusBar()->currentMessage(),
             QStringLiteral("GoPro device found, choose your device to connect."));
    QCOMPARE(prompts.count(), 0);

    // A camera found later in the scan leaves the user's choice chosen.
    devices->setCurrentIndex(1);
    m_fake.readvertise(QStringLiteral("A1:00:00:00:00:01"), -40);
    QTRY_COMPARE(devices->count(), 3);
    QCOMPARE(devices->currentText(), QStringLiteral("GoPro 0042"));
    QCOMPARE(window.findChild<BLEInterface*>()->m_devices.at(devices->currentIndex())->getAddress(),
             QStringLiteral("A1:00:00:00:00:03"));

    // A new scan starts from an empty selector.
    QSignalSpy cleared(window.findChild<BLEInterface*>(), &BLEInterface::devicesNamesChanged);
    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothScan"))->click();
    QVERIFY(!cleared.isEmpty());
    QVERIFY(cleared.first().at(0).value<QList<QString>>().isEmpty());
    QTRY_COMPARE(devices->count(), 2);
}

void TestBluetoothFlow::adapterOffIsExplained()
{
    QVERIFY(m_fake.configure(QJsonObject{{"adapter", "off"}}));
    PromptRecorder prompts;
    MainWindow window;
    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothScan"))->click();
    QCOMPARE(prompts.count(), 1);
    QCOMPARE(prompts.requests().first().title, QStringLiteral("Alert"));
    QCOMPARE(prompts.requests().first().text,
             QStringLiteral("Bluetooth is supported, but it's currently powered off."));
    QVERIFY(window.statusBar()->currentMessage() != QStringLiteral("Scanning for devices..."));
    QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("comboDevices"))->count(), 0);
}

void TestBluetoothFlow::cancelChangesNothing()
{
    QVERIFY(m_fake.configure(QJsonObject{
        {"devices", QJsonArray{
                        QJsonObject{{"name", "GoPro 1234"}, {"address", "A1:00:00:00:00:01"}, {"kind", "camera"}},
                        QJsonObject{{"name", "GoPro 0042"}, {"address", "A1:00:00:00:00:03"}, {"kind", "camera"}},
                    }}}));
    PromptRecorder prompts;
    MainWindow window;
    scanWith(window);
    auto* devices = window.findChild<QComboBox*>(QStringLiteral("comboDevices"));
    QTRY_COMPARE(devices->count(), 2);
    devices->setCurrentIndex(1);
    prompts.answerNext(QMessageBox::Cancel);
    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothConnect"))->click();
    QCOMPARE(prompts.count(), 1);
    QCOMPARE(prompts.requests().first().text, kCaution);
    auto* ble = window.findChild<BLEInterface*>();
    QCOMPARE(ble->m_currentDevice, 0);
    QVERIFY(!ble->m_control);
    QTest::qWait(500);
    QVERIFY(m_fake.writes().isEmpty());
    QCOMPARE(nmcliArguments(), QStringList{"<nmcli not run>"});
}

void TestBluetoothFlow::wholeFlowJoinsTheCameraWifi()
{
    CamSim camera;
    QVERIFY(camera.start({QStringLiteral("--model"), QStringLiteral("12")}));
    PromptRecorder prompts;
    LogCapture log;
    MainWindow window;
    auto* tip = window.findChild<QLabel*>(QStringLiteral("label_fileName"));
    auto* models = window.findChild<QComboBox*>(QStringLiteral("comboModel"));
    QVERIFY(tip && models);
    QVERIFY(models->findText(QStringLiteral("hero12")) >= 0);
    QVERIFY(models->currentText() != QStringLiteral("hero12"));
    // Off the camera's network the tip animates.
    QTRY_VERIFY_WITH_TIMEOUT(tip->text().startsWith(QStringLiteral("connecting to WiFi")), 2000);

    QElapsedTimer clock;
    clock.start();
    scanWith(window);
    connectAndWaitForJoin(window, prompts);
    const qint64 joinedMs = clock.elapsed();
    qInfo() << "scan to joined:" << joinedMs << "ms";

    QCOMPARE(countText(prompts, kSuccess), 1);
    const Prompt::Request last = prompts.requests().last();
    QCOMPARE(last.title, QStringLiteral("info"));
    QCOMPARE(last.text, kSuccess);
    QCOMPARE(nmcliArguments(), (QStringList{"device", "wifi", "connect", "GP24645504", "password",
                                            "p@d-NNc-2ts"}));
    QCOMPARE(models->currentText(), QStringLiteral("hero12"));
    QVERIFY(log.contains(QStringLiteral("Result: 12")));
    QVERIFY(log.contains(QStringLiteral("connect to bluetooth ok")));

    // What went to the camera: access point on, then the hardware-information request.
    const QStringList commands = m_fake.writes().filter(QStringLiteral("0072|"));
    QCOMPARE(commands, (QStringList{"0072|request|03170101", "0072|request|013c"}));
    QVERIFY(m_fake.reads().contains(QStringLiteral("0003")));

    // The keep-alive (the newer family, for hero12) now reaches the camera: the tip stops
    // and stays empty.
    QVERIFY(camera.waitForRequest(QStringLiteral("/gopro/camera/keep_alive"), 10000));
    QTRY_VERIFY_WITH_TIMEOUT(tip->text().isEmpty(), 5000);
    QTest::qWait(1200);
    QVERIFY(tip->text().isEmpty());

    // Power off (the tool bar's power button stays hidden) puts the camera to sleep.
    QVERIFY(QMetaObject::invokeMethod(&window, "slotPowerOff"));
    QTRY_COMPARE(m_fake.writes().filter(QStringLiteral("0072|")).last(), QStringLiteral("0072|request|0105"));
}

void TestBluetoothFlow::failedJoinShowsCredentialsAsWritten()
{
    QVERIFY(m_fake.configure(QJsonObject{{"ssid", " <Cam & Co> %2 "}, {"password", "a<b>&c  d"},
                                         {"model_name", "HERO10 Black"}, {"model_number", 57}}));
    installNmcli(Nmcli::Fails);
    PromptRecorder prompts;
    LogCapture log;
    MainWindow window;
    scanWith(window);
    connectAndWaitForJoin(window, prompts);

    QCOMPARE(nmcliArguments(), (QStringList{"device", "wifi", "connect", "<Cam & Co> %2", "password",
                                            "a<b>&c  d"}));
    const QList<Prompt::Request> failures = withTextStarting(prompts, kFailureHead);
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures.first().title, QStringLiteral("info"));
    QCOMPARE(failures.first().text,
             kFailureHead + QStringLiteral("&lt;Cam &amp; Co&gt; %2<br>password: a&lt;b&gt;&amp;c  d"));
    QCOMPARE(countText(prompts, kSuccess), 0);
    QVERIFY(log.contains(QStringLiteral("Failed to connect to WiFi network: <Cam & Co> %2")));
    QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("comboModel"))->currentText(),
             QStringLiteral("hero10"));
}

void TestBluetoothFlow::unpairedCameraIsExplained()
{
    QVERIFY(m_fake.configure(QJsonObject{{"paired", false}}));
    installNmcli(Nmcli::Fails);
    PromptRecorder prompts;
    MainWindow window;
    // The box waits until the Bluetooth callback that reported the empty name has returned.
    int promptsAtFirstReport = -1;
    connect(window.findChild<BLEInterface*>(), &BLEInterface::pairError, &window, [&] {
        if (promptsAtFirstReport < 0)
            promptsAtFirstReport = prompts.count();
    });
    scanWith(window);
    connectAndWaitForJoin(window, prompts);

    // One explanation, though the name is read twice.
    QList<Prompt::Request> alerts;
    for (int i = 0; i < prompts.count(); ++i) {
        if (prompts.requests().at(i).title == QStringLiteral("Alert")) {
            alerts << prompts.requests().at(i);
            QVERIFY(i >= promptsAtFirstReport);
        }
    }
    QVERIFY(promptsAtFirstReport > 0);
    QCOMPARE(alerts.size(), 1);
    QVERIFY(alerts.first().text.contains(QStringLiteral("not paired")));
    QVERIFY(alerts.first().text.contains(QLatin1String(FakeBluez::kCameraAddress)));
    // Empty credentials still reach nmcli as two empty arguments.
    QCOMPARE(nmcliArguments(), (QStringList{"device", "wifi", "connect", "", "password", ""}));
    const QList<Prompt::Request> failures = withTextStarting(prompts, kFailureHead);
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures.first().text, kFailureHead + QStringLiteral("<br>password: "));
}

void TestBluetoothFlow::nmcliMissingOrHanging()
{
    PromptRecorder prompts;
    MainWindow window;
    auto* ble = window.findChild<BLEInterface*>();
    ble->m_apSsid = QStringLiteral("GP24645504");
    ble->m_apPwd = QStringLiteral("secret");

    QFile::remove(m_tools.filePath("nmcli"));
    qputenv("PATH", m_tools.path().toLocal8Bit());
    window.connect2WiFi();
    QTRY_COMPARE(prompts.count(), 1);
    QCOMPARE(prompts.requests().last().text,
             QStringLiteral("nmcli (NetworkManager) was not found on this computer.<br>") + kFailureHead
                 + QStringLiteral("GP24645504<br>password: secret"));

    // While nmcli hangs the window goes on: the call returns at once and the tip keeps
    // animating until the join gives up.
    installNmcli(Nmcli::Hangs);
    auto* tip = window.findChild<QLabel*>(QStringLiteral("label_fileName"));
    QSet<QString> tipsSeen;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, &window, [&] { tipsSeen.insert(tip->text()); });
    sampler.start(100);
    QElapsedTimer clock;
    clock.start();
    window.connect2WiFi();
    QVERIFY(clock.elapsed() < 1000);
    QTRY_COMPARE_WITH_TIMEOUT(prompts.count(), 2, 36000);
    const qint64 waited = clock.elapsed();
    QVERIFY2(waited >= 29000, qPrintable(QString::number(waited)));
    QVERIFY(tipsSeen.contains(QStringLiteral("connecting to WiFi...")) && tipsSeen.size() >= 4);
    QCOMPARE(prompts.requests().last().text,
             QStringLiteral("nmcli did not finish within 30 seconds.<br>") + kFailureHead
                 + QStringLiteral("GP24645504<br>password: secret"));
    QCOMPARE(nmcliArguments(), (QStringList{"device", "wifi", "connect", "GP24645504", "password", "secret"}));
    // The hanging child was ended, not left behind.
    QFile pidFile(m_tools.filePath("pid"));
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const int pid = pidFile.readAll().trimmed().toInt();
    QVERIFY(pid > 0);
    QTRY_VERIFY(::kill(pid, 0) != 0);
}

void TestBluetoothFlow::repliesThatAreNotAModel()
{
    PromptRecorder prompts;
    MainWindow window;
    auto* models = window.findChild<QComboBox*>(QStringLiteral("comboModel"));
    const QString before = models->currentText();
    const QByteArray ignored[] = {
        QByteArray::fromHex("20113C01") + "HERO11 Black",
        QByteArray::fromHex("21113C00") + "HERO11 Black",
        QByteArray::fromHex("20113C00") + "hero11 Black",
        QByteArray::fromHex("021700"),
        // Only the model name field counts, not the network name after it.
        QByteArray::fromHex("20213C000400000041") + "\x07Max 360\x04" "0x05\x0bHERO5 Black",
        // A HERO13 reply whose rest never comes: its model number is cut short ("HERO1").
        QByteArray::fromHex("205B3C0009010101010101010101" "0C") + "HERO1",
    };
    for (const QByteArray& data : ignored)
        QVERIFY(QMetaObject::invokeMethod(&window, "dataReceived", Q_ARG(QByteArray, data)));
    QTest::qWait(1300);
    QCOMPARE(models->currentText(), before);
    QCOMPARE(nmcliArguments(), QStringList{"<nmcli not run>"});
    QCOMPARE(prompts.count(), 0);

    // A reply with the model text at its very end still selects the model and joins.
    installNmcli(Nmcli::Fails);
    QVERIFY(QMetaObject::invokeMethod(&window, "dataReceived",
                                      Q_ARG(QByteArray, QByteArray::fromHex("200A3C00") + "HERO11")));
    QCOMPARE(models->currentText(), QStringLiteral("hero11"));
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Current device is hero11"));
    QTRY_COMPARE(nmcliArguments().size(), 6);
}

FAKEBLUEZ_TEST_MAIN(TestBluetoothFlow)
#include "tst_bluetoothflow.moc"
