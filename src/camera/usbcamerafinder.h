#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTimer;

// Finds cameras plugged in by USB. Over a cable a camera is a network device of its own: the
// camera at 172.2X.1YZ.51 and the PC at another address of that /24 (X, Y, Z: the last three
// digits of the camera's serial). The PC's interfaces are looked at every second, so a cable
// is seen within two; an interface with an address in such a subnet is a candidate, confirmed
// where sysfs tells its USB vendor (GoPro is 2672) and serial. Never "the last interface".
class UsbCameraFinder : public QObject
{
    Q_OBJECT

public:
    static constexpr int kScanIntervalMs = 1000;

    // What sysfs tells about the USB device behind a network interface; empty where it
    // tells nothing (not a USB device, no sysfs).
    struct UsbDevice {
        QString vendorId; // "2672"
        QString serial;
    };

    // sysfsRoot: where /sys is (tests give a folder of their own).
    explicit UsbCameraFinder(QObject* parent = nullptr, QString sysfsRoot = QStringLiteral("/sys"));

    void start();

    // 172.2X.1YZ.51 for a PC address 172.2X.1YZ.N of a camera's subnet; null otherwise.
    static QHostAddress cameraFor(const QHostAddress& pcAddress);
    UsbDevice usbDevice(const QString& interfaceName) const;
    // Whether the device can be the camera at camera: a vendor told must be GoPro's, and a
    // serial told must end in the digits the address is made of.
    static bool fits(const UsbDevice& device, const QHostAddress& camera);

signals:
    // serial: as sysfs tells it, empty when it does not.
    void found(const QHostAddress& camera, const QString& serial, const QString& interfaceName);
    // Its interface went, or lost its address: the cable was pulled.
    void lost(const QHostAddress& camera);

private:
    void scan();

    QTimer* m_timer = nullptr;
    QString m_sysfsRoot;
    // Camera addresses seen at the last scan, by interface.
    QHash<QString, QHostAddress> m_seen;
};
