#pragma once

#include "homenetworkcamera.h"
#include "networkmessage.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class BLEInterface;
class QTimer;

// Puts a camera connected over Bluetooth on the user's home network, or reads how it is
// already there: scans for networks, joins one, has the camera make its certificate, reads it
// and waits until the camera tells its address and login. Widget-free: the dialog and the
// window show what it reports. Whatever the camera sends that cannot be read ends the step in
// failed(), never in a crash; so does a camera that stops answering.
class HomeNetworkSetup : public QObject
{
    Q_OBJECT

public:
    HomeNetworkSetup(BLEInterface* ble, QObject* parent = nullptr);
    // A request still on its way goes no further.
    ~HomeNetworkSetup() override;

    // Who the camera is, from its hardware information: handed on with its address.
    void setCamera(const QString& serial, const QString& modelName, int model);

    // -> networksFound(), or failed().
    void scanNetworks();
    // A network of the last scan that the camera knows is joined without a password.
    // -> progress() ..., then ready() or failed().
    void join(const QString& ssid, const QString& password);
    // A camera already on its home network: ready() with its status and certificate, no
    // joining; notProvisioned() when it is not on one. failed() when its answers are bad.
    void readExisting();
    // Stops what runs, the rest of a request on its way included; nothing more is reported.
    void cancel();
    bool isBusy() const { return m_step != Step::Idle; }

    // How long the camera may take to answer one request, and to join a network.
    void setAnswerTimeout(int ms) { m_answerMs = ms; }
    void setJoinTimeout(int ms) { m_joinMs = ms; }

    // The words for a provisioning state that ends a join in failure; empty for the others.
    static QString failureText(int state, const QString& ssid, int model);

signals:
    void networksFound(const QList<HomeNetworkEntry>& networks);
    void progress(const QString& text);
    void failed(const QString& text);
    void ready(const HomeNetworkCamera& camera);
    void notProvisioned();

private:
    enum class Step {
        Idle,
        ExistingStatus,
        ExistingCertificate,
        Scanning,
        ReadingEntries,
        Joining,
        CreatingCertificate,
        ReadingCertificate,
        WaitingAddress,
    };

    void onFrame(const QByteArray& frame);
    void onMessage(const NetworkMessage& message);
    void onStatus(const NetworkMessage& message);
    void onTimeout();
    // Writes a request and gives the camera ms to answer it.
    void send(Step step, const QByteArray& frame, int ms);
    void fail(const QString& text);
    void finish();
    // Idle again: no limit runs, and what is left of the last request is not written.
    void stop();

    // The window may take the link down first when it closes with the dialog open.
    QPointer<BLEInterface> m_ble;
    QTimer* m_timer = nullptr;
    // The last request written, while it may still be on its way.
    quint64 m_write = 0;
    Step m_step = Step::Idle;
    QList<HomeNetworkEntry> m_networks;
    HomeNetworkCamera m_camera;
    int m_answerMs = 10000;
    int m_joinMs = 60000;
};
