#include "usbcamerafinder.h"

#include "usbnetdevice.h"

#include <QDebug>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QTimer>

namespace {

constexpr quint32 kCameraHost = 51;
const QString kGoProVendor = QStringLiteral("2672");

// "XYZ" for the camera at 172.2X.1YZ.51: the end of its serial.
QString serialEnd(const QHostAddress& camera)
{
    const quint32 ip = camera.toIPv4Address();
    return QString::number(((ip >> 16) & 0xFF) - 20)
        + QStringLiteral("%1").arg(((ip >> 8) & 0xFF) - 100, 2, 10, QLatin1Char('0'));
}

// Why the device behind an interface is not the camera at camera; empty when it is.
QString whyNot(const UsbNetDevice& device, const QHostAddress& camera)
{
    if (!device.isUsb())
        return QStringLiteral("not a USB device");
    if (device.vendorId() != kGoProVendor)
        return QStringLiteral("a USB device of vendor %1, not GoPro's (%2)").arg(device.vendorId(), kGoProVendor);
    // As the camera's info reply gives it: the serial names a file of remembered models and
    // ends up in folder names.
    static const QRegularExpression cameraSerial(QStringLiteral("^[A-Za-z0-9]{3,32}$"));
    if (!cameraSerial.match(device.serial()).hasMatch())
        return QStringLiteral("a GoPro whose serial \"%1\" is not a camera's").arg(device.serial());
    if (!device.serial().endsWith(serialEnd(camera)))
        return QStringLiteral("a GoPro whose serial \"%1\" does not end in %2").arg(device.serial(), serialEnd(camera));
    return QString();
}

} // namespace

UsbCameraFinder::UsbCameraFinder(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &UsbCameraFinder::scan);
}

void UsbCameraFinder::start()
{
    m_timer->start(kScanIntervalMs);
    scan();
}

QHostAddress UsbCameraFinder::cameraFor(const QHostAddress& pcAddress)
{
    bool ok = false;
    const quint32 ip = pcAddress.toIPv4Address(&ok);
    if (!ok)
        return {};
    const quint32 a = ip >> 24, b = (ip >> 16) & 0xFF, c = (ip >> 8) & 0xFF, d = ip & 0xFF;
    // 172.2X.1YZ.N: the second byte 20 to 29, the third 100 to 199.
    if (a != 172 || b < 20 || b > 29 || c < 100 || c > 199 || d == kCameraHost || d == 0 || d == 255)
        return {};
    return QHostAddress((ip & 0xFFFFFF00) | kCameraHost);
}

void UsbCameraFinder::scan()
{
    QHash<QString, QHostAddress> now;
    QHash<QString, QString> serials;
    QSet<QString> refused;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        if ((iface.flags() & QNetworkInterface::IsLoopBack) || !(iface.flags() & QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QHostAddress camera = cameraFor(entry.ip());
            if (camera.isNull())
                continue;
            const UsbNetDevice device = UsbNetDevice::of(iface.name());
            if (const QString why = whyNot(device, camera); !why.isEmpty()) {
                const QString key = iface.name() + QLatin1Char(' ') + entry.ip().toString();
                if (!m_refused.contains(key))
                    qDebug().noquote() << "Not a camera's cable:" << iface.name() << "holds" << entry.ip().toString()
                                       << "but is" << why;
                refused.insert(key);
                continue;
            }
            now.insert(iface.name(), camera);
            serials.insert(iface.name(), device.serial());
            break;
        }
    }
    m_refused = refused;
    for (auto it = m_seen.cbegin(); it != m_seen.cend(); ++it) {
        if (now.value(it.key()) != it.value()) {
            qDebug() << "USB camera link gone:" << it.key() << it.value().toString();
            emit lost(it.value());
        }
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_seen.value(it.key()) != it.value()) {
            qDebug() << "USB camera link:" << it.key() << it.value().toString() << serials.value(it.key());
            emit found(it.value(), serials.value(it.key()), it.key());
        }
    }
    m_seen = now;
}
