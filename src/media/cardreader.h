#pragma once

#include "medialist.h"
#include "mediasource.h"

#include <QObject>
#include <QPointer>
#include <QString>

class MediaListLoader;
class QNetworkReply;

// Reads a camera's card: the media list request within its bounds (a stall, a size and a
// deadline), the answer parsed away from the window. One read at a time: a new read drops the
// one before, whose answer then never comes, so an answer overtaken by a later request (one sent
// before a delete, say) cannot bring back files that are gone. Everything it reports names the
// camera the read was for. A HERO9 to HERO11 whose documented list answers 404 is asked the
// older list once in the same read.
class CardReader : public QObject
{
    Q_OBJECT

public:
    explicit CardReader(QObject* parent = nullptr);
    ~CardReader() override;

    void read(const MediaSource& source);
    // The read running, if any, ends unheard.
    void cancel();
    bool isReading() const { return m_reading != 0; }

signals:
    // A long list comes twice: its newest files first (list.isComplete() false), then whole.
    void loaded(quint64 camera, const MediaList& list);
    // No list. why is for the user; empty where the request simply failed (the camera is away:
    // the tip line says so already).
    void failed(quint64 camera, const QString& why);

private:
    void request(const QUrl& url);
    void finished(QNetworkReply* reply);

    MediaListLoader* m_loader = nullptr;
    // The camera's manager may go first (the window closing), and its replies with it.
    QPointer<QNetworkReply> m_reply;
    // The camera whose list is being read or parsed; 0 when none.
    quint64 m_reading = 0;
    MediaSource m_source; // the camera being read
    bool m_olderAsked = false; // this read fell back on the older list already
};
