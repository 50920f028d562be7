#include "bleinterface.h"

#include "deviceinfo.h"
#include "packetwriter.h"

#include <QBluetoothLocalDevice>
#include <QDebug>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace {

// The camera's services and characteristics, compared as QUuid text.
const QLatin1String kApServiceUuid("{b5f90001-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kCmdServiceUuid("{0000fea6-0000-1000-8000-00805f9b34fb}");
const QLatin1String kApSsidUuid("{b5f90002-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kApPwdUuid("{b5f90003-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kCmdUuid("{b5f90072-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kCmdRespUuid("{b5f90073-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kSettingsUuid("{b5f90074-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kSettingsRespUuid("{b5f90075-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kQueryUuid("{b5f90076-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kQueryRespUuid("{b5f90077-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kNetServiceUuid("{b5f90090-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kNetUuid("{b5f90091-aa8d-11e3-9046-0002a5d5c51b}");
const QLatin1String kNetRespUuid("{b5f90092-aa8d-11e3-9046-0002a5d5c51b}");

// The features of protocol-buffer frames, each on its own pair of characteristics.
constexpr quint8 kNetFeature = 0x02;
constexpr quint8 kCommandFeature = 0xF1;
constexpr quint8 kQueryFeature = 0xF5;
// Notifications of this action carry nothing for us; the camera sends them after it has
// joined a network.
constexpr quint8 kIgnoredAction = 0xFF;

const char* const kShutterStartHex = "03010101";
const char* const kApOnHex = "03170101";
const char* const kApOffHex = "03170100";
const char* const kSleepHex = "0105";

const char* const kCannotConnect =
    "Cannot connect to remote device. Make sure you have powered on the camera.";

constexpr int kScanTimeoutMs = 5000;
constexpr int kApSettleMs = 2000;

// The characteristics that carry the camera's messages both ways: requests with the home
// network's password, answers with the camera's login, in packets that a lost one leaves
// without their beginning.
bool carriesMessages(const QLowEnergyCharacteristic& c)
{
    static const QLatin1String uuids[] = {kCmdUuid,   kCmdRespUuid,   kSettingsUuid, kSettingsRespUuid,
                                          kQueryUuid, kQueryRespUuid, kNetUuid,      kNetRespUuid};
    const QString text = c.uuid().toString();
    return std::any_of(std::begin(uuids), std::end(uuids), [&text](QLatin1String uuid) { return text == uuid; });
}

// A value as a log line may show it. Logs end up in the journal when the program is started
// from the menu, so no secret does: of a message packet only its length shows, and the
// camera's Wi-Fi password shows neither from its characteristic nor in a packet that carries
// it once it is known.
QString forLog(const QLowEnergyCharacteristic& c, const QByteArray& value, const QString& password,
               bool asText)
{
    const QByteArray secret = password.toUtf8();
    if (carriesMessages(c) || c.uuid().toString() == kApPwdUuid
        || (!secret.isEmpty() && value.contains(secret)))
        return QStringLiteral("(%1 bytes, not shown)").arg(value.size());
    return asText ? QString::fromUtf8(value) : QString::fromLatin1(value.toHex(' '));
}

} // namespace

BLEInterface::BLEInterface(QObject* parent)
    : QObject(parent)
{
    m_deviceDiscoveryAgent = new QBluetoothDeviceDiscoveryAgent(this);
    // Set here as well: a timeout set while a scan runs only applies to the next scan, and
    // the first scan should not run for Qt's much longer default.
    m_deviceDiscoveryAgent->setLowEnergyDiscoveryTimeout(kScanTimeoutMs);
    connect(m_deviceDiscoveryAgent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this,
            &BLEInterface::addDevice);
    connect(m_deviceDiscoveryAgent, &QBluetoothDeviceDiscoveryAgent::errorOccurred, this,
            &BLEInterface::onDeviceScanError);
    connect(m_deviceDiscoveryAgent, &QBluetoothDeviceDiscoveryAgent::finished, this,
            &BLEInterface::onScanFinished);

    m_linkTimer = new QTimer(this);
    m_linkTimer->setSingleShot(true);
    connect(m_linkTimer, &QTimer::timeout, this, &BLEInterface::onLinkTimeout);

    m_apSettleTimer = new QTimer(this);
    m_apSettleTimer->setSingleShot(true);
    m_apSettleTimer->setInterval(kApSettleMs);
    connect(m_apSettleTimer, &QTimer::timeout, this, [this] {
        emit connectFinish();
        emit statusInfoChanged(QStringLiteral("Bluetooth connection successful."), true);
    });
}

BLEInterface::~BLEInterface()
{
    // The children outlive this destructor's body; nothing they emit while going may reach
    // the half-destroyed object.
    for (QObject* child : children())
        disconnect(child, nullptr, this, nullptr);
    clearDevices();
}

// ---------------------------------------------------------------------------------------
// Scan

void BLEInterface::clearDevices()
{
    m_devicesNames.clear();
    qDeleteAll(m_devices);
    m_devices.clear();
}

void BLEInterface::scanDevices()
{
    clearDevices();
    emit devicesNamesChanged(m_devicesNames);

    // Said before starting: devices the adapter already knows are reported inside start(),
    // and their "found" message must not be overwritten.
    emit statusInfoChanged(QStringLiteral("Scanning for devices..."), true);
    // A running scan would not report the devices it already knows again.
    if (m_deviceDiscoveryAgent->isActive())
        m_deviceDiscoveryAgent->stop();
    m_deviceDiscoveryAgent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
    m_deviceDiscoveryAgent->setLowEnergyDiscoveryTimeout(kScanTimeoutMs);
}

void BLEInterface::addDevice(const QBluetoothDeviceInfo& device)
{
    if (!(device.coreConfigurations() & QBluetoothDeviceInfo::LowEnergyCoreConfiguration))
        return;
    qWarning().noquote() << "Discovered LE Device name: " + device.name() + " Address: "
                                + device.address().toString();
    if (!device.name().startsWith(QLatin1String("GoPro"), Qt::CaseSensitive))
        return;

    m_devicesNames.append(device.name());
    m_devices.append(new DeviceInfo(device));
    emit devicesNamesChanged(m_devicesNames);
    emit statusInfoChanged(QStringLiteral("GoPro device found, choose your device to connect."), true);
}

void BLEInterface::onScanFinished()
{
    if (m_devicesNames.isEmpty())
        emit statusInfoChanged(
            QStringLiteral("No GoPro devices found, make sure you have powered on the camera."),
            false);
}

void BLEInterface::onDeviceScanError(QBluetoothDeviceDiscoveryAgent::Error error)
{
    if (error == QBluetoothDeviceDiscoveryAgent::PoweredOffError)
        emit statusInfoChanged(
            QStringLiteral("The Bluetooth is powered off, power it on before scanning."), false);
    else if (error == QBluetoothDeviceDiscoveryAgent::InputOutputError)
        emit statusInfoChanged(
            QStringLiteral("Writing or reading from the device resulted in an error."), false);
    else
        emit statusInfoChanged(QStringLiteral("An unknown error has occurred."), false);
}

bool BLEInterface::set_currentDevice(int currentDevice)
{
    if (currentDevice == m_currentDevice)
        return false;
    m_currentDevice = currentDevice;
    emit currentDeviceChanged(currentDevice);
    return true;
}

// ---------------------------------------------------------------------------------------
// Connection

void BLEInterface::connectCurrentDevice()
{
    if (m_devices.isEmpty())
        return;
    if (m_currentDevice < 0 || m_currentDevice >= m_devices.size()) {
        qWarning() << "No device at index" << m_currentDevice << "of" << m_devices.size();
        emit statusInfoChanged(QStringLiteral("Choose a camera from the list before connecting."),
                               false);
        return;
    }

    m_linkTimer->stop();
    m_apSettleTimer->stop();
    if (m_control) {
        disconnect(m_control, nullptr, this, nullptr);
        m_control->disconnectFromDevice();
        delete m_control;
        m_control = nullptr;
    }

    m_control = QLowEnergyController::createCentral(m_devices.at(m_currentDevice)->getDevice(), this);
    connect(m_control, &QLowEnergyController::serviceDiscovered, this,
            &BLEInterface::onServiceDiscovered);
    connect(m_control, &QLowEnergyController::discoveryFinished, this,
            &BLEInterface::onServiceScanDone);
    connect(m_control, &QLowEnergyController::errorOccurred, this,
            &BLEInterface::onControllerError);
    connect(m_control, &QLowEnergyController::connected, this, &BLEInterface::onDeviceConnected);
    connect(m_control, &QLowEnergyController::disconnected, this,
            &BLEInterface::onDeviceDisconnected);
    m_linkTimer->start(m_linkTimeoutMs);
    m_control->connectToDevice();
}

void BLEInterface::onDeviceConnected()
{
    m_servicesUuid.clear();
    m_control->discoverServices();
}

void BLEInterface::onServiceDiscovered(const QBluetoothUuid& uuid)
{
    Q_UNUSED(uuid);
    emit statusInfoChanged(
        QStringLiteral("Service discovered. Waiting for service scan to be done..."), true);
}

void BLEInterface::onControllerError(QLowEnergyController::Error error)
{
    qWarning() << "Controller Error:" << error;
    m_linkTimer->stop();
    emit statusInfoChanged(QLatin1String(kCannotConnect), false);
}

void BLEInterface::onDeviceDisconnected()
{
    qWarning() << "Remote device disconnected";
    m_linkTimer->stop();
    // The link the pending "connection successful" was about is gone.
    m_apSettleTimer->stop();
    abandonWrites();
    if (m_connected) {
        m_connected = false;
        emit connectedChanged(false);
    }
    emit statusInfoChanged(QStringLiteral("Device disconnected"), false);
}

void BLEInterface::onLinkTimeout()
{
    qWarning() << "Connection not ready after" << m_linkTimeoutMs << "ms, giving up";
    if (m_control) {
        disconnect(m_control, nullptr, this, nullptr);
        m_control->disconnectFromDevice();
        m_control->deleteLater();
        m_control = nullptr;
    }
    m_apSettleTimer->stop();
    abandonWrites();
    if (m_connected) {
        m_connected = false;
        emit connectedChanged(false);
    }
    emit statusInfoChanged(QLatin1String(kCannotConnect), false);
}

void BLEInterface::disconnectDevice()
{
    if (m_devices.isEmpty())
        return;
    if (m_control)
        m_control->disconnectFromDevice();
    delete m_apService;
    m_apService = nullptr;
}

int BLEInterface::checkLocalDevice(QString* problem)
{
    QBluetoothLocalDevice local;
    if (!local.isValid()) {
        qDebug() << "Bluetooth is not supported on this device.";
        *problem = QStringLiteral("Bluetooth is not supported on this device.<br>Please "
                                  "manually enable AP mode on your GoPro.");
        return -2;
    }
    qDebug() << "Bluetooth is supported on this device.";
    qDebug() << "Local Bluetooth Address:" << local.address().toString();
    qDebug() << "Local Bluetooth Name:" << local.name();
    if (local.hostMode() == QBluetoothLocalDevice::HostPoweredOff) {
        *problem = QStringLiteral("Bluetooth is supported, but it's currently powered off.");
        return -1;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// Services

void BLEInterface::onServiceScanDone()
{
    m_servicesUuid = m_control->services();
    if (m_servicesUuid.isEmpty()) {
        m_linkTimer->stop();
        emit statusInfoChanged(QStringLiteral("Can't find any services."), true);
        return;
    }
    if (!m_connected) {
        m_connected = true;
        emit connectedChanged(true);
    }

    // Service objects of an earlier connection are dead; commands must not go to them.
    for (QLowEnergyService* old : {m_apService, m_cmdService, m_netService}) {
        if (old) {
            disconnect(old, nullptr, this, nullptr);
            old->deleteLater();
        }
    }
    m_apService = nullptr;
    m_cmdService = nullptr;
    m_netService = nullptr;
    m_netChar = m_netRespChar = QLowEnergyCharacteristic();
    m_cmdFraming = m_queryFraming = m_netFraming = PacketFraming();
    m_apSsidChar = m_apPwdChar = QLowEnergyCharacteristic();
    m_cmdChar = m_cmdRespChar = m_settingsChar = m_settingsRespChar = m_queryChar =
        m_queryRespChar = QLowEnergyCharacteristic();

    for (const QBluetoothUuid& uuid : std::as_const(m_servicesUuid)) {
        const QString text = uuid.toString();
        if (text == kApServiceUuid) {
            m_apService = m_control->createServiceObject(uuid, this);
            if (m_apService) {
                connect(m_apService, &QLowEnergyService::stateChanged, this,
                        &BLEInterface::onApServiceStateChanged);
                connect(m_apService, &QLowEnergyService::characteristicRead, this,
                        &BLEInterface::onCharacteristicRead);
                connect(m_apService, &QLowEnergyService::errorOccurred, this,
                        &BLEInterface::serviceError);
                m_apService->discoverDetails(QLowEnergyService::FullDiscovery);
            }
        } else if (text == kCmdServiceUuid) {
            m_cmdService = m_control->createServiceObject(uuid, this);
            if (m_cmdService) {
                connect(m_cmdService, &QLowEnergyService::stateChanged, this,
                        &BLEInterface::onServiceStateChanged);
                connect(m_cmdService, &QLowEnergyService::characteristicRead, this,
                        &BLEInterface::onCharacteristicRead);
                connect(m_cmdService, &QLowEnergyService::characteristicWritten, this,
                        &BLEInterface::onCharacteristicWrite);
                connect(m_cmdService, &QLowEnergyService::characteristicChanged, this,
                        &BLEInterface::oncharacteristicChanged);
                connect(m_cmdService, &QLowEnergyService::errorOccurred, this,
                        &BLEInterface::serviceError);
                m_cmdService->discoverDetails(QLowEnergyService::FullDiscovery);
            }
        } else if (text == kNetServiceUuid) {
            m_netService = m_control->createServiceObject(uuid, this);
            if (m_netService) {
                connect(m_netService, &QLowEnergyService::stateChanged, this,
                        &BLEInterface::onNetServiceStateChanged);
                connect(m_netService, &QLowEnergyService::characteristicChanged, this,
                        [this](const QLowEnergyCharacteristic& c, const QByteArray& value) {
                            qDebug().noquote() << "Network notification:" << forLog(c, value, m_apPwd, false);
                            if (c == m_netRespChar)
                                takePacket(m_netFraming, kNetFeature, value);
                        });
                connect(m_netService, &QLowEnergyService::characteristicWritten, this,
                        &BLEInterface::onCharacteristicWrite);
                connect(m_netService, &QLowEnergyService::errorOccurred, this,
                        &BLEInterface::serviceError);
                m_netService->discoverDetails(QLowEnergyService::FullDiscovery);
            }
        }
    }
    replaceWriters();
    if (!m_apService)
        emit statusInfoChanged(
            QStringLiteral("The camera offers no Wi-Fi access point service."), false);
    checkLinkReady();
}

void BLEInterface::replaceWriters()
{
    abandonWrites();
    for (PacketWriter* old : {m_cmdWriter, m_netWriter}) {
        if (old)
            old->deleteLater(); // after it has told what it held
    }
    m_cmdWriter = m_cmdService ? new PacketWriter(m_cmdService, this) : nullptr;
    m_netWriter = m_netService ? new PacketWriter(m_netService, this) : nullptr;
    for (PacketWriter* writer : {m_cmdWriter, m_netWriter}) {
        if (!writer)
            continue;
        writer->setTimeout(m_writeTimeoutMs);
        connect(writer, &PacketWriter::written, this, &BLEInterface::written);
        connect(writer, &PacketWriter::failed, this, &BLEInterface::writeFailed);
    }
}

void BLEInterface::abandonWrites()
{
    for (PacketWriter* writer : {m_cmdWriter, m_netWriter}) {
        if (writer)
            writer->abandon();
    }
}

void BLEInterface::checkLinkReady()
{
    // Ready once every service the camera offered us knows its details.
    const auto ready = [](QLowEnergyService* service) {
        return !service || service->state() == QLowEnergyService::RemoteServiceDiscovered;
    };
    if (m_connected && ready(m_apService) && ready(m_cmdService) && ready(m_netService))
        m_linkTimer->stop();
}

void BLEInterface::enableNotifications(QLowEnergyService* service, const QLowEnergyCharacteristic& c)
{
    const QLowEnergyDescriptor cccd =
        c.descriptor(QBluetoothUuid::DescriptorType::ClientCharacteristicConfiguration);
    if (!cccd.isValid())
        return;
    qDebug().noquote() << "write notification on " + c.uuid().toString();
    service->writeDescriptor(cccd, QLowEnergyCharacteristic::CCCDEnableNotification);
}

void BLEInterface::onServiceStateChanged(QLowEnergyService::ServiceState s)
{
    qDebug() << "serviceStateChanged, state: " << s;
    if (s != QLowEnergyService::RemoteServiceDiscovered || !m_cmdService)
        return;

    struct Binding {
        QLatin1String uuid;
        QLowEnergyCharacteristic* member;
    };
    const Binding bindings[] = {
        {kCmdUuid, &m_cmdChar},           {kCmdRespUuid, &m_cmdRespChar},
        {kSettingsUuid, &m_settingsChar}, {kSettingsRespUuid, &m_settingsRespChar},
        {kQueryUuid, &m_queryChar},       {kQueryRespUuid, &m_queryRespChar},
    };
    const QList<QLowEnergyCharacteristic> characteristics = m_cmdService->characteristics();
    for (const QLowEnergyCharacteristic& c : characteristics) {
        if (!c.isValid())
            continue;
        const QString text = c.uuid().toString();
        for (const Binding& binding : bindings) {
            if (text == binding.uuid) {
                qDebug().noquote() << "--->" << text << "<----";
                *binding.member = c;
                break;
            }
        }
        enableNotifications(m_cmdService, c);
    }
    checkLinkReady();
}

void BLEInterface::onApServiceStateChanged(QLowEnergyService::ServiceState s)
{
    qDebug() << "serviceStateChanged, state: " << s;
    if (s != QLowEnergyService::RemoteServiceDiscovered || !m_apService)
        return;

    const QList<QLowEnergyCharacteristic> characteristics = m_apService->characteristics();
    for (const QLowEnergyCharacteristic& c : characteristics) {
        if (!c.isValid())
            continue;
        const QString text = c.uuid().toString();
        if (text == kApSsidUuid) {
            qDebug().noquote() << "ApSsid chr--->" << text << "<----";
            m_apSsidChar = c;
            m_apService->readCharacteristic(c);
            m_apSettleTimer->start();
        } else if (text == kApPwdUuid) {
            qDebug().noquote() << "ApPwd chr:--->" << text << "<----";
            m_apPwdChar = c;
        }
        enableNotifications(m_apService, c);
    }
    checkLinkReady();
}

void BLEInterface::onNetServiceStateChanged(QLowEnergyService::ServiceState s)
{
    if (s != QLowEnergyService::RemoteServiceDiscovered || !m_netService)
        return;
    const QList<QLowEnergyCharacteristic> characteristics = m_netService->characteristics();
    for (const QLowEnergyCharacteristic& c : characteristics) {
        if (!c.isValid())
            continue;
        const QString text = c.uuid().toString();
        if (text == kNetUuid)
            m_netChar = c;
        else if (text == kNetRespUuid)
            m_netRespChar = c;
        enableNotifications(m_netService, c);
    }
    checkLinkReady();
}

void BLEInterface::serviceError(QLowEnergyService::ServiceError e)
{
    qWarning() << "Service error:" << e;
}

void BLEInterface::onCharacteristicRead(const QLowEnergyCharacteristic& c, const QByteArray& value)
{
    const QString text = QString::fromUtf8(value);
    qDebug().noquote() << "Characteristic Read on " + c.uuid().toString()
                       << forLog(c, value, m_apPwd, true);
    if (m_apSsidChar.isValid() && c == m_apSsidChar) {
        if (text.isEmpty()) {
            emit pairError();
            qDebug() << "Maybe bluetooth is not paired with your camera.";
        }
        m_apSsid = text.trimmed();
    } else if (m_apPwdChar.isValid() && c == m_apPwdChar) {
        m_apPwd = text.trimmed();
        emit accessPointPasswordRead();
    }
}

void BLEInterface::onCharacteristicWrite(const QLowEnergyCharacteristic& c, const QByteArray& value)
{
    qDebug().noquote() << "Characteristic Written: " + forLog(c, value, m_apPwd, false);
}

void BLEInterface::oncharacteristicChanged(const QLowEnergyCharacteristic& c, const QByteArray& value)
{
    qDebug().noquote() << "Characteristic Changed: " + forLog(c, value, m_apPwd, false);
    if (m_cmdRespChar.isValid() && c == m_cmdRespChar)
        takePacket(m_cmdFraming, kCommandFeature, value);
    else if (m_queryRespChar.isValid() && c == m_queryRespChar)
        takePacket(m_queryFraming, kQueryFeature, value);
    emit dataReceived(value);
}

void BLEInterface::takePacket(PacketFraming& framing, quint8 feature, const QByteArray& packet)
{
    const PacketFraming::Result result = framing.feed(packet);
    if (result == PacketFraming::Result::Ignored)
        return;
    const QByteArray message = framing.message();
    // Network management carries frames only; the other two carry replies of both kinds, told
    // apart by the first byte.
    const bool isFrame = feature == kNetFeature
        || (!message.isEmpty() && static_cast<quint8>(message.at(0)) == feature);
    if (result == PacketFraming::Result::Malformed) {
        qWarning().noquote() << "Malformed packet from the camera:" << framing.problem();
        if (isFrame)
            emit frameMalformed(framing.problem());
    } else if (result == PacketFraming::Result::Complete) {
        if (!isFrame) {
            if (feature == kCommandFeature)
                emit commandReplyReceived(message);
        } else if (message.size() < 2 || static_cast<quint8>(message.at(1)) != kIgnoredAction) {
            emit frameReceived(message);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Commands

QList<QByteArray> BLEInterface::slices(const QByteArray& data, int size)
{
    QList<QByteArray> result;
    if (size <= 0)
        return result;
    for (qsizetype at = 0; at < data.size(); at += size)
        result.append(data.mid(at, size));
    return result;
}

void BLEInterface::writeFixed(const char* hex)
{
    writePackets(m_cmdWriter, m_cmdChar, {QByteArray::fromHex(hex)}, QLowEnergyService::WriteWithResponse);
}

void BLEInterface::SendCmd()
{
    writeFixed(kShutterStartHex);
}

void BLEInterface::enableApMode(bool on)
{
    writeFixed(on ? kApOnHex : kApOffHex);
}

void BLEInterface::powerOff()
{
    writeFixed(kSleepHex);
}

quint64 BLEInterface::writeCommand(const QByteArray& data)
{
    return writePackets(m_cmdWriter, m_cmdChar, slices(data), modeFor(m_cmdChar));
}

quint64 BLEInterface::writeFrame(const QByteArray& frame)
{
    const quint8 feature = frame.isEmpty() ? 0 : static_cast<quint8>(frame.at(0));
    const QList<QByteArray> packets = PacketFraming::split(frame);
    if (feature == kNetFeature)
        return writePackets(m_netWriter, m_netChar, packets, modeFor(m_netChar));
    if (feature == kCommandFeature)
        return writePackets(m_cmdWriter, m_cmdChar, packets, modeFor(m_cmdChar));
    if (feature == kQueryFeature)
        return writePackets(m_cmdWriter, m_queryChar, packets, modeFor(m_queryChar));
    return 0;
}

void BLEInterface::setWriteTimeout(int ms)
{
    m_writeTimeoutMs = ms;
    for (PacketWriter* writer : {m_cmdWriter, m_netWriter}) {
        if (writer)
            writer->setTimeout(ms);
    }
}

void BLEInterface::cancelWrite(quint64 id)
{
    for (PacketWriter* writer : {m_cmdWriter, m_netWriter}) {
        if (writer)
            writer->cancel(id);
    }
}

QLowEnergyService::WriteMode BLEInterface::modeFor(const QLowEnergyCharacteristic& c)
{
    return (c.properties() & QLowEnergyCharacteristic::WriteNoResponse) ? QLowEnergyService::WriteWithoutResponse
                                                                        : QLowEnergyService::WriteWithResponse;
}

quint64 BLEInterface::writePackets(PacketWriter* writer, const QLowEnergyCharacteristic& c,
                                   const QList<QByteArray>& packets, QLowEnergyService::WriteMode mode)
{
    if (!m_connected || !writer || !c.isValid() || packets.isEmpty())
        return 0;
    const quint64 id = ++m_lastWriteId;
    writer->write(id, c, packets, mode);
    return id;
}

void BLEInterface::readAPSsid()
{
    if (m_apSsidChar.isValid() && m_apService)
        m_apService->readCharacteristic(m_apSsidChar);
}

void BLEInterface::readAPPwd()
{
    if (m_apPwdChar.isValid() && m_apService)
        m_apService->readCharacteristic(m_apPwdChar);
}
