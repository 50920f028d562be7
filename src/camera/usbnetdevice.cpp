#include "usbnetdevice.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kClassNet = QStringLiteral("/sys/class/net/");
const QString kUsb = QStringLiteral("usb");

QString attribute(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // One short line: a USB string descriptor holds at most 126 characters.
    return QString::fromUtf8(file.readLine(1024)).trimmed();
}

// The subsystem a sysfs device belongs to: the end of its "subsystem" link (../bus/usb: usb).
QString subsystemOf(const QString& device)
{
    const QString target = QFile::symLinkTarget(device + QStringLiteral("/subsystem"));
    return target.isEmpty() ? QString() : QFileInfo(target).fileName();
}

} // namespace

UsbNetDevice UsbNetDevice::of(const QString& interfaceName)
{
    UsbNetDevice found;
    // No interface is named so; such a name would lead elsewhere in /sys.
    if (interfaceName.isEmpty() || interfaceName.contains(QLatin1Char('/')) || interfaceName == QLatin1String(".")
        || interfaceName == QLatin1String(".."))
        return found;
    const QString usbInterface = QFileInfo(kClassNet + interfaceName + QStringLiteral("/device")).canonicalFilePath();
    if (usbInterface.isEmpty() || subsystemOf(usbInterface) != kUsb)
        return found;
    const QString usbDevice = QFileInfo(usbInterface).path();
    if (subsystemOf(usbDevice) != kUsb)
        return found;
    found.m_usb = true;
    found.m_vendorId = attribute(usbDevice + QStringLiteral("/idVendor"));
    found.m_serial = attribute(usbDevice + QStringLiteral("/serial"));
    return found;
}
