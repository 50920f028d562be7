#include "networkmessage.h"

#include "cohn.pb.h"
#include "network_management.pb.h"
#include "response_generic.pb.h"

#include <QRegularExpression>
#include <string>

namespace pb = velkamo::ble;

namespace {

enum Action : quint8 {
    StartScan = 0x02,
    GetEntries = 0x03,
    Connect = 0x04,
    ConnectNew = 0x05,
    ScanNotification = 0x0B,
    ProvisioningNotification = 0x0C,
    ScanResponse = 0x82,
    EntriesResponse = 0x83,
    ConnectResponse = 0x84,
    ConnectNewResponse = 0x85,
    ClearCert = 0x66,
    CreateCert = 0x67,
    ClearCertResponse = 0xE6,
    CreateCertResponse = 0xE7,
    GetCert = 0x6E,
    GetStatus = 0x6F,
    CertResponse = 0xEE,
    StatusResponse = 0xEF,
    Ignorable = 0xFF,
};

QByteArray frame(quint8 feature, quint8 action, const google::protobuf::MessageLite& message)
{
    QByteArray bytes;
    bytes.append(char(feature));
    bytes.append(char(action));
    const std::string body = message.SerializeAsString();
    bytes.append(body.data(), qsizetype(body.size()));
    return bytes;
}

QString text(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

NetworkMessage malformed(const QString& problem)
{
    NetworkMessage message;
    message.kind = NetworkMessage::Kind::Malformed;
    message.problem = problem;
    return message;
}

// Required fields missing, a length beyond the message, a wrong wire type: all fail here.
// Parsed in part first: the full parse writes its own error line for each missing field.
bool read(google::protobuf::MessageLite* message, const QByteArray& body)
{
    return message->ParsePartialFromArray(body.constData(), int(body.size()))
        && message->IsInitialized();
}

} // namespace

QByteArray NetworkMessage::startScan()
{
    return frame(NetworkFeature, StartScan, pb::RequestStartScan());
}

QByteArray NetworkMessage::getEntries(int scanId, int start, int max)
{
    pb::RequestGetApEntries request;
    request.set_start_index(start);
    request.set_max_entries(max);
    request.set_scan_id(scanId);
    return frame(NetworkFeature, GetEntries, request);
}

QByteArray NetworkMessage::connect(const QString& ssid)
{
    pb::RequestConnect request;
    request.set_ssid(ssid.toStdString());
    return frame(NetworkFeature, Connect, request);
}

QByteArray NetworkMessage::connectNew(const QString& ssid, const QString& password)
{
    pb::RequestConnectNew request;
    request.set_ssid(ssid.toStdString());
    request.set_password(password.toStdString());
    return frame(NetworkFeature, ConnectNew, request);
}

QByteArray NetworkMessage::getStatus(bool registerForUpdates)
{
    pb::RequestGetCOHNStatus request;
    request.set_register_cohn_status(registerForUpdates);
    return frame(QueryFeature, GetStatus, request);
}

QByteArray NetworkMessage::createCertificate(bool override)
{
    pb::RequestCreateCOHNCert request;
    request.set_override(override);
    return frame(CommandFeature, CreateCert, request);
}

QByteArray NetworkMessage::clearCertificate()
{
    return frame(CommandFeature, ClearCert, pb::RequestClearCOHNCert());
}

QByteArray NetworkMessage::getCertificate()
{
    return frame(QueryFeature, GetCert, pb::RequestCOHNCert());
}

bool NetworkMessage::isIgnorable(const QByteArray& frame)
{
    return frame.size() >= 2 && static_cast<quint8>(frame.at(1)) == Ignorable;
}

bool NetworkMessage::isPemCertificate(const QByteArray& text)
{
    static const QByteArray begin("-----BEGIN CERTIFICATE-----");
    static const QByteArray end("-----END CERTIFICATE-----");
    const QByteArray pem = text.trimmed();
    if (!pem.startsWith(begin) || !pem.endsWith(end) || pem.size() < begin.size() + end.size())
        return false;
    QByteArray body = pem.mid(begin.size(), pem.size() - begin.size() - end.size());
    body = body.simplified().replace(' ', QByteArray());
    const auto decoded =
        QByteArray::fromBase64Encoding(body, QByteArray::AbortOnBase64DecodingErrors);
    // DER: a certificate is a SEQUENCE.
    return decoded && !decoded.decoded.isEmpty() && decoded.decoded.at(0) == 0x30;
}

QHostAddress NetworkMessage::ipv4(const QString& text)
{
    static const QRegularExpression dotted(
        QStringLiteral("^(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)(\\.(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)){3}$"));
    if (!dotted.match(text).hasMatch())
        return QHostAddress();
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address.toIPv4Address() == 0
        || address == QHostAddress::Broadcast)
        return QHostAddress();
    return address;
}

NetworkMessage NetworkMessage::parse(const QByteArray& frame)
{
    if (frame.size() < 2)
        return malformed(QStringLiteral("a message of %1 bytes is too short").arg(frame.size()));
    const auto feature = static_cast<quint8>(frame.at(0));
    const auto action = static_cast<quint8>(frame.at(1));
    const QByteArray body = frame.mid(2);
    const auto unreadable = [&] {
        return malformed(QStringLiteral("the camera's message %1/%2 could not be read")
                             .arg(feature, 2, 16, QLatin1Char('0'))
                             .arg(action, 2, 16, QLatin1Char('0')));
    };

    NetworkMessage message;
    if (feature == NetworkFeature && action == ScanResponse) {
        pb::ResponseStartScanning m;
        if (!read(&m, body))
            return unreadable();
        message.kind = Kind::ScanStarted;
        message.result = m.result();
        message.state = m.scanning_state();
    } else if (feature == NetworkFeature && action == ScanNotification) {
        pb::NotifStartScanning m;
        if (!read(&m, body))
            return unreadable();
        message.kind = Kind::ScanFinished;
        message.state = m.scanning_state();
        message.scanId = m.scan_id();
        message.total = m.total_entries();
    } else if (feature == NetworkFeature && action == EntriesResponse) {
        pb::ResponseGetApEntries m;
        if (!read(&m, body))
            return unreadable();
        message.kind = Kind::Entries;
        message.result = m.result();
        message.scanId = m.scan_id();
        for (const auto& e : m.entries()) {
            // A network that does not tell its name cannot be chosen.
            if (e.ssid().empty())
                continue;
            HomeNetworkEntry entry;
            entry.ssid = text(e.ssid());
            entry.bars = qBound(0, e.signal_strength_bars(), 3);
            entry.secured = e.scan_entry_flags() & pb::SCAN_FLAG_AUTHENTICATED;
            entry.configured = e.scan_entry_flags() & pb::SCAN_FLAG_CONFIGURED;
            message.entries.append(entry);
        }
    } else if (feature == NetworkFeature
               && (action == ConnectResponse || action == ConnectNewResponse)) {
        pb::ResponseConnect m;
        if (!read(&m, body))
            return unreadable();
        message.kind = Kind::JoinStarted;
        message.result = m.result();
        message.state = m.provisioning_state();
    } else if (feature == NetworkFeature && action == ProvisioningNotification) {
        pb::NotifProvisioningState m;
        if (!read(&m, body))
            return unreadable();
        message.kind = Kind::Provisioning;
        message.state = m.provisioning_state();
    } else if (feature == CommandFeature
               && (action == CreateCertResponse || action == ClearCertResponse)) {
        pb::ResponseGeneric m;
        if (!read(&m, body))
            return unreadable();
        message.kind = action == CreateCertResponse ? Kind::CertCreated : Kind::CertCleared;
        message.result = m.result();
    } else if (feature == QueryFeature && action == CertResponse) {
        pb::ResponseCOHNCert m;
        if (!read(&m, body))
            return unreadable();
        message.kind = Kind::Certificate;
        message.result = m.result();
        if (m.result() == kSuccess) {
            message.certificate = QByteArray(m.cert().data(), qsizetype(m.cert().size()));
            if (!isPemCertificate(message.certificate))
                return malformed(QStringLiteral("the camera's certificate is not a PEM certificate"));
        }
    } else if (feature == QueryFeature && action == StatusResponse) {
        pb::NotifyCOHNStatus m;
        if (!read(&m, body))
            return unreadable();
        message.kind = Kind::Status;
        message.provisioned = m.status() == pb::COHN_PROVISIONED;
        message.state = m.state();
        message.user = text(m.username());
        message.password = text(m.password());
        message.ssid = text(m.ssid());
        const QString address = text(m.ipaddress());
        message.address = ipv4(address);
        if (!address.isEmpty() && message.address.isNull())
            return malformed(QStringLiteral("the camera's address is not an IPv4 address"));
        if (message.provisioned && message.state == kNetworkConnected
            && (message.address.isNull() || message.user.isEmpty() || message.password.isEmpty()))
            return malformed(
                QStringLiteral("the camera is on its network but did not tell its address and login"));
    }
    return message;
}
