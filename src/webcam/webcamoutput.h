#pragma once
#include <QHostAddress>
#include <QImage>
#include <QObject>

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

private:
    bool m_running = false;
    QString m_where;
    QString m_loopbackAdvice;
};
