// What the window promises with several cameras, each against its own simulator: a camera slow
// to answer its polls gets no command it was refused; with All cameras ticked each camera gets
// the mode or value chosen by its label, in its own profile's request; a camera that does not
// answer in the middle of the list holds up nobody and is named; and a download from all
// cameras goes on for the camera in progress whoever else leaves.

#include "camera.h"
#include "cameralink.h"
#include "cameralist.h"
#include "camsim.h"
#include "mainwindow.h"
#include "medialist.h"
#include "promptrecorder.h"
#include "testsupport.h"
#include "usbcamerafinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

const QString kMaybeLost = QStringLiteral("Maybe connection is lost.");
// The access point's camera tells the simulator's default serial.
const QString kWifi11 = QStringLiteral("Wi-Fi · HERO11 Black · …461");
const QString kWifi7 = QStringLiteral("Wi-Fi · HERO7 Black · …461");
// The access point, looked for while no camera is there.
const QString kNoWifi = QStringLiteral("Wi-Fi · 10.5.5.9");

// Cameras on cables, at 172.2X.1YZ.51 from their serials' last three digits.
struct Cable {
    int model;
    QString serial;
    QString name;   // in the camera list
    QString folder; // of a download from all cameras
};
const Cable kHero12{12, QStringLiteral("C3501324645504"), QStringLiteral("USB · HERO12 Black · …504"),
                    QStringLiteral("HERO12 Black 5504")};
const Cable kHero10{10, QStringLiteral("C3441326543583"), QStringLiteral("USB · HERO10 Black · …583"),
                    QStringLiteral("HERO10 Black 3583")};
const Cable kHero9{9, QStringLiteral("C3441324784137"), QStringLiteral("USB · HERO9 Black · …137"),
                   QStringLiteral("HERO9 Black 4137")};
const Cable kHero8{8, QStringLiteral("C3301324869226"), QStringLiteral("USB · HERO8 Black · …226"),
                   QStringLiteral("HERO8 Black 9226")};

// The shutter request of each model, as its documentation gives it.
QString shutterStart(int model)
{
    return model <= 9 ? QStringLiteral("/gp/gpControl/command/shutter?p=1")
                      : QStringLiteral("/gopro/camera/shutter/start");
}

// When the program acts, on the clock of the simulators' logs.
qint64 now()
{
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

// The value the camera holds for a setting id; -1 while it holds none.
int setting(CamSim* sim, int id)
{
    return sim->state()["settings"].toObject().value(QString::number(id)).toInt(-1);
}

// Every file under dir (hidden ones, a .part, included), relative to it.
QStringList filesUnder(const QString& dir)
{
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(dir).relativeFilePath(it.next());
    found.sort();
    return found;
}

// Each file of the card, newest first, a burst's pictures each: what a download fetches.
QStringList cardFiles(CamSim& sim)
{
    QStringList files;
    const MediaList card = MediaList::parse(sim.mediaList());
    for (const MediaList::Entry& entry : card.newestFirst())
        files += entry.isGroup() ? entry.members() : QStringList{entry.path};
    return files;
}

} // namespace

class TestSeveralCameras : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<MainWindow> m_window;

    template<typename T>
    T* child(const char* name)
    {
        T* widget = m_window->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QComboBox* cameraList() { return child<QComboBox>("comboCameras"); }
    QString status() { return m_window->statusBar()->currentMessage(); }

    // Three cable cameras of five files each, no camera on Wi-Fi; order: the cables' indexes in
    // the list's order, which is the order cameras are downloaded from.
    bool openThreeCables(CamSim (&sims)[3], const Cable (&cables)[3], QList<int>* order)
    {
        for (int i = 0; i < 3; ++i) {
            if (!sims[i].startUsb(cables[i].serial, {"--model", QString::number(cables[i].model), "--media-count", "5"}))
                return false;
        }
        if (!openWith({kNoWifi, cables[0].name, cables[1].name, cables[2].name}, {kNoWifi}))
            return false;
        for (const QString& name : cameralist::names(cameraList())) {
            for (int i = 0; i < 3; ++i) {
                if (cables[i].name == name)
                    *order << i;
            }
        }
        return order->size() == 3;
    }

    // The window, once every camera named is listed and all but those away answer.
    bool openWith(const QStringList& names, const QStringList& away = {})
    {
        m_prompts.reset(new PromptRecorder);
        m_window.reset(new MainWindow);
        m_window->show();
        QStringList sorted = names;
        sorted.sort();
        const auto ready = [&] {
            if (cameralist::sortedNames(cameraList()) != sorted)
                return false;
            for (const QString& name : names) {
                if (!away.contains(name) && cameralist::stateOf(cameraList(), name) == QLatin1String("offline"))
                    return false;
            }
            return true;
        };
        if (!QTest::qWaitFor(ready, 20000)) {
            qWarning("listed: %s", qPrintable(cameraList()->toolTip()));
            return false;
        }
        return true;
    }

    // The camera named becomes the one shown, its profile in the panel.
    bool show(const QString& name, const QString& model)
    {
        if (!cameralist::choose(cameraList(), name))
            return false;
        return QTest::qWaitFor([&] { return child<QComboBox>("comboModel")->currentText() == model; }, 10000);
    }

private slots:
    void initTestCase() { testsupport::installFreshDataTree(); }

    void cleanup()
    {
        m_window.reset();
        m_prompts.reset();
        QVERIFY(CamSim::joinNetwork());
    }

    // A camera whose polls come back after their deadline is taken for away, though it takes
    // commands at once. Start pressed then is refused with a warning, and the shutter request
    // never reaches the camera: not then, and not once its polls are answered in time again.
    // Both poll families: the status request (up to HERO8), keep-alive and state (from HERO9).
    void slowCameraGetsNoRefusedCommand_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("poll");
        QTest::newRow("HERO8, status polls") << 8 << "/gp/gpControl/status";
        QTest::newRow("HERO12, keep-alive and state polls") << 12 << "/gopro/camera/keep_alive";
    }
    void slowCameraGetsNoRefusedCommand()
    {
        QFETCH(int, model);
        QFETCH(QString, poll);
        const QString hero = QStringLiteral("hero%1").arg(model);
        testsupport::writeDefaultModel(hero);
        CamSim sim;
        QVERIFY(sim.start({"--model", QString::number(model), "--address", "10.5.5.9", "--ref",
                           testsupport::appRoot() + "/ref"}));
        QVERIFY(openWith({QStringLiteral("Wi-Fi · HERO%1 Black · …461").arg(model)}));
        const auto offline = [this] { return testsupport::showsFirstScreen(m_window.get()); };
        QTRY_VERIFY_WITH_TIMEOUT(!offline(), 10000);
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), hero);

        // Slower than the poll's deadline, never silent.
        QVERIFY(sim.setPollDelay(4000));
        QTRY_VERIFY_WITH_TIMEOUT(offline(), 20000);
        QVERIFY(sim.countRequests(poll) > 0);

        const int boxes = m_prompts->count();
        child<QPushButton>("pbStart_Capture")->click();
        QCOMPARE(m_prompts->count(), boxes + 1);
        QCOMPARE(m_prompts->requests().last().title, QString("warning"));
        QCOMPARE(m_prompts->requests().last().text, kMaybeLost);

        // Its polls answered in time again: it is there again, and still nothing has come.
        QVERIFY(sim.setPollDelay(0));
        QTRY_VERIFY_WITH_TIMEOUT(!offline(), 20000);
        const QString shutter = shutterStart(model);
        QCOMPARE(sim.countRequests(shutter), 0);
        // Start pressed now is carried out, and is the only start the camera ever got: nothing
        // was held back to go with it.
        const qint64 pressed = now();
        child<QPushButton>("pbStart_Capture")->click();
        QCOMPARE(m_prompts->count(), boxes + 1);
        QTRY_VERIFY_WITH_TIMEOUT(sim.state()["shutter"].toBool(), 5000);
        const int polls = sim.countRequests(poll);
        QVERIFY(sim.waitForRequest(poll, 2 * CameraLink::kPollIntervalMs, polls + 1));
        const QList<qint64> starts = sim.arrivalTimes(shutter);
        QCOMPARE(starts.size(), 1);
        QVERIFY(starts.first() >= pressed);
    }

    // With All cameras ticked, each camera gets the mode and the setting value chosen by
    // their labels, in its own profile's request: a HERO7 on the access point, a HERO8 and a
    // HERO12 on cables, whose profiles give "Video", "Photo" and "120 fps" other requests at
    // other places. Whichever camera's profile the panel shows, a camera never gets the
    // entry at the chosen one's place in another profile (after "Video" a HERO7 has
    // "TimeWarp", after "120 fps" "12.5 fps"; after "Photo" a HERO12 has "Time Lapse",
    // after "120 fps" "200 fps").
    void eachCameraGetsTheLabelChosen_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("model");
        QTest::newRow("HERO12 shown") << kHero12.name << "hero12";
        QTest::newRow("HERO7 shown") << kWifi7 << "hero7";
    }
    void eachCameraGetsTheLabelChosen()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(QString, shown);
        QFETCH(QString, model);
        testsupport::writeDefaultModel("hero12");
        const QString ref = testsupport::appRoot() + "/ref";
        CamSim wifi7, usb8, usb12;
        QVERIFY(wifi7.start({"--model", "7", "--address", "10.5.5.9", "--ref", ref}));
        QVERIFY(usb8.startUsb(kHero8.serial, {"--model", "8", "--ref", ref}));
        QVERIFY(usb12.startUsb(kHero12.serial, {"--model", "12", "--ref", ref}));
        QVERIFY(openWith({kWifi7, kHero8.name, kHero12.name}));
        QVERIFY(show(shown, model));

        // What each profile gives each label (install/ref/hero7, hero8, hero12_cmds.json).
        struct Expected {
            CamSim* sim;
            QString video, photo, fps100, fps120;
        };
        const Expected cameras[] = {
            {&wifi7, "80 /gp/gpControl/command/sub_mode?mode=0&sub_mode=0",
             "80 /gp/gpControl/command/sub_mode?mode=1&sub_mode=1", "80 /gp/gpControl/setting/3/2",
             "80 /gp/gpControl/setting/3/1"},
            {&usb8, "80 /gp/gpControl/command/set_mode?p=1000", "80 /gp/gpControl/command/set_mode?p=1001",
             "80 /gp/gpControl/setting/3/2", "80 /gp/gpControl/setting/3/1"},
            {&usb12, "8080 /gopro/camera/presets/set_group?id=1000", "8080 /gopro/camera/presets/set_group?id=1001",
             "8080 /gopro/camera/setting?setting=3&option=2", "8080 /gopro/camera/setting?setting=3&option=1"},
        };
        const QRegularExpression choices("sub_mode|set_mode|set_group|setting");
        const auto chosen = [&](CamSim* sim) { return sim->targets().filter(choices); };
        for (const Expected& camera : cameras)
            camera.sim->clearLog();
        child<QCheckBox>("checkBoxAllCameras")->click();

        auto* modes = child<QComboBox>("comboBoxVideo");
        testsupport::choose(modes, modes->findText("Video"));
        for (const Expected& camera : cameras)
            QTRY_COMPARE_WITH_TIMEOUT(chosen(camera.sim), QStringList{camera.video}, 5000);
        testsupport::choose(modes, modes->findText("Photo"));
        QTRY_COMPARE_WITH_TIMEOUT(wifi7.state()["subMode"].toInt(), 1, 5000);
        QCOMPARE(wifi7.state()["mode"].toInt(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(usb8.state()["presetGroup"].toInt(), 1001, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(usb12.state()["presetGroup"].toInt(), 1001, 5000);

        // The type only shows its values; each value chosen goes to every camera.
        auto* types = child<QComboBox>("comboBoxSettings_ISO");
        types->setCurrentIndex(types->findText("Video Frame Rate"));
        auto* options = child<QComboBox>("comboBoxChangeTo");
        testsupport::choose(options, options->findText("100 fps"));
        for (const Expected& camera : cameras)
            QTRY_COMPARE_WITH_TIMEOUT(setting(camera.sim, 3), 2, 5000);
        testsupport::choose(options, options->findText("120 fps"));
        for (const Expected& camera : cameras) {
            QTRY_COMPARE_WITH_TIMEOUT(setting(camera.sim, 3), 1, 5000);
            QCOMPARE(chosen(camera.sim), QStringList({camera.video, camera.photo, camera.fps100, camera.fps120}));
        }
        QCOMPARE(status(), QString("Video Frame Rate 120 fps sent to %1.").arg(cameralist::names(cameraList()).join(", ")));
        QCOMPARE(m_prompts->count(), 0);
    }

    // Three cameras listed, the second one silent: Start with All cameras reaches the first and
    // the third at once. Taken for away, the silent one is left alone and named in the status
    // bar, and gets nothing, not even once it answers again. Still taken for there, it gets its
    // start like the others, and the window tells later that it did not carry it out.
    void silentCameraInTheMiddle_data()
    {
        QTest::addColumn<bool>("takenForAway");
        QTest::newRow("taken for away") << true;
        QTest::newRow("still taken for there") << false;
    }
    void silentCameraInTheMiddle()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(bool, takenForAway);
        testsupport::writeDefaultModel("hero11");
        CamSim wifi, usb12, usb9;
        QVERIFY(wifi.start({"--model", "11", "--address", "10.5.5.9"}));
        QVERIFY(usb12.startUsb(kHero12.serial, {"--model", "12"}));
        QVERIFY(usb9.startUsb(kHero9.serial, {"--model", "9"}));
        QVERIFY(openWith({kWifi11, kHero12.name, kHero9.name}));
        // The access point's camera is listed first (it is looked for from the start), the
        // cables in the order they were found.
        const QStringList listed = cameralist::names(cameraList());
        QCOMPARE(listed.first(), kWifi11);
        QVERIFY(show(kWifi11, "hero11"));
        struct Listed {
            QString name;
            CamSim* sim;
            int model;
        };
        const auto entry = [&](int index) {
            const QString& name = listed.at(index);
            return name == kWifi11      ? Listed{name, &wifi, 11}
                : name == kHero12.name ? Listed{name, &usb12, 12}
                                        : Listed{name, &usb9, 9};
        };
        const Listed first = entry(0), middle = entry(1), third = entry(2);
        child<QCheckBox>("checkBoxAllCameras")->click();
        for (CamSim* sim : {&wifi, &usb12, &usb9})
            sim->clearLog();
        const auto answerAgain = qScopeGuard([&] { middle.sim->setAnswer("normal"); });

        QVERIFY(middle.sim->setAnswer("stall"));
        if (takenForAway) {
            QTRY_COMPARE_WITH_TIMEOUT(cameralist::stateOf(cameraList(), middle.name), QString("offline"), 20000);
        } else {
            // Two polls must go unanswered first: several seconds.
            QVERIFY(cameralist::stateOf(cameraList(), middle.name) != "offline");
        }
        QSignalSpy messages(m_window->statusBar(), &QStatusBar::messageChanged);
        const qint64 pressed = now();
        child<QPushButton>("pbStart_Capture")->click();
        for (const Listed& camera : {first, third}) {
            QVERIFY(camera.sim->waitForRequest(shutterStart(camera.model), 5000));
            const qint64 arrived = camera.sim->arrivalTimes(shutterStart(camera.model)).first();
            QVERIFY2(arrived - pressed < 2000, qPrintable(QString::number(arrived - pressed)));
        }
        QCOMPARE(m_prompts->count(), 0);

        if (takenForAway) {
            QCOMPARE(status(), QString("Start sent to %1, %2. Left alone: %3: not answering.")
                                   .arg(first.name, third.name, middle.name));
            QCOMPARE(middle.sim->countRequests(shutterStart(middle.model)), 0);
            // Answering again, it is not sent what it was refused.
            QVERIFY(middle.sim->setAnswer("normal"));
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameraList(), middle.name) != "offline", 20000);
            const int polls = middle.sim->countRequests("/gopro/camera/state");
            QVERIFY(middle.sim->waitForRequest("/gopro/camera/state", 2 * CameraLink::kPollIntervalMs, polls + 1));
            QCOMPARE(middle.sim->countRequests(shutterStart(middle.model)), 0);
            QVERIFY(!middle.sim->state()["shutter"].toBool());
            return;
        }
        QCOMPARE(status(), QString("Start sent to %1, %2, %3.").arg(first.name, middle.name, third.name));
        // It came, and is held.
        QVERIFY(middle.sim->waitForRequest(shutterStart(middle.model), 5000));
        const QString failed = QString("%1 did not carry out %2 (no complete answer within 10 s).")
                                   .arg(middle.name, shutterStart(middle.model));
        QTRY_VERIFY_WITH_TIMEOUT(messages.contains({failed}), CameraLink::kCommandDeadlineMs + 10000);
        QVERIFY(first.sim->state()["shutter"].toBool());
        QVERIFY(third.sim->state()["shutter"].toBool());
    }

    // Download from all cameras, three on cables: while the second one's download is in
    // progress (held on its second file), the first (done) and the third (waiting its turn)
    // are pulled out. The second's files all arrive byte for byte; the first's line is as a
    // finished camera's; the third's says it went away before its turn, unless it is plugged
    // in again before its turn comes: then its files come as any camera's.
    void othersLeavingDoNotCutTheDownloadInProgress_data()
    {
        QTest::addColumn<bool>("waitingBack");
        QTest::addColumn<QString>("waitingLine");
        QTest::newRow("waiting one gone") << false << "went away before its turn.";
        QTest::newRow("waiting one back before its turn") << true << "9 of 9 files saved.";
    }
    void othersLeavingDoNotCutTheDownloadInProgress()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(bool, waitingBack);
        QFETCH(QString, waitingLine);
        testsupport::writeDefaultModel("hero12");
        QVERIFY(CamSim::leaveNetwork()); // no camera on Wi-Fi: the access point is listed, offline
        CamSim sims[3];
        const Cable cables[] = {kHero12, kHero10, kHero9};
        QList<int> order;
        QVERIFY(openThreeCables(sims, cables, &order));
        CamSim& inProgress = sims[order[1]];
        const Cable& doneCable = cables[order[0]];
        const Cable& inProgressCable = cables[order[1]];
        const Cable& waitingCable = cables[order[2]];
        const QStringList files = cardFiles(inProgress);
        QCOMPARE(files.size(), 9);
        QVERIFY(inProgress.setFault(files.at(1), "stall"));
        for (CamSim& sim : sims)
            sim.clearLog();

        QTemporaryDir folder;
        m_prompts->setDefaultDirectory(folder.path());
        child<QToolButton>("pbDownloadMenu")->menu()->actions().value(0)->trigger();
        auto* panel = child<QLabel>("labelTransfer");
        QTRY_VERIFY_WITH_TIMEOUT(inProgress.countRequests("/videos/DCIM/" + files.at(1)) > 0, 30000);
        QVERIFY(panel->text().startsWith(QString("Camera 2 of 3 (%1) · Downloading 2 of 9").arg(inProgressCable.folder)));
        QVERIFY(CamSim::unplugUsb(doneCable.serial));
        QVERIFY(CamSim::unplugUsb(waitingCable.serial));
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(cameraList()).size(), 2, 2 * UsbCameraFinder::kScanIntervalMs + 5000);
        if (waitingBack) {
            QVERIFY(CamSim::plugUsb(waitingCable.serial, waitingCable.model));
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameraList()).contains(waitingCable.name), 10000);
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameraList(), waitingCable.name) != "offline", 10000);
        }
        QVERIFY(panel->text().startsWith(QString("Camera 2 of 3 (%1) · Downloading 2 of 9").arg(inProgressCable.folder)));
        QVERIFY(inProgress.setFault(files.at(1), "none"));
        QTRY_VERIFY_WITH_TIMEOUT(panel->text().startsWith("Downloaded from all cameras"), 60000);

        const QStringList lines = panel->text().split('\n');
        QCOMPARE(lines, QStringList({"Downloaded from all cameras to " + folder.path() + ".",
                                     doneCable.folder + ": 9 of 9 files saved.",
                                     inProgressCable.folder + ": 9 of 9 files saved.",
                                     waitingCable.folder + ": " + waitingLine}));
        QNetworkAccessManager nam;
        const QString host = CamSim::usbCameraAddress(inProgressCable.serial).toString();
        for (const QString& path : files) {
            QFile saved(folder.filePath(inProgressCable.folder + "/" + MediaList::fileName(path)));
            QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(saved.fileName()));
            std::unique_ptr<QNetworkReply> reply(
                nam.get(QNetworkRequest(QUrl("http://" + host + ":8080/videos/DCIM/" + path))));
            QVERIFY(QSignalSpy(reply.get(), &QNetworkReply::finished).wait(20000));
            QVERIFY2(saved.readAll() == reply->readAll(), qPrintable(saved.fileName()));
        }
        QCOMPARE(filesUnder(folder.filePath(doneCable.folder)).size(), 9);
    }

    // The reverse: the camera in progress is pulled out while its card is read, or while a file
    // of it comes (slowly, never silent): its part ends at once, with nothing of the file on
    // its way left behind, and the next camera's turn comes without waiting for any deadline.
    void cameraInProgressLeavingEndsItsOwnPart_data()
    {
        QTest::addColumn<bool>("whileListing");
        QTest::addColumn<QString>("line");
        QTest::newRow("while its card is read") << true << "went away before its card was read.";
        QTest::newRow("while a file comes") << false << "went away during the download: 1 of 9 files saved.";
    }
    void cameraInProgressLeavingEndsItsOwnPart()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QFETCH(bool, whileListing);
        QFETCH(QString, line);
        testsupport::writeDefaultModel("hero12");
        QVERIFY(CamSim::leaveNetwork());
        CamSim sims[3];
        const Cable cables[] = {kHero12, kHero10, kHero9};
        QList<int> order;
        QVERIFY(openThreeCables(sims, cables, &order));
        CamSim& inProgress = sims[order[1]];
        CamSim& next = sims[order[2]];
        const Cable& inProgressCable = cables[order[1]];
        // The first one shown: the window reads no other camera's card when this one goes.
        QVERIFY(show(cables[order[0]].name, QStringLiteral("hero%1").arg(cables[order[0]].model)));
        const QStringList files = cardFiles(inProgress);
        for (CamSim& sim : sims)
            sim.clearLog();
        if (whileListing)
            QVERIFY(inProgress.delayNextList(60000));
        else
            QVERIFY(inProgress.setFault(files.at(1), "slow", 0, 4096));

        QTemporaryDir folder;
        m_prompts->setDefaultDirectory(folder.path());
        child<QToolButton>("pbDownloadMenu")->menu()->actions().value(0)->trigger();
        auto* panel = child<QLabel>("labelTransfer");
        QVERIFY(inProgress.waitForRequest(whileListing ? "/gopro/media/list" : "/videos/DCIM/" + files.at(1), 30000));
        QTRY_VERIFY_WITH_TIMEOUT(panel->text().startsWith(QString("Camera 2 of 3 (%1)").arg(inProgressCable.folder)), 5000);
        const qint64 pulled = now();
        QVERIFY(CamSim::unplugUsb(inProgressCable.serial));
        QVERIFY(next.waitForRequest("/gopro/media/list", 2 * UsbCameraFinder::kScanIntervalMs + 5000));
        const qint64 turn = next.arrivalTimes("/gopro/media/list").first() - pulled;
        QVERIFY2(turn < 2 * UsbCameraFinder::kScanIntervalMs + 3000, qPrintable(QString::number(turn)));
        QTRY_VERIFY_WITH_TIMEOUT(panel->text().startsWith("Downloaded from all cameras"), 60000);
        const QStringList lines = panel->text().split('\n').filter(inProgressCable.folder + ": ");
        QCOMPARE(lines, QStringList{inProgressCable.folder + ": " + line});
        QCOMPARE(panel->text().split('\n').filter(": 9 of 9 files saved.").size(), 2);
        const QStringList saved = filesUnder(folder.filePath(inProgressCable.folder));
        QCOMPARE(saved, whileListing ? QStringList() : QStringList{MediaList::fileName(files.at(0))});
    }
};

VELKAMO_TEST_MAIN(TestSeveralCameras)
#include "tst_severalcameras.moc"
