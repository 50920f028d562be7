// Webcam output latency and cost, inside the network sandbox with a private PipeWire daemon:
//   velkamo-bench-webcam [SECONDS]
// A 1080p30 H.264 stream in MPEG-TS (libx264, as the camera's) is encoded beforehand with each
// frame's number drawn into it as a stripe of big black and white blocks, then sent over UDP
// frame by frame at 30 a second, as a camera sends it. Velkamo's webcam output runs in a child
// process (so that its CPU time is its own) and offers a PipeWire video source; this process
// reads that back with pipewiresrc, reads each frame's number from the stripe and takes the
// time from the frame's first datagram leaving to the frame arriving at the reader. Prints
// "key value" lines: the median and 95th percentile latency, frames sent, read and lost, the
// output's CPU milliseconds per second of video, and PASS when the median is within 60 ms.

#include "benchsupport.h"
#include "fakesysfs.h"
#include "pipewiredaemon.h"
#include "testsupport.h"
#include "webcamoutput.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSocketNotifier>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr quint16 kPort = 8554;
constexpr int kFps = 30;
constexpr int kWarmUpSeconds = 4;
// The frame number in 12 blocks of 120×120 pixels across the top, lowest bit left; blocks 12 to
// 15 always read white, black, white, black, so that a frame whose stripe is not there is not
// taken for one.
constexpr int kBlock = 120;
constexpr int kNumberBits = 12;
constexpr int kGuard = 0b0101; // bits 12..15
const char kName[] = "HERO12 Black …583";
const char kReader[] = "velkamo-bench-reader";
const int kTsPacket = 188;
const int kVideoPid = 0x100; // ffmpeg's first stream

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The child: Velkamo's output alone, told "mark" and "stop" on stdin; at "stop" it prints
// the CPU milliseconds spent and the wall milliseconds passed since "mark".
int runOutput(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    WebcamOutput output;
    QObject::connect(&output, &WebcamOutput::failed, &app, [](const QString& message) {
        std::printf("failed %s\n", qPrintable(message));
        std::fflush(stdout);
        QCoreApplication::exit(1);
    });
    QObject::connect(&output, &WebcamOutput::started, &app, [](const QString& where) {
        std::printf("started %s\n", qPrintable(where));
        std::fflush(stdout);
    });
    auto cpuMs = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
               + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    };
    double markCpu = 0;
    qint64 markNs = 0;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[64] = {};
        const ssize_t got = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (got > 0 && std::strncmp(line, "mark", 4) == 0) {
            markCpu = cpuMs();
            markNs = nowNs();
        } else {
            std::printf("cpu_ms %.1f\nwall_ms %.1f\n", cpuMs() - markCpu, (nowNs() - markNs) / 1e6);
            std::fflush(stdout);
            output.stop();
            QCoreApplication::quit();
        }
    });
    output.start(QHostAddress::LocalHost, kPort, QString::fromUtf8(kName));
    return app.exec();
}

// The stream, encoded ahead so that the encoder's time is not the output's.
QString encode(const QString& file, int seconds)
{
    QString filters = QStringLiteral("drawbox=x=0:y=0:w=%1:h=%2:color=black:t=fill").arg(16 * kBlock).arg(kBlock);
    for (int bit = 0; bit < 16; ++bit) {
        QString enable;
        if (bit < kNumberBits)
            enable = QStringLiteral(":enable='bitand(n,%1)'").arg(1 << bit);
        else if (!(kGuard & (1 << (bit - kNumberBits))))
            continue;
        filters += QStringLiteral(",drawbox=x=%1:y=0:w=%2:h=%2:color=white:t=fill%3").arg(bit * kBlock).arg(kBlock).arg(enable);
    }
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                  QStringLiteral("testsrc2=size=1920x1080:rate=%1").arg(kFps), "-t", QString::number(seconds),
                  "-vf", filters, "-c:v", "libx264", "-preset", "ultrafast", "-tune", "zerolatency",
                  "-g", "15", "-pix_fmt", "yuv420p", "-b:v", "6M", "-f", "mpegts", file});
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitCode() != 0)
        return QStringLiteral("ffmpeg failed");
    return QString();
}

// The stream's datagrams (seven TS packets each, as cameras and ffmpeg send), grouped by
// frame: a frame begins with the video packet that starts a PES packet.
std::vector<std::vector<QByteArray>> framesOf(const QByteArray& ts)
{
    std::vector<std::vector<QByteArray>> frames;
    QByteArray pending;
    auto flush = [&] {
        if (frames.empty() || pending.isEmpty())
            return;
        frames.back().push_back(pending);
        pending.clear();
    };
    for (int at = 0; at + kTsPacket <= ts.size(); at += kTsPacket) {
        const auto* packet = reinterpret_cast<const uchar*>(ts.constData() + at);
        const int pid = ((packet[1] & 0x1f) << 8) | packet[2];
        if (pid == kVideoPid && (packet[1] & 0x40)) {
            flush();
            frames.emplace_back();
        }
        pending.append(ts.mid(at, kTsPacket));
        if (pending.size() == 7 * kTsPacket)
            flush();
    }
    flush();
    return frames;
}

struct Reading {
    std::mutex lock;
    std::vector<qint64> arrivedNs; // by frame number; 0 until read
    std::atomic<int> read{0};
    std::atomic<int> unreadable{0};
    std::atomic<int> samples{0};
};

// The frame's number from its stripe, or -1.
int numberIn(const GstVideoFrame& frame)
{
    const auto* luma = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    if (GST_VIDEO_FRAME_WIDTH(&frame) < 16 * kBlock || GST_VIDEO_FRAME_HEIGHT(&frame) < kBlock)
        return -1;
    int bits = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if (luma[(kBlock / 2) * stride + bit * kBlock + kBlock / 2] > 128)
            bits |= 1 << bit;
    }
    if ((bits >> kNumberBits) != kGuard)
        return -1;
    return bits & ((1 << kNumberBits) - 1);
}

GstFlowReturn frameRead(GstAppSink* sink, gpointer data)
{
    const qint64 arrived = nowNs();
    auto* reading = static_cast<Reading*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_EOS;
    GstVideoInfo info;
    GstVideoFrame frame;
    ++reading->samples;
    if (gst_video_info_from_caps(&info, gst_sample_get_caps(sample))
        && gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
        const int number = numberIn(frame);
        gst_video_frame_unmap(&frame);
        std::lock_guard<std::mutex> guard(reading->lock);
        if (number >= 0 && number < int(reading->arrivedNs.size())) {
            if (reading->arrivedNs[number] == 0)
                reading->arrivedNs[number] = arrived;
            ++reading->read;
        } else {
            ++reading->unreadable;
        }
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5))];
}

int fail(const QString& why)
{
    bench::printText("FAIL", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--output") == 0)
        return runOutput(argc, argv);
    testsupport::requireSandbox();
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(5, QByteArray(argv[1]).toInt()) : 30;

    // Nothing of the machine's own: no v4l2loopback device (the output takes PipeWire), a
    // PipeWire daemon of this run's own.
    if (const QString why = fakesysfs::stageVideo4Linux(); !why.isEmpty())
        return fail(why);
    const auto unstage = qScopeGuard([] { fakesysfs::unstageVideo4Linux(); });
    PipeWireDaemon pipewire;
    if (const QString why = pipewire.start(); !why.isEmpty())
        return fail(why);

    // Encoding takes longer than the run on a busy machine: kept for the next run of that length.
    const QString file = QCoreApplication::applicationDirPath()
                         + QStringLiteral("/webcam-1080p30-%1s.ts").arg(seconds + kWarmUpSeconds);
    if (!QFile::exists(file)) {
        const QString partial = file + QStringLiteral(".part");
        if (const QString why = encode(partial, seconds + kWarmUpSeconds); !why.isEmpty())
            return fail(why);
        QFile::rename(partial, file);
    }
    QFile ts(file);
    if (!ts.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("no stream file"));
    const auto frames = framesOf(ts.readAll());
    bench::print("frames_encoded", double(frames.size()));

    QProcess output;
    output.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    output.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--output")});
    if (!output.waitForStarted(5000))
        return fail(QStringLiteral("the output process does not start"));

    Reading reading;
    reading.arrivedNs.assign(frames.size(), 0);
    std::vector<qint64> sentNs(frames.size(), 0);
    std::atomic<bool> quit{false};
    std::thread sender([&] {
        const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(kPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const qint64 start = nowNs() + 500000000; // the output's socket bound by then
        for (size_t i = 0; i < frames.size() && !quit; ++i) {
            const qint64 due = start + qint64(i) * 1000000000 / kFps;
            const timespec at{time_t(due / 1000000000), long(due % 1000000000)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            sentNs[i] = nowNs();
            for (const QByteArray& datagram : frames[i])
                ::sendto(socket, datagram.constData(), size_t(datagram.size()), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to);
        }
        ::close(socket);
    });
    const auto joinSender = qScopeGuard([&] {
        quit = true;
        sender.join();
    });

    const QString description = QString::fromUtf8(kName);
    if (!bench::waitFor([&] { return !pipewire.videoSource(description).name.isEmpty(); }, 8000, 100))
        return fail(QStringLiteral("no PipeWire source within 8 s: %1").arg(QString::fromUtf8(output.readAllStandardOutput())));
    const QString node = pipewire.videoSource(description).name;

    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* reader = gst_parse_launch(
        QStringLiteral("pipewiresrc target-object=%1 always-copy=false stream-properties=\"props,node.name=%2\" "
                       "! video/x-raw,format=I420 ! appsink name=sink sync=false max-buffers=4")
            .arg(node, QLatin1String(kReader))
            .toUtf8()
            .constData(),
        &error);
    if (!reader)
        return fail(QString::fromUtf8(error ? error->message : "no reader"));
    GstElement* sink = gst_bin_get_by_name(GST_BIN(reader), "sink");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &frameRead;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &reading, nullptr);
    gst_object_unref(sink);
    // pipewiresrc waits in its state change until it is linked, which needs its node there.
    std::thread starting([reader] { gst_element_set_state(reader, GST_STATE_PLAYING); });
    const QString linked = pipewire.link(node, QLatin1String(kReader));
    starting.join();
    const auto stopReader = qScopeGuard([&] {
        gst_element_set_state(reader, GST_STATE_NULL);
        gst_object_unref(reader);
    });
    if (!linked.isEmpty())
        return fail(linked);
    if (!bench::waitFor([&] { return reading.read > 0; }, 5000))
        return fail(QStringLiteral("nothing read from the PipeWire source (%1 frames, %2 without a number)")
                        .arg(reading.samples.load())
                        .arg(reading.unreadable.load()));

    // Measure from a whole second after the reader's first frame, for the whole run.
    bench::waitFor([] { return false; }, 1000);
    int first = 0;
    {
        const qint64 now = nowNs();
        while (first < int(sentNs.size()) && sentNs[first] != 0 && sentNs[first] < now)
            ++first;
    }
    output.write("mark\n");
    const int last = qMin(int(frames.size()), first + seconds * kFps) - 1;
    bench::waitFor([&] { return sentNs[last] != 0 && nowNs() - sentNs[last] > 1000000000; },
                   (seconds + kWarmUpSeconds + 5) * 1000, 50);
    output.write("stop\n");
    output.waitForFinished(10000);
    const QString said = QString::fromUtf8(output.readAllStandardOutput());

    std::vector<double> latencies;
    int lost = 0;
    {
        std::lock_guard<std::mutex> guard(reading.lock);
        for (int i = first; i <= last; ++i) {
            if (reading.arrivedNs[i] == 0)
                ++lost;
            else
                latencies.push_back((reading.arrivedNs[i] - sentNs[i]) / 1e6);
        }
    }
    double cpuMs = -1, wallMs = -1;
    for (const QString& line : said.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("cpu_ms ")))
            cpuMs = line.mid(7).toDouble();
        else if (line.startsWith(QLatin1String("wall_ms ")))
            wallMs = line.mid(8).toDouble();
    }
    bench::print("frames_measured", double(last - first + 1));
    bench::print("frames_read", double(latencies.size()));
    bench::print("frames_lost", double(lost));
    bench::print("frames_unreadable", double(reading.unreadable));
    const double median = percentile(latencies, 0.5);
    bench::print("latency_median_ms", median);
    bench::print("latency_p95_ms", percentile(latencies, 0.95));
    bench::print("latency_max_ms", percentile(latencies, 1.0));
    if (cpuMs >= 0 && wallMs > 0)
        bench::print("output_cpu_ms_per_video_s", cpuMs / (wallMs / 1000.0));
    if (latencies.empty())
        return fail(QStringLiteral("no frame measured"));
    if (median > 60)
        return fail(QStringLiteral("median latency %1 ms over the 60 ms goal").arg(median));
    bench::printText("PASS", QStringLiteral("median within 60 ms"));
    return 0;
}
