// The media browser end to end: the real main window against the camera simulator. The
// rules behind it (list order, local names, the download batch) have table suites of their own.

#include "camsim.h"
#include "dlgshowpict.h"
#include "logcapture.h"
#include "losstext.h"
#include "medialist.h"
#include "mainwindow.h"
#include "picturelabel.h"
#include "previewform.h"
#include "promptrecorder.h"
#include "realdialogs.h"
#include "recordingproxy.h"
#include "testsupport.h"
#include "theme.h"
#include "tilegrid.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QNetworkProxy>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// mod values chosen so that newest-first differs from list order, with one tie.
const QByteArray kTenFiles = R"({"id":"1","media":[
 {"d":"100GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"1600000100"},{"n":"GH010002.MP4","mod":"1600000900"},
  {"n":"GOPR0003.JPG","mod":"1600000500"},
  {"n":"G0010004.JPG","mod":"1600000700","g":"1","b":"4","l":"8","t":"b"},
  {"n":"G0010009.JPG","mod":"1600000700","g":"2","b":"9","l":"12","t":"b"}]},
 {"d":"101GOPRO","fs":[{"n":"GOPR0010.JPG","mod":"1600000300"},{"n":"GH010011.MP4","mod":"1600001000"},
  {"n":"GOPR0012.JPG","mod":"1600000200"},{"n":"GOPR0013.JPG","mod":"4102444800"},
  {"n":"GOPR0014.JPG","mod":"1600000600"}]}]})";

// A card as a burst leaves it: the burst listed once with its 30 members (one deleted on the
// camera), and a dozen pictures of one second, which keep their list order.
QByteArray burstCard()
{
    QByteArray singles;
    for (int i = 31; i <= 42; ++i)
        singles += QStringLiteral(R"(,{"n":"GOPR%1.JPG","mod":"1700000000"})").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
    return R"({"id":"2","media":[{"d":"100GOPRO","fs":[
        {"n":"G0010001.JPG","mod":"1700000000","g":"1","b":"1","l":"30","m":["7"],"t":"b","s":"9000000"})"
        + singles + "]}]}";
}

const QString kRefusedWhileDownloading =
    QStringLiteral("A download is running: nothing is deleted from the card until it has finished or been stopped.");

const QStringList kTenNewestFirst = {
    "101GOPRO/GOPR0013.JPG", "101GOPRO/GH010011.MP4", "100GOPRO/GH010002.MP4",
    "100GOPRO/G0010004.JPG", "100GOPRO/G0010009.JPG", "101GOPRO/GOPR0014.JPG",
    "100GOPRO/GOPR0003.JPG", "101GOPRO/GOPR0010.JPG", "101GOPRO/GOPR0012.JPG",
    "100GOPRO/GOPR0001.JPG"};

// A card of count pictures in one folder; newestFirst gets their paths newest first. Each card
// has times of its own: thumbnails are cached by path and time for the whole run.
QByteArray freshCard(int count, QStringList* newestFirst)
{
    static qint64 mod = 1700000000;
    QJsonArray files;
    newestFirst->clear();
    for (int i = 1; i <= count; ++i) {
        const QString name = QString("GOPR%1.JPG").arg(i, 4, 10, QChar('0'));
        files.append(QJsonObject{{"n", name}, {"mod", QString::number(++mod)}});
        newestFirst->prepend("100GOPRO/" + name);
    }
    const QJsonObject dir{{"d", "100GOPRO"}, {"fs", files}};
    return QJsonDocument(QJsonObject{{"media", QJsonArray{dir}}}).toJson(QJsonDocument::Compact);
}

} // namespace

#define OPEN_ON(json, tiles, ...)                                                                 \
    do { openOn(json, tiles, ##__VA_ARGS__); if (QTest::currentTestFailed()) return; } while (false)

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
    QList<QStringList> m_faulted; // {request, path}
    QStringList m_lastCard;

    void setFault(const QString& path, const QString& kind, qint64 bytes = 0, qint64 rate = 0)
    {
        QVERIFY(m_sim.setFault(path, kind, bytes, rate));
        m_faulted << QStringList{"file", path};
    }
    void setFaultOf(const QString& request, const QString& path, const QString& kind)
    {
        QVERIFY(m_sim.setFaultOf(request, path, kind));
        m_faulted << QStringList{request, path};
    }

    QList<PreviewForm*> tiles() const { return area()->findChildren<PreviewForm*>(); }
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
    // Whether the tile of path, if it has one, shows in the view now (without scrolling to it).
    bool inView(const QString& path) const
    {
        const PreviewForm* found = m_window->findChild<PreviewForm*>(path);
        return found && area()->viewport()->rect().intersects(
                   QRect(found->mapTo(area()->viewport(), QPoint()), found->size()));
    }
    QCheckBox* box(const QString& path) const { return tile(path)->findChild<QCheckBox*>("checkBoxFile"); }
    QStringList folder() const
    {
        return QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QString status() const { return m_window->statusBar()->currentMessage(); }
    QString tip() const { return m_window->findChild<QLabel*>("label_fileName")->text(); }
    void click(const char* button) { m_window->findChild<QPushButton*>(button)->click(); }
    QPushButton* button(const char* name) const { return m_window->findChild<QPushButton*>(name); }
    // The status bar's count of the ticked files; empty while it is hidden.
    QString selection() const
    {
        auto* label = m_window->findChild<QLabel*>("labelSelection");
        return label && label->isVisible() ? label->text() : QString();
    }
    // Files with a ring: the grid's current one, while the grid has the focus.
    QStringList current() const
    {
        QStringList ringed;
        for (PreviewForm* tile : tiles()) {
            if (tile->isCurrent())
                ringed << tile->objectName();
        }
        return ringed;
    }
    void activate()
    {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void tick(const QString& path) { box(path)->click(); }

    // A fresh window on the given card, online and with its grid built.
    // The window at size, or as it opens by itself for an invalid one.
    void openOn(const QByteArray& mediaJson, int files, QSize size = QSize(1280, 800))
    {
        QVERIFY(m_sim.setMediaJson(mediaJson));
        const int lists = m_sim.countRequests("/gp/gpMediaList");
        m_window.reset(new MainWindow);
        if (size.isValid())
            m_window->resize(size);
        m_window->show();
        // The window asks for the list when it goes online (on the first answer from the
        // camera); wait for it, then for a grid that stays as it is. (A list request the window
        // cancels at once for the next one does not reach the camera.)
        QVERIFY2(m_sim.waitForRequest("/gp/gpMediaList", 12000, lists + 1),
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
    // What the camera itself answers, fetched past the program: a file, or a thumbnail.
    QByteArray cameraBytes(const QString& mediaPath, bool thumbnail = false)
    {
        QNetworkReply* reply = m_nam.get(QNetworkRequest(QUrl(
            (thumbnail ? "http://10.5.5.9/gp/gpMediaMetadata?p=" : "http://10.5.5.9:8080/videos/DCIM/") + mediaPath)));
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(20000);
        reply->deleteLater();
        return reply->readAll();
    }
    QImage cameraThumbnail(const QString& mediaPath) { return QImage::fromData(cameraBytes(mediaPath, true)); }
    QList<QUrl> m_opened;

public slots:
    // Where the desktop would have opened a file URL.
    void openUrl(const QUrl& url) { m_opened << url; }

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
        // Each case chooses its download folder anew.
        QSettings(QSettings::IniFormat, QSettings::UserScope, "velkamo", "velkamo").remove("downloads");
        m_sim.clearLog(); // counts are per case: cards of different cases share file names
    }

    void cleanup()
    {
        m_window.reset();
        CamSim::joinNetwork();
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close(); // players opened by a double-click
        m_prompts.reset();
        m_tmp.reset();
        for (const QStringList& fault : std::exchange(m_faulted, {}))
            m_sim.setFaultOf(fault.at(0), fault.at(1), "none");
        m_sim.setAnswer("normal");
    }

    // The grid newest first and reflowed by the slider, thumbnails as the camera sent them,
    // the last tick named, and the ticked files fetched into the chosen folder, one batch at
    // a time.
    void browseAndDownload()
    {
        OPEN_ON(kTenFiles, 17);
        QCOMPARE(tileNames(), kTenNewestFirst);
        const auto cell = [this](int i) { return tile(kTenNewestFirst.at(i))->geometry(); };
        // The slider starts at 4 and the grid agrees.
        QCOMPARE(m_window->findChild<QSlider*>("horizontalSlider")->value(), 4);
        QCOMPARE(cell(3).y(), cell(0).y());
        QCOMPARE(cell(4).x(), cell(0).x());
        m_window->findChild<QSlider*>("horizontalSlider")->setValue(3);
        QCOMPARE(cell(2).y(), cell(0).y());
        QVERIFY(cell(2).x() > cell(1).right());
        QCOMPARE(cell(3).x(), cell(0).x());
        QVERIFY(cell(3).y() > cell(0).bottom());
        PreviewForm* newest = tile(kTenNewestFirst.first());
        QCOMPARE(newest->findChild<QLabel*>("labelFile")->text(), QString("GOPR0013.JPG"));
        QTRY_VERIFY_WITH_TIMEOUT(newest->picture()->hasThumbnail(), 10000);
        QCOMPARE(newest->picture()->image(), cameraThumbnail(newest->objectName()));

        const QStringList chosen = {"100GOPRO/GOPR0001.JPG", "100GOPRO/GOPR0003.JPG",
                                    "101GOPRO/GH010011.MP4"};
        for (const QString& path : chosen)
            tick(path);
        tick("101GOPRO/GOPR0010.JPG");
        tick("101GOPRO/GOPR0010.JPG"); // unticked: the tip names the last tick standing
        QCOMPARE(tip(), QString("GH010011.MP4"));
        setFault(chosen.at(1), "slow", 0, 200 * 1024);
        click("pbDownload");
        QCOMPARE(m_prompts->count(), 1);
        QVERIFY(m_sim.waitForRequest("/videos/DCIM/" + chosen.at(1), 5000));
        click("pbDownload");
        QCOMPARE(status(), QString("A download is already running; wait until it has finished."));
        QCOMPARE(m_prompts->count(), 1); // no second folder question
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 60000);
        QCOMPARE(status(), QString("Downloaded 3 of 3 files to %1.").arg(m_tmp->path()));
        QCOMPARE(folder(), QStringList({"GH010011.MP4", "GOPR0001.JPG", "GOPR0003.JPG"}));
        for (const QString& path : chosen) {
            QFile file(m_tmp->filePath(path.section('/', 1)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(file.readAll() == cameraBytes(path), qPrintable(path));
        }
    }

    // The folder is asked once, shown beside Download and kept for the next window, which asks
    // no more; a folder gone is asked again. Saved files are marked, can be hidden (also kept),
    // and the panel opens their folder.
    void destinationRememberedAndMarked()
    {
        // Sizes listed (marks need them), above the pictures' own: the camera pads them so.
        QByteArray card = kTenFiles;
        card.replace(R"("GOPR0001.JPG","mod":"1600000100")", R"("GOPR0001.JPG","mod":"1600000100","s":"300000")");
        card.replace(R"("GOPR0003.JPG","mod":"1600000500")", R"("GOPR0003.JPG","mod":"1600000500","s":"300001")");
        OPEN_ON(card, 17);
        const QString picture = "100GOPRO/GOPR0001.JPG", other = "100GOPRO/GOPR0003.JPG";
        const auto destination = [this] { return m_window->findChild<QLabel*>("labelDestination"); };
        const auto hide = [this] { return m_window->findChild<QCheckBox*>("checkBoxHideDownloaded"); };
        const auto marked = [this](const QString& path) {
            const auto* mark = tile(path)->findChild<QLabel*>("labelDownloaded");
            return mark && mark->isVisible();
        };
        QVERIFY(destination() && hide());
        QCOMPARE(destination()->text(), QString("Asked at the first download"));
        tick(picture);
        click("pbDownload");
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Downloaded 1 of 1 files to %1.").arg(m_tmp->path()), 30000);
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(destination()->toolTip(), "Downloads go to " + m_tmp->path());
        QVERIFY(destination()->text().contains("…") || destination()->text() == m_tmp->path());
        QTRY_VERIFY(marked(picture));
        QCOMPARE(tile(picture)->findChild<QLabel*>("labelDownloaded")->toolTip(), "Already in " + m_tmp->path());
        QVERIFY(!marked(other));

        QVERIFY(m_window->findChild<QPushButton*>("pbShowFolder")->isVisible());
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        click("pbShowFolder");
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(m_tmp->path())});

        hide()->click();
        QVERIFY(!tileNames().contains(picture));
        QCOMPARE(tiles().size(), kTenNewestFirst.size() - 1);
        QVERIFY(tip().isEmpty()); // what is hidden is no longer ticked

        OPEN_ON(card, 17);
        QVERIFY(hide()->isChecked());
        QVERIFY(!tileNames().contains(picture));
        QCOMPARE(destination()->toolTip(), "Downloads go to " + m_tmp->path());
        tick(other);
        click("pbDownload");
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Downloaded 1 of 1 files to %1.").arg(m_tmp->path()), 30000);
        QCOMPARE(m_prompts->count(), 1);
        QTRY_VERIFY(!tileNames().contains(other));
        hide()->click();
        QVERIFY(marked(other));

        QTemporaryDir elsewhere;
        m_tmp->remove();
        m_prompts->answerNext(QMessageBox::Ok, elsewhere.path());
        tick(other);
        click("pbDownload");
        QCOMPARE(m_prompts->count(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Downloaded 1 of 1 files to %1.").arg(elsewhere.path()), 30000);
        QCOMPARE(destination()->toolTip(), "Downloads go to " + elsewhere.path());
    }

    // While a file comes: its bytes, the speed and, once it has settled, the time left.
    void progressTellsBytesSpeedAndTimeLeft()
    {
        OPEN_ON(kTenFiles, 17);
        const QString slow = "101GOPRO/GH010011.MP4";
        const qint64 size = cameraBytes(slow).size();
        setFault(slow, "slow", 0, std::max<qint64>(size / 10, 512));
        tick(slow);
        click("pbDownload");
        auto* detail = m_window->findChild<QLabel*>("labelTransferBytes");
        QVERIFY(detail);
        const QRegularExpression told(QString(R"(^\d+(\.\d)? [KMG]B of %1 · \d+(\.\d)? [KMG]B/s · \d+ s left$)")
                                          .arg(QRegularExpression::escape(LossText::size(size))));
        QTRY_VERIFY2_WITH_TIMEOUT(told.match(detail->text()).hasMatch(), qPrintable(detail->text()), 15000);
        click("pbStopDownload");
    }

    // Ticks outlive a rebuild; Delete asks, goes out newest tick first, and the list is
    // fetched once every delete is answered. While the camera is away: one warning, and the
    // ticks stay for when it is back.
    void deleteFlow()
    {
        OPEN_ON(kTenFiles, 17);
        const QStringList ticked = {"100GOPRO/GOPR0001.JPG", "101GOPRO/GH010011.MP4",
                                    "100GOPRO/GOPR0003.JPG"};
        for (const QString& path : ticked + QStringList{"101GOPRO/GOPR0012.JPG"})
            tick(path);
        // A ticked file gone from the card leaves the selection; the others outlive the rebuild.
        // The list asked for before it went, answered last, must not bring it back.
        QVERIFY(m_sim.delayNextList(1500));
        const int lists = m_sim.countRequests("/gp/gpMediaList");
        click("pbRefresh");
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000, lists + 1));
        QByteArray without = kTenFiles;
        QVERIFY(m_sim.setMediaJson(without.replace(R"({"n":"GOPR0012.JPG","mod":"1600000200"},)", "")));
        refreshAndWait(9);
        QTest::qWait(1800);
        QCOMPARE(tiles().size(), 9);
        QCOMPARE(tip(), QString("GOPR0003.JPG"));
        QVERIFY(box(ticked.at(0))->isChecked());

        m_sim.clearLog();
        LogCapture log;
        click("pbDelete");
        QCOMPARE(m_prompts->requests().last().text, QString("Are you sure to delete selected files?"));
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
        const qint64 deleted = m_sim.arrivalTimes("/gp/gpControl/command/storage/delete").last() + 200;
        QVERIFY(m_sim.arrivalTimes("/gp/gpMediaList").first() >= deleted);
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), 6, 5000);
        QCOMPARE(tip(), QString());

        const QStringList kept = {"101GOPRO/GOPR0010.JPG", "101GOPRO/GOPR0014.JPG"};
        for (const QString& path : kept)
            tick(path);
        QVERIFY(m_sim.setAnswer("stall"));
        QTRY_VERIFY_WITH_TIMEOUT(testsupport::showsFirstScreen(m_window.get()), 9000);
        const int questions = m_prompts->count();
        click("pbDelete");
        QCOMPARE(m_prompts->count(), questions + 2); // the question and one warning
        QCOMPARE(m_prompts->requests().last().text, QString("Maybe connection is lost."));
        QVERIFY(m_sim.setAnswer("normal"));
        QTRY_VERIFY_WITH_TIMEOUT(!testsupport::showsFirstScreen(m_window.get()), 5000);
        QCOMPARE(tip(), QString("GOPR0014.JPG"));
        click("pbDelete");
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete", 5000, 2));
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), 4, 5000);
    }

    // A row fills the view at any window size: thumbnails scale to their column, keep their
    // shape, never a sideways scroll bar; the slider says how many to a row, Ctrl+wheel too.
    void gridFitsTheWindow_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<int>("perRow");
        QTest::newRow("small, 3 to a row") << QSize(900, 540) << 3;
        QTest::newRow("laptop, 4 to a row") << QSize(1366, 768) << 4;
        QTest::newRow("full HD, 5 to a row") << QSize(1920, 1080) << 5;
    }
    void gridFitsTheWindow()
    {
        QFETCH(QSize, window);
        QFETCH(int, perRow);
        OPEN_ON(kTenFiles, 17);
        m_window->resize(window);
        auto* slider = m_window->findChild<QSlider*>("horizontalSlider");
        slider->setValue(perRow);
        QTRY_VERIFY_WITH_TIMEOUT(tile(kTenNewestFirst.first())->picture()->hasThumbnail(), 10000);
        area()->verticalScrollBar()->setValue(0);
        QVERIFY(!area()->horizontalScrollBar()->isVisible());
        const int view = area()->viewport()->width();
        const QRect first = tile(kTenNewestFirst.at(0))->geometry();
        const QRect last = tile(kTenNewestFirst.at(perRow - 1))->geometry();
        QCOMPARE(last.y(), first.y());
        QVERIFY2(last.right() < view && last.right() >= view - perRow - 1,
                 qPrintable(QString("row ends at %1 in a view %2 wide").arg(last.right()).arg(view)));
        QVERIFY(tile(kTenNewestFirst.at(perRow))->geometry().y() > first.bottom());
        // The thumbnail takes its column's width at the camera's 4:3.
        const QRect picture = tile(kTenNewestFirst.first())->picture()->contentsRect();
        QVERIFY2(picture.width() >= first.width() - 30 && std::abs(picture.height() * 4 - picture.width() * 3) <= 8,
                 qPrintable(QString("%1 x %2 in a tile %3 wide").arg(picture.width()).arg(picture.height()).arg(first.width())));

        // Ctrl+wheel away: larger thumbnails, one fewer to a row; towards: back.
        for (const int delta : {120, -120}) {
            const QPoint at = area()->viewport()->rect().center();
            QWheelEvent wheel(at, area()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(area()->viewport(), &wheel);
            QCOMPARE(slider->value(), delta > 0 ? perRow - 1 : perRow);
        }
    }

    // The first window, the first time: inside the screen's available area at any scaling, no
    // horizontal scroll bar, and from a laptop's screen up at least 3 × 2 whole thumbnails. Run
    // on other screens too (a laptop's, full HD at 200 %).
    void firstWindowFitsTheScreen()
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "velkamo", "velkamo").remove("window");
        OPEN_ON(freshCard(12, &m_lastCard), 12, QSize());
        const QRect screen = m_window->screen()->availableGeometry();
        QVERIFY2(screen.contains(m_window->frameGeometry()),
                 qPrintable(QString("%1 x %2 on %3 x %4").arg(m_window->frameGeometry().width())
                                .arg(m_window->frameGeometry().height()).arg(screen.width()).arg(screen.height())));
        QVERIFY(!area()->horizontalScrollBar()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<PreviewForm*>(m_lastCard.first()), 5000);
        QSet<int> rows;
        QSet<int> columns;
        for (PreviewForm* form : tiles()) {
            const QWidget* picture = form->picture();
            const QRect shown(picture->mapTo(area()->viewport(), QPoint()), picture->size());
            if (form->isVisible() && area()->viewport()->rect().contains(shown)) {
                rows << shown.top();
                columns << shown.left();
            }
        }
        if (screen.width() >= 1280 && screen.height() >= 720)
            QVERIFY2(columns.size() >= 3 && rows.size() >= 2,
                     qPrintable(QString("%1 x %2 whole in %3 x %4").arg(columns.size()).arg(rows.size())
                                    .arg(area()->viewport()->width()).arg(area()->viewport()->height())));
    }

    // The keys work wherever the focus is in the window, not only in the grid.
    void keysFromAnywhere()
    {
        OPEN_ON(kTenFiles, 17);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        auto* slider = m_window->findChild<QSlider*>("horizontalSlider");
        const auto press = [slider](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            slider->setFocus();
            QTest::keyClick(slider, Qt::Key(key), modifiers);
        };
        press(Qt::Key_A, Qt::ControlModifier);
        for (const QString& path : {kTenNewestFirst.first(), kTenNewestFirst.last()})
            QVERIFY2(box(path)->isChecked(), qPrintable(path));
        press(Qt::Key_Escape);
        QVERIFY(!box(kTenNewestFirst.first())->isChecked());
        tick(kTenNewestFirst.first());
        m_prompts->answerNext(QMessageBox::Cancel);
        press(Qt::Key_Delete);
        QCOMPARE(m_prompts->requests().last().text, QString("Are you sure to delete selected files?"));
        const int lists = m_sim.countRequests("/gp/gpMediaList");
        press(Qt::Key_F5);
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000, lists + 1));
        press(Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!m_window->isVisible());
    }

    // A click anywhere on a tile but its box ticks it as the box does (Ctrl alike, Shift a
    // range); a double-click opens the file and leaves the tick as it was. The status bar counts
    // the ticked files, a burst's members each, and their listed size; Download and Delete say
    // what they act on and are off with nothing ticked, while the menu beside Download stays,
    // and Download stays on while a download runs.
    void clickSelectsAndCounts()
    {
        OPEN_ON(burstCard(), 41);
        const QString burst = "100GOPRO/G0010001.JPG";
        const auto single = [](int n) { return QString("100GOPRO/GOPR%1.JPG").arg(n, 4, 10, QChar('0')); };
        const auto doubleClick = [this](const QString& path) {
            QSignalSpy asked(tile(path), &PreviewForm::pictureRequested);
            QTest::mouseClick(tile(path)->picture(), Qt::LeftButton);
            QTest::mouseDClick(tile(path)->picture(), Qt::LeftButton);
            QCOMPARE(asked.size(), 1);
            QVERIFY(!box(path)->isChecked());
        };
        const struct {
            const char* what;
            std::function<void()> act;
            int files;
        } steps[] = {
            {"nothing ticked", [] {}, 0},
            {"the burst's picture", [&] { QTest::mouseClick(tile(burst)->picture(), Qt::LeftButton); }, 29},
            {"Ctrl on a name",
             [&] { QTest::mouseClick(tile(single(31))->findChild<QLabel*>("labelFile"), Qt::LeftButton, Qt::ControlModifier); },
             30},
            {"Shift on a picture", [&] { QTest::mouseClick(tile(single(34))->picture(), Qt::LeftButton, Qt::ShiftModifier); }, 33},
            {"the margin of a ticked tile", [&] { QTest::mouseClick(tile(single(31)), Qt::LeftButton, {}, QPoint(2, 2)); }, 32},
            {"a double-click", [&] { doubleClick(single(36)); }, 32},
            {"Select none", [&] { m_window->findChild<QAction*>("actionSelectNone")->trigger(); }, 0},
        };
        for (const auto& step : steps) {
            step.act();
            QVERIFY2(!QTest::currentTestFailed(), step.what);
            const QString counted = step.files ? QString("%1 selected · 9.0 MB").arg(step.files) : QString();
            QCOMPARE(selection(), counted);
            QVERIFY2(button("pbDownload")->isEnabled() == (step.files > 0), step.what);
            QVERIFY2(button("pbDelete")->isEnabled() == (step.files > 0), step.what);
            QVERIFY(m_window->findChild<QToolButton*>("pbDownloadMenu")->isEnabled());
            if (step.files) {
                QVERIFY2(button("pbDownload")->toolTip().startsWith(QString("Download %1 files (9.0 MB)").arg(step.files)),
                         qPrintable(button("pbDownload")->toolTip()));
                QCOMPARE(button("pbDelete")->toolTip(), QString("Delete %1 files (9.0 MB)").arg(step.files));
            }
        }

        // Unticked while it runs, Download is still the way to it; off once it is over.
        setFault(single(40), "slow", 0, 20 * 1024);
        tick(single(40));
        click("pbDownload");
        QVERIFY(m_sim.waitForRequest("/videos/DCIM/" + single(40), 5000));
        QTest::mouseClick(tile(single(40))->picture(), Qt::LeftButton);
        QCOMPARE(selection(), QString());
        QVERIFY(button("pbDownload")->isEnabled());
        click("pbStopDownload");
        QVERIFY(!button("pbDownload")->isEnabled());
    }

    // The grid is a stop of Tab. Arrows, Home and End move its current tile, ringed and
    // scrolled into view; Space ticks it, Enter opens it as a double-click does.
    void keyboardInTheGrid()
    {
        OPEN_ON(kTenFiles, 17);
        activate();
        auto* grid = m_window->findChild<TileGrid*>();
        QSignalSpy played(grid, &TileGrid::doubleClicked);
        QSignalSpy shown(grid, &TileGrid::pictureRequested);
        m_window->findChild<QSlider*>("horizontalSlider")->setFocus();
        for (int i = 0; i < 60 && !area()->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(area()->hasFocus());
        QCOMPARE(current(), QStringList{kTenNewestFirst.first()});

        // Four to a row, ten files: the last row holds two.
        const struct {
            Qt::Key key;
            int to;
        } moves[] = {{Qt::Key_Right, 1}, {Qt::Key_Down, 5}, {Qt::Key_Left, 4}, {Qt::Key_Up, 0},
                     {Qt::Key_End, 9},   {Qt::Key_Up, 5},   {Qt::Key_Home, 0}, {Qt::Key_Down, 4},
                     {Qt::Key_Down, 8},  {Qt::Key_Down, 8}, {Qt::Key_Right, 9}, {Qt::Key_Right, 9},
                     {Qt::Key_Up, 5}};
        for (const auto& move : moves) {
            QTest::keyClick(area(), move.key);
            const QString path = kTenNewestFirst.at(move.to);
            QCOMPARE(current(), QStringList{path});
            QVERIFY2(inView(path), qPrintable(path));
        }
        QTest::keyClick(area(), Qt::Key_Space);
        QVERIFY(box(kTenNewestFirst.at(5))->isChecked());
        QCOMPARE(selection(), QString("1 selected"));
        QCOMPARE(tip(), kTenNewestFirst.at(5).section('/', 1));
        QTest::keyClick(area(), Qt::Key_Space);
        QVERIFY(!box(kTenNewestFirst.at(5))->isChecked());
        QCOMPARE(selection(), QString());

        QTest::keyClick(area(), Qt::Key_Return);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().first().toString(), kTenNewestFirst.at(5));
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<dlgshowpict*>(), 10000);
        m_window->findChild<dlgshowpict*>()->close();
        activate();
        area()->setFocus();
        QTest::keyClick(area(), Qt::Key_Home);
        QTest::keyClick(area(), Qt::Key_Right);
        QTest::keyClick(area(), Qt::Key_Enter);
        QCOMPARE(played.size(), 1);
        QCOMPARE(played.first().first().toString(), kTenNewestFirst.at(1));
        QCOMPARE(shown.size(), 1);
    }

    // With the program's style sheet, what the selection and the keyboard do is seen: a ticked
    // box has a check mark, a ticked tile a frame and the current tile a ring, each at least
    // 3:1 against what is around it.
    void selectionIsVisible()
    {
        QFile sheet(testsupport::appRoot() + "/qss/common.qss");
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
        const auto plain = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        OPEN_ON(kTenFiles, 17);
        activate();
        const auto shot = [this](QWidget* widget) {
            return m_window->grab(QRect(widget->mapTo(m_window.get(), QPoint()), widget->size())).toImage();
        };
        const QString ticked = kTenNewestFirst.at(1), ringed = kTenNewestFirst.at(2), neither = kTenNewestFirst.at(3);
        tick(ticked);

        // The mark inside the ticked box: what stands out against the box's fill.
        QCheckBox* checkBox = box(ticked);
        QStyleOptionButton option;
        option.initFrom(checkBox);
        const QRect inside = checkBox->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, checkBox)
                                 .adjusted(3, 3, -3, -3);
        const QImage boxShot = shot(checkBox);
        QHash<QRgb, int> colours;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                ++colours[boxShot.pixel(x, y)];
        QVERIFY(!colours.isEmpty());
        const QRgb fill = std::max_element(colours.cbegin(), colours.cend()).key();
        int mark = 0;
        for (auto it = colours.cbegin(); it != colours.cend(); ++it)
            mark += Theme::contrast(QColor(it.key()), QColor(fill)) >= Theme::kOutlineContrast ? it.value() : 0;
        QVERIFY2(mark >= 4, qPrintable(QString("%1 pixels of a check mark").arg(mark)));

        QTest::keyClick(area(), Qt::Key_Right); // the ring goes on to an unticked tile
        QCOMPARE(current(), QStringList{ringed});
        const QImage around = shot(tile(neither));
        const QColor background = around.pixelColor(1, around.height() / 2);
        const QColor frame = shot(tile(ticked)).pixelColor(1, around.height() / 2);
        const QColor ring = shot(tile(ringed)).pixelColor(5, around.height() / 2);
        QVERIFY2(Theme::contrast(frame, background) >= Theme::kOutlineContrast, qPrintable(frame.name() + " on " + background.name()));
        QVERIFY2(Theme::contrast(ring, background) >= Theme::kOutlineContrast, qPrintable(ring.name() + " on " + background.name()));
        QCOMPARE(around.pixelColor(5, around.height() / 2), background);
    }

    // A delete the camera never answers counts as failed at its deadline: the user is told,
    // and the list is asked for again all the same.
    void unansweredDeleteStillRefreshes()
    {
        QStringList card;
        OPEN_ON(freshCard(3, &card), 3);
        setFaultOf("delete", card.at(1), "stall");
        tick(card.at(1));
        QSignalSpy messages(m_window->statusBar(), &QStatusBar::messageChanged);
        m_sim.clearLog();
        click("pbDelete");
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 15000));
        QVERIFY(m_sim.arrivalTimes("/gp/gpMediaList").first()
                >= m_sim.arrivalTimes("/gp/gpControl/command/storage/delete").first() + 9500);
        const QString failed = QString("The camera did not carry out /gp/gpControl/command/storage/"
                                       "delete?p=/%1 (no complete answer within 10 s).").arg(card.at(1));
        QVERIFY(messages.contains({failed}));
        // The list that follows does not hide it.
        QTRY_COMPARE_WITH_TIMEOUT(status(), "Total media files: 3 · " + failed, 5000);
    }

    // A thumbnail the camera holds, trickles or sends far too large frees its slot at its
    // bound, and the thumbnails after it still come; meanwhile no more than four are asked
    // for. None sizes its tile beyond the usual 320 x 240: a larger one is scaled down, one
    // claiming 20000 x 20000 pixels is refused.
    void thumbnailBounds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("shown"); // of the faulted thumbnails; invalid: none
        QTest::addColumn<bool>("holds");  // they keep their slots until the deadline
        QTest::newRow("silent") << "stall" << QSize() << true;
        QTest::newRow("trickling") << "trickle" << QSize() << true;
        QTest::newRow("oversized") << "oversize" << QSize() << false;
        QTest::newRow("claiming 20000 x 20000") << "giant" << QSize() << false;
        QTest::newRow("1280 x 960") << "large" << QSize(320, 240) << false;
    }
    void thumbnailBounds()
    {
        QFETCH(QString, kind);
        QFETCH(QSize, shown);
        QFETCH(bool, holds);
        QStringList card;
        const QByteArray list = freshCard(16, &card);
        const QStringList faulted = card.mid(0, 4); // the first row
        for (const QString& path : faulted)
            setFaultOf("thumbnail", path, kind);
        OPEN_ON(list, 16);
        PictureLabel* normal = nullptr;
        for (const QString& path : card) {
            if (!inView(path) || faulted.contains(path))
                continue;
            normal = m_window->findChild<PreviewForm*>(path)->picture();
            QTRY_VERIFY2_WITH_TIMEOUT(normal->hasThumbnail(), qPrintable(path), 20000);
        }
        QVERIFY2(normal, "only the faulted tiles in view: the tiles grew");
        if (holds) {
            const QList<qint64> asked = m_sim.arrivalTimes("/gp/gpMediaMetadata");
            QCOMPARE(std::count_if(asked.cbegin(), asked.cend(),
                                   [&](qint64 t) { return t < asked.first() + 9000; }), 4);
        }
        for (const QString& path : faulted) {
            PictureLabel* picture = m_window->findChild<PreviewForm*>(path)->picture();
            QCOMPARE(picture->hasThumbnail(), shown.isValid());
            if (shown.isValid())
                QCOMPARE(picture->image().size(), shown);
            QCOMPARE(picture->sizeHint(), normal->sizeHint());
        }
    }

    // Thumbnails of the tiles in view are asked for before those of tiles just out of it: after
    // a scroll, the requests of a row now above the view wait behind those of the rows in it.
    void visibleThumbnailsFirst()
    {
        QStringList card;
        const QByteArray list = freshCard(48, &card);
        for (const QString& path : card.mid(0, 4))
            setFaultOf("thumbnail", path, "stall"); // the first row holds every slot
        OPEN_ON(list, 48);
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaMetadata", 5000, 4));
        const auto top = [this, &card](int index) { return m_window->findChild<PreviewForm*>(card.at(index))->y(); };
        m_sim.clearLog();
        area()->verticalScrollBar()->setValue(2 * (top(4) - top(0)));
        QVERIFY(m_window->findChild<PreviewForm*>(card.at(4)) && !inView(card.at(4)));
        for (const QString& path : card.mid(0, 4))
            QVERIFY(m_sim.setFaultOf("thumbnail", path, "none"));
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaMetadata", 5000, 4));
        for (const QString& asked : m_sim.targets(80).filter("/gp/gpMediaMetadata?p=").mid(0, 4))
            QVERIFY2(inView(asked.section("?p=", 1)), qPrintable(asked));
    }

    // A camera answer that sends the request to another host is a failure, told where that
    // request's failures are told: the thumbnail stays away, the viewer warns, the command is
    // named in the status bar, the list's failure too and the grid keeps its files. Nothing
    // the other host would send is shown, and it is never asked.
    void redirectsAreNotFollowed()
    {
        QStringList card;
        const QByteArray list = freshCard(8, &card);
        setFaultOf("thumbnail", card.at(0), "redirect");
        OPEN_ON(list, 8);
        const QString why =
            QString("redirected to %1 (HTTP 302), not followed").arg(QUrl(m_sim.elsewhereOrigin()).authority());
        for (const QString& path : card.mid(1, 3))
            QTRY_VERIFY2_WITH_TIMEOUT(tile(path)->picture()->hasThumbnail(), qPrintable(path), 10000);
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaMetadata?p=" + card.at(0), 5000));
        QVERIFY(!tile(card.at(0))->picture()->hasThumbnail());

        setFault(card.at(1), "redirect");
        QTest::mouseDClick(tile(card.at(1))->picture(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_prompts->count() == 1, 10000);
        QCOMPARE(m_prompts->requests().last().text,
                 QString("%1 could not be shown: %2").arg(card.at(1).section('/', 1), why));
        QVERIFY(!m_window->findChild<dlgshowpict*>());

        setFaultOf("delete", card.at(2), "redirect");
        tick(card.at(2));
        QSignalSpy messages(m_window->statusBar(), &QStatusBar::messageChanged);
        click("pbDelete");
        const QString refused = QString("The camera did not carry out /gp/gpControl/command/storage/"
                                        "delete?p=/%1 (%2).").arg(card.at(2), why);
        QTRY_VERIFY_WITH_TIMEOUT(messages.contains({refused}), 10000);

        // Every request, the media list's included.
        QVERIFY(m_sim.setAnswer("redirect"));
        const int lists = m_sim.countRequests("/gp/gpMediaList");
        click("pbRefresh");
        QVERIFY(m_sim.waitForRequest("/gp/gpMediaList", 5000, lists + 1));
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("The camera's media list could not be read: %1.").arg(why), 5000);
        QCOMPARE(tileNames(), card);
        QCOMPARE(m_sim.elsewhereRequests().size(), 0);
    }

    // A picture opens in the viewer on a left double click; a camera video asks to be
    // played; what cannot be shown gives a message, not an empty viewer.
    void doubleClickOpensTheViewer()
    {
        OPEN_ON(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"GOPR0001.JPG","mod":"3"},{"n":"GH010002.MP4","mod":"2"},{"n":"clip.mp4","mod":"1"}]}]})", 3);
        PictureLabel* picture = tile("100GOPRO/GOPR0001.JPG")->picture();
        QTest::mouseDClick(picture, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<dlgshowpict*>(), 10000);
        QPointer<dlgshowpict> dialog = m_window->findChild<dlgshowpict*>();
        QCOMPARE(dialog->windowTitle(), QString("GOPR0001.JPG"));
        QCOMPARE(dialog->picture()->image().size(),
                 QImage::fromData(cameraBytes("100GOPRO/GOPR0001.JPG")).size());
        dialog->close();
        QTRY_VERIFY(!dialog);

        PreviewForm* video = tile("100GOPRO/GH010002.MP4");
        QSignalSpy play(video, &PreviewForm::doubleClicked);
        QTest::mouseDClick(video->picture(), Qt::LeftButton);
        QCOMPARE(play.size(), 1);
        QCOMPARE(play.first().first().toString(), QString("100GOPRO/GH010002.MP4"));
        // Camera videos end in upper case; "clip.mp4" is fetched as a picture and is none.
        QTest::mouseDClick(tile("100GOPRO/clip.mp4")->picture(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_prompts->count() == 1, 10000);
        QCOMPARE(m_prompts->requests().last().text,
                 QString("clip.mp4 could not be shown: the camera sent no picture"));
        setFault("100GOPRO/GOPR0001.JPG", "404");
        QTest::mouseDClick(picture, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_prompts->count() == 2, 10000);
        QVERIFY(m_prompts->requests().last().text.startsWith("GOPR0001.JPG could not be shown: "));
        QVERIFY(!m_window->findChild<dlgshowpict*>());
    }

    // A box about a tile stays open (a real one, its own event loop running) while the card
    // changes under it: the grid deletes the tile meanwhile. The viewer belongs to the window
    // too, outlives a rebuilt grid, and takes two thirds of the window's own screen.
    void boxesAndViewerOutliveTheGrid()
    {
        OPEN_ON(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"GOPR0001.JPG","mod":"3"},{"n":"GH010002.MP4","mod":"2"},{"n":"clip.mp4","mod":"1"}]}]})", 3);
        m_prompts.reset();
        RealDialogs dialogs;
        bool rebuilt = false;
        dialogs.onNextBox([&](QMessageBox*) {
            m_sim.setMediaJson(R"({"media":[{"d":"100GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"3"}]}]})");
            click("pbRefresh");
            rebuilt = QTest::qWaitFor([&] { return tiles().size() == 1; }, 8000);
            return QMessageBox::Ok;
        });
        QTest::mouseDClick(tile("100GOPRO/clip.mp4")->picture(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts().size(), 1, 10000);
        QVERIFY(rebuilt);
        QCOMPARE(dialogs.texts().first(), QString("clip.mp4 could not be shown: the camera sent no picture"));
        QCOMPARE(dialogs.parents().first(), QString("MainWindow"));

        QTest::mouseDClick(tile("100GOPRO/GOPR0001.JPG")->picture(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<dlgshowpict*>(), 10000);
        QPointer<dlgshowpict> viewer = m_window->findChild<dlgshowpict*>();
        QCOMPARE(viewer->parentWidget(), m_window.get());
        const QRect screen = m_window->screen()->availableGeometry();
        QVERIFY(screen.width() < m_window->screen()->availableVirtualGeometry().width());
        QCOMPARE(viewer->size(), QSize(int(screen.width() / 1.5), int(screen.height() / 1.5)));
        QVERIFY(m_sim.setMediaJson(kTenFiles));
        refreshAndWait(10);
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(dialogs.texts().size(), 1);
    }

    // Download, then Delete or Format while the batch runs: refused, and every file is saved
    // before anything leaves the card. Real boxes: the program goes on while they are open.
    void nothingLeavesTheCardBeforeItIsSaved()
    {
        OPEN_ON(kTenFiles, 17);
        m_prompts.reset();
        RealDialogs dialogs;
        dialogs.setDirectory(m_tmp->path());
        const QStringList chosen = {"100GOPRO/GOPR0001.JPG", "100GOPRO/GOPR0003.JPG", "101GOPRO/GOPR0010.JPG"};
        for (const QString& path : chosen)
            tick(path);
        setFault(chosen.first(), "slow", 0, 40 * 1024);
        click("pbDownload");
        QVERIFY(m_sim.waitForRequest("/videos/DCIM/" + chosen.first(), 5000));
        click("pbDelete");
        click("pbFormat");
        QCOMPARE(dialogs.texts(), QStringList(2, kRefusedWhileDownloading));
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 60000);
        QCOMPARE(status(), QString("Downloaded 3 of 3 files to %1.").arg(m_tmp->path()));
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage"), 0);
        // Saved, they may go.
        click("pbDelete");
        QCOMPARE(dialogs.texts().last(), QString("Are you sure to delete selected files?"));
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete", 5000, 3));
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), 7, 5000);
    }

    // A burst is one tile for its files: the count shown, every member fetched but the one the
    // camera lists as deleted, the summary and the total in files, and the group deleted whole.
    void burstsAreWholeGroups()
    {
        const QByteArray card = burstCard();
        OPEN_ON(card, 41);
        QStringList listed;
        for (int i = 31; i <= 42; ++i)
            listed << QStringLiteral("100GOPRO/GOPR%1.JPG").arg(i, 4, 10, QLatin1Char('0'));
        // One second: list order. Tiles exist for the rows near the view.
        const QStringList names = tileNames();
        QVERIFY(names.size() >= 8);
        QCOMPARE(names, (QStringList{"100GOPRO/G0010001.JPG"} + listed).mid(0, names.size()));
        const QString burst = "100GOPRO/G0010001.JPG";
        QCOMPARE(tile(burst)->findChild<QLabel*>("labelFile")->text(), QString("G0010001.JPG · 29 files"));
        tick(burst);
        click("pbDownload");
        QTRY_VERIFY_WITH_TIMEOUT(status().startsWith("Downloaded"), 60000);
        QCOMPARE(status(), QString("Downloaded 29 of 29 files to %1.").arg(m_tmp->path()));
        QStringList saved = folder();
        QCOMPARE(saved.size(), 29);
        QVERIFY(!saved.contains("G0010007.JPG") && saved.contains("G0010001.JPG") && saved.contains("G0010030.JPG"));
        for (const QString& name : {QString("G0010001.JPG"), QString("G0010030.JPG")}) {
            QFile file(m_tmp->filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), cameraBytes("100GOPRO/" + name));
        }
        QCOMPARE(m_sim.countRequests("/videos/DCIM/100GOPRO/G0010007.JPG"), 0);

        click("pbDelete");
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/storage/delete/group?p=" + burst, 5000));
        QTRY_COMPARE_WITH_TIMEOUT(tileNames(), listed.mid(0, tileNames().size()), 5000);
        QVERIFY(!tileNames().isEmpty());
        QCOMPARE(status(), QString("Total media files: 12"));
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/storage/delete?"), 0);
    }

    // The batch runs inside the window with a Stop; its summary stays there. Closing the window
    // asks; declined, all goes on; accepted, the batch ends, no partial file stays, and no
    // window of the program is left on screen.
    void stopAndCloseDuringADownload()
    {
        OPEN_ON(kTenFiles, 17);
        m_prompts.reset();
        RealDialogs dialogs;
        dialogs.setDirectory(m_tmp->path());
        const QString slow = "101GOPRO/GOPR0013.JPG";
        setFault(slow, "slow", 0, 20 * 1024);
        tick(slow);
        tick("100GOPRO/GOPR0001.JPG");
        click("pbDownload");
        QVERIFY(m_sim.waitForRequest("/videos/DCIM/" + slow, 5000));
        QWidget* panel = m_window->findChild<QWidget*>("transferPanel");
        QVERIFY(panel->isVisible());
        QTRY_VERIFY(!folder().isEmpty()); // the .part
        click("pbStopDownload");
        QCOMPARE(folder(), QStringList());
        QVERIFY2(status().startsWith("Stopped"), qPrintable(status()));
        const QString summary = status();
        click("pbRefresh");
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Total media files: 17"), 5000);
        QCOMPARE(m_window->findChild<QLabel*>("labelTransfer")->text(), summary);

        click("pbDownload");
        QVERIFY(m_sim.waitForRequest("/videos/DCIM/" + slow, 5000, 2));
        dialogs.onNextBox([](QMessageBox*) { return QMessageBox::Cancel; });
        m_window->close();
        QVERIFY(m_window->isVisible());
        QVERIFY(m_window->findChild<QWidget*>("pbStopDownload")->isVisible());
        m_window->close(); // answered OK
        QVERIFY(!m_window->isVisible());
        QCOMPARE(dialogs.texts().size(), 2);
        QVERIFY(dialogs.texts().last().startsWith("A download is running. Stop it and quit?"));
        QCOMPARE(folder(), QStringList());
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), widget->metaObject()->className());
    }

    // A short drop (network unreachable) takes the camera offline at once; the grid and its
    // ticks stay, shown as not current, and are brought up to date when it answers. The count
    // is true also for an empty card.
    void shortDropKeepsTheGridAndTicks()
    {
        OPEN_ON(kTenFiles, 17);
        const QString kept = "101GOPRO/GOPR0014.JPG", gone = "101GOPRO/GOPR0012.JPG";
        tick(kept);
        tick(gone);
        QVERIFY(CamSim::leaveNetwork());
        // At once: the first poll after it left (one pooled connection may hang for its 2 s).
        QTRY_VERIFY_WITH_TIMEOUT(!area()->isEnabled(), 7000);
        QCOMPARE(tiles().size(), 10);
        QVERIFY(box(kept)->isChecked() && box(gone)->isChecked());
        QByteArray without = kTenFiles;
        QVERIFY(m_sim.setMediaJson(without.replace(R"({"n":"GOPR0012.JPG","mod":"1600000200"},)", "")));
        QVERIFY(CamSim::joinNetwork());
        QTRY_VERIFY_WITH_TIMEOUT(area()->isEnabled(), 8000);
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), 9, 5000);
        QVERIFY(box(kept)->isChecked());
        QCOMPARE(tip(), QString("GOPR0014.JPG"));
        QCOMPARE(status(), QString("Total media files: 16"));

        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        area()->setFocus();
        QTest::keyClick(area(), Qt::Key_A, Qt::ControlModifier);
        click("pbDelete");
        QTRY_COMPARE_WITH_TIMEOUT(tiles().size(), 0, 10000);
        QCOMPARE(status(), QString("Total media files: 0"));
    }

    // A card far larger than the view: tiles only for the rows near it, thumbnails as they
    // come into it, and ticks that reach files without a tile (out of view) for Shift+click
    // ranges, Select all and Select none.
    void largeCardTilesOnlyNearTheView()
    {
        m_sim.setMediaCount(240);
        const QByteArray list = m_sim.mediaList();
        const MediaList card = MediaList::parse(list);
        QStringList grid;
        for (const MediaList::Entry& entry : card.newestFirst())
            grid << entry.path;
        const int n = int(grid.size());
        OPEN_ON(list, int(card.fileCount()));
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
        QVERIFY(!passedOver.isEmpty());
        for (const QString& path : passedOver)
            QCOMPARE(m_sim.countRequests("/gp/gpMediaMetadata?p=" + path), 0);
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

        // With the grid focused, and from its context menu: every file, or none.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        const auto fromMenu = [&](const QString& text) {
            PictureLabel* label = tile(grid.first())->picture();
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(label, &event);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions()) {
                if (action->text() == text)
                    action->trigger();
            }
            menu->close();
        };
        const struct { const char* name; std::function<void()> act; bool ticked; } steps[] = {
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
