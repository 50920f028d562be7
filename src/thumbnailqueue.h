#pragma once

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QTimer>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// One network access manager for every tile, with a bound on how many thumbnail requests
// are in flight. A card with thousands of files would otherwise open thousands of
// connections (and a manager thread per tile) at once. Requests wait in order; a request
// whose requester has gone (the grid was rebuilt) is dropped, or aborted if already sent.
//
// Answers are handed out in batches, a few times a second: a thumbnail of another size than
// the room its tile kept changes the tile's size hint and so re-lays the whole grid; batches
// keep that to a few layouts a second.
class ThumbnailQueue : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(QNetworkReply*)>;

    explicit ThumbnailQueue(int maxInFlight = 4, QObject* parent = nullptr);

    // The queue the tiles share, created on first use and owned by the application.
    static ThumbnailQueue* shared();

    QNetworkAccessManager* manager() const { return m_manager; }

    // GETs url once a slot is free; done gets the finished reply (released afterwards) only
    // while requester lives.
    void fetch(const QUrl& url, QObject* requester, Done done);

    int waiting() const { return int(m_waiting.size()); }
    int inFlight() const { return m_inFlight; }
    int peakInFlight() const { return m_peakInFlight; }

private:
    struct Job {
        QUrl url;
        QPointer<QObject> requester;
        Done done;
    };
    void scheduleStart();
    void startWaiting();
    void deliverFinished();

    QNetworkAccessManager* m_manager = nullptr;
    QQueue<Job> m_waiting;
    struct Finished {
        QNetworkReply* reply;
        QPointer<QObject> requester;
        Done done;
    };
    QList<Finished> m_finished;
    QTimer m_deliverTimer;
    int m_maxInFlight;
    int m_inFlight = 0;
    int m_peakInFlight = 0;
    bool m_startScheduled = false;
};
