#include "homenetworksetup.h"

#include "bleinterface.h"

#include <QTimer>

namespace {

// EnumProvisioning and EnumScanning values the flow acts on.
constexpr int kProvisioningSuccessNewAp = 5;
constexpr int kProvisioningSuccessOldAp = 6;
constexpr int kScanAborted = 3;
constexpr int kScanCancelled = 4;

} // namespace

HomeNetworkSetup::HomeNetworkSetup(BLEInterface* ble, QObject* parent)
    : QObject(parent)
    , m_ble(ble)
{
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &HomeNetworkSetup::onTimeout);
    connect(ble, &BLEInterface::frameReceived, this, &HomeNetworkSetup::onFrame);
    connect(ble, &BLEInterface::frameMalformed, this, [this](const QString& problem) {
        if (isBusy())
            fail(tr("The camera's answer could not be read: %1.").arg(problem));
    });
    connect(ble, &BLEInterface::connectedChanged, this, [this](bool connected) {
        if (!connected && isBusy())
            fail(tr("The Bluetooth link to the camera was lost."));
    });
    connect(ble, &BLEInterface::writeFailed, this, [this](quint64 id) {
        if (id == m_write && isBusy())
            fail(tr("The request could not be sent to the camera over Bluetooth."));
    });
}

HomeNetworkSetup::~HomeNetworkSetup()
{
    stop();
}

void HomeNetworkSetup::setCamera(const QString& serial, const QString& modelName, int model)
{
    m_camera = HomeNetworkCamera();
    m_camera.serial = serial;
    m_camera.modelName = modelName;
    m_camera.model = model;
}

QString HomeNetworkSetup::failureText(int state, const QString& ssid, int model)
{
    switch (state) {
    case 1:
        return tr("The camera did not start joining “%1”.").arg(ssid);
    case 3:
        return tr("The camera stopped joining “%1”.").arg(ssid);
    case 4:
        return tr("Joining “%1” was cancelled on the camera.").arg(ssid);
    case 7:
        // The HERO12 gives this one for a network without internet access too.
        return model == 12 ? tr("The camera could not join “%1”: most likely this network has no "
                                "internet access, which the HERO12 needs.")
                                 .arg(ssid)
                           : tr("The camera could not join “%1”: it failed to associate with it.")
                                 .arg(ssid);
    case 8:
        return tr("The password for “%1” is wrong.").arg(ssid);
    case 9:
        return tr("The camera refuses to join “%1” until its terms of use are accepted (once, in "
                  "the GoPro Quik app).")
            .arg(ssid);
    case 10:
        return model == 12 ? tr("The camera could not join “%1”: this network has no internet "
                                "access, which the HERO12 needs.")
                                 .arg(ssid)
                           : tr("The camera could not join “%1”: this network has no internet access.")
                                 .arg(ssid);
    case 11:
        return tr("The camera cannot join “%1”: it does not support this kind of network.").arg(ssid);
    default:
        return QString();
    }
}

void HomeNetworkSetup::send(Step step, const QByteArray& frame, int ms)
{
    m_step = step;
    m_timer->start(ms);
    m_write = m_ble ? m_ble->writeFrame(frame) : 0;
    if (m_write == 0)
        fail(tr("The request could not be sent to the camera over Bluetooth."));
}

void HomeNetworkSetup::stop()
{
    m_step = Step::Idle;
    m_timer->stop();
    if (m_ble && m_write != 0)
        m_ble->cancelWrite(m_write);
    m_write = 0;
}

void HomeNetworkSetup::fail(const QString& text)
{
    stop();
    emit failed(text);
}

void HomeNetworkSetup::finish()
{
    stop();
    emit ready(m_camera);
}

void HomeNetworkSetup::cancel()
{
    stop();
}

void HomeNetworkSetup::scanNetworks()
{
    emit progress(tr("Looking for the networks the camera sees…"));
    send(Step::Scanning, NetworkMessage::startScan(), m_answerMs);
}

void HomeNetworkSetup::join(const QString& ssid, const QString& password)
{
    bool known = false;
    for (const HomeNetworkEntry& entry : std::as_const(m_networks))
        known = known || (entry.ssid == ssid && entry.configured);
    m_camera.ssid = ssid;
    m_camera.address = QHostAddress();
    m_camera.user.clear();
    m_camera.password.clear();
    m_camera.rootCertificatePem.clear();
    emit progress(tr("Asking the camera to join “%1”…").arg(ssid));
    // The whole join has one limit, whatever the camera reports meanwhile.
    send(Step::Joining, known ? NetworkMessage::connect(ssid) : NetworkMessage::connectNew(ssid, password),
         m_joinMs);
}

void HomeNetworkSetup::readExisting()
{
    m_camera.ssid.clear();
    send(Step::ExistingStatus, NetworkMessage::getStatus(true), m_answerMs);
}

void HomeNetworkSetup::onFrame(const QByteArray& frame)
{
    if (!isBusy())
        return;
    const NetworkMessage message = NetworkMessage::parse(frame);
    if (message.kind == NetworkMessage::Kind::Malformed)
        fail(tr("The camera's answer could not be read: %1.").arg(message.problem));
    else
        onMessage(message);
}

void HomeNetworkSetup::onMessage(const NetworkMessage& m)
{
    using Kind = NetworkMessage::Kind;
    const bool success = m.result == NetworkMessage::kSuccess;
    const QString ssid = m_camera.ssid;
    switch (m_step) {
    case Step::Idle:
        break;
    case Step::ExistingStatus:
    case Step::WaitingAddress:
        if (m.kind == Kind::Status)
            onStatus(m);
        break;
    case Step::Scanning:
        if (m.kind == Kind::ScanStarted && !success) {
            fail(tr("The camera could not start a scan for networks."));
        } else if (m.kind == Kind::ScanStarted) {
            m_timer->start(m_joinMs);
        } else if (m.kind == Kind::ScanFinished && m.state == NetworkMessage::kScanSuccess) {
            send(Step::ReadingEntries, NetworkMessage::getEntries(m.scanId), m_answerMs);
        } else if (m.kind == Kind::ScanFinished
                   && (m.state == kScanAborted || m.state == kScanCancelled)) {
            fail(tr("The camera's scan for networks was stopped before it ended."));
        }
        break;
    case Step::ReadingEntries:
        if (m.kind != Kind::Entries)
            break;
        if (!success) {
            fail(tr("The camera did not list the networks it found."));
            break;
        }
        m_networks = m.entries;
        stop();
        emit networksFound(m_networks);
        break;
    case Step::Joining:
        if (m.kind == Kind::JoinStarted && !success) {
            fail(tr("The camera refused to join “%1”.").arg(ssid));
        } else if (m.kind == Kind::JoinStarted || m.kind == Kind::Provisioning) {
            const QString failure = failureText(m.state, ssid, m_camera.model);
            if (!failure.isEmpty()) {
                fail(failure);
            } else if (m.state == kProvisioningSuccessNewAp || m.state == kProvisioningSuccessOldAp) {
                emit progress(tr("The camera joined “%1”. Creating its certificate…").arg(ssid));
                send(Step::CreatingCertificate, NetworkMessage::createCertificate(true), m_answerMs);
            } else {
                emit progress(tr("The camera is joining “%1”…").arg(ssid));
            }
        }
        break;
    case Step::CreatingCertificate:
        if (m.kind != Kind::CertCreated)
            break;
        if (!success) {
            fail(tr("The camera could not create its certificate."));
            break;
        }
        emit progress(tr("Reading the camera's certificate…"));
        send(Step::ReadingCertificate, NetworkMessage::getCertificate(), m_answerMs);
        break;
    case Step::ReadingCertificate:
    case Step::ExistingCertificate:
        if (m.kind != Kind::Certificate)
            break;
        if (!success) {
            fail(tr("The camera did not give its certificate."));
            break;
        }
        m_camera.rootCertificatePem = m.certificate;
        if (m_step == Step::ExistingCertificate) {
            finish();
            break;
        }
        emit progress(tr("Waiting for the camera's address on “%1”…").arg(ssid));
        // Registered, the camera tells each change until it is on the network.
        send(Step::WaitingAddress, NetworkMessage::getStatus(true), m_joinMs);
        break;
    }
}

void HomeNetworkSetup::onStatus(const NetworkMessage& m)
{
    if (m.provisioned && m.state == NetworkMessage::kNetworkConnected) {
        m_camera.address = m.address;
        m_camera.user = m.user;
        m_camera.password = m.password;
        if (!m.ssid.isEmpty())
            m_camera.ssid = m.ssid;
        if (m_step == Step::ExistingStatus)
            send(Step::ExistingCertificate, NetworkMessage::getCertificate(), m_answerMs);
        else
            finish();
    } else if (m_step == Step::ExistingStatus && !m.provisioned) {
        stop();
        emit notProvisioned();
    }
    // Otherwise provisioned and still on its way to the network: the next status tells.
}

void HomeNetworkSetup::onTimeout()
{
    const QString ssid = m_camera.ssid;
    switch (m_step) {
    case Step::Idle:
        break;
    case Step::ExistingStatus:
        // Not on its network by now (or no answer at all): as good as not set up.
        stop();
        emit notProvisioned();
        break;
    case Step::Scanning:
    case Step::ReadingEntries:
        fail(tr("The camera did not finish its scan for networks in time."));
        break;
    case Step::Joining:
        fail(tr("The camera did not finish joining “%1” within %2 seconds.").arg(ssid).arg(m_joinMs / 1000));
        break;
    case Step::WaitingAddress:
        fail(tr("The camera did not tell its address on “%1” within %2 seconds.").arg(ssid).arg(m_joinMs / 1000));
        break;
    case Step::CreatingCertificate:
    case Step::ReadingCertificate:
    case Step::ExistingCertificate:
        fail(tr("The camera did not answer for its certificate in time."));
        break;
    }
}
