#include "turbotransfer.h"

#include "camerarequests.h"
#include "replylimit.h"

#include <QDebug>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
// The answer is "{}"; anything longer is not read.
constexpr qint64 kAnswerMaxBytes = 64 * 1024;
} // namespace

TurboTransfer::TurboTransfer(QObject* parent)
    : QObject(parent)
{
}

bool TurboTransfer::switchOn(const Target& camera, QObject* context, const std::function<void()>& ready)
{
    m_state.insert(camera.camera, State::Held);
    QNetworkReply* reply = send(camera, true);
    if (!reply)
        return false;
    connect(reply, &QNetworkReply::finished, context, ready);
    return true;
}

void TurboTransfer::switchOff(const Target& camera)
{
    if (m_state.value(camera.camera, State::OffAsked) != State::Held)
        return;
    m_state.insert(camera.camera, State::OffAsked);
    send(camera, false);
}

void TurboTransfer::seen(const Target& camera, bool on)
{
    const auto state = m_state.constFind(camera.camera);
    if (!on) {
        // Off as asked: the next time it is on, it is switched off again.
        if (state != m_state.constEnd() && *state == State::OffAsked)
            m_state.remove(camera.camera);
        return;
    }
    // Held by a download, or asked off already (a status from before the request).
    if (state != m_state.constEnd())
        return;
    qInfo() << "turbo transfer is on at" << camera.address.host().toString()
            << "while nothing downloads from it: switching it off";
    m_state.insert(camera.camera, State::OffAsked);
    send(camera, false);
}

void TurboTransfer::forget(quint64 camera)
{
    if (m_state.value(camera) == State::OffAsked)
        m_state.remove(camera);
}

void TurboTransfer::settle(int ms)
{
    m_pending.removeAll(nullptr);
    if (m_pending.isEmpty())
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    for (const QPointer<QNetworkReply>& reply : std::as_const(m_pending)) {
        // After send()'s own slot, which takes the reply off the list.
        connect(reply, &QNetworkReply::finished, &loop, [this, &loop] {
            if (m_pending.isEmpty())
                loop.quit();
        });
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!m_pending.isEmpty())
        qInfo() << "turbo transfer: not every camera answered before the end";
}

QNetworkReply* TurboTransfer::send(const Target& camera, bool on)
{
    const QUrl url = CameraRequests::url(camera.address, camera.model, CameraRequests::Action::Turbo, on);
    if (url.isEmpty())
        return nullptr;
    if (!camera.network) {
        qInfo() << "turbo transfer" << (on ? "on" : "off") << "not sent: the camera is gone";
        return nullptr;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(kAnswerDeadlineMs);
    QNetworkReply* reply = camera.network->get(request);
    ReplyLimit::apply(reply, kAnswerMaxBytes, kAnswerDeadlineMs);
    m_pending.append(reply);
    connect(reply, &QNetworkReply::finished, this, [this, reply, on] {
        reply->deleteLater();
        m_pending.removeAll(reply);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QString where = reply->url().toString(QUrl::RemoveUserInfo);
        if (reply->error() == QNetworkReply::NoError) {
            qDebug().noquote() << "turbo transfer" << (on ? "on:" : "off:") << where;
            return;
        }
        QString why = ReplyLimit::reason(reply);
        if (why.isEmpty())
            why = status != 0 ? QStringLiteral("HTTP %1").arg(status) : reply->errorString();
        // Files still come, at the usual speed.
        qInfo().noquote() << "turbo transfer" << (on ? "on" : "off") << "refused:" << where << why;
    });
    return reply;
}
