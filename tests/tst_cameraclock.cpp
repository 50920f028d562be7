// The camera's clock follows this PC's each time the camera comes online, in the form its model
// takes, and a saved file carries the moment it was shot. Run in New York's zone (see
// CMakeLists.txt): a time read as UTC is hours off, and summer and winter differ.

#include "cameralist.h"
#include "camsim.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestCameraClock : public QObject
{
    Q_OBJECT

    CamSim m_sim;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QSignalSpy> m_messages;

    QCheckBox* clockBox() const { return m_window->findChild<QCheckBox*>("checkBox_clock"); }
    QStringList messages() const
    {
        QStringList texts;
        for (const QList<QVariant>& message : std::as_const(*m_messages))
            texts << message.first().toString();
        return texts;
    }
    QStringList clockRequests() { return m_sim.targets().filter(QRegularExpression("set_date_time|setup/date_time")); }

    void open()
    {
        m_window = std::make_unique<MainWindow>();
        m_messages = std::make_unique<QSignalSpy>(m_window->statusBar(), &QStatusBar::messageChanged);
        m_window->resize(1280, 800);
        m_window->show();
    }
    // The camera's clock against this PC's, in ms.
    qint64 clockAheadMs()
    {
        const QString local = m_sim.state().value("clock").toObject().value("local").toString();
        const QDateTime reads = QDateTime::fromString(local, Qt::ISODateWithMs);
        return QDateTime::currentDateTime().msecsTo(reads);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(qgetenv("TZ"), QByteArray("America/New_York"));
        testsupport::installFreshDataTree();
        QVERIFY(m_sim.start({"--address", "10.5.5.9"}));
    }
    void init()
    {
        QVERIFY(CamSim::joinNetwork());
        m_sim.clearLog();
    }
    void cleanup()
    {
        m_window.reset();
        m_messages.reset();
        m_sim.setClockRefused(false);
        QSettings(QSettings::IniFormat, QSettings::UserScope, "velkamo", "velkamo").remove("camera/setClock");
    }

    // Each family gets its own form, set within a second of this PC's local time; where the
    // camera tells its time back the difference is shown.
    void clockSetAsTheModelTakesIt_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("told");
        const QString zone = QString("&tzone=-300&dst=%1").arg(QDateTime::currentDateTime().isDaylightTime() ? 1 : 0);
        // Six bytes; a byte that is a letter, a digit or "-._~" goes as itself (QUrl's form, the same to the camera).
        QTest::newRow("HERO8") << 8 << R"(^80 /gp/gpControl/command/setup/date_time\?p=(%[0-9A-F]{2}|[0-9A-Za-z._~-]){6}$)"
                               << R"(^Clock of HERO8 Black …461 set to this PC's time\.$)";
        QTest::newRow("HERO10") << 10 << R"(^8080 /gopro/camera/set_date_time\?date=\d{4}_\d\d_\d\d&time=\d\d_\d\d_\d\d$)"
                                << R"(^Clock of HERO10 Black …461 set to this PC's time\.$)";
        QTest::newRow("HERO12") << 12
                                << R"(^8080 /gopro/camera/set_date_time\?date=\d{4}_\d\d_\d\d&time=\d\d_\d\d_\d\d)"
                + QRegularExpression::escape(zone) + "$"
                                << R"(^Clock of HERO12 Black …461 set to this PC's time; it reads (0|[+-]1) s from it\.$)";
    }
    void clockSetAsTheModelTakesIt()
    {
        QFETCH(int, model);
        QFETCH(QString, request);
        QFETCH(QString, told);
        QVERIFY(m_sim.setModel(model));
        open();
        QVERIFY(m_sim.waitForRequest(model <= 8 ? "/gp/gpControl/command/setup" : "/gopro/camera/set_date_time", 10000));
        QCOMPARE(clockRequests().size(), 1);
        QVERIFY2(QRegularExpression(request).match(clockRequests().first()).hasMatch(), qPrintable(clockRequests().first()));
        QVERIFY2(qAbs(clockAheadMs()) < 1000, qPrintable(QString::number(clockAheadMs())));
        QTRY_VERIFY2_WITH_TIMEOUT(!messages().filter(QRegularExpression(told)).isEmpty(),
                                  qPrintable(messages().join('\n')), 5000);
    }

    // Switched off, the choice outlives the window and no camera is sent its time.
    void preferenceOffSendsNothing()
    {
        QVERIFY(m_sim.setModel(12));
        open();
        QVERIFY(clockBox());
        QVERIFY(clockBox()->isChecked());
        clockBox()->click();
        m_window.reset();
        m_sim.clearLog();
        open();
        QVERIFY(!clockBox()->isChecked());
        // Online, and polled well after: the clock would have gone first.
        QVERIFY(m_sim.waitForRequest("/gopro/media/list", 10000));
        QVERIFY(m_sim.waitForRequest("/gopro/camera/keep_alive", 10000, m_sim.countRequests("/gopro/camera/keep_alive") + 1));
        QCOMPARE(clockRequests(), QStringList());
    }

    // A camera that refuses its clock is told of once, however often it comes back.
    void refusedClockToldOnce()
    {
        QVERIFY(m_sim.setModel(12));
        QVERIFY(m_sim.setClockRefused(true));
        open();
        const QString refused = "The clock of HERO12 Black …461 cannot be set (HTTP 500): its files carry the time it keeps.";
        QTRY_VERIFY2_WITH_TIMEOUT(messages().contains(refused), qPrintable(messages().join('\n')), 10000);
        QVERIFY(CamSim::leaveNetwork());
        QComboBox* cameras = m_window->findChild<QComboBox*>("comboCameras");
        const QString name = "Wi-Fi · HERO12 Black · …461";
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::stateOf(cameras, name), QString("offline"), 10000);
        const int asked = clockRequests().size();
        QVERIFY(CamSim::joinNetwork());
        QVERIFY(m_sim.waitForRequest("/gopro/camera/set_date_time", 15000, asked + 1));
        // The refusal's answer is in, and the camera polled after it.
        QVERIFY(m_sim.waitForRequest("/gopro/camera/keep_alive", 10000, m_sim.countRequests("/gopro/camera/keep_alive") + 1));
        QCOMPARE(messages().count(refused), 1);
    }

    // A saved file's modification time is its listed time read as this PC's local time, in
    // winter and in summer; a burst's members take the group's.
    void downloadedFileCarriesShotTime()
    {
        QVERIFY(m_sim.setModel(12));
        // 2024-01-15 09:30 and 2024-07-04 14:00 on the camera's clock, written as UTC.
        const qint64 winter = 1705311000;
        const qint64 summer = 1720101600;
        QVERIFY(m_sim.setMediaJson(QStringLiteral(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"GOPR0001.JPG","mod":"%1","s":"100000"},
            {"n":"G0010002.JPG","g":"1","b":"2","l":"3","m":[],"mod":"%2","s":"200000"}]}]})")
                                       .arg(winter)
                                       .arg(summer)
                                       .toUtf8()));
        QTemporaryDir folder;
        PromptRecorder prompts;
        prompts.setDefaultDirectory(folder.path());
        open();
        QWidget* single = nullptr;
        QWidget* burst = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((single = m_window->findChild<QWidget*>("100GOPRO/GOPR0001.JPG"))
                                     && (burst = m_window->findChild<QWidget*>("100GOPRO/G0010002.JPG")),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(single->isEnabled() && single->isVisible(), 5000);
        single->findChild<QCheckBox*>("checkBoxFile")->click();
        burst->findChild<QCheckBox*>("checkBoxFile")->click();
        m_window->findChild<QPushButton*>("pbDownload")->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->statusBar()->currentMessage().startsWith("Downloaded 3 of 3"), 20000);
        // New York: five hours behind UTC in winter, four in summer.
        const QList<QPair<QString, qint64>> expected = {{"GOPR0001.JPG", winter + 5 * 3600},
                                                        {"G0010002.JPG", summer + 4 * 3600},
                                                        {"G0010003.JPG", summer + 4 * 3600}};
        for (const auto& [name, shot] : expected)
            QCOMPARE(QFileInfo(folder.filePath(name)).lastModified().toSecsSinceEpoch(), shot);
    }
};

VELKAMO_TEST_MAIN(TestCameraClock)
#include "tst_cameraclock.moc"
