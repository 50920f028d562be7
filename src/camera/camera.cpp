#include "camera.h"

#include "camerainfo.h"
#include "cameralink.h"
#include "cameranetwork.h"
#include "previewkeepalive.h"
#include "replylimit.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {
// An info answer is a few hundred bytes; a camera on a cable answers at once.
constexpr qint64 kInfoMaxBytes = 64 * 1024;
constexpr int kInfoDeadlineMs = 3000;
} // namespace

Camera::Camera(const CameraAddress& address, QObject* parent)
    : QObject(parent)
    , m_address(address)
    , m_link(new CameraLink(this))
    , m_previewKeepAlive(new PreviewKeepAlive(this))
    , m_manager(cameranetwork::newManager(this))
{
    m_link->setAddress(address);
    m_previewKeepAlive->setCamera(address);
    connect(m_link, &CameraLink::statusReceived, this, [this](const CameraStatus& status) {
        m_status = status;
        emit stateChanged();
    });
    connect(m_link, &CameraLink::wentOffline, this, [this] {
        m_status = CameraStatus();
        emit stateChanged();
    });
    // Asked who it is each time it comes until it has told its serial: two read-only requests.
    connect(m_link, &CameraLink::cameOnline, this, [this] {
        if (m_serial.isEmpty())
            identify();
        emit stateChanged();
    });
}

void Camera::setModel(int model)
{
    if (model == m_model)
        return;
    m_model = model;
    m_link->setModel(model);
    emit changed();
}

void Camera::setModelName(const QString& name)
{
    if (name == m_modelName)
        return;
    m_modelName = name;
    emit changed();
}

void Camera::setSerial(const QString& serial)
{
    if (serial == m_serial)
        return;
    m_serial = serial;
    emit changed();
}

QString Camera::displayName() const
{
    QStringList parts;
    switch (m_address.link()) {
    case CameraAddress::Link::Usb:
        parts << tr("USB");
        break;
    case CameraAddress::Link::Home:
        parts << tr("Home");
        break;
    default:
        parts << tr("Wi-Fi");
        break;
    }
    if (!m_modelName.isEmpty())
        parts << m_modelName;
    else if (m_model > 0)
        parts << QStringLiteral("HERO%1").arg(m_model);
    if (m_serial.size() >= 3)
        parts << QStringLiteral("…") + m_serial.right(3);
    else
        parts << m_address.host().toString();
    return parts.join(QStringLiteral(" · "));
}

bool Camera::isOnline() const
{
    return m_link->isOnline();
}

QString Camera::stateText() const
{
    if (!isOnline())
        return tr("offline");
    QStringList parts;
    if (m_status.batteryPercent)
        parts << tr("%1 %").arg(*m_status.batteryPercent);
    if (m_status.card == CameraStatus::Card::Missing)
        parts << tr("no card");
    else if (m_status.freeBytes)
        parts << tr("%1 GB free").arg(double(*m_status.freeBytes) / 1e9, 0, 'f', 1);
    if (m_status.recording.value_or(false))
        parts << tr("REC");
    return parts.isEmpty() ? tr("online") : parts.join(QStringLiteral(" · "));
}

void Camera::setCurrent(bool current)
{
    if (!current)
        m_previewKeepAlive->stop();
}

void Camera::identify()
{
    askInfo(m_address.mediaUrl(QStringLiteral("/gopro/camera/info")), false);
}

void Camera::askInfo(const QUrl& url, bool last)
{
    QNetworkReply* reply = m_manager->get(QNetworkRequest(url));
    ReplyLimit::apply(reply, kInfoMaxBytes, kInfoDeadlineMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply, last] {
        reply->deleteLater();
        const CameraInfo info = reply->error() == QNetworkReply::NoError
            ? CameraInfo::parse(reply->readAll())
            : CameraInfo();
        if (!info.isValid() && !last) {
            askInfo(m_address.commandUrl(QStringLiteral("/gp/gpControl/info")), true);
            return;
        }
        if (info.isValid()) {
            qDebug() << "camera at" << m_address.host().toString() << "is" << info.modelName << info.serial;
            if (!info.serial.isEmpty())
                setSerial(info.serial);
            if (!info.modelName.isEmpty())
                setModelName(info.modelName);
            if (info.generation > 0)
                setModel(info.generation);
        }
        emit identified();
    });
}

void Camera::enableWiredControl()
{
    QNetworkReply* reply =
        m_manager->get(QNetworkRequest(m_address.mediaUrl(QStringLiteral("/gopro/camera/control/wired_usb?p=1"))));
    ReplyLimit::apply(reply, kInfoMaxBytes, kInfoDeadlineMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError)
            qDebug() << "wired control not enabled on" << m_address.host().toString() << reply->errorString();
    });
}
