#pragma once

#include "hardwareinfo.h"
#include "homenetworkcamera.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class BLEInterface;
class HomeNetworkSetup;
class QTimer;
class WifiJoin;

// From a camera found over Bluetooth to the PC on its network: connects it, asks who it is
// (its hardware information), then asks a HERO12 or later whether it is on its home network
// (there it is handed on and its access point left off, which would end that connection);
// otherwise switches the access point on, reads its name and password and joins it with
// nmcli. Widget-free: the window asks the user before connecting, shows what this reports
// and answers its questions (the model reported is the window's to apply).
class BluetoothFlow : public QObject
{
    Q_OBJECT

public:
    explicit BluetoothFlow(QObject* parent = nullptr);

    // Starts a scan for cameras. False, and problem says why for the user, when there is no
    // adapter or it is off: a scan could only fail.
    bool scan(QString* problem);
    // The address of the index-th camera found; empty when there is none.
    QString deviceAddress(int index) const;
    // Connects the index-th camera found; the rest of the flow follows by itself.
    void connectDevice(int index);
    void powerOff();

    // The camera connected is a HERO12 or later that can be put on a home network now.
    bool homeNetworkUsable() const;
    // A set-up of the home network for the camera connected, for the caller to take over.
    HomeNetworkSetup* newHomeNetworkSetup() const;

signals:
    // For the status bar.
    void status(const QString& text);
    // The names of the cameras found, in the link's order.
    void devicesChanged(const QStringList& names);
    // The camera did not tell its Wi-Fi name: it is not paired with this computer. Once a
    // connection; address is empty when the camera's is not known.
    void pairingNeeded(const QString& address);
    // The camera told its model (number 0 when its name holds none).
    void modelReported(int number, const QString& reportedName);
    void homeNetworkUsableChanged(bool usable);
    // The camera is on its home network, with all it told about how to reach it there.
    void cameraReady(const HomeNetworkCamera& camera);
    // nmcli has tried to join the access point; problem as WifiJoin tells it.
    void wifiJoinFinished(bool joined, const QString& problem, const QString& ssid, const QString& password);

private:
    void askWhoItIs();
    void onData(const QByteArray& data);
    void onCommandReply(const QByteArray& message);
    // Once the camera has told who it is (model 0 when it did not).
    void continueWith(int model, const QString& modelName, const QString& serial);
    // Access point on, its name and password read, then the PC joins it.
    void startAccessPoint();
    void joinAccessPoint();
    void onPairError();
    void tellHomeNetworkUsable();

    BLEInterface* m_ble = nullptr;
    // Whether the camera's home network is asked on connection, before its access point.
    HomeNetworkSetup* m_homeCheck = nullptr;
    // The model for the window, read from the replies as they come.
    HardwareInfo m_hardInfo;
    // Gives up on the rest of a hardware-information reply that stopped coming.
    QTimer* m_hardInfoTimer = nullptr;
    // Bounds the wait for the whole hardware-information reply the flow goes on from.
    QTimer* m_replyTimer = nullptr;
    // The camera connected, as its hardware information told it.
    int m_model = 0;
    QString m_modelName;
    QString m_serial;
    // The PC joins the access point once its password has been read.
    bool m_joinOnPassword = false;
    bool m_pairErrorTold = false;
    // The Wi-Fi join in progress, if any.
    QPointer<WifiJoin> m_wifiJoin;
};
