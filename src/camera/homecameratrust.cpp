#include "homecameratrust.h"

#include <QCoreApplication>
#include <QDebug>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace {

QString key(const QHostAddress& host)
{
    return host.toString();
}

} // namespace

HomeCameraTrust* HomeCameraTrust::instance()
{
    static HomeCameraTrust* trust = new HomeCameraTrust(QCoreApplication::instance());
    return trust;
}

bool HomeCameraTrust::trust(const HomeNetworkCamera& camera)
{
    if (!camera.isComplete())
        return false;
    const QList<QSslCertificate> roots = QSslCertificate::fromData(camera.rootCertificatePem, QSsl::Pem);
    if (roots.isEmpty() || roots.first().isNull())
        return false;
    for (auto it = m_cameras.begin(); it != m_cameras.end();) {
        if (it->serial == camera.serial && it.key() != key(camera.address)) {
            const QHostAddress old(it.key());
            it = m_cameras.erase(it);
            emit changed(old);
        } else {
            ++it;
        }
    }
    Entry entry;
    entry.serial = camera.serial;
    entry.authorization = "Basic " + (camera.user + QLatin1Char(':') + camera.password).toUtf8().toBase64();
    // Only the first: a camera hands over its own root, nothing else is trusted for it.
    entry.roots = {roots.first()};
    // The same again (set up twice, remembered and handed over): connections made under it
    // are still good, and what runs on them goes on.
    const auto known = m_cameras.constFind(key(camera.address));
    if (known != m_cameras.constEnd() && !known->refused && known->serial == entry.serial
        && known->authorization == entry.authorization && known->roots == entry.roots)
        return true;
    m_cameras.insert(key(camera.address), entry);
    emit changed(camera.address);
    return true;
}

void HomeCameraTrust::forget(const QHostAddress& host)
{
    if (m_cameras.remove(key(host)) > 0)
        emit changed(host);
}

bool HomeCameraTrust::isRegistered(const QHostAddress& host) const
{
    return m_cameras.contains(key(host));
}

bool HomeCameraTrust::isRefused(const QHostAddress& host) const
{
    return m_cameras.value(key(host)).refused;
}

bool HomeCameraTrust::prepare(QNetworkRequest* request, QString* why) const
{
    const auto found = m_cameras.constFind(request->url().host());
    if (found == m_cameras.constEnd()) {
        if (why)
            *why = tr("No camera set up at %1.").arg(request->url().host());
        return false;
    }
    if (found->refused) {
        if (why)
            *why = tr("The camera at %1 is not trusted until it is set up again.").arg(request->url().host());
        return false;
    }
    request->setRawHeader("Authorization", found->authorization);
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    // The camera's root alone: the system's authorities would vouch for any server with a
    // public certificate, and the camera's own root for nothing else. The leaf must still
    // name the address asked (Qt checks the IP against its subject alternative names).
    ssl.setCaCertificates(found->roots);
    ssl.setPeerVerifyMode(QSslSocket::VerifyPeer);
    request->setSslConfiguration(ssl);
    return true;
}

void HomeCameraTrust::refuse(const QHostAddress& host, Refusal refusal)
{
    const auto found = m_cameras.find(key(host));
    if (found == m_cameras.end() || found->refused)
        return;
    found->refused = true;
    qDebug() << "camera at" << host.toString() << "refused:" << refusal;
    emit changed(host);
    emit refused(host, refusal, message(host, refusal));
}

QString HomeCameraTrust::message(const QHostAddress& host, Refusal refusal)
{
    const QString address = host.toString();
    if (refusal == Refusal::Certificate)
        return tr("The camera at %1 showed a certificate that is not its own; nothing more is sent "
                  "to it. Set it up again over Bluetooth if it was reset.")
            .arg(address);
    return tr("The camera at %1 refused the password Velkamo has for it; nothing more is sent to "
              "it. Set it up again over Bluetooth if its password was changed or it was reset.")
        .arg(address);
}
