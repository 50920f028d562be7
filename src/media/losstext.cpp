#include "losstext.h"

#include "medialist.h"
#include "selectionsummary.h"

QString LossText::size(qint64 bytes)
{
    if (bytes >= 1000LL * 1000 * 1000)
        return tr("%1 GB").arg(double(bytes) / 1e9, 0, 'f', 1);
    if (bytes >= 1000LL * 1000)
        return tr("%1 MB").arg(double(bytes) / 1e6, 0, 'f', 1);
    return tr("%1 KB").arg((bytes + 999) / 1000);
}

QString LossText::format(const QString& camera, const MediaList& card)
{
    if (!card.isValid())
        return tr("%1: every file on its card is erased.").arg(camera);
    return tr("%1: all %2 files (%3) on its card are erased.")
        .arg(camera)
        .arg(card.fileCount())
        .arg(size(card.listedBytes()));
}

QString LossText::deletion(const QString& camera, const MediaList& card, const QStringList& paths)
{
    const SelectionSummary lost(card, paths);
    const qint64 files = lost.files();
    const qint64 bytes = lost.bytes();
    if (files == 1)
        return tr("%1: 1 file (%2) on its card is deleted.").arg(camera, size(bytes));
    return tr("%1: %2 files (%3) on its card are deleted.").arg(camera, QString::number(files), size(bytes));
}
