#pragma once

#include "cameraaddress.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class Camera;
class QNetworkReply;
class QTimer;

// One camera's webcam mode, as its documentation orders it: on a cable wired control off
// first, then start with the resolution and field of view chosen (and the port, where the model
// takes one); the camera's webcam status followed every second until it streams, then now and
// then to notice it stopped; on stop: stop, exit, and wired control back on. Widget-free: the
// window shows the states and says what the camera answered when it refuses.
class WebcamControl : public QObject
{
    Q_OBJECT

public:
    enum class State { Off, Starting, Running, Stopping };

    // The camera's own port; a second camera where the model takes a port gets the next one.
    static constexpr quint16 kFirstPort = 8554;
    static constexpr int kStartPollMs = 1000;
    static constexpr int kRunningPollMs = 5000;
    // A camera not streaming this long after start is taken to have refused.
    static constexpr int kStartDeadlineMs = 10000;
    // start's res and fov, as the camera numbers them.
    static constexpr int kRes480 = 4;
    static constexpr int kRes720 = 7;
    static constexpr int kRes1080 = 12;
    static constexpr int kFovWide = 0;
    static constexpr int kFovNarrow = 2;
    static constexpr int kFovSuperview = 3;
    static constexpr int kFovLinear = 4;

    // What /gopro/webcam/status and start answer: -1 where the answer held no such number.
    struct Answer {
        int status = -1;
        int error = -1;
        static Answer parse(const QByteArray& body);
    };
    static QString statusName(int status);
    static QString errorName(int error);

    // What each model offers (empty: no webcam mode).
    static QList<int> resolutions(int model);
    static QList<int> fieldsOfView(int model);
    static QString resolutionName(int res);
    static QString fieldOfViewName(int fov);
    // HERO11 on are told where to send; HERO9 and HERO10 always send to 8554.
    static bool takesPort(int model);
    // Why a camera of model, reached over link, cannot be a webcam; empty when it can.
    static QString unavailableReason(int model, CameraAddress::Link link);
    // The PC's address on the camera's link, where the stream arrives: on a cable the PC's
    // side of the camera's 172.2X.1YZ.0/24; Any elsewhere or when not found.
    static QHostAddress localAddress(const CameraAddress& camera);

    explicit WebcamControl(Camera* camera, QObject* parent = nullptr);

    Camera* camera() const { return m_camera; }
    State state() const { return m_state; }
    // Where the camera was asked to send, and by which way it was reached.
    quint16 port() const { return m_port; }
    const CameraAddress& address() const { return m_at; }

    // port: where this PC listens (sent where the model takes one).
    void start(int res, int fov, quint16 port);
    void stop();
    // The stream stopped arriving: the camera is asked its webcam status now, not at the next poll.
    void checkNow();

signals:
    void stateChanged(WebcamControl::State state);
    // The camera would not become a webcam; what it answered, for the user. State is Off.
    void refused(const QString& message);
    // It was one and is no more (unplugged, gone, left webcam mode by itself). State is Off.
    void dropped(const QString& message);

private:
    using Then = std::function<void(QNetworkReply* reply)>;

    void setState(State state);
    // Sends url; then runs with the finished reply unless a later start or stop came first.
    void send(const QUrl& url, const Then& then);
    void askBeforeStart();
    void sendStart(const Then& then);
    void startAnswered(QNetworkReply* reply);
    void pollStatus();
    void statusAnswered(QNetworkReply* reply);
    void refuse(const QString& message);
    void drop(const QString& message);
    // Wired control back on, unanswered: the camera is the host's again.
    void giveControlBack();
    void linkChanged();
    QString cameraName() const;

    QPointer<Camera> m_camera;
    QTimer* m_poll = nullptr;
    State m_state = State::Off;
    CameraAddress m_at;
    int m_model = 0;
    int m_res = kRes1080;
    int m_fov = kFovWide;
    quint16 m_port = kFirstPort;
    // Each start and stop begins a new run: answers to an earlier one are dropped.
    int m_run = 0;
    qint64 m_startedMs = 0;
    int m_silentPolls = 0;
};
