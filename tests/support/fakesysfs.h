#pragma once

#include <QString>

// What the kernel shows of the PC's network devices under /sys/class/net, staged for this test
// process: a tmpfs is mounted over /sys/class/net in the test's own mount namespace (the sandbox
// gives each test one; mounting needs root, as taps do), and each interface staged gets the
// links a real kernel makes. The device tree they lead to lives inside that tmpfs, in
// /sys/class/net/.sysfs/, laid out as /sys itself (devices/, bus/, class/net) so that every
// relative link has the kernel's own form:
//
//   /sys/class/net/IF -> .sysfs/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/net/IF
//   .../net/IF/device -> ../../../2-1:1.0                 (the USB interface cdc_ncm drives)
//   .../2-1:1.0/subsystem -> ../../../../../../bus/usb
//   .../2-1/idVendor, idProduct, manufacturer, product, serial (the USB device)
//
// Interfaces are real ones (taps, see testsupport::addTap): QNetworkInterface lists them through
// netlink, not sysfs. Only what is staged here shows under /sys/class/net, which in the sandbox
// otherwise shows the interfaces of the namespace that mounted /sys, not the test's own.
namespace fakesysfs {

// A USB device as sysfs tells it; an empty field leaves its file out.
struct UsbDevice {
    QString vendorId;  // "2672", four lower-case hex digits as the kernel writes it
    QString productId; // "0059"
    QString manufacturer;
    QString product;
    QString serial;
};

// A GoPro camera on a cable: vendor 2672, the camera's serial. The product id is the HERO11
// Black's (the one our notes have); the program does not read it.
UsbDevice goPro(const QString& serial, const QString& product = QStringLiteral("HERO12 Black"));

// Each stages interfaceName anew (replacing what was staged for it) and returns an empty
// string, or why it cannot be done here.
// A USB network adapter (cdc_ncm) on the xHCI controller's root hub, plugged into a port of
// its own.
QString addUsb(const QString& interfaceName, const UsbDevice& device);
// A PCI network card (e1000e).
QString addPci(const QString& interfaceName);
// A device of no bus (tun, tap, WireGuard, dummy, a bridge): /sys/devices/virtual/net/IF,
// without a device link.
QString addVirtual(const QString& interfaceName);
// What addUsb, addPci or addVirtual staged for interfaceName, gone; nothing when none.
void remove(const QString& interfaceName);

// The video devices under /sys/class/video4linux, staged the same way, so that no device of the
// machine's own (a v4l2loopback device it may have) is used: a tmpfs over that folder, or over
// /sys/class where the kernel shows no video device at all (it then holds an empty net/ for the
// staging above; stage video devices first when a test wants both). Empty when done, else why
// not. Staged devices are plain folders of attributes.
QString stageVideo4Linux();
// A v4l2loopback device, "video42": the card label (`name`), `state` ("output": nobody feeds
// it, "capture": a program does; empty: an older module without it) and `format` (empty while
// nobody holds one, "YU12:1920x1080@30"). As a device of another driver (a USB camera) when
// loopback is false: no v4l2loopback attribute.
QString addVideoDevice(const QString& entry, const QString& label, const QString& state,
                       const QString& format = QString(), bool loopback = true);
// Every staged video device gone.
void clearVideo4Linux();
// The tmpfs of stageVideo4Linux() gone.
void unstageVideo4Linux();

} // namespace fakesysfs
