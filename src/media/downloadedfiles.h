#pragma once

#include <QHash>
#include <QSet>
#include <QString>

class MediaList;

// Which files of a card are already in the download folder, as a download would find them:
// a file of the listed size under its name or a numbered one beside it ("NAME (2).EXT"); a
// burst or lapse when every member still on the card is there under its name (the list gives
// the members no size of their own). The folder is listed once per read(), never a file
// looked up per tile.
class DownloadedFiles
{
public:
    // One listing of folder's plain files, by name and size; empty for none or a folder gone.
    void read(const QString& folder);
    QString folder() const { return m_folder; }
    // The paths of list whose files are there.
    QSet<QString> savedOf(const MediaList& list) const;

private:
    bool hasCopy(const QString& name, qint64 size) const;

    QString m_folder;
    QHash<QString, qint64> m_sizes;
};
