#include "cameranetworkmanager.h"

#include "homecameratrust.h"

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

} // namespace

CameraNetworkManager::CameraNetworkManager(QObject* parent)
    : QNetworkAccessManager(parent)
{
    setProxy(QNetworkProxy::NoProxy);
    // Clearing also ends what is in flight: only where this manager has talked to the camera.
    connect(HomeCameraTrust::instance(), &HomeCameraTrust::changed, this, [this](const QHostAddress& host) {
        if (m_homeHosts.remove(host.toString()))
            clearConnectionCache();
    });
}

QNetworkReply* CameraNetworkManager::createRequest(Operation op, const QNetworkRequest& request,
                                                   QIODevice* outgoingData)
{
    if (request.url().scheme() != QLatin1String("https"))
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    HomeCameraTrust* trust = HomeCameraTrust::instance();
    QNetworkRequest pinned = request;
    QString why;
    if (!trust->prepare(&pinned, &why))
        return new RefusedReply(op, request, QNetworkReply::ProtocolFailure, why, this);
    QNetworkReply* reply = QNetworkAccessManager::createRequest(op, pinned, outgoingData);
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
