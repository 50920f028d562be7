// Faults and soak against the camera simulator, inside the network sandbox, with the real
// window:
//   velkamo-faults flap SECONDS    the camera leaving and coming back every 2-5 s while a
//                                  batch downloads and the grid refreshes
//   velkamo-faults bodies          huge, broken and hostile media lists: the longest stall
//   velkamo-faults silent MINUTES  a camera that takes connections and never answers: RSS
//                                  each minute and the requests left pending
//   velkamo-faults soak            100 refreshes of 1,000 files, 50 players opened and closed
// Each prints "key value" lines and a verdict line "PASS ..." or "FAIL ...".

#include "benchsupport.h"
#include "camerarequests.h"
#include "camsim.h"
#include "cameralink.h"
#include "downloadbatch.h"
#include "mainwindow.h"
#include "medialist.h"
#include "mediaplayer.h"
#include "picturelabel.h"
#include "previewform.h"
#include "prompt.h"
#include "stallmeter.h"
#include "testsupport.h"
#include "tilegrid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMediaPlayer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QVideoWidget>
#include <QtTest>

#include <cstdio>
#include <malloc.h>
#include <functional>
#include <memory>

using namespace bench;

namespace {

// Bytes the program holds from malloc: tells memory kept from memory given back but not
// returned to the system.
qint64 heapInUseKiB()
{
    return qint64(mallinfo2().uordblks / 1024);
}

int verdict(bool pass, const QString& what)
{
    std::printf("%s %s\n", pass ? "PASS" : "FAIL", qPrintable(what));
    std::fflush(stdout);
    return pass ? 0 : 1;
}

void spin(int ms)
{
    waitFor([] { return false; }, ms, 20);
}

QString statusText(MainWindow* window)
{
    return window->statusBar()->currentMessage();
}

void click(MainWindow* window, const char* button)
{
    window->findChild<QPushButton*>(QLatin1String(button))->click();
}

// Replies still alive anywhere in the program: the window's managers and the shared
// thumbnail queue (owned by the application).
int liveReplies(MainWindow* window)
{
    return int(window->findChildren<QNetworkReply*>().size() + qApp->findChildren<QNetworkReply*>().size());
}

std::unique_ptr<MainWindow> openOnline(CamSim& sim)
{
    auto window = std::make_unique<MainWindow>();
    window->resize(1280, 800);
    window->show();
    CameraLink* link = window->findChild<CameraLink*>();
    waitFor([&] { return link->isOnline(); }, 30000, 50);
    sim.waitForRequest(QStringLiteral("/gp/gpMediaList"), 15000);
    return window;
}

// The bytes the simulator serves for a media path.
QByteArray cameraBytes(const QString& mediaPath)
{
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(CameraRequests::file(CameraAddress::accessPoint(), mediaPath)));
    waitFor([reply] { return reply->isFinished(); }, 60000, 5);
    const QByteArray bytes = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    delete reply;
    return bytes;
}

// ---------------------------------------------------------------------------------------

int flap(CamSim& sim, int seconds)
{
    // 24 files of about 1 MB, each served at 200 KB/s: a batch of about two minutes when
    // nothing goes wrong.
    sim.setMediaCount(24);
    const MediaList card = MediaList::parse(sim.mediaList());
    QStringList paths;
    for (const MediaList::Entry& entry : card.newestFirst())
        paths << entry.path;
    for (const QString& path : paths)
        sim.setFault(path, QStringLiteral("slow"), 0, 200000);
    // Two that fail whatever the network does: one the camera refuses, one it cuts off halfway.
    const QStringList meantToFail{paths.at(2), paths.at(7)};
    sim.setFault(meantToFail.at(0), QStringLiteral("404"));
    sim.setFault(meantToFail.at(1), QStringLiteral("truncate"));

    std::unique_ptr<MainWindow> window = openOnline(sim);
    MainWindow* w = window.get();
    CameraLink* link = w->findChild<CameraLink*>();
    waitFor([&] { return statusText(w).startsWith(QStringLiteral("Total media files")); }, 30000);
    QTemporaryDir folder;
    Prompt::setResponder([&](const Prompt::Request& request) {
        Prompt::Answer answer;
        answer.directory = folder.path();
        if (request.kind != Prompt::Kind::Directory)
            std::printf("box %s\n", qPrintable(request.text));
        return answer;
    });
    QString summary;
    bool finished = false;
    QObject::connect(w->findChild<DownloadBatch*>(), &DownloadBatch::finished, w, [&](const QString& s) {
        summary = s;
        finished = true;
    });
    w->findChild<QAction*>(QStringLiteral("actionSelectAll"))->trigger();
    click(w, "pbDownload");

    StallMeter stalls(10);
    int flaps = 0;
    int refreshes = 0;
    bool away = false;
    QTimer flapper;
    flapper.setSingleShot(true);
    QObject::connect(&flapper, &QTimer::timeout, [&] {
        away = !away;
        if (away) {
            CamSim::leaveNetwork();
            ++flaps;
        } else {
            CamSim::joinNetwork();
        }
        flapper.start(QRandomGenerator::global()->bounded(2000, 5001));
    });
    flapper.start(QRandomGenerator::global()->bounded(2000, 5001));
    QTimer refresher;
    QObject::connect(&refresher, &QTimer::timeout, [&] {
        click(w, "pbRefresh");
        ++refreshes;
    });
    refresher.start(1500);
    spin(seconds * 1000);
    flapper.stop();
    refresher.stop();
    CamSim::joinNetwork();

    // The batch may outlast the flapping: a file cut off gives up after its stall limit.
    waitFor([&] { return finished; }, 300000, 50);
    const bool online = waitFor([&] { return link->isOnline(); }, 30000, 50);
    sim.clearLog();
    click(w, "pbRefresh");
    sim.waitForRequest(QStringLiteral("/gp/gpMediaList"), 10000);
    TileGrid* grid = w->findChild<TileGrid*>();
    waitFor([&] { return grid->media().isComplete() && grid->media().count() == card.count(); }, 20000);
    spin(1500); // the tip changes every 500 ms while it shows

    // Every file under a real name is one of the camera's, byte for byte.
    QSet<QString> exact;
    int wrong = 0;
    int parts = 0;
    const QFileInfoList saved = QDir(folder.path()).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : saved) {
        if (file.fileName().endsWith(QLatin1String(".part"))) {
            ++parts;
            continue;
        }
        QString path;
        for (const QString& p : paths) {
            if (MediaList::fileName(p) == file.fileName())
                path = p;
        }
        QFile local(file.filePath());
        local.open(QIODevice::ReadOnly);
        const QByteArray bytes = local.readAll();
        if (!path.isEmpty() && !bytes.isEmpty() && bytes == cameraBytes(path)) {
            exact << file.fileName();
        } else {
            ++wrong;
            std::printf("not_byte_exact %s\n", qPrintable(file.fileName()));
        }
    }

    // The summary tells what the folder holds: "Downloaded X of Y files to F.", then
    // "Failed: NAME (why); NAME (why)". Each selected file is either saved or named there.
    const QRegularExpression counts(QStringLiteral("^Downloaded (\\d+) of (\\d+) files"));
    const QRegularExpressionMatch match = counts.match(summary);
    const int toldSaved = match.hasMatch() ? match.captured(1).toInt() : -1;
    const int toldTotal = match.hasMatch() ? match.captured(2).toInt() : -1;
    QStringList named;
    const qsizetype failedAt = summary.indexOf(QLatin1String("Failed: "));
    if (failedAt >= 0) {
        for (const QString& entry : summary.mid(failedAt + 8).split(QStringLiteral("; ")))
            named << entry.section(QStringLiteral(" ("), 0, 0);
    }
    QStringList unaccounted; // neither saved nor named
    QStringList misnamed; // named but saved, named twice, or not selected at all
    QSet<QString> selected;
    for (const QString& path : paths) {
        const QString name = MediaList::fileName(path);
        selected << name;
        if (!exact.contains(name) && !named.contains(name))
            unaccounted << name;
    }
    for (const QString& name : named) {
        if (exact.contains(name) || !selected.contains(name) || named.count(name) > 1)
            misnamed << name;
    }
    QStringList meantNames;
    bool failuresNamed = true;
    for (const QString& path : meantToFail) {
        meantNames << MediaList::fileName(path);
        failuresNamed = failuresNamed && named.contains(meantNames.last());
    }
    const bool summaryTrue = finished && toldSaved == exact.size() && toldTotal == paths.size()
        && toldSaved + named.size() == toldTotal && failuresNamed && unaccounted.isEmpty()
        && misnamed.isEmpty();

    const bool gridTrue = grid->media().count() == card.count()
        && statusText(w) == QStringLiteral("Total media files: %1").arg(card.count());
    bool tilesListed = !tiles(w).isEmpty();
    for (PreviewForm* tile : tiles(w)) {
        if (tile->isVisible() && !card.contains(tile->objectName()))
            tilesListed = false;
    }
    const bool consistent = online && !testsupport::showsFirstScreen(w) && gridTrue
        && tilesListed;

    std::printf("seconds %d\n", seconds);
    print("flaps", flaps);
    print("refreshes", refreshes);
    print("files_selected", paths.size());
    print("files_byte_exact", exact.size());
    print("files_not_byte_exact", wrong);
    print("part_files_left", parts);
    printText("files_meant_to_fail", meantNames.join(QLatin1Char(' ')));
    printText("files_failed_named", named.join(QLatin1Char(' ')));
    printText("files_neither_saved_nor_named", unaccounted.join(QLatin1Char(' ')));
    printText("files_named_wrongly", misnamed.join(QLatin1Char(' ')));
    printText("summary", summary);
    print("summary_true", summaryTrue);
    print("online_at_end", online);
    print("first_screen_at_end", testsupport::showsFirstScreen(w));
    print("grid_files", grid->media().count());
    printText("status", statusText(w));
    print("state_tip_grid_consistent", consistent);
    print("longest_stall_ms", stalls.longest());
    print("crashed", 0);
    return verdict(wrong == 0 && parts == 0 && summaryTrue && consistent,
                   QStringLiteral("flap: no crash, every saved file byte-exact, the summary names exactly the files that failed, "
                                  "state/tip/grid consistent"));
}

// ---------------------------------------------------------------------------------------

QByteArray unsafeNames(int count)
{
    const QStringList shapes{QStringLiteral("../GOPR%1.JPG"), QStringLiteral("a/../../GOPR%1.JPG"),
                             QStringLiteral("..\\GOPR%1.JPG"), QStringLiteral("/etc/GOPR%1"),
                             QStringLiteral("GOPR%1\u0000.JPG"), QStringLiteral("GOPR%1/"),
                             QStringLiteral("<b>GOPR%1</b>.JPG"), QStringLiteral("GOPR%1.JPG\n")};
    QJsonArray files;
    for (int n = 0; n < count; ++n)
        files.append(QJsonObject{{"n", shapes.at(n % shapes.size()).arg(n)}, {"mod", QString::number(n + 1)}});
    const QJsonArray dirs{QJsonObject{{"d", QStringLiteral("100GOPRO")}, {"fs", files}}};
    return QJsonDocument(QJsonObject{{"media", dirs}}).toJson(QJsonDocument::Compact);
}

int bodies(CamSim& sim)
{
    sim.setMediaJson(cardJson(12, 1));
    std::unique_ptr<MainWindow> window = openOnline(sim);
    MainWindow* w = window.get();
    waitFor([&] { return statusText(w).startsWith(QStringLiteral("Total media files")); }, 30000);
    spin(1000);

    QByteArray notJson(50 * 1024 * 1024, 'x');
    for (int i = 0; i < notJson.size(); i += 64)
        notJson[i] = '\n';
    notJson.prepend("<html><body>");
    const struct {
        const char* name;
        QByteArray body;
    } cases[] = {
        {"list_100000", cardJson(100000, 1)},
        {"not_json_50mb", notJson},
        {"unsafe_names_10000", unsafeNames(10000)},
    };
    bool pass = true;
    for (const auto& c : cases) {
        if (!sim.setMediaJson(c.body)) {
            std::printf("%s simulator refused the body\n", c.name);
            pass = false;
            continue;
        }
        w->statusBar()->clearMessage();
        const int lists = sim.countRequests(QStringLiteral("/gp/gpMediaList"));
        auto stalls = std::make_unique<StallMeter>(10);
        QElapsedTimer clock;
        clock.start();
        qint64 replyMs = -1;
        click(w, "pbRefresh");
        for (QNetworkReply* reply : w->findChildren<QNetworkReply*>()) {
            if (reply->url().path() == QLatin1String("/gp/gpMediaList") && !reply->isFinished())
                QObject::connect(reply, &QNetworkReply::finished, stalls.get(), [&] { replyMs = clock.elapsed(); });
        }
        sim.waitForRequest(QStringLiteral("/gp/gpMediaList"), 10000, lists + 1);
        const bool told = waitFor([&] { return !statusText(w).isEmpty(); }, 30000);
        const qint64 toldMs = clock.elapsed();
        spin(2000); // what the list leaves for later still counts
        const qint64 stall = stalls->longest();
        stalls.reset();
        std::printf("== %s (%lld bytes)\n", c.name, qint64(c.body.size()));
        print("longest_stall_ms", stall);
        print("list_reply_ms", replyMs);
        print("told_after_ms", told ? toldMs : -1);
        printText("window_says", statusText(w));
        print("grid_files", w->findChild<TileGrid*>()->media().count());
        pass = pass && told && stall <= 250;
    }
    return verdict(pass, QStringLiteral("bodies: no stall over 250 ms, the window says what it found"));
}

// ---------------------------------------------------------------------------------------

int silent(CamSim& sim, int minutes)
{
    sim.setMediaJson(cardJson(12, 1));
    std::unique_ptr<MainWindow> window = openOnline(sim);
    MainWindow* w = window.get();
    waitFor([&] { return statusText(w).startsWith(QStringLiteral("Total media files")); }, 30000);
    spin(2000);
    sim.clearLog();
    sim.setAnswer(QStringLiteral("stall"));

    QList<qint64> rss;
    int peakReplies = 0;
    int peakConnections = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, [&] {
        peakReplies = std::max(peakReplies, liveReplies(w));
        peakConnections = std::max(peakConnections, cameraConnections());
    });
    counter.start(100);
    for (int minute = 1; minute <= minutes; ++minute) {
        spin(60000);
        rss << rssKiB();
        // The first minute is warm-up: connections kept alive from before the camera fell
        // silent close by then.
        if (minute == 1)
            peakReplies = peakConnections = 0;
        std::printf("minute %d rss_mib %.3f live_replies %d program_camera_connections %d\n", minute,
                    rss.last() / 1024.0, liveReplies(w), cameraConnections());
        std::fflush(stdout);
    }
    counter.stop();
    const int pending = liveReplies(w);
    const QJsonObject state = sim.state();
    const QJsonObject connections = state.value(QStringLiteral("connections")).toObject();
    int held = 0;
    for (const QJsonValue& entry : sim.requests()) {
        if (entry.toObject().value(QStringLiteral("status")).toInt() == 0)
            ++held;
    }
    const int requests = int(sim.requests().size());
    sim.setAnswer(QStringLiteral("normal"));

    const double growthMiB = (rss.last() - rss.first()) / 1024.0;
    print("minutes", minutes);
    print("rss_growth_after_first_minute_mib", growthMiB);
    print("requests_sent", requests);
    print("requests_held_by_camera_at_end", held);
    print("camera_side_connections_held_80", connections.value(QStringLiteral("80")).toObject().value(QStringLiteral("current")).toInt());
    print("camera_side_connections_held_8080", connections.value(QStringLiteral("8080")).toObject().value(QStringLiteral("current")).toInt());
    print("pending_replies_at_end", pending);
    print("peak_pending_replies_after_first_minute", peakReplies);
    print("peak_program_camera_connections_after_first_minute", peakConnections);
    // A poll and a list request may be on their way at any moment, no more.
    return verdict(growthMiB <= 5.0 && peakReplies <= 4 && peakConnections <= 4,
                   QStringLiteral("silent: RSS growth <= 5 MiB after the first minute, no pile of pending requests"));
}

// ---------------------------------------------------------------------------------------

mediaplayer* openPlayer()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* player = qobject_cast<mediaplayer*>(widget))
            return player;
    }
    return nullptr;
}

int soak(CamSim& sim)
{
    const QByteArray lists[] = {cardJson(1000, 1), cardJson(1000, 101)};
    sim.setMediaJson(lists[0]);
    std::unique_ptr<MainWindow> window = openOnline(sim);
    MainWindow* w = window.get();
    waitFor([&] { return screenShown(w); }, 60000);

    // Refreshes, each to a card with new pictures on top (or the other way round).
    const int kRefreshes = 100;
    const int kWarmUp = 10;
    qint64 refreshBase = 0;
    int refreshesShown = 0;
    for (int i = 1; i <= kRefreshes; ++i) {
        const int other = i % 2;
        sim.setMediaJson(lists[other]);
        const QString newest = newestPath(1000, other ? 101 : 1);
        click(w, "pbRefresh");
        const bool shown = waitFor([&] {
            PreviewForm* top = w->findChild<PreviewForm*>(newest);
            return top && top->isVisible() && screenShown(w);
        }, 30000);
        refreshesShown += shown;
        if (i == kWarmUp) {
            spin(1000);
            refreshBase = rssKiB();
        }
    }
    spin(3000);
    const qint64 refreshEnd = rssKiB();

    // Players, opened on a video as a double click on its tile opens them, and closed.
    const QByteArray video =
        R"({"media":[{"d":"100GOPRO","fs":[{"n":"GH010001.MP4","mod":"2"},{"n":"GOPR0001.JPG","mod":"1"}]}]})";
    sim.setMediaJson(video);
    click(w, "pbRefresh");
    waitFor([&] { return w->findChild<PreviewForm*>(QStringLiteral("100GOPRO/GH010001.MP4")); }, 30000);
    const int kPlayers = 50;
    const int kPlayerWarmUp = 5;
    qint64 playerBase = 0;
    qint64 heapBase = 0;
    int objectsBase = 0;
    int played = 0;
    for (int i = 1; i <= kPlayers; ++i) {
        PreviewForm* tile = w->findChild<PreviewForm*>(QStringLiteral("100GOPRO/GH010001.MP4"));
        QTest::mouseDClick(tile->picture(), Qt::LeftButton);
        QPointer<mediaplayer> player;
        waitFor([&] { return (player = openPlayer()) != nullptr; }, 10000);
        if (!player)
            continue;
        QMediaPlayer* media = player->findChild<QMediaPlayer*>();
        if (waitFor([&] { return media->position() > 0; }, 10000))
            ++played;
        player->close();
        waitFor([&] { return !player; }, 10000);
        if (i == kPlayerWarmUp) {
            spin(1000);
            playerBase = rssKiB();
            heapBase = heapInUseKiB();
            objectsBase = int(qApp->findChildren<QObject*>().size() + QApplication::allWidgets().size());
        }
    }
    spin(3000);
    const qint64 playerEnd = rssKiB();
    const qint64 heapEnd = heapInUseKiB();
    const int objectsEnd = int(qApp->findChildren<QObject*>().size() + QApplication::allWidgets().size());

    // The same playbacks with Qt alone (a bare QMediaPlayer and QVideoWidget, nothing of
    // the program's): what the Qt Multimedia in use keeps of each playback by itself.
    qint64 bareBase = 0;
    for (int i = 1; i <= kPlayers; ++i) {
        QPointer<QVideoWidget> widget = new QVideoWidget;
        auto* media = new QMediaPlayer(widget);
        media->setVideoOutput(widget);
        widget->show();
        media->setSource(CameraRequests::file(CameraAddress::accessPoint(), QStringLiteral("100GOPRO/GH010001.MP4")));
        waitFor([&] { return media->mediaStatus() != QMediaPlayer::LoadingMedia; }, 10000);
        media->play();
        waitFor([&] { return media->position() > 0; }, 10000);
        media->stop();
        widget->deleteLater();
        waitFor([&] { return !widget; }, 10000);
        if (i == kPlayerWarmUp) {
            spin(1000);
            bareBase = rssKiB();
        }
    }
    spin(3000);
    const qint64 bareEnd = rssKiB();

    const double refreshGrowth = (refreshEnd - refreshBase) / 1024.0;
    const double playerGrowth = (playerEnd - playerBase) / 1024.0;
    print("refreshes", kRefreshes);
    print("refreshes_shown", refreshesShown);
    print("rss_after_refresh_warmup_mib", refreshBase / 1024.0);
    print("rss_after_refreshes_mib", refreshEnd / 1024.0);
    print("refresh_rss_growth_mib", refreshGrowth);
    print("players", kPlayers);
    print("players_that_played", played);
    print("rss_after_player_warmup_mib", playerBase / 1024.0);
    print("rss_after_players_mib", playerEnd / 1024.0);
    print("player_rss_growth_mib", playerGrowth);
    print("player_heap_in_use_growth_mib", (heapEnd - heapBase) / 1024.0);
    print("player_objects_and_widgets_growth", objectsEnd - objectsBase);
    print("qt_alone_player_rss_growth_mib", (bareEnd - bareBase) / 1024.0);
    return verdict(refreshesShown == kRefreshes && refreshGrowth <= 5.0 && playerGrowth <= 5.0,
                   QStringLiteral("soak: RSS growth <= 5 MiB after warm-up, refreshes and players"));
}

} // namespace

int main(int argc, char** argv)
{
    testsupport::requireSandbox();
    // As the program's main does: player threads share one heap.
    mallopt(M_ARENA_MAX, 2);
    // Keep the window's progress lines out of the figures.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: velkamo-faults flap SECONDS | bodies | silent MINUTES | soak\n");
        return 2;
    }
    testsupport::installFreshDataTree();
    // A box would wait for a user: each is answered, and shown in the output.
    Prompt::setResponder([](const Prompt::Request& request) {
        std::printf("box %s\n", qPrintable(request.text));
        return Prompt::Answer();
    });
    CamSim sim;
    if (!sim.start({QStringLiteral("--media-count"), QStringLiteral("0"), QStringLiteral("--file-bytes"),
                    QStringLiteral("1000000")}))
        return 1;
    const int n = args.value(2).toInt();
    if (args.at(1) == QLatin1String("flap"))
        return flap(sim, n > 0 ? n : 120);
    if (args.at(1) == QLatin1String("bodies"))
        return bodies(sim);
    if (args.at(1) == QLatin1String("silent"))
        return silent(sim, n > 1 ? n : 10);
    if (args.at(1) == QLatin1String("soak"))
        return soak(sim);
    return 2;
}
