#pragma once

#include <QScrollArea>

class CameraRoster;
class QPushButton;

// What the grid's place shows while no camera answers: the ways in (the camera's Wi-Fi, a USB
// cable, the home network), each with the button that starts it where there is one, and the
// connection guide. It gives the place back to the grid as soon as any listed camera answers,
// and takes it again when none does.
class FirstScreen : public QScrollArea
{
    Q_OBJECT

public:
    FirstScreen(CameraRoster* roster, QWidget* grid, QWidget* parent);

    // The home network can be set up only for a camera connected over Bluetooth.
    void setHomeNetworkUsable(bool usable);

signals:
    void bluetoothAsked();
    void homeNetworkAsked();
    void guideAsked();

private:
    // Shows itself or the grid, as the cameras answer now.
    void follow();

    CameraRoster* m_roster = nullptr;
    QWidget* m_grid = nullptr;
    QPushButton* m_homeNetwork = nullptr;
};
