#include "usbcamerafinder.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QNetworkInterface>
#include <QTimer>

namespace {

constexpr quint32 kCameraHost = 51;
const char* const kGoProVendor = "2672";

QString readLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readLine(128)).trimmed();
}

} // namespace

UsbCameraFinder::UsbCameraFinder(QObject* parent, QString sysfsRoot)
    : QObject(parent)
    , m_timer(new QTimer(this))
    , m_sysfsRoot(std::move(sysfsRoot))
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

UsbCameraFinder::UsbDevice UsbCameraFinder::usbDevice(const QString& interfaceName) const
{
    // /sys/class/net/IF/device is the USB interface; the device with its ids is its parent.
    const QString device = m_sysfsRoot + QStringLiteral("/class/net/") + interfaceName
        + QStringLiteral("/device/..");
    return {readLine(device + QStringLiteral("/idVendor")), readLine(device + QStringLiteral("/serial"))};
}

bool UsbCameraFinder::fits(const UsbDevice& device, const QHostAddress& camera)
{
    if (!device.vendorId.isEmpty() && device.vendorId.compare(QLatin1String(kGoProVendor), Qt::CaseInsensitive) != 0)
        return false;
    if (device.serial.size() < 3)
        return true;
    // 172.2X.1YZ.51 is the camera whose serial ends in XYZ.
    const quint32 ip = camera.toIPv4Address();
    const QString xyz = QString::number(((ip >> 16) & 0xFF) - 20)
        + QStringLiteral("%1").arg(((ip >> 8) & 0xFF) - 100, 2, 10, QLatin1Char('0'));
    return device.serial.right(3) == xyz;
}

void UsbCameraFinder::scan()
{
    QHash<QString, QHostAddress> now;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        if ((iface.flags() & QNetworkInterface::IsLoopBack) || !(iface.flags() & QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QHostAddress camera = cameraFor(entry.ip());
            if (camera.isNull() || !fits(usbDevice(iface.name()), camera))
                continue;
            now.insert(iface.name(), camera);
            break;
        }
    }
    for (auto it = m_seen.cbegin(); it != m_seen.cend(); ++it) {
        if (now.value(it.key()) != it.value()) {
            qDebug() << "USB camera link gone:" << it.key() << it.value().toString();
            emit lost(it.value());
        }
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_seen.value(it.key()) != it.value()) {
            qDebug() << "USB camera link:" << it.key() << it.value().toString();
            emit found(it.value(), usbDevice(it.key()).serial, it.key());
        }
    }
    m_seen = now;
}
