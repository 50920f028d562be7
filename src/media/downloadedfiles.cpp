#include "downloadedfiles.h"

#include "downloadrules.h"
#include "medialist.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

void DownloadedFiles::read(const QString& folder)
{
    m_folder = folder;
    m_sizes.clear();
    if (folder.isEmpty())
        return;
    // Links are left out, as the download's own check leaves them out.
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    m_sizes.reserve(files.size());
    for (const QFileInfo& file : files)
        m_sizes.insert(file.fileName(), file.size());
}

bool DownloadedFiles::hasCopy(const QString& name, qint64 size) const
{
    // The same walk as DownloadRules::savedCopy: the name, then its numbered ones while taken.
    const QString plain = QStringLiteral("/") + name;
    QString candidate = plain;
    for (int n = 2; m_sizes.contains(candidate.mid(1)); ++n) {
        if (m_sizes.value(candidate.mid(1)) == size)
            return true;
        candidate = DownloadRules::numberedPath(plain, n);
    }
    return false;
}

QSet<QString> DownloadedFiles::savedOf(const MediaList& list) const
{
    QSet<QString> saved;
    if (m_sizes.isEmpty())
        return saved;
    for (const MediaList::Entry& entry : list.newestFirst()) {
        const QString name = MediaList::fileName(entry.path);
        if (!DownloadRules::isSafeFileName(name))
            continue;
        if (entry.isGroup()) {
            const QStringList members = entry.members();
            const bool all = !members.isEmpty() && std::all_of(members.begin(), members.end(), [this](const QString& member) {
                return m_sizes.contains(MediaList::fileName(member));
            });
            if (all)
                saved.insert(entry.path);
        } else if (entry.size >= 0 && hasCopy(name, entry.size)) {
            saved.insert(entry.path);
        }
    }
    return saved;
}
