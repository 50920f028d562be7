#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// A bound on how many thumbnail requests are in flight, for every tile. Each request goes
// through the network manager of its camera. Requests wait in order; the grid puts those of
// the tiles in view first. A request whose requester has gone or taken another file is dropped
// before it is sent; one already sent runs to its end (its thumbnail is worth keeping), or
// until its camera's manager goes.
class ThumbnailQueue : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(QNetworkReply*)>;

    explicit ThumbnailQueue(int maxInFlight = 4, QObject* parent = nullptr);

    // The queue the tiles share, created on first use and owned by the application.
    static ThumbnailQueue* shared();

    // GETs url through manager once a slot is free; done gets the finished reply (released
    // afterwards) only while requester lives. Nothing is asked once the manager is gone.
    void fetch(const QUrl& url, QNetworkAccessManager* manager, QObject* requester, Done done);
    // Drops the waiting requests of requester.
    void cancel(QObject* requester);
    // Moves the waiting requests of these requesters to the front, in this order.
    void prioritise(const QList<QObject*>& requesters);

    int waiting() const { return int(m_waiting.size()); }
    int inFlight() const { return m_inFlight; }
    int peakInFlight() const { return m_peakInFlight; }

private:
    struct Job {
        QUrl url;
        QPointer<QNetworkAccessManager> manager;
        QPointer<QObject> requester;
        Done done;
    };
    void scheduleStart();
    void startWaiting();
    // A request in flight ended, answered or not: its slot is free.
    void release(QNetworkReply* reply);

    QList<Job> m_waiting;
    // In flight; a reply leaves when it finishes, or when it goes with its manager unfinished.
    QSet<QNetworkReply*> m_running;
    int m_maxInFlight;
    int m_inFlight = 0;
    int m_peakInFlight = 0;
    bool m_startScheduled = false;
};
