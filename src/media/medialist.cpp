#include "medialist.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <vector>

namespace {

// Camera values are strings of decimal digits; anything else means "not given".
qint64 decimal(const QJsonValue& value, qint64 fallback)
{
    if (!value.isString())
        return fallback;
    bool ok = false;
    const qint64 number = value.toString().toLongLong(&ok, 10);
    return ok ? number : fallback;
}

// A directory name becomes part of every URL and of the path handle; one that could step
// out of DCIM or split the handle is not a camera folder.
bool usableDirectory(const QString& dir)
{
    return !dir.isEmpty() && dir != QLatin1String(".") && dir != QLatin1String("..")
        && !dir.contains(QLatin1Char('/')) && !dir.contains(QLatin1Char('\\'))
        && !dir.contains(QChar(0));
}


} // namespace

// A group needs a name of its own kind ("G", three digits of group, four of member) and a
// sane member range; an entry that has neither is taken for a single file.
MediaList::Entry MediaList::entry(const QString& dir, const QString& name, const QJsonObject& file)
{
    static const QRegularExpression groupName(QStringLiteral("^G\\d{7}\\.[A-Za-z0-9]+$"));
    Entry entry;
    entry.path = dir + QLatin1Char('/') + name;
    entry.mod = decimal(file.value(QLatin1String("mod")), 0);
    const bool group = file.contains(QLatin1String("g"));
    if (group && groupName.match(name).hasMatch()) {
        const qint64 first = decimal(file.value(QLatin1String("b")), -1);
        const qint64 last = decimal(file.value(QLatin1String("l")), -1);
        if (first >= 0 && first <= last && last <= 9999) {
            entry.groupFirst = int(first);
            entry.groupLast = int(last);
            for (const QJsonValue& missing : file.value(QLatin1String("m")).toArray()) {
                const qint64 number = decimal(missing, -1);
                if (number >= first && number <= last && !entry.groupMissing.contains(int(number)))
                    entry.groupMissing.append(int(number));
            }
        }
    }
    // A group's "s" is the size of the whole group, not of the file its name names.
    entry.bytes = std::max<qint64>(-1, decimal(file.value(QLatin1String("s")), -1));
    if (!group)
        entry.size = entry.bytes;
    return entry;
}

int MediaList::Entry::fileCount() const
{
    return isGroup() ? groupLast - groupFirst + 1 - int(groupMissing.size()) : 1;
}

QStringList MediaList::Entry::members() const
{
    QStringList paths;
    if (!isGroup())
        return paths;
    const int slash = int(path.indexOf(QLatin1Char('/')));
    // DIR/G001 and .JPG around the member's number.
    const QString head = path.left(slash + 5);
    const QString tail = path.mid(slash + 9);
    for (int number = groupFirst; number <= groupLast; ++number) {
        if (!groupMissing.contains(number))
            paths << head + QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0')) + tail;
    }
    return paths;
}

MediaList::Status MediaList::check(const QJsonDocument& doc, QJsonArray* media)
{
    if (doc.isNull())
        return Status::NotJson;
    if (!doc.isObject())
        return Status::NotObject;
    const QJsonObject root = doc.object();
    if (!root.contains(QLatin1String("media")))
        return Status::NoMedia;
    *media = root.value(QLatin1String("media")).toArray();
    return Status::Ok;
}

MediaList MediaList::parse(const QByteArray& body)
{
    return parse(QJsonDocument::fromJson(body));
}

MediaList MediaList::parse(const QJsonDocument& doc)
{
    MediaList list;
    QJsonArray media;
    list.m_status = check(doc, &media);
    if (!list.isValid())
        return list;

    for (const QJsonValue& dirValue : media) {
        if (!dirValue.isObject())
            continue;
        const QJsonObject dirObject = dirValue.toObject();
        const QString dir = dirObject.value(QLatin1String("d")).toString();
        if (!usableDirectory(dir)) {
            qDebug() << "media list: directory skipped, unusable name" << dir;
            continue;
        }
        const QJsonArray files = dirObject.value(QLatin1String("fs")).toArray();
        for (const QJsonValue& fileValue : files) {
            const QJsonObject file = fileValue.toObject();
            const QString name = file.value(QLatin1String("n")).toString();
            if (!name.isEmpty())
                list.m_entries.append(MediaList::entry(dir, name, file));
        }
    }

    std::stable_sort(list.m_entries.begin(), list.m_entries.end(),
                     [](const Entry& a, const Entry& b) { return a.mod > b.mod; });
    // One path is one file on the card. Listed twice, it stays where its newest listing puts
    // it, as in the first screen newest() reads: a tile must not move when the whole list
    // follows.
    qsizetype kept = 0;
    for (qsizetype i = 0; i < list.m_entries.size(); ++i) {
        if (list.m_index.contains(list.m_entries.at(i).path))
            continue;
        list.m_index.insert(list.m_entries.at(i).path, int(kept));
        list.m_fileCount += list.m_entries.at(i).fileCount();
        if (i != kept)
            list.m_entries[kept] = std::move(list.m_entries[i]);
        ++kept;
    }
    list.m_entries.resize(kept);
    return list;
}

MediaList MediaList::newest(const QJsonDocument& doc, int limit)
{
    MediaList list;
    QJsonArray media;
    list.m_status = check(doc, &media);
    if (!list.isValid())
        return list;

    // Times and places first, no names: the names of the newest only are read after. The
    // newest few are kept in a heap whose top is the oldest of them.
    struct Key {
        qint64 mod;
        int order; // in the list, for files of one time
        int dir;
        int file;
    };
    const auto newer = [](const Key& a, const Key& b) {
        return a.mod != b.mod ? a.mod > b.mod : a.order < b.order;
    };
    // A few more than wanted: a name may turn out empty or listed twice.
    const size_t wanted = size_t(std::max(0, limit)) + 16;
    std::vector<Key> keys;
    keys.reserve(wanted + 1);
    QHash<int, QString> dirs;
    int total = 0;
    for (int d = 0; d < media.size(); ++d) {
        const QJsonObject dirObject = media.at(d).toObject();
        const QString dir = dirObject.value(QLatin1String("d")).toString();
        if (!media.at(d).isObject() || !usableDirectory(dir))
            continue;
        dirs.insert(d, dir);
        const QJsonArray files = dirObject.value(QLatin1String("fs")).toArray();
        for (int f = 0; f < files.size(); ++f) {
            const QJsonObject file = files.at(f).toObject();
            if (!file.value(QLatin1String("n")).isString())
                continue;
            keys.push_back({decimal(file.value(QLatin1String("mod")), 0), total++, d, f});
            std::push_heap(keys.begin(), keys.end(), newer);
            if (keys.size() > wanted) {
                std::pop_heap(keys.begin(), keys.end(), newer);
                keys.pop_back();
            }
        }
    }
    list.m_total = total;
    std::sort_heap(keys.begin(), keys.end(), newer);
    for (const Key& key : keys) {
        if (list.m_entries.size() >= limit)
            break;
        const QJsonObject dirObject = media.at(key.dir).toObject();
        const QJsonObject file = dirObject.value(QLatin1String("fs")).toArray().at(key.file).toObject();
        const QString name = file.value(QLatin1String("n")).toString();
        if (name.isEmpty() || list.m_index.contains(dirs.value(key.dir) + QLatin1Char('/') + name))
            continue;
        const Entry entry = MediaList::entry(dirs.value(key.dir), name, file);
        list.m_index.insert(entry.path, int(list.m_entries.size()));
        list.m_fileCount += entry.fileCount();
        list.m_entries.append(entry);
    }
    return list;
}

MediaList MediaList::without(const QSet<QString>& paths) const
{
    if (paths.isEmpty())
        return *this;
    MediaList list;
    list.m_status = m_status;
    for (const Entry& entry : m_entries) {
        if (paths.contains(entry.path))
            continue;
        list.m_index.insert(entry.path, int(list.m_entries.size()));
        list.m_fileCount += entry.fileCount();
        list.m_entries.append(entry);
    }
    if (m_total >= 0)
        list.m_total = m_total - int(m_entries.size() - list.m_entries.size());
    return list;
}

qint64 MediaList::listedBytes() const
{
    qint64 bytes = 0;
    for (const Entry& entry : m_entries)
        bytes += std::max<qint64>(0, entry.bytes);
    return bytes;
}

qint64 MediaList::listedBytes(const QString& path) const
{
    const auto it = m_index.constFind(path);
    return it == m_index.constEnd() ? 0 : std::max<qint64>(0, m_entries.at(*it).bytes);
}

qint64 MediaList::listedSize(const QString& path) const
{
    const auto it = m_index.constFind(path);
    return it == m_index.constEnd() ? -1 : m_entries.at(*it).size;
}

bool MediaList::isGroup(const QString& path) const
{
    const auto it = m_index.constFind(path);
    return it != m_index.constEnd() && m_entries.at(*it).isGroup();
}

QStringList MediaList::members(const QString& path) const
{
    const auto it = m_index.constFind(path);
    return it == m_index.constEnd() ? QStringList() : m_entries.at(*it).members();
}

QString MediaList::fileName(const QString& mediaPath)
{
    const int slash = mediaPath.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : mediaPath.mid(slash + 1);
}

bool MediaList::isVideo(const QString& mediaPath)
{
    return mediaPath.endsWith(QLatin1String("MP4"));
}

QDateTime MediaList::shotAt(qint64 mod)
{
    if (mod <= 0)
        return {};
    const QDateTime wallClock = QDateTime::fromSecsSinceEpoch(mod, QTimeZone::utc());
    return QDateTime(wallClock.date(), wallClock.time(), QTimeZone::systemTimeZone());
}
