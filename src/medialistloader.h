#pragma once

#include "medialist.h"

#include <QByteArray>
#include <QObject>

// Reads gpMediaList replies on a worker thread: the list of a card of thousands of files
// takes tens of milliseconds to parse and sort, which the window must not stand still for.
// Only the answer to the latest load is delivered.
class MediaListLoader : public QObject
{
    Q_OBJECT

public:
    explicit MediaListLoader(QObject* parent = nullptr);

    void load(const QByteArray& body);

signals:
    // On this object's thread.
    void loaded(const MediaList& list);

private:
    quint64 m_generation = 0;
};
