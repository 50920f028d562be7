#pragma once
#include <QHostAddress>
#include <QImage>
#include <QObject>

#include <atomic>

class QTimer;
struct _GstElement;

// Receives the camera's webcam stream (H.264 in MPEG-TS over UDP), decodes it once and hands the
// frames to a v4l2loopback device when one is there, else to a PipeWire video source; and to the
// window.
class WebcamOutput : public QObject
{
    Q_OBJECT

public:
    explicit WebcamOutput(QObject* parent = nullptr);
    ~WebcamOutput() override; // stops, and the device is gone

    // local: the PC's address on the camera's link (QHostAddress::Any when unknown);
    // port: where the camera sends; name: what other programs see ("HERO12 Black …583").
    void start(const QHostAddress& local, quint16 port, const QString& name);
    void stop();
    bool isRunning() const;
    // Where other programs find it: "/dev/video42" or the PipeWire node's name; empty until started().
    QString where() const;
    // Why no v4l2loopback device is used, when none is (the module missing, none free), for the
    // window to tell; empty when one is used.
    QString loopbackAdvice() const;

signals:
    void started(const QString& where);   // the first frame went out
    void frameShown(const QImage& frame); // for the window: at most ~15 a second, scaled down
    void failed(const QString& message);  // the output stopped on an error
    void stopped();
    // No datagram for a few seconds after the stream flowed (the camera unplugged or gone out of
    // webcam mode). The output keeps running and goes on when data comes again; the one who
    // started it decides whether to stop.
    void stalled();

private:
    struct Callbacks; // GStreamer's, on its threads
    friend struct Callbacks;

    QString buildPipeline(const QHostAddress& local, quint16 port, const QString& name,
                          const QString& device);
    void tearDown();
    void fail(const QString& message);
    // A GStreamer error in words for the user; source: the element's name in the pipeline.
    QString errorText(const QString& source, const QString& text) const;
    void checkStall();
    // Runs what on the GUI thread, unless the output stopped or started anew meanwhile.
    template<typename F> void post(F&& what);

    _GstElement* m_pipeline = nullptr;
    QTimer* m_stallTimer = nullptr;
    std::atomic<quint64> m_generation{0};
    std::atomic<qint64> m_lastDataMs{0};
    std::atomic<bool> m_frameOut{false};
    std::atomic<bool> m_windowFrameQueued{false}; // a busy window gets the newest, not a backlog
    bool m_stallTold = false;
    quint16 m_port = 0;
    QString m_device; // the v4l2loopback device written to, empty for PipeWire
    QString m_where;
    QString m_loopbackAdvice;
};
