#include "previewkeepalive.h"

#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>

namespace {

constexpr quint16 kStreamPort = 8554;

} // namespace

PreviewKeepAlive::PreviewKeepAlive(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
    , m_socket(new QUdpSocket(this))
{
    m_timer->setInterval(kIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &PreviewKeepAlive::send);
}

bool PreviewKeepAlive::isActive() const
{
    return m_timer->isActive();
}

QByteArray PreviewKeepAlive::datagram()
{
    return QByteArrayLiteral("_GPHD_:0:0:2:0.000000\n");
}

void PreviewKeepAlive::startForOtherProgram()
{
    m_otherProgram = true;
    begin();
}

void PreviewKeepAlive::startForWindow(QObject* window)
{
    if (window && !m_windows.contains(window)) {
        m_windows.insert(window);
        connect(window, &QObject::destroyed, this, &PreviewKeepAlive::windowGone);
    }
    begin();
}

void PreviewKeepAlive::stop()
{
    m_otherProgram = false;
    m_timer->stop();
}

void PreviewKeepAlive::begin()
{
    // The first datagram goes at once: the camera counts from its own start.
    if (!m_timer->isActive())
        send();
    m_timer->start();
}

void PreviewKeepAlive::send()
{
    // A lost datagram is simply followed by the next one.
    m_socket->writeDatagram(datagram(), m_camera.host(), kStreamPort);
}

void PreviewKeepAlive::windowGone(QObject* window)
{
    m_windows.remove(window);
    if (m_windows.isEmpty() && !m_otherProgram)
        stop();
}
