#include "mediaselection.h"

#include "medialist.h"

#include <algorithm>

void MediaSelection::tick(const QString& path)
{
    if (m_sequence.contains(path))
        return;
    m_sequence.insert(path, m_next);
    m_order.insert(m_next, path);
    ++m_next;
}

void MediaSelection::untick(const QString& path)
{
    const auto it = m_sequence.constFind(path);
    if (it == m_sequence.constEnd())
        return;
    m_order.remove(*it);
    m_sequence.erase(it);
}

void MediaSelection::clear()
{
    m_order.clear();
    m_sequence.clear();
}

void MediaSelection::click(const MediaList& grid, const QString& path, bool ticked, bool extend)
{
    const int to = grid.indexOf(path);
    const int from = extend ? grid.indexOf(m_anchor) : -1;
    m_anchor = path;
    if (from < 0 || to < 0) {
        ticked ? tick(path) : untick(path);
        return;
    }
    const QList<MediaList::Entry>& entries = grid.newestFirst();
    for (int i = std::min(from, to); i <= std::max(from, to); ++i)
        ticked ? tick(entries.at(i).path) : untick(entries.at(i).path);
}

void MediaSelection::tickAll(const MediaList& grid)
{
    for (const MediaList::Entry& entry : grid.newestFirst())
        tick(entry.path);
}

bool MediaSelection::retain(const std::function<bool(const QString&)>& listed)
{
    QStringList gone;
    for (const QString& path : std::as_const(m_order)) {
        if (!listed(path))
            gone << path;
    }
    for (const QString& path : std::as_const(gone))
        untick(path);
    return !gone.isEmpty();
}
