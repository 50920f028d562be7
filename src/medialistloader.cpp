#include "medialistloader.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <memory>

MediaListLoader::MediaListLoader(QObject* parent)
    : QObject(parent)
{
}

void MediaListLoader::load(const QByteArray& body)
{
    const quint64 generation = ++m_generation;
    const QPointer<MediaListLoader> self(this);
    QThreadPool::globalInstance()->start([self, body, generation] {
        auto list = std::make_shared<const MediaList>(MediaList::parse(body));
        // Delivered through the application object, which outlives the pool's work; the
        // loader itself may be gone by then, and is only looked at on its own thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, list, generation] {
                if (self && self->m_generation == generation)
                    emit self->loaded(*list);
            },
            Qt::QueuedConnection);
    });
}
