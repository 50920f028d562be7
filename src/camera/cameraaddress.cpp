#include "cameraaddress.h"

namespace {
// Every camera on its own access point; the profiles' requests are written for it.
const char* const kAccessPointHost = "10.5.5.9";
} // namespace

CameraAddress CameraAddress::accessPoint()
{
    return CameraAddress(Link::AccessPoint, QHostAddress(QLatin1String(kAccessPointHost)));
}

CameraAddress CameraAddress::usb(const QHostAddress& camera)
{
    return CameraAddress(Link::Usb, camera);
}

CameraAddress CameraAddress::home(const QHostAddress& camera)
{
    return CameraAddress(camera.isNull() ? Link::None : Link::Home, camera);
}

QUrl CameraAddress::url(int port, const QString& pathAndQuery) const
{
    if (!isValid())
        return QUrl();
    if (m_link == Link::Home)
        return QUrl(QStringLiteral("https://") + m_host.toString() + pathAndQuery, QUrl::TolerantMode);
    QString text = QStringLiteral("http://") + m_host.toString();
    if (port != kCommandPort)
        text += QLatin1Char(':') + QString::number(port);
    return QUrl(text + pathAndQuery, QUrl::TolerantMode);
}

QString CameraAddress::encodedPath(const QString& mediaPath)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(mediaPath, "/"));
}

QUrl CameraAddress::rehost(const QUrl& written) const
{
    // On the home network a request already formed for this camera is https.
    const bool ours = written.scheme() == QLatin1String("http")
        || (m_link == Link::Home && written.scheme() == QLatin1String("https"));
    if (!isValid() || !written.isValid() || !ours)
        return QUrl();
    QUrl url = written;
    url.setHost(m_host.toString());
    if (m_link == Link::Home) {
        url.setScheme(QStringLiteral("https"));
        url.setPort(-1);
    }
    return url;
}
