#pragma once

#include "camera.h"
#include "homenetworkcamera.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class PasswordStore;
class QHostAddress;
class UsbCameraFinder;

// The cameras the window can reach and the one it shows. One Camera per serial, whatever
// reaches it: the camera at the access point (asked who it is each time it answers again; a new
// serial there is another camera), cameras on a cable (from the finder's found and lost), and
// cameras on the home network (remembered, or handed over by Bluetooth set-up). A camera seen
// two ways is one camera with two ways; a way that goes leaves the others. A camera nothing
// reaches any more leaves the list; the same serial found again is the same camera again.
//
// Cameras are owned here and live as long as the roster; everything outside holds their id.
class CameraRoster : public QObject
{
    Q_OBJECT

public:
    explicit CameraRoster(QObject* parent = nullptr);

    // Starts looking: the access point at once, cables from now on, the remembered cameras on the
    // home network as their passwords are read.
    void start();

    // The cameras something reaches, in the order they were found.
    const QList<Camera*>& cameras() const { return m_listed; }
    // A camera by id, listed or not (one that left may come back); nullptr for none.
    Camera* camera(Camera::Id id) const;
    bool isListed(Camera::Id id) const;
    Camera* current() const { return camera(m_current); }
    Camera::Id currentId() const { return m_current; }
    // The user's choice.
    void setCurrent(Camera::Id id);

    // The model chosen for the camera shown: taken for it (not remembered), and on a cable from
    // HERO10 on its wired control goes on, as when it is plugged in.
    void chooseModel(int model);

    // A camera on the home network, handed over by Bluetooth set-up or remembered: trusted,
    // listed, or moved to its new address. nullptr when it cannot be trusted.
    Camera* addHome(const HomeNetworkCamera& camera);
    PasswordStore* passwords() const { return m_passwords; }

signals:
    // Cameras came or went.
    void listChanged();
    // A camera's name or state changed.
    void cameraChanged(Camera* camera);
    // A camera listed came to answer, or stopped.
    void answering(Camera* camera, bool answers);
    // A camera did not carry out a command it was sent.
    void commandFailed(Camera* camera, const QUrl& command, const QString& why);
    // Nothing reaches the camera any more: everything bound to it ends.
    void cameraLeft(Camera::Id id);
    void currentChanged(Camera* camera);
    // Something the user should know (a remembered file refused, say), for the status bar.
    void problem(const QString& text);

private:
    Camera* newCamera();
    Camera* bySerial(const QString& serial) const;
    // The list is made again from what reaches each camera; cameras that left are told of. A
    // camera shown that left gives way to successor where it is listed.
    void relist(Camera* successor = nullptr);
    void makeCurrent(Camera* camera);
    // Takes a camera that answers while the one shown does not.
    void preferAnswering(Camera* camera);
    void identified(Camera* camera);
    void linkConfirmed(Camera* camera, const CameraAddress& address);
    void otherCameraAt(Camera* camera, const CameraAddress& address, const CameraInfo& info);
    // Moves every way of from to into.
    void merge(Camera* from, Camera* into);
    // The model told is remembered for the serial; one not told is taken from what is remembered,
    // else from the choice.
    void settleModel(Camera* camera);
    void usbFound(const QHostAddress& host, const QString& serial);
    void usbLost(const QHostAddress& host);
    void askRememberedHomeCameras();

    // Every camera seen this run, in the order found.
    QList<Camera*> m_all;
    QList<Camera*> m_listed;
    Camera::Id m_current = 0;
    UsbCameraFinder* m_usb = nullptr;
    PasswordStore* m_passwords = nullptr;
    // Remembered home cameras waiting for their passwords, by serial.
    QHash<QString, HomeNetworkCamera> m_waitingHome;
    int m_chosenModel = 0;
};
