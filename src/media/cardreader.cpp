#include "cardreader.h"

#include "camerarequests.h"
#include "medialistloader.h"
#include "replylimit.h"

#include <QDebug>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace {

constexpr int kListStallMs = 15000;
// Far above the list of any card (100,000 files take 4 to 13 MB): a larger answer is not
// held in memory and copied on the window's thread.
constexpr qint64 kListMaxBytes = 32 * 1024 * 1024;
// Such a list comes within seconds over the camera's Wi-Fi; a minute leaves room for a
// camera slow to build it, not for one that trickles it.
constexpr int kListDeadlineMs = 60000;

} // namespace

CardReader::CardReader(QObject* parent)
    : QObject(parent)
    , m_loader(new MediaListLoader(this))
{
    connect(m_loader, &MediaListLoader::loaded, this, [this](const MediaList& list, quint64 camera) {
        if (camera != m_reading)
            return;
        if (!list.isValid()) {
            m_reading = 0;
            emit failed(camera, tr("The camera's answer to the media list request is not a media list."));
            return;
        }
        if (list.isComplete())
            m_reading = 0;
        emit loaded(camera, list);
    });
}

CardReader::~CardReader()
{
    cancel();
}

void CardReader::cancel()
{
    m_reading = 0;
    if (QNetworkReply* reply = m_reply.data()) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void CardReader::read(const MediaSource& source)
{
    cancel();
    if (!source.isValid())
        return;
    m_source = source;
    m_olderAsked = false;
    request(CameraRequests::url(source.address, source.model, CameraRequests::Action::MediaList));
}

void CardReader::request(const QUrl& url)
{
    const MediaSource& source = m_source;
    QNetworkRequest request{url};
    // Where connects to a camera that has left hang instead of failing, the grid would
    // otherwise keep showing its files for minutes.
    request.setTransferTimeout(kListStallMs);
    // Qt inflates a compressed answer slowly: a list of 100,000 files (4 MB, 0.5 MB as gzip)
    // took over 10 s, past the stall limit, where the plain one takes a tenth of a second.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply* reply = source.network->get(request);
    m_reply = reply;
    m_reading = source.camera;
    // An answer that cannot be a list is dropped as soon as that shows, not read to its end.
    const auto refuse = [reply](const QString& why) {
        if (reply->property("refused").isValid())
            return;
        reply->setProperty("refused", why);
        reply->abort();
    };
    connect(reply, &QNetworkReply::readyRead, this, [reply, refuse] {
        // An error page ends as a failed request does, in silence.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status < 200 || status >= 300)
            return;
        const QByteArray head = reply->peek(4096).trimmed();
        if (!head.isEmpty() && !head.startsWith('{'))
            refuse(tr("The camera's answer to the media list request is not a media list."));
    });
    ReplyLimit::apply(reply, kListMaxBytes, kListDeadlineMs, [refuse](const QString& why) {
        refuse(tr("The camera's media list could not be read: %1.").arg(why));
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

void CardReader::finished(QNetworkReply* reply)
{
    m_reply = nullptr;
    reply->deleteLater();
    const quint64 camera = m_reading;
    // Only a list replaces the grid: a request that failed (the camera left, a short drop)
    // keeps the files and ticks the user has, until the camera answers with a list.
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "media list request failed:" << reply->errorString();
        // A HERO10 has answered its documented list with 404 until its battery was pulled;
        // the older list of such a camera still tells its card.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QUrl older = CameraRequests::olderMediaList(m_source.address, m_source.model);
        if (status == 404 && !m_olderAsked && !older.isEmpty() && m_source.network) {
            m_olderAsked = true;
            qInfo().noquote() << "media list:" << reply->url().path()
                              << "answered 404; asking the older list" << older.path() << "once";
            request(older);
            return;
        }
        m_reading = 0;
        QString why = reply->property("refused").toString();
        // A redirect, say: ended by its bounds rather than by the network.
        if (why.isEmpty() && !ReplyLimit::reason(reply).isEmpty())
            why = tr("The camera's media list could not be read: %1.").arg(ReplyLimit::reason(reply));
        emit failed(camera, why);
        return;
    }
    // Parsed away from the window; what comes back is checked against the camera read.
    m_loader->load(reply->readAll(), camera);
}
