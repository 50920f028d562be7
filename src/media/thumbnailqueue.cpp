#include "thumbnailqueue.h"

#include "replylimit.h"

#include <QCoreApplication>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <climits>

namespace {
// A camera that never answers, or trickles, must not hold a slot for ever. A thumbnail is a
// few to tens of KB: even at 1 Mbit/s it takes under a second.
constexpr int kThumbnailDeadlineMs = 10000;
// Ten times the largest thumbnail a camera sends (about 50 KB at 320 x 240).
constexpr qint64 kThumbnailMaxBytes = 512 * 1024;
}

ThumbnailQueue::ThumbnailQueue(int maxInFlight, QObject* parent)
    : QObject(parent)
    , m_maxInFlight(std::max(1, maxInFlight))
{
}

ThumbnailQueue* ThumbnailQueue::shared()
{
    static QPointer<ThumbnailQueue> queue;
    if (!queue)
        queue = new ThumbnailQueue(4, QCoreApplication::instance());
    return queue;
}

void ThumbnailQueue::fetch(const QUrl& url, QNetworkAccessManager* manager, QObject* requester, Done done)
{
    m_waiting.append({url, manager, requester, std::move(done)});
    // Deferred: the grid asks for a whole screen, then says which come first.
    scheduleStart();
}

void ThumbnailQueue::cancel(QObject* requester)
{
    m_waiting.removeIf([requester](const Job& job) { return job.requester == requester; });
}

void ThumbnailQueue::prioritise(const QList<QObject*>& requesters)
{
    QHash<const QObject*, int> rank;
    for (int i = 0; i < requesters.size(); ++i)
        rank.insert(requesters.at(i), i);
    std::stable_sort(m_waiting.begin(), m_waiting.end(), [&rank](const Job& a, const Job& b) {
        return rank.value(a.requester.data(), INT_MAX) < rank.value(b.requester.data(), INT_MAX);
    });
}

void ThumbnailQueue::scheduleStart()
{
    // Deferred also while a rebuilt grid deletes its tiles: each aborted request would
    // otherwise start the request of a tile that is deleted next.
    if (m_startScheduled)
        return;
    m_startScheduled = true;
    QMetaObject::invokeMethod(this, &ThumbnailQueue::startWaiting, Qt::QueuedConnection);
}

void ThumbnailQueue::startWaiting()
{
    m_startScheduled = false;
    while (m_inFlight < m_maxInFlight && !m_waiting.isEmpty()) {
        Job job = m_waiting.takeFirst();
        if (!job.requester || !job.manager)
            continue;
        QNetworkReply* reply = job.manager->get(QNetworkRequest(job.url));
        ReplyLimit::apply(reply, kThumbnailMaxBytes, kThumbnailDeadlineMs);
        ++m_inFlight;
        m_running.insert(reply);
        m_peakInFlight = std::max(m_peakInFlight, m_inFlight);
        // A tile deleted while its request runs frees the slot at once.
        connect(job.requester.data(), &QObject::destroyed, reply, &QNetworkReply::abort);
        // A reply goes unfinished with its manager (its camera's): the slot is free all the same.
        connect(reply, &QObject::destroyed, this, [this, reply] { release(reply); });
        connect(reply, &QNetworkReply::finished, this,
                [this, reply, requester = job.requester, done = std::move(job.done)]() {
                    release(reply);
                    if (requester && done)
                        done(reply);
                    reply->deleteLater();
                });
    }
}

void ThumbnailQueue::release(QNetworkReply* reply)
{
    if (!m_running.remove(reply))
        return;
    --m_inFlight;
    scheduleStart();
}
