#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class MediaList;

// The ticked files of the media grid, in the order they were ticked (Download fetches them
// in that order, Delete goes the other way). Ticks are kept by media path, not by tile:
// most files of a large card have no tile at any moment, and the grid is rebuilt on every
// list. Each operation costs at most a lookup per file it touches.
class MediaSelection
{
public:
    bool contains(const QString& path) const { return m_sequence.contains(path); }
    bool isEmpty() const { return m_order.isEmpty(); }
    int count() const { return int(m_order.size()); }
    // Oldest tick first.
    QStringList paths() const { return m_order.values(); }
    // The latest tick still standing; empty when nothing is ticked.
    QString last() const { return m_order.isEmpty() ? QString() : m_order.last(); }

    void tick(const QString& path);
    void untick(const QString& path);
    void clear();

    // A click on the tick box of path: ticks or unticks it, or with extend every file of
    // the grid from the previous click's file to this one, taken in grid order.
    void click(const MediaList& grid, const QString& path, bool ticked, bool extend);
    // Ticks every file of the grid not yet ticked, in grid order.
    void tickAll(const MediaList& grid);
    // Unticks the files listed is false for; true when there were any.
    bool retain(const std::function<bool(const QString&)>& listed);

private:
    QMap<quint64, QString> m_order;
    QHash<QString, quint64> m_sequence;
    quint64 m_next = 0;
    QString m_anchor; // the file of the previous click
};
