#pragma once

#include "medialist.h"
#include "mediaselection.h"

#include <QHash>

// Each camera's card as last listed and the files ticked on it, by camera id: the grid shows
// the camera chosen, and another camera's card and ticks wait for when it is chosen again.
// Ticks never cross to another camera, whatever the files are named.
class CameraCards
{
public:
    // Empty (not valid) for a camera never listed.
    MediaList card(quint64 camera) const { return m_cards.value(camera); }
    void setCard(quint64 camera, const MediaList& card) { m_cards.insert(camera, card); }
    MediaSelection ticks(quint64 camera) const { return m_ticks.value(camera); }
    void setTicks(quint64 camera, const MediaSelection& ticks) { m_ticks.insert(camera, ticks); }
    // The camera left: nothing of it is kept.
    void forget(quint64 camera)
    {
        m_cards.remove(camera);
        m_ticks.remove(camera);
    }

private:
    QHash<quint64, MediaList> m_cards;
    QHash<quint64, MediaSelection> m_ticks;
};
