// Cameras on a USB cable: which interfaces are cameras (real taps, read by the finder with the
// sysfs a kernel would show staged over /sys/class/net), what a camera says about itself, the
// model remembered for each serial, and the window against a camera reachable only by cable
// (a tap device in the test's namespace), beside one on Wi-Fi, and against a VPN in a camera's
// subnet; downloading from them all.

#include "camera.h"
#include "camerainfo.h"
#include "cameralink.h"
#include "cameraoffload.h"
#include "cameralist.h"
#include "camsim.h"
#include "fakesysfs.h"
#include "mainwindow.h"
#include "medialist.h"
#include "promptrecorder.h"
#include "rememberedmodels.h"
#include "testsupport.h"
#include "usbcamerafinder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QMenu>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

namespace {
const QString kSerial = QStringLiteral("C3501324645504"); // at 172.25.104.51
const QString kCable = QStringLiteral("USB · HERO12 Black · …504");
const QString kSerial9 = QStringLiteral("C3441324784137"); // a HERO9 at 172.21.137.51

// Every file under dir (hidden ones, a .part, included), with when it was last written.
QMap<QString, QDateTime> filesUnder(const QString& dir)
{
    QMap<QString, QDateTime> found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        found.insert(QDir(dir).relativeFilePath(it.filePath()), it.fileInfo().lastModified());
    }
    return found;
}

} // namespace

class TestUsbCameras : public QObject
{
    Q_OBJECT

private slots:
    // An interface is a camera's cable only when it holds an address of a camera's subnet
    // (172.2X.1YZ.N) and sysfs shows it on a USB device of GoPro's whose serial ends in XYZ:
    // real interfaces (taps) read by the real finder from the staged /sys.
    void cableRule_data()
    {
        QTest::addColumn<QString>("pc");     // the interface's address
        QTest::addColumn<QString>("device"); // usb, pci, virtual, none (no sysfs entry)
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("camera"); // empty: not a camera
        const QString goPro = "2672";
        QTest::newRow("serial ...504") << "172.25.104.52/24" << "usb" << goPro << kSerial << "172.25.104.51";
        QTest::newRow("serial ...600") << "172.26.100.53/24" << "usb" << goPro << "C3501324645600" << "172.26.100.51";
        QTest::newRow("second byte 20") << "172.20.104.52/24" << "usb" << goPro << "C3501324645004" << "172.20.104.51";
        QTest::newRow("second byte 29") << "172.29.104.52/24" << "usb" << goPro << "C3501324645904" << "172.29.104.51";
        QTest::newRow("third byte 100") << "172.25.100.54/24" << "usb" << goPro << "C3501324645500" << "172.25.100.51";
        QTest::newRow("third byte 199") << "172.25.199.52/24" << "usb" << goPro << "C3501324645599" << "172.25.199.51";
        // Each serial below ends in what a rule reading the bytes modulo 10 or 100 would take.
        QTest::newRow("second byte 19") << "172.19.104.52/24" << "usb" << goPro << "C3501324645904" << "";
        QTest::newRow("second byte 30") << "172.30.104.52/24" << "usb" << goPro << "C3501324645004" << "";
        QTest::newRow("third byte 99") << "172.25.99.52/24" << "usb" << goPro << "C3501324645599" << "";
        QTest::newRow("third byte 200") << "172.25.200.52/24" << "usb" << goPro << "C3501324645500" << "";
        QTest::newRow("the camera's own address") << "172.25.104.51/24" << "usb" << goPro << kSerial << "";
        QTest::newRow("another vendor") << "172.25.104.52/24" << "usb" << "0bda" << kSerial << "";
        QTest::newRow("serial of another camera") << "172.25.104.52/24" << "usb" << goPro << "C3501324645503" << "";
        QTest::newRow("no serial") << "172.25.104.52/24" << "usb" << goPro << "" << "";
        QTest::newRow("serial that names a path") << "172.25.104.52/24" << "usb" << goPro << "../../504" << "";
        QTest::newRow("PCI card (office LAN)") << "172.25.104.52/24" << "pci" << "" << "" << "";
        QTest::newRow("virtual device (VPN)") << "172.25.104.52/24" << "virtual" << "" << "" << "";
        QTest::newRow("no device at all") << "172.25.104.52/24" << "none" << "" << "" << "";
    }
    void cableRule()
    {
        QFETCH(QString, pc);
        QFETCH(QString, device);
        QFETCH(QString, vendor);
        QFETCH(QString, serial);
        QFETCH(QString, camera);
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString name = device == "usb"       ? "enx0226c0ffee01"
                           : device == "pci"     ? "enp0s31f6"
                           : device == "virtual" ? "wg0"
                                                 : "tun0";
        const auto cleanUp = qScopeGuard([&] {
            testsupport::removeInterface(name);
            fakesysfs::remove(name);
        });
        QCOMPARE(testsupport::addTap(name, {pc}), QString());
        if (device == "usb")
            QCOMPARE(fakesysfs::addUsb(name, {vendor, "0059", "GoPro", "HERO12 Black", serial}), QString());
        else if (device == "pci")
            QCOMPARE(fakesysfs::addPci(name), QString());
        else if (device == "virtual")
            QCOMPARE(fakesysfs::addVirtual(name), QString());

        UsbCameraFinder finder;
        QSignalSpy found(&finder, &UsbCameraFinder::found);
        finder.start(); // the first scan is at once
        if (camera.isEmpty()) {
            QCOMPARE(found.count(), 0);
        } else {
            QCOMPARE(found.count(), 1);
            QCOMPARE(found.at(0).at(0).value<QHostAddress>(), QHostAddress(camera));
            QCOMPARE(found.at(0).at(1).toString(), serial);
            QCOMPARE(found.at(0).at(2).toString(), name);
        }
    }

    // A cable found is lost at the next scan when its interface or its address goes, or when
    // sysfs no longer shows the camera's USB device behind it.
    void cableLost_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("interface gone") << "interface";
        QTest::newRow("address gone") << "address";
        QTest::newRow("no device any more") << "virtual";
        QTest::newRow("another camera's serial") << "serial";
        QTest::newRow("another vendor") << "vendor";
    }
    void cableLost()
    {
        QFETCH(QString, change);
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const QString name = CamSim::usbInterfaceName(kSerial);
        const auto cleanUp = qScopeGuard([&] {
            testsupport::removeInterface(name);
            fakesysfs::remove(name);
        });
        QCOMPARE(testsupport::addTap(name, {"172.25.104.52/24"}), QString());
        QCOMPARE(fakesysfs::addUsb(name, fakesysfs::goPro(kSerial)), QString());
        UsbCameraFinder finder;
        QSignalSpy found(&finder, &UsbCameraFinder::found);
        QSignalSpy lost(&finder, &UsbCameraFinder::lost);
        finder.start();
        QCOMPARE(found.count(), 1);

        if (change == "interface") {
            testsupport::removeInterface(name);
        } else if (change == "address") {
            QProcess ip;
            ip.start("ip", {"addr", "del", "172.25.104.52/24", "dev", name});
            QVERIFY(ip.waitForFinished() && ip.exitCode() == 0);
        } else if (change == "virtual") {
            QCOMPARE(fakesysfs::addVirtual(name), QString());
        } else {
            fakesysfs::UsbDevice other = fakesysfs::goPro(change == "serial" ? "C3501324645503" : kSerial);
            if (change == "vendor")
                other.vendorId = "0bda";
            QCOMPARE(fakesysfs::addUsb(name, other), QString());
        }
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 2 * UsbCameraFinder::kScanIntervalMs + 500);
        QCOMPARE(lost.at(0).at(0).value<QHostAddress>(), QHostAddress("172.25.104.51"));
        QCOMPARE(found.count(), 1);
    }

    // Both info answers; what is shown or used as a name is clean, whatever comes.
    void cameraInfo_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("generation");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("firmware");
        QTest::newRow("newer family") << QByteArray(R"({"ap_ssid":"GP24645504","model_name":"HERO12 Black",
            "model_number":"62","firmware_version":"H23.01.01.10.00","serial_number":"C3501324645504"})")
                                      << "HERO12 Black" << 12 << "C3501324645504" << "H23.01.01.10.00";
        QTest::newRow("older family") << QByteArray(R"({"info":{"model_number":24,"model_name":"HERO6 Black",
            "firmware_version":"HD6.01.01.51.00","serial_number":"C3221324531997"}})")
                                      << "HERO6 Black" << 6 << "C3221324531997" << "HD6.01.01.51.00";
        QTest::newRow("serial that could name a path") << QByteArray(R"({"model_name":"HERO13 Black",
            "serial_number":"../../x"})") << "HERO13 Black" << 13 << "" << "";
        QTest::newRow("name with control characters")
            << QByteArray("{\"model_name\":\"HERO11\\u0000 Mini\\n\",\"serial_number\":123}") << "HERO11 Mini" << 11 << "123" << "";
        QTest::newRow("firmware without end") << QByteArray("{\"model_name\":\"HERO9 Black\",\"firmware_version\":\"HD9\\t"
            + QByteArray(500, '9') + "\"}") << "HERO9 Black" << 9 << "" << "HD9" + QString(29, '9');
        QTest::newRow("not a camera's") << QByteArray(R"({"model_name":"Max 360"})") << "Max 360" << 0 << "" << "";
        QTest::newRow("not JSON") << QByteArray("<html>") << "" << 0 << "" << "";
    }
    void cameraInfo()
    {
        QFETCH(QByteArray, body);
        const CameraInfo info = CameraInfo::parse(body);
        QTEST(info.modelName, "name");
        QTEST(info.generation, "generation");
        QTEST(info.serial, "serial");
        QTEST(info.firmware, "firmware");
    }

    void modelsRememberedBySerial()
    {
        QTemporaryDir dir;
        const RememberedModels models(dir.filePath("velkamo/cameras.json"));
        QCOMPARE(models.model("C3501324645504"), QString());
        QVERIFY(models.remember("C3501324645504", "hero12"));
        QVERIFY(models.remember("C3441326543583", "hero10"));
        QVERIFY(!models.remember("", "hero9"));
        QCOMPARE(RememberedModels(dir.filePath("velkamo/cameras.json")).model("C3501324645504"), QString("hero12"));
        QCOMPARE(models.model("C3441326543583"), QString("hero10"));
    }

    // Where "Download from all cameras" puts a camera's files: never outside the folder chosen.
    void offloadFolderName_data()
    {
        QTest::addColumn<QString>("modelName");
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("cable"); // the camera's address on a cable; empty: on Wi-Fi
        QTest::addColumn<QString>("folder");
        QTest::newRow("as told") << "HERO12 Black" << 12 << "C3501324645504" << "" << "HERO12 Black 5504";
        QTest::newRow("no name told") << "" << 9 << "C3441324784461" << "" << "HERO9 4461";
        QTest::newRow("nothing told") << "" << 0 << "" << "" << "GoPro 10-5-5-9";
        QTest::newRow("no serial, on a cable") << "HERO11 Black" << 11 << "" << "172.25.104.51"
                                               << "HERO11 Black 172-25-104-51";
        QTest::newRow("names a path") << "../../x/.HERO\\13" << 13 << "../..\\/45" << "" << "xHERO13 45";
        QTest::newRow("nothing but marks") << "../.." << 5 << "\n" << "" << "HERO5 10-5-5-9";
    }
    void offloadFolderName()
    {
        QFETCH(QString, modelName);
        QFETCH(int, model);
        QFETCH(QString, serial);
        QFETCH(QString, cable);
        const CameraAddress address = cable.isEmpty() ? CameraAddress::accessPoint()
                                                      : CameraAddress::usb(QHostAddress(cable));
        QTEST(CameraOffload::folderName(modelName, model, serial, address), "folder");
    }

    // "Download from all cameras" with one camera on Wi-Fi and two on cables, each card with a
    // burst: each into a folder of its own, byte for byte. Again into the same folder: nothing
    // written. A camera pulled out during it is told in its line; the others' files all come.
    void downloadFromAllCameras()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::installFreshDataTree();
        testsupport::writeDefaultModel("hero11");
        const QString serialB = QStringLiteral("C3441326543583"); // at 172.25.183.51
        CamSim wifi, usbA, usbB;
        QVERIFY(wifi.start({"--model", "11", "--address", "10.5.5.9", "--media-count", "5"}));
        QVERIFY(usbA.startUsb(kSerial, {"--model", "12", "--media-count", "5"}));
        QVERIFY(usbB.startUsb(serialB, {"--model", "10", "--media-count", "5"}));
        struct Card {
            CamSim* sim;
            QString serial;
            QString host;
            QString folder;
            QStringList files;
        };
        Card cards[] = {{&wifi, "", "10.5.5.9", "HERO11 Black 4461", {}},
                        {&usbA, kSerial, "172.25.104.51", "HERO12 Black 5504", {}},
                        {&usbB, serialB, "172.25.183.51", "HERO10 Black 3583", {}}};
        for (Card& card : cards) {
            const MediaList list = MediaList::parse(card.sim->mediaList());
            for (const MediaList::Entry& entry : list.newestFirst())
                card.files += entry.isGroup() ? entry.members() : QStringList{entry.path};
            QVERIFY(card.files.size() > list.count()); // a burst among them
        }
        QNetworkAccessManager nam;
        const auto cameraBytes = [&nam](const QString& host, const QString& path) {
            std::unique_ptr<QNetworkReply> reply(
                nam.get(QNetworkRequest(QUrl("http://" + host + ":8080/videos/DCIM/" + path))));
            QSignalSpy(reply.get(), &QNetworkReply::finished).wait(20000);
            return reply->readAll();
        };
        const auto checkCard = [&](const QString& root, const Card& card) {
            for (const QString& path : card.files) {
                QFile file(root + "/" + card.folder + "/" + MediaList::fileName(path));
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
                QVERIFY2(file.readAll() == cameraBytes(card.host, path), qPrintable(file.fileName()));
            }
        };

        PromptRecorder prompts;
        QTemporaryDir folder, folder2, folder3;
        auto window = std::make_unique<MainWindow>();
        const auto answering = [&window] {
            const QList<Camera*> cameras = window->findChildren<Camera*>();
            return std::count_if(cameras.begin(), cameras.end(), [](Camera* camera) { return camera->isOnline(); });
        };
        QTRY_COMPARE_WITH_TIMEOUT(answering(), 3, 10000);
        auto* label = window->findChild<QLabel*>("labelTransfer");
        const auto start = [&](const QString& into) {
            prompts.setDefaultDirectory(into);
            window->findChild<QPushButton*>("pbChangeFolder")->click();
            // As the arrow beside Download offers it.
            window->findChild<QToolButton*>("pbDownloadMenu")->menu()->actions().value(0)->trigger();
        };
        const auto offload = [&](const QString& into) {
            start(into);
            QTRY_VERIFY_WITH_TIMEOUT(label->text().startsWith("Downloaded from all cameras"), 60000);
        };
        // The heading, then a line for each camera, sorted here by folder.
        const auto byFolder = [](QStringList lines) {
            std::sort(lines.begin() + 1, lines.end());
            return lines;
        };
        const auto summary = [&](const QString& into, const QString& outcome) {
            QStringList lines{"Downloaded from all cameras to " + into + "."};
            for (const Card& card : cards)
                lines << card.folder + ": " + outcome;
            return byFolder(lines);
        };

        offload(folder.path());
        QCOMPARE(byFolder(label->text().split('\n')), summary(folder.path(), "9 of 9 files saved."));
        for (const Card& card : cards)
            checkCard(folder.path(), card);
        const QMap<QString, QDateTime> written = filesUnder(folder.path());
        QCOMPARE(written.size(), 27);

        QTest::qWait(1100); // a file written again would show a later time
        offload(folder.path());
        QCOMPARE(byFolder(label->text().split('\n')), summary(folder.path(), "0 of 9 files saved, 9 already there."));
        QCOMPARE(filesUnder(folder.path()), written);

        // A file held by each camera on a cable: the one asked first is pulled out meanwhile.
        for (const Card& card : {cards[1], cards[2]}) {
            QVERIFY(card.sim->setFault(card.files.at(1), "stall"));
            card.sim->clearLog();
        }
        start(folder2.path());
        const auto asked = [&](const Card& card) { return card.sim->countRequests("/videos/DCIM/" + card.files.at(1)); };
        QTRY_VERIFY_WITH_TIMEOUT(asked(cards[1]) + asked(cards[2]) > 0, 30000);
        const Card& pulled = asked(cards[1]) > 0 ? cards[1] : cards[2];
        const Card& other = asked(cards[1]) > 0 ? cards[2] : cards[1];
        QVERIFY(other.sim->setFault(other.files.at(1), "none"));
        QVERIFY(CamSim::unplugUsb(pulled.serial));
        QTRY_VERIFY_WITH_TIMEOUT(label->text().startsWith("Downloaded from all cameras"), 30000);
        const QStringList lines = label->text().split('\n').filter(pulled.folder + ": ");
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(pulled.folder + ": went away during the download: 1 of 9 files saved."),
                 qPrintable(lines.first()));
        checkCard(folder2.path(), cards[0]);
        checkCard(folder2.path(), other);
        QCOMPARE(filesUnder(folder2.path()).size(), 9 + 9 + 1); // nothing of the file on its way

        // While it runs nothing leaves a card, ticked or not, and closing asks; Stop ends it all
        // at once.
        QVERIFY(wifi.setFault(cards[0].files.at(1), "stall"));
        start(folder3.path());
        QTRY_VERIFY_WITH_TIMEOUT(label->text().contains("Downloading 2 of 9"), 10000);
        QMetaObject::invokeMethod(window.get(), "slotFileSelected", Q_ARG(bool, true), Q_ARG(QString, cards[0].files.at(0)));
        window->findChild<QPushButton*>("pbDelete")->click();
        QVERIFY(prompts.sawText("A download is running: nothing is deleted from the card until it has "
                                "finished or been stopped."));
        prompts.answerNext(QMessageBox::Cancel);
        QVERIFY(!window->close());
        window->findChild<QPushButton*>("pbStopDownload")->click();
        QCOMPARE(label->text(), "Stopped downloading from all cameras to " + folder3.path() + ".\n" + cards[0].folder
                     + ": stopped: 1 of 9 files saved.\n" + other.folder + ": not reached, stopped before its turn.");
        const QStringList first{cards[0].folder + "/" + MediaList::fileName(cards[0].files.at(0))};
        QCOMPARE(filesUnder(folder3.path()).keys(), first);
        // Ended from outside (a logout's SIGTERM) the window goes without asking, and so does
        // the file on its way.
        start(folder3.path());
        QTRY_VERIFY_WITH_TIMEOUT(label->text().contains("Downloading 2 of 9"), 10000);
        window.reset();
        QCOMPARE(filesUnder(folder3.path()).keys(), first);
    }

    // The whole window over a cable, with no camera on Wi-Fi at all: found within 3 s of the
    // link coming up and made current, its card, thumbnails, status, capture (wired control
    // enabled first), a setting, the preview, a download and a delete; pulled out during a
    // download: offline as on Wi-Fi, the download failed and nothing left under its name.
    void cameraOnlyOnACable()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::installFreshDataTree();
        testsupport::writeDefaultModel("hero12");
        QVERIFY(CamSim::leaveNetwork());
        const auto rejoin = qScopeGuard([] { CamSim::joinNetwork(); });
        PromptRecorder prompts;
        QTemporaryDir folder;
        prompts.setDefaultDirectory(folder.path());
        MainWindow window;
        window.show();
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        QCOMPARE(cameralist::names(cameras), QStringList{"Wi-Fi · 10.5.5.9"});

        CamSim usb;
        QElapsedTimer sincePlugged;
        sincePlugged.start();
        QVERIFY(usb.startUsb(kSerial, {"--model", "12", "--media-count", "6", "--ref", testsupport::appRoot() + "/ref"}));
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kCable), 5000);
        QVERIFY2(sincePlugged.elapsed() < 3000 + 1500, qPrintable(QString::number(sincePlugged.elapsed())));
        QCOMPARE(cameras->currentText().section(" — ", 0, 0), kCable);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QString("Total media files: 10"), 8000);
        QCOMPARE(window.findChild<QComboBox*>("comboModel")->currentText(), QString("hero12"));
        QVERIFY(usb.state()["wiredControl"].toBool());
        QTRY_VERIFY_WITH_TIMEOUT(!window.findChild<QLabel*>("labelBattery")->text().isEmpty(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(usb.countRequests("/gopro/media/thumbnail") >= 1, 5000);

        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QTRY_VERIFY_WITH_TIMEOUT(usb.state()["shutter"].toBool(), 3000);
        window.findChild<QPushButton*>("pbStop")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!usb.state()["shutter"].toBool(), 3000);
        const auto settingsSent = [&] { return usb.targets().filter(QRegularExpression("setting|zoom")).size(); };
        QCOMPARE(settingsSent(), 0);
        auto* options = window.findChild<QComboBox*>("comboBoxChangeTo");
        testsupport::choose(options, options->count() - 1);
        QTRY_COMPARE_WITH_TIMEOUT(settingsSent(), 1, 3000);
        QVERIFY(usb.targets().filter(QRegularExpression("setting|zoom")).first().startsWith("8080 "));
        window.findChild<QPushButton*>("pbStart_LiveView")->click(); // for another program
        QTRY_VERIFY_WITH_TIMEOUT(usb.state()["streaming"].toBool(), 3000);
        QVERIFY(prompts.sawText("please view stream udp://@:8554 in 3rd applications"));
        window.findChild<QPushButton*>("pbStopLiveView")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!usb.state()["streaming"].toBool(), 3000);
        // The HERO12 has no GPS: the control says so instead of sending a guess.
        QVERIFY(!window.findChild<QCheckBox*>("checkBox_gps")->isEnabled());

        const QJsonArray list = QJsonDocument::fromJson(usb.mediaList())["media"][0]["fs"].toArray();
        const QString first = "100GOPRO/" + list.at(0)["n"].toString();
        const QString second = "100GOPRO/" + list.at(1)["n"].toString();
        QMetaObject::invokeMethod(&window, "slotFileSelected", Q_ARG(bool, true), Q_ARG(QString, first));
        window.findChild<QPushButton*>("pbDownload")->click();
        QTRY_VERIFY_WITH_TIMEOUT(window.statusBar()->currentMessage().startsWith("Downloaded 1 of 1"), 10000);
        QFile saved(folder.filePath(first.section('/', 1)));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), list.at(0)["s"].toString().toLongLong());
        window.findChild<QPushButton*>("pbDelete")->click();
        QTRY_VERIFY_WITH_TIMEOUT(usb.state()["deleted"].toArray().contains(first), 5000);
        QCOMPARE(usb.countRequests("/gopro/media/delete/file?path=" + first), 1);

        QVERIFY(usb.setFault(second, "slow", 0, 64 * 1024));
        QMetaObject::invokeMethod(&window, "slotFileSelected", Q_ARG(bool, true), Q_ARG(QString, second));
        window.findChild<QPushButton*>("pbDownload")->click();
        QVERIFY(usb.waitForRequest("/videos/DCIM/" + second, 5000));
        QVERIFY(CamSim::unplugUsb(kSerial));
        QTRY_VERIFY_WITH_TIMEOUT(testsupport::showsFirstScreen(&window), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(window.statusBar()->currentMessage().startsWith(kCable + " is gone. Stopped: downloaded 0 of 1"), 40000);
        QCOMPARE(cameralist::names(cameras), QStringList{"Wi-Fi · 10.5.5.9"});
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{first.section('/', 1)});
    }

    // An interface in a camera's subnet with no USB device behind it (a VPN), though a host
    // answers at .51 as a camera would: never listed, not a single request sent there. The
    // same interface shown on a GoPro's USB device is a cable, found as any.
    void subnetWithoutUsbDeviceIsNoCamera()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::installFreshDataTree();
        const QString vpn = "wg0";
        const QString host = "172.25.104.51";
        const auto cleanUp = qScopeGuard([&] {
            testsupport::removeInterface(vpn);
            fakesysfs::remove(vpn);
            QProcess::execute("ip", {"addr", "del", host + "/32", "dev", "lo"});
        });
        QCOMPARE(testsupport::addTap(vpn, {"172.25.104.7/24"}), QString());
        QCOMPARE(fakesysfs::addVirtual(vpn), QString());
        QCOMPARE(QProcess::execute("ip", {"addr", "add", host + "/32", "dev", "lo"}), 0);
        CamSim office;
        QVERIFY(office.start({"--model", "12", "--address", host, "--serial", kSerial, "--control-port", "9504"}));

        PromptRecorder prompts;
        MainWindow window;
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        QCOMPARE(cameralist::names(cameras), QStringList{"Wi-Fi · 10.5.5.9"});
        QSignalSpy added(cameras->model(), &QAbstractItemModel::rowsInserted);
        const auto listed = [&] {
            return added.count() > 0 || cameras->count() != 1 || !cameralist::names(cameras).filter("USB").isEmpty();
        };
        QVERIFY2(!QTest::qWaitFor(listed, 5000), qPrintable(cameralist::names(cameras).join(", ")));
        QCOMPARE(office.targets(), QStringList());

        QCOMPARE(fakesysfs::addUsb(vpn, fakesysfs::goPro(kSerial)), QString());
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(kCable), 5000);
    }

    // A camera on Wi-Fi and one on a cable: the window drives the one chosen, and every
    // request goes to it; the one left is only polled.
    void switchingMovesEveryRequest()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::installFreshDataTree();
        testsupport::writeDefaultModel("hero11");
        CamSim wifi, usb;
        QVERIFY(wifi.start({"--model", "11", "--address", "10.5.5.9", "--media-count", "3"}));
        QVERIFY(usb.startUsb(kSerial, {"--model", "12", "--media-count", "5"}));
        PromptRecorder prompts;
        MainWindow window;
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList({"Wi-Fi · HERO11 Black · …461", kCable}), 8000);
        // Which of two cameras found at once is shown first is a matter of milliseconds.
        cameralist::choose(cameras, 0);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QString("Total media files: 3"), 8000);

        const struct { int index; CamSim* chosen; CamSim* left; const char* model; int files; } steps[] = {
            {1, &usb, &wifi, "hero12", 9}, {0, &wifi, &usb, "hero11", 3}}; // 5 entries, a burst of 5 among them
        for (const auto& step : steps) {
            cameralist::choose(cameras, step.index);
            step.left->clearLog();
            QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(),
                                      QString("Total media files: %1").arg(step.files), 8000);
            QCOMPARE(window.findChild<QComboBox*>("comboModel")->currentText(), QString(step.model));
            step.chosen->clearLog();
            window.findChild<QPushButton*>("pbStart_Capture")->click();
            QVERIFY(step.chosen->waitForRequest("/gopro/camera/shutter/start", 3000));
            QTest::qWait(CameraLink::kPollIntervalMs + 500);
            QVERIFY(step.chosen->countRequests("/gopro/camera/keep_alive") >= 1);
            QVERIFY(step.left->countRequests("/gopro/camera/keep_alive") >= 1);
            QCOMPARE(step.left->commands(), QStringList());
        }
    }

    // Three cameras of three models, one on Wi-Fi and two on cables: each listed with its
    // state. With "All cameras" ticked, Start and Stop reach every camera in its own form and
    // a setting only the cameras whose profile has it; unticked, only the camera shown. A
    // camera that leaves is told of, and the others go on.
    void allCamerasAtOnce()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::installFreshDataTree();
        testsupport::writeDefaultModel("hero11");
        const QString ref = testsupport::appRoot() + "/ref";
        CamSim wifi, usb12, usb9;
        QVERIFY(wifi.start({"--model", "11", "--address", "10.5.5.9", "--ref", ref}));
        QVERIFY(usb12.startUsb(kSerial, {"--model", "12", "--ref", ref}));
        QVERIFY(usb9.startUsb(kSerial9, {"--model", "9", "--ref", ref}));
        PromptRecorder prompts;
        MainWindow window;
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        const QString hero9 = QStringLiteral("USB · HERO9 Black · …137");
        const QString hero11 = QStringLiteral("Wi-Fi · HERO11 Black · …461");
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::sortedNames(cameras), QStringList({kCable, hero9, hero11}), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::states(cameras), QStringList(3, "87 % · 64.0 GB free"), 8000);
        cameralist::choose(cameras, int(cameralist::names(cameras).indexOf(kCable)));
        QTRY_COMPARE_WITH_TIMEOUT(window.findChild<QComboBox*>("comboModel")->currentText(), QString("hero12"), 8000);

        auto* all = window.findChild<QCheckBox*>("checkBoxAllCameras");
        QVERIFY(all->isEnabled());
        all->click();
        for (CamSim* camera : {&wifi, &usb12, &usb9})
            camera->clearLog();
        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QVERIFY(wifi.waitForRequest("/gopro/camera/shutter/start", 3000));
        QVERIFY(usb12.waitForRequest("/gopro/camera/shutter/start", 3000));
        QVERIFY(usb9.waitForRequest("/gp/gpControl/command/shutter?p=1", 3000));
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::states(cameras).filter(" · REC").size() == 3, 8000);

        // A setting the HERO12 has and the others have not.
        for (CamSim* camera : {&wifi, &usb12, &usb9})
            camera->clearLog();
        auto* types = window.findChild<QComboBox*>("comboBoxSettings_ISO");
        types->setCurrentIndex(types->findText("Video Bit Depth"));
        auto* depths = window.findChild<QComboBox*>("comboBoxChangeTo");
        testsupport::choose(depths, depths->findText("10-bit"));
        QTRY_COMPARE_WITH_TIMEOUT(usb12.commands().size(), 1, 3000);
        QVERIFY(window.statusBar()->currentMessage().contains(
            QString("Left alone: %1: no setting Video Bit Depth; %2: no setting Video Bit Depth")
                .arg(hero11, hero9)));

        all->click();
        window.findChild<QPushButton*>("pbStop")->click();
        QVERIFY(usb12.waitForRequest("/gopro/camera/shutter/stop", 3000));
        QTest::qWait(1000);
        QCOMPARE(wifi.commands(), QStringList());
        QCOMPARE(usb9.commands(), QStringList());

        // Unplugged, a camera is told of and leaves the list; the others go on.
        all->click();
        QVERIFY(CamSim::unplugUsb(kSerial9));
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(),
                                  hero9 + " stopped answering; the other cameras go on.", 8000);
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::sortedNames(cameras), QStringList({kCable, hero11}), 5000);
        window.findChild<QPushButton*>("pbStop")->click();
        QVERIFY(wifi.waitForRequest("/gopro/camera/shutter/stop", 3000));
        QCOMPARE(window.statusBar()->currentMessage(), QString("Stop sent to %1, %2.").arg(hero11, kCable));
        QCOMPARE(prompts.count(), 0);
    }

    // The same camera on its Wi-Fi and on a cable (one serial) is one entry, reached by cable;
    // its Wi-Fi side is only polled (to see another camera's access point there).
    void oneCameraOnBothLinksIsOneEntry()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::installFreshDataTree();
        CamSim wifi, usb;
        QVERIFY(wifi.start({"--model", "12", "--address", "10.5.5.9", "--serial", kSerial}));
        PromptRecorder prompts;
        MainWindow window;
        auto* cameras = window.findChild<QComboBox*>("comboCameras");
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList{"Wi-Fi · HERO12 Black · …504"}, 8000);
        QVERIFY(usb.startUsb(kSerial, {"--model", "12"}));
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameras), QStringList{kCable}, 5000);
        wifi.clearLog();
        usb.clearLog();
        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QVERIFY(usb.waitForRequest("/gopro/camera/shutter/start", 3000));
        QVERIFY(usb.waitForRequest("/gopro/camera/keep_alive", CameraLink::kPollIntervalMs + 1000));
        QCOMPARE(wifi.commands(), QStringList());
    }
};

VELKAMO_TEST_MAIN(TestUsbCameras)
#include "tst_usbcameras.moc"
