#pragma once

#include "homenetworkcamera.h"

#include <QObject>
#include <QString>
#include <QStringList>

class BluetoothFlow;
class QComboBox;
class QPushButton;
class QToolBar;
class QWidget;

// The window's Bluetooth controls, in its tool bar: find cameras, choose one, connect it (which
// puts the PC on its Wi-Fi, or finds it on its home network), and put it on the home network.
// The flow itself is BluetoothFlow's; this asks the user what the flow needs asked and shows
// what it reports, in boxes parented to the window.
class BluetoothPanel : public QObject
{
    Q_OBJECT

public:
    BluetoothPanel(QToolBar* toolBar, QWidget* window);

    void powerOff();
    // Whether the home network can be set up now: a camera that can join one is connected.
    bool homeNetworkUsable() const;

public slots:
    // Looks for cameras; a missing or switched-off adapter is told in a box.
    void scan();
    // Connects the camera chosen, once the user agreed to leave the current network.
    void connectChosen();
    // The home-network set-up for the camera connected over Bluetooth.
    void openHomeNetwork();

signals:
    // For the status bar.
    void status(const QString& text);
    // The camera connected told its model (number 0 when its name holds none).
    void modelReported(int number, const QString& reportedName);
    // The camera connected is on its home network, set up there or found there.
    void cameraReady(const HomeNetworkCamera& camera);
    void homeNetworkUsableChanged(bool usable);

private:
    void handOn(const HomeNetworkCamera& camera);
    void showDevices(const QStringList& names);
    void tellPairingNeeded(const QString& address);
    void tellWifiJoin(bool joined, const QString& problem, const QString& ssid, const QString& password);

    QWidget* m_window = nullptr;
    BluetoothFlow* m_flow = nullptr;
    QComboBox* m_devices = nullptr;
    QPushButton* m_homeNetwork = nullptr;
};
