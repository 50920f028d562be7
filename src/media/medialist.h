#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The camera's media list (/gopro/media/list, or /gp/gpMediaList of the older cameras: the
// same form) read into media paths ("DIR/NAME"), newest first.
//
// Every listed file is kept: files sharing a "mod" second (bursts, time-lapses) keep their
// list order, and "mod" is read as 64 bits so that times after 2038 still sort. A path listed
// twice is one file, at its newest listing. The newest files read alone for a first screen
// (newest()) are always the head of the whole list.
//
// A burst, time-lapse or night-lapse is listed once, as its first picture "G<ggg><mmmm>.JPG"
// with "g" (the group), "b" and "l" (its first and last member numbers) and "m" (members
// deleted since); the other members are on the card under the same name with their own
// numbers.
class MediaList
{
public:
    enum class Status { Ok, NotJson, NotObject, NoMedia };

    struct Entry {
        QString path;
        qint64 mod = 0;
        qint64 size = -1; // the list's "s" for a single file; -1 when the list does not say
        qint64 bytes = -1; // the list's "s" as it stands: a group's is the whole group's
        // Member numbers of a group, first to last, and those missing; first < 0: no group.
        int groupFirst = -1;
        int groupLast = -1;
        QList<int> groupMissing;

        bool isGroup() const { return groupFirst >= 0; }
        // Files the entry stands for: 1, or the members of its group still on the card.
        int fileCount() const;
        // Media paths of the group's members still on the card, first to last.
        QStringList members() const;
    };

    static MediaList parse(const QByteArray& body);
    static MediaList parse(const QJsonDocument& doc);
    // Only the newest limit files of the list, read in a fraction of the time the whole list
    // takes: a first screen to show while the rest is read. total() counts every file.
    static MediaList newest(const QJsonDocument& doc, int limit);

    Status status() const { return m_status; }
    bool isValid() const { return m_status == Status::Ok; }
    const QList<Entry>& newestFirst() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    // Files in the whole list; more than count() when only the newest were read.
    int total() const { return m_total < 0 ? count() : m_total; }
    bool isComplete() const { return m_total < 0; }
    bool contains(const QString& path) const { return m_index.contains(path); }
    // Place of path in newestFirst(), -1 when not listed.
    int indexOf(const QString& path) const { return m_index.value(path, -1); }
    // Size the list announces for path, -1 when it announces none.
    qint64 listedSize(const QString& path) const;
    bool isGroup(const QString& path) const;
    // The members of the group listed as path; empty when path is no group.
    QStringList members(const QString& path) const;
    // Files on the card, each member of a group counted.
    qint64 fileCount() const { return m_fileCount; }
    // The sizes the list announces, added up (the members of groups have none).
    qint64 listedBytes() const;
    // What the list says path takes on the card, the whole group for a group; 0 when unsaid.
    qint64 listedBytes(const QString& path) const;

    // The same list less paths, in the same order; total() counts as many fewer.
    MediaList without(const QSet<QString>& paths) const;

    // The moment a file was shot, from its listed time: the camera writes its own wall-clock
    // time as if it were UTC, and its clock was set to this PC's local time. Invalid for
    // a time the list does not give (0 or less).
    static QDateTime shotAt(qint64 mod);

    // The file name of a media path: everything after its first "/".
    static QString fileName(const QString& mediaPath);
    // Played rather than shown: camera videos end in upper-case "MP4".
    static bool isVideo(const QString& mediaPath);

private:
    static Status check(const QJsonDocument& doc, QJsonArray* media);
    static Entry entry(const QString& dir, const QString& name, const QJsonObject& file);

    Status m_status = Status::NotJson;
    int m_total = -1;
    qint64 m_fileCount = 0;
    QList<Entry> m_entries;
    QHash<QString, int> m_index;
};
