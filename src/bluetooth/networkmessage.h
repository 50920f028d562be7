#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

// One access point the camera saw in its scan.
struct HomeNetworkEntry
{
    QString ssid;
    int bars = 0; // 1 to 3
    bool secured = false;
    // The camera has joined it before and keeps its password.
    bool configured = false;
};

// The protocol-buffer messages that set up the camera on the home network: requests as
// [feature][action][message] frames, and the camera's answers read into plain values. Bad
// input (a message that does not parse, a certificate that is not PEM, an address that is
// not IPv4) gives Kind::Malformed and a problem, never a partly filled message.
class NetworkMessage
{
public:
    enum Feature : quint8 {
        NetworkFeature = 0x02, // network management, GP-0091 / GP-0092
        CommandFeature = 0xF1, // GP-0072 / GP-0073
        QueryFeature = 0xF5,   // GP-0076 / GP-0077
    };
    enum class Kind {
        Unknown,        // not one this program reads (ignored)
        Malformed,      // problem says why
        ScanStarted,    // result, state (EnumScanning)
        ScanFinished,   // state, scanId, total
        Entries,        // result, scanId, entries
        JoinStarted,    // result, state (EnumProvisioning), the answer to connect / connect-new
        Provisioning,   // state
        CertCreated,    // result
        CertCleared,    // result
        Certificate,    // result, certificate (PEM, checked when result is success)
        Status,         // provisioned, state (EnumCOHNNetworkState), user, password, address, ssid
    };

    static constexpr int kSuccess = 1;              // EnumResultGeneric
    static constexpr int kScanSuccess = 5;          // EnumScanning
    static constexpr int kNetworkConnected = 27;    // EnumCOHNNetworkState

    // Requests, each a whole frame.
    static QByteArray startScan();
    static QByteArray getEntries(int scanId, int start = 0, int max = 100);
    static QByteArray connect(const QString& ssid);
    static QByteArray connectNew(const QString& ssid, const QString& password);
    static QByteArray getStatus(bool registerForUpdates);
    static QByteArray createCertificate(bool override);
    static QByteArray clearCertificate();
    static QByteArray getCertificate();

    // A frame from the camera: feature, action, then the message.
    static NetworkMessage parse(const QByteArray& frame);
    // Whether frame's action says it is a notification that carries nothing for us (0xFF).
    static bool isIgnorable(const QByteArray& frame);

    // Whether text is one PEM certificate block whose body is valid base64.
    static bool isPemCertificate(const QByteArray& text);
    // A dotted IPv4 address as the camera writes it; null when text is anything else.
    static QHostAddress ipv4(const QString& text);

    Kind kind = Kind::Unknown;
    QString problem;
    int result = 0;
    int state = 0;
    int scanId = 0;
    int total = 0;
    QList<HomeNetworkEntry> entries;
    QByteArray certificate;
    bool provisioned = false;
    QString user;
    QString password;
    QHostAddress address;
    QString ssid;
};
