// Player figures against the camera simulator, inside the network sandbox (with --xvfb):
//   velkamo-bench-preview [RUNS] [preview|file]
// For the live preview, once in H.264 (up to HERO12) and once in HEVC (HERO13) each run: from
// pressing Start to the first frame handed to the video widget and to the first frame visible
// on screen. For a file: the same from double-clicking a video tile. Prints "key value" lines
// (each run, then the median, the 95th percentile and the failures; for the preview whether
// each codec's median first frame is within its goal) and PASS, or FAIL when a run shows no
// frame on screen within 15 s (that run is described: what the player and the camera saw). A
// second argument "preview" or "file" runs only that kind.

#include "benchsupport.h"
#include "camsim.h"
#include "mainwindow.h"
#include "mediaplayer.h"
#include "picturelabel.h"
#include "previewform.h"
#include "prompt.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMediaPlayer>
#include <QMetaEnum>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QThread>
#include <QVideoFrame>
#include <QVideoSink>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

namespace {

QList<mediaplayer*> playerWindows()
{
    QList<mediaplayer*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* player = qobject_cast<mediaplayer*>(w))
            found << player;
    return found;
}

bool patternOnScreen(QWidget* video)
{
    if (!video->isVisible() || video->width() < 16)
        return false;
    const QPoint origin = video->mapToGlobal(QPoint(0, 0));
    const QImage image = video->screen()
                             ->grabWindow(0, origin.x(), origin.y(), video->width(), video->height())
                             .toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += qMax(1, image.height() / 32))
        for (int x = 0; x < image.width(); x += qMax(1, image.width() / 32))
            colours.insert(image.pixel(x, y));
    return colours.size() > 50;
}

const char* enumName(const QMetaEnum& e, int value)
{
    const char* name = e.valueToKey(value);
    return name ? name : "?";
}

// What one run saw: the times, and for a run without a frame on screen what the player and
// the camera did, so that a failure tells whether the open or the bench missed.
struct Timing {
    qint64 startedAt = 0; // when the trigger came, in ms on CLOCK_MONOTONIC
    qint64 frame = -1;    // first frame at the video widget's sink
    qint64 onScreen = -1; // first time the screen shows it
    qint64 lateFrame = -1; // a failed run's first frame after the time-out
    int frames = 0;
    int newWindows = 0;         // player windows that appeared (one expected)
    qint64 windowFound = -1;    // when the bench found it and watched its sink
    bool frameBeforeWatch = false; // the sink held a frame already then
    QString history;            // the player's status, state and error changes, timed
    QString state, status, error;
    QString around;

    bool failed() const { return onScreen < 0; }
    QString describe() const
    {
        // Put together piece by piece: an error text may hold "%1".
        QString text = QStringLiteral("state ") + state + QStringLiteral(" status ") + status
            + QStringLiteral(" error \"") + error + QStringLiteral("\" frames ")
            + QString::number(frames) + QStringLiteral(" windows ") + QString::number(newWindows)
            + QStringLiteral(" watched_at_ms ") + QString::number(windowFound)
            + QStringLiteral(" first_frame_ms ") + QString::number(frame)
            + QStringLiteral(" late_frame_ms ") + QString::number(lateFrame);
        if (frameBeforeWatch)
            text += QStringLiteral(" frame_before_watch");
        return text + QStringLiteral(" history [") + history.trimmed() + QStringLiteral("] ")
            + around;
    }
};

// Starts the clock, runs `trigger`, and times the new player window's first frame. A failed
// run asks `around` what else there is to tell while the window is still open.
Timing timeFirstFrame(const std::function<void()>& trigger, const std::function<QString()>& around,
                      int timeoutMs = 15000)
{
    Timing t;
    const QList<mediaplayer*> before = playerWindows();
    QElapsedTimer clock;
    clock.start();
    t.startedAt = clock.msecsSinceReference();
    trigger();
    mediaplayer* window = nullptr;
    QMediaPlayer* player = nullptr;
    const QMetaEnum statusEnum = QMetaEnum::fromType<QMediaPlayer::MediaStatus>();
    const QMetaEnum stateEnum = QMetaEnum::fromType<QMediaPlayer::PlaybackState>();
    const auto note = [&t, &clock](const char* what) {
        t.history += QStringLiteral("%1:%2 ").arg(clock.elapsed()).arg(QLatin1String(what));
    };
    QList<QMetaObject::Connection> watches;
    while (clock.elapsed() < timeoutMs && t.onScreen < 0) {
        if (!window) {
            for (mediaplayer* w : playerWindows()) {
                if (!before.contains(w)) {
                    window = w;
                    ++t.newWindows;
                }
            }
            if (window) {
                t.windowFound = clock.elapsed();
                player = window->findChild<QMediaPlayer*>();
                QVideoSink* sink = window->findChild<VideoWidget*>()->videoSink();
                t.frameBeforeWatch = sink->videoFrame().isValid();
                note(enumName(statusEnum, player->mediaStatus()));
                note(enumName(stateEnum, player->playbackState()));
                watches << QObject::connect(sink, &QVideoSink::videoFrameChanged, window,
                                            [&t, &clock](const QVideoFrame& frame) {
                                                if (!frame.isValid())
                                                    return;
                                                ++t.frames;
                                                if (t.frame < 0)
                                                    t.frame = clock.elapsed();
                                            });
                watches << QObject::connect(player, &QMediaPlayer::mediaStatusChanged, window,
                                            [&](QMediaPlayer::MediaStatus s) {
                                                note(enumName(statusEnum, s));
                                            });
                // A change the window makes in answer to a status is heard before that
                // status: the status at the time tells which one it answered.
                watches << QObject::connect(
                    player, &QMediaPlayer::playbackStateChanged, window,
                    [&](QMediaPlayer::PlaybackState s) {
                        note(qPrintable(QStringLiteral("%1(in %2)").arg(
                            QLatin1String(enumName(stateEnum, s)),
                            QLatin1String(enumName(statusEnum, player->mediaStatus())))));
                    });
                watches << QObject::connect(player, &QMediaPlayer::errorOccurred, window,
                                            [&](QMediaPlayer::Error, const QString& text) {
                                                note(qPrintable(QStringLiteral("error(%1)").arg(text)));
                                            });
            }
        }
        if (window && t.frame >= 0 && patternOnScreen(window->findChild<VideoWidget*>()))
            t.onScreen = clock.elapsed();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(2000);
    }
    // A failed run watches as long again, to tell a late frame from none.
    if (t.frame < 0 && window) {
        bench::waitFor([&t] { return t.frame >= 0; }, timeoutMs);
        std::swap(t.frame, t.lateFrame);
    }
    for (const QMetaObject::Connection& c : watches)
        QObject::disconnect(c);
    if (player) {
        t.state = QLatin1String(enumName(stateEnum, player->playbackState()));
        t.status = QLatin1String(enumName(statusEnum, player->mediaStatus()));
        t.error = player->errorString();
    }
    if (t.failed())
        t.around = around();
    if (window)
        window->close();
    QTest::qWait(300);
    return t;
}

// The sockets of the sandbox on the preview's port 8554, as "address queued dropped": two
// would share the stream, a full queue tells a player that stopped reading.
QString previewSockets()
{
    QFile file(QStringLiteral("/proc/self/net/udp"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    QStringList found;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 13 || !f.at(1).endsWith(":216A"))
            continue;
        bool ok = false;
        const QHostAddress address(qFromBigEndian(f.at(1).left(8).toUInt(&ok, 16)));
        found << QStringLiteral("%1 %2 %3")
                     .arg(address.toString())
                     .arg(f.at(4).split(':').value(1).toLongLong(&ok, 16))
                     .arg(QString::fromLatin1(f.at(12)));
    }
    return found.join(QStringLiteral(", "));
}

// The camera's side of a failed run: the requests it got since the log was cleared (the
// status polls left out), with their answers (0: still held).
QString cameraSide(CamSim& sim)
{
    QStringList seen;
    for (const QJsonValue& v : sim.requests()) {
        const QJsonObject r = v.toObject();
        const QString target = r.value("target").toString();
        if (target.startsWith(QLatin1String("/gp/gpControl/status")))
            continue;
        seen << QStringLiteral("%1 %2 %3 @%4")
                    .arg(r.value("method").toString(), target)
                    .arg(r.value("status").toInt())
                    .arg(qint64(r.value("time_ms").toDouble()));
    }
    const QJsonObject state = sim.state();
    return QStringLiteral("camera streaming %1 stream_starts %2 port_8554 [%3] requests [%4]")
        .arg(state.value("streaming").toBool() ? "yes" : "no")
        .arg(state.value("streamStarts").toInt())
        .arg(previewSockets(), seen.join(QStringLiteral(", ")));
}

// The value below which `percent` of the runs that showed a frame lie (nearest rank).
qint64 percentile(QList<qint64> values, int percent)
{
    values.removeAll(-1);
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const int rank = (percent * int(values.size()) + 99) / 100;
    return values.at(qBound(0, rank - 1, int(values.size()) - 1));
}

qint64 median(const QList<qint64>& values)
{
    return percentile(values, 50);
}

// Start to first frame, median of each codec.
constexpr qint64 kPreviewGoalMs = 250;

struct PreviewCodec {
    const char* name; // as the simulator's /preview-codec takes it
    // From Start, and the player's own share: from the stream's first datagram on.
    QList<qint64> frame, onScreen, afterDatagram;
};

int fail(const char* why)
{
    std::printf("FAIL %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    testsupport::requireSandbox();
    qputenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? args.at(1).toInt() : 5;
    const QString only = args.size() > 2 ? args.at(2) : QString();
    const bool doPreview = only != QLatin1String("file");
    const bool doFile = only != QLatin1String("preview");
    testsupport::installFreshDataTree();
    Prompt::setResponder([](const Prompt::Request&) { return Prompt::Answer(); });

    CamSim sim;
    if (!sim.start({QStringLiteral("--media-count"), QStringLiteral("4")}))
        return fail("the simulator did not start");
    QString video;
    const QJsonArray folders =
        QJsonDocument::fromJson(sim.mediaList()).object().value("media").toArray();
    for (const QJsonValue& folder : folders)
        for (const QJsonValue& file : folder.toObject().value("fs").toArray())
            if (video.isEmpty() && file.toObject().value("n").toString().endsWith(".MP4"))
                video = folder.toObject().value("d").toString() + "/" + file.toObject().value("n").toString();

    MainWindow window;
    window.resize(1100, 700);
    window.show();
    // Online on the first keep-alive answer, when the list is asked for (an earlier request
    // the window cancels at once does not reach the camera).
    if (!sim.waitForRequest("/gp/gpMediaList", 15000)
        || !QTest::qWaitFor([&] { return window.findChild<PreviewForm*>(video) != nullptr; }, 15000))
        return fail("the window did not come online with its grid");
    QTest::qWait(500);
    window.findChild<QCheckBox*>("checkBox_3rdPreview")->setChecked(false);

    PreviewCodec codecs[] = {{"h264", {}, {}, {}}, {"hevc", {}, {}, {}}};
    QList<qint64> fileFrame, fileScreen;
    int previewFailures = 0;
    int fileFailures = 0;
    const auto around = [&sim] { return cameraSide(sim); };
    const auto report = [](int run, const QString& kind, const Timing& t) {
        std::printf("run %d %s_failed %s\n", run, qPrintable(kind), qPrintable(t.describe()));
    };
    for (int i = 0; i < runs; ++i) {
        // The codecs take turns, so that whatever else the machine does weighs on both alike.
        for (PreviewCodec& codec : codecs) {
            if (!doPreview)
                continue;
            const QString kind = QStringLiteral("preview_%1").arg(QLatin1String(codec.name));
            if (sim.control(QStringLiteral("/preview-codec?c=%1").arg(QLatin1String(codec.name))).isEmpty())
                return fail("the simulator did not take the preview codec");
            sim.clearLog();
            const Timing preview = timeFirstFrame(
                [&] { window.findChild<QPushButton*>("pbStart_LiveView")->click(); }, around);
            if (preview.failed()) {
                ++previewFailures;
                report(i + 1, kind, preview);
            }
            const qint64 firstDatagram =
                qint64(sim.state().value("streamFirstDatagramMs").toDouble());
            const qint64 afterDatagram = preview.frame >= 0 && firstDatagram > 0
                                             ? preview.startedAt + preview.frame - firstDatagram
                                             : -1;
            window.findChild<QPushButton*>("pbStopLiveView")->click();
            if (!QTest::qWaitFor([&] { return !sim.state().value("streaming").toBool(); }, 5000))
                return fail("the camera still streams 5 s after the preview stopped");
            std::printf("run %d %s_first_frame_ms %lld %s_on_screen_ms %lld "
                        "%s_after_first_datagram_ms %lld\n",
                        i + 1, qPrintable(kind), preview.frame, qPrintable(kind), preview.onScreen,
                        qPrintable(kind), afterDatagram);
            codec.frame << preview.frame;
            codec.onScreen << preview.onScreen;
            codec.afterDatagram << afterDatagram;
        }
        if (doFile) {
            sim.clearLog();
            const Timing file = timeFirstFrame([&] {
                QTest::mouseDClick(window.findChild<PreviewForm*>(video)->picture(), Qt::LeftButton);
            }, around);
            if (file.failed()) {
                ++fileFailures;
                report(i + 1, QStringLiteral("file"), file);
            }
            std::printf("run %d file_first_frame_ms %lld file_on_screen_ms %lld\n", i + 1,
                        file.frame, file.onScreen);
            fileFrame << file.frame;
            fileScreen << file.onScreen;
        }
        std::fflush(stdout);
    }
    // Figures are of the runs that showed a frame; the failures are counted apart.
    const auto figures = [](const char* kind, const QList<qint64>& frame, const QList<qint64>& onScreen) {
        std::printf("%s_first_frame_ms %lld\n%s_first_frame_p95_ms %lld\n"
                    "%s_on_screen_ms %lld\n%s_on_screen_p95_ms %lld\n",
                    kind, median(frame), kind, percentile(frame, 95), kind, median(onScreen), kind,
                    percentile(onScreen, 95));
    };
    if (doPreview) {
        for (const PreviewCodec& codec : codecs) {
            const QByteArray kind = "preview_" + QByteArray(codec.name);
            figures(kind.constData(), codec.frame, codec.onScreen);
            std::printf("%s_after_first_datagram_ms %lld\n%s_after_first_datagram_p95_ms %lld\n",
                        kind.constData(), median(codec.afterDatagram), kind.constData(),
                        percentile(codec.afterDatagram, 95));
            const qint64 m = median(codec.frame);
            std::printf("%s_goal %s (median first frame %lld ms, goal %lld ms)\n", kind.constData(),
                        m >= 0 && m <= kPreviewGoalMs ? "met" : "missed", m, kPreviewGoalMs);
        }
        std::printf("preview_failures %d\n", previewFailures);
    }
    if (doFile) {
        figures("file", fileFrame, fileScreen);
        std::printf("file_failures %d\n", fileFailures);
    }
    if (previewFailures + fileFailures > 0) {
        std::printf("FAIL %d of %d runs showed no frame on screen within 15 s\n",
                    previewFailures + fileFailures, runs * (2 * int(doPreview) + int(doFile)));
        return 1;
    }
    std::printf("PASS every run showed its first frame\n");
    return 0;
}
