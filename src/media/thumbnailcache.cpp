#include "thumbnailcache.h"

namespace {
// Well over a thousand camera thumbnails (hundreds of screens to scroll back through), and a
// card of ten thousand files costs little more memory than one of a thousand.
constexpr int kSharedCapBytes = 16 * 1024 * 1024;
}

ThumbnailCache::ThumbnailCache(int capBytes)
    : m_cache(capBytes)
{
}

ThumbnailCache& ThumbnailCache::shared()
{
    static ThumbnailCache cache(kSharedCapBytes);
    return cache;
}

bool ThumbnailCache::find(const QString& key, Thumbnail* thumbnail)
{
    const Thumbnail* found = m_cache.object(key);
    if (!found)
        return false;
    *thumbnail = *found;
    return true;
}

void ThumbnailCache::insert(const QString& key, const Thumbnail& thumbnail)
{
    m_cache.insert(key, new Thumbnail(thumbnail), int(thumbnail.data.size()) + int(key.size()) * 2 + 64);
}
