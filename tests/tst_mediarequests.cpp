// Each model family's card through the real window, in the requests its documentation lists:
// the older /gp/gpMediaList family up to HERO8, the documented /gopro/media requests from
// HERO9, the older list once for a HERO9 to HERO11 whose documented list answers 404, and
// turbo transfer from HERO9 only while files are fetched.
#include "camsim.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "picturelabel.h"
#include "previewform.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {

// Three files and a burst of three: six files on the card.
const QByteArray kCard = R"({"id":"7","media":[{"d":"100GOPRO","fs":[
 {"n":"GOPR0001.JPG","cre":"1700000100","mod":"1700000100","s":"5013927"},
 {"n":"GOPR0002.JPG","cre":"1700000200","mod":"1700000200","s":"4013927"},
 {"n":"GH010003.MP4","cre":"1700000300","mod":"1700000300","glrv":"806586","ls":"-1","s":"10725219"},
 {"n":"G0010004.JPG","cre":"1700000400","mod":"1700000400","g":"1","b":"4","l":"6","m":[],"s":"9000000","t":"b"}]}]})";
const QString kSingle = "100GOPRO/GOPR0001.JPG";
const QString kKept = "100GOPRO/GOPR0002.JPG";
const QString kBurst = "100GOPRO/G0010004.JPG";

} // namespace

class TestMediaRequests : public QObject
{
    Q_OBJECT

private:
    CamSim m_sim;
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<MainWindow> m_window;

    QString status() const { return m_window->statusBar()->currentMessage(); }
    PreviewForm* tile(const QString& path) const { return m_window->findChild<PreviewForm*>(path); }
    void setTicked(const QString& path, bool ticked)
    {
        auto* box = tile(path)->findChild<QCheckBox*>("checkBoxFile");
        if (box->isChecked() != ticked)
            box->click();
    }
    // The status of the first request to path in the camera's log; 0 while none is answered.
    int answerTo(const QString& path)
    {
        for (const QJsonValue& entry : m_sim.requests()) {
            if (entry.toObject()["path"].toString() == path)
                return entry.toObject()["status"].toInt();
        }
        return 0;
    }
    void click(const char* button) { m_window->findChild<QPushButton*>(button)->click(); }
    // Turbo transfer requests ("on", "off") and files fetched (their names), in arrival order.
    QStringList transfers()
    {
        QStringList seen;
        for (const QString& target : m_sim.targets(8080)) {
            const QString request = target.section(' ', 1);
            QString item;
            if (request.startsWith("/gopro/media/turbo_transfer?p="))
                item = request.endsWith("=1") ? "on" : request.endsWith("=0") ? "off" : request;
            else if (request.startsWith("/videos/DCIM/"))
                item = request.section('/', -1);
            // Qt asks again for a file whose connection the camera dropped.
            if (!item.isEmpty() && (seen.isEmpty() || seen.last() != item))
                seen << item;
        }
        return seen;
    }
    // The polls of the model's status request that arrived so far.
    int statusPolls(int model)
    {
        return m_sim.countRequests(model >= 9 ? "/gopro/camera/state" : "/gp/gpControl/status");
    }

    // The camera (model, as simulated with args) with kCard, and a window on it showing the card.
    void open(int model, const QStringList& args)
    {
        testsupport::writeDefaultModel(QStringLiteral("hero%1").arg(model));
        QVERIFY(m_sim.start(QStringList{"--model", QString::number(model)} + args));
        QVERIFY(m_sim.setMediaJson(kCard));
        m_window.reset(new MainWindow);
        m_window->resize(1100, 700);
        m_window->show();
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Total media files: 6"), 15000);
    }

private slots:
    void initTestCase() { testsupport::installFreshDataTree(); }

    void init()
    {
        m_prompts.reset(new PromptRecorder);
        m_folder.reset(new QTemporaryDir);
        QVERIFY(m_folder->isValid());
        m_prompts->setDefaultDirectory(m_folder->path());
    }

    void cleanup()
    {
        m_window.reset();
        m_sim.stop();
        m_prompts.reset();
        m_folder.reset();
    }

    // The grid, its thumbnails, a download and a delete of a single file and of a burst, each
    // in the model's own requests, and none of the other family's.
    void eachFamilyReadsItsCardInItsOwnRequests_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("thumbnail");
        QTest::addColumn<QString>("deleteFile");
        QTest::addColumn<QString>("deleteGroup");
        QTest::addColumn<QStringList>("neverSent");

        const QStringList older = {"/gp/gpMediaList", "/gp/gpMediaMetadata", "/gp/gpControl/command/storage/delete?"};
        const QString documentedGroup = "8080 /gp/gpControl/command/storage/delete/group?p=" + kBurst;
        QTest::newRow("HERO8") << 8 << QStringList() << "80 /gp/gpMediaMetadata?p=" + kKept
                               << "80 /gp/gpControl/command/storage/delete?p=/" + kSingle
                               << "80 /gp/gpControl/command/storage/delete/group?p=" + kBurst
                               << QStringList{"/gopro/media"};
        QTest::newRow("HERO9") << 9 << QStringList{"--no-legacy-media"}
                               << "8080 /gopro/media/thumbnail?path=" + kKept
                               << "8080 /gopro/media/delete/file?path=" + kSingle << documentedGroup << older;
        QTest::newRow("HERO12") << 12 << QStringList{"--no-legacy-media"}
                                << "8080 /gopro/media/thumbnail?path=" + kKept
                                << "8080 /gopro/media/delete/file?path=" + kSingle << documentedGroup << older;
    }
    void eachFamilyReadsItsCardInItsOwnRequests()
    {
        QFETCH(int, model);
        QFETCH(QStringList, args);
        QFETCH(QString, thumbnail);
        QFETCH(QString, deleteFile);
        QFETCH(QString, deleteGroup);
        QFETCH(QStringList, neverSent);
        open(model, args);
        if (QTest::currentTestFailed())
            return;
        m_window->findChild<QScrollArea*>("scrollAreaPictureView")->ensureWidgetVisible(tile(kKept));
        QTRY_VERIFY_WITH_TIMEOUT(tile(kKept)->picture()->hasThumbnail(), 10000);
        QVERIFY(m_sim.targets().contains(thumbnail));

        setTicked(kKept, true);
        click("pbDownload");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 30000);
        QCOMPARE(status(), QString("Downloaded 1 of 1 files to %1.").arg(m_folder->path()));
        QFile saved(m_folder->filePath("GOPR0002.JPG"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), qint64(4013927));

        setTicked(kKept, false);
        setTicked(kSingle, true);
        setTicked(kBurst, true);
        click("pbDelete");
        // What is left: the kept picture and the video.
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Total media files: 2"), 15000);
        const QStringList sent = m_sim.targets();
        QVERIFY2(sent.contains(deleteFile) && sent.contains(deleteGroup), qPrintable(sent.join('\n')));
        for (const QString& foreign : neverSent) {
            for (const QString& target : sent)
                QVERIFY2(!target.section(' ', 1).startsWith(foreign), qPrintable(target));
        }
    }

    // A HERO10 that answers its documented list with 404 is asked the older one once per
    // read, and the log says so; its card shows all the same.
    void documentedListRefusedFallsBackOnce()
    {
        LogCapture log;
        open(10, {"--no-documented-list"});
        if (QTest::currentTestFailed())
            return;
        QVERIFY(log.contains("asking the older list /gp/gpMediaList once"));

        // One read: one documented request, one older one, one log line.
        m_sim.clearLog();
        log.clear();
        click("pbRefresh");
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000));
        QCOMPARE(m_sim.countRequests("/gopro/media/list"), 1);
        QCOMPARE(log.count("asking the older list"), 1);

        // Both refused: the older list is not asked again, and the card shown stays.
        QVERIFY(m_sim.setMediaRequests(false, false));
        m_sim.clearLog();
        click("pbRefresh");
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000));
        QTRY_COMPARE_WITH_TIMEOUT(answerTo("/gp/gpMediaList"), 404, 5000);
        // A third request would follow the 404 at once; none may come.
        QTest::qWait(500);
        QCOMPARE(m_sim.countRequests("/gp/gpMediaList"), 1);
        QCOMPARE(m_sim.countRequests("/gopro/media/list"), 1);
        QCOMPARE(status(), QString("Total media files: 6"));
    }

    // Turbo transfer goes on before a download's first file and off after its last, however
    // the download ends; a camera that refuses it still sends its files. A HERO8 has none.
    void turboTransferOnlyWhileFilesCome_data()
    {
        QTest::addColumn<int>("model");
        // "ticked", "all cameras", "stop", "failing", "refused", "close", "close, camera silent"
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("files"); // fetched
        QTest::addColumn<QString>("summary"); // its beginning; %1: the folder

        const QString both = "Downloaded 2 of 2 files to %1.";
        const QString stopped = "Stopped: downloaded 0 of 2 files to %1.";
        QTest::newRow("HERO12") << 12 << "ticked" << 2 << both;
        QTest::newRow("HERO9") << 9 << "ticked" << 2 << both;
        QTest::newRow("HERO8") << 8 << "ticked" << 2 << both;
        QTest::newRow("HERO12, all cameras") << 12 << "all cameras" << 6 << "Downloaded from all cameras to %1.";
        QTest::newRow("HERO12, stopped") << 12 << "stop" << 1 << stopped;
        QTest::newRow("HERO12, a file fails") << 12 << "failing" << 2
                                              << "Downloaded 1 of 2 files to %1. Failed: GOPR0002.JPG (HTTP 404)";
        QTest::newRow("HERO12, turbo refused") << 12 << "refused" << 2 << both;
        QTest::newRow("HERO12, window closed") << 12 << "close" << 1 << stopped;
        QTest::newRow("HERO12, window closed, camera silent") << 12 << "close, camera silent" << 1 << stopped;
    }
    void turboTransferOnlyWhileFilesCome()
    {
        QFETCH(int, model);
        QFETCH(QString, how);
        QFETCH(int, files);
        QFETCH(QString, summary);
        open(model, {});
        if (QTest::currentTestFailed())
            return;
        LogCapture log;
        const bool slow = how == "stop" || how.startsWith("close");
        for (const QString& path : {kSingle, kKept}) {
            if (slow)
                QVERIFY(m_sim.setFault(path, "slow", 0, 64 * 1024));
            setTicked(path, true);
        }
        if (how == "failing")
            QVERIFY(m_sim.setFault(kKept, "404"));
        if (how == "refused")
            QVERIFY(m_sim.setTurbo(false, true));
        m_sim.clearLog();

        if (how == "all cameras")
            m_window->findChild<QToolButton*>("pbDownloadMenu")->menu()->actions().value(0)->trigger();
        else
            click("pbDownload");
        qint64 closing = -1;
        QJsonObject lastTurbo; // the last turbo request the camera had when close() returned
        if (slow) {
            // Polls that tell turbo on come meanwhile: a download holds it.
            QTRY_VERIFY_WITH_TIMEOUT(transfers().size() == 2, 15000);
            const int polls = statusPolls(model);
            QTRY_VERIFY_WITH_TIMEOUT(statusPolls(model) >= polls + 2, 10000);
            if (how == "close, camera silent")
                QVERIFY(m_sim.setAnswer("stall"));
            QElapsedTimer timer;
            timer.start();
            if (how == "stop")
                click("pbStopDownload");
            else
                QVERIFY(m_window->close());
            closing = timer.elapsed();
            for (const QJsonValue& entry : m_sim.requests()) {
                if (entry.toObject()["path"].toString() == "/gopro/media/turbo_transfer")
                    lastTurbo = entry.toObject();
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(summary.arg(m_folder->path())), 30000);
        // Turbo off goes out as the batch ends, beside the summary: its request may come a moment later.
        if (model >= 9)
            QTRY_VERIFY_WITH_TIMEOUT(transfers().contains("off"), 5000);
        const QStringList sent = transfers();
        if (how.startsWith("close")) {
            // Asked before the window let the program end; a camera that does not answer
            // holds it for a moment only.
            QCOMPARE(lastTurbo["query"].toString(), QString("p=0"));
            QCOMPARE(lastTurbo["status"].toInt(), how == "close" ? 200 : 0);
            QVERIFY2(closing < 4000, qPrintable(QString::number(closing)));
            QVERIFY(m_sim.setAnswer("normal"));
        }
        if (model < 9) {
            QCOMPARE(sent.size(), files);
            QVERIFY2(!sent.contains("on") && !sent.contains("off"), qPrintable(sent.join(' ')));
            return;
        }
        QVERIFY2(sent.size() == files + 2 && sent.first() == "on" && sent.last() == "off"
                     && sent.count("on") == 1 && sent.count("off") == 1,
                 qPrintable(sent.join(' ')));
        if (how == "refused") {
            QVERIFY(log.contains("turbo transfer on refused"));
            QVERIFY(log.contains("turbo transfer off refused"));
        }
    }

    // A camera found in turbo transfer while nothing downloads from it (a download that
    // crashed left it so) shows "Transferring Media" and takes nothing else: it is switched
    // off, once for each time it is found so, not at every poll.
    void turboFoundOnIsSwitchedOff_data()
    {
        QTest::addColumn<int>("model");
        QTest::newRow("HERO12") << 12;
        QTest::newRow("HERO9") << 9;
        QTest::newRow("HERO8") << 8;
    }
    void turboFoundOnIsSwitchedOff()
    {
        QFETCH(int, model);
        open(model, {"--turbo"});
        if (QTest::currentTestFailed())
            return;
        // No HERO8 tells it; one that did would still get no request.
        if (model < 9)
            QVERIFY(m_sim.overrideStatusId(113, "1"));
        const QString off = "/gopro/media/turbo_transfer?p=0";
        for (int finding = 1; finding <= 2; ++finding) {
            if (model >= 9)
                QVERIFY(m_sim.waitForRequest(off, 10000, finding));
            const int polls = statusPolls(model);
            QTRY_VERIFY_WITH_TIMEOUT(statusPolls(model) >= polls + 2, 10000);
            QCOMPARE(m_sim.countRequests(off), model >= 9 ? finding : 0);
            QCOMPARE(m_sim.countRequests("/gopro/media/turbo_transfer?p=1"), 0);
            // Another program switches it on again.
            QVERIFY(m_sim.setTurbo(true));
        }
    }
};

VELKAMO_TEST_MAIN(TestMediaRequests)
#include "tst_mediarequests.moc"
