#include "medialistloader.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QPointer>
#include <QThread>

#include <memory>

namespace {
// More than a screen of tiles holds at the most columns.
constexpr int kFirstScreenFiles = 256;
constexpr unsigned long kFirstScreenHeadStartMs = 150;
}

MediaListLoader::MediaListLoader(QObject* parent)
    : QObject(parent)
{
    // Always the same thread: its memory stays mapped from one list to the next, where a
    // fresh thread would first take page faults for megabytes of parsed JSON.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

void MediaListLoader::load(const QByteArray& body, quint64 tag)
{
    const quint64 generation = ++m_generation;
    const QPointer<MediaListLoader> self(this);
    m_pool.start([self, body, generation, tag] {
        // Delivered through the application object, which outlives the work; the loader
        // itself may be gone by then, and is only looked at on its own thread.
        const auto deliver = [&self, generation, tag](MediaList list) {
            auto shared = std::make_shared<const MediaList>(std::move(list));
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, shared, generation, tag] {
                    if (self && self->m_generation == generation)
                        emit self->loaded(*shared, tag);
                },
                Qt::QueuedConnection);
        };
        const QJsonDocument doc = QJsonDocument::fromJson(body);
        MediaList newest = MediaList::newest(doc, kFirstScreenFiles);
        if (newest.total() > newest.count()) {
            deliver(std::move(newest));
            // The screen in view needs nothing more from the list: its thumbnails are fetched
            // and decoded first, on a machine that may have two cores, and the whole grid
            // follows a moment later.
            QThread::msleep(kFirstScreenHeadStartMs);
        }
        deliver(MediaList::parse(doc));
    });
}
