#pragma once

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QBluetoothUuid>
#include <QByteArray>
#include <QList>
#include <QLowEnergyCharacteristic>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QObject>
#include <QString>

#include "packetframing.h"

class DeviceInfo;
class PacketWriter;
class QTimer;

// The Bluetooth LE link to the camera: finds cameras, connects one, binds its access-point,
// control and network-management services, writes commands and hands every notification of
// the control service on unchanged. Protocol-buffer frames ([feature][action][message]) go
// out in packets with headers and come back put together again.
// Every text meant for the user leaves through statusInfoChanged(). What the messages carry
// (the home network's password, the camera's login) never reaches the log, only lengths.
class BLEInterface : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool connected READ isConnected NOTIFY connectedChanged)
    Q_PROPERTY(int currentDevice READ currentDevice WRITE set_currentDevice NOTIFY currentDeviceChanged)
    Q_PROPERTY(QList<QString> devicesNames READ devicesNames NOTIFY devicesNamesChanged)

public:
    explicit BLEInterface(QObject* parent = nullptr);
    ~BLEInterface() override;

    Q_INVOKABLE void scanDevices();
    void connectCurrentDevice();
    void disconnectDevice();
    // 0: a usable adapter; -1: the adapter is powered off; -2: no adapter at all.
    // 0 when an adapter is there and on; otherwise why not, for the user (the window tells).
    int checkLocalDevice(QString* problem);

    void SendCmd();
    void enableApMode(bool on);
    void powerOff();
    // Writes go out in the background, one packet at a time and one message after the other
    // on each service. Each returns the write's number, which written() or writeFailed() tell
    // again later; 0 when there is nothing to write to (no link, no such characteristic).
    //
    // Command bytes, longer than one packet in plain 20-byte slices.
    quint64 writeCommand(const QByteArray& data);
    // A protocol-buffer frame to the characteristic of its feature (0x02 network management,
    // 0xF1 command, 0xF5 query), in packets with length headers.
    quint64 writeFrame(const QByteArray& frame);
    // Nothing more of that write goes out, and its outcome is not told.
    void cancelWrite(quint64 id);
    void readAPSsid();
    void readAPPwd();

    bool isConnected() const { return m_connected; }
    int currentDevice() const { return m_currentDevice; }
    QList<QString> devicesNames() const { return m_devicesNames; }

    // Plain 20-byte slices of data (the last one shorter), nothing added.
    static QList<QByteArray> slices(const QByteArray& data, int size = kPacketSize);

    // How long a connection may take from connectCurrentDevice() until both services know
    // their details, and how long one packet of a write may wait for its confirmation.
    void setLinkTimeout(int ms) { m_linkTimeoutMs = ms; }
    void setWriteTimeout(int ms);

    static constexpr int kPacketSize = 20;

signals:
    void currentDeviceChanged(int currentDevice);
    void devicesNamesChanged(QList<QString> devicesNames);
    void statusInfoChanged(QString info, bool isGood);
    void dataReceived(QByteArray data);
    void connectedChanged(bool connected);
    void connectFinish();
    void pairError();
    void accessPointPasswordRead();
    // A whole protocol-buffer frame from the camera (notifications of action 0xFF, which
    // carry nothing for us, are left out).
    void frameReceived(const QByteArray& frame);
    // A frame from the camera that could not be put together from its packets.
    void frameMalformed(const QString& problem);
    // A whole reply on the command response that is not a frame (the hardware information).
    void commandReplyReceived(const QByteArray& message);
    // The camera confirmed every packet of a write (a write without response: all went out).
    void written(quint64 id);
    // A packet of a write was refused or not confirmed in time, or the link went: the rest
    // of it was not written.
    void writeFailed(quint64 id);

public slots:
    bool set_currentDevice(int currentDevice);

private slots:
    void addDevice(const QBluetoothDeviceInfo& device);
    void onScanFinished();
    void onDeviceScanError(QBluetoothDeviceDiscoveryAgent::Error error);
    void onServiceDiscovered(const QBluetoothUuid& uuid);
    void onServiceScanDone();
    void onControllerError(QLowEnergyController::Error error);
    void onDeviceConnected();
    void onDeviceDisconnected();
    void onServiceStateChanged(QLowEnergyService::ServiceState s);
    void onApServiceStateChanged(QLowEnergyService::ServiceState s);
    void onNetServiceStateChanged(QLowEnergyService::ServiceState s);
    void serviceError(QLowEnergyService::ServiceError e);
    void onCharacteristicRead(const QLowEnergyCharacteristic& c, const QByteArray& value);
    void onCharacteristicWrite(const QLowEnergyCharacteristic& c, const QByteArray& value);
    void oncharacteristicChanged(const QLowEnergyCharacteristic& c, const QByteArray& value);
    void onLinkTimeout();

private:
    void writeFixed(const char* hex);
    void enableNotifications(QLowEnergyService* service, const QLowEnergyCharacteristic& c);
    void clearDevices();
    void checkLinkReady();
    // Writers for the services of a new connection; those of the last one fail what they hold.
    void replaceWriters();
    void abandonWrites();
    quint64 writePackets(PacketWriter* writer, const QLowEnergyCharacteristic& c,
                         const QList<QByteArray>& packets, QLowEnergyService::WriteMode mode);
    // Write without response where the characteristic offers it.
    static QLowEnergyService::WriteMode modeFor(const QLowEnergyCharacteristic& c);
    // Puts a notification's packet to its message, and hands on a whole one (or says that it
    // could not be put together).
    void takePacket(PacketFraming& framing, quint8 feature, const QByteArray& packet);

public:
    int m_currentDevice = 0;
    QList<QString> m_devicesNames;
    QBluetoothDeviceDiscoveryAgent* m_deviceDiscoveryAgent = nullptr;
    QLowEnergyController* m_control = nullptr;
    QList<QBluetoothUuid> m_servicesUuid;
    QLowEnergyService* m_apService = nullptr;
    QLowEnergyService* m_cmdService = nullptr;
    QLowEnergyCharacteristic m_apSsidChar;
    QLowEnergyCharacteristic m_apPwdChar;
    QLowEnergyCharacteristic m_cmdChar;
    QLowEnergyCharacteristic m_cmdRespChar;
    QLowEnergyCharacteristic m_settingsChar;
    QLowEnergyCharacteristic m_settingsRespChar;
    QLowEnergyCharacteristic m_queryChar;
    QLowEnergyCharacteristic m_queryRespChar;
    QLowEnergyService* m_netService = nullptr;
    QLowEnergyCharacteristic m_netChar;
    QLowEnergyCharacteristic m_netRespChar;
    QList<DeviceInfo*> m_devices;
    bool m_connected = false;
    QString m_apSsid;
    QString m_apPwd;

private:
    // Qt waits without limit for a link that never comes up or a service whose detail
    // discovery stalls (a failed last read); this bounds the whole connection.
    QTimer* m_linkTimer = nullptr;
    // The access point needs a moment after its service is bound before it answers.
    QTimer* m_apSettleTimer = nullptr;
    PacketFraming m_cmdFraming;
    PacketFraming m_queryFraming;
    PacketFraming m_netFraming;
    // One for the control service (commands, queries), one for network management.
    PacketWriter* m_cmdWriter = nullptr;
    PacketWriter* m_netWriter = nullptr;
    quint64 m_lastWriteId = 0;
    int m_linkTimeoutMs = 15000;
    int m_writeTimeoutMs = 3000;
};
