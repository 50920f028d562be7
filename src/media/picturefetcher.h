#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>

#include "cameraaddress.h"

class QNetworkAccessManager;
class QNetworkReply;

// Fetches full-size pictures from the camera for the viewer. It lives as long as the window:
// a tile only asks, and whatever becomes of the tile meanwhile (the grid is rebuilt on every
// list), the answer still has somewhere to go. One request per file at a time, bounded in
// size and time.
class PictureFetcher : public QObject
{
    Q_OBJECT

public:
    explicit PictureFetcher(QObject* parent = nullptr);

    // Asks the camera for the picture at path; a second call while it is on its way does
    // nothing more.
    void fetch(const QString& path);
    bool isFetching(const QString& path) const;
    // The camera pictures are fetched from from now on.
    void setCamera(const CameraAddress& camera) { m_camera = camera; }

signals:
    void progress(const QString& path, qint64 received, qint64 total);
    void fetched(const QString& path, const QImage& image);
    // reason is for the user.
    void failed(const QString& path, const QString& reason);

private:
    void finish(QNetworkReply* reply);

    QNetworkAccessManager* m_manager = nullptr;
    CameraAddress m_camera = CameraAddress::accessPoint();
    QHash<QNetworkReply*, QString> m_replies;
};
