// A camera on the home network: reached over HTTPS with its own root as the only trust and
// its password on every request, remembered across a restart (password in the keyring), and
// refused for good once it shows another certificate or turns its password away.

#include "cameralist.h"
#include "camsim.h"
#include "homecameratrust.h"
#include "homenetworkcamera.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "rememberedcameras.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSslConfiguration>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kSerial = QStringLiteral("C3501324645583");
const QString kPassword = QStringLiteral("Qx7-pw!9Lm2z");
const QString kListed = QStringLiteral("Home · HERO12 Black · …583");

} // namespace

class TestHomeCameras : public QObject
{
    Q_OBJECT

    QProcess m_bus;
    QProcess m_keyring;
    QTemporaryDir m_keyringData;
    bool m_haveKeyring = false;

    // A private session bus with an unlocked Secret Service (gnome-keyring, a login keyring
    // made at once with a throw-away password),
    // so that a password really outlives the window. False where that cannot be had.
    bool startKeyring()
    {
        m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!m_bus.waitForStarted(5000) || !m_bus.waitForReadyRead(5000))
            return false;
        const QByteArray address = m_bus.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", m_keyringData.path());
        env.insert("XDG_RUNTIME_DIR", m_keyringData.path());
        m_keyring.setProcessEnvironment(env);
        m_keyring.start("gnome-keyring-daemon", {"--foreground", "--unlock", "--components=secrets"});
        if (!m_keyring.waitForStarted(5000))
            return false;
        m_keyring.write("velkamo-test");
        m_keyring.closeWriteChannel();
        for (int i = 0; i < 100; ++i) {
            QProcess ask;
            ask.start("dbus-send", {"--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                    "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                                    "string:org.freedesktop.secrets"});
            ask.waitForFinished(2000);
            if (ask.readAll().contains("boolean true"))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    static HomeNetworkCamera homeCamera(CamSim& camera, const QString& password)
    {
        HomeNetworkCamera home;
        home.serial = kSerial;
        home.modelName = "HERO12 Black";
        home.model = 12;
        home.address = QHostAddress(CamSim::kHomeAddress);
        home.user = "gopro";
        home.password = password;
        home.rootCertificatePem = camera.homeRootCertificate();
        home.ssid = "HomeNet";
        return home;
    }

    // The file as the camera serves it, fetched past the program.
    static QByteArray cameraBytes(const HomeNetworkCamera& home, const QString& mediaPath)
    {
        QNetworkAccessManager nam;
        nam.setProxy(QNetworkProxy::NoProxy);
        QNetworkRequest request(QUrl(QString("https://%1/videos/DCIM/%2").arg(CamSim::kHomeAddress, mediaPath)));
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setCaCertificates(QSslCertificate::fromData(home.rootCertificatePem));
        request.setSslConfiguration(ssl);
        request.setRawHeader("Authorization", "Basic " + QByteArray("gopro:" + home.password.toUtf8()).toBase64());
        QNetworkReply* reply = nam.get(request);
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(20000);
        reply->deleteLater();
        return reply->readAll();
    }

private slots:
    void initTestCase()
    {
        testsupport::installFreshDataTree();
        testsupport::writeDefaultModel("hero12");
        // No camera on its own Wi-Fi: the home network's is the only one that answers.
        QVERIFY(CamSim::leaveNetwork());
        QFile::remove(RememberedCameras().path());
        m_haveKeyring = startKeyring();
        if (!m_haveKeyring)
            qInfo("no Secret Service could be started here: the password is kept for the session only");
    }

    void cleanupTestCase()
    {
        m_keyring.kill();
        m_keyring.waitForFinished(3000);
        m_bus.kill();
        m_bus.waitForFinished(3000);
    }

    // Set up once (as Bluetooth hands it over), then a restart: the camera comes from the
    // configuration and the keyring alone, is listed as a home camera, comes online over
    // HTTPS, and every feature reaches it there with its credentials. Its password is in no
    // file and no log line.
    void rememberedCameraOverHttps()
    {
        CamSim camera;
        QVERIFY(camera.startHome(kSerial, kPassword,
                                 {"--model", "12", "--media-count", "6", "--ref", testsupport::appRoot() + "/ref"}));
        const HomeNetworkCamera home = homeCamera(camera, kPassword);
        QVERIFY(home.rootCertificatePem.startsWith("-----BEGIN CERTIFICATE-----"));
        LogCapture log;
        PromptRecorder prompts;
        QTemporaryDir folder;
        prompts.setDefaultDirectory(folder.path());
        {
            MainWindow first;
            first.homeCameraReady(home);
            QCOMPARE(cameralist::currentName(first.findChild<QComboBox*>("comboCameras")), kListed);
            QTRY_COMPARE_WITH_TIMEOUT(first.statusBar()->currentMessage(), QString("Total media files: 10"), 10000);
            // Thumbnails are kept for the run: asked of the camera this once.
            QTRY_VERIFY_WITH_TIMEOUT(camera.countRequests("/gp/gpMediaMetadata") >= 1, 5000);
            QTRY_VERIFY_WITH_TIMEOUT(log.contains(m_haveKeyring ? "kept in the keyring" : "keyring did not take the password"), 10000);
        }
        // Restart: what the first run knew in memory is gone.
        HomeCameraTrust::instance()->forget(home.address);
        camera.clearLog();
        MainWindow window;
        window.show();
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kListed), 5000);
        QCOMPARE(cameralist::currentName(cameras), kListed);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QString("Total media files: 10"), 10000);

        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QTRY_VERIFY_WITH_TIMEOUT(camera.state()["shutter"].toBool(), 3000);
        window.findChild<QPushButton*>("pbStop")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!camera.state()["shutter"].toBool(), 3000);

        const QJsonArray list = QJsonDocument::fromJson(camera.mediaList())["media"][0]["fs"].toArray();
        const QString first = "100GOPRO/" + list.at(0)["n"].toString();
        QMetaObject::invokeMethod(&window, "slotFileSelected", Q_ARG(bool, true), Q_ARG(QString, first));
        window.findChild<QPushButton*>("pbDownload")->click();
        QTRY_VERIFY_WITH_TIMEOUT(window.statusBar()->currentMessage().startsWith("Downloaded 1 of 1"), 10000);
        QFile saved(folder.filePath(first.section('/', 1)));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray expected = cameraBytes(home, first);
        QVERIFY(!expected.isEmpty());
        QVERIFY(saved.readAll() == expected);
        window.findChild<QPushButton*>("pbDelete")->click();
        QTRY_VERIFY_WITH_TIMEOUT(camera.state()["deleted"].toArray().contains(first), 5000);

        // All of it over HTTPS (the simulator serves nothing else there), none refused.
        const QJsonArray requests = camera.requests();
        QVERIFY(requests.size() > 5);
        for (const QJsonValue& request : requests)
            QVERIFY2(request["status"].toInt() != 401, qPrintable(request["target"].toString()));
        for (const Prompt::Request& prompt : prompts.requests())
            QVERIFY2(!prompt.text.contains("nothing more is sent"), qPrintable(prompt.text));

        const QByteArray encoded = QByteArray("gopro:" + kPassword.toUtf8()).toBase64();
        QVERIFY(!log.lines().join('\n').contains(kPassword));
        QVERIFY(!log.lines().join('\n').contains(QString::fromLatin1(encoded)));
        QDirIterator files(QFileInfo(RememberedCameras().path()).absolutePath(), QDir::Files,
                           QDirIterator::Subdirectories);
        int checked = 0;
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY2(!bytes.contains(kPassword.toUtf8()) && !bytes.contains(encoded), qPrintable(file.fileName()));
            ++checked;
        }
        QVERIFY(checked >= 1);
    }

    // A certificate the camera's root does not vouch for, or a password it refuses: the user
    // is told once in clear words, and nothing more reaches the camera.
    void refusedCameraGetsNothingMore_data()
    {
        QTest::addColumn<bool>("otherCertificate");
        QTest::newRow("another certificate") << true;
        QTest::newRow("wrong password") << false;
    }
    void refusedCameraGetsNothingMore()
    {
        QFETCH(bool, otherCertificate);
        CamSim camera;
        QVERIFY(camera.startHome(kSerial, kPassword, {"--model", "12", "--media-count", "3"}));
        const HomeNetworkCamera home = homeCamera(camera, otherCertificate ? kPassword : "not-its-password");
        PromptRecorder prompts;
        MainWindow window;
        window.homeCameraReady(home);
        if (otherCertificate) {
            QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QString("Total media files: 3"), 10000);
            QVERIFY(camera.switchHomeCertificate());
        }
        const QString told = HomeCameraTrust::message(home.address, otherCertificate
                                                          ? HomeCameraTrust::Refusal::Certificate
                                                          : HomeCameraTrust::Refusal::Password);
        QTRY_VERIFY_WITH_TIMEOUT(prompts.sawText(told), 10000);
        const int seen = camera.requests().size();
        // Polls come every 3 s, a missed one is retried at once: two periods would show them.
        QTest::qWait(7000);
        QCOMPARE(camera.requests().size(), seen);
        QCOMPARE(prompts.count(), 1);
        HomeCameraTrust::instance()->forget(home.address);
    }
};

VELKAMO_TEST_MAIN(TestHomeCameras)
#include "tst_homecameras.moc"
