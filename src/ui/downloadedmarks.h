#pragma once

#include "downloadedfiles.h"
#include "medialist.h"

#include <QObject>

class DownloadControl;
class TileGrid;

// Which tiles show files already in the download folder: those marked and, while the user
// hides them, left out of what the grid is given. The folder is read once for each list, each
// change of folder and each download that ends.
class DownloadedMarks : public QObject
{
    Q_OBJECT

public:
    DownloadedMarks(TileGrid* grid, DownloadControl* downloads, QObject* parent = nullptr);

    // The camera's list, whole; the grid gets it less what is hidden.
    void setMedia(const MediaList& list);
    const MediaList& card() const { return m_card; }
    void setHidden(bool hidden);
    bool isHidden() const { return m_hidden; }

signals:
    // The grid shows a whole list again, perhaps with fewer files.
    void shown();

private:
    void read(const QString& folder);
    void apply();

    TileGrid* m_grid = nullptr;
    DownloadedFiles m_files;
    MediaList m_card;
    bool m_hidden = false;
};
