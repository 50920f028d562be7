#include "picturefetcher.h"

#include "cameranetwork.h"
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
    , m_manager(cameranetwork::newManager(this))
{
}

bool PictureFetcher::isFetching(const QString& path) const
{
    for (const QString& fetching : m_replies) {
        if (fetching == path)
            return true;
    }
    return false;
}

void PictureFetcher::fetch(const QString& path)
{
    if (isFetching(path))
        return;
    QNetworkRequest request(MediaList::fileUrl(m_camera, path));
    request.setTransferTimeout(kPictureStallMs);
    QNetworkReply* reply = m_manager->get(request);
    ReplyLimit::apply(reply, kPictureMaxBytes, kPictureDeadlineMs);
    m_replies.insert(reply, path);
    qDebug() << "picture requested" << request.url().toString();
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, path](qint64 received, qint64 total) { emit progress(path, received, total); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
}

void PictureFetcher::finish(QNetworkReply* reply)
{
    reply->deleteLater();
    const QString path = m_replies.take(reply);
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
        emit failed(path, reason);
        return;
    }
    qDebug() << "Show picture " << path;
    emit fetched(path, image);
}
