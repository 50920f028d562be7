// The camera as the PC's webcam, through the real window against cameras on a cable in the
// simulator: the requests in order, which cameras may, what a refusal says, the window's other
// requests waiting meanwhile; and with a private PipeWire daemon the video source other
// programs see, an unplug while streaming, two cameras at once.

#include "camsim.h"
#include "cameralist.h"
#include "fakesysfs.h"
#include "mainwindow.h"
#include "pipewiredaemon.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
const QString kSerial = QStringLiteral("C3501324645504"); // at 172.25.104.51
const QString kSerial2 = QStringLiteral("C3501324645617"); // at 172.26.117.51

QString cableName(int model, const QString& serial)
{
    return QStringLiteral("USB · HERO%1 Black · …%2").arg(model).arg(serial.right(3));
}

QString shortName(int model, const QString& serial)
{
    return QStringLiteral("HERO%1 Black …%2").arg(model).arg(serial.right(3));
}

// What the window sent about webcam mode and wired control, status polls left out.
QStringList webcamRequests(CamSim& sim)
{
    return sim.targets().filter(QRegularExpression("^8080 /gopro/(webcam/(?!status)|camera/control/wired_usb)"));
}

int webcamStatus(CamSim& sim)
{
    return sim.state()["webcam"].toObject()["status"].toInt();
}

// Until the camera's webcam reads status, by the clock: each look at the simulator's state may
// itself take a while (it answers once a stream it stops has ended).
bool reachesStatus(CamSim& sim, int status, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (webcamStatus(sim) != status) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QTest::qWait(100);
    }
    return true;
}

} // namespace

class TestWebcam : public QObject
{
    Q_OBJECT

    // A window whose only camera is on a cable (the access point's address left), current.
    struct Staged {
        std::unique_ptr<CamSim> sim;
        std::unique_ptr<MainWindow> window;
        QPushButton* button = nullptr;
    };

    // Fails the test (check QTest::currentTestFailed()) when the camera is not listed.
    void stage(Staged* staged, int model, const QString& serial = kSerial, const QStringList& extra = {})
    {
        staged->sim = std::make_unique<CamSim>();
        QVERIFY(staged->sim->startUsb(serial, QStringList{"--model", QString::number(model)} + extra));
        if (!staged->window) {
            staged->window = std::make_unique<MainWindow>();
            staged->window->show();
        }
        staged->button = staged->window->findChild<QPushButton*>("pbWebcam");
        QVERIFY(staged->button);
        auto* cameras = staged->window->findChild<QComboBox*>("comboCameras");
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(cableName(model, serial)), 5000);
        cameralist::choose(cameras, cableName(model, serial));
        // Plugged in, a camera from HERO10 on gets wired control: the state a webcam starts from.
        QTRY_VERIFY_WITH_TIMEOUT(staged->sim->state()["wiredControl"].toBool() || model < 10, 5000);
    }

    QString statusText(const Staged& staged) { return staged.window->statusBar()->currentMessage(); }

    PipeWireDaemon m_pipewire;
    QString m_noPipeWire;

// Stages the camera and waits until its webcam button may be pressed; ends the test on failure.
#define STAGE_READY(staged, ...)                                                                  \
    do {                                                                                          \
        stage(&staged, __VA_ARGS__);                                                              \
        if (QTest::currentTestFailed())                                                           \
            return;                                                                               \
        QTRY_VERIFY_WITH_TIMEOUT(staged.button->isEnabled(), 5000);                               \
    } while (false)

private slots:
    void initTestCase()
    {
        // None of the machine's own video devices: the webcam goes to the private PipeWire.
        const QString why = fakesysfs::stageVideo4Linux();
        QVERIFY2(why.isEmpty(), qPrintable(why));
        QVERIFY(CamSim::leaveNetwork());
        m_noPipeWire = m_pipewire.start();
    }
    void cleanupTestCase()
    {
        m_pipewire.stop();
        CamSim::joinNetwork();
        fakesysfs::unstageVideo4Linux();
    }
    void init()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        testsupport::installFreshDataTree();
    }

    // Wired control off before start, the documented start (port only where the model takes
    // one; the Idle a new cable reads answered with a start and a stop first), and on the
    // button's uncheck or the window's close: stop, exit, wired control on again.
    void requestsInOrder_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QStringList>("choices"); // menu actions
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("close");
        const QString wiredOff = "8080 /gopro/camera/control/wired_usb?p=0";
        const QString wiredOn = "8080 /gopro/camera/control/wired_usb?p=1";
        QTest::newRow("HERO12, defaults, unchecked")
            << 12 << QStringList() << "8080 /gopro/webcam/start?res=12&fov=0&port=8554" << false;
        QTest::newRow("HERO11, 720p Linear, window closed")
            << 11 << QStringList{"actionWebcamRes7", "actionWebcamFov4"}
            << "8080 /gopro/webcam/start?res=7&fov=4&port=8554" << true;
        QTest::newRow("HERO10, 480p Narrow: no port")
            << 10 << QStringList{"actionWebcamRes4", "actionWebcamFov2"} << "8080 /gopro/webcam/start?res=4&fov=2"
            << false;
        QTest::newRow("HERO9: no wired switch")
            << 9 << QStringList{"actionWebcamFov3"} << "8080 /gopro/webcam/start?res=12&fov=3" << true;
    }
    void requestsInOrder()
    {
        QFETCH(int, model);
        QFETCH(QStringList, choices);
        QFETCH(QString, start);
        QFETCH(bool, close);
        PromptRecorder prompts;
        Staged staged;
        STAGE_READY(staged, model);
        for (const QString& choice : std::as_const(choices)) {
            auto* action = staged.window->findChild<QAction*>(choice);
            QVERIFY2(action, qPrintable(choice));
            action->trigger();
        }
        CamSim& sim = *staged.sim;
        sim.clearLog();
        staged.button->click();
        QVERIFY(staged.button->isChecked());
        const QString stop = "8080 /gopro/webcam/stop";
        const QStringList wired = model >= 10 ? QStringList{"8080 /gopro/camera/control/wired_usb?p=0"} : QStringList();
        QTRY_COMPARE_WITH_TIMEOUT(webcamRequests(sim), wired + QStringList({start, stop, start}), 10000);
        QVERIFY(reachesStatus(sim, 2, 10000));
        QVERIFY(sim.state()["streaming"].toBool());
        QVERIFY(sim.countRequests("/gopro/webcam/status") >= 1);
        QVERIFY(staged.button->isChecked());

        sim.clearLog();
        QStringList after{stop, "8080 /gopro/webcam/exit"};
        if (model >= 10)
            after << "8080 /gopro/camera/control/wired_usb?p=1";
        if (close) {
            staged.window->close(); // waits, bounded, for the camera to hear it all
            QCOMPARE(webcamRequests(sim), after);
        } else {
            staged.button->click();
            QTRY_COMPARE_WITH_TIMEOUT(webcamRequests(sim), after, 3000);
        }
        QCOMPARE(webcamStatus(sim), 0);
        QVERIFY(!sim.state()["streaming"].toBool());
        QCOMPARE(sim.state()["wiredControl"].toBool(), model >= 10);
        QVERIFY(!staged.button->isChecked());
    }

    // Only what documents webcam mode on its link may: the button is disabled with the reason.
    void whoMay_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<bool>("cable");
        QTest::addColumn<QString>("reason"); // empty: enabled
        QTest::newRow("HERO8 on a cable") << 8 << true
                                          << "The HERO8 has no documented webcam mode: it takes a HERO9 or later.";
        QTest::newRow("HERO11 on Wi-Fi") << 11 << false << "The HERO11 is a webcam over a USB cable only: plug it in.";
        QTest::newRow("HERO12 on Wi-Fi") << 12 << false << "";
        QTest::newRow("HERO13 on a cable") << 13 << true << "";
    }
    void whoMay()
    {
        QFETCH(int, model);
        QFETCH(bool, cable);
        QFETCH(QString, reason);
        PromptRecorder prompts;
        CamSim sim;
        std::unique_ptr<MainWindow> window;
        QPushButton* button = nullptr;
        if (cable) {
            Staged staged;
            stage(&staged, model);
            if (QTest::currentTestFailed())
                return;
            std::swap(window, staged.window);
            button = staged.button;
            QTRY_COMPARE_WITH_TIMEOUT(button->isEnabled(), reason.isEmpty(), 5000);
            // Stays so: the model's answer may come after the cable.
            QTRY_COMPARE_WITH_TIMEOUT(button->toolTip() == reason, !reason.isEmpty(), 5000);
            return;
        }
        QVERIFY(CamSim::joinNetwork());
        const auto leave = qScopeGuard([] { CamSim::leaveNetwork(); });
        QVERIFY(sim.start({"--model", QString::number(model), "--address", "10.5.5.9"}));
        window = std::make_unique<MainWindow>();
        button = window->findChild<QPushButton*>("pbWebcam");
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::names(window->findChild<QComboBox*>("comboCameras")),
                                  QStringList{QStringLiteral("Wi-Fi · HERO%1 Black · …461").arg(model)}, 8000);
        QTRY_COMPARE_WITH_TIMEOUT(button->isEnabled(), reason.isEmpty(), 5000);
        if (!reason.isEmpty())
            QCOMPARE(button->toolTip(), reason);
    }

    // A HERO13 that refuses as users report: what it answered, in the status bar; wired control
    // back on; the button unchecked.
    void refusalTold_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("told");
        QTest::newRow("HTTP 500") << "500" << shortName(13, kSerial) + " refused webcam mode: HTTP 500.";
        QTest::newRow("unavailable")
            << "unavailable" << shortName(13, kSerial) + " refused webcam mode: Unavailable (status 4: Unavailable).";
    }
    void refusalTold()
    {
        QFETCH(QString, refusal);
        QFETCH(QString, told);
        PromptRecorder prompts;
        Staged staged;
        STAGE_READY(staged, 13, kSerial, {"--webcam-refuse", refusal});
        staged.button->click();
        QTRY_COMPARE_WITH_TIMEOUT(statusText(staged), told, 5000);
        QVERIFY(!staged.button->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(staged.sim->state()["wiredControl"].toBool(), 3000);
        QVERIFY(!staged.sim->state()["streaming"].toBool());
    }

    // While the camera is a webcam, Start, a setting and a download wait: the status bar says
    // so and nothing is sent; once it is a camera again they go.
    void otherRequestsWait()
    {
        PromptRecorder prompts;
        QTemporaryDir folder;
        prompts.setDefaultDirectory(folder.path());
        Staged staged;
        stage(&staged, 12, kSerial, {"--media-count", "3", "--ref", testsupport::appRoot() + "/ref"});
        if (QTest::currentTestFailed())
            return;
        MainWindow& window = *staged.window;
        CamSim& sim = *staged.sim;
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QString("Total media files: 3"), 8000);
        staged.button->click();
        QVERIFY(reachesStatus(sim, 2, 10000));
        sim.clearLog();
        const QString name = shortName(12, kSerial);
        const auto waits = [&](const QString& what) {
            return name + " is a webcam and does nothing else: " + what
                   + " waits until \"Use as webcam\" is unchecked.";
        };
        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QCOMPARE(window.statusBar()->currentMessage(), waits("Start"));
        auto* options = window.findChild<QComboBox*>("comboBoxChangeTo");
        testsupport::choose(options, options->count() - 1);
        QCOMPARE(window.statusBar()->currentMessage(), waits("the setting"));
        const QString first = "100GOPRO/" + QJsonDocument::fromJson(sim.mediaList())["media"][0]["fs"][0]["n"].toString();
        QMetaObject::invokeMethod(&window, "slotFileSelected", Q_ARG(bool, true), Q_ARG(QString, first));
        window.findChild<QPushButton*>("pbDownload")->click();
        QCOMPARE(window.statusBar()->currentMessage(), waits("the download"));
        QTest::qWait(500); // what was sent anyway would be in by now
        QCOMPARE(sim.targets().filter(QRegularExpression("shutter|setting|videos|media/list")), QStringList());
        QCOMPARE(sim.state()["webcam"].toObject()["busyRefusals"].toInt(), 0);

        staged.button->click();
        QTRY_VERIFY_WITH_TIMEOUT(sim.state()["wiredControl"].toBool(), 3000);
        window.findChild<QPushButton*>("pbStart_Capture")->click();
        QTRY_VERIFY_WITH_TIMEOUT(sim.state()["shutter"].toBool(), 3000);
    }

    // Other programs see a PipeWire video source named for the camera, of the stream's size,
    // within 5 s of the click; it is gone within 4 s of the uncheck.
    void videoSourceComesAndGoes()
    {
        if (!m_noPipeWire.isEmpty())
            QSKIP(qPrintable(m_noPipeWire));
        PromptRecorder prompts;
        Staged staged;
        STAGE_READY(staged, 12);
        const QString name = shortName(12, kSerial);
        QElapsedTimer clicked;
        clicked.start();
        staged.button->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_pipewire.videoSource(name).size, QSize(1920, 1080), 5000);
        QVERIFY2(clicked.elapsed() <= 5000, qPrintable(QString::number(clicked.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(statusText(staged).startsWith(name + " is a webcam: other programs find it as "), 3000);
        auto* picture = staged.window->findChild<QLabel*>("labelWebcamPicture");
        QTRY_VERIFY_WITH_TIMEOUT(picture->isVisible() && !picture->pixmap().isNull(), 3000);
        staged.button->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_pipewire.videoSource(name).name.isEmpty(), 4000);
        QVERIFY(!picture->isVisible());
    }

    // Unplugged while streaming: the device goes and the window says so; plugged in again, one
    // click makes it a webcam again.
    void unplugWhileStreaming()
    {
        if (!m_noPipeWire.isEmpty())
            QSKIP(qPrintable(m_noPipeWire));
        PromptRecorder prompts;
        Staged staged;
        STAGE_READY(staged, 12);
        const QString name = shortName(12, kSerial);
        staged.button->click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_pipewire.videoSource(name).name.isEmpty(), 5000);
        QVERIFY(CamSim::unplugUsb(kSerial));
        QTRY_COMPARE_WITH_TIMEOUT(statusText(staged), name + " was unplugged: the webcam has stopped.", 5000);
        QTRY_VERIFY_WITH_TIMEOUT(m_pipewire.videoSource(name).name.isEmpty(), 4000);
        QVERIFY(!staged.button->isChecked());

        QVERIFY(CamSim::plugUsb(kSerial, 12));
        auto* cameras = staged.window->findChild<QComboBox*>("comboCameras");
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(cableName(12, kSerial)), 5000);
        cameralist::choose(cameras, cableName(12, kSerial));
        QTRY_VERIFY_WITH_TIMEOUT(staged.button->isEnabled(), 5000);
        staged.button->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_pipewire.videoSource(name).size, QSize(1920, 1080), 5000);
        QVERIFY(reachesStatus(*staged.sim, 2, 10000));
        QVERIFY(staged.button->isChecked());
    }

    // Two cameras at once, each sending to its own port, each its own source.
    void twoCamerasAtOnce()
    {
        if (!m_noPipeWire.isEmpty())
            QSKIP(qPrintable(m_noPipeWire));
        PromptRecorder prompts;
        Staged first;
        STAGE_READY(first, 12);
        first.button->click();
        QVERIFY(reachesStatus(*first.sim, 2, 10000));
        Staged second;
        std::swap(second.window, first.window); // the same window
        stage(&second, 11, kSerial2);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!second.button->isChecked()); // it shows the second camera now
        QTRY_VERIFY_WITH_TIMEOUT(second.button->isEnabled(), 5000);
        second.button->click();
        QVERIFY(reachesStatus(*second.sim, 2, 10000));
        QCOMPARE(first.sim->state()["webcam"].toObject()["port"].toInt(), 8554);
        QCOMPARE(second.sim->state()["webcam"].toObject()["port"].toInt(), 8555);
        QTRY_COMPARE_WITH_TIMEOUT(m_pipewire.videoSource(shortName(12, kSerial)).size, QSize(1920, 1080), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_pipewire.videoSource(shortName(11, kSerial2)).size, QSize(1920, 1080), 5000);
        QCOMPARE(webcamStatus(*first.sim), 2);
        std::swap(second.window, first.window); // closed before its cameras go
    }
};

VELKAMO_TEST_MAIN(TestWebcam)
#include "tst_webcam.moc"