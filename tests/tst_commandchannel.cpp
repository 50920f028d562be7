// The command channel end to end: the real main window against the camera simulator, with
// the camera joining and leaving the network by its address appearing and vanishing.

#include "camsim.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "realdialogs.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <memory>

namespace {

const QString kMaybeLost = QStringLiteral("Maybe connection is lost.");

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

    // No camera answers: the ways to connect stand in the grid's place.
    bool offline() const { return testsupport::showsFirstScreen(m_window.get()); }

    // Start pressed while the camera is away: refused with a warning.
    void startIsRefused()
    {
        m_prompts->clear();
        child<QPushButton>("pbStart_Capture")->click();
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().title, QString("warning"));
        QCOMPARE(m_prompts->requests().first().text, kMaybeLost);
    }

private slots:
    void initTestCase()
    {
        testsupport::installFreshDataTree();
        QVERIFY(m_sim.start({"--model", "11"}));
        testsupport::writeDefaultModel("hero11");
        m_prompts.reset(new PromptRecorder);
    }

    void cleanup()
    {
        m_window.reset();
        CamSim::removeBlackHole();
        QVERIFY(CamSim::joinNetwork());
    }

    void openTheCamera()
    {
        QVERIFY(m_sim.setCameraStatus("battery=42&capacity=12300000000"));
        QVERIFY(CamSim::leaveNetwork());
        m_window.reset(new MainWindow);
        m_window->show();
        m_window->statusBar()->showMessage("kept");
        QTRY_VERIFY_WITH_TIMEOUT(offline(), 2000);
        startIsRefused();
        auto* gps = child<QCheckBox>("checkBox_gps");
        gps->click();
        QVERIFY(gps->isChecked()); // the refused toggle keeps the user's tick
        auto* settings = child<QComboBox>("comboBoxSettings_ISO");
        settings->clear(); // refilled only when the model is applied again
        QCOMPARE(m_window->statusBar()->currentMessage(), QString("kept"));

        // The camera appears: the model is applied, the list asked for, the status shown.
        m_prompts->clear();
        QVERIFY(CamSim::joinNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(!offline(), 8000);
        QCOMPARE(child<QComboBox>("comboModel")->currentText(), QString("hero11"));
        QVERIFY(settings->count() > 0);
        QVERIFY(m_sim.waitForRequest("/gopro/media/list", 4000));
        // Applying the profile on the camera's first answer shows its defaults and sends none
        // of them: a reconnection changes nothing on the camera.
        QTest::qWait(300);
        QCOMPARE(m_sim.targets().filter(QRegularExpression("setting|/command/|zoom|presets")), QStringList());
        auto* battery = child<QLabel>("labelBattery");
        auto* card = child<QLabel>("labelCard");
        auto* recording = child<QLabel>("labelRecording");
        QTRY_COMPARE_WITH_TIMEOUT(card->text(), QString("12.3 GB free · 27 min of video · 3075 photos"),
                                  3500);
        QCOMPARE(battery->text(), QString("42 %"));

        // Commands go out in the model's documented form (a HERO11: the newer family where it
        // lists one), with their exact URLs, each once, without a warning.
        m_sim.clearLog();
        child<QPushButton>("pbStart_Capture")->click();
        QTRY_VERIFY_WITH_TIMEOUT(recording->isVisible(), 4000);
        child<QPushButton>("pbStop")->click();
        for (const char* box : {"checkBox_vc", "checkBox_vc", "checkBox_qc", "checkBox_gps", "checkBox_gps"})
            child<QCheckBox>(box)->click();
        QVERIFY(m_sim.waitForRequest("/gopro/camera/setting?setting=83&option=0", 3000));
        QTRY_VERIFY_WITH_TIMEOUT(!recording->isVisible(), 4000);
        QStringList commands = m_sim.targets().filter(QRegularExpression("setting|shutter"));
        commands.sort(); // sent without waiting, so in any order
        QCOMPARE(commands, QStringList({"80 /gp/gpControl/setting/54/1", "80 /gp/gpControl/setting/86/0",
            "80 /gp/gpControl/setting/86/1", "8080 /gopro/camera/setting?setting=83&option=0",
            "8080 /gopro/camera/setting?setting=83&option=1", "8080 /gopro/camera/shutter/start",
            "8080 /gopro/camera/shutter/stop"}));
        QCOMPARE(m_prompts->count(), 0);
        // One the camera refuses says so in the status bar.
        QVERIFY(m_sim.setAnswer("500"));
        child<QPushButton>("pbStart_Capture")->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->statusBar()->currentMessage(), QString("The camera did not "
                                  "carry out /gopro/camera/shutter/start (HTTP 500)."), 3000);
        QVERIFY(m_sim.setAnswer("normal"));

        // Format asks first, and the list is asked for again once the card is wiped (the
        // camera takes 1.5 s): one asked for earlier would bring back the files that are gone.
        m_prompts->answerNext(QMessageBox::Cancel);
        child<QPushButton>("pbFormat")->click();
        QTest::qWait(300);
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage"), 0);
        m_prompts->answerNext(QMessageBox::Ok);
        m_sim.clearLog();
        child<QPushButton>("pbFormat")->click();
        QCOMPARE(m_prompts->count(), 2);
        QCOMPARE(m_prompts->requests().at(1).kind, Prompt::Kind::Question);
        QCOMPARE(m_prompts->requests().at(1).text, QString("CAUTION: Are you sure to format?"));
        QVERIFY(m_sim.waitForRequest("/gopro/media/list", 5000));
        QCOMPARE(m_sim.state()["formatCount"].toInt(), 1);
        QVERIFY(m_sim.arrivalTimes("/gopro/media/list").first()
                >= m_sim.arrivalTimes("/gp/gpControl/command/storage/delete/all").first() + 1500);

        // The camera leaves: offline with the ways to connect shown, the status gone, Start refused.
        m_window->statusBar()->showMessage("Total media files: 3");
        QVERIFY(CamSim::leaveNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(offline(), 12000);
        QCOMPARE(m_window->statusBar()->currentMessage(), QString());
        QVERIFY(battery->text().isEmpty() && card->text().isEmpty());
        startIsRefused();
    }

    // A command refused while the camera is away stays refused, even when the camera answers
    // again while the warning (a real box) is still open.
    void refusedCommandIsNotSentLater()
    {
        QVERIFY(CamSim::leaveNetwork());
        m_window.reset(new MainWindow);
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(offline(), 2000);
        m_prompts.reset();
        RealDialogs dialogs;
        bool answered = false;
        dialogs.onNextBox([&](QMessageBox*) {
            CamSim::joinNetwork();
            answered = QTest::qWaitFor([&] { return !offline(); }, 8000);
            return QMessageBox::Ok;
        });
        child<QPushButton>("pbStart_Capture")->click();
        QCOMPARE(dialogs.texts(), QStringList{kMaybeLost});
        QVERIFY(answered);
        QTest::qWait(500);
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/shutter"), 0);
        m_prompts.reset(new PromptRecorder);
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

        QTRY_VERIFY_WITH_TIMEOUT(offline(), 2000);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            QTest::qWait(250);
            QVERIFY2(offline(), qPrintable(QString::number(clock.elapsed())));
        }
        startIsRefused();

        // The simulator starts beside the black hole: a tap that nothing reads reaches nothing.
        QVERIFY(m_sim.start({"--model", "11"}));
        QVERIFY(CamSim::joinNetwork());
        clock.restart();
        QTRY_VERIFY_WITH_TIMEOUT(!offline(), 3500);
        qInfo("camera seen %lld ms after it appeared", qint64(clock.elapsed()));

        QVERIFY(CamSim::leaveNetwork());
        clock.restart();
        QTRY_VERIFY_WITH_TIMEOUT(offline(), 8000);
        qInfo("camera gone %lld ms after it vanished", qint64(clock.elapsed()));
    }
};

VELKAMO_TEST_MAIN(TestCommandChannel)
#include "tst_commandchannel.moc"
