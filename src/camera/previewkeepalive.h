#pragma once

#include <QObject>
#include <QSet>

#include "cameraaddress.h"

class QTimer;
class QUdpSocket;

// Keeps an older camera's preview stream going. HERO5 to HERO8 stop streaming about 25 s after
// the start unless the client sends them a small UDP datagram on the stream port every few
// seconds. Sending runs from a start until stop(), or until the last preview window it was
// given has closed while no other program is watching.
class PreviewKeepAlive : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 2500;

    explicit PreviewKeepAlive(QObject* parent = nullptr);

    bool isActive() const;
    // The camera the datagrams go to: the one whose stream was started.
    void setCamera(const CameraAddress& camera) { m_camera = camera; }
    // What the camera expects, byte for byte.
    static QByteArray datagram();

public slots:
    // The stream was started for another program: nothing tells when it stops watching.
    void startForOtherProgram();
    // The stream was started for this preview window: keep it alive while one is open.
    void startForWindow(QObject* window);
    // Stop pressed, or the camera went away.
    void stop();

private:
    void begin();
    void send();
    void windowGone(QObject* window);

    QTimer* m_timer = nullptr;
    QUdpSocket* m_socket = nullptr;
    QSet<QObject*> m_windows; // preview windows open now
    bool m_otherProgram = false;
    CameraAddress m_camera = CameraAddress::accessPoint();
};
