#pragma once

#include "partrecord.h"

#include <QString>

// The temporary file a download is written to (NAME.part beside its real name), held through
// its own descriptor so that every error of the write and of the close is seen: network
// shares and full disks often report lost data only at close.
//
// It is locked while open: another download into the same folder never takes it over, and a
// crash leaves it unlocked for the next batch to resume. Its PartRecord beside it says what it
// is the beginning of; only the holder of the lock touches it, and it goes with the file.
class PartFile
{
public:
    enum class Opened {
        Fresh,    // made anew, empty
        Leftover, // a regular file of ours left by an earlier run; size() bytes in it
        Busy,     // locked by a download that is still running
        Failed,   // see errorString()
    };

    PartFile() = default;
    ~PartFile(); // discards an open file
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Opens path for writing at its end. Anything there that is not a plain file of ours
    // (a symbolic link, a hard link to another name, a device) is removed, never followed.
    Opened open(const QString& path);
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    qint64 size() const { return m_size; }

    // Whether the leftover opened holds the beginning of wanted: its record names that very
    // file, as listed now, and it is shorter than the listed size.
    bool continues(const PartRecord& wanted) const;
    // Empties the file and records it as the beginning of wanted, where wanted may ever be
    // continued (else no record stays).
    bool restart(const PartRecord& wanted);
    // The file is whole: nothing of it is to be continued any more. Done before it takes its
    // real name, so that a record never outlives its file under the same name.
    void dropRecord();

    // Drops what the file holds, to be written from the start.
    bool truncate();
    bool write(const char* data, qint64 length);
    // Closes the descriptor; false when the system reports that data was lost.
    bool close();
    // Removes it and its record, and closes it.
    void discard();
    QString errorString() const { return m_error; }

private:
    bool fail();
    QString recordPath() const { return PartRecord::pathFor(m_path); }

    int m_fd = -1;
    QString m_path;
    qint64 m_size = 0;
    QString m_error;
};
