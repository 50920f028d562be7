#include "fakesysfs.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkInterface>

#include <linux/magic.h>
#include <sys/vfs.h>

namespace fakesysfs {

namespace {

const QString kClassNet = QStringLiteral("/sys/class/net");
// The staged /sys: devices/, bus/ and class/net (a link back to /sys/class/net).
const QString kRoot = kClassNet + QStringLiteral("/.sysfs");
const QString kPciRoot = kRoot + QStringLiteral("/devices/pci0000:00");
const QString kXhci = kPciRoot + QStringLiteral("/0000:00:14.0");
const QString kRootHub = kXhci + QStringLiteral("/usb2");
const QString kVirtualNet = kRoot + QStringLiteral("/devices/virtual/net");

bool writeAttribute(const QString& path, const QString& value)
{
    if (value.isEmpty())
        return true;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(value.toUtf8() + '\n') > 0;
}

// A sysfs link as the kernel writes it: up from the link's folder to the target's parent, then
// down to the target ("../../../2-1:1.0", not "../.." for a parent two levels up).
bool sysfsLink(const QString& folder, const QString& name, const QString& target)
{
    const QFileInfo to(target);
    const QString relative = QDir::cleanPath(QDir(folder).relativeFilePath(to.path()) + QLatin1Char('/') + to.fileName());
    return QFile::link(relative, folder + QLatin1Char('/') + name);
}

bool makeDevice(const QString& folder, const QString& subsystem, const QList<std::pair<QString, QString>>& attributes)
{
    if (!QDir().mkpath(folder) || !sysfsLink(folder, QStringLiteral("subsystem"), kRoot + QLatin1Char('/') + subsystem))
        return false;
    for (const auto& [name, value] : attributes) {
        if (!writeAttribute(folder + QLatin1Char('/') + name, value))
            return false;
    }
    return true;
}

QString ensureMounted()
{
    struct statfs fs {};
    // A tmpfs of its own, with the device tree in it; a plain folder of the video devices'
    // tmpfs (see stageVideo4Linux) gets one too.
    if (statfs(qPrintable(kClassNet), &fs) == 0 && fs.f_type == TMPFS_MAGIC && QFileInfo::exists(kRoot))
        return QString();
    if (const QString why = testsupport::mountTmpfs(kClassNet, QStringLiteral("4m")); !why.isEmpty())
        return QStringLiteral("cannot mount a tmpfs over %1: %2").arg(kClassNet, why);
    const bool made = QDir().mkpath(kRoot + QStringLiteral("/bus/usb/drivers/cdc_ncm"))
        && QDir().mkpath(kRoot + QStringLiteral("/bus/pci/drivers/e1000e")) && QDir().mkpath(kRoot + QStringLiteral("/class"))
        && QFile::link(QStringLiteral("../.."), kRoot + QStringLiteral("/class/net"))
        && makeDevice(kXhci, QStringLiteral("bus/pci"),
                      {{"vendor", "0x8086"}, {"device", "0xa36d"}, {"class", "0x0c0330"}})
        && makeDevice(kRootHub, QStringLiteral("bus/usb"),
                      {{"idVendor", "1d6b"},
                       {"idProduct", "0003"},
                       {"manufacturer", "Linux xhci-hcd"},
                       {"product", "xHCI Host Controller"},
                       {"serial", "0000:00:14.0"},
                       {"busnum", "2"},
                       {"devnum", "1"},
                       {"uevent", "DEVTYPE=usb_device"}});
    return made ? QString() : QStringLiteral("cannot stage the device tree in %1").arg(kRoot);
}

// The net class entry of interfaceName in folder: its own directory, linked from /sys/class/net.
bool makeNetEntry(const QString& folder, const QString& interfaceName)
{
    const QString entry = folder + QStringLiteral("/net/") + interfaceName;
    QString mac = QNetworkInterface::interfaceFromName(interfaceName).hardwareAddress().toLower();
    return makeDevice(entry, QStringLiteral("class/net"),
                      {{"address", mac.isEmpty() ? QStringLiteral("00:00:00:00:00:00") : mac},
                       {"type", "1"},
                       {"uevent", "INTERFACE=" + interfaceName}})
        && sysfsLink(kClassNet, interfaceName, entry);
}

// The first of candidates not staged yet; empty when all are.
QString freeFolder(const QStringList& candidates)
{
    for (const QString& candidate : candidates) {
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    return QString();
}

} // namespace

UsbDevice goPro(const QString& serial, const QString& product)
{
    return {QStringLiteral("2672"), QStringLiteral("0059"), QStringLiteral("GoPro"), product, serial};
}

QString addUsb(const QString& interfaceName, const UsbDevice& device)
{
    if (const QString why = ensureMounted(); !why.isEmpty())
        return why;
    remove(interfaceName);
    QStringList ports;
    for (int port = 1; port <= 15; ++port)
        ports << kRootHub + QStringLiteral("/2-%1").arg(port);
    const QString usbDevice = freeFolder(ports);
    if (usbDevice.isEmpty())
        return QStringLiteral("every port of the staged root hub is taken");
    const QString name = QFileInfo(usbDevice).fileName();
    const QString usbInterface = usbDevice + QLatin1Char('/') + name + QStringLiteral(":1.0");
    const bool made = makeDevice(usbDevice, QStringLiteral("bus/usb"),
                                 {{"idVendor", device.vendorId},
                                  {"idProduct", device.productId},
                                  {"manufacturer", device.manufacturer},
                                  {"product", device.product},
                                  {"serial", device.serial},
                                  {"busnum", "2"},
                                  {"devnum", QString::number(name.section('-', 1).toInt() + 1)},
                                  {"uevent", "DEVTYPE=usb_device"}})
        && makeDevice(usbInterface, QStringLiteral("bus/usb"),
                      {{"bInterfaceClass", "02"},
                       {"bInterfaceSubClass", "0d"},
                       {"bInterfaceNumber", "00"},
                       {"uevent", "DEVTYPE=usb_interface\nDRIVER=cdc_ncm"}})
        && sysfsLink(usbInterface, QStringLiteral("driver"), kRoot + QStringLiteral("/bus/usb/drivers/cdc_ncm"))
        && makeNetEntry(usbInterface, interfaceName)
        && sysfsLink(usbInterface + QStringLiteral("/net/") + interfaceName, QStringLiteral("device"), usbInterface);
    return made ? QString() : QStringLiteral("cannot stage %1 as a USB device").arg(interfaceName);
}

QString addPci(const QString& interfaceName)
{
    if (const QString why = ensureMounted(); !why.isEmpty())
        return why;
    remove(interfaceName);
    QStringList functions;
    for (int function = 0; function < 8; ++function)
        functions << kPciRoot + QStringLiteral("/0000:00:1f.%1").arg(function);
    const QString card = freeFolder(functions);
    if (card.isEmpty())
        return QStringLiteral("every staged PCI slot is taken");
    const bool made = makeDevice(card, QStringLiteral("bus/pci"),
                                 {{"vendor", "0x8086"}, {"device", "0x15bc"}, {"class", "0x020000"}})
        && sysfsLink(card, QStringLiteral("driver"), kRoot + QStringLiteral("/bus/pci/drivers/e1000e"))
        && makeNetEntry(card, interfaceName)
        && sysfsLink(card + QStringLiteral("/net/") + interfaceName, QStringLiteral("device"), card);
    return made ? QString() : QStringLiteral("cannot stage %1 as a PCI card").arg(interfaceName);
}

QString addVirtual(const QString& interfaceName)
{
    if (const QString why = ensureMounted(); !why.isEmpty())
        return why;
    remove(interfaceName);
    // devices/virtual/net/IF is the entry itself: its folder for makeNetEntry is devices/virtual.
    return makeNetEntry(QFileInfo(kVirtualNet).path(), interfaceName)
        ? QString()
        : QStringLiteral("cannot stage %1 as a virtual device").arg(interfaceName);
}

void remove(const QString& interfaceName)
{
    const QString entry = kClassNet + QLatin1Char('/') + interfaceName;
    const QFileInfo info(entry);
    if (!info.isSymLink())
        return;
    // Up to the folder staged for it: the USB device on the root hub, the PCI card, or the
    // virtual entry itself.
    QString staged = info.canonicalFilePath();
    while (!staged.isEmpty() && staged.startsWith(kRoot)) {
        const QString parent = QFileInfo(staged).path();
        if (parent == kRootHub || parent == kPciRoot || parent == kVirtualNet)
            break;
        staged = parent;
    }
    if (staged.startsWith(kRoot + QLatin1Char('/')))
        QDir(staged).removeRecursively();
    QFile::remove(entry);
}

namespace {
const QString kVideo4Linux = QStringLiteral("/sys/class/video4linux");
QString videoMount; // where stageVideo4Linux mounted its tmpfs
} // namespace

QString stageVideo4Linux()
{
    if (!videoMount.isEmpty())
        return QString();
    const QString over = QFileInfo::exists(kVideo4Linux) ? kVideo4Linux : QFileInfo(kVideo4Linux).path();
    if (const QString why = testsupport::mountTmpfs(over, QStringLiteral("1m")); !why.isEmpty())
        return QStringLiteral("cannot mount a tmpfs over %1: %2").arg(over, why);
    videoMount = over;
    if (!QDir().mkpath(kVideo4Linux) || !QDir().mkpath(kClassNet))
        return QStringLiteral("cannot make %1").arg(kVideo4Linux);
    return QString();
}

QString addVideoDevice(const QString& entry, const QString& label, const QString& state,
                       const QString& format, bool loopback)
{
    const QString folder = kVideo4Linux + QLatin1Char('/') + entry;
    if (videoMount.isEmpty() || !QDir().mkpath(folder))
        return QStringLiteral("cannot make %1 (staged: %2)").arg(folder, videoMount);
    QList<std::pair<QString, QString>> files{{"name", label}, {"dev", "81:0"}};
    if (loopback)
        files << std::pair<QString, QString>{"max_openers", "10"} << std::pair<QString, QString>{"buffers", "2"}
              << std::pair<QString, QString>{"format", format};
    if (loopback && !state.isEmpty())
        files << std::pair<QString, QString>{"state", state};
    for (const auto& [name, value] : std::as_const(files)) {
        QFile file(folder + QLatin1Char('/') + name);
        // The kernel's attributes end in a newline; an empty one reads as nothing at all.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || (!value.isEmpty() && file.write(value.toUtf8() + '\n') <= 0))
            return QStringLiteral("cannot write %1").arg(file.fileName());
    }
    return QString();
}

void clearVideo4Linux()
{
    if (videoMount.isEmpty())
        return;
    const QStringList entries = QDir(kVideo4Linux).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        QDir(kVideo4Linux + QLatin1Char('/') + entry).removeRecursively();
}

void unstageVideo4Linux()
{
    if (videoMount.isEmpty())
        return;
    testsupport::unmount(videoMount);
    videoMount.clear();
}

} // namespace fakesysfs
