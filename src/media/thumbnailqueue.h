#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// One network access manager for every tile, with a bound on how many thumbnail requests
// are in flight. Requests wait in order; the grid puts those of the tiles in view first. A
// request whose requester has gone or taken another file is dropped before it is sent; one
// already sent runs to its end (its thumbnail is worth keeping).
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
        QPointer<QObject> requester;
        Done done;
    };
    void scheduleStart();
    void startWaiting();

    QNetworkAccessManager* m_manager = nullptr;
    QList<Job> m_waiting;
    int m_maxInFlight;
    int m_inFlight = 0;
    int m_peakInFlight = 0;
    bool m_startScheduled = false;
};
