#pragma once

#include <QSet>
#include <QString>

#include <utility>

// What decides where a downloaded file may go and when it counts as complete.
class DownloadRules
{
public:
    // A camera file name may become a local file name only when it names a plain file
    // inside the chosen folder: not empty, not "." or "..", no path separators, no NUL, and
    // not ending as a download's temporary files (".part", ".part.json").
    static bool isSafeFileName(const QString& name);

    // The local file for mediaPath in folder; empty when the file name is not safe.
    static QString localPath(const QString& folder, const QString& mediaPath);
    // Bytes are written here first and renamed to the real name only once verified.
    static QString partPath(const QString& localPath);

    // "NAME (n).EXT" beside localPath ("NAME (n)" without an extension); n >= 2.
    static QString numberedPath(const QString& localPath, int n);
    // localPath, or the first numbered path after it, that nothing in the folder holds and
    // that is not in exclude. Camera numbering starts again after a format, and two folders of
    // one card hold the same names: a file already in the folder is never replaced. A .part
    // beside a free name does not hold it: it is what an interrupted download left.
    static QString freePath(const QString& localPath, const QSet<QString>& exclude = {});
    // A file of size bytes already saved as localPath or as one of its numbered names (the
    // same camera file fetched before); empty when there is none. Names in exclude are
    // skipped: files of this batch, which are other camera files of the same name.
    static QString savedCopy(const QString& localPath, qint64 size, const QSet<QString>& exclude);
    // Gives the file at from the name to, unless something already has that name. False,
    // with errno's reason in error, when it did not move.
    static bool moveWithoutReplacing(const QString& from, const QString& to, QString* error);

    struct Verdict {
        bool complete = false;
        QString reason; // why not, for the user
    };
    // What the camera's answer brought. Sizes are -1 when not announced.
    struct Received {
        bool transferOk = false; // ended without error, HTTP 2xx, every byte written
        qint64 kept = 0; // bytes of an interrupted download that this answer continues
        qint64 written = 0; // bytes of this answer
        qint64 contentLength = -1; // of this answer
        qint64 rangeTotal = -1; // the file's size in a Content-Range
    };
    // A file counts only where some size confirms it: without one it could be cut short.
    static Verdict verify(const Received& received, qint64 listedSize);
    // The first byte and the file's size from "bytes FIRST-LAST/SIZE"; false for any other form.
    static bool parseContentRange(const QByteArray& value, qint64* first, qint64* size);

    // {value, maximum} for an int progress bar; byte counts above 2 GiB are scaled down.
    static std::pair<int, int> progressRange(qint64 received, qint64 total);
};
