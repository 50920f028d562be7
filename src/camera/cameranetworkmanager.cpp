#include "cameranetworkmanager.h"

#include "camerahttpreply.h"
#include "homecameratrust.h"
#include "replylimit.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>

namespace {

// A request that is not sent: it fails as soon as the event loop runs, as a connection
// error would, so that callers see it the same way.
class RefusedReply : public QNetworkReply
{
public:
    RefusedReply(QNetworkAccessManager::Operation op, const QNetworkRequest& request,
                 NetworkError error, const QString& why, QObject* parent)
        : QNetworkReply(parent)
    {
        setRequest(request);
        setUrl(request.url());
        setOperation(op);
        setError(error, why);
        open(QIODevice::ReadOnly);
        QTimer::singleShot(0, this, [this] {
            setFinished(true);
            emit errorOccurred(this->error());
            emit finished();
        });
    }
    void abort() override {}

protected:
    qint64 readData(char*, qint64) override { return -1; }
};

// An auth refusal announces its scheme; the camera's 403 for a setting it refuses is JSON.
bool refusesCredentials(const QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status == 401 || (status == 403 && reply->hasRawHeader("WWW-Authenticate"));
}

// "redirected to 127.0.0.2 (HTTP 302), not followed": where to, for a user who wonders
// what answers in the camera's place (a captive portal, another device at its address).
QString redirectReason(const QNetworkReply* reply, int status)
{
    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const QUrl resolved = reply->url().resolved(target);
    // The host as the answer names it, kept short: it came from the network.
    QString host = resolved.host().left(64);
    if (target.isEmpty() || host.isEmpty())
        return QCoreApplication::translate("CameraNetworkManager", "redirected (HTTP %1), not followed").arg(status);
    if (resolved.port() >= 0)
        host += QLatin1Char(':') + QString::number(resolved.port());
    return QCoreApplication::translate("CameraNetworkManager", "redirected to %1 (HTTP %2), not followed")
        .arg(host)
        .arg(status);
}

// Qt 6 follows redirects by default, to any host and with the request's Range header: what
// another host sends would be saved or shown as the camera's. A camera never redirects, so
// an answer that does fails the request, before any of its body is read.
QNetworkReply* withoutRedirects(QNetworkReply* reply)
{
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status <= 399)
            ReplyLimit::end(reply, redirectReason(reply, status));
    });
    return reply;
}

// The card's requests: the list, thumbnails, pictures and files. HERO12 firmware 01.30 writes
// a log line before the status line of these answers (seen on the list and the files; the
// thumbnails and the other media paths come from the same server code), which Qt's client
// refuses. Commands, settings and polls keep Qt's client and its kept-alive connections, and
// so does HTTPS to a home camera: the line was seen on plain HTTP (:8080, Wi-Fi and USB).
bool isMediaPath(const QString& path)
{
    return path.startsWith(QLatin1String("/videos/")) || path.startsWith(QLatin1String("/gopro/media/"))
        || path.startsWith(QLatin1String("/gp/gpMedia"));
}

QNetworkRequest manualRedirects(QNetworkRequest request)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return request;
}

} // namespace

CameraNetworkManager::CameraNetworkManager(QObject* parent)
    : QNetworkAccessManager(parent)
{
    setProxy(QNetworkProxy::NoProxy);
    // Also set on every request, whatever its sender asked for.
    setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    // Clearing also ends what is in flight: only where this manager has talked to the camera.
    connect(HomeCameraTrust::instance(), &HomeCameraTrust::changed, this, [this](const QHostAddress& host) {
        if (m_homeHosts.remove(host.toString()))
            clearConnectionCache();
    });
}

QNetworkReply* CameraNetworkManager::createRequest(Operation op, const QNetworkRequest& request,
                                                   QIODevice* outgoingData)
{
    if (request.url().scheme() != QLatin1String("https")) {
        if (op == GetOperation && request.url().scheme() == QLatin1String("http") && isMediaPath(request.url().path())) {
            const int timeout = request.transferTimeout() > 0 ? request.transferTimeout() : transferTimeout();
            return withoutRedirects(new CameraHttpReply(request, timeout, this));
        }
        return withoutRedirects(QNetworkAccessManager::createRequest(op, manualRedirects(request), outgoingData));
    }
    HomeCameraTrust* trust = HomeCameraTrust::instance();
    QNetworkRequest pinned = manualRedirects(request);
    QString why;
    if (!trust->prepare(&pinned, &why))
        return new RefusedReply(op, request, QNetworkReply::ProtocolFailure, why, this);
    QNetworkReply* reply = withoutRedirects(QNetworkAccessManager::createRequest(op, pinned, outgoingData));
    const QHostAddress host(request.url().host());
    m_homeHosts.insert(host.toString());
    // Never ignored: a certificate the camera's root does not vouch for ends the request.
    connect(reply, &QNetworkReply::sslErrors, trust, [trust, host](const QList<QSslError>& errors) {
        for (const QSslError& error : errors)
            qDebug() << "certificate of" << host.toString() << "refused:" << error.errorString();
        trust->refuse(host, HomeCameraTrust::Refusal::Certificate);
    });
    // Qt ends a 401 that nobody answers with an error, headers or not.
    const auto checkCredentials = [trust, host, reply] {
        if (refusesCredentials(reply) || reply->error() == QNetworkReply::AuthenticationRequiredError)
            trust->refuse(host, HomeCameraTrust::Refusal::Password);
    };
    connect(reply, &QNetworkReply::metaDataChanged, trust, checkCredentials);
    connect(reply, &QNetworkReply::finished, trust, checkCredentials);
    return reply;
}
