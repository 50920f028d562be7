#include "bluetoothflow.h"

#include "bleinterface.h"
#include "deviceinfo.h"
#include "homenetworksetup.h"
#include "wifijoin.h"

#include <QDebug>
#include <QTimer>

namespace {

// How long the whole hardware-information reply may take, and the gap before its next packet.
constexpr int kReplyLimitMs = 3000;
constexpr int kPacketGapMs = 1000;

} // namespace

BluetoothFlow::BluetoothFlow(QObject* parent)
    : QObject(parent)
{
    m_ble = new BLEInterface(this);
    connect(m_ble, &BLEInterface::statusInfoChanged, this, [this](const QString& info, bool) { emit status(info); });
    connect(m_ble, &BLEInterface::devicesNamesChanged, this, &BluetoothFlow::devicesChanged);
    connect(m_ble, &BLEInterface::connectFinish, this, &BluetoothFlow::askWhoItIs);
    // The reply comes whole to the flow first, then packet by packet to the model's reader.
    connect(m_ble, &BLEInterface::commandReplyReceived, this, &BluetoothFlow::onCommandReply);
    connect(m_ble, &BLEInterface::dataReceived, this, &BluetoothFlow::onData);
    connect(m_ble, &BLEInterface::pairError, this, &BluetoothFlow::onPairError);
    connect(m_ble, &BLEInterface::accessPointPasswordRead, this, [this] {
        if (m_joinOnPassword) {
            m_joinOnPassword = false;
            joinAccessPoint();
        }
    });

    m_homeCheck = new HomeNetworkSetup(m_ble, this);
    connect(m_homeCheck, &HomeNetworkSetup::ready, this, [this](const HomeNetworkCamera& camera) {
        tellHomeNetworkUsable();
        emit cameraReady(camera);
    });
    connect(m_homeCheck, &HomeNetworkSetup::notProvisioned, this, [this] {
        tellHomeNetworkUsable();
        startAccessPoint();
    });
    // Its access point would end a home-network connection that may be there: the camera is
    // left as it is, and the user told why.
    connect(m_homeCheck, &HomeNetworkSetup::failed, this, [this](const QString& text) {
        emit status(text);
        tellHomeNetworkUsable();
    });

    m_replyTimer = new QTimer(this);
    m_replyTimer->setSingleShot(true);
    m_replyTimer->setInterval(kReplyLimitMs);
    connect(m_replyTimer, &QTimer::timeout, this, [this] { continueWith(0, QString(), QString()); });
    m_hardInfoTimer = new QTimer(this);
    m_hardInfoTimer->setSingleShot(true);
    m_hardInfoTimer->setInterval(kPacketGapMs);
    connect(m_hardInfoTimer, &QTimer::timeout, this, [this] {
        // A model read from part of the reply could be wrong ("hero1" for a HERO13): none.
        qDebug() << "Hardware information incomplete, no model taken";
        m_hardInfo.abandon();
    });
    connect(m_ble, &BLEInterface::connectedChanged, this, [this](bool connected) {
        if (!connected) {
            m_model = 0;
            m_replyTimer->stop();
        }
        tellHomeNetworkUsable();
    });
}

bool BluetoothFlow::scan(QString* problem)
{
    if (m_ble->checkLocalDevice(problem) != 0)
        return false;
    m_ble->scanDevices();
    return true;
}

QString BluetoothFlow::deviceAddress(int index) const
{
    return index >= 0 && index < m_ble->m_devices.size() ? m_ble->m_devices.at(index)->getAddress() : QString();
}

void BluetoothFlow::connectDevice(int index)
{
    if (index != m_ble->currentDevice())
        m_ble->set_currentDevice(index);
    m_pairErrorTold = false;
    m_hardInfo = HardwareInfo();
    m_hardInfoTimer->stop();
    m_ble->connectCurrentDevice();
}

void BluetoothFlow::powerOff()
{
    m_ble->powerOff();
}

bool BluetoothFlow::homeNetworkUsable() const
{
    return m_ble->isConnected() && m_model >= 12 && !m_homeCheck->isBusy();
}

HomeNetworkSetup* BluetoothFlow::newHomeNetworkSetup() const
{
    auto* setup = new HomeNetworkSetup(m_ble);
    setup->setCamera(m_serial, m_modelName, m_model);
    return setup;
}

void BluetoothFlow::tellHomeNetworkUsable()
{
    emit homeNetworkUsableChanged(homeNetworkUsable());
}

void BluetoothFlow::askWhoItIs()
{
    if (!m_ble->isConnected())
        return;
    qDebug() << "connect to bluetooth ok";
    // Who the camera is comes first: from the HERO12 it may be on its home network, which
    // switching its access point on would end.
    m_model = 0;
    m_joinOnPassword = false;
    m_homeCheck->cancel();
    m_replyTimer->start();
    m_ble->writeCommand(QByteArray::fromHex("013C"));
}

void BluetoothFlow::onCommandReply(const QByteArray& message)
{
    const QList<QByteArray> fields = HardwareInfo::fields(message);
    if (fields.size() < 5 || !m_replyTimer->isActive())
        return;
    m_replyTimer->stop();
    int number = 0;
    HardwareInfo::modelFromText(fields.at(1), &number);
    continueWith(number, QString::fromUtf8(fields.at(1)).trimmed(), QString::fromUtf8(fields.at(4)).trimmed());
}

void BluetoothFlow::onData(const QByteArray& data)
{
    switch (m_hardInfo.feed(data)) {
    case HardwareInfo::Outcome::Model:
        m_hardInfoTimer->stop();
        emit modelReported(m_hardInfo.modelNumber(), m_hardInfo.reportedName());
        break;
    case HardwareInfo::Outcome::Pending:
        m_hardInfoTimer->start();
        break;
    case HardwareInfo::Outcome::Ignored:
        if (!m_hardInfo.isPending())
            m_hardInfoTimer->stop();
        break;
    }
}

void BluetoothFlow::continueWith(int model, const QString& modelName, const QString& serial)
{
    m_model = model;
    m_modelName = modelName;
    m_serial = serial;
    if (model >= 12) {
        m_homeCheck->setCamera(serial, modelName, model);
        m_homeCheck->readExisting();
    } else {
        startAccessPoint();
    }
    tellHomeNetworkUsable();
}

void BluetoothFlow::startAccessPoint()
{
    m_joinOnPassword = true;
    m_ble->enableApMode(true);
    m_ble->readAPSsid();
    m_ble->readAPPwd();
}

void BluetoothFlow::joinAccessPoint()
{
    const QString ssid = m_ble->m_apSsid;
    const QString password = m_ble->m_apPwd;
    // nmcli runs beside the window (it may take up to WifiJoin::kLimitMs). One join at a
    // time: one still running gives way to this one, which has the credentials read last.
    delete m_wifiJoin;
    m_wifiJoin = new WifiJoin(this);
    connect(m_wifiJoin, &WifiJoin::finished, m_wifiJoin, &QObject::deleteLater);
    connect(m_wifiJoin, &WifiJoin::finished, this, [this, ssid, password](bool joined, const QString& problem) {
        if (!joined) {
            qDebug().noquote() << "Failed to connect to WiFi network: " + ssid;
            if (!problem.isEmpty())
                qDebug().noquote() << problem;
        }
        emit wifiJoinFinished(joined, problem, ssid, password);
    });
    m_wifiJoin->start(ssid, password);
}

void BluetoothFlow::onPairError()
{
    // The SSID is read twice per connection; one explanation is enough.
    if (m_pairErrorTold)
        return;
    m_pairErrorTold = true;
    emit pairingNeeded(deviceAddress(m_ble->currentDevice()));
}
