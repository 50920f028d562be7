// What the user asks of one camera goes to that camera or to none: ticks, Delete and Format stay
// with the camera they were made on, questions name it, and what a camera answers (its list, a
// picture, a thumbnail, its preview) is never taken for another camera's, whatever switched the
// window meanwhile. Two cameras hold files of the same names throughout, as every camera does.

#include "cameralist.h"
#include "camsim.h"
#include "dlgshowpict.h"
#include "mainwindow.h"
#include "medialist.h"
#include "picturelabel.h"
#include "previewform.h"
#include "promptrecorder.h"
#include "realdialogs.h"
#include "testsupport.h"
#include "tilegrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QStatusBar>
#include <QtTest>

#include <functional>
#include <memory>

namespace {
const QString kSerial = QStringLiteral("C3501324645504");
const QString kCable = QStringLiteral("USB · HERO12 Black · …504");
const QString kWifi = QStringLiteral("Wi-Fi · HERO11 Black · …461");

// The same names and times on both cameras, as after a format or on any two cameras.
QByteArray card(int bytes)
{
    return QStringLiteral(R"({"media":[{"d":"100GOPRO","fs":[
        {"n":"GOPR0004.JPG","mod":"40","s":"%1"},{"n":"GOPR0003.JPG","mod":"30","s":"%1"},
        {"n":"GOPR0002.JPG","mod":"20","s":"%1"}]}]})")
        .arg(bytes)
        .toUtf8();
}

const QString kFirst = QStringLiteral("100GOPRO/GOPR0004.JPG");
const QString kSecond = QStringLiteral("100GOPRO/GOPR0003.JPG");
} // namespace

class TestBoundActions : public QObject
{
    Q_OBJECT

    CamSim m_wifi;
    CamSim m_usb;
    std::unique_ptr<MainWindow> m_window;

    QComboBox* cameras() const { return m_window->findChild<QComboBox*>("comboCameras"); }
    TileGrid* grid() const { return m_window->findChild<TileGrid*>(); }
    PreviewForm* tile(const QString& path) const { return m_window->findChild<PreviewForm*>(path); }
    QString status() const { return m_window->statusBar()->currentMessage(); }
    void click(const char* button) { m_window->findChild<QPushButton*>(button)->click(); }

    // Shows the camera named name, its grid built from its own list.
    void show(const QString& name, CamSim& camera)
    {
        QVERIFY(cameralist::choose(cameras(), name));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Total media files: %1")
                                                .arg(MediaList::parse(camera.mediaList()).fileCount()),
                                  8000);
        QTRY_VERIFY_WITH_TIMEOUT(tile(kFirst), 5000);
    }

    // A HERO11 on its Wi-Fi and a HERO12 on a cable, both answering, same file names; the window
    // shows the one on Wi-Fi. beforeWindow sets what the cameras do before the window asks them.
    void openBoth(bool cableNow = true, const std::function<void()>& beforeWindow = {})
    {
        testsupport::installFreshDataTree();
        testsupport::writeDefaultModel("hero11");
        QVERIFY(m_wifi.start({"--model", "11", "--address", "10.5.5.9"}));
        QVERIFY(m_wifi.setMediaJson(card(2000)));
        if (cableNow) {
            QVERIFY(m_usb.startUsb(kSerial, {"--model", "12"}));
            QVERIFY(m_usb.setMediaJson(card(3000)));
        }
        if (beforeWindow)
            beforeWindow();
        m_window = std::make_unique<MainWindow>();
        m_window->resize(1280, 800);
        m_window->show();
        QStringList both{kWifi};
        if (cableNow)
            both << kCable;
        both.sort();
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::sortedNames(cameras()), both, 10000);
        for (const QString& name : std::as_const(both))
            QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras(), name) != "offline", 8000);
        show(kWifi, m_wifi);
    }

private slots:
    void init()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY(CamSim::joinNetwork());
    }
    void cleanup()
    {
        m_window.reset();
        m_usb.stop();
        CamSim::unplugUsb(kSerial);
        m_wifi.stop();
        CamSim::joinNetwork();
    }

    // A tick belongs to the camera it was made on: Delete on another camera deletes nothing of
    // a file of the same name, and the tick waits for its own camera. The question names the
    // camera and what it loses.
    void ticksStayWithTheirCamera()
    {
        PromptRecorder prompts;
        openBoth();
        tile(kFirst)->findChild<QCheckBox*>("checkBoxFile")->click();
        show(kCable, m_usb);
        QVERIFY(!tile(kFirst)->findChild<QCheckBox*>("checkBoxFile")->isChecked());
        // Nothing of this camera's is ticked: Delete is off, and its key asks nothing.
        QVERIFY(!m_window->findChild<QPushButton*>("pbDelete")->isEnabled());
        QVERIFY(QMetaObject::invokeMethod(m_window.get(), "slotDeleteFiles"));
        QCOMPARE(prompts.count(), 0);
        QTest::qWait(1000);
        QCOMPARE(m_usb.commands().filter("delete"), QStringList());
        QCOMPARE(m_wifi.commands().filter("delete"), QStringList());

        show(kWifi, m_wifi);
        QVERIFY(tile(kFirst)->findChild<QCheckBox*>("checkBoxFile")->isChecked());
        prompts.clear();
        click("pbDelete");
        QCOMPARE(prompts.count(), 1);
        QCOMPARE(prompts.requests().first().text, QString("Are you sure to delete selected files?"));
        QCOMPARE(prompts.requests().first().informativeText,
                 QString("HERO11 Black …461: 1 file (2 KB) on its card is deleted."));
        QVERIFY(m_wifi.waitForRequest("/gopro/media/delete/file?path=" + kFirst, 5000));
        QCOMPARE(m_usb.commands().filter("delete"), QStringList());
    }

    // Format asked of one camera, answered once another is shown (the first stopped answering and
    // a cable camera appeared while the question was open): nothing is formatted, and the user is
    // told why. Real boxes, which let the program run while they are open.
    void formatAnsweredAfterASwitch()
    {
        openBoth(false);
        RealDialogs dialogs;
        QString informative;
        bool wentOffline = false;
        bool switched = false;
        dialogs.onNextBox([&](QMessageBox* box) {
            informative = box->informativeText();
            CamSim::leaveNetwork();
            wentOffline = QTest::qWaitFor([&] { return cameralist::stateOf(cameras(), kWifi) == "offline"; }, 10000);
            m_usb.startUsb(kSerial, {"--model", "12"});
            switched = QTest::qWaitFor([&] { return cameralist::currentName(cameras()) == kCable; }, 10000);
            return QMessageBox::Ok;
        });
        click("pbFormat");
        QTRY_COMPARE_WITH_TIMEOUT(cameralist::currentName(cameras()), kCable, 20000);
        QVERIFY(wentOffline && switched);
        QTest::qWait(2000); // a format sent would have begun
        QCOMPARE(m_usb.state()["formatCount"].toInt(), 0);
        QCOMPARE(m_wifi.state()["formatCount"].toInt(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts().size(), 2, 20000);
        QCOMPARE(dialogs.texts().first(), QString("CAUTION: Are you sure to format?"));
        QVERIFY2(informative.contains("HERO11 Black …461: all 3 files (6 KB) on its card are erased."),
                 qPrintable(informative));
        QCOMPARE(dialogs.texts().at(1),
                 QString("Nothing was formatted: the camera shown changed from %1 to %2 while you were asked.")
                     .arg(kWifi, kCable));
        QCOMPARE(m_usb.commands().filter("delete"), QStringList());
    }

    // A long list read for one camera, still being parsed when another is chosen, is that camera's
    // card, never the other's grid.
    void listOfTheCameraLeftStaysItsOwn()
    {
        PromptRecorder prompts;
        openBoth();
        QVERIFY(m_wifi.setMediaCount(1000));
        const int total = int(MediaList::parse(m_wifi.mediaList()).count());
        QVERIFY(total > 256);
        // The cable camera's lists come late, as over a slow link: the other list has all the
        // time to land.
        QVERIFY(m_usb.delayNextList(3000, 4));
        click("pbRefresh");
        // Its newest files come first; the whole list a moment later.
        QVERIFY(QTest::qWaitFor([&] { return !grid()->media().isComplete() && grid()->media().count() > 0; }, 10000));
        QVERIFY(cameralist::choose(cameras(), kCable));
        QDeadlineTimer late(2000);
        while (!late.hasExpired()) {
            QVERIFY2(grid()->media().count() != total, "the list of the camera left landed in this one's grid");
            QTest::qWait(20);
        }
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Total media files: 3"), 8000);
        // Back to the first camera: its whole card.
        QVERIFY(cameralist::choose(cameras(), kWifi));
        QTRY_COMPARE_WITH_TIMEOUT(grid()->media().count(), total, 8000);
    }

    // A picture asked of one camera and a thumbnail on its way from it are shown for it only:
    // not in the other camera's viewer or on its tile of the same name.
    void answersOfTheCameraLeftAreDropped()
    {
        PromptRecorder prompts;
        // Both hold back the thumbnail of their newest file; the first sends a picture slowly.
        openBoth(true, [this] {
            QVERIFY(m_wifi.setFaultOf("thumbnail", kFirst, "stall"));
            QVERIFY(m_usb.setFaultOf("thumbnail", kFirst, "stall"));
            QVERIFY(m_wifi.setFault(kSecond, "slow", 0, 1000));
        });
        QTest::mouseDClick(tile(kSecond)->picture(), Qt::LeftButton);
        QVERIFY(m_wifi.waitForRequest("/videos/DCIM/" + kSecond, 5000));
        show(kCable, m_usb);
        QVERIFY(m_usb.waitForRequest("/gopro/media/thumbnail?path=" + kFirst, 8000));
        // Back to the first camera: its tiles take its files again, the same names as the other's.
        show(kWifi, m_wifi);
        QVERIFY(!tile(kFirst)->picture()->hasThumbnail());
        // The other camera's thumbnail comes now, for a tile that shows this camera's file.
        QVERIFY(m_usb.setFaultOf("thumbnail", kFirst, "none"));
        QTRY_VERIFY_WITH_TIMEOUT(m_usb.requests().last()["status"].toInt() == 200, 5000);
        QTest::qWait(500);
        QVERIFY2(!tile(kFirst)->picture()->hasThumbnail(), "the other camera's thumbnail shows on this one's tile");
        // Its own shows.
        QVERIFY(m_wifi.setFaultOf("thumbnail", kFirst, "none"));
        QTRY_VERIFY_WITH_TIMEOUT(tile(kFirst)->picture()->hasThumbnail(), 8000);

        // The picture asked on the first camera lands while the cable camera is shown.
        show(kCable, m_usb);
        QTest::qWait(2500); // 2 KB at 1 KB/s
        QVERIFY2(!m_window->findChild<dlgshowpict*>(), "the other camera's picture opened in this one's viewer");
    }

    // A newer camera streams its preview to this PC until told to stop: choosing another camera
    // tells it.
    void previewOfTheCameraLeftStops()
    {
        PromptRecorder prompts;
        openBoth();
        click("pbStart_LiveView"); // for another program, as the box is ticked from the start
        QTRY_VERIFY_WITH_TIMEOUT(m_wifi.state()["streaming"].toBool(), 5000);
        show(kCable, m_usb);
        QTRY_VERIFY_WITH_TIMEOUT(!m_wifi.state()["streaming"].toBool(), 5000);
        QCOMPARE(m_wifi.countRequests("/gopro/camera/stream/stop"), 1);
        QCOMPARE(m_usb.commands().filter("stream"), QStringList());
    }
};

VELKAMO_TEST_MAIN(TestBoundActions)
#include "tst_boundactions.moc"
