#pragma once

#include "homenetworkcamera.h"
#include "networkmessage.h"

#include <QDialog>
#include <QList>

class HomeNetworkSetup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Puts the camera connected over Bluetooth on a home network: lists the networks it sees,
// takes the password, joins and tells each step and each failure in words. On success it
// shows the camera's address, reports the camera and closes.
class HomeNetworkDialog : public QDialog
{
    Q_OBJECT

public:
    // Takes setup over (as its child) and starts a scan.
    HomeNetworkDialog(HomeNetworkSetup* setup, QWidget* parent = nullptr);

    // How long the address stays in view before the dialog closes.
    static constexpr int kCloseDelayMs = 1500;

signals:
    void cameraReady(const HomeNetworkCamera& camera);

private:
    void scan();
    void showNetworks(const QList<HomeNetworkEntry>& networks);
    void join();
    void updateButtons();
    void showText(const QString& text, bool failure);

    HomeNetworkSetup* m_setup = nullptr;
    QListWidget* m_list = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_join = nullptr;
    QPushButton* m_scan = nullptr;
    QLabel* m_status = nullptr;
};
