#include "picturefetcher.h"
#include "camerarequests.h"

#include "medialist.h"
#include "replylimit.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
// A camera picture is 2 to 15 MB (a 27 MP HERO12 JPEG); a RAW sidecar is not shown at all.
constexpr qint64 kPictureMaxBytes = 64 * 1024 * 1024;
// 15 MB at the 1 MB/s of a poor Wi-Fi link, with room to spare.
constexpr int kPictureDeadlineMs = 120000;
constexpr int kPictureStallMs = 20000;
} // namespace

PictureFetcher::PictureFetcher(QObject* parent)
    : QObject(parent)
{
}

bool PictureFetcher::isFetching(quint64 camera, const QString& path) const
{
    for (const Asked& fetching : m_replies) {
        if (fetching.camera == camera && fetching.path == path)
            return true;
    }
    return false;
}

void PictureFetcher::fetch(const MediaSource& source, const QString& path)
{
    if (!source.isValid() || isFetching(source.camera, path))
        return;
    QNetworkRequest request(CameraRequests::file(source.address, path));
    request.setTransferTimeout(kPictureStallMs);
    QNetworkReply* reply = source.network->get(request);
    ReplyLimit::apply(reply, kPictureMaxBytes, kPictureDeadlineMs);
    const quint64 camera = source.camera;
    m_replies.insert(reply, {camera, path});
    qDebug() << "picture requested" << request.url().toString();
    connect(reply, &QNetworkReply::downloadProgress, this, [this, camera, path](qint64 received, qint64 total) {
        emit progress(camera, path, received, total);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
    // Gone unfinished with its camera's manager: nothing is waited for any more.
    connect(reply, &QObject::destroyed, this, [this, reply] { m_replies.remove(reply); });
}

void PictureFetcher::finish(QNetworkReply* reply)
{
    reply->deleteLater();
    const Asked asked = m_replies.take(reply);
    const QString path = asked.path;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QString reason = ReplyLimit::reason(reply);
    QImage image;
    if (reason.isEmpty() && reply->error() != QNetworkReply::NoError)
        reason = status >= 400 ? tr("HTTP %1").arg(status) : reply->errorString();
    if (reason.isEmpty()) {
        image = QImage::fromData(reply->readAll());
        if (image.isNull())
            reason = tr("the camera sent no picture");
    }
    if (!reason.isEmpty()) {
        qDebug() << "picture download failed" << path << reason;
        emit failed(asked.camera, path, reason);
        return;
    }
    qDebug() << "Show picture " << path;
    emit fetched(asked.camera, path, image);
}
