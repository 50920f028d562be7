// The settings panel against a simulated camera, through the real window: it shows what the
// camera's status says, looking at a setting sends nothing, and only a value chosen is sent
// and confirmed or told as refused.

#include "camsim.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "systemfilepath.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>

class TestSettingsPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::installFreshDataTree(); }

    // Up to HERO8 the status answer's settings map, from HERO9 the state answer's. A frame
    // rate, because its profile order (by number) is not the order of its labels as text.
    void panelFollowsTheCamera_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("refused");
        QTest::newRow("hero8 status") << 8 << "80 /gp/gpControl/setting/3/0"
                                      << "The camera did not take Video Frame Rate 100 fps (HTTP 500).";
        QTest::newRow("hero12 state")
            << 12 << "8080 /gopro/camera/setting?setting=3&option=0"
            << "The camera did not take Video Frame Rate 100 fps (HTTP 403: the camera does not offer "
               "this option now; it offers 100 fps, 120 fps, 200 fps, 24 fps, 240 fps, 25 fps, "
               "30 fps, 50 fps, 60 fps).";
    }
    void panelFollowsTheCamera()
    {
        QFETCH(int, model);
        CamSim sim;
        QVERIFY(sim.start({"--model", QString::number(model), "--ref", path::refDir().path()}));
        QVERIFY(sim.setSetting(3, 5)); // 60 fps
        QVERIFY(sim.overrideStatusId(96, "1001")); // the photo presets
        testsupport::writeDefaultModel(QStringLiteral("hero%1").arg(model));
        PromptRecorder prompts;
        MainWindow window;
        auto* modes = window.findChild<QComboBox*>("comboBoxVideo");
        auto* types = window.findChild<QComboBox*>("comboBoxSettings_ISO");
        auto* values = window.findChild<QComboBox*>("comboBoxChangeTo");
        const auto chosen = [&sim] {
            return sim.targets().filter(QRegularExpression("setting|set_mode|set_group|sub_mode|zoom|locate"));
        };
        QTRY_COMPARE_WITH_TIMEOUT(modes->currentText(), QString("Photo"), 8000);

        testsupport::choose(types, types->findText("Video Frame Rate"));
        QStringList shown;
        for (int i = 0; i < values->count(); ++i)
            shown << values->itemText(i);
        QCOMPARE(shown, QStringList({"24 fps", "25 fps", "30 fps", "50 fps", "60 fps", "100 fps",
                                     "120 fps", "200 fps", "240 fps"}));
        QCOMPARE(values->currentText(), QString("60 fps"));

        // Changed on the camera itself: the panel follows, except while the list is open.
        values->showPopup();
        QVERIFY(values->view()->isVisible());
        QVERIFY(sim.setSetting(3, 1));
        const QString poll = model >= 9 ? "/gopro/camera/state" : "/gp/gpControl/status";
        const int polls = sim.countRequests(poll);
        QTRY_VERIFY_WITH_TIMEOUT(sim.countRequests(poll) >= polls + 2, 8000);
        QTest::qWait(200);
        QCOMPARE(values->currentText(), QString("60 fps"));
        values->hidePopup();
        QTRY_COMPARE_WITH_TIMEOUT(values->currentText(), QString("120 fps"), 5000);
        QCOMPARE(chosen(), QStringList());

        testsupport::choose(values, values->findText("240 fps"));
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(),
                                  QString("The camera took Video Frame Rate 240 fps."), 5000);
        QTEST(chosen().join('\n'), "sent");
        QCOMPARE(sim.state()["settings"].toObject()["3"].toInt(), 0);

        QVERIFY(sim.refuseOption(3, 2));
        testsupport::choose(values, values->findText("100 fps"));
        QFETCH(QString, refused);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), refused, 5000);
        // Back to what the camera stands on.
        QTRY_COMPARE_WITH_TIMEOUT(values->currentText(), QString("240 fps"), 5000);
        QCOMPARE(sim.state()["settings"].toObject()["3"].toInt(), 0);
    }
};

VELKAMO_TEST_MAIN(TestSettingsPanel)
#include "tst_settingspanel.moc"
