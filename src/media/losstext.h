#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class MediaList;

// What a Format or a Delete takes from a camera's card, said in the question before it:
// "HERO12 Black …583: all 20 files (3.1 GB) on its card are erased." Files are counted as a
// download counts them: every member of a burst.
class LossText
{
    Q_DECLARE_TR_FUNCTIONS(LossText)

public:
    // "3.1 GB", "45.2 MB", "2 KB", in the camera's own (decimal) units.
    static QString size(qint64 bytes);
    // card is the camera's last list; an invalid one (never read) still says everything goes.
    static QString format(const QString& camera, const MediaList& card);
    static QString deletion(const QString& camera, const MediaList& card, const QStringList& paths);
};
