#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What a download's .part holds the beginning of, kept beside it (NAME.EXT.part.json) from
// the moment the .part is begun: the camera by its serial, the media path, and the size and
// time the camera lists for it. Camera numbering starts again after a format, every camera
// uses the same names and download folders are shared, so a .part is continued only where
// its record names the very file asked for now; without one (an older program left it) it
// is not.
//
// Read and written as carefully as the .part itself: never through a symbolic link, never a
// hard link to another name, only a small plain file of this user's.
struct PartRecord {
    QString serial;
    QString mediaPath;
    qint64 size = -1; // as listed; -1 when the list gives none
    qint64 mod = -1;  // the list's time for the file

    // Worth keeping: the camera told its serial and listed a size to check the whole
    // against. Anything else is never continued.
    bool isResumable() const;
    bool operator==(const PartRecord& other) const;
    bool operator!=(const PartRecord& other) const { return !(*this == other); }

    // The record's file beside partPath.
    static QString pathFor(const QString& partPath);
    // The record at path; none where there is none, or where what is there is not a record
    // of ours.
    static std::optional<PartRecord> read(const QString& path);
    // Writes this record at path, replacing whatever had the name (a link is replaced, not
    // followed). False, with the system's reason in error, when it is not all written.
    bool write(const QString& path, QString* error) const;
    // False, with the reason, only when something stays under the name.
    static bool remove(const QString& path, QString* error = nullptr);
};
