// Media browser figures against the camera simulator, inside the network sandbox:
//   velkamo-bench grid N        the real window: refresh -> first screen of thumbnails, the
//                               longest GUI stall meanwhile, then a scroll top to bottom
//   velkamo-bench download MiB  the real window downloading one file of that size
// Each prints "key value" lines.

#include "benchsupport.h"
#include "camsim.h"
#include "mainwindow.h"
#include "previewform.h"
#include "prompt.h"
#include "stallmeter.h"
#include "testsupport.h"
#include "thumbnailqueue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QtTest>

#include <cstdio>

#include <sys/resource.h>
#include <unistd.h>

using namespace bench;

namespace {

// CPU time this process has used so far, all threads, user and system.
double cpuMs(int who = RUSAGE_SELF)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// A window online on the simulator's card, its first screen of thumbnails shown.
std::unique_ptr<MainWindow> openWindow(CamSim& sim, int count)
{
    const int lists = sim.countRequests(QStringLiteral("/gp/gpMediaList"));
    auto window = std::make_unique<MainWindow>();
    window->resize(1280, 800);
    window->show();
    sim.waitForRequest(QStringLiteral("/gp/gpMediaList"), 15000, lists + 2);
    const QString total = QStringLiteral("Total media files: %1").arg(count);
    QList<PreviewForm*> before;
    waitFor([&] {
        const QList<PreviewForm*> now = tiles(window.get());
        const bool stable = !now.isEmpty() && now == before
            && window->statusBar()->currentMessage() == total;
        before = now;
        return stable && screenShown(window.get());
    }, 600000, 500);
    return window;
}

int grid(CamSim& sim, int count)
{
    sim.setMediaJson(cardJson(count, 1));
    std::unique_ptr<MainWindow> window = openWindow(sim, count);
    QTest::qWait(1000);
    waitFor([] { return cameraConnections() <= 1; }, 600000, 100);

    // A refresh after new pictures were taken: a screenful and more of new files on top.
    sim.setMediaJson(cardJson(count, 101));
    const QString newest = newestPath(count, 101);
    Peaks peaks;
    peaks.countConnections = false;
    QElapsedTimer clock;
    qint64 replyMs = -1;
    std::unique_ptr<StallMeter> stalls(new StallMeter(5));
    window->findChild<QPushButton*>(QStringLiteral("pbRefresh"))->click();
    clock.start();
    for (QNetworkReply* reply : window->findChildren<QNetworkReply*>()) {
        if (reply->url().path() == QLatin1String("/gp/gpMediaList") && !reply->isFinished())
            QObject::connect(reply, &QNetworkReply::readChannelFinished, [&] { replyMs = clock.elapsed(); });
    }
    waitFor([&] {
        PreviewForm* top = window->findChild<PreviewForm*>(newest);
        return top && top->isVisible() && screenShown(window.get());
    }, 600000, 1, &peaks);
    const double firstScreenMs = clock.elapsed() - std::max<qint64>(0, replyMs);
    QTest::qWait(1000); // what the refresh leaves for later still counts
    const qint64 stallMs = stalls->longest();
    stalls.reset();

    // Top to bottom a page at a time, each page's thumbnails awaited.
    QScrollBar* bar = gridArea(window.get())->verticalScrollBar();
    QSet<QString> shown;
    int peakTiles = 0;
    int pagesMissing = 0;
    clock.restart();
    for (int value = 0;; value += bar->pageStep()) {
        bar->setValue(std::min(value, bar->maximum()));
        if (!waitFor([&] { return screenShown(window.get(), &shown); }, 20000, 5, &peaks))
            ++pagesMissing;
        peaks.sample();
        peakTiles = std::max(peakTiles, int(tiles(window.get()).size()));
        if (value >= bar->maximum())
            break;
    }
    const double scrollMs = clock.elapsed();
    std::printf("files %d\n", count);
    print("list_reply_ms_after_click", replyMs);
    print("first_screen_ms", firstScreenMs);
    print("longest_stall_ms", stallMs);
    print("scroll_ms", scrollMs);
    print("thumbnails_shown", shown.size());
    print("failed_thumbnails", count - shown.size());
    print("pages_missing_thumbnails", pagesMissing);
    print("peak_tiles", peakTiles);
    print("peak_thumbnail_requests", ThumbnailQueue::shared()->peakInFlight());
    print("peak_rss_mib", double(statusKiB("VmHWM:")) / 1024.0);
    return shown.size() == count ? 0 : 1;
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
    const double childCpuBefore = cpuMs(RUSAGE_CHILDREN);
    const double curlBeforeMs = runCurl();
    const double curlCpuMs = cpuMs(RUSAGE_CHILDREN) - childCpuBefore;

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
    const double cpuBefore = cpuMs();
    window->findChild<QPushButton*>(QStringLiteral("pbDownload"))->click();
    clock.restart();
    waitFor([&] { return window->statusBar()->currentMessage().startsWith(QStringLiteral("Downloaded")); },
            1200000, 20, &peaks);
    const double velkamoMs = clock.elapsed();
    const double velkamoCpuMs = cpuMs() - cpuBefore;
    const QFileInfo saved(dir.filePath(QStringLiteral("GH010001.MP4")));
    const double rssGrowthMiB = double(peaks.rssKiB - rssBefore) / 1024.0;
    const double curlAfterMs = runCurl();
    const double curlMs = (curlBeforeMs + curlAfterMs) / 2;
    std::printf("file_mib %lld\n", mib);
    std::printf("status %s\n", qPrintable(window->statusBar()->currentMessage()));
    print("saved_bytes_match", saved.size() == bytes ? 1 : 0);
    print("curl_bytes_match", curlComplete ? 1 : 0);
    print("velkamo_ms", velkamoMs);
    print("velkamo_cpu_ms", velkamoCpuMs);
    print("curl_cpu_ms", curlCpuMs);
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
        std::fprintf(stderr, "usage: velkamo-bench grid N | download MiB\n");
        return 2;
    }
    testsupport::installFreshDataTree();
    CamSim sim;
    if (!sim.start({QStringLiteral("--media-count"), QStringLiteral("0")}))
        return 1;
    const qint64 n = args.at(2).toLongLong();
    if (args.at(1) == QLatin1String("grid"))
        return grid(sim, int(n));
    if (args.at(1) == QLatin1String("download"))
        return download(sim, n);
    return 2;
}
