// The camera information dialog, opened from the status bar, from the button beside the camera
// list and from the list's menu for the camera under the cursor: who the camera says it is, how
// it is reached, its clock once read, and the Open GoPro version it answers.

#include "camerainfodialog.h"
#include "cameralist.h"
#include "camerastatusview.h"
#include "camsim.h"
#include "mainwindow.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {
const QString kSerial = QStringLiteral("C3441324784461"); // the simulator's own
const QString kCableSerial = QStringLiteral("C3501324645504"); // on a cable at 172.25.104.51
} // namespace

class TestCameraInfo : public QObject
{
    Q_OBJECT

    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<MainWindow> m_window;

    QComboBox* cameraList() const { return m_window->findChild<QComboBox*>("comboCameras"); }

    // The dialog by the way the user asks for it; nullptr when none opens.
    CameraInfoDialog* openInfo(const QString& how, const QString& camera)
    {
        if (how == "status bar") {
            auto* glance = m_window->findChild<CameraStatusView*>("cameraStatus");
            QTest::mouseClick(glance, Qt::LeftButton);
        } else if (how == "button") {
            m_window->findChild<QToolButton*>("pbCameraInfo")->click();
        } else {
            // Right-clicked in the open list, on the camera's row.
            const int row = cameralist::names(cameraList()).indexOf(camera);
            if (row < 0)
                return nullptr;
            cameraList()->showPopup();
            QAbstractItemView* rows = cameraList()->view();
            const QPoint at = rows->visualRect(rows->model()->index(row, 0)).center();
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, rows->viewport()->mapToGlobal(at));
            QCoreApplication::sendEvent(rows->viewport(), &click);
            auto* menu = m_window->findChild<QMenu*>("cameraListMenu");
            if (!menu || menu->actions().isEmpty())
                return nullptr;
            menu->actions().first()->trigger();
        }
        auto* dialog = m_window->findChild<CameraInfoDialog*>("cameraInfoDialog");
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }

private slots:
    void initTestCase() { testsupport::installFreshDataTree(); }

    void cleanup()
    {
        m_window.reset();
        m_prompts.reset();
    }

    // Every fact as the camera told it, the clock's difference once read back (HERO11 on),
    // the version asked of cameras that offer it and of no other.
    void dialogTellsTheCamera_data()
    {
        QTest::addColumn<int>("wifiModel");
        QTest::addColumn<QString>("wifiSerial");
        QTest::addColumn<int>("cableModel"); // on kCableSerial's cable; 0: none
        QTest::addColumn<QString>("shown");  // the camera the window shows
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("camera"); // the one asked about
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("links");
        QTest::addColumn<QString>("clock"); // a pattern
        QTest::addColumn<QString>("version");

        const QString read = R"(^set to this PC's time; reads (0|[+-]1) s from it$)";
        const QString wifi12 = "Wi-Fi · HERO12 Black · …461";
        QTest::newRow("HERO12 on Wi-Fi, from the status bar")
            << 12 << kSerial << 0 << wifi12 << "status bar" << wifi12 << "HERO12 Black" << "H23.01.01.10.00"
            << kSerial << "Wi-Fi · 10.5.5.9" << read << "2.0";
        const QString cable12 = "USB · HERO12 Black · …504";
        QTest::newRow("HERO12 on a cable and its Wi-Fi, from the button")
            << 12 << kCableSerial << 12 << cable12 << "button" << cable12 << "HERO12 Black" << "H23.01.01.10.00"
            << kCableSerial << "USB · 172.25.104.51\nWi-Fi · 10.5.5.9" << read << "2.0";
        QTest::newRow("HERO8 under the cursor, a HERO12 shown")
            << 8 << kSerial << 12 << cable12 << "list menu" << "Wi-Fi · HERO8 Black · …461" << "HERO8 Black"
            << "HD8.01.02.50.00" << kSerial << "Wi-Fi · 10.5.5.9"
            << R"(^set to this PC's time; not read \(the model does not tell it\)$)" << "not offered";
    }
    void dialogTellsTheCamera()
    {
        QFETCH(int, wifiModel);
        QFETCH(QString, wifiSerial);
        QFETCH(int, cableModel);
        QFETCH(QString, shown);
        QFETCH(QString, how);
        QFETCH(QString, camera);
        QFETCH(QString, model);
        QFETCH(QString, firmware);
        QFETCH(QString, serial);
        QFETCH(QString, links);
        QFETCH(QString, clock);
        QFETCH(QString, version);
        CamSim wifi;
        CamSim cable;
        if (cableModel > 0) {
            if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
                QSKIP(qPrintable(why));
            QVERIFY(cable.startUsb(kCableSerial, {"--model", QString::number(cableModel)}));
        }
        QVERIFY(wifi.start({"--address", "10.5.5.9", "--model", QString::number(wifiModel), "--serial", wifiSerial}));

        m_prompts = std::make_unique<PromptRecorder>();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameraList()).contains(shown)
                                     && cameralist::names(cameraList()).contains(camera)
                                     && cameralist::stateOf(cameraList(), camera) != "offline",
                                 20000);
        if (cameralist::currentName(cameraList()) != shown)
            QVERIFY(cameralist::choose(cameraList(), shown));
        // The glance shows the camera's status: there is something to click.
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->findChild<QLabel*>("labelBattery")->text().isEmpty(), 10000);

        CameraInfoDialog* dialog = openInfo(how, camera);
        QVERIFY(dialog);
        const auto fact = [dialog](const char* name) { return dialog->findChild<QLabel*>(name)->text(); };
        QCOMPARE(dialog->windowTitle(), "Camera information: " + model + " …" + serial.right(3));
        QTRY_COMPARE_WITH_TIMEOUT(fact("openGoPro"), version, 5000);
        QTRY_VERIFY2_WITH_TIMEOUT(QRegularExpression(clock).match(fact("clock")).hasMatch(),
                                  qPrintable(fact("clock")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(fact("links"), links, 5000);
        QCOMPARE(fact("model"), model);
        QCOMPARE(fact("firmware"), firmware);
        QCOMPARE(fact("serial"), serial);
        // A camera that never offered the version is not asked it.
        if (wifiModel < 9)
            QCOMPARE(wifi.countRequests("/gopro/version"), 0);
    }

    // A model that should offer the version, on a firmware that answers 404: not offered,
    // rather than an error.
    void versionAnswered404IsNotOffered()
    {
        CamSim wifi;
        QVERIFY(wifi.start({"--address", "10.5.5.9", "--model", "11"}));
        m_prompts = std::make_unique<PromptRecorder>();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        const QString name = "Wi-Fi · HERO11 Black · …461";
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameraList(), name).contains('%'), 20000);
        QVERIFY(wifi.setAnswer("404"));
        CameraInfoDialog* dialog = openInfo("button", name);
        QVERIFY(dialog);
        QVERIFY(wifi.waitForRequest("/gopro/version", 5000));
        QTRY_COMPARE_WITH_TIMEOUT(dialog->findChild<QLabel*>("openGoPro")->text(), QString("not offered"), 5000);
    }
};

VELKAMO_TEST_MAIN(TestCameraInfo)
#include "tst_camerainfo.moc"
