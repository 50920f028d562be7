#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>

#include "mediasource.h"

class QNetworkAccessManager;
class QNetworkReply;

// Fetches full-size pictures from the cameras for the viewer. It lives as long as the window:
// a tile only asks, and whatever becomes of the tile meanwhile (the grid is rebuilt on every
// list), the answer still has somewhere to go. One request per file of a camera at a time,
// bounded in size and time. Every answer names the camera it came from: the window shows it
// only while that camera is the one shown.
class PictureFetcher : public QObject
{
    Q_OBJECT

public:
    explicit PictureFetcher(QObject* parent = nullptr);

    // Asks the camera for the picture at path; a second call while it is on its way does
    // nothing more.
    void fetch(const MediaSource& source, const QString& path);
    bool isFetching(quint64 camera, const QString& path) const;

signals:
    void progress(quint64 camera, const QString& path, qint64 received, qint64 total);
    void fetched(quint64 camera, const QString& path, const QImage& image);
    // reason is for the user.
    void failed(quint64 camera, const QString& path, const QString& reason);

private:
    void finish(QNetworkReply* reply);

    struct Asked {
        quint64 camera = 0;
        QString path;
    };
    QHash<QNetworkReply*, Asked> m_replies;
};
