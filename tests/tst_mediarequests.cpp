// Each model family's card through the real window, in the requests its documentation lists:
// the older /gp/gpMediaList family up to HERO8, the documented /gopro/media requests from
// HERO9, and the older list once for a HERO9 to HERO11 whose documented list answers 404.
#include "camsim.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "picturelabel.h"
#include "previewform.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTemporaryDir>

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
};

VELKAMO_TEST_MAIN(TestMediaRequests)
#include "tst_mediarequests.moc"
