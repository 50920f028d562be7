#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>

class QTimer;

// Finds cameras plugged in by USB. Over a cable a camera is a network device of its own: a USB
// device of GoPro's (vendor 2672) with the camera's serial, the camera at 172.2X.1YZ.51 and the
// PC at another address of that /24 (X, Y, Z: the last three digits of the serial). An
// interface is a cable only when both agree: it holds such an address, and sysfs shows it on
// such a USB device whose serial ends in XYZ. An office LAN, a VPN's tun or a WireGuard device
// holding an address of that range is not one (on such a network .51 is somebody's host). The
// PC's interfaces are looked at every second, so a cable is seen within two.
class UsbCameraFinder : public QObject
{
    Q_OBJECT

public:
    static constexpr int kScanIntervalMs = 1000;

    explicit UsbCameraFinder(QObject* parent = nullptr);

    void start();

    // 172.2X.1YZ.51 for a PC address 172.2X.1YZ.N of a camera's subnet; null otherwise.
    static QHostAddress cameraFor(const QHostAddress& pcAddress);

signals:
    // serial: the USB device's, as sysfs tells it.
    void found(const QHostAddress& camera, const QString& serial, const QString& interfaceName);
    // Its interface went, lost its address, or is no longer on the camera's USB device: the
    // cable was pulled.
    void lost(const QHostAddress& camera);

private:
    void scan();

    QTimer* m_timer = nullptr;
    // Camera addresses seen at the last scan, by interface.
    QHash<QString, QHostAddress> m_seen;
    // Interfaces in a camera's subnet that are no cable ("IF ADDRESS"), told once while so.
    QSet<QString> m_refused;
};
