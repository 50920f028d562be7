// A camera on the home network: reached over HTTPS with its own root as the only trust and
// its password on every request (never through the system's authorities, even one that signed
// its certificate), remembered across a restart (password in the keyring) in a file that is
// the user's alone, one camera to an address, and refused for good once it shows another
// certificate or turns its password away; trusting one again or refusing one cuts no transfer
// of another camera.

#include "cameralink.h"
#include "cameralist.h"
#include "camsim.h"
#include "homecameratrust.h"
#include "homenetworkcamera.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "medialist.h"
#include "passwordstore.h"
#include "promptrecorder.h"
#include "rememberedcameras.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QSettings>
#include <QtTest>

#include <openssl/x509.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {
const QString kSerial = QStringLiteral("C3501324645583");
const QString kPassword = QStringLiteral("Qx7-pw!9Lm2z");
const QString kListed = QStringLiteral("Home · HERO12 Black · …583");
// A camera set up before at the address the router has given kSerial's camera since.
const QString kEarlierSerial = QStringLiteral("C3501324647721");
const QString kEarlierPassword = QStringLiteral("Ab3-other!pw");
const QString kEarlierListed = QStringLiteral("Home · HERO12 Black · …721");
const QString kCableSerial = QStringLiteral("C3501324645504"); // at 172.25.104.51
const QString kCableListed = QStringLiteral("USB · HERO12 Black · …504");
const QString kSystemCertificates = QStringLiteral("/etc/ssl/certs");

// The files the camera's card lists, burst members one by one.
QStringList cardFiles(CamSim& camera)
{
    QStringList files;
    const MediaList card = MediaList::parse(camera.mediaList());
    for (const MediaList::Entry& entry : card.newestFirst())
        files += entry.isGroup() ? entry.members() : QStringList{entry.path};
    return files;
}

QString cardShown(CamSim& camera)
{
    return QStringLiteral("Total media files: %1").arg(cardFiles(camera).size());
}

// The file as a camera on its access point or a cable serves it, fetched past the program.
QByteArray plainCameraBytes(const QString& host, const QString& mediaPath)
{
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    std::unique_ptr<QNetworkReply> reply(
        nam.get(QNetworkRequest(QUrl("http://" + host + ":8080/videos/DCIM/" + mediaPath))));
    QSignalSpy(reply.get(), &QNetworkReply::finished).wait(20000);
    return reply->readAll();
}

// Where a download put the file: in the folder, or in a camera's folder inside it.
QString savedFile(const QString& folder, const QString& mediaPath)
{
    QDirIterator it(folder, {MediaList::fileName(mediaPath)}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

// The password as set-up keeps it: in the keyring where one runs, else for this session.
bool storePassword(const QString& serial, const QString& password)
{
    PasswordStore store;
    QSignalSpy stored(&store, &PasswordStore::stored);
    store.store(serial, password);
    return stored.wait(10000);
}

// The keyring answers in the order it is asked: once a question asked now has its answer, any
// the window asked at its start has had its own.
bool keyringRoundTrip()
{
    PasswordStore store;
    QSignalSpy loaded(&store, &PasswordStore::loaded);
    store.load(QStringLiteral("no-such-camera"));
    return loaded.wait(10000);
}

// Puts root among the system's authorities as Debian keeps them, in this test's own mount
// namespace: a tmpfs over /etc/ssl/certs (also /usr/lib/ssl/certs, a link to it) holding the
// root under its subject hash, the name OpenSSL looks up in that folder when Qt lets it load
// the system's roots on demand, and in the bundle ca-certificates.crt, what
// QSslConfiguration::systemCaCertificates() reads. Empty on success, else why not.
QString trustSystemWide(const QSslCertificate& root)
{
    if (const QString why = testsupport::mountTmpfs(kSystemCertificates, QStringLiteral("1m")); !why.isEmpty())
        return why;
    const QByteArray der = root.toDer();
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.constData());
    X509* x509 = d2i_X509(nullptr, &bytes, der.size());
    if (!x509)
        return QStringLiteral("the root does not parse");
    const unsigned long hash = X509_subject_name_hash(x509);
    X509_free(x509);
    for (const QString& name : {QStringLiteral("%1.0").arg(hash, 8, 16, QLatin1Char('0')),
                                QStringLiteral("ca-certificates.crt")}) {
        QFile file(kSystemCertificates + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(root.toPem()) <= 0)
            return file.fileName() + QStringLiteral(": ") + file.errorString();
    }
    return QString();
}

// The exact permission bits of path itself (a link is not followed); -1 when it is not there.
int modeOf(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

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

    static HomeNetworkCamera homeCamera(const QString& serial, const QByteArray& root, const QString& password)
    {
        HomeNetworkCamera home;
        home.serial = serial;
        home.modelName = "HERO12 Black";
        home.model = 12;
        home.address = QHostAddress(CamSim::kHomeAddress);
        home.user = "gopro";
        home.password = password;
        home.rootCertificatePem = root;
        home.ssid = "HomeNet";
        return home;
    }

    static HomeNetworkCamera homeCamera(CamSim& camera, const QString& password)
    {
        return homeCamera(kSerial, camera.homeRootCertificate(), password);
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

    // Each case starts with nothing remembered and nobody trusted at the home address.
    void init()
    {
        // The clock's own status messages would cover the card counts these cases wait for.
        QSettings(QSettings::IniFormat, QSettings::UserScope, "velkamo", "velkamo").setValue("camera/setClock", false);
        const QString path = RememberedCameras().path();
        QFile::remove(path);
        QFile::remove(path + ".real");
        HomeCameraTrust::instance()->forget(QHostAddress(CamSim::kHomeAddress));
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
            QTRY_VERIFY_WITH_TIMEOUT(camera.countRequests("/gopro/media/thumbnail") >= 1, 5000);
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

    // Two cameras remembered at one address: the router gave the address of the first, now
    // off, to the camera set up after it. The address is the later camera's, however the two
    // come: both from the file at the start, the later one handed over by Bluetooth set-up while
    // the earlier is listed (and refused there: another camera's certificate answers), or handed
    // over before the keyring has told the earlier one's password. The list shows the later
    // camera under its own serial, reached with its own password and root; the earlier one is
    // not listed, and nothing goes to the address with its password.
    void oneAddressIsOneCamera_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("both remembered") << "remembered";
        QTest::newRow("handed over while the earlier is listed") << "handed over";
        QTest::newRow("handed over before the earlier's password is read") << "handed over at once";
    }
    void oneAddressIsOneCamera()
    {
        QFETCH(QString, how);
        CamSim camera;
        QVERIFY(camera.startHome(kSerial, kPassword, {"--model", "12", "--media-count", "3"}));
        // The earlier camera's root: one the simulator no longer serves.
        const QByteArray earlierRoot = camera.homeRootCertificate();
        QVERIFY(camera.switchHomeCertificate());
        const HomeNetworkCamera earlier = homeCamera(kEarlierSerial, earlierRoot, kEarlierPassword);
        const HomeNetworkCamera later = homeCamera(camera, kPassword);
        QVERIFY(later.rootCertificatePem != earlierRoot);
        // In the order of set-up.
        QVERIFY(RememberedCameras().remember(earlier));
        QVERIFY(storePassword(earlier.serial, earlier.password));
        if (how == "remembered") {
            QVERIFY(RememberedCameras().remember(later));
            QVERIFY(storePassword(later.serial, later.password));
        }

        PromptRecorder prompts;
        MainWindow window;
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        QSignalSpy loaded(window.findChild<PasswordStore*>(), &PasswordStore::loaded);
        const auto passwordRead = [&loaded](const QString& serial) {
            for (const QList<QVariant>& answer : std::as_const(loaded)) {
                if (answer.at(0).toString() == serial)
                    return true;
            }
            return false;
        };
        const QString certificateRefused =
            HomeCameraTrust::message(later.address, HomeCameraTrust::Refusal::Certificate);
        int refusalsBefore = 0;
        if (how == "handed over") {
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kEarlierListed), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(prompts.sawText(certificateRefused), 10000);
            refusalsBefore = prompts.count();
            window.homeCameraReady(later);
        } else if (how == "handed over at once") {
            window.homeCameraReady(later);
            QTRY_VERIFY_WITH_TIMEOUT(passwordRead(kEarlierSerial), 10000);
        }

        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kListed), 5000);
        QCOMPARE(cameralist::currentName(cameras), kListed);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), cardShown(camera), 10000);
        // A poll period later the later camera still answers with its own password.
        const int seen = camera.requests().size();
        QTRY_VERIFY_WITH_TIMEOUT(camera.requests().size() > seen, CameraLink::kPollIntervalMs + 2000);
        QVERIFY(!cameralist::names(cameras).contains(kEarlierListed));
        QCOMPARE(cameralist::stateOf(cameras, kListed).contains("offline"), false);
        for (const QJsonValue& request : camera.requests())
            QVERIFY2(request["status"].toInt() != 401, qPrintable(request["target"].toString()));
        QCOMPARE(prompts.count(), refusalsBefore);
    }

    // A transfer of one camera goes on, byte for byte, while a camera on the home network is
    // trusted again with the same data (remembered, then handed over by set-up; or set up
    // twice) and while one is refused (its certificate or its password turned away). The
    // window has fetched from the home camera before, as a user does, so whatever fetched
    // from both would be cut with the home camera's connections.
    void transfersGoOnWhileAnotherCameraIsTrustedOrRefused_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("from");
        QTest::newRow("remembered camera handed over, its own download") << "set up again" << "home";
        QTest::newRow("set up again, download from the access point") << "set up again" << "access point";
        QTest::newRow("certificate refused, download from the access point") << "certificate refused" << "access point";
        QTest::newRow("password refused, download from the access point") << "password refused" << "access point";
        QTest::newRow("certificate refused, download from a cable") << "certificate refused" << "cable";
        QTest::newRow("set up again, download from all cameras") << "set up again" << "all cameras";
        QTest::newRow("certificate refused, download from all cameras") << "certificate refused" << "all cameras";
    }
    void transfersGoOnWhileAnotherCameraIsTrustedOrRefused()
    {
        QFETCH(QString, event);
        QFETCH(QString, from);
        if (from == "cable") {
            if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
                QSKIP(qPrintable(why));
        }
        CamSim home, other;
        QVERIFY(home.startHome(kSerial, kPassword, {"--model", "12", "--media-count", "3"}));
        CamSim* source = &home;
        QString sourceHost = CamSim::kHomeAddress;
        QString sourceListed = kListed;
        const auto leave = qScopeGuard([] { CamSim::leaveNetwork(); });
        if (from == "access point" || from == "all cameras") {
            QVERIFY(CamSim::joinNetwork());
            QVERIFY(other.start({"--model", "12", "--address", "10.5.5.9", "--media-count", "4"}));
            source = &other;
            sourceHost = "10.5.5.9";
            sourceListed = "Wi-Fi · HERO12 Black · …" + other.state()["serial"].toString().right(3);
        } else if (from == "cable") {
            QVERIFY(other.startUsb(kCableSerial, {"--model", "12", "--media-count", "4"}));
            source = &other;
            sourceHost = CamSim::usbCameraAddress(kCableSerial).toString();
            sourceListed = kCableListed;
        }
        const HomeNetworkCamera trusted = homeCamera(home, kPassword);
        if (from == "home") {
            QVERIFY(RememberedCameras().remember(trusted));
            QVERIFY(storePassword(trusted.serial, trusted.password));
        }

        PromptRecorder prompts;
        QTemporaryDir before, folder;
        prompts.setDefaultDirectory(before.path());
        MainWindow window;
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        auto* transfer = window.findChild<QLabel*>("labelTransfer");
        const auto answers = [cameras](const QString& name) {
            return cameralist::names(cameras).contains(name) && cameralist::stateOf(cameras, name) != "offline";
        };
        if (from != "home")
            window.homeCameraReady(trusted);
        // Whichever answered first is shown: the home camera is chosen.
        QTRY_VERIFY_WITH_TIMEOUT(answers(kListed), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(answers(sourceListed), 10000);
        QVERIFY(cameralist::choose(cameras, kListed));
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), cardShown(home), 10000);
        const auto offload = [&window] {
            window.findChild<QToolButton*>("pbDownloadMenu")->menu()->actions().value(0)->trigger();
        };
        const auto download = [&window](const QString& mediaPath) {
            QMetaObject::invokeMethod(&window, "slotFileSelected", Q_ARG(bool, true), Q_ARG(QString, mediaPath));
            window.findChild<QPushButton*>("pbDownload")->click();
        };
        if (from == "all cameras") {
            offload();
            QTRY_VERIFY_WITH_TIMEOUT(transfer->text().startsWith("Downloaded from all cameras"), 30000);
        } else if (from != "home") {
            download(cardFiles(home).first());
            QTRY_VERIFY_WITH_TIMEOUT(transfer->text().startsWith("Downloaded 1 of 1"), 10000);
            QVERIFY(cameralist::choose(cameras, sourceListed));
            QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), cardShown(*source), 10000);
        }

        // About fourteen seconds of transfer: the trust changes well within them, also in a slow
        // sanitizer build.
        const QString slow = cardFiles(*source).last();
        const qint64 size = MediaList::parse(source->mediaList()).listedSize(slow);
        QVERIFY(size > 0);
        QVERIFY(source->setFault(slow, "slow", 0, std::max<qint64>(size / 14, 4096)));
        source->clearLog();
        prompts.setDefaultDirectory(folder.path());
        window.findChild<QPushButton*>("pbChangeFolder")->click();
        if (from == "all cameras")
            offload();
        else
            download(slow);
        QVERIFY(source->waitForRequest("/videos/DCIM/" + slow, 20000));

        // A camera set up while a download of another one runs asks whether to leave it: no.
        const bool asksToSwitch = from == "access point" || from == "cable";
        if (event == "set up again") {
            if (asksToSwitch)
                prompts.answerNext(QMessageBox::Cancel);
            window.homeCameraReady(trusted);
        } else if (event == "certificate refused") {
            QVERIFY(home.switchHomeCertificate());
            QTRY_VERIFY_WITH_TIMEOUT(
                prompts.sawText(HomeCameraTrust::message(trusted.address, HomeCameraTrust::Refusal::Certificate)),
                10000);
        } else {
            if (asksToSwitch)
                prompts.answerNext(QMessageBox::Cancel);
            window.homeCameraReady(homeCamera(home, "not-its-password"));
            QTRY_VERIFY_WITH_TIMEOUT(
                prompts.sawText(HomeCameraTrust::message(trusted.address, HomeCameraTrust::Refusal::Password)),
                10000);
        }
        // The transfer still runs when the trust has changed, or this shows nothing.
        QVERIFY2(!transfer->text().startsWith("Downloaded"), qPrintable(transfer->text()));

        if (from == "all cameras") {
            QTRY_VERIFY_WITH_TIMEOUT(transfer->text().startsWith("Downloaded from all cameras"), 40000);
            const QStringList lines = transfer->text().split('\n');
            const int files = int(cardFiles(*source).size());
            QVERIFY2(lines.filter(QString(": %1 of %1 files saved.").arg(files)).size() >= 1,
                     qPrintable(lines.join(" / ")));
        } else {
            QTRY_VERIFY2_WITH_TIMEOUT(transfer->text().startsWith("Downloaded 1 of 1"),
                                      qPrintable(transfer->text()), 40000);
        }
        QVERIFY(source->setFault(slow, "none"));
        QFile saved(savedFile(folder.path(), slow));
        QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(transfer->text()));
        const QByteArray expected = source == &home ? cameraBytes(trusted, slow) : plainCameraBytes(sourceHost, slow);
        QCOMPARE(expected.size(), size);
        QVERIFY(saved.readAll() == expected);
    }

    // home-cameras.json says where a password from the keyring is sent, so only a plain file
    // of the user's that nobody else may change is read: otherwise no camera is reached from
    // it, the keyring is not asked, the user is told once in the status bar, and the file is
    // never written over (a camera set up now is reached, only not remembered there).
    void rememberedFileIsTheUsersAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("why"); // after the file's path; empty: it is read
        QTest::newRow("the user's alone") << "good" << "";
        QTest::newRow("writable by others") << "others" << "may be changed by other users";
        QTest::newRow("writable by group") << "group" << "may be changed by other users";
        QTest::newRow("a symbolic link to a good file") << "symlink" << "is a symbolic link";
        QTest::newRow("owned by another user") << "owner" << "belongs to another user";
    }
    void rememberedFileIsTheUsersAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, why);
        CamSim camera;
        QVERIFY(camera.startHome(kSerial, kPassword, {"--model", "12", "--media-count", "3"}));
        const HomeNetworkCamera home = homeCamera(camera, kPassword);
        QVERIFY(RememberedCameras().remember(home));
        QVERIFY(storePassword(home.serial, home.password));
        const QString path = RememberedCameras().path();
        // As Velkamo writes it (newRememberedFileIsTheUsersAlone), then changed.
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
        if (kind == "others") {
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0602) == 0);
        } else if (kind == "group") {
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0620) == 0);
        } else if (kind == "symlink") {
            QVERIFY(QFile::rename(path, path + ".real"));
            QVERIFY(QFile::link(path + ".real", path));
        } else if (kind == "owner" && ::chown(QFile::encodeName(path).constData(), 65534, 65534) != 0) {
            QSKIP("giving the file to another user needs root");
        }
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();
        const int mode = modeOf(path);
        const QString target = QFileInfo(path).symLinkTarget();

        PromptRecorder prompts;
        MainWindow window;
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        QSignalSpy loaded(window.findChild<PasswordStore*>(), &PasswordStore::loaded);
        const QString told = "The cameras on the home network are not reached: " + path + " " + why
            + ". Make it a file of your own that only you may change, or remove it and set the "
              "cameras up again.";
        if (why.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kListed), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), cardShown(camera), 10000);
            QVERIFY(keyringRoundTrip());
            QCOMPARE(loaded.count(), 1);
            return;
        }
        QCOMPARE(window.statusBar()->currentMessage(), told);
        QSignalSpy shown(window.statusBar(), &QStatusBar::messageChanged);
        QVERIFY(keyringRoundTrip());
        QCOMPARE(loaded.count(), 0);
        QVERIFY(!cameralist::names(cameras).contains(kListed));
        QCOMPARE(camera.requests().size(), 0);

        // Set up now: reached from the set-up, not remembered over the file.
        window.homeCameraReady(home);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), cardShown(camera), 10000);
        for (const QList<QVariant>& message : std::as_const(shown))
            QVERIFY(message.at(0).toString() != told);
        QCOMPARE(modeOf(path), mode);
        QCOMPARE(QFileInfo(path).symLinkTarget(), target);
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        if (kind == "owner") {
            struct stat st;
            QVERIFY(::lstat(QFile::encodeName(path).constData(), &st) == 0);
            QCOMPARE(st.st_uid, uid_t(65534));
        }
    }

    // The first camera set up makes the file: the user's alone, whatever the umask.
    void newRememberedFileIsTheUsersAlone()
    {
        const QString path = RememberedCameras().path();
        QVERIFY(!QFileInfo::exists(path));
        const mode_t umask = ::umask(0);
        const auto restore = qScopeGuard([umask] { ::umask(umask); });
        CamSim camera;
        QVERIFY(camera.startHome(kSerial, kPassword, {"--model", "12", "--media-count", "3"}));
        PromptRecorder prompts;
        MainWindow window;
        window.homeCameraReady(homeCamera(camera, kPassword));
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(RememberedCameras().cameras().size(), 1);
    }

    // A home camera is trusted by its own root alone: not even an authority of the system's
    // that signed the certificate it shows makes it trusted when its pinned root is another.
    void systemAuthoritiesNeverVouchForAHomeCamera()
    {
        CamSim camera;
        QVERIFY(camera.startHome(kSerial, kPassword, {"--model", "12", "--media-count", "3"}));
        // Remembered from the set-up; the camera has made a new chain since.
        const QByteArray pinned = camera.homeRootCertificate();
        QVERIFY(camera.switchHomeCertificate());
        const QList<QSslCertificate> signer = QSslCertificate::fromData(camera.homeRootCertificate());
        QCOMPARE(signer.size(), 1);
        QVERIFY(signer.first() != QSslCertificate(pinned));
        const QString why = trustSystemWide(signer.first());
        const auto restore = qScopeGuard([] { testsupport::unmount(kSystemCertificates); });
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(QSslConfiguration::systemCaCertificates().contains(signer.first()));

        // The system's store now vouches for the camera's server: a plain socket and a plain
        // manager, each trusting what the system trusts, take it without an error.
        QSslSocket socket;
        socket.setProxy(QNetworkProxy::NoProxy);
        QSignalSpy encrypted(&socket, &QSslSocket::encrypted);
        socket.connectToHostEncrypted(CamSim::kHomeAddress, 443);
        QVERIFY2(encrypted.wait(10000), qPrintable(socket.errorString()));
        QVERIFY(socket.sslHandshakeErrors().isEmpty());
        socket.disconnectFromHost();
        QNetworkAccessManager nam;
        nam.setProxy(QNetworkProxy::NoProxy);
        std::unique_ptr<QNetworkReply> reply(
            nam.get(QNetworkRequest(QUrl(QString("https://%1/gopro/camera/state").arg(CamSim::kHomeAddress)))));
        QSignalSpy sslErrors(reply.get(), &QNetworkReply::sslErrors);
        QVERIFY(QSignalSpy(reply.get(), &QNetworkReply::finished).wait(10000));
        QCOMPARE(sslErrors.count(), 0);
        // Without the password the camera itself turns the request away.
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 401);

        camera.clearLog();
        PromptRecorder prompts;
        MainWindow window;
        const HomeNetworkCamera home = homeCamera(kSerial, pinned, kPassword);
        window.homeCameraReady(home);
        QTRY_VERIFY_WITH_TIMEOUT(
            prompts.sawText(HomeCameraTrust::message(home.address, HomeCameraTrust::Refusal::Certificate)), 10000);
        QCOMPARE(prompts.count(), 1);
        QCOMPARE(camera.requests().size(), 0);
        const auto connections = [&camera] { 
            return camera.state()["connections"].toObject()["8080"].toObject()["total"].toInt();
        };
        const int refusedAfter = connections();
        QVERIFY(refusedAfter >= 1);
        // Polls come every 3 s, a missed one is retried at once: two periods would show them.
        QTest::qWait(2 * CameraLink::kPollIntervalMs + 1000);
        QCOMPARE(connections(), refusedAfter);
        QCOMPARE(camera.requests().size(), 0);
        QCOMPARE(prompts.count(), 1);
    }
};

VELKAMO_TEST_MAIN(TestHomeCameras)
#include "tst_homecameras.moc"
