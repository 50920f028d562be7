#pragma once

#include <QObject>
#include <QSet>
#include <QUrl>

#include "cameraaddress.h"
#include "camerastatus.h"
#include "reachability.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// The HTTP link to the camera: keep-alive polls, whether the camera is there, the gate for
// commands, and the status the camera reports. No widgets: the window reacts to the signals
// and tells the user when a command is refused.
class CameraLink : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPollIntervalMs = 3000;
    // The camera answers a command once it is carried out; the slowest, a format, takes a few
    // seconds. Past this a command counts as failed, and an awaited one as answered.
    static constexpr int kCommandDeadlineMs = 10000;

    explicit CameraLink(QObject* parent = nullptr);

    // A link polls while active (from its creation on). Inactive, it sends nothing by itself
    // and counts the camera as away until it is active and the camera answers again.
    void setActive(bool active);
    bool isActive() const { return m_active; }

    // Where the camera is; every request of this link goes there.
    void setAddress(const CameraAddress& address) { m_address = address; }
    const CameraAddress& address() const { return m_address; }

    // The model decides the poll: up to HERO8 the status request, from HERO9 keep_alive
    // plus the state request on port 8080.
    void setModel(int model);

    // Open only after the handlers of cameOnline() have returned, so that no command goes
    // out while the camera's model is being applied.
    bool isOnline() const;

    // Commands are given as the model profiles write them, for the camera's access point, or
    // already for this camera: either way they go to this camera's host.
    // A command through the gate; false (and nothing sent) while the camera is away.
    bool send(const QString& url);
    // A command regardless of the gate (profile selectors, sleep); false when url is no
    // http URL.
    bool sendDirect(const QString& url);
    // Emits cardCommandsAnswered() once every awaited command has its answer.
    void awaitAnswer(const QString& url);

    // One finished request of this link (the managers' replies land here).
    void handleReply(QNetworkReply* reply);
    // The camera answered at this address outside the polls (it told who it is): as good as
    // an answered poll, so it counts as there at once rather than a poll later.
    void answered();
    // The status the camera reported last (empty while it is away).
    const CameraStatus& lastStatus() const { return m_lastStatus; }

public slots:
    // One keep-alive tick; the timer calls it every kPollIntervalMs.
    void poll();

signals:
    void cameOnline();
    void wentOffline();
    void statusReceived(const CameraStatus& status);
    void cardCommandsAnswered();
    // A command the camera refused ("HTTP 500") or did not answer in time, while it is there
    // or was there when the command went out.
    void commandFailed(const QUrl& command, const QString& why);
    // The camera answered a command with success while it is there.
    void commandTaken(const QUrl& command);

private:
    void get(const QUrl& url);
    void apply(Reachability::Change change);

    QNetworkAccessManager* m_cmdManager = nullptr;
    // Keep-alive polls travel apart from commands: after a poll that got no answer its
    // stuck connection attempts are dropped, which would cut commands still on their way.
    QNetworkAccessManager* m_pollManager = nullptr;
    QTimer* m_keepAliveTimer = nullptr;
    Reachability m_reachability;
    CameraStatus m_lastStatus;
    // Card-changing commands sent and not yet answered.
    QSet<QUrl> m_awaitedCommands;
    // Commands on their way that went out while the camera answered.
    QSet<QNetworkReply*> m_sentWhileThere;
    bool m_online = false;
    bool m_active = true;
    int m_model = 5;
    CameraAddress m_address = CameraAddress::accessPoint();
};
