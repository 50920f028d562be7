#pragma once

#include <QString>

// What the kernel tells, in sysfs, of the USB device behind a network interface. For a USB
// network adapter (a camera on a cable is one, driven by cdc_ncm) /sys/class/net/IF/device is
// the USB interface the driver took: its "subsystem" link names usb, and its parent folder is
// the USB device, with the vendor id and serial its descriptors carry. A PCI card's device is
// of the pci subsystem; a virtual device (tun, tap, WireGuard, dummy) has no device link: for
// those, and for an interface sysfs does not show, isUsb() is false.
class UsbNetDevice
{
public:
    // Reads /sys.
    static UsbNetDevice of(const QString& interfaceName);

    bool isUsb() const { return m_usb; }
    // Four hex digits as the kernel writes them ("2672"); empty when not USB.
    QString vendorId() const { return m_vendorId; }
    // Empty where the device has none.
    QString serial() const { return m_serial; }

private:
    bool m_usb = false;
    QString m_vendorId;
    QString m_serial;
};
