#include "bleinterface.h"
#include "camsim.h"
#include "fakebluez.h"
#include "homenetworkcamera.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "homecameratrust.h"
#include "rememberedcameras.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
const QStringList kNotRun{QStringLiteral("<nmcli not run>")};
// What the fake camera tells once it is on the home network, and the password of that network.
const QString kCameraPassword = QStringLiteral("Gzt2m6YMvLAo");
const QString kHomePassword = QStringLiteral("p@ss word <1234>");
const QString kOnHomeNetwork = QStringLiteral("On the home network at 192.168.50.103");

// What nmcli gets: its arguments, then what came on its standard input.
QStringList nmcliJoin(const QString& ssid = "GP24645504", const QString& password = "p@d-NNc-2ts")
{
    return {"--ask", "device", "wifi", "connect", ssid, "stdin=" + password + "\n"};
}

// The first log line that shows the password, or `piece` bytes of it (a packet may hold part
// of it), as text or as hex.
QString lineShowing(const LogCapture& log, const QString& password, int piece = 6)
{
    const QByteArray bytes = password.toUtf8();
    for (const QString& line : log.lines()) {
        for (qsizetype at = 0; !bytes.isEmpty() && at + piece <= qMax<qsizetype>(bytes.size(), piece); ++at) {
            const QByteArray part = bytes.mid(at, piece);
            if (line.contains(QString::fromUtf8(part)) || line.contains(QLatin1String(part.toHex(' ')))
                || line.contains(QLatin1String(part.toHex())))
                return line;
        }
    }
    return QString();
}

QString lastText(const PromptRecorder& prompts)
{
    return prompts.count() > 0 ? prompts.requests().last().text : QString();
}

// The packets written to the network-management characteristic, as hex.
QStringList netPackets(const FakeBluez& fake)
{
    QStringList packets;
    for (const QString& write : fake.writes()) {
        if (write.startsWith(QLatin1String("0091|")))
            packets << write.section(QLatin1Char('|'), 2);
    }
    return packets;
}

// What is wrong with packets as messages on the wire: each message's packets must follow one
// another, continuations counting up from 0, until its header's length is reached. Empty when
// nothing is.
QString wireProblem(const QStringList& packets)
{
    int missing = 0; // bytes the message begun still needs
    int counter = 0;
    for (int i = 0; i < packets.size(); ++i) {
        const QByteArray packet = QByteArray::fromHex(packets.at(i).toLatin1());
        const auto head = quint8(packet.at(0));
        if (head & 0x80) {
            if (missing <= 0 || (head & 0x0F) != counter)
                return QStringLiteral("packet %1 (%2) continues no message in order").arg(i).arg(packets.at(i));
            counter = (counter + 1) & 0x0F;
            missing -= int(packet.size()) - 1;
        } else {
            if (missing > 0)
                return QStringLiteral("packet %1 (%2) begins a message before the last one ended").arg(i).arg(packets.at(i));
            const bool extended = (head & 0x60) == 0x20;
            missing = extended ? ((head & 0x1F) << 8 | quint8(packet.at(1))) - int(packet.size()) + 2
                               : (head & 0x1F) - int(packet.size()) + 1;
            counter = 0;
        }
    }
    return missing > 0 ? QStringLiteral("the last message was cut short") : QString();
}

} // namespace

class TestBluetoothFlow : public QObject
{
    Q_OBJECT

public:
    enum Nmcli { Joins, Fails, Hangs, Missing };

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void wholeFlowJoinsTheCameraWifi();
    void failures_data();
    void failures();
    void homeNetworkThroughDialog_data();
    void homeNetworkThroughDialog();
    void cameraOnHomeNetworkHandedOn();
    void homeNetworkDuringSlowWrite_data();
    void homeNetworkDuringSlowWrite();
    void secretsNeverLogged_data();
    void secretsNeverLogged();

private:
    // Scans and connects the fake camera from the window.
    void connectFromWindow(MainWindow& window);
    // The camera handed on is the fake's, on ssid, with all it told.
    void checkHandedOn(const QList<HomeNetworkCamera>& handed, const QString& ssid, const QByteArray& pem);
    void installNmcli(Nmcli mode);
    QStringList nmcliCall() const;
    // Every camera the window hands on from the Bluetooth side, for the rest of the case.
    const QList<HomeNetworkCamera>& recordHandedOn(MainWindow& window);
    // Connects the camera from the window, lets it join the camera's Wi-Fi and opens the
    // Home-network dialog once the camera has listed the networks it sees.
    QDialog* openHomeNetworkDialog(MainWindow& window, const PromptRecorder& prompts);

    FakeBluez m_fake;
    QTemporaryDir m_tools;
    QByteArray m_path;
    // The camera's root certificate.
    QByteArray m_pem;
    QList<HomeNetworkCamera> m_handed;
};

const QList<HomeNetworkCamera>& TestBluetoothFlow::recordHandedOn(MainWindow& window)
{
    m_handed.clear();
    connect(&window, &MainWindow::cameraReady, &window,
            [this](const HomeNetworkCamera& camera) { m_handed.append(camera); });
    return m_handed;
}

void TestBluetoothFlow::initTestCase()
{
    QString error;
    QVERIFY2(m_fake.start(&error), qPrintable(error));
    testsupport::installFreshDataTree();
    QVERIFY(m_tools.isValid());
    m_path = qgetenv("PATH");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                   "-keyout", m_tools.filePath("key.pem"), "-subj", "/CN=GoPro Camera Root", "-days", "365"});
    QVERIFY(openssl.waitForFinished(30000));
    m_pem = openssl.readAllStandardOutput();
    QVERIFY(m_pem.startsWith("-----BEGIN CERTIFICATE-----"));
}

void TestBluetoothFlow::init()
{
    // Each case starts with no camera remembered on the home network, neither in the user's
    // folder nor in what the process trusts: a camera handed on by an earlier case would be
    // asked at start, with that case's certificate.
    QFile::remove(RememberedCameras().path());
    HomeCameraTrust::instance()->forget(QHostAddress(QStringLiteral("192.168.50.103")));
    // Not on the camera's network yet: 10.5.5.9 is unreachable until the join adds it.
    QVERIFY(CamSim::leaveNetwork());
    for (const char* record : {"args", "stdin", "pid"})
        QFile::remove(m_tools.filePath(record));
}

void TestBluetoothFlow::cleanup()
{
    qputenv("PATH", m_path);
    CamSim::joinNetwork();
}

void TestBluetoothFlow::installNmcli(Nmcli mode)
{
    QFile file(m_tools.filePath("nmcli"));
    if (mode == Missing) {
        file.remove();
        qputenv("PATH", m_tools.path().toLocal8Bit());
        return;
    }
    // Records its arguments NUL-separated (they may hold blanks and line breaks), each one that
    // names a file with that file's mode and content, and its standard input. Failing, it quotes
    // the password it was given, as nmcli does for some errors.
    const QString in = m_tools.filePath("stdin");
    const QString action = mode == Joins ? QStringLiteral("/bin/ip addr replace 10.5.5.9/32 dev lo; exit 0")
        : mode == Fails ? QStringLiteral("echo \"Error: password '$(cat '%1')' refused\" >&2; exit 4").arg(in)
                        : QStringLiteral("exec /bin/sleep 60");
    const QString script =
        QStringLiteral("#!/bin/sh\n{ printf '%s\\0' \"$@\"; for a; do [ -f \"$a\" ] && "
                       "printf 'file %s %s\\0' $(stat -c %a \"$a\") \"$(cat \"$a\")\"; done; } > '%1'\n"
                       "cat > '%2'\necho $$ > '%3'\n%4\n")
            .arg(m_tools.filePath("args"), in, m_tools.filePath("pid"), action);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(script.toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", m_tools.path().toLocal8Bit() + ':' + m_path);
}

QStringList TestBluetoothFlow::nmcliCall() const
{
    QFile file(m_tools.filePath("args")), in(m_tools.filePath("stdin"));
    if (!file.open(QIODevice::ReadOnly) || !in.open(QIODevice::ReadOnly))
        return kNotRun;
    QStringList args = QString::fromUtf8(file.readAll()).split(QLatin1Char('\0'));
    args.removeLast(); // after the last separator
    return args << "stdin=" + QString::fromUtf8(in.readAll());
}

void TestBluetoothFlow::wholeFlowJoinsTheCameraWifi()
{
    const auto camera = [](const char* name, const char* address, const char* kind = "camera") {
        return QJsonObject{{"name", name}, {"address", address}, {"kind", kind}};
    };
    const QJsonArray devices{camera("GoPro 0042", "A1:00:00:00:00:03"),
                             camera("Phone", "A1:00:00:00:00:02", "le"),
                             camera("GoPro 1234", FakeBluez::kCameraAddress)};
    QVERIFY(m_fake.configure(
        QJsonObject{{"devices", devices}, {"model_name", "HERO10 Black"}, {"model_number", 57}}));
    installNmcli(Joins);
    CamSim sim;
    QVERIFY(sim.start({QStringLiteral("--model"), QStringLiteral("10")}));
    LogCapture log;
    PromptRecorder prompts;
    MainWindow window;
    auto* models = window.findChild<QComboBox*>(QStringLiteral("comboModel"));
    auto* selector = window.findChild<QComboBox*>(QStringLiteral("comboDevices"));
    auto* scan = window.findChild<QPushButton*>(QStringLiteral("pbBluetoothScan"));
    auto* ble = window.findChild<BLEInterface*>();
    QVERIFY(models && selector && scan && ble);
    QVERIFY(models->currentText() != QStringLiteral("hero10"));

    scan->click();
    QTRY_COMPARE_WITH_TIMEOUT(selector->count(), 2, 3000);
    // Scanning again while the scan runs lists the known cameras again.
    scan->click();
    QTRY_COMPARE_WITH_TIMEOUT(selector->count(), 2, 3000);
    QCOMPARE(selector->itemText(0), QStringLiteral("GoPro 0042"));
    QCOMPARE(selector->itemText(1), QStringLiteral("GoPro 1234"));
    QCOMPARE(window.statusBar()->currentMessage(),
             QStringLiteral("GoPro device found, choose your device to connect."));
    // A camera reported again during the scan leaves the user's choice chosen.
    selector->setCurrentIndex(1);
    m_fake.readvertise(QStringLiteral("A1:00:00:00:00:03"), -40);
    QTRY_COMPARE(selector->count(), 3);
    QCOMPARE(selector->currentIndex(), 1);

    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothConnect"))->click();
    QCOMPARE(lastText(prompts), kCaution);
    QTRY_VERIFY_WITH_TIMEOUT(prompts.count() > 1, 15000);
    QCOMPARE(prompts.count(), 2);
    QCOMPARE(lastText(prompts), kSuccess);
    QCOMPARE(ble->m_control->remoteAddress().toString(), QLatin1String(FakeBluez::kCameraAddress));
    // The password went to nmcli on its standard input only.
    QCOMPARE(nmcliCall(), nmcliJoin());
    QCOMPARE(models->currentText(), QStringLiteral("hero10"));
    // What went to the camera: the hardware-information request, then access point on; a
    // HERO10 is asked nothing of a home network.
    QCOMPARE(m_fake.writes().filter(QStringLiteral("0072|")),
             (QStringList{"0072|request|013c", "0072|request|03170101"}));
    QCOMPARE(m_fake.writes().filter(QStringLiteral("proto|")), QStringList());

    // The camera is reached on its network now, with the keep-alive of the model's family.
    QVERIFY(sim.waitForRequest(QStringLiteral("/gopro/camera/keep_alive"), 10000));
    // Nor is a reply that carries the password (as one on the query channel could) dumped.
    QSignalSpy replies(ble, &BLEInterface::dataReceived);
    m_fake.notify(QStringLiteral("0077"), QByteArray::fromHex("0e9300") + "p@d-NNc-2ts");
    QVERIFY(replies.wait());
    // Nothing of the whole flow logged the password.
    QCOMPARE(lineShowing(log, QStringLiteral("p@d-NNc-2ts")), QString());
}

void TestBluetoothFlow::failures_data()
{
    QTest::addColumn<QJsonObject>("config");
    QTest::addColumn<int>("nmcli");
    QTest::addColumn<QString>("message");   // the last box shown, once; the caution box: cancelled
    QTest::addColumn<QStringList>("args");  // what nmcli got
    QTest::addColumn<QStringList>("alert"); // what the one Alert box says, if any

    const QString scanFirst = QStringLiteral("please press bluetooth button to find device first");
    const QString credentials = kFailureHead + QStringLiteral("GP24645504<br>password: p@d-NNc-2ts");
    QTest::newRow("adapter off") << QJsonObject{{"adapter", "off"}} << int(Joins) << scanFirst << kNotRun
                                 << QStringList{"Bluetooth is supported, but it's currently powered off."};
    QTest::newRow("adapter absent") << QJsonObject{{"adapter", "absent"}} << int(Joins) << scanFirst
                                    << kNotRun << QStringList{"Bluetooth is not supported on this device."};
    QTest::newRow("cancelled") << QJsonObject{} << int(Joins) << kCaution << kNotRun << QStringList{};
    QTest::newRow("unpaired") << QJsonObject{{"paired", false}} << int(Fails)
                              << kFailureHead + QStringLiteral("<br>password: ")
                              << nmcliJoin("", "")
                              << QStringList{"not paired", FakeBluez::kCameraAddress};
    // The credentials show as they were read, not as markup.
    QTest::newRow("join failed")
        << QJsonObject{{"ssid", " <Cam & Co> %2 "}, {"password", "a<b>&c  d"}} << int(Fails)
        << kFailureHead + QStringLiteral("&lt;Cam &amp; Co&gt; %2<br>password: a&lt;b&gt;&amp;c  d")
        << nmcliJoin("<Cam & Co> %2", "a<b>&c  d") << QStringList{};
    QTest::newRow("nmcli missing")
        << QJsonObject{} << int(Missing)
        << QStringLiteral("nmcli (NetworkManager) was not found on this computer.<br>") + credentials
        << kNotRun << QStringList{};
    QTest::newRow("nmcli hangs")
        << QJsonObject{} << int(Hangs)
        << QStringLiteral("nmcli did not finish within 30 seconds.<br>") + credentials << nmcliJoin()
        << QStringList{};
}

void TestBluetoothFlow::failures()
{
    QFETCH(QJsonObject, config);
    QFETCH(int, nmcli);
    QFETCH(QString, message);
    QFETCH(QStringList, args);
    QFETCH(QStringList, alert);
    QVERIFY(m_fake.configure(config));
    installNmcli(Nmcli(nmcli));
    LogCapture log;
    PromptRecorder prompts;
    MainWindow window;
    auto* ble = window.findChild<BLEInterface*>();
    int promptsAtPairError = -1;
    connect(ble, &BLEInterface::pairError, &window, [&] {
        if (promptsAtPairError < 0)
            promptsAtPairError = prompts.count();
    });
    // The window goes on meanwhile: its event loop never stops for long, not even while nmcli hangs.
    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, &window, [&] { longestGap = qMax(longestGap, sinceTick.restart()); });
    sinceTick.start();
    sampler.start(100);

    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothScan"))->click();
    auto* devices = window.findChild<QComboBox*>(QStringLiteral("comboDevices"));
    if (!config.contains("adapter"))
        QTRY_VERIFY_WITH_TIMEOUT(devices->count() > 0, 3000);
    const bool cancel = message == kCaution;
    if (cancel)
        prompts.answerNext(QMessageBox::Cancel);
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothConnect"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(lastText(prompts), message, 50000);
    QTest::qWait(500);
    QCOMPARE(int(std::count_if(prompts.requests().cbegin(), prompts.requests().cend(),
                               [&](const Prompt::Request& r) { return r.text == message; })),
             1);
    QCOMPARE(prompts.sawText(kCaution), devices->count() > 0);
    QCOMPARE(nmcliCall(), args);
    QCOMPARE(lineShowing(log, config.value("password").toString(" p@d-NNc-2ts ").trimmed()), QString());
    QVERIFY2(longestGap < 5000, qPrintable(QString::number(longestGap)));
    if (cancel)
        QVERIFY(m_fake.writes().isEmpty() && !ble->m_control);

    int alerts = 0;
    for (int i = 0; i < prompts.count(); ++i) {
        const Prompt::Request& request = prompts.requests().at(i);
        if (request.title != QStringLiteral("Alert"))
            continue;
        ++alerts;
        for (const QString& part : alert)
            QVERIFY2(request.text.contains(part), qPrintable(request.text));
        // The not-paired box waits until the Bluetooth callback that reported it has returned.
        QVERIFY(i >= promptsAtPairError);
    }
    QCOMPARE(alerts, alert.isEmpty() ? 0 : 1);

    if (nmcli == Hangs) {
        QVERIFY2(clock.elapsed() >= 29000, qPrintable(QString::number(clock.elapsed())));
        // The hanging child was ended, not left behind.
        QFile pidFile(m_tools.filePath("pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const int pid = pidFile.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        QTRY_VERIFY(::kill(pid, 0) != 0);
    }
}

void TestBluetoothFlow::connectFromWindow(MainWindow& window)
{
    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothScan"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QComboBox*>(QStringLiteral("comboDevices"))->count() > 0, 3000);
    window.findChild<QPushButton*>(QStringLiteral("pbBluetoothConnect"))->click();
}

void TestBluetoothFlow::checkHandedOn(const QList<HomeNetworkCamera>& handed, const QString& ssid, const QByteArray& pem)
{
    QCOMPARE(handed.size(), 1);
    const HomeNetworkCamera& camera = handed.first();
    QCOMPARE(camera.address.toString(), QStringLiteral("192.168.50.103"));
    QCOMPARE(camera.user, QStringLiteral("gopro"));
    QCOMPARE(camera.password, kCameraPassword);
    QCOMPARE(camera.rootCertificatePem, pem);
    QCOMPARE(camera.ssid, ssid);
    // Who it is, from its hardware information.
    QCOMPARE(camera.serial, QStringLiteral("C3501324645504"));
    QCOMPARE(camera.modelName, QStringLiteral("HERO12 Black"));
    QCOMPARE(camera.model, 12);
}

void TestBluetoothFlow::homeNetworkThroughDialog_data()
{
    QTest::addColumn<QJsonObject>("config");
    QTest::addColumn<int>("network");     // its row in the list: 0 known to the camera, 1 new
    QTest::addColumn<QString>("failure"); // the dialog's last words; none: the camera is handed on
    QTest::addColumn<bool>("joinArrives"); // the camera gets the whole join request
    QTest::newRow("joins") << QJsonObject{{"join_result", 5}} << 1 << QString() << true;
    QTest::newRow("known network, no password") << QJsonObject{{"join_result", 5}} << 0 << QString() << true;
    QTest::newRow("wrong password") << QJsonObject{{"join_result", 8}} << 1
                                    << QStringLiteral("The password for “Home & Co” is wrong.") << true;
    QTest::newRow("HERO12 without internet")
        << QJsonObject{{"join_result", 7}} << 1
        << QStringLiteral("The camera could not join “Home & Co”: most likely this network has no internet "
                          "access, which the HERO12 needs.")
        << true;
    QTest::newRow("HERO13 without internet")
        << QJsonObject{{"join_result", 10}, {"model_number", 65}, {"model_name", "HERO13 Black"}} << 1
        << QStringLiteral("The camera could not join “Home & Co”: this network has no internet access.") << true;
    // After the scan's two requests, the join request's second packet.
    QTest::newRow("join request refused")
        << QJsonObject{{"write_fail_after", QJsonObject{{"0091", 3}}}} << 1
        << QStringLiteral("The request could not be sent to the camera over Bluetooth.") << false;
}

void TestBluetoothFlow::homeNetworkThroughDialog()
{
    QFETCH(QJsonObject, config);
    QFETCH(int, network);
    QFETCH(QString, failure);
    QFETCH(bool, joinArrives);
    config.insert("cohn_cert", QString::fromLatin1(m_pem));
    QVERIFY(m_fake.configure(config));
    installNmcli(Joins);
    LogCapture log;
    PromptRecorder prompts;
    MainWindow window;
    // The window goes on to reach the camera handed on, and says more after this.
    QSignalSpy shown(window.statusBar(), &QStatusBar::messageChanged);
    const QList<HomeNetworkCamera>& handed = recordHandedOn(window);
    auto* home = window.findChild<QPushButton*>(QStringLiteral("pbHomeNetwork"));
    QVERIFY(home && !home->isEnabled());
    connectFromWindow(window);
    // Not on a home network: its access point is joined meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(prompts.sawText(kSuccess), 15000);
    QVERIFY(home->isEnabled());

    home->click();
    auto* dialog = window.findChild<QDialog*>(QStringLiteral("HomeNetworkDialog"));
    QVERIFY(dialog && dialog->isVisible());
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("listNetworks"));
    auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("lineEditNetworkPassword"));
    auto* join = dialog->findChild<QPushButton*>(QStringLiteral("pbJoinNetwork"));
    auto* status = dialog->findChild<QLabel*>(QStringLiteral("labelHomeNetworkStatus"));
    QTRY_COMPARE(list->count(), 3);
    // Name, signal bars, a lock when secured, and whether the camera knows it.
    QCOMPARE(list->item(0)->text(), QStringLiteral("dabugdabug   ▂▄▆   known"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("Home & Co   ▂▄·"));
    QCOMPARE(list->item(2)->text(), QStringLiteral("Cafe   ▂··"));
    QVERIFY(!list->item(1)->icon().isNull() && list->item(2)->icon().isNull());
    list->setCurrentRow(network);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    // The camera keeps the password of a network it knows.
    QCOMPARE(join->isEnabled(), network == 0);
    QCOMPARE(password->isEnabled(), network != 0);
    if (network != 0)
        QTest::keyClicks(password, kHomePassword);
    join->click();

    const QString ssid = list->item(network)->data(Qt::UserRole).toString();
    QStringList requests{"proto|cohn_status|1", "proto|scan", "proto|entries|0|100|1"};
    if (joinArrives)
        requests << (network == 0 ? "proto|connect|" + ssid : "proto|connect_new|" + ssid + "|" + kHomePassword);
    if (failure.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(handed.size(), 1, 10000);
        checkHandedOn(handed, ssid, m_pem);
        QCOMPARE(status->text(), QStringLiteral("The camera is on “%1” at 192.168.50.103.").arg(ssid));
        QVERIFY(shown.contains(QVariantList{kOnHomeNetwork}));
        QTRY_VERIFY(!window.findChild<QDialog*>(QStringLiteral("HomeNetworkDialog")));
        requests << "proto|create_cert|1" << "proto|get_cert" << "proto|cohn_status|1";
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), failure, 10000);
        QTest::qWait(300);
        QVERIFY(handed.isEmpty() && dialog->isVisible() && join->isEnabled());
    }
    QCOMPARE(m_fake.writes().filter(QStringLiteral("proto|")), requests);
    QCOMPARE(lineShowing(log, kHomePassword), QString());
    QCOMPARE(lineShowing(log, kCameraPassword), QString());
}

void TestBluetoothFlow::cameraOnHomeNetworkHandedOn()
{
    // The camera itself on the home network: reached over HTTPS once Bluetooth has told how.
    CamSim camera;
    QVERIFY(camera.startHome(QStringLiteral("C3501324645504"), kCameraPassword, {"--model", "12", "--media-count", "3"}));
    const QByteArray root = camera.homeRootCertificate();
    QVERIFY(m_fake.configure(QJsonObject{{"home", "dabugdabug"}, {"cohn_cert", QString::fromLatin1(root)}}));
    installNmcli(Joins);
    LogCapture log;
    PromptRecorder prompts;
    MainWindow window;
    // The window goes on to reach the camera handed on, and says more after this.
    QSignalSpy shown(window.statusBar(), &QStatusBar::messageChanged);
    const QList<HomeNetworkCamera>& handed = recordHandedOn(window);
    connectFromWindow(window);
    QTRY_VERIFY_WITH_TIMEOUT(!handed.isEmpty(), 15000);
    checkHandedOn(handed, QStringLiteral("dabugdabug"), root);
    QVERIFY(shown.contains(QVariantList{kOnHomeNetwork}));
    QTest::qWait(1000);
    // Its home network was read, and left as it was: no access point, no join.
    QCOMPARE(m_fake.writes().filter(QStringLiteral("0072|")), QStringList{"0072|request|013c"});
    QCOMPARE(m_fake.writes().filter(QStringLiteral("proto|")),
             (QStringList{"proto|cohn_status|1", "proto|get_cert"}));
    QCOMPARE(nmcliCall(), kNotRun);
    QCOMPARE(prompts.count(), 1); // the caution before connecting
    QCOMPARE(lineShowing(log, kCameraPassword), QString());

    QCOMPARE(window.findChild<QComboBox*>("comboCameras")->currentText().section(" — ", 0, 0),
             QStringLiteral("Home · HERO12 Black · …504"));
    QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QString("Total media files: 3"), 10000);
    window.findChild<QPushButton*>("pbStart_Capture")->click();
    QTRY_VERIFY_WITH_TIMEOUT(camera.state()["shutter"].toBool(), 3000);
    QCOMPARE(camera.countRequests("/gopro/camera/shutter/start"), 1);
    HomeCameraTrust::instance()->forget(handed.first().address);
}

QDialog* TestBluetoothFlow::openHomeNetworkDialog(MainWindow& window, const PromptRecorder& prompts)
{
    connectFromWindow(window);
    if (!QTest::qWaitFor([&] { return prompts.sawText(kSuccess); }, 15000))
        return nullptr;
    auto* home = window.findChild<QPushButton*>(QStringLiteral("pbHomeNetwork"));
    if (!home->isEnabled())
        return nullptr;
    home->click();
    auto* dialog = window.findChild<QDialog*>(QStringLiteral("HomeNetworkDialog"));
    auto* list = dialog ? dialog->findChild<QListWidget*>(QStringLiteral("listNetworks")) : nullptr;
    if (!list || !QTest::qWaitFor([list] { return list->count() == 3; }, 10000))
        return nullptr;
    return dialog;
}

void TestBluetoothFlow::homeNetworkDuringSlowWrite_data()
{
    QTest::addColumn<bool>("closeDialog"); // else Join is pressed again
    QTest::newRow("dialog closed") << true;
    QTest::newRow("Join pressed again") << false;
}

void TestBluetoothFlow::homeNetworkDuringSlowWrite()
{
    QFETCH(bool, closeDialog);
    // The camera confirms each packet on its network-management characteristic late: the join
    // request (two packets) is on its way for a while.
    QVERIFY(m_fake.configure(QJsonObject{{"cohn_cert", QString::fromLatin1(m_pem)},
                                         {"write_delay_ms", QJsonObject{{"0091", 400}}}}));
    installNmcli(Joins);
    PromptRecorder prompts;
    MainWindow window;
    const QList<HomeNetworkCamera>& handed = recordHandedOn(window);
    QPointer<QDialog> dialog = openHomeNetworkDialog(window, prompts);
    QVERIFY(dialog);
    auto* list = dialog->findChild<QListWidget*>(QStringLiteral("listNetworks"));
    auto* join = dialog->findChild<QPushButton*>(QStringLiteral("pbJoinNetwork"));
    list->setCurrentRow(1);
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("lineEditNetworkPassword")), kHomePassword);

    // Once the join request's first packet is on the wire, and its confirmation still to come,
    // the user closes the dialog or presses Join again.
    const qsizetype before = netPackets(m_fake).size();
    qsizetype atAction = -1;
    bool joinEnabled = false;
    QTimer user;
    connect(&user, &QTimer::timeout, &window, [&] {
        if (atAction >= 0 || netPackets(m_fake).size() == before)
            return;
        atAction = netPackets(m_fake).size();
        joinEnabled = join->isEnabled();
        if (closeDialog)
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
        else
            join->click();
    });
    user.start(10);
    join->click();
    QTRY_VERIFY_WITH_TIMEOUT(atAction >= 0, 5000);
    user.stop();
    QCOMPARE(atAction, before + 1);

    if (closeDialog) {
        QTRY_VERIFY(!dialog);
        // A new dialog scans again: its requests wait for the packet on its way, and nothing of
        // the join request follows it.
        window.findChild<QPushButton*>(QStringLiteral("pbHomeNetwork"))->click();
        auto* again = window.findChild<QDialog*>(QStringLiteral("HomeNetworkDialog"));
        QVERIFY(again);
        QTRY_COMPARE_WITH_TIMEOUT(again->findChild<QListWidget*>(QStringLiteral("listNetworks"))->count(), 3, 10000);
        QCOMPARE(netPackets(m_fake).mid(atAction), (QStringList{"020202", "080203080010641801"}));
        QCOMPARE(m_fake.writes().filter(QStringLiteral("proto|connect")), QStringList());
        QVERIFY(handed.isEmpty());
    } else {
        // The join goes on to its end; then the wire shows one join request, whole.
        const bool ended = QTest::qWaitFor([&] { return !handed.isEmpty(); }, 15000);
        const QStringList wire = netPackets(m_fake);
        QVERIFY2(wireProblem(wire).isEmpty(), qPrintable(wireProblem(wire) + ": " + wire.join(' ')));
        QCOMPARE(m_fake.writes().filter(QStringLiteral("proto|connect")),
                 QStringList{"proto|connect_new|Home & Co|" + kHomePassword});
        QVERIFY(ended && handed.size() == 1);
    }
    QCOMPARE(m_fake.writes().filter(QStringLiteral("bad-packet")), QStringList());
    QVERIFY2(!joinEnabled, "Join stayed enabled while its request was on its way");
}

void TestBluetoothFlow::secretsNeverLogged_data()
{
    QTest::addColumn<QJsonObject>("config");
    QTest::addColumn<QStringList>("secrets"); // besides the passwords of the network and the camera
    // A lost start packet leaves the rest of the message without a beginning; the camera tells
    // the message again.
    QTest::newRow("the camera's status loses a packet")
        << QJsonObject{{"lose_first_packet", QJsonArray{"0077"}}} << QStringList{};
    const auto network = [](const char* ssid, int bars, int flags) {
        return QJsonObject{{"ssid", ssid}, {"bars", bars}, {"mhz", 2412}, {"flags", flags}};
    };
    QTest::newRow("the network list loses a packet")
        << QJsonObject{{"lose_first_packet", QJsonArray{"0092"}},
                       {"networks", QJsonArray{network("dabugdabug", 3, 0x2F), network("Home & Co", 2, 0x01),
                                               network("Qx-Fjord-Zebra", 1, 0x01)}}}
        << QStringList{"Qx-Fjord-Zebra"};
}

void TestBluetoothFlow::secretsNeverLogged()
{
    QFETCH(QJsonObject, config);
    QFETCH(QStringList, secrets);
    // No piece of it shows in an unrelated log line by chance.
    const QString password = QStringLiteral("k9#Vq2!xTz7w");
    secrets << password << kCameraPassword;
    config.insert("cohn_cert", QString::fromLatin1(m_pem));
    QVERIFY(m_fake.configure(config));
    installNmcli(Joins);
    LogCapture log;
    PromptRecorder prompts;
    MainWindow window;
    const QList<HomeNetworkCamera>& handed = recordHandedOn(window);
    QDialog* dialog = openHomeNetworkDialog(window, prompts);
    QVERIFY(dialog);
    dialog->findChild<QListWidget*>(QStringLiteral("listNetworks"))->setCurrentRow(1);
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("lineEditNetworkPassword")), password);
    dialog->findChild<QPushButton*>(QStringLiteral("pbJoinNetwork"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(handed.size(), 1, 10000);
    QCOMPARE(handed.first().password, kCameraPassword);
    QVERIFY(m_fake.writes().contains("proto|connect_new|Home & Co|" + password));
    for (const QString& secret : std::as_const(secrets))
        QVERIFY2(lineShowing(log, secret, 4).isEmpty(), qPrintable(secret + " in: " + lineShowing(log, secret, 4)));
}

FAKEBLUEZ_TEST_MAIN(TestBluetoothFlow)
#include "tst_bluetoothflow.moc"
