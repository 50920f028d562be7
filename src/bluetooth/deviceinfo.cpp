#include "deviceinfo.h"

#include <QBluetoothAddress>

DeviceInfo::DeviceInfo(const QBluetoothDeviceInfo& device)
    : m_device(device)
{
}

QBluetoothDeviceInfo DeviceInfo::getDevice() const
{
    return m_device;
}

QString DeviceInfo::getName() const
{
    return m_device.name();
}

QString DeviceInfo::getAddress() const
{
    return m_device.address().toString();
}

void DeviceInfo::setDevice(const QBluetoothDeviceInfo& device)
{
    m_device = device;
    emit deviceChanged();
}
