// Media browser figures against the camera simulator, inside the network sandbox:
//   velkamo-bench grid N        the real window: refresh -> first screen of thumbnails, the
//                               longest GUI stall meanwhile, then a scroll top to bottom
//   velkamo-bench download MiB [wifi|usb] [velkamo-first|curl-first]
//                               one file of that size saved by Velkamo and by curl, in the
//                               order given: by Wi-Fi the real window; on a USB cable the
//                               window's download engine, the window not reaching one yet
// Each prints "key value" lines.

#include "benchsupport.h"
#include "cameraaddress.h"
#include "camsim.h"
#include "downloadbatch.h"
#include "mainwindow.h"
#include "previewform.h"
#include "prompt.h"
#include "stallmeter.h"
#include "testsupport.h"
#include "thumbnailqueue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
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

// The camera on the bench's USB cable.
const char* const kUsbSerial = "C3441324784461";

// The card's list in either family: the older request up to HERO8, the documented one from
// HERO9 (the grid runs on either model's card).
const QStringList kListPaths{QStringLiteral("/gp/gpMediaList"), QStringLiteral("/gopro/media/list")};

// A window online on the simulator's card, its first screen of thumbnails shown.
std::unique_ptr<MainWindow> openWindow(CamSim& sim, int count)
{
    // Either family's list: a camera may tell a model that reads its card the newer way.
    const auto lists = [&sim] {
        return sim.countRequests(kListPaths.at(0)) + sim.countRequests(kListPaths.at(1));
    };
    const int asked = lists();
    auto window = std::make_unique<MainWindow>();
    window->resize(1280, 800);
    window->show();
    waitFor([&] { return lists() >= asked + 1; }, 15000, 50);
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
        if (kListPaths.contains(reply->url().path()) && !reply->isFinished())
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

struct Figures {
    double wall = 0; // ms
    double cpu = 0;  // ms
    bool complete = false;
};

int download(CamSim& sim, qint64 mib, bool usb, bool velkamoFirst)
{
    const qint64 bytes = mib * 1024 * 1024;
    const QString path = QStringLiteral("100GOPRO/GH010001.MP4");
    sim.setMediaJson(QStringLiteral(R"({"media":[{"d":"100GOPRO","fs":[{"n":"GH010001.MP4","mod":"1","s":"%1"}]}]})")
                         .arg(bytes).toUtf8());
    const CameraAddress camera = usb ? CameraAddress::usb(CamSim::usbCameraAddress(QLatin1String(kUsbSerial)))
                                     : CameraAddress::accessPoint();

    // Both files go to memory, one at a time: a disk's writeback of one gigabyte would slow
    // whatever runs next.
    QTemporaryDir scratch;
    if (const QString why = testsupport::mountTmpfs(scratch.path(), QStringLiteral("%1m").arg(mib + 64));
        !why.isEmpty()) {
        std::fprintf(stderr, "cannot mount a tmpfs: %s\n", qPrintable(why));
        return 1;
    }
    const QString folder = scratch.path();
    const QString saved = scratch.filePath(QStringLiteral("GH010001.MP4"));
    QElapsedTimer clock;

    auto runCurl = [&] {
        const QString out = scratch.filePath(QStringLiteral("curl"));
        const double cpuBefore = cpuMs(RUSAGE_CHILDREN);
        clock.restart();
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), out,
                                            camera.mediaUrl(QStringLiteral("/videos/DCIM/") + path).toString()});
        curl.waitForFinished(-1);
        Figures f{double(clock.elapsed()), cpuMs(RUSAGE_CHILDREN) - cpuBefore, QFileInfo(out).size() == bytes};
        QFile::remove(out);
        return f;
    };

    // Velkamo: the window, ready with the file ticked (on the cable, the camera it found).
    QString summary;
    std::unique_ptr<MainWindow> window = openWindow(sim, 1);
    Prompt::setResponder([&](const Prompt::Request&) {
        Prompt::Answer answer;
        answer.directory = folder;
        return answer;
    });
    tiles(window.get()).first()->findChild<QCheckBox*>(QStringLiteral("checkBoxFile"))->click();
    QTest::qWait(500);
    Peaks peaks;
    peaks.countConnections = false;
    qint64 rssBefore = 0;
    auto runVelkamo = [&] {
        rssBefore = statusKiB("VmRSS:");
        const double cpuBefore = cpuMs();
        clock.restart();
        window->findChild<QPushButton*>(QStringLiteral("pbDownload"))->click();
        waitFor([&] { return window->statusBar()->currentMessage().startsWith(QStringLiteral("Downloaded")); },
                1200000, 20, &peaks);
        summary = window->statusBar()->currentMessage();
        Figures f{double(clock.elapsed()), cpuMs() - cpuBefore, QFileInfo(saved).size() == bytes};
        QFile::remove(saved);
        return f;
    };

    Figures velkamo, curl;
    if (velkamoFirst) {
        velkamo = runVelkamo();
        curl = runCurl();
    } else {
        curl = runCurl();
        velkamo = runVelkamo();
    }
    std::printf("link %s\n", usb ? "usb" : "wifi");
    std::printf("order %s\n", velkamoFirst ? "velkamo-first" : "curl-first");
    std::printf("file_mib %lld\n", mib);
    printText("status", summary);
    print("saved_bytes_match", velkamo.complete ? 1 : 0);
    print("curl_bytes_match", curl.complete ? 1 : 0);
    print("velkamo_ms", velkamo.wall);
    print("velkamo_cpu_ms", velkamo.cpu);
    print("curl_ms", curl.wall);
    print("curl_cpu_ms", curl.cpu);
    print("ratio_velkamo_to_curl", velkamo.wall / curl.wall);
    print("cpu_ratio_velkamo_to_curl", velkamo.cpu / curl.cpu);
    print("rss_growth_mib", double(peaks.rssKiB - rssBefore) / 1024.0);
    return velkamo.complete && curl.complete ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    testsupport::requireSandbox();
    // Keep the window's progress lines out of the figures.
    qputenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString link = args.value(3, QStringLiteral("wifi"));
    const QString order = args.value(4, QStringLiteral("velkamo-first"));
    const bool isDownload = args.value(1) == QLatin1String("download");
    const bool usb = link == QLatin1String("usb");
    const bool valid = args.size() >= 3
        && (isDownload ? args.size() <= 5 && (usb || link == QLatin1String("wifi"))
                             && (order == QLatin1String("velkamo-first") || order == QLatin1String("curl-first"))
                       : (args.size() == 3 || args.size() == 4) && args.at(1) == QLatin1String("grid"));
    if (!valid) {
        std::fprintf(stderr, "usage: velkamo-bench grid N [MODEL] | download MiB [wifi|usb] [velkamo-first|curl-first]\n");
        return 2;
    }
    testsupport::installFreshDataTree();
    CamSim sim;
    QStringList simArgs{QStringLiteral("--media-count"), QStringLiteral("0")};
    // The grid on another model's card requests (HERO5 by default).
    const int model = isDownload ? 5 : args.value(3, QStringLiteral("5")).toInt();
    if (!isDownload) {
        testsupport::writeDefaultModel(QStringLiteral("hero%1").arg(model));
        simArgs << QStringLiteral("--model") << QString::number(model);
    }
    if (usb) {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty()) {
            std::fprintf(stderr, "no USB cable here: %s\n", qPrintable(why));
            return 77;
        }
        // Only the cable: the camera's Wi-Fi address is not there at all.
        if (!CamSim::leaveNetwork()
            || !sim.startUsb(QLatin1String(kUsbSerial), simArgs + QStringList{QStringLiteral("--model"), QStringLiteral("12")}))
            return 1;
    } else if (!sim.start(simArgs)) {
        return 1;
    }
    const qint64 n = args.at(2).toLongLong();
    if (isDownload)
        return download(sim, n, usb, order == QLatin1String("velkamo-first"));
    return grid(sim, int(n));
}
