#pragma once

#include "medialist.h"

#include <QByteArray>
#include <QObject>
#include <QThreadPool>

// Reads media list replies on a worker thread: the list of a card of thousands of files
// takes tens of milliseconds to parse and sort, which the window must not stand still for.
// A long list comes twice: first its newest files alone (a first screen, read in a fraction
// of the time), then whole. Only the answers to the latest load are delivered.
class MediaListLoader : public QObject
{
    Q_OBJECT

public:
    explicit MediaListLoader(QObject* parent = nullptr);

    // tag comes back with the list: whose card it is.
    void load(const QByteArray& body, quint64 tag = 0);

signals:
    // On this object's thread; list.isComplete() tells the whole list from its newest files.
    void loaded(const MediaList& list, quint64 tag);

private:
    quint64 m_generation = 0;
    QThreadPool m_pool;
};
