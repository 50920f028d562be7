#pragma once

#include <QNetworkAccessManager>
#include <QSet>
#include <QString>

// The network access manager of every request to a camera (cameranetwork::newManager). Plain
// HTTP goes out as it is; its media GETs (the card's list, thumbnails, files) go through
// CameraHttpReply, which passes over the log line some firmware writes before their status
// line. An https request goes only to a camera on the home network that
// HomeCameraTrust knows and has not refused, with its credentials and its own root as the
// only trust; any other fails at once without leaving the PC. A certificate that does not
// verify and a refused password make the trust refuse that camera. No request follows a
// redirect: one that is redirected fails, and ReplyLimit::reason() says where it led.
class CameraNetworkManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    explicit CameraNetworkManager(QObject* parent = nullptr);

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request,
                                 QIODevice* outgoingData) override;

private:
    // The cameras on the home network this manager has asked: a connection it keeps to one
    // was made with the trust of its time.
    QSet<QString> m_homeHosts;
};
