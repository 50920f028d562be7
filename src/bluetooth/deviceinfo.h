#pragma once

#include <QBluetoothDeviceInfo>
#include <QObject>
#include <QString>

// One device kept from a scan, as the discovery agent reported it.
class DeviceInfo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString deviceName READ getName NOTIFY deviceChanged)
    Q_PROPERTY(QString deviceAddress READ getAddress NOTIFY deviceChanged)

public:
    explicit DeviceInfo(const QBluetoothDeviceInfo& device);

    QBluetoothDeviceInfo getDevice() const;
    QString getName() const;
    // Colon-separated hexadecimal address text.
    QString getAddress() const;
    void setDevice(const QBluetoothDeviceInfo& device);

signals:
    void deviceChanged();

private:
    QBluetoothDeviceInfo m_device;
};
