#include "thumbnailqueue.h"

#include "cameranetwork.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace {
// A camera that accepts a connection and never answers must not hold a slot for ever.
constexpr int kThumbnailTimeoutMs = 20000;
constexpr int kDeliverIntervalMs = 100;
constexpr int kMaxDeliverIntervalMs = 1500;
}

ThumbnailQueue::ThumbnailQueue(int maxInFlight, QObject* parent)
    : QObject(parent)
    , m_manager(cameranetwork::newManager(this))
    , m_maxInFlight(std::max(1, maxInFlight))
{
    m_deliverTimer.setSingleShot(true);
    connect(&m_deliverTimer, &QTimer::timeout, this, &ThumbnailQueue::deliverFinished);
}

ThumbnailQueue* ThumbnailQueue::shared()
{
    static QPointer<ThumbnailQueue> queue;
    if (!queue)
        queue = new ThumbnailQueue(4, QCoreApplication::instance());
    return queue;
}

void ThumbnailQueue::fetch(const QUrl& url, QObject* requester, Done done)
{
    m_waiting.enqueue({url, requester, std::move(done)});
    startWaiting();
}

void ThumbnailQueue::scheduleStart()
{
    // Deferred: while a rebuilt grid deletes its tiles, each aborted request would otherwise
    // start the request of a tile that is deleted next.
    if (m_startScheduled)
        return;
    m_startScheduled = true;
    QMetaObject::invokeMethod(this, &ThumbnailQueue::startWaiting, Qt::QueuedConnection);
}

void ThumbnailQueue::startWaiting()
{
    m_startScheduled = false;
    while (m_inFlight < m_maxInFlight && !m_waiting.isEmpty()) {
        Job job = m_waiting.dequeue();
        if (!job.requester)
            continue;
        QNetworkRequest request(job.url);
        request.setTransferTimeout(kThumbnailTimeoutMs);
        QNetworkReply* reply = m_manager->get(request);
        ++m_inFlight;
        m_peakInFlight = std::max(m_peakInFlight, m_inFlight);
        // A tile deleted while its request runs frees the slot at once.
        connect(job.requester.data(), &QObject::destroyed, reply, &QNetworkReply::abort);
        connect(reply, &QNetworkReply::finished, this,
                [this, reply, requester = job.requester, done = std::move(job.done)]() {
                    --m_inFlight;
                    m_finished.append({reply, requester, done});
                    if (!m_deliverTimer.isActive()) {
                        // Longer batches while much is waiting: each layout of a grid of
                        // thousands of tiles costs more, so fewer of them.
                        m_deliverTimer.start(std::min(kDeliverIntervalMs + int(m_waiting.size()) / 10,
                                                      kMaxDeliverIntervalMs));
                    }
                    scheduleStart();
                });
    }
}

void ThumbnailQueue::deliverFinished()
{
    const QList<Finished> finished = std::exchange(m_finished, {});
    for (const Finished& item : finished) {
        if (item.requester && item.done)
            item.done(item.reply);
        item.reply->deleteLater();
    }
}
