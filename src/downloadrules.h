#pragma once

#include <QString>

#include <utility>

// What decides where a downloaded file may go and when it counts as complete.
class DownloadRules
{
public:
    // A camera file name may become a local file name only when it names a plain file
    // inside the chosen folder: not empty, not "." or "..", no path separators, no NUL.
    static bool isSafeFileName(const QString& name);

    // The local file for mediaPath in folder; empty when the file name is not safe.
    static QString localPath(const QString& folder, const QString& mediaPath);
    // Bytes are written here first and renamed to the real name only once verified.
    static QString partPath(const QString& localPath);

    struct Verdict {
        bool complete = false;
        QString reason; // why not, for the user
    };
    // transferOk: the reply ended without error with an HTTP 2xx status. contentLength and
    // listedSize are -1 when not announced.
    static Verdict verify(bool transferOk, qint64 written, qint64 contentLength,
                          qint64 listedSize);

    // {value, maximum} for an int progress bar; byte counts above 2 GiB are scaled down.
    static std::pair<int, int> progressRange(qint64 received, qint64 total);
};
