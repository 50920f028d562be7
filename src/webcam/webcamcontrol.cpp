#include "webcamcontrol.h"

#include "camera.h"
#include "camerarequests.h"
#include "reachability.h"
#include "usbcamerafinder.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QTimer>

#include <iterator>

namespace {

// A webcam answer is a few dozen bytes; a camera that answers at all does so at once.
constexpr qint64 kAnswerMaxBytes = 16 * 1024;
constexpr int kAnswerDeadlineMs = 5000;
// Polls in a row without an answer before a running webcam counts as gone.
constexpr int kSilentPollsToDrop = 3;

constexpr int kStatusHighPower = 2;
constexpr int kStatusLowPower = 3;

bool streaming(int status)
{
    return status == kStatusHighPower || status == kStatusLowPower;
}

qint64 nowMs()
{
    return QDeadlineTimer::current().deadline();
}

} // namespace

WebcamControl::Answer WebcamControl::Answer::parse(const QByteArray& body)
{
    Answer answer;
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    const auto number = [&object](const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isDouble() && value.toDouble() >= 0 && value.toDouble() < 1000 ? value.toInt() : -1;
    };
    answer.status = number("status");
    answer.error = number("error");
    return answer;
}

QString WebcamControl::statusName(int status)
{
    switch (status) {
    case 0:
        return tr("Off");
    case 1:
        return tr("Idle");
    case kStatusHighPower:
        return tr("High Power Preview");
    case kStatusLowPower:
        return tr("Low Power Preview");
    case 4:
        return tr("Unavailable");
    default:
        return tr("status %1").arg(status);
    }
}

QString WebcamControl::errorName(int error)
{
    static const char* const names[] = {
        QT_TR_NOOP("None"),        QT_TR_NOOP("Set Preset"),     QT_TR_NOOP("Set Window Size"),
        QT_TR_NOOP("Exec Stream"), QT_TR_NOOP("Shutter"),        QT_TR_NOOP("Com timeout"),
        QT_TR_NOOP("Invalid param"), QT_TR_NOOP("Unavailable"),  QT_TR_NOOP("Exit")};
    if (error >= 0 && error < int(std::size(names)))
        return tr(names[error]);
    return tr("error %1").arg(error);
}

QList<int> WebcamControl::resolutions(int model)
{
    if (model < 9)
        return {};
    if (model <= 10)
        return {kRes480, kRes720, kRes1080};
    return {kRes720, kRes1080};
}

QList<int> WebcamControl::fieldsOfView(int model)
{
    if (model < 9)
        return {};
    return {kFovWide, kFovNarrow, kFovSuperview, kFovLinear};
}

QString WebcamControl::resolutionName(int res)
{
    switch (res) {
    case kRes480:
        return QStringLiteral("480p");
    case kRes720:
        return QStringLiteral("720p");
    default:
        return QStringLiteral("1080p");
    }
}

QString WebcamControl::fieldOfViewName(int fov)
{
    switch (fov) {
    case kFovNarrow:
        return tr("Narrow");
    case kFovSuperview:
        return tr("SuperView");
    case kFovLinear:
        return tr("Linear");
    default:
        return tr("Wide");
    }
}

bool WebcamControl::takesPort(int model)
{
    return model >= 11;
}

QString WebcamControl::unavailableReason(int model, CameraAddress::Link link)
{
    if (link == CameraAddress::Link::None)
        return tr("The camera is not reached.");
    if (model <= 0)
        return tr("The camera's model is not known yet.");
    if (model < 9)
        return tr("The HERO%1 has no documented webcam mode: it takes a HERO9 or later.").arg(model);
    if (model < 12 && link != CameraAddress::Link::Usb)
        return tr("The HERO%1 is a webcam over a USB cable only: plug it in.").arg(model);
    return {};
}

QHostAddress WebcamControl::localAddress(const CameraAddress& camera)
{
    if (camera.link() != CameraAddress::Link::Usb)
        return QHostAddress(QHostAddress::Any);
    // The camera's own address is local too where both ends sit on one host (the sandbox).
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            if (entry.ip() != camera.host() && UsbCameraFinder::cameraFor(entry.ip()) == camera.host())
                return entry.ip();
        }
    }
    return QHostAddress(QHostAddress::Any);
}

WebcamControl::WebcamControl(Camera* camera, QObject* parent)
    : QObject(parent)
    , m_camera(camera)
    , m_poll(new QTimer(this))
{
    m_poll->setSingleShot(true);
    connect(m_poll, &QTimer::timeout, this, &WebcamControl::pollStatus);
    connect(camera, &Camera::wentOffline, this, &WebcamControl::linkChanged);
    connect(camera, &Camera::routeChanged, this, &WebcamControl::linkChanged);
}

QString WebcamControl::cameraName() const
{
    return m_camera ? m_camera->shortName() : tr("The camera");
}

void WebcamControl::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    if (state == State::Off)
        m_poll->stop();
    emit stateChanged(state);
}

void WebcamControl::send(const QUrl& url, const Then& then)
{
    if (!m_camera)
        return;
    const int run = m_run;
    qDebug().noquote() << "webcam request:" << url.toString();
    QNetworkReply* reply = m_camera->request(url, kAnswerMaxBytes, kAnswerDeadlineMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply, run, then] {
        reply->deleteLater();
        if (run == m_run)
            then(reply);
    });
}

void WebcamControl::start(int res, int fov, quint16 port)
{
    if (!m_camera || m_state == State::Starting || m_state == State::Running)
        return;
    ++m_run;
    m_at = m_camera->address();
    m_model = m_camera->model();
    m_res = res;
    m_fov = fov;
    m_port = takesPort(m_model) ? port : kFirstPort;
    m_silentPolls = 0;
    setState(State::Starting);
    // The documentation wants wired control off before any webcam command.
    const QUrl wiredOff = CameraRequests::wiredControl(m_at, m_model, false);
    if (wiredOff.isEmpty())
        return askBeforeStart();
    send(wiredOff, [this](QNetworkReply* reply) {
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 0)
            return refuse(tr("%1 did not answer: %2").arg(cameraName(), reply->errorString()));
        askBeforeStart();
    });
}

void WebcamControl::askBeforeStart()
{
    send(CameraRequests::webcam(m_at, m_model, CameraRequests::Webcam::Status), [this](QNetworkReply* reply) {
        const Answer answer = Answer::parse(reply->readAll());
        if (streaming(answer.status)) {
            // Left a webcam by someone else: stopped first, as the maker's own client does.
            send(CameraRequests::webcam(m_at, m_model, CameraRequests::Webcam::Stop),
                 [this](QNetworkReply*) { sendStart([this](QNetworkReply* r) { startAnswered(r); }); });
        } else if (answer.status == 1 && m_at.link() == CameraAddress::Link::Usb) {
            // After a new USB connection every camera reads Idle instead of Off; the maker's
            // remedy is a start and a stop before the real start.
            sendStart([this](QNetworkReply*) {
                send(CameraRequests::webcam(m_at, m_model, CameraRequests::Webcam::Stop),
                     [this](QNetworkReply*) { sendStart([this](QNetworkReply* r) { startAnswered(r); }); });
            });
        } else {
            sendStart([this](QNetworkReply* r) { startAnswered(r); });
        }
    });
}

void WebcamControl::sendStart(const Then& then)
{
    send(CameraRequests::webcamStart(m_at, m_model, m_res, m_fov, takesPort(m_model) ? m_port : 0), then);
}

void WebcamControl::startAnswered(QNetworkReply* reply)
{
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    if (code == 0)
        return refuse(tr("%1 did not answer: %2").arg(cameraName(), reply->errorString()));
    if (code != 200)
        return refuse(tr("%1 refused webcam mode: HTTP %2.").arg(cameraName()).arg(code));
    const Answer answer = Answer::parse(body);
    if (answer.error != 0) {
        return refuse(tr("%1 refused webcam mode: %2 (status %3: %4).")
                          .arg(cameraName(), errorName(answer.error))
                          .arg(answer.status)
                          .arg(statusName(answer.status)));
    }
    m_startedMs = nowMs();
    m_poll->start(streaming(answer.status) ? 0 : kStartPollMs);
}

void WebcamControl::pollStatus()
{
    if (m_state != State::Starting && m_state != State::Running)
        return;
    send(CameraRequests::webcam(m_at, m_model, CameraRequests::Webcam::Status),
         [this](QNetworkReply* reply) { statusAnswered(reply); });
}

void WebcamControl::statusAnswered(QNetworkReply* reply)
{
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const Answer answer = Answer::parse(reply->readAll());
    if (m_state == State::Starting) {
        if (code == 200 && streaming(answer.status)) {
            setState(State::Running);
            m_poll->start(kRunningPollMs);
        } else if (nowMs() - m_startedMs >= kStartDeadlineMs) {
            refuse(tr("%1 did not start streaming: its webcam reads %2.").arg(cameraName(), statusName(answer.status)));
        } else {
            m_poll->start(kStartPollMs);
        }
        return;
    }
    if (code == 0) {
        if (++m_silentPolls >= kSilentPollsToDrop)
            return drop(tr("%1 no longer answers: the webcam has stopped.").arg(cameraName()));
    } else if (code == 200 && answer.status >= 0 && !streaming(answer.status)) {
        giveControlBack();
        return drop(tr("%1 left webcam mode (it reads %2).").arg(cameraName(), statusName(answer.status)));
    } else {
        m_silentPolls = 0;
    }
    m_poll->start(kRunningPollMs);
}

void WebcamControl::refuse(const QString& message)
{
    qDebug() << "webcam refused:" << message;
    ++m_run;
    giveControlBack();
    setState(State::Off);
    emit refused(message);
}

void WebcamControl::drop(const QString& message)
{
    qDebug() << "webcam dropped:" << message;
    ++m_run;
    setState(State::Off);
    emit dropped(message);
}

void WebcamControl::giveControlBack()
{
    const QUrl wiredOn = CameraRequests::wiredControl(m_at, m_model, true);
    if (wiredOn.isEmpty() || !m_camera)
        return;
    QNetworkReply* reply = m_camera->request(wiredOn, kAnswerMaxBytes, kAnswerDeadlineMs);
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

void WebcamControl::stop()
{
    if (m_state == State::Off || m_state == State::Stopping)
        return;
    ++m_run;
    setState(State::Stopping);
    m_poll->stop();
    // Each step goes on whatever the answer, unless the camera is gone.
    const auto next = [this](const std::function<void()>& step) {
        return [this, step](QNetworkReply* reply) {
            if (Reachability::meansGone(reply->error()))
                return setState(State::Off);
            step();
        };
    };
    send(CameraRequests::webcam(m_at, m_model, CameraRequests::Webcam::Stop), next([this, next] {
        send(CameraRequests::webcam(m_at, m_model, CameraRequests::Webcam::Exit), next([this] {
            const QUrl wiredOn = CameraRequests::wiredControl(m_at, m_model, true);
            if (wiredOn.isEmpty())
                return setState(State::Off);
            send(wiredOn, [this](QNetworkReply*) { setState(State::Off); });
        }));
    }));
}

void WebcamControl::checkNow()
{
    if (m_state == State::Running)
        m_poll->start(0);
}

void WebcamControl::linkChanged()
{
    if (m_state == State::Off || !m_camera)
        return;
    if (m_camera->isOnline() && m_camera->hasAddress(m_at))
        return;
    // The way it was reached is gone (a cable pulled): nothing more can be sent there.
    drop(m_at.link() == CameraAddress::Link::Usb
             ? tr("%1 was unplugged: the webcam has stopped.").arg(cameraName())
             : tr("%1 is gone: the webcam has stopped.").arg(cameraName()));
}
