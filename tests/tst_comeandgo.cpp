// Cameras that come and go: one camera is one entry whatever reaches it, a way that goes leaves
// the others, a camera nothing reaches leaves the list and is asked nothing more, the camera at
// the access point is asked who it is each time it comes back, and what is remembered of a camera
// is what it told.

#include "cameralink.h"
#include "cameralist.h"
#include "medialist.h"
#include "camsim.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "rememberedmodels.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
const QString kSerial = QStringLiteral("C3501324645504"); // at 172.25.104.51 by cable
const QString kSerialB = QStringLiteral("C3441326543583");
const QString kCable = QStringLiteral("USB · HERO12 Black · …504");
const QString kWifi12 = QStringLiteral("Wi-Fi · HERO12 Black · …504");

QComboBox* cameraList(MainWindow& window)
{
    return window.findChild<QComboBox*>("comboCameras");
}

// "Download from all cameras", as the arrow beside Download offers it; waits for its summary.
QString downloadFromAll(MainWindow& window, PromptRecorder& prompts, const QString& folder)
{
    prompts.setDefaultDirectory(folder);
    window.findChild<QToolButton*>("pbDownloadMenu")->menu()->actions().value(0)->trigger();
    auto* label = window.findChild<QLabel*>("labelTransfer");
    if (!QTest::qWaitFor([label] { return label->text().startsWith("Downloaded from all cameras"); }, 60000))
        return QStringLiteral("(no summary: %1)").arg(label->text());
    return label->text();
}

// Files on the simulated camera's card, each member of a burst counted.
qint64 filesOn(CamSim& camera)
{
    return MediaList::parse(camera.mediaList()).fileCount();
}

bool ip(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("ip"), arguments) == 0;
}
} // namespace

class TestComeAndGo : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        testsupport::installFreshDataTree();
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).removeRecursively();
        QVERIFY(CamSim::joinNetwork());
    }

    // One camera on its Wi-Fi and on a cable is one entry, reached by cable. The cable pulled,
    // the same camera answers over Wi-Fi within a poll, and takes commands there.
    void pulledCableLeavesTheWifiSide()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::writeDefaultModel("hero12");
        CamSim wifi, usb;
        QVERIFY(wifi.start({"--model", "12", "--address", "10.5.5.9", "--serial", kSerial, "--media-count", "3"}));
        PromptRecorder prompts;
        MainWindow window;
        QComboBox* cameras = cameraList(window);
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList{kWifi12}, 8000);
        QVERIFY(usb.startUsb(kSerial, {"--model", "12", "--media-count", "3"}));
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList{kCable}, 8000);
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras, kCable) != "offline", 5000);

        QElapsedTimer sincePulled;
        sincePulled.start();
        QVERIFY(CamSim::unplugUsb(kSerial));
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList{kWifi12}, 8000);
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras, kWifi12) != "offline", 8000);
        // The finder looks every second; the Wi-Fi side answers within one poll after.
        QVERIFY2(sincePulled.elapsed() < 1000 + CameraLink::kPollIntervalMs + 1500,
                 qPrintable(QString::number(sincePulled.elapsed())));
        QCOMPARE(cameralist::currentName(cameras), kWifi12);
        wifi.clearLog();
        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QVERIFY(wifi.waitForRequest("/gopro/camera/shutter/start", 3000));
        QCOMPARE(prompts.count(), 0);
    }

    // The user joins another camera's Wi-Fi: the camera at the access point is asked again who it
    // is, and a new serial there is a new camera: its own name, model, card and folder; what is
    // remembered of the first camera stays its own. Beside a cable of the first camera, both are
    // listed and both are offloaded.
    void anotherCameraAtTheAccessPoint_data()
    {
        QTest::addColumn<bool>("firstOnACable");
        QTest::newRow("alone") << false;
        QTest::newRow("the first on a cable too") << true;
    }
    void anotherCameraAtTheAccessPoint()
    {
        QFETCH(bool, firstOnACable);
        if (const QString why = CamSim::usbUnavailable(); firstOnACable && !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::writeDefaultModel("hero11");
        CamSim wifi, usb;
        const QString first = firstOnACable ? kSerial : QStringLiteral("C3441324784461");
        QVERIFY(wifi.start({"--model", firstOnACable ? "12" : "11", "--address", "10.5.5.9", "--serial", first,
                            "--media-count", "2"}));
        if (firstOnACable)
            QVERIFY(usb.startUsb(kSerial, {"--model", "12", "--media-count", "2"}));
        const QString firstName = firstOnACable ? kCable : QStringLiteral("Wi-Fi · HERO11 Black · …461");
        PromptRecorder prompts;
        MainWindow window;
        QComboBox* cameras = cameraList(window);
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList{firstName}, 10000);
        cameralist::choose(cameras, firstName);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(),
                                  QString("Total media files: %1").arg(filesOn(wifi)), 8000);

        // Its access point goes; the next camera's comes at the same address.
        // The PC is off the cameras' Wi-Fi for a few seconds, as any change of network takes.
        QVERIFY(CamSim::leaveNetwork());
        if (!firstOnACable)
            QTRY_COMPARE_WITH_TIMEOUT(cameralist::stateOf(cameras, firstName), QString("offline"), 10000);
        else
            QTest::qWait(2 * CameraLink::kPollIntervalMs); // its Wi-Fi side has seen it go
        QVERIFY(wifi.setIdentity(kSerialB, 12));
        QVERIFY(wifi.setMediaCount(5));
        const qint64 secondFiles = filesOn(wifi);
        QVERIFY(CamSim::joinNetwork());
        const QString second = QStringLiteral("Wi-Fi · HERO12 Black · …583");
        const QStringList expected = firstOnACable ? QStringList{kCable, second} : QStringList{second};
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::sortedNames(cameras), expected, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras, second) != "offline", 8000);
        if (!firstOnACable) {
            // The camera shown left; the one there now is shown, with its own card.
            QCOMPARE(cameralist::currentName(cameras), second);
            QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(),
                                      QString("Total media files: %1").arg(secondFiles), 8000);
            QCOMPARE(window.findChild<QComboBox*>("comboModel")->currentText(), QString("hero12"));
        }
        RememberedModels remembered;
        QCOMPARE(remembered.model(first), QString(firstOnACable ? "hero12" : "hero11"));
        QCOMPARE(remembered.model(kSerialB), QString("hero12"));

        QTemporaryDir folder;
        const QString summary = downloadFromAll(window, prompts, folder.path());
        QStringList folders = QDir(folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QStringList wanted{"HERO12 Black 3583"};
        if (firstOnACable)
            wanted << "HERO12 Black 5504";
        QCOMPARE(folders, wanted);
        QVERIFY2(summary.contains(QString("HERO12 Black 3583: %1 of %1 files saved.").arg(secondFiles)),
                 qPrintable(summary));
        QCOMPARE(QDir(folder.filePath("HERO12 Black 3583")).entryList(QDir::Files).size(), secondFiles);
    }

    // Unplugged, a camera leaves the list within 5 s and its address is asked nothing more. A cable
    // that comes and goes before the camera has said who it is is still one camera.
    void unpluggedCamerasLeave()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::writeDefaultModel("hero12");
        QVERIFY(CamSim::leaveNetwork());
        CamSim usb;
        // Its identity takes a while: long enough for the cable to come and go meanwhile.
        QVERIFY(usb.startUsb(kSerial, {"--model", "12", "--info-delay", "2500"}));
        PromptRecorder prompts;
        MainWindow window;
        QComboBox* cameras = cameraList(window);
        QVERIFY(usb.waitForRequest("/gopro/camera/info", 5000));
        QVERIFY(CamSim::unplugUsb(kSerial));
        QTest::qWait(1500); // the finder has seen it go
        QVERIFY(CamSim::plugUsb(kSerial));
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kCable), 10000);
        QTest::qWait(CameraLink::kPollIntervalMs);
        QCOMPARE(cameralist::names(cameras).filter("…504").size(), 1);

        QElapsedTimer sincePulled;
        sincePulled.start();
        QVERIFY(CamSim::unplugUsb(kSerial));
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList{"Wi-Fi · 10.5.5.9"}, 5000);
        QVERIFY2(sincePulled.elapsed() < 5000, qPrintable(QString::number(sincePulled.elapsed())));
        // Its address back on this PC, but no cable of a camera: asked nothing (on an office
        // network 172.16/12 holds real hosts).
        QVERIFY(ip({"addr", "add", "172.25.104.51/32", "dev", "lo"}));
        const auto drop = qScopeGuard([] { ip({"addr", "del", "172.25.104.51/32", "dev", "lo"}); });
        usb.clearLog();
        QTest::qWait(CameraLink::kPollIntervalMs + 1000);
        QCOMPARE(usb.targets(), QStringList());
        QCOMPARE(prompts.count(), 0);
    }

    // A camera that has told who it is answers: listed as such at once (not "offline" until the
    // next poll), and Start with All cameras reaches it.
    void answeredIsOnlineAtOnce()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::writeDefaultModel("hero11");
        CamSim wifi, usb;
        QVERIFY(wifi.start({"--model", "11", "--address", "10.5.5.9"}));
        PromptRecorder prompts;
        MainWindow window;
        QComboBox* cameras = cameraList(window);
        const QString hero11 = QStringLiteral("Wi-Fi · HERO11 Black · …461");
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras, hero11) != "offline"
                                     && !cameralist::stateOf(cameras, hero11).isEmpty(), 8000);
        auto* all = window.findChild<QCheckBox*>("checkBoxAllCameras");
        QVERIFY(usb.startUsb(kSerial, {"--model", "12"}));
        // The moment its name shows, it has answered.
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kCable), 8000);
        QCOMPARE_NE(cameralist::stateOf(cameras, kCable), QString("offline"));
        QVERIFY(all->isEnabled());
        all->click();
        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QVERIFY(usb.waitForRequest("/gopro/camera/shutter/start", 3000));
        QVERIFY(wifi.waitForRequest("/gopro/camera/shutter/start", 3000));
        QCOMPARE(prompts.count(), 0);
    }

    // The folder of a camera's files is named by what it told once, whether or not it tells its
    // name this time: the second run finds every file already there.
    void offloadFolderKeepsTheToldName()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::writeDefaultModel("hero12");
        QVERIFY(CamSim::leaveNetwork());
        CamSim usb;
        QVERIFY(usb.startUsb(kSerial, {"--model", "12", "--media-count", "3"}));
        PromptRecorder prompts;
        QTemporaryDir folder;
        {
            MainWindow window;
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameraList(window)).contains(kCable), 8000);
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameraList(window), kCable) != "offline", 8000);
            const QString summary = downloadFromAll(window, prompts, folder.path());
            QVERIFY2(summary.contains(QString("HERO12 Black 5504: %1 of %1 files saved.").arg(filesOn(usb))),
                     qPrintable(summary));
        }
        // This time the camera does not say who it is within the time it is given.
        QVERIFY(usb.setInfoDelay(3500));
        MainWindow window;
        QComboBox* cameras = cameraList(window);
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras, kCable) != "offline"
                                     && !cameralist::stateOf(cameras, kCable).isEmpty(), 15000);
        QVERIFY(usb.countRequests("/gopro/camera/info") >= 1);
        const QString summary = downloadFromAll(window, prompts, folder.path());
        QVERIFY2(summary.contains(QString("HERO12 Black 5504: 0 of %1 files saved, %1 already there.").arg(filesOn(usb))),
                 qPrintable(summary));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"HERO12 Black 5504"});
    }

    // A model only chosen for a camera that does not tell its own is not remembered as its; the
    // choice corrected on a cable switches wired control on, as plugging it in does.
    void chosenModelIsNotTold()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::writeDefaultModel("hero9");
        QVERIFY(CamSim::leaveNetwork());
        const QString serial = QStringLiteral("C3441326543583");
        CamSim usb;
        // A HERO10 that tells nothing in time: taken for what is chosen, a HERO9.
        QVERIFY(usb.startUsb(serial, {"--model", "10", "--info-delay", "6000"}));
        PromptRecorder prompts;
        MainWindow window;
        QComboBox* cameras = cameraList(window);
        const QString cable = QStringLiteral("USB · HERO9 · …583");
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras, cable) != "offline"
                                     && !cameralist::stateOf(cameras, cable).isEmpty(), 15000);
        QCOMPARE(cameralist::currentName(cameras), cable);
        QVERIFY(!usb.state()["wiredControl"].toBool());
        QCOMPARE(RememberedModels().model(serial), QString());

        // The user knows better.
        auto* models = window.findChild<QComboBox*>("comboModel");
        models->setCurrentText("hero10");
        QTRY_VERIFY_WITH_TIMEOUT(usb.state()["wiredControl"].toBool(), 5000);
        QCOMPARE(RememberedModels().model(serial), QString());
        usb.clearLog();
        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QTRY_VERIFY_WITH_TIMEOUT(usb.state()["shutter"].toBool(), 5000);
        QCOMPARE(prompts.count(), 0);
    }
};

VELKAMO_TEST_MAIN(TestComeAndGo)
#include "tst_comeandgo.moc"
