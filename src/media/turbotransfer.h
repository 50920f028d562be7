#pragma once

#include "cameraaddress.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

QT_BEGIN_NAMESPACE
class QNetworkAccessManager;
class QNetworkReply;
QT_END_NAMESPACE

// Turbo transfer (HERO9 on): the camera sends its files faster and, while it is on, shows
// "Transferring Media" and takes nothing else. Its documentation wants it on only while files
// are offloaded, so a download switches it on before its first file and off after its last
// (done, stopped, failed or cut off), and a camera found with it on (status 113) while nothing
// downloads from it is switched off, once for each time it is found so. A camera that refuses
// it still sends its files, at the usual speed: the refusal is only logged.
class TurboTransfer : public QObject
{
    Q_OBJECT

public:
    struct Target {
        quint64 camera = 0; // the camera's id
        CameraAddress address;
        QPointer<QNetworkAccessManager> network; // the camera's own
        int model = 0;
    };

    // A camera that does not answer is not waited for longer: the download goes on without.
    static constexpr int kAnswerDeadlineMs = 5000;

    explicit TurboTransfer(QObject* parent = nullptr);

    // A download from the camera begins. True when the camera is asked: ready() follows, in
    // context, once it answered or did not in time. False where the model has none (HERO8
    // and older) or the camera cannot be reached: nothing follows.
    bool switchOn(const Target& camera, QObject* context, const std::function<void()>& ready);
    // The download from the camera is over, however it ended.
    void switchOff(const Target& camera);
    // The camera's status told whether turbo is on.
    void seen(const Target& camera, bool on);
    // The camera stopped answering: found with turbo on again, it is a new finding.
    void forget(quint64 camera);

    // Waits, at most ms and events running, for the requests still on their way: the program
    // is about to end, and a request not sent by then never is.
    void settle(int ms);

private:
    enum class State { Held, OffAsked };

    QNetworkReply* send(const Target& camera, bool on);

    // Cameras not in here are neither downloaded from nor asked to switch off.
    QHash<quint64, State> m_state;
    QList<QPointer<QNetworkReply>> m_pending;
};
