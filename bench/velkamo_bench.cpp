// Media browser figures against the camera simulator, inside the network sandbox:
//   velkamo-bench grid N        the real window: refresh -> grid built -> every thumbnail shown
//   velkamo-bench peer N        one network manager per tile, every thumbnail at once
//   velkamo-bench download MiB  the real window downloading one file of that size
// Each prints "key value" lines.

#include "camsim.h"
#include "mainwindow.h"
#include "PictureLabel.h"
#include "PreviewForm.h"
#include "prompt.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QCheckBox>
#include <QtTest>

#include <cstdio>

#include <unistd.h>

namespace {

// Client connections to the camera: established TCP sockets whose far end is 10.5.5.9 on
// port 80 or 8080 (the simulator's own ends have ephemeral far ports).
int cameraConnections()
{
    int count = 0;
    for (const char* table : {"/proc/self/net/tcp"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() < 4 || f.at(3) != "01")
                continue;
            if (f.at(2) == "0905050A:0050" || f.at(2) == "0905050A:1F90")
                ++count;
        }
    }
    return count;
}

int openFiles()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

qint64 statusKiB(const char* key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    file.open(QIODevice::ReadOnly);
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

struct Peaks {
    // Reading /proc/self/net/tcp walks the kernel's whole connection table (milliseconds of
    // CPU each time): only where the connection count is wanted.
    bool countConnections = true;
    int connections = 0;
    int files = 0;
    qint64 rssKiB = 0;
    void sample()
    {
        if (countConnections) {
            connections = std::max(connections, cameraConnections());
            files = std::max(files, openFiles());
        }
        rssKiB = std::max(rssKiB, statusKiB("VmRSS:"));
    }
};

void print(const char* key, double value)
{
    std::printf("%s %.3f\n", key, value);
    std::fflush(stdout);
}

QList<PreviewForm*> tiles(MainWindow* window)
{
    return window->findChild<QScrollArea*>(QStringLiteral("scrollAreaPictureView"))
        ->findChildren<PreviewForm*>();
}

// Runs a real event loop, as the program does: QTest::qWait sleeps 10 ms between its rounds
// of events, which would add up to 10 ms to every request and answer being measured.
bool waitFor(const std::function<bool()>& done, int timeoutMs, Peaks* peaks, int pollMs = 10)
{
    if (done())
        return true;
    QElapsedTimer clock;
    clock.start();
    bool met = false;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (peaks)
            peaks->sample();
        met = done();
        if (met || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(pollMs);
    loop.exec();
    return met;
}

// A window online on the simulator's card, with the grid of its last list.
std::unique_ptr<MainWindow> openWindow(CamSim& sim, int tilesWanted)
{
    const int lists = sim.countRequests(QStringLiteral("/gp/gpMediaList"));
    auto window = std::make_unique<MainWindow>();
    window->resize(1280, 800);
    window->show();
    sim.waitForRequest(QStringLiteral("/gp/gpMediaList"), 15000, lists + 2);
    QList<PreviewForm*> before;
    waitFor([&] {
        const bool stable = before.size() == tilesWanted && tiles(window.get()) == before;
        before = tiles(window.get());
        return stable;
    }, 600000, nullptr, 500);
    return window;
}

int grid(CamSim& sim, int count)
{
    sim.setMediaCount(count);
    std::unique_ptr<MainWindow> window = openWindow(sim, count);
    QTest::qWait(1000); // let the first grid's thumbnails settle
    waitFor([] { return cameraConnections() <= 1; }, 60000, nullptr, 100);

    Peaks peaks;
    const qint64 rssBefore = statusKiB("VmRSS:");
    QElapsedTimer clock;
    window->findChild<QPushButton*>(QStringLiteral("pbRefresh"))->click();
    clock.start();
    QList<PreviewForm*> old = tiles(window.get());
    waitFor([&] {
        const QList<PreviewForm*> now = tiles(window.get());
        return now.size() == count && (now.isEmpty() || now.first() != old.value(0));
    }, 600000, &peaks);
    old.clear();
    const double gridMs = clock.elapsed();
    const QList<PreviewForm*> all = tiles(window.get());
    int shown = 0;
    waitFor([&] {
        shown = 0;
        for (PreviewForm* tile : all)
            shown += tile->picture()->hasThumbnail() ? 1 : 0;
        return shown == count;
    }, 1200000, &peaks, 50);
    const double thumbsMs = clock.elapsed();
    std::printf("files %d\n", count);
    print("grid_built_ms", gridMs);
    print("all_thumbnails_ms", thumbsMs);
    print("failed_thumbnails", count - shown);
    print("peak_camera_connections", peaks.connections);
    print("peak_open_files", peaks.files);
    print("rss_growth_mib", double(peaks.rssKiB - rssBefore) / 1024.0);
    print("peak_rss_mib", double(statusKiB("VmHWM:")) / 1024.0);
    return shown == count ? 0 : 1;
}

// The naive design: every tile with a network manager of its own, all asking at once.
int peer(CamSim& sim, int count)
{
    sim.setMediaCount(count);
    const QJsonObject list = QJsonDocument::fromJson(sim.mediaList()).object();
    QStringList paths;
    for (const QJsonValue& dir : list.value(QStringLiteral("media")).toArray()) {
        const QString d = dir.toObject().value(QStringLiteral("d")).toString();
        for (const QJsonValue& file : dir.toObject().value(QStringLiteral("fs")).toArray())
            paths << d + QLatin1Char('/') + file.toObject().value(QStringLiteral("n")).toString();
    }
    Peaks peaks;
    const qint64 rssBefore = statusKiB("VmRSS:");
    int finished = 0, failed = 0;
    QList<QNetworkAccessManager*> managers;
    QElapsedTimer clock;
    clock.start();
    for (const QString& path : std::as_const(paths)) {
        auto* manager = new QNetworkAccessManager;
        managers << manager;
        QNetworkReply* reply = manager->get(QNetworkRequest(
            QUrl(QStringLiteral("http://10.5.5.9/gp/gpMediaMetadata?p=") + path)));
        QObject::connect(reply, &QNetworkReply::finished, [reply, &finished, &failed] {
            ++finished;
            if (reply->error() != QNetworkReply::NoError || QImage::fromData(reply->readAll()).isNull())
                ++failed;
            reply->deleteLater();
        });
    }
    waitFor([&] { return finished == int(paths.size()); }, 1200000, &peaks);
    std::printf("files %d\n", int(paths.size()));
    print("all_thumbnails_ms", clock.elapsed());
    print("failed_thumbnails", failed);
    print("peak_camera_connections", peaks.connections);
    print("peak_open_files", peaks.files);
    print("rss_growth_mib", double(peaks.rssKiB - rssBefore) / 1024.0);
    qDeleteAll(managers);
    return 0;
}

int download(CamSim& sim, qint64 mib)
{
    const qint64 bytes = mib * 1024 * 1024;
    const QString path = QStringLiteral("100GOPRO/GH010001.MP4");
    sim.setMediaJson(QStringLiteral(R"({"media":[{"d":"100GOPRO","fs":[{"n":"GH010001.MP4","mod":"1","s":"%1"}]}]})")
                         .arg(bytes).toUtf8());
    QTemporaryDir dir;
    QTemporaryDir curlDir;

    // The peer: curl, same file, same sandbox, once before and once after Velkamo, each run
    // starting with no dirty pages left by the one before (writeback of a gigabyte written
    // just before would otherwise slow whichever runs second).
    QElapsedTimer clock;
    bool curlComplete = true;
    auto runCurl = [&] {
        ::sync();
        QFile::remove(curlDir.filePath(QStringLiteral("x")));
        clock.restart();
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"),
                                            curlDir.filePath(QStringLiteral("x")),
                                            QStringLiteral("http://10.5.5.9:8080/videos/DCIM/") + path});
        curl.waitForFinished(-1);
        const double ms = clock.elapsed();
        curlComplete = curlComplete && QFileInfo(curlDir.filePath(QStringLiteral("x"))).size() == bytes;
        return ms;
    };
    const double curlBeforeMs = runCurl();

    std::unique_ptr<MainWindow> window = openWindow(sim, 1);
    Prompt::setResponder([&](const Prompt::Request&) {
        Prompt::Answer answer;
        answer.directory = dir.path();
        return answer;
    });
    tiles(window.get()).first()->findChild<QCheckBox*>(QStringLiteral("checkBoxFile"))->click();
    QTest::qWait(500);
    ::sync();
    Peaks peaks;
    peaks.countConnections = false;
    const qint64 rssBefore = statusKiB("VmRSS:");
    window->findChild<QPushButton*>(QStringLiteral("pbDownload"))->click();
    clock.restart();
    waitFor([&] { return window->statusBar()->currentMessage().startsWith(QStringLiteral("Downloaded")); },
            1200000, &peaks, 20);
    const double velkamoMs = clock.elapsed();
    const QFileInfo saved(dir.filePath(QStringLiteral("GH010001.MP4")));
    const double rssGrowthMiB = double(peaks.rssKiB - rssBefore) / 1024.0;
    const double curlAfterMs = runCurl();
    const double curlMs = (curlBeforeMs + curlAfterMs) / 2;
    std::printf("file_mib %lld\n", mib);
    std::printf("status %s\n", qPrintable(window->statusBar()->currentMessage()));
    print("saved_bytes_match", saved.size() == bytes ? 1 : 0);
    print("curl_bytes_match", curlComplete ? 1 : 0);
    print("velkamo_ms", velkamoMs);
    print("curl_before_ms", curlBeforeMs);
    print("curl_after_ms", curlAfterMs);
    print("ratio_velkamo_to_curl", velkamoMs / curlMs);
    print("rss_growth_mib", rssGrowthMiB);
    return saved.size() == bytes ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    testsupport::requireSandbox();
    // Keep the window's progress lines out of the figures.
    qputenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: velkamo-bench grid|peer N | download MiB\n");
        return 2;
    }
    testsupport::installFreshDataTree();
    CamSim sim;
    if (!sim.start({QStringLiteral("--media-count"), QStringLiteral("0")}))
        return 1;
    const qint64 n = args.at(2).toLongLong();
    if (args.at(1) == QLatin1String("grid"))
        return grid(sim, int(n));
    if (args.at(1) == QLatin1String("peer"))
        return peer(sim, int(n));
    if (args.at(1) == QLatin1String("download"))
        return download(sim, n);
    return 2;
}
