#pragma once

#include <QByteArray>
#include <QCache>
#include <QSize>
#include <QString>

// Thumbnails fetched lately, by media path and time, kept as the JPEG the camera sent (a few KB
// each): a tile scrolled back into view shows its thumbnail without asking the camera
// again. Bounded in bytes; the least recently used go first.
class ThumbnailCache
{
public:
    struct Thumbnail {
        QByteArray data;
        QSize size;
    };

    explicit ThumbnailCache(int capBytes);
    // The cache the tiles share.
    static ThumbnailCache& shared();

    // False when key is not cached.
    bool find(const QString& key, Thumbnail* thumbnail);
    void insert(const QString& key, const Thumbnail& thumbnail);
    int bytes() const { return int(m_cache.totalCost()); }

private:
    QCache<QString, Thumbnail> m_cache;
};
