#include "camera.h"

#include "cameralink.h"
#include "previewkeepalive.h"

Camera::Camera(const CameraAddress& address, QObject* parent)
    : QObject(parent)
    , m_address(address)
    , m_link(new CameraLink(this))
    , m_previewKeepAlive(new PreviewKeepAlive(this))
{
    m_link->setAddress(address);
    m_previewKeepAlive->setCamera(address);
    connect(m_link, &CameraLink::statusReceived, this,
            [this](const CameraStatus& status) { m_status = status; });
    connect(m_link, &CameraLink::wentOffline, this, [this] { m_status = CameraStatus(); });
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
    const bool usb = m_address.link() == CameraAddress::Link::Usb;
    QStringList parts{usb ? tr("USB") : tr("Wi-Fi")};
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

void Camera::setCurrent(bool current)
{
    m_link->setActive(current);
    if (!current)
        m_previewKeepAlive->stop();
}
