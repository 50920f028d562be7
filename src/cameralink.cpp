#include "cameralink.h"

#include "cameranetwork.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

const char* const kStatusUrl = "http://10.5.5.9/gp/gpControl/status";
const char* const kKeepAliveUrl = "http://10.5.5.9:8080/gopro/camera/keep_alive";
const char* const kStateUrl = "http://10.5.5.9:8080/gopro/camera/state";

// A poll the camera accepts but never answers would otherwise hold a connection forever
// (Qt has no default transfer timeout). Kept well below the poll interval, so that two
// missed polls, the second sent at once after the first, tell within about 7 s that a
// camera has left into a route where connects hang.
constexpr int kKeepAliveTimeoutMs = 2000;

} // namespace

CameraLink::CameraLink(QObject* parent)
    : QObject(parent)
    , m_cmdManager(cameranetwork::newManager(this))
    , m_pollManager(cameranetwork::newManager(this))
    , m_keepAliveTimer(new QTimer(this))
{
    connect(m_pollManager, &QNetworkAccessManager::finished, this, &CameraLink::handleReply);
    connect(m_cmdManager, &QNetworkAccessManager::finished, this, &CameraLink::handleReply);
    connect(m_keepAliveTimer, &QTimer::timeout, this, &CameraLink::poll);
    m_keepAliveTimer->start(kPollIntervalMs);
}

void CameraLink::setModel(int model)
{
    m_model = model;
}

bool CameraLink::isOnline() const
{
    return m_online;
}

bool CameraLink::send(const QString& url)
{
    if (!isOnline())
        return false;
    m_cmdManager->get(QNetworkRequest(QUrl(url)));
    qDebug().nospace() << "send command: " << url;
    return true;
}

bool CameraLink::sendDirect(const QString& url)
{
    // An empty command (a profile entry without a URL) has nowhere to go; sending it would
    // only produce a local error that reads like an answer from the camera.
    const QUrl target(url, QUrl::TolerantMode);
    if (url.isEmpty() || !target.isValid() || target.scheme() != QLatin1String("http")) {
        qDebug().nospace() << "command not sent, not an http URL: " << url;
        return false;
    }
    m_cmdManager->get(QNetworkRequest(target));
    return true;
}

void CameraLink::awaitAnswer(const QString& url)
{
    // A list asked for before the camera has carried out a command that changes the card
    // (it travels on another connection) can still name files that are gone.
    m_awaitedCommands.insert(QUrl(url));
}

void CameraLink::handleReply(QNetworkReply* reply)
{
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool stateReply = reply->url() == QUrl(QLatin1String(kStateUrl));
    const bool statusReply = stateReply || reply->url() == QUrl(QLatin1String(kStatusUrl));
    // Only the keep-alive request is the poll: the state request that travels beside it on
    // newer cameras counts when answered, so that one silent tick is one missed poll.
    const bool isPoll = reply->manager() == m_pollManager && !stateReply;
    const bool answered = Reachability::isAnswer(reply->error(), code);
    switch (m_reachability.onReply(reply->error(), code, isPoll)) {
    case Reachability::Change::WentOffline:
        m_online = false;
        emit wentOffline();
        break;
    case Reachability::Change::CameOnline:
        emit cameOnline();
        // Only now: while the model is applied, commands are still refused.
        m_online = true;
        break;
    case Reachability::Change::None:
        break;
    }
    if (statusReply && m_online && answered) {
        // Any answer replaces what is shown: an error page tells nothing, so nothing is shown.
        const auto family = stateReply ? CameraStatus::Family::OpenGoPro : CameraStatus::Family::GpControl;
        emit statusReceived(CameraStatus::parse(code == 200 ? reply->readAll() : QByteArray(), family));
    }
    if (code != 200)
        qDebug().nospace() << "http request failed: code = " << code;
    if (isPoll && !answered) {
        // Qt keeps the attempts that hang behind a route leading nowhere, and later polls
        // queue behind them: drop them, so the next poll finds a camera that has appeared
        // at once.
        m_pollManager->clearConnectionCache();
        // One missed poll is confirmed (or not) at once rather than a period later.
        if (m_reachability.isOnline()) {
            m_keepAliveTimer->start();
            poll();
        }
    }
    if (reply->manager() == m_cmdManager && m_awaitedCommands.remove(reply->url())
        && m_awaitedCommands.isEmpty())
        emit cardCommandsAnswered();
    reply->deleteLater();
}

void CameraLink::poll()
{
    QNetworkRequest request(QUrl(QLatin1String(m_model <= 8 ? kStatusUrl : kKeepAliveUrl)));
    request.setTransferTimeout(kKeepAliveTimeoutMs);
    m_pollManager->get(request);
    // Newer cameras tell their state only when asked.
    if (m_model >= 9) {
        request.setUrl(QUrl(QLatin1String(kStateUrl)));
        m_pollManager->get(request);
    }
}
