// The command channel end to end: the real main window against the camera simulator,
// with the camera joining and leaving the network by its address appearing and vanishing.

#include "camerastatus.h"
#include "camerastatusview.h"
#include "camsim.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <memory>

namespace {

const QString kStatus = QStringLiteral("80 /gp/gpControl/status");
const QString kKeepAlive = QStringLiteral("8080 /gopro/camera/keep_alive");
const QString kMediaList = QStringLiteral("8080 /gp/gpMediaList");
const QString kMaybeLost = QStringLiteral("Maybe connection is lost.");

// A status as one line, "?" for what is unknown.
QString summary(const CameraStatus& s)
{
    const auto v = [](const auto& value) {
        return value ? QString::number(qint64(*value)) : QStringLiteral("?");
    };
    const char* const cards[] = {"ready", "missing", "error"};
    return QStringLiteral("battery %1, level %2, charging %3, rec %4, time %5, photos %6, "
                          "video %7, free %8, card %9")
        .arg(v(s.batteryPercent), v(s.batteryLevel), v(s.charging), v(s.recording),
             v(s.recordingSeconds), v(s.remainingPhotos), v(s.remainingVideoSeconds),
             v(s.freeBytes), s.card ? QLatin1String(cards[int(*s.card)]) : QLatin1String("?"));
}

// Whether the widget draws anything in (about) this colour.
bool draws(QWidget* widget, const QColor& colour)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green())
                    + qAbs(c.blue() - colour.blue()) < 60)
                return true;
        }
    return false;
}

// The tip line while the camera does not answer.
bool isTip(const QString& text)
{
    return text.startsWith(QLatin1String("connecting to WiFi"));
}

} // namespace

class TestCommandChannel : public QObject
{
    Q_OBJECT

private:
    CamSim m_sim;
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

    QLabel* tipLine() { return child<QLabel>("label_fileName"); }

    // Starts the window and waits until its first keep-alive was answered.
    void bringOnline()
    {
        m_window.reset(new MainWindow);
        m_window->show();
        // By the first poll the tip has been animating for seconds unless an answer of the
        // camera stopped it.
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.countRequests("/gp/gpControl/status") > 0
                                     || m_sim.countRequests("/gopro/camera/keep_alive") > 0,
                                 8000);
        QTRY_VERIFY_WITH_TIMEOUT(tipLine()->text().isEmpty(), 3000);
        m_sim.clearLog();
        m_prompts->clear();
    }

private slots:
    void initTestCase()
    {
        testsupport::installFreshDataTree();
        QVERIFY(m_sim.start({"--model", "5"}));
    }

    void init()
    {
        QVERIFY(CamSim::joinNetwork());
        QVERIFY(m_sim.setAnswer("normal"));
        m_sim.clearLog();
        testsupport::writeDefaultModel("hero5");
        m_prompts.reset(new PromptRecorder);
    }

    void cleanup()
    {
        m_window.reset();
        CamSim::removeBlackHole();
        m_prompts.reset();
        QVERIFY(CamSim::joinNetwork());
        if (!m_sim.isRunning())
            QVERIFY(m_sim.start({"--model", "5"}));
        QVERIFY(m_sim.setModel(5) && m_sim.resetStatusIds()
                && m_sim.setCameraStatus("battery=87&charging=0&recording=0&card=1&capacity=64000000000"));
    }

    void withoutCameraNothingChanges()
    {
        QVERIFY(CamSim::leaveNetwork());
        LogCapture log;
        m_window.reset(new MainWindow);
        m_window->show();
        m_window->statusBar()->showMessage("kept");

        QTRY_VERIFY_WITH_TIMEOUT(log.count("http request failed: code = 0") >= 2, 8000);
        QVERIFY(isTip(tipLine()->text()));
        QCOMPARE(m_window->statusBar()->currentMessage(), QString("kept"));
        QCOMPARE(m_prompts->count(), 0);

        // Commands are refused with a warning while the camera is out of reach.
        child<QPushButton>("pbStart_Capture")->click();
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().title, QString("warning"));
        QCOMPARE(m_prompts->requests().first().text, kMaybeLost);
        QVERIFY(m_sim.targets().isEmpty());
    }

    // Any reply that is not "network unreachable" means the camera is there: a success,
    // an HTTP error, even a refused connection.
    void firstAnswerBringsCameraOnline_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("200") << "normal";
        QTest::newRow("404") << "404";
        QTest::newRow("refused") << "refused";
    }
    void firstAnswerBringsCameraOnline()
    {
        QFETCH(QString, answer);
        if (answer == "refused")
            m_sim.stop();
        else
            QVERIFY(m_sim.setAnswer(answer));

        QVERIFY(CamSim::leaveNetwork());
        m_window.reset(new MainWindow);
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(isTip(tipLine()->text()), 2000);
        auto* model = child<QComboBox>("comboModel");
        model->setCurrentIndex(model->findText("hero7"));
        auto* settings = child<QComboBox>("comboBoxSettings_ISO");
        settings->clear(); // refilled only when the model is applied again

        QVERIFY(CamSim::joinNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(tipLine()->text().isEmpty(), 8000);
        // The model known to the window (hero7, chosen above) is selected and applied.
        QCOMPARE(model->currentText(), QString("hero7"));
        QVERIFY(settings->count() > 0);
        // The tip stays cleared: its animation stopped.
        QTest::qWait(1200);
        QVERIFY(tipLine()->text().isEmpty());

        if (answer == "refused")
            return;
        // The answer that turned it online may be a connection that was cut as the address
        // came back; the polls and the media list then follow.
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/status", 4000));
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 4000));
        // Online: commands go through without a warning.
        m_sim.clearLog();
        child<QPushButton>("pbStart_Capture")->click();
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/shutter", 3000));
        QCOMPARE(m_prompts->count(), 0);
    }

    void departureTurnsCameraOffline()
    {
        bringOnline();
        m_window->statusBar()->showMessage("Total media files: 3");

        QVERIFY(CamSim::leaveNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(isTip(tipLine()->text()), 12000);
        QCOMPARE(m_window->statusBar()->currentMessage(), QString());
        // The animation runs again: the dots change.
        const QString before = tipLine()->text();
        QTRY_VERIFY_WITH_TIMEOUT(tipLine()->text() != before, 2000);

        child<QPushButton>("pbStop")->click();
        QVERIFY(m_prompts->sawText(kMaybeLost));

        // And back again.
        m_sim.clearLog();
        QVERIFY(CamSim::joinNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(tipLine()->text().isEmpty(), 8000);
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 3000));
    }

    // A camera that accepts the connection and never answers is not there: it goes offline
    // after two silent polls, and comes back with its first answer. From HERO9 a tick also
    // asks for the state: one silent tick is still one missed poll.
    void stalledCameraGoesOffline_data()
    {
        QTest::addColumn<int>("model");
        QTest::newRow("hero5") << 5;
        QTest::newRow("hero11") << 11;
    }
    void stalledCameraGoesOffline()
    {
        QFETCH(int, model);
        QVERIFY(m_sim.setModel(model));
        testsupport::writeDefaultModel(QString("hero%1").arg(model));
        bringOnline();
        QVERIFY(m_sim.setAnswer("stall"));
        // The first silent poll times out after 2 s; the second, sent at once, 2 s later.
        QVERIFY(m_sim.waitForRequest(model <= 8 ? "/gp/gpControl/status" : "/gopro/camera/keep_alive",
                                     4000));
        QTest::qWait(3000);
        QVERIFY(tipLine()->text().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(isTip(tipLine()->text()), 9000);
        child<QPushButton>("pbStop")->click();
        QVERIFY(m_prompts->sawText(kMaybeLost));
        QVERIFY(m_sim.setAnswer("normal"));
        QTRY_VERIFY_WITH_TIMEOUT(tipLine()->text().isEmpty(), 4000);
    }

    // On a PC whose default route leads elsewhere, connects to the camera's address hang
    // instead of failing. Silence must never read as a camera, and a camera that appears
    // or vanishes there is still seen in time.
    void blackHoleRouteIsNoCamera()
    {
        m_sim.stop();
        QVERIFY(CamSim::leaveNetwork());
        const QString why = CamSim::routeIntoBlackHole();
        if (!why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("cannot build a black-hole route: ") + why));
        m_window.reset(new MainWindow);
        m_window->show();

        QTRY_VERIFY_WITH_TIMEOUT(isTip(tipLine()->text()), 2000);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            QTest::qWait(250);
            QVERIFY2(isTip(tipLine()->text()), qPrintable(QString::number(clock.elapsed())));
        }
        child<QPushButton>("pbStart_Capture")->click();
        QVERIFY(m_prompts->sawText(kMaybeLost));

        // The simulator starts beside the black hole: a tap that nothing reads reaches nothing.
        QVERIFY(m_sim.start({"--model", "5"}));
        QVERIFY(CamSim::joinNetwork());
        clock.restart();
        QTRY_VERIFY_WITH_TIMEOUT(tipLine()->text().isEmpty(), 3500);
        qInfo("camera seen %lld ms after it appeared", qint64(clock.elapsed()));

        QVERIFY(CamSim::leaveNetwork());
        clock.restart();
        QTRY_VERIFY_WITH_TIMEOUT(isTip(tipLine()->text()), 8000);
        qInfo("camera gone %lld ms after it vanished", qint64(clock.elapsed()));
    }

    void keepAliveFollowsTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("other");
        QTest::newRow("hero8") << "hero8" << kStatus << kKeepAlive;
        QTest::newRow("hero9") << "hero9" << kKeepAlive << kStatus;
        QTest::newRow("hero13") << "hero13" << kKeepAlive << kStatus;
    }
    void keepAliveFollowsTheModel()
    {
        QFETCH(QString, model);
        QFETCH(QString, request);
        QFETCH(QString, other);
        testsupport::writeDefaultModel(model);
        m_window.reset(new MainWindow);

        QTRY_VERIFY_WITH_TIMEOUT(m_sim.targets().count(request) >= 2, 8000);
        QVERIFY(!m_sim.targets().contains(other));
        // About every three seconds.
        const QJsonArray log = m_sim.requests();
        QList<qint64> times;
        for (const QJsonValue& entry : log) {
            const QJsonObject object = entry.toObject();
            if (QString("%1 %2").arg(object["port"].toInt()).arg(object["path"].toString()) == request)
                times << qint64(object["time_ms"].toDouble());
        }
        QVERIFY(times.size() >= 2);
        const qint64 gap = times.at(1) - times.at(0);
        QVERIFY2(gap > 2500 && gap < 3600, qPrintable(QString::number(gap)));
    }

    // The reader of the status reply: a value it cannot be sure of is unknown.
    void statusReplyRules_data()
    {
        QTest::addColumn<bool>("newer");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const QString unknown = "battery ?, level ?, charging ?, rec ?, time ?, photos ?, "
                                "video ?, free ?, card ?";
        QTest::newRow("older camera")
            << false
            << QByteArray(R"({"status":{"2":3,"8":1,"10":0,"13":42,"33":0,"34":480,"35":4980,)"
                          R"("54":12011718,"70":87},"settings":{"70":1}})")
            << "battery 87, level 3, charging 0, rec 1, time 42, photos 480, video 4980, "
               "free 12299999232, card ready";
        // From HERO9, 8 only says busy and video time is in minutes.
        QTest::newRow("newer camera")
            << true << QByteArray(R"({"status":{"8":1,"10":0,"35":83,"33":2}})")
            << "battery ?, level ?, charging ?, rec 0, time ?, photos ?, video 4980, free ?, "
               "card missing";
        QTest::newRow("charging, no percent") << false << QByteArray(R"({"status":{"2":4,"33":1}})")
            << "battery ?, level ?, charging 1, rec ?, time ?, photos ?, video ?, free ?, card ready";
        QTest::newRow("empty") << true << QByteArray(R"({"status":{"2":0,"70":0,"33":3}})")
            << "battery 0, level 0, charging 0, rec ?, time ?, photos ?, video ?, free ?, card error";
        QTest::newRow("wrong types")
            << false
            << QByteArray(R"({"status":{"70":"87","2":true,"8":"1","13":null,"34":[480],"35":{},)"
                          R"("54":"12011718","33":"0"}})")
            << unknown;
        QTest::newRow("out of range")
            << false
            << QByteArray(R"({"status":{"70":101,"2":5,"8":2,"13":-1,"34":-5,"35":1.5,"54":1e300,)"
                          R"("33":-1}})")
            << unknown;
        QTest::newRow("fraction") << true << QByteArray(R"({"status":{"70":87.5,"10":0.5}})") << unknown;
        QTest::newRow("not JSON") << false << QByteArray("<html>500</html>") << unknown;
        QTest::newRow("cut short") << false << QByteArray(R"({"status":{"70":87,"8":1)") << unknown;
        QTest::newRow("no status") << false << QByteArray(R"({"settings":{"70":87}})") << unknown;
        QTest::newRow("status not an object") << false << QByteArray(R"({"status":[87]})") << unknown;
        QTest::newRow("array") << false << QByteArray(R"([{"status":{"70":87}}])") << unknown;
    }
    void statusReplyRules()
    {
        QFETCH(bool, newer);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QCOMPARE(summary(CameraStatus::parse(body, newer ? CameraStatus::Family::OpenGoPro
                                                        : CameraStatus::Family::GpControl)),
                 expected);
    }

    // Battery, card and recording at the right of the status bar, from the camera's own
    // status: the reply of the status poll up to HERO8, of the state request from HERO9.
    void cameraAtAGlance_data()
    {
        QTest::addColumn<int>("model");
        QTest::newRow("hero7") << 7;
        QTest::newRow("hero11") << 11;
    }
    void cameraAtAGlance()
    {
        QFETCH(int, model);
        QVERIFY(m_sim.setModel(model));
        // 12.3 GB: 3075 photos of 4 MB, 1640 s of video at 60 Mbit/s.
        QVERIFY(m_sim.setCameraStatus("battery=42&capacity=12300000000"));
        testsupport::writeDefaultModel(QString("hero%1").arg(model));
        m_window.reset(new MainWindow);
        m_window->show();
        auto* view = m_window->findChild<CameraStatusView*>("cameraStatus");
        QVERIFY(view);
        auto* battery = child<QLabel>("labelBattery");
        auto* card = child<QLabel>("labelCard");
        auto* recording = child<QLabel>("labelRecording");
        auto* icon = child<QLabel>("labelBatteryIcon");
        QVERIFY(card->text().isEmpty());

        // Shown within one keep-alive period of the camera coming online.
        QTRY_VERIFY_WITH_TIMEOUT(tipLine()->text().isEmpty(), 8000);
        QTRY_COMPARE_WITH_TIMEOUT(card->text(), QString("12.3 GB free · 27 min of video · 3075 photos"),
                                  3500);
        QCOMPARE(battery->text(), QString("42 %"));
        QVERIFY(!icon->pixmap().isNull());
        QVERIFY(!recording->isVisible());
        QVERIFY(!draws(view, CameraStatusView::kWarningColour));
        // At the right: after the place of the messages.
        QVERIFY(view->mapTo(m_window.get(), QPoint()).x() > m_window->width() / 2);

        child<QPushButton>("pbStart_Capture")->click();
        QTRY_VERIFY_WITH_TIMEOUT(recording->isVisible(), 4000);
        QVERIFY2(QRegularExpression("^● REC 0:0\\d$").match(recording->text()).hasMatch(),
                 qPrintable(recording->text()));
        QVERIFY(draws(recording, CameraStatusView::kRecordingColour));
        child<QPushButton>("pbStop")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!recording->isVisible(), 4000);

        QVERIFY(m_sim.setCameraStatus("battery=12&charging=1&card=0"));
        QTRY_COMPARE_WITH_TIMEOUT(battery->text(), QString("12 % · charging"), 4000);
        QCOMPARE(card->text(), QString("no card"));
        QVERIFY(draws(view, CameraStatusView::kWarningColour));

        // What the camera gets wrong is left out, not guessed.
        QVERIFY(m_sim.setCameraStatus("charging=0&card=1"));
        QVERIFY(m_sim.overrideStatusId(70, "\"87\""));
        QVERIFY(m_sim.overrideStatusId(54, ""));
        QVERIFY(m_sim.overrideStatusId(34, "-5"));
        QTRY_COMPARE_WITH_TIMEOUT(card->text(), QString("27 min of video"), 4000);
        QCOMPARE(battery->text(), QString());
        QVERIFY(!icon->pixmap().isNull()); // the coarse level is still right

        // Offline: nothing is known.
        QVERIFY(m_sim.setCameraStatus("recording=1"));
        QTRY_VERIFY_WITH_TIMEOUT(recording->isVisible(), 4000);
        QVERIFY(CamSim::leaveNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(isTip(tipLine()->text()), 12000);
        QVERIFY(battery->text().isEmpty() && card->text().isEmpty() && icon->pixmap().isNull());
        QVERIFY(!recording->isVisible());
    }

    void commandsUseTheExactUrls()
    {
        bringOnline();
        child<QPushButton>("pbStart_Capture")->click();
        child<QPushButton>("pbStop")->click();
        child<QCheckBox>("checkBox_vc")->click();
        child<QCheckBox>("checkBox_vc")->click();
        child<QCheckBox>("checkBox_qc")->click();
        child<QCheckBox>("checkBox_gps")->click();
        child<QCheckBox>("checkBox_gps")->click();

        const QStringList expected = {
            "80 /gp/gpControl/command/shutter?p=1",
            "80 /gp/gpControl/command/shutter?p=0",
            "80 /gp/gpControl/setting/86/1",
            "80 /gp/gpControl/setting/86/0",
            "80 /gp/gpControl/setting/54/1",
            "80 /gp/gpControl/setting/83/1",
            "80 /gp/gpControl/setting/83/0",
        };
        QTRY_VERIFY_WITH_TIMEOUT(m_sim.targets().count() >= expected.size(), 5000);
        QStringList commands = m_sim.targets();
        commands.removeAll(kStatus);
        commands.removeAll(kMediaList);
        // Sent one by one without waiting, so they may arrive in any order; each exactly once.
        QCOMPARE(commands.size(), expected.size());
        for (const QString& command : expected)
            QVERIFY2(commands.count(command) == 1, qPrintable(command));
        QCOMPARE(m_prompts->count(), 0);
    }

    void toggleRefusedOfflineStaysTicked()
    {
        QVERIFY(CamSim::leaveNetwork());
        m_window.reset(new MainWindow);
        auto* gps = child<QCheckBox>("checkBox_gps");
        gps->click();
        QVERIFY(gps->isChecked());
        QVERIFY(m_prompts->sawText(kMaybeLost));
    }

    void formatAsksFirst_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("cancelled") << false;
        QTest::newRow("confirmed") << true;
    }
    void formatAsksFirst()
    {
        QFETCH(bool, confirmed);
        bringOnline();
        QTest::qWait(300);
        m_sim.clearLog();
        m_prompts->answerNext(confirmed ? QMessageBox::Ok : QMessageBox::Cancel);
        child<QPushButton>("pbFormat")->click();

        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().kind, Prompt::Kind::Question);
        QCOMPARE(m_prompts->requests().first().text, QString("CAUTION: Are you sure to format?"));
        if (confirmed) {
            QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete/all", 3000));
            QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000));
            QCOMPARE(m_sim.state()["formatCount"].toInt(), 1);
            // The list is asked for once the card is wiped (the camera takes 1.5 s): one
            // asked for earlier would bring back the files that are gone.
            const qint64 formatted = m_sim.arrivalTimes("/gp/gpControl/command/storage/delete/all")
                                         .first() + 1500;
            QVERIFY(m_sim.arrivalTimes("/gp/gpMediaList").first() >= formatted);
        } else {
            QTest::qWait(500);
            QVERIFY(!m_sim.targets().contains("80 /gp/gpControl/command/storage/delete/all"));
            QVERIFY(!m_sim.targets().contains(kMediaList));
        }
    }

    void sleepIsSentEvenOffline()
    {
        // Right after start the window still takes the camera for unreachable.
        m_window.reset(new MainWindow);
        QVERIFY(QMetaObject::invokeMethod(m_window.get(), "slotSleep"));
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/system/sleep", 3000));
        QCOMPARE(m_prompts->count(), 0);

        // Its failure while the camera is away keeps the window offline and quiet.
        QVERIFY(CamSim::leaveNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(isTip(tipLine()->text()), 12000);
        QVERIFY(QMetaObject::invokeMethod(m_window.get(), "slotSleep"));
        QTest::qWait(300);
        QVERIFY(isTip(tipLine()->text()));
        QCOMPARE(m_prompts->count(), 0);
    }

    void sendCommandLogsIt()
    {
        bringOnline();
        LogCapture log;
        child<QPushButton>("pbStart_Capture")->click();
        QVERIFY(log.contains("send command: \"http://10.5.5.9/gp/gpControl/command/shutter?p=1\""));
        QVERIFY(log.contains("clicked CaptureStart"));
    }
};

VELKAMO_TEST_MAIN(TestCommandChannel)
#include "tst_commandchannel.moc"
