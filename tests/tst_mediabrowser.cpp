// The media browser end to end: the real main window against the camera simulator, from
// the media list to tiles, thumbnails, selection, downloads, deletes and the picture viewer.

#include "camsim.h"
#include "dlgshowpict.h"
#include "logcapture.h"
#include "medialist.h"
#include "mainwindow.h"
#include "picturelabel.h"
#include "previewform.h"
#include "promptrecorder.h"
#include "recordingproxy.h"
#include "testsupport.h"
#include "thumbnailqueue.h"
#include "zoommath.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

// mod values chosen so that newest-first differs from list order, with one tie.
const QByteArray kTenFiles = R"({"id":"1","media":[
 {"d":"100GOPRO","fs":[
  {"n":"GOPR0001.JPG","mod":"1600000100"},
  {"n":"GH010002.MP4","mod":"1600000900"},
  {"n":"GOPR0003.JPG","mod":"1600000500"},
  {"n":"G0010004.JPG","mod":"1600000700","g":"1","b":"4","l":"8","t":"b"},
  {"n":"G0010009.JPG","mod":"1600000700","g":"2","b":"9","l":"12","t":"b"}]},
 {"d":"101GOPRO","fs":[
  {"n":"GOPR0010.JPG","mod":"1600000300"},
  {"n":"GH010011.MP4","mod":"1600001000"},
  {"n":"GOPR0012.JPG","mod":"1600000200"},
  {"n":"GOPR0013.JPG","mod":"4102444800"},
  {"n":"GOPR0014.JPG","mod":"1600000600"}]}]})";

const QStringList kTenNewestFirst = {
    "101GOPRO/GOPR0013.JPG", "101GOPRO/GH010011.MP4", "100GOPRO/GH010002.MP4",
    "100GOPRO/G0010004.JPG", "100GOPRO/G0010009.JPG", "101GOPRO/GOPR0014.JPG",
    "100GOPRO/GOPR0003.JPG", "101GOPRO/GOPR0010.JPG", "101GOPRO/GOPR0012.JPG",
    "100GOPRO/GOPR0001.JPG"};

} // namespace

#define OPEN_ON(json, tiles)                                                                      \
    do {                                                                                          \
        openOn(json, tiles);                                                                      \
        if (QTest::currentTestFailed())                                                           \
            return;                                                                               \
    } while (false)

class TestMediaBrowser : public QObject
{
    Q_OBJECT

private:
    RecordingProxy m_proxy;
    CamSim m_sim;
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QNetworkAccessManager m_nam;
    QStringList m_faulted;

    void setFault(const QString& path, const QString& kind, qint64 bytes = 0, qint64 rate = 0)
    {
        QVERIFY(m_sim.setFault(path, kind, bytes, rate));
        m_faulted << path;
    }

    QList<PreviewForm*> tiles() const
    {
        return m_window->findChild<QScrollArea*>("scrollAreaPictureView")->findChildren<PreviewForm*>();
    }
    QStringList tileNames() const
    {
        QStringList names;
        for (PreviewForm* tile : tiles())
            names << tile->objectName();
        return names;
    }
    QScrollArea* area() const { return m_window->findChild<QScrollArea*>("scrollAreaPictureView"); }
    // The tile of path, scrolled into view: tiles exist only for the rows near the view.
    PreviewForm* tile(const QString& path) const
    {
        QScrollBar* bar = area()->verticalScrollBar();
        for (int value = 0;; value += bar->pageStep()) {
            if (PreviewForm* found = m_window->findChild<PreviewForm*>(path)) {
                area()->ensureWidgetVisible(found);
                return found;
            }
            if (value > bar->maximum())
                return nullptr;
            bar->setValue(value);
        }
    }
    QCheckBox* box(const QString& path) const { return tile(path)->findChild<QCheckBox*>("checkBoxFile"); }
    QString status() const { return m_window->statusBar()->currentMessage(); }
    QString tip() const { return m_window->findChild<QLabel*>("label_fileName")->text(); }
    void click(const char* button) { m_window->findChild<QPushButton*>(button)->click(); }
    void tick(const QString& path) { box(path)->click(); }

    // A fresh window on the given card, online and with its grid built.
    void openOn(const QByteArray& mediaJson, int files)
    {
        QVERIFY(m_sim.setMediaJson(mediaJson));
        const int lists = m_sim.countRequests("/gp/gpMediaList");
        m_window.reset(new MainWindow);
        m_window->resize(1280, 800);
        m_window->show();
        // The window asks for the list at start and again when it goes online (on the first
        // answer from the camera); wait for both, then for a grid that stays as it is.
        QVERIFY2(m_sim.waitForRequest("/gp/gpMediaList", 12000, lists + 2),
                 qPrintable(m_sim.targets().join('\n')));
        QDeadlineTimer deadline(10000);
        for (;;) {
            const QList<PreviewForm*> before = tiles();
            QTest::qWait(300);
            if (!before.isEmpty() && tiles() == before
                && status() == QString("Total media files: %1").arg(files))
                break;
            QVERIFY2(!deadline.hasExpired(), qPrintable(status()));
        }
    }
    void refreshAndWait(int expectedTiles)
    {
        const int lists = m_sim.countRequests("/gp/gpMediaList");
        click("pbRefresh");
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000, lists + 1));
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), expectedTiles, 5000);
    }
    // What the camera itself answers, fetched past the program.
    QByteArray fetchFromCamera(const QString& url)
    {
        QNetworkReply* reply = m_nam.get(QNetworkRequest(QUrl(url)));
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(20000);
        reply->deleteLater();
        return reply->readAll();
    }
    QByteArray cameraBytes(const QString& mediaPath)
    {
        return fetchFromCamera("http://10.5.5.9:8080/videos/DCIM/" + mediaPath);
    }
    QImage cameraThumbnail(const QString& mediaPath)
    {
        return QImage::fromData(fetchFromCamera("http://10.5.5.9/gp/gpMediaMetadata?p=" + mediaPath));
    }
    // What the grid shows of a tile: its picture label as painted in the scroll area's view
    // holds the whole thumbnail at its own size (left-aligned, centred up and down).
    bool viewShowsThumbnail(PreviewForm* t, const QImage& expected)
    {
        auto* area = m_window->findChild<QScrollArea*>("scrollAreaPictureView");
        PictureLabel* label = t->picture();
        const QRect inView(label->mapTo(area->viewport(), QPoint(0, 0)), label->size());
        if (expected.isNull() || !area->viewport()->rect().contains(inView))
            return false;
        const QImage view = area->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint at = inView.topLeft() + QPoint(0, (label->height() - expected.height()) / 2);
        return view.copy(QRect(at, expected.size())) == expected.convertToFormat(QImage::Format_RGB32);
    }
    QStringList filesUnder(const QString& dir) const
    {
        QStringList found;
        QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(dir).relativeFilePath(it.next());
        found.sort();
        return found;
    }

private slots:
    void initTestCase()
    {
        // A managed PC's proxy in the environment: no camera request may go there.
        QVERIFY(m_proxy.start());
        m_nam.setProxy(QNetworkProxy::NoProxy);
        testsupport::installFreshDataTree();
        QVERIFY(m_sim.start({"--media-count", "0"}));
    }

    void cleanupTestCase()
    {
        QVERIFY2(m_proxy.connections() == 0, m_proxy.firstRequest().constData());
    }

    void init()
    {
        m_prompts.reset(new PromptRecorder);
        m_tmp.reset(new QTemporaryDir);
        QVERIFY(m_tmp->isValid());
        m_prompts->setDefaultDirectory(m_tmp->path());
        m_sim.clearLog(); // counts are per case: cards of different cases share file names
    }

    void cleanup()
    {
        m_window.reset();
        m_prompts.reset();
        m_tmp.reset();
        for (const QString& path : std::exchange(m_faulted, {}))
            m_sim.setFault(path, "none");
        m_sim.setAnswer("normal");
    }

    void gridNewestFirstAndColumnReflow()
    {
        OPEN_ON(kTenFiles, 10);
        QCOMPARE(tileNames(), kTenNewestFirst);
        QCOMPARE(status(), QString("Total media files: 10"));

        // Row i / columns, column i % columns: one top edge per row, one left edge per
        // column, newest at the top left.
        const auto positionsAre = [&](int columns) {
            QList<QRect> cells;
            for (const QString& path : kTenNewestFirst) {
                const PreviewForm* t = tile(path);
                cells << (t ? t->geometry() : QRect());
            }
            for (int i = 0; i < cells.size(); ++i) {
                const QRect& cell = cells.at(i);
                if (!cell.isValid() || cell.y() != cells.at(i - i % columns).y()
                    || cell.x() != cells.at(i % columns).x()
                    || (i % columns > 0 && cell.x() <= cells.at(i - 1).right())
                    || (i >= columns && cell.y() <= cells.at(i - columns).bottom())) {
                    qWarning() << kTenNewestFirst.at(i) << "at" << cell;
                    return false;
                }
            }
            return true;
        };
        QVERIFY(positionsAre(4));
        m_window->findChild<QSlider*>("horizontalSlider")->setValue(3);
        QVERIFY(positionsAre(3));
        m_window->findChild<QSlider*>("horizontalSlider")->setValue(8);
        QVERIFY(positionsAre(8));

        // Every tile gets its real thumbnail and its file name.
        for (PreviewForm* t : tiles()) {
            auto* name = t->findChild<QLabel*>("labelFile");
            QCOMPARE(name->text(), t->objectName().section('/', 1));
            QCOMPARE(name->textFormat(), Qt::PlainText);
        }
        const QList<PreviewForm*> all = tiles();
        QCOMPARE(all.size(), 10);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(all.begin(), all.end(),
                        [](PreviewForm* t) { return !t->picture()->image().isNull(); }),
            10000);
        // Shown as the camera sent it, at its own size; its room was kept from the start.
        PreviewForm* newest = tile("101GOPRO/GOPR0013.JPG");
        const QImage thumbnail = cameraThumbnail(newest->objectName());
        QCOMPARE(newest->picture()->image(), thumbnail);
        QCOMPARE(newest->picture()->sizeHint(), thumbnail.size());
        area()->ensureWidgetVisible(newest);
        QVERIFY(viewShowsThumbnail(newest, thumbnail));
    }

    void badListsEmptyTheGrid_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("tiles");
        QTest::newRow("not json") << QByteArray("<html>gone</html>") << 0;
        QTest::newRow("no media") << QByteArray(R"({"id":"1"})") << 0;
        QTest::newRow("dir without d or fs") << QByteArray(
            R"({"media":[{"fs":[{"n":"A.JPG","mod":"1"}]},{"d":"100GOPRO"}]})") << 0;
        QTest::newRow("mod not a string") << QByteArray(
            R"({"media":[{"d":"100GOPRO","fs":[{"n":"A.JPG","mod":17},{"n":"B.JPG","mod":"5"}]}]})") << 2;
    }
    void badListsEmptyTheGrid()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, tiles);
        OPEN_ON(kTenFiles, 10);
        QVERIFY(m_sim.setMediaJson(body));
        refreshAndWait(tiles);
        if (tiles == 0) {
            // The status keeps what it said before; no message box.
            QCOMPARE(status(), QString("Total media files: 10"));
            QCOMPARE(m_prompts->count(), 0);
        } else {
            QCOMPARE(tileNames(), QStringList({"100GOPRO/B.JPG", "100GOPRO/A.JPG"}));
        }
    }

    void tickTextsAndSelectionAcrossRebuilds()
    {
        OPEN_ON(kTenFiles, 10);
        QSignalSpy ticks(tile("100GOPRO/GOPR0001.JPG"), &PreviewForm::selectedChanged);
        tick("100GOPRO/GOPR0001.JPG");
        tick("101GOPRO/GOPR0010.JPG");
        QCOMPARE(tip(), QString("GOPR0010.JPG"));
        tick("101GOPRO/GOPR0010.JPG");
        QCOMPARE(tip(), QString("GOPR0001.JPG"));
        tick("100GOPRO/GOPR0001.JPG");
        QCOMPARE(tip(), QString());
        QCOMPARE(ticks.size(), 2);
        QCOMPARE(ticks.at(0), QVariantList({true, "100GOPRO/GOPR0001.JPG"}));
        QCOMPARE(ticks.at(1), QVariantList({false, "100GOPRO/GOPR0001.JPG"}));
        QVERIFY(!tile("100GOPRO/GOPR0001.JPG")->findChild<QCheckBox*>()->isChecked());

        tick("100GOPRO/GOPR0003.JPG");
        tick("101GOPRO/GOPR0012.JPG");
        refreshAndWait(10);
        QVERIFY(tile("100GOPRO/GOPR0003.JPG")->findChild<QCheckBox*>("checkBoxFile")->isChecked());
        QVERIFY(tile("101GOPRO/GOPR0012.JPG")->isSelected());
        QVERIFY(!tile("101GOPRO/GOPR0010.JPG")->isSelected());

        // GOPR0012 leaves the card: it leaves the selection, so Delete acts on GOPR0003 only.
        QByteArray without = kTenFiles;
        without.replace(R"({"n":"GOPR0012.JPG","mod":"1600000200"},)", "");
        QVERIFY(m_sim.setMediaJson(without));
        refreshAndWait(9);
        QCOMPARE(tip(), QString("GOPR0003.JPG"));
        m_sim.clearLog();
        click("pbDelete");
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete", 5000));
        QTest::qWait(300);
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage/delete"), 1);
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage/delete?p=/100GOPRO/GOPR0003.JPG"), 1);
    }

    void downloadBatchIsByteExact()
    {
        m_sim.setMediaCount(30);
        const QByteArray list = m_sim.mediaList();
        OPEN_ON(list, 30);
        const QStringList names = tileNames();
        QStringList chosen;
        for (const QString& path : names) {
            if (chosen.size() < 4 && (path.endsWith(".MP4") || chosen.size() < 2))
                chosen << path;
        }
        QCOMPARE(chosen.size(), 4);
        for (const QString& path : chosen)
            tick(path);

        click("pbDownload");
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().kind, Prompt::Kind::Directory);
        QCOMPARE(m_prompts->requests().first().title, QString("Open Directory"));
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 30000);
        QCOMPARE(status(), QString("Downloaded 4 of 4 files to %1.").arg(m_tmp->path()));

        QStringList expected;
        for (const QString& path : chosen) {
            const QString name = path.section('/', 1);
            expected << name;
            QFile file(m_tmp->filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray camera = cameraBytes(path);
            QVERIFY(camera.size() > 1000);
            QVERIFY2(file.readAll() == camera, qPrintable(name));
        }
        expected.sort();
        QCOMPARE(filesUnder(m_tmp->path()), expected); // no .part left behind
    }

    // Camera numbering starts again after a format, and two folders hold the same names:
    // nothing already in the folder is replaced, and the same batch fetched again writes
    // nothing new.
    void downloadsNeverOverwrite()
    {
        OPEN_ON(R"({"id":"1","media":[
            {"d":"100GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"1600000100","s":"600000"},
                                  {"n":"GOPR0002.JPG","mod":"1600000200","s":"600000"}]},
            {"d":"101GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"1600000300","s":"600001"}]}]})",
                3);
        const QStringList batch = {"100GOPRO/GOPR0001.JPG", "101GOPRO/GOPR0001.JPG",
                                   "100GOPRO/GOPR0002.JPG"};
        const auto write = [this](const QString& name, const QByteArray& bytes) {
            QFile file(m_tmp->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write("GOPR0001.JPG", "an older picture of the same name");
        write("GOPR0002.JPG", cameraBytes(batch.at(2)));
        for (const QString& path : batch)
            tick(path);

        const QString saved = QString("Downloaded %1 of 3 files to %2.").arg("%1", m_tmp->path());
        click("pbDownload");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 30000);
        QCOMPARE(status(), saved.arg(2) + " 1 already there, skipped. Saved under new names: "
                                          "GOPR0001 (2).JPG, GOPR0001 (3).JPG.");
        const QMap<QString, QByteArray> expected = {
            {"GOPR0001.JPG", "an older picture of the same name"},
            {"GOPR0001 (2).JPG", cameraBytes(batch.at(0))},
            {"GOPR0001 (3).JPG", cameraBytes(batch.at(1))},
            {"GOPR0002.JPG", cameraBytes(batch.at(2))},
        };
        const auto folderHoldsExpected = [&] {
            QCOMPARE(filesUnder(m_tmp->path()), QStringList(expected.keys()));
            for (auto it = expected.begin(); it != expected.end(); ++it) {
                QFile file(m_tmp->filePath(it.key()));
                QVERIFY(file.open(QIODevice::ReadOnly));
                QVERIFY2(file.readAll() == it.value(), qPrintable(it.key()));
            }
        };
        folderHoldsExpected();

        m_window->statusBar()->clearMessage();
        click("pbDownload");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 30000);
        QCOMPARE(status(), saved.arg(0) + " 3 already there, skipped.");
        folderHoldsExpected();
    }

    void downloadRefusedWhileABatchRuns()
    {
        m_sim.setMediaCount(10);
        OPEN_ON(m_sim.mediaList(), 10);
        const QString slow = tiles().at(0)->objectName();
        setFault(slow, "slow", 0, 200 * 1024);
        tick(slow);
        tick(tiles().at(1)->objectName());
        click("pbDownload");
        QVERIFY(m_sim.waitForRequest("/videos/DCIM/" + slow, 5000));
        click("pbDownload");
        QCOMPARE(status(), QString("A download is already running; wait until it has finished."));
        QCOMPARE(m_prompts->count(), 1); // no second folder question
        // Refresh during the batch: the list is not taken for the download's end.
        click("pbRefresh");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 60000);
        QCOMPARE(status(), QString("Downloaded 2 of 2 files to %1.").arg(m_tmp->path()));
        QCOMPARE(m_sim.countRequests("/videos/DCIM/" + slow), 1);
        QFile file(m_tmp->filePath(slow.section('/', 1)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), cameraBytes(slow));
    }

    void failedTransfersNeverKeepTheRealName_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("cut mid-file") << "truncate";
        QTest::newRow("short but complete answer") << "short";
        QTest::newRow("not found") << "404";
        QTest::newRow("server error") << "500";
        QTest::newRow("camera stops sending") << "stall";
    }
    void failedTransfersNeverKeepTheRealName()
    {
        QFETCH(QString, fault);
        m_sim.setMediaCount(10);
        OPEN_ON(m_sim.mediaList(), 10);
        QStringList chosen = {tiles().at(0)->objectName(), tiles().at(1)->objectName(),
                              tiles().at(2)->objectName()};
        setFault(chosen.at(1), fault);
        for (const QString& path : chosen)
            tick(path);
        click("pbDownload");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 45000);
        const QString failed = chosen.at(1).section('/', 1);
        QVERIFY2(status().startsWith(QString("Downloaded 2 of 3 files to %1. Failed: %2 (")
                                         .arg(m_tmp->path(), failed)),
                 qPrintable(status()));
        // The batch went on past the failure, and nothing sits under the failed name.
        QStringList expected = {chosen.at(0).section('/', 1), chosen.at(2).section('/', 1)};
        expected.sort();
        QCOMPARE(filesUnder(m_tmp->path()), expected);
    }

    void hostileNamesStayInTheFolder()
    {
        const QByteArray hostile = R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"../../escaped.JPG","mod":"9"},
            {"n":"..","mod":"8"},
            {"n":"..\\win.JPG","mod":"7"},
            {"n":"<font color=red>R.JPG","mod":"6"},
            {"n":"GOPR0001.JPG","mod":"5"}]}]})";
        OPEN_ON(hostile, 5);
        // Markup in a name is shown as it is.
        auto* label = tile("100GOPRO/<font color=red>R.JPG")->findChild<QLabel*>("labelFile");
        QCOMPARE(label->text(), QString("<font color=red>R.JPG"));
        QCOMPARE(label->textFormat(), Qt::PlainText);

        for (PreviewForm* t : tiles())
            t->findChild<QCheckBox*>("checkBoxFile")->click();
        QCOMPARE(m_window->findChild<QLabel*>("label_fileName")->textFormat(), Qt::PlainText);
        const QString folder = m_tmp->filePath("a/b");
        QVERIFY(QDir().mkpath(folder));
        m_prompts->setDefaultDirectory(folder);
        click("pbDownload");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 30000);
        QVERIFY2(status().startsWith(QString("Downloaded 2 of 5 files")), qPrintable(status()));
        QVERIFY(status().contains("../../escaped.JPG (unsafe file name, skipped)"));
        QVERIFY(status().contains(".. (unsafe file name, skipped)"));
        QVERIFY(status().contains("..\\win.JPG (unsafe file name, skipped)"));
        QCOMPARE(filesUnder(m_tmp->path()),
                 QStringList({"a", "a/b", "a/b/<font color=red>R.JPG", "a/b/GOPR0001.JPG"}));
        // The camera was never asked for the skipped files.
        QCOMPARE(m_sim.countRequests("/videos/DCIM/100GOPRO/.."), 0);
    }

    void deleteGoesOutInReverseThenRefreshes()
    {
        OPEN_ON(kTenFiles, 10);
        const QStringList ticked = {"100GOPRO/GOPR0001.JPG", "101GOPRO/GH010011.MP4",
                                    "100GOPRO/GOPR0003.JPG"};
        for (const QString& path : ticked)
            tick(path);

        // Cancel changes nothing.
        m_prompts->answerNext(QMessageBox::Cancel);
        m_sim.clearLog();
        click("pbDelete");
        QTest::qWait(300);
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command"), 0);
        QCOMPARE(m_sim.countRequests("/gp/gpMediaList"), 0);

        LogCapture log;
        click("pbDelete");
        const Prompt::Request question = m_prompts->requests().last();
        QCOMPARE(question.title, QString("Warnning"));
        QCOMPARE(question.text, QString("Are you sure to delete selected files?"));
        // Sent newest tick first (they may reach the camera in any order: several connections).
        QStringList sent;
        for (const QString& line : log.lines()) {
            if (line.contains("send command: "))
                sent << line.section("?p=/", 1).remove('"');
        }
        QCOMPARE(sent, QStringList({ticked.at(2), ticked.at(1), ticked.at(0)}));
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete", 5000, 3));
        for (const QString& path : ticked)
            QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage/delete?p=/" + path), 1);
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000));
        // Asked for once every delete was carried out (0.2 s each), never before.
        const qint64 deleted =
            m_sim.arrivalTimes("/gp/gpControl/command/storage/delete").last() + 200;
        QVERIFY(m_sim.arrivalTimes("/gp/gpMediaList").first() >= deleted);
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), 7, 5000);
        for (const QString& path : ticked)
            QVERIFY(!tile(path));
        QCOMPARE(tip(), QString());

        // Nothing ticked: still asks, then only refreshes.
        m_sim.clearLog();
        const int questions = m_prompts->count();
        click("pbDelete");
        QCOMPARE(m_prompts->count(), questions + 1);
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000));
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage/delete"), 0);
    }

    void pictureDoubleClickOpensTheViewer()
    {
        OPEN_ON(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"GOPR0001.JPG","mod":"3"},{"n":"GH010002.MP4","mod":"2"},{"n":"clip.mp4","mod":"1"}]}]})", 3);
        PictureLabel* picture = tile("100GOPRO/GOPR0001.JPG")->picture();
        QTest::mouseDClick(picture, Qt::RightButton);
        QTest::qWait(200);
        QVERIFY(!m_window->findChild<dlgshowpict*>());

        QTest::mouseDClick(picture, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<dlgshowpict*>(), 10000);
        auto* dialog = m_window->findChild<dlgshowpict*>();
        QCOMPARE(dialog->windowTitle(), QString("GOPR0001.JPG"));
        QVERIFY(dialog->isVisible());
        PictureShow* show = dialog->picture();
        const QImage expected = QImage::fromData(cameraBytes("100GOPRO/GOPR0001.JPG"));
        QVERIFY(!expected.isNull());
        QCOMPARE(show->image().size(), expected.size());
        const QRect screen = QGuiApplication::primaryScreen()->availableVirtualGeometry();
        const QSize area(int(screen.width() / 1.5), int(screen.height() / 1.5));
        const float fit = std::min(float(area.width()) / expected.width(),
                                   float(area.height()) / expected.height());
        QCOMPARE(show->scale(), fit);

        // Slider: relative steps of a tenth.
        auto* slider = dialog->findChild<QSlider*>("horizontalSlider");
        QCOMPARE(slider->value(), 20);
        slider->setValue(21);
        QCOMPARE(show->scale(), float(fit * 1.1));
        slider->setValue(20);
        QCOMPARE(show->scale(), float(double(float(fit * 1.1)) * 0.9));
        slider->setValue(1); // 19 steps down in one jump: bounded, not negative
        QCOMPARE(show->scale(), ZoomMath::kMinScale);
        slider->setValue(11);
        QVERIFY(show->scale() > ZoomMath::kMinScale);

        // Wheel.
        const float beforeWheel = show->scale();
        QWheelEvent up(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(show, &up);
        QCOMPARE(show->scale(), float(beforeWheel * 1.1));

        // Drag with the left button pans; with the right one it does not.
        QTest::mousePress(show, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QMouseEvent move(QEvent::MouseMove, QPointF(80, 40), show->mapToGlobal(QPointF(80, 40)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(show, &move);
        QCOMPARE(show->offset(), QPoint(30, -10));
        QMouseEvent rightMove(QEvent::MouseMove, QPointF(120, 90), show->mapToGlobal(QPointF(120, 90)),
                              Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(show, &rightMove);
        QCOMPARE(show->offset(), QPoint(30, -10));
        show->grab(); // paints without failing

        // Double-clicking the viewer downloads nothing more.
        const int downloads = m_sim.countRequests("/videos/DCIM/100GOPRO/GOPR0001.JPG");
        QTest::mouseDClick(show, Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(m_sim.countRequests("/videos/DCIM/100GOPRO/GOPR0001.JPG"), downloads);

        // Closing deletes it.
        QPointer<dlgshowpict> guard(dialog);
        dialog->close();
        QTRY_VERIFY(!guard);

        // An upper-case MP4 asks the window to play it (the player's business); no picture
        // dialog.
        PreviewForm* video = tile("100GOPRO/GH010002.MP4");
        QSignalSpy play(video, &PreviewForm::doubleClicked);
        QTest::mouseDClick(video->picture(), Qt::LeftButton);
        QCOMPARE(play.size(), 1);
        QCOMPARE(play.first().first().toString(), QString("100GOPRO/GH010002.MP4"));
        QTest::qWait(300);
        QVERIFY(!m_window->findChild<dlgshowpict*>());

        // Camera videos end in upper case; a lower-case "mp4" is handled as a picture, and
        // bytes that are no picture give a message, not an empty viewer.
        PreviewForm* lower = tile("100GOPRO/clip.mp4");
        QSignalSpy noPlay(lower, &PreviewForm::doubleClicked);
        QTest::mouseDClick(lower->picture(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_prompts->count() == 1, 10000);
        QCOMPARE(noPlay.size(), 0);
        QCOMPARE(m_prompts->requests().last().text,
                 QString("clip.mp4 could not be shown: the camera sent no picture"));
        // So does a picture whose download fails.
        setFault("100GOPRO/GOPR0001.JPG", "404");
        QTest::mouseDClick(picture, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_prompts->count() == 2, 10000);
        QVERIFY(m_prompts->requests().last().text.startsWith("GOPR0001.JPG could not be shown: "));
        QTest::qWait(200);
        QVERIFY(!m_window->findChild<dlgshowpict*>());
    }

    // Delete while the camera does not answer: one warning, and the ticks stay for when it
    // is back.
    void deleteWhileOfflineKeepsTheTicks()
    {
        OPEN_ON(kTenFiles, 10);
        const QStringList ticked = {"100GOPRO/GOPR0001.JPG", "101GOPRO/GOPR0012.JPG"};
        for (const QString& path : ticked)
            tick(path);
        QVERIFY(m_sim.setAnswer("stall"));
        QTRY_VERIFY_WITH_TIMEOUT(tip().startsWith("connecting to WiFi"), 9000);
        click("pbDelete");
        QCOMPARE(m_prompts->count(), 2); // the question and one warning
        QCOMPARE(m_prompts->requests().last().text, QString("Maybe connection is lost."));

        QVERIFY(m_sim.setAnswer("normal"));
        QTRY_VERIFY_WITH_TIMEOUT(tip().isEmpty(), 5000);
        m_sim.clearLog();
        click("pbDelete");
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete", 5000, 2));
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), 8, 5000);
        for (const QString& path : ticked)
            QVERIFY(!tile(path));
    }

    // A card far larger than the view: tiles only for the rows near it, thumbnails as they
    // come into it, and ticks that reach files without a tile (out of view) for Download,
    // Delete, Shift+click ranges, Select all and Select none.
    void largeCardTilesOnlyNearTheView()
    {
        m_sim.setMediaCount(240);
        const QByteArray list = m_sim.mediaList();
        const MediaList card = MediaList::parse(list);
        QStringList grid;
        for (const MediaList::Entry& entry : card.newestFirst())
            grid << entry.path;
        const int n = int(grid.size());
        OPEN_ON(list, n);
        QScrollBar* bar = area()->verticalScrollBar();
        QVERIFY(tiles().size() < n / 4);
        QVERIFY(bar->maximum() > 8 * bar->pageStep()); // the scroll range of the whole grid

        // Jumping to the bottom reuses the tiles; files only passed over are never asked for.
        bar->setValue(bar->maximum() / 2);
        const QStringList passedOver = tileNames();
        bar->setValue(bar->maximum());
        PreviewForm* last = m_window->findChild<PreviewForm*>(grid.last());
        QVERIFY(last);
        QTRY_VERIFY_WITH_TIMEOUT(last->picture()->hasThumbnail(), 10000);
        QCOMPARE(last->picture()->image(), cameraThumbnail(grid.last()));
        QVERIFY(tiles().size() < n / 4);
        QVERIFY(!passedOver.isEmpty());
        for (const QString& path : passedOver)
            QCOMPARE(m_sim.countRequests("/gp/gpMediaMetadata?p=" + path), 0);
        QVERIFY(ThumbnailQueue::shared()->peakInFlight() <= 4);
        // Back at the top the thumbnails are there at once, without asking again.
        const int asked = m_sim.countRequests("/gp/gpMediaMetadata?p=" + grid.first());
        bar->setValue(0);
        QVERIFY(m_window->findChild<PreviewForm*>(grid.first())->picture()->hasThumbnail());
        QCOMPARE(m_sim.countRequests("/gp/gpMediaMetadata?p=" + grid.first()), asked);

        // Shift+click: the range from the previous click, as if each had been clicked in
        // grid order; then unticked back down to the fourth file.
        tick(grid.at(1));
        QTest::mouseClick(box(grid.at(n - 2)), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(tip(), grid.at(n - 2).section('/', 1));
        QVERIFY(box(grid.at(n / 2))->isChecked());
        QVERIFY(!box(grid.last())->isChecked());
        QVERIFY(!box(grid.first())->isChecked());
        QTest::mouseClick(box(grid.at(3)), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(tip(), grid.at(2).section('/', 1));
        QVERIFY(!box(grid.at(n / 2))->isChecked());

        // Ticked files out of view, across a rebuild, are downloaded and deleted.
        tick(grid.last());
        bar->setValue(0);
        QVERIFY(!m_window->findChild<PreviewForm*>(grid.last()));
        const QStringList ticked = {grid.at(1), grid.at(2), grid.last()};
        const int lists = m_sim.countRequests("/gp/gpMediaList");
        click("pbRefresh");
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000, lists + 1));
        QTest::qWait(500);
        click("pbDownload");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 30000);
        QCOMPARE(status(), QString("Downloaded 3 of 3 files to %1.").arg(m_tmp->path()));
        QStringList names;
        for (const QString& path : ticked)
            names << path.section('/', 1);
        names.sort();
        QCOMPARE(filesUnder(m_tmp->path()), names);
        click("pbDelete");
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete", 5000, 3));
        for (const QString& path : ticked)
            QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage/delete?p=/" + path), 1);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Total media files: %1").arg(n - 3), 10000);
        for (const QString& path : ticked)
            grid.removeOne(path);

        // With the grid focused, and from its context menu: every file, or none.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const auto fromMenu = [&](const QString& text) {
            PreviewForm* t = tile(grid.first());
            const QPoint at = t->picture()->rect().center();
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, t->picture()->mapToGlobal(at));
            QApplication::sendEvent(t->picture(), &event);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions()) {
                if (action->text() == text)
                    action->trigger();
            }
            menu->close();
        };
        const struct {
            const char* name;
            std::function<void()> act;
            bool ticked;
        } steps[] = {
            {"Ctrl+A", [&] { area()->setFocus(); QTest::keyClick(area(), Qt::Key_A, Qt::ControlModifier); }, true},
            {"Escape", [&] { box(grid.at(5))->setFocus(); QTest::keyClick(box(grid.at(5)), Qt::Key_Escape); }, false},
            {"menu: Select all", [&] { fromMenu("Select all"); }, true},
            {"menu: Select none", [&] { fromMenu("Select none"); }, false},
        };
        for (const auto& step : steps) {
            step.act();
            QVERIFY2(tip() == (step.ticked ? grid.last().section('/', 1) : QString()), step.name);
            for (const QString& path : {grid.first(), grid.at(n / 2), grid.last()})
                QVERIFY2(box(path)->isChecked() == step.ticked, step.name);
        }
    }
};

VELKAMO_TEST_MAIN(TestMediaBrowser)
#include "tst_mediabrowser.moc"
