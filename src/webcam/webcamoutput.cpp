#include "webcamoutput.h"

#include "loopbackdevices.h"

#include <QTimer>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

// The camera sends 30 frames a second: three seconds without one is no hiccup.
constexpr qint64 kStallMs = 3000;
constexpr int kStallCheckMs = 500;
// What the window shows is a preview: small and no faster than the eye needs.
constexpr int kWindowFps = 15;
constexpr int kWindowWidth = 640;
// A burst of datagrams must not be dropped by the kernel while the decoder works.
constexpr int kReceiveBuffer = 4 * 1024 * 1024;

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Elements and the Debian packages that ship them, for the one the user lacks.
struct Element {
    const char* factory;
    const char* package;
};
const Element kElements[] = {
    {"udpsrc", "gstreamer1.0-plugins-good"},  {"tsdemux", "gstreamer1.0-plugins-bad"},
    {"h264parse", "gstreamer1.0-plugins-bad"}, {"avdec_h264", "gstreamer1.0-libav"},
    {"videoconvert", "gstreamer1.0-plugins-base"}, {"videoscale", "gstreamer1.0-plugins-base"},
    {"videorate", "gstreamer1.0-plugins-base"}, {"appsink", "gstreamer1.0-plugins-base"},
    {"tee", "libgstreamer1.0-0"}, {"queue", "libgstreamer1.0-0"},
    {"capsfilter", "libgstreamer1.0-0"}, {"v4l2sink", "gstreamer1.0-plugins-good"},
    {"pipewiresink", "gstreamer1.0-pipewire"}};

// Devices written to by the outputs of this program: each camera gets its own.
QStringList& claimedDevices()
{
    static QStringList devices;
    return devices;
}

QString initGStreamer()
{
    static const QString error = [] {
        GError* error = nullptr;
        if (gst_init_check(nullptr, nullptr, &error))
            return QString();
        const QString message = QString::fromUtf8(error ? error->message : "");
        g_clear_error(&error);
        return message;
    }();
    return error;
}

QString missingElement(const char* sink)
{
    for (const Element& element : kElements) {
        const bool isSink = std::strstr(element.factory, "sink") && std::strcmp(element.factory, "appsink");
        if (isSink && std::strcmp(element.factory, sink) != 0)
            continue;
        if (GstElementFactory* factory = gst_element_factory_find(element.factory)) {
            gst_object_unref(factory);
            continue;
        }
        return WebcamOutput::tr("The GStreamer element \"%1\" is missing: install the package %2.")
            .arg(QLatin1String(element.factory), QLatin1String(element.package));
    }
    return QString();
}

// Why the program cannot write to a device that sysfs shows as v4l2loopback's; empty when
// it can. Asking the driver its name also rules out a device another driver made look alike.
QString deviceProblem(const QString& node)
{
    const int fd = ::open(node.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES) {
            return WebcamOutput::tr("%1 is there but this user may not write to it: add the "
                                    "user to the group \"video\" and log in again.")
                .arg(node);
        }
        return WebcamOutput::tr("%1 cannot be opened: %2.")
            .arg(node, QString::fromLocal8Bit(std::strerror(error)));
    }
    v4l2_capability capability{};
    const bool asked = ::ioctl(fd, VIDIOC_QUERYCAP, &capability) == 0;
    ::close(fd);
    const QByteArray driver(reinterpret_cast<const char*>(capability.driver),
                            int(qstrnlen(reinterpret_cast<const char*>(capability.driver),
                                         sizeof capability.driver)));
    if (!asked || driver != "v4l2 loopback")
        return WebcamOutput::tr("%1 is not a v4l2loopback device.").arg(node);
    return QString();
}

// A PipeWire node name: "HERO12 Black …583" → "velkamo-hero12-black-583".
QString nodeName(const QString& name)
{
    QString id = QStringLiteral("velkamo");
    bool dash = true;
    for (const QChar c : name.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c.isDigit()) {
            if (dash)
                id += QLatin1Char('-');
            id += c;
            dash = false;
        } else {
            dash = true;
        }
    }
    return id;
}

GstElement* make(GstElement* bin, const char* factory, const char* name)
{
    GstElement* element = gst_element_factory_make(factory, name);
    if (element)
        gst_bin_add(GST_BIN(bin), element);
    return element;
}

GstElement* queue(GstElement* bin, const char* name, guint buffers)
{
    GstElement* element = make(bin, "queue", name);
    if (element) {
        // Drop the oldest frame rather than hold decoding up: what is late is of no use.
        gst_util_set_object_arg(G_OBJECT(element), "leaky", "downstream");
        g_object_set(element, "max-size-buffers", buffers, "max-size-bytes", 0u,
                     "max-size-time", guint64(0), nullptr);
    }
    return element;
}

GstElement* capsFilter(GstElement* bin, const char* name, const char* caps)
{
    GstElement* element = make(bin, "capsfilter", name);
    if (element) {
        GstCaps* parsed = gst_caps_from_string(caps);
        g_object_set(element, "caps", parsed, nullptr);
        gst_caps_unref(parsed);
    }
    return element;
}

} // namespace

template<typename F>
void WebcamOutput::post(F&& what)
{
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, what = std::forward<F>(what)]() mutable {
            if (generation == m_generation)
                what();
        },
        Qt::QueuedConnection);
}

struct WebcamOutput::Callbacks {
    // Called on whichever thread posts; every message is dropped here, so none piles up on
    // a bus nobody pops.
    static GstBusSyncReply busMessage(GstBus*, GstMessage* message, gpointer data)
    {
        if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ERROR)
            return GST_BUS_DROP;
        auto* self = static_cast<WebcamOutput*>(data);
        GError* error = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_error(message, &error, &debug);
        const QString source = QString::fromUtf8(GST_MESSAGE_SRC_NAME(message));
        const QString text = QString::fromUtf8(error ? error->message : "");
        g_clear_error(&error);
        g_free(debug);
        self->post([self, source, text] { self->fail(self->errorText(source, text)); });
        return GST_BUS_DROP;
    }

    static GstPadProbeReturn datagram(GstPad*, GstPadProbeInfo*, gpointer data)
    {
        static_cast<WebcamOutput*>(data)->m_lastDataMs = steadyMs();
        return GST_PAD_PROBE_OK;
    }

    static GstPadProbeReturn frameOut(GstPad*, GstPadProbeInfo*, gpointer data)
    {
        auto* self = static_cast<WebcamOutput*>(data);
        if (!self->m_frameOut.exchange(true))
            self->post([self] { emit self->started(self->m_where); });
        return GST_PAD_PROBE_REMOVE;
    }

    static void demuxedPad(GstElement*, GstPad* pad, gpointer parser)
    {
        GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(parser), "sink");
        GstCaps* caps = gst_pad_get_current_caps(pad);
        const GstStructure* format = caps ? gst_caps_get_structure(caps, 0) : nullptr;
        // The first H.264 stream; a camera sends no other, a stray one is left unlinked.
        if (!gst_pad_is_linked(sink) && format && gst_structure_has_name(format, "video/x-h264"))
            gst_pad_link(pad, sink);
        if (caps)
            gst_caps_unref(caps);
        gst_object_unref(sink);
    }

    static GstFlowReturn windowFrame(GstAppSink* sink, gpointer data)
    {
        auto* self = static_cast<WebcamOutput*>(data);
        GstSample* sample = gst_app_sink_pull_sample(sink);
        if (!sample)
            return GST_FLOW_EOS;
        if (self->m_windowFrameQueued.exchange(true)) {
            gst_sample_unref(sample);
            return GST_FLOW_OK;
        }
        GstVideoInfo info;
        GstVideoFrame frame;
        if (gst_video_info_from_caps(&info, gst_sample_get_caps(sample))
            && gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
            const QImage image = QImage(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                                        GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                                        GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGBX8888)
                                     .copy();
            gst_video_frame_unmap(&frame);
            self->post([self, image] {
                self->m_windowFrameQueued = false;
                emit self->frameShown(image);
            });
        } else {
            self->m_windowFrameQueued = false;
        }
        gst_sample_unref(sample);
        return GST_FLOW_OK;
    }
};

WebcamOutput::WebcamOutput(QObject* parent)
    : QObject(parent)
    , m_stallTimer(new QTimer(this))
{
    m_stallTimer->setInterval(kStallCheckMs);
    connect(m_stallTimer, &QTimer::timeout, this, &WebcamOutput::checkStall);
}

WebcamOutput::~WebcamOutput()
{
    tearDown();
}

void WebcamOutput::start(const QHostAddress& local, quint16 port, const QString& name)
{
    tearDown();
    m_loopbackAdvice.clear();
    if (const QString error = initGStreamer(); !error.isEmpty()) {
        post([this, error] { fail(tr("GStreamer cannot start: %1").arg(error)); });
        return;
    }
    const LoopbackDevices loopback;
    QString device = loopback.choose(claimedDevices());
    if (device.isEmpty()) {
        m_loopbackAdvice = loopback.advice(claimedDevices());
    } else if (const QString problem = deviceProblem(device); !problem.isEmpty()) {
        m_loopbackAdvice = problem;
        device.clear();
    }
    if (const QString missing = missingElement(device.isEmpty() ? "pipewiresink" : "v4l2sink");
        !missing.isEmpty()) {
        post([this, missing] { fail(missing); });
        return;
    }
    m_port = port;
    m_device = device;
    m_where = device.isEmpty() ? nodeName(name) : device;
    if (const QString error = buildPipeline(local, port, name, device); !error.isEmpty()) {
        tearDown();
        post([this, error] { fail(error); });
        return;
    }
    if (!device.isEmpty())
        claimedDevices().append(device);
    m_stallTimer->start();
    // A refusal posts its error on the bus too; this is for one that does not.
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        post([this] { fail(tr("The webcam output cannot start.")); });
}

QString WebcamOutput::buildPipeline(const QHostAddress& local, quint16 port, const QString& name,
                                    const QString& device)
{
    m_pipeline = gst_pipeline_new("webcam");
    GstElement* receiver = make(m_pipeline, "udpsrc", "receiver");
    GstElement* demuxer = make(m_pipeline, "tsdemux", "demuxer");
    // A PES packet carries one access unit: said so, the parser hands each on as it comes
    // instead of holding it until the next one begins.
    GstElement* aligned = capsFilter(m_pipeline, "aligned", "video/x-h264,alignment=au");
    GstElement* parser = make(m_pipeline, "h264parse", "parser");
    GstElement* decoder = make(m_pipeline, "avdec_h264", "decoder");
    GstElement* convert = make(m_pipeline, "videoconvert", "convert");
    // v4l2sink takes no other format from a decoder; PipeWire clients all read I420.
    GstElement* format = capsFilter(m_pipeline, "format", "video/x-raw,format=I420");
    GstElement* tee = make(m_pipeline, "tee", "split");
    GstElement* outputQueue = queue(m_pipeline, "output-queue", 2);
    GstElement* output = make(m_pipeline, device.isEmpty() ? "pipewiresink" : "v4l2sink", "output");
    GstElement* windowQueue = queue(m_pipeline, "window-queue", 1);
    GstElement* rate = make(m_pipeline, "videorate", "window-rate");
    GstElement* scale = make(m_pipeline, "videoscale", "window-scale");
    GstElement* windowConvert = make(m_pipeline, "videoconvert", "window-convert");
    GstElement* windowFormat = capsFilter(
        m_pipeline, "window-format",
        QStringLiteral("video/x-raw,format=RGBx,width=%1,pixel-aspect-ratio=1/1").arg(kWindowWidth).toUtf8().constData());
    GstElement* window = make(m_pipeline, "appsink", "window");
    for (GstElement* element : {receiver, demuxer, aligned, parser, decoder, convert, format, tee, outputQueue,
                                output, windowQueue, rate, scale, windowConvert, windowFormat, window}) {
        if (!element)
            return tr("The webcam output's GStreamer elements cannot be made.");
    }

    const bool any = local.isNull() || local == QHostAddress::Any || local == QHostAddress::AnyIPv4;
    GstCaps* transport = gst_caps_from_string("video/mpegts,systemstream=(boolean)true");
    // No port sharing: another socket on it would get part of the datagrams, silently.
    g_object_set(receiver, "address", any ? "0.0.0.0" : local.toString().toUtf8().constData(),
                 "port", int(port), "buffer-size", kReceiveBuffer, "reuse", FALSE, "caps", transport,
                 nullptr);
    gst_caps_unref(transport);
    // Frame threads would each hold a frame back; slices keep the delay to one frame's decoding.
    gst_util_set_object_arg(G_OBJECT(decoder), "thread-type", "slice");
    g_object_set(output, "sync", FALSE, nullptr);
    if (device.isEmpty()) {
        gst_util_set_object_arg(G_OBJECT(output), "mode", "provide");
        const QByteArray description = name.toUtf8();
        GstStructure* properties = gst_structure_new(
            "props", "media.class", G_TYPE_STRING, "Video/Source", "media.role", G_TYPE_STRING, "Camera",
            "node.name", G_TYPE_STRING, m_where.toUtf8().constData(), "node.description", G_TYPE_STRING,
            description.constData(), "node.nick", G_TYPE_STRING, description.constData(), nullptr);
        g_object_set(output, "stream-properties", properties, "client-name", "Velkamo", nullptr);
        gst_structure_free(properties);
    } else {
        g_object_set(output, "device", device.toLocal8Bit().constData(), nullptr);
    }
    g_object_set(rate, "drop-only", TRUE, "max-rate", kWindowFps, nullptr);
    g_object_set(window, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, nullptr);

    if (!gst_element_link(receiver, demuxer)
        || !gst_element_link_many(aligned, parser, decoder, convert, format, tee, nullptr)
        || !gst_element_link_many(tee, outputQueue, output, nullptr)
        || !gst_element_link_many(tee, windowQueue, rate, scale, windowConvert, windowFormat, window,
                                  nullptr))
        return tr("The webcam output's GStreamer elements cannot be linked.");
    g_signal_connect(demuxer, "pad-added", G_CALLBACK(&Callbacks::demuxedPad), aligned);

    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &Callbacks::windowFrame;
    gst_app_sink_set_callbacks(GST_APP_SINK(window), &callbacks, this, nullptr);
    GstPad* received = gst_element_get_static_pad(receiver, "src");
    gst_pad_add_probe(received, GST_PAD_PROBE_TYPE_BUFFER, &Callbacks::datagram, this, nullptr);
    gst_object_unref(received);
    GstPad* out = gst_element_get_static_pad(output, "sink");
    gst_pad_add_probe(out, GST_PAD_PROBE_TYPE_BUFFER, &Callbacks::frameOut, this, nullptr);
    gst_object_unref(out);
    GstBus* bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, &Callbacks::busMessage, this, nullptr);
    gst_object_unref(bus);
    return QString();
}

void WebcamOutput::stop()
{
    if (!isRunning())
        return;
    tearDown();
    emit stopped();
}

void WebcamOutput::tearDown()
{
    m_stallTimer->stop();
    if (m_pipeline) {
        // Returns once the streaming threads are done, so no callback runs after it.
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(m_pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(m_pipeline);
        m_pipeline = nullptr;
    }
    // What those threads queued is of a pipeline that is gone: it sees another generation.
    ++m_generation;
    m_stallTold = false;
    m_lastDataMs = 0;
    m_frameOut = false;
    m_windowFrameQueued = false;
    claimedDevices().removeAll(m_device);
    m_device.clear();
    m_where.clear();
}

void WebcamOutput::fail(const QString& message)
{
    tearDown();
    emit failed(message);
}

QString WebcamOutput::errorText(const QString& source, const QString& text) const
{
    if (source == QLatin1String("receiver"))
        return tr("The camera's stream cannot be received on port %1: %2").arg(m_port).arg(text);
    if (source == QLatin1String("output") && !m_device.isEmpty())
        return tr("The video cannot be written to %1: %2").arg(m_device, text);
    if (source == QLatin1String("output"))
        return tr("The video cannot be offered through PipeWire (is it running?): %1").arg(text);
    if (source == QLatin1String("demuxer") || source == QLatin1String("parser")
        || source == QLatin1String("decoder"))
        return tr("The camera's stream cannot be decoded: %1").arg(text);
    return tr("The webcam output stopped: %1").arg(text);
}

void WebcamOutput::checkStall()
{
    const qint64 last = m_lastDataMs;
    if (last == 0)
        return;
    const bool quiet = steadyMs() - last > kStallMs;
    if (quiet && !m_stallTold) {
        m_stallTold = true;
        emit stalled();
    } else if (!quiet) {
        m_stallTold = false;
    }
}

bool WebcamOutput::isRunning() const
{
    return m_pipeline != nullptr;
}

QString WebcamOutput::where() const
{
    return m_frameOut ? m_where : QString();
}

QString WebcamOutput::loopbackAdvice() const
{
    return m_loopbackAdvice;
}
