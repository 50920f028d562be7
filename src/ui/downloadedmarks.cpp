#include "downloadedmarks.h"

#include "downloadcontrol.h"
#include "tilegrid.h"

DownloadedMarks::DownloadedMarks(TileGrid* grid, DownloadControl* downloads, QObject* parent)
    : QObject(parent)
    , m_grid(grid)
{
    m_files.read(downloads->folder());
    connect(downloads, &DownloadControl::folderChanged, this, &DownloadedMarks::read);
    connect(downloads, &DownloadControl::finished, this, [this] { read(m_files.folder()); });
}

void DownloadedMarks::setMedia(const MediaList& list)
{
    m_card = list;
    // Files may have been moved or deleted there since.
    if (list.isComplete())
        m_files.read(m_files.folder());
    apply();
}

void DownloadedMarks::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    apply();
}

void DownloadedMarks::read(const QString& folder)
{
    m_files.read(folder);
    apply();
}

void DownloadedMarks::apply()
{
    const QSet<QString> saved = m_files.savedOf(m_card);
    m_grid->setMarked(saved, m_files.folder());
    m_grid->setMedia(m_hidden ? m_card.without(saved) : m_card);
    if (m_card.isValid() && m_card.isComplete())
        emit shown();
}
