#include "cameralink.h"

#include "cameranetwork.h"
#include "camerarequests.h"
#include "replylimit.h"
#include "settingrefusal.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

const char* const kStatusPath = "/gp/gpControl/status";
const char* const kStatePath = "/gopro/camera/state";

// A poll the camera accepts but never answers, or answers a few bytes a second, would
// otherwise hold a connection for ever, and later polls would queue behind it. Kept well
// below the poll interval, so that two missed polls, the second sent at once after the
// first, tell within about 7 s that a camera has left into a route where connects hang.
constexpr int kPollDeadlineMs = 2000;
// A status reply is 2 to 4 KB; a command's answer is "{}" or an error of a few hundred bytes.
constexpr qint64 kStatusMaxBytes = 64 * 1024;
constexpr qint64 kCommandMaxBytes = 64 * 1024;

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

void CameraLink::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active) {
        m_keepAliveTimer->start(kPollIntervalMs);
        poll();
        return;
    }
    m_keepAliveTimer->stop();
    m_reachability = Reachability();
    m_online = false;
    m_lastStatus = CameraStatus();
    m_awaitedCommands.clear();
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
    get(m_address.rehost(QUrl(url, QUrl::TolerantMode)));
    qDebug().nospace() << "send command: " << url;
    return true;
}

bool CameraLink::sendDirect(const QString& url)
{
    // An empty command (a profile entry without a URL) has nowhere to go; sending it would
    // only produce a local error that reads like an answer from the camera.
    const QUrl target = m_address.rehost(QUrl(url, QUrl::TolerantMode));
    if (url.isEmpty() || target.isEmpty()) {
        qDebug().nospace() << "command not sent, not an http URL: " << url;
        return false;
    }
    get(target);
    return true;
}

void CameraLink::get(const QUrl& url)
{
    QNetworkReply* reply = m_cmdManager->get(QNetworkRequest(url));
    ReplyLimit::apply(reply, kCommandMaxBytes, kCommandDeadlineMs);
    if (m_online)
        m_sentWhileThere.insert(reply);
}

void CameraLink::awaitAnswer(const QString& url)
{
    // A list asked for before the camera has carried out a command that changes the card
    // (it travels on another connection) can still name files that are gone.
    m_awaitedCommands.insert(m_address.rehost(QUrl(url, QUrl::TolerantMode)));
}

void CameraLink::handleReply(QNetworkReply* reply)
{
    const bool sentWhileThere = m_sentWhileThere.remove(reply);
    // Answers to what was sent before the link was set aside change nothing.
    if (!m_active) {
        reply->deleteLater();
        return;
    }
    const int code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString path = reply->url().path();
    const bool stateReply = path == QLatin1String(kStatePath);
    const bool statusReply = stateReply || path == QLatin1String(kStatusPath);
    // Only the keep-alive request is the poll: the state request that travels beside it on
    // newer cameras counts when answered, so that one silent tick is one missed poll.
    const bool isPoll = reply->manager() == m_pollManager && !stateReply;
    const bool answered = Reachability::isAnswer(reply->error(), code);
    apply(m_reachability.onReply(reply->error(), code, isPoll));
    if (statusReply && m_online && answered) {
        // Any answer replaces what is shown: an error page, or one cut short by its bounds,
        // tells nothing, so nothing is shown.
        const bool whole = code == 200 && reply->error() == QNetworkReply::NoError;
        const auto family = stateReply ? CameraStatus::Family::OpenGoPro : CameraStatus::Family::GpControl;
        m_lastStatus = CameraStatus::parse(whole ? reply->readAll() : QByteArray(), family);
        emit statusReceived(m_lastStatus);
    }
    if (code != 200)
        qDebug().nospace() << "http request failed: code = " << code << " " << reply->errorString();
    const bool command = reply->manager() == m_cmdManager;
    // A success status means the camera took the command, even when the body that follows is
    // cut: nothing in it is read. That the camera is away the tip line says already, and a
    // network that says it is gone refused nothing; but a command sent while it answered and
    // left unanswered is told all the same: a camera silent since then (taken for away before
    // the command's deadline) did not carry it out.
    const bool leftUnanswered = sentWhileThere && !Reachability::meansGone(reply->error());
    if (command && (code < 200 || code > 299) && (m_online || leftUnanswered)) {
        // An error status says more than a bound its body passed; a redirect refused says
        // where it led.
        QString why = ReplyLimit::reason(reply);
        if (code >= 400 || (code != 0 && why.isEmpty()))
            why = tr("HTTP %1").arg(code);
        else if (why.isEmpty())
            why = reply->errorString();
        // A setting the newer cameras refuse comes with what they offer instead.
        if (code == 403) {
            const QString refusal = SettingRefusal::describe(reply->readAll());
            if (!refusal.isEmpty())
                why = QStringLiteral("%1: %2").arg(why, refusal);
        }
        emit commandFailed(reply->url(), why);
    } else if (command && code >= 200 && code <= 299 && m_online) {
        emit commandTaken(reply->url());
    }
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
    if (command && m_awaitedCommands.remove(reply->url())
        && m_awaitedCommands.isEmpty())
        emit cardCommandsAnswered();
    reply->deleteLater();
}

void CameraLink::apply(Reachability::Change change)
{
    switch (change) {
    case Reachability::Change::WentOffline:
        m_online = false;
        m_lastStatus = CameraStatus();
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
}

void CameraLink::answered()
{
    if (m_active)
        apply(m_reachability.onReply(QNetworkReply::NoError, 200, true));
}

void CameraLink::poll()
{
    // Up to HERO8 the keep-alive is the status request itself.
    QList<QUrl> urls{CameraRequests::url(m_address, m_model, CameraRequests::Action::KeepAlive)};
    // Newer cameras tell their state only when asked.
    if (m_model >= 9)
        urls << m_address.mediaUrl(QLatin1String(kStatePath));
    for (const QUrl& url : urls) {
        QNetworkReply* reply = m_pollManager->get(QNetworkRequest(url));
        ReplyLimit::apply(reply, kStatusMaxBytes, kPollDeadlineMs);
    }
}
