#include "mediastore.h"

#include "childprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

namespace {

// Stable across runs (unlike qHash), so a file always gets the same picture and bytes.
quint32 fnv1a(const QString& text)
{
    quint32 h = 2166136261u;
    for (const char c : text.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return h;
}

std::shared_ptr<const std::string> readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return std::make_shared<const std::string>(file.readAll().toStdString());
}

quint64 sizeOf(const QJsonObject& entry)
{
    const QJsonValue s = entry.value(QStringLiteral("s"));
    return s.isString() ? s.toString().toULongLong() : quint64(s.toDouble());
}

constexpr int kVariants = 12;
const QString kAssetDirName = QStringLiteral("assets-v1");

} // namespace

MediaStore::MediaStore(const QString& mediaDir, quint64 fileBytes)
    : m_mediaDir(mediaDir), m_fileBytes(fileBytes)
{
    QString unused;
    setJson(QByteArrayLiteral("{\"id\":\"1000000000000000000\",\"media\":[]}"), &unused);
}

bool MediaStore::prepareAssets(QString* error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (assetsReady())
        return true;
    QDir base(m_mediaDir);
    if (!base.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("cannot create the media directory ") + m_mediaDir;
        return false;
    }
    const QString assets = base.filePath(kAssetDirName);
    if (!QFile::exists(assets + QStringLiteral("/complete"))) {
        // Made in a private directory and renamed into place, so simulators started side by
        // side never see half-written assets.
        const QString work = base.filePath(QStringLiteral("assets-work-%1").arg(getpid()));
        QDir(work).removeRecursively();
        QDir().mkpath(work);
        std::fprintf(stderr, "camsim: making media assets in %s\n", qPrintable(assets));
        const std::vector<std::string> quiet{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"};
        auto with = [&quiet](std::vector<std::string> args) {
            args.insert(args.begin(), quiet.begin(), quiet.end());
            return args;
        };
        const std::string w = work.toStdString();
        const std::string frames = std::to_string(kVariants);
        const bool made =
            childprocess::run(with({"-f", "lavfi", "-i", "testsrc2=size=1280x960:rate=1", "-vf",
                                    "hue=h=30*t", "-frames:v", frames, "-q:v", "4",
                                    w + "/photo%02d.jpg"}))
            && childprocess::run(with({"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=1", "-vf",
                                       "hue=h=30*t", "-frames:v", frames, "-q:v", "5",
                                       w + "/thumb%02d.jpg"}))
            // Camera-like: H.264 + AAC with the index (moov) at the end.
            && childprocess::run(with({"-f", "lavfi", "-i", "testsrc2=size=640x360:rate=30", "-f",
                                       "lavfi", "-i", "sine=frequency=440:sample_rate=48000", "-t",
                                       "6", "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt",
                                       "yuv420p", "-g", "30", "-c:a", "aac", "-b:a", "96k",
                                       w + "/video.mp4"}));
        if (!made) {
            QDir(work).removeRecursively();
            *error = QStringLiteral("ffmpeg could not make the media assets");
            return false;
        }
        QFile marker(work + QStringLiteral("/complete"));
        marker.open(QIODevice::WriteOnly);
        marker.close();
        if (::rename(qPrintable(work), qPrintable(assets)) != 0)
            QDir(work).removeRecursively(); // another simulator was quicker
    }
    for (int i = 1; i <= kVariants; ++i) {
        auto photo = readWhole(assets + QStringLiteral("/photo%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
        auto thumb = readWhole(assets + QStringLiteral("/thumb%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
        if (!photo || !thumb || photo->size() < 4 || thumb->size() < 4) {
            m_photos.clear();
            m_thumbs.clear();
            *error = QStringLiteral("media assets in %1 are incomplete; remove that directory").arg(assets);
            return false;
        }
        m_photos.push_back(photo);
        m_thumbs.push_back(thumb);
    }
    m_video = readWhole(assets + QStringLiteral("/video.mp4"));
    if (!m_video || m_video->empty()) {
        m_photos.clear();
        m_thumbs.clear();
        *error = QStringLiteral("media assets in %1 are incomplete; remove that directory").arg(assets);
        return false;
    }
    return true;
}

std::shared_ptr<const Blob> MediaStore::jpeg(const QString& mediaPath, bool thumbnail,
                                             quint64 wanted) const
{
    const auto& variants = thumbnail ? m_thumbs : m_photos;
    const auto& picture = variants[fnv1a(mediaPath) % variants.size()];
    // A comment segment right after the start marker names the file.
    const QByteArray text = QByteArrayLiteral("velkamo-camsim ") + mediaPath.toUtf8().left(60000);
    std::string head("\xFF\xD8\xFF\xFE", 4);
    const int length = text.size() + 2;
    head.push_back(char(length >> 8));
    head.push_back(char(length & 0xFF));
    head.append(text.constData(), size_t(text.size()));
    auto blob = std::make_shared<Blob>();
    blob->addMemory(head);
    blob->addMemory(picture, 2, picture->size() - 2);
    if (wanted > blob->size())
        blob->addPattern(wanted - blob->size(), fnv1a(mediaPath)); // after the end marker
    return blob;
}

std::shared_ptr<const Blob> MediaStore::video(quint64 wanted) const
{
    auto blob = std::make_shared<Blob>();
    blob->addMemory(m_video, 0, m_video->size());
    const quint64 natural = m_video->size();
    if (wanted <= natural)
        return blob;
    // Grow to the listed size with a trailing "free" box, which players skip.
    const quint64 pad = wanted - natural;
    std::string box;
    auto be32 = [&box](quint64 v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            box.push_back(char((v >> shift) & 0xFF));
    };
    if (pad >= 16 && pad > 0xFFFFFFFFull) {
        be32(1);
        box += "free";
        be32(pad >> 32);
        be32(pad & 0xFFFFFFFFull);
    } else if (pad >= 8) {
        be32(pad);
        box += "free";
    }
    blob->addMemory(box);
    blob->addPattern(pad - box.size(), 7);
    return blob;
}

std::shared_ptr<const Blob> MediaStore::pattern(const QString& mediaPath, quint64 size) const
{
    auto blob = std::make_shared<Blob>();
    blob->addPattern(size, fnv1a(mediaPath));
    return blob;
}

std::shared_ptr<const Blob> MediaStore::synthesize(const QString& dir, const QString& name,
                                                   const QJsonObject& entry) const
{
    const QString path = dir + QLatin1Char('/') + name;
    const QString ext = QFileInfo(name).suffix().toLower();
    const quint64 wanted = sizeOf(entry);
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return jpeg(path, false, wanted);
    if (ext == QLatin1String("thm"))
        return jpeg(path, true, 0);
    if (ext == QLatin1String("mp4") || ext == QLatin1String("lrv"))
        return video(wanted);
    return pattern(path, wanted ? wanted : 4096);
}

QString MediaStore::realFile(const QString& mediaPath) const
{
    // Never outside the media directory, whatever the name holds.
    const QStringList parts = mediaPath.split(QLatin1Char('/'));
    if (mediaPath.isEmpty() || mediaPath.startsWith(QLatin1Char('/'))
        || parts.contains(QStringLiteral("..")) || mediaPath.contains(QLatin1Char('\0')))
        return {};
    const QString path = m_mediaDir + QStringLiteral("/DCIM/") + mediaPath;
    return QFileInfo(path).isFile() ? path : QString();
}

std::shared_ptr<const Blob> MediaStore::file(const QString& mediaPath)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QString real = realFile(mediaPath);
    if (!real.isEmpty()) {
        auto blob = std::make_shared<Blob>();
        blob->addFile(real.toStdString(), 0, quint64(QFileInfo(real).size()));
        return blob;
    }
    if (!assetsReady())
        return nullptr;
    const int slash = mediaPath.lastIndexOf(QLatin1Char('/'));
    const QString dir = mediaPath.left(slash);
    const QString name = mediaPath.mid(slash + 1);
    auto it = m_entries.constFind(mediaPath);
    if (it != m_entries.constEnd())
        return synthesize(it.value().value(QStringLiteral("d")).toString(),
                          it.value().value(QStringLiteral("n")).toString(), it.value());
    // Companions of a listed video: GH01nnnn.MP4 has GH01nnnn.THM and GL01nnnn.LRV.
    static const QRegularExpression companion(QStringLiteral("^G([HXL])(\\d{2})(\\d{4})\\.(THM|LRV)$"));
    const auto c = companion.match(name);
    if (c.hasMatch()) {
        for (const char* quality : {"H", "X"}) {
            const QString video = dir + QStringLiteral("/G%1%2%3.MP4").arg(QLatin1String(quality),
                                                                           c.captured(2), c.captured(3));
            if (m_entries.contains(video))
                return c.captured(4) == QLatin1String("THM") ? jpeg(mediaPath, true, 0) : this->video(0);
        }
        return nullptr;
    }
    // Members of a listed burst or lapse group: G<group><member>.JPG with b <= member <= l.
    static const QRegularExpression member(QStringLiteral("^G(\\d{3})(\\d{4})\\.JPG$"));
    const auto m = member.match(name);
    if (m.hasMatch()) {
        const int id = m.captured(2).toInt();
        for (auto e = m_entries.constBegin(); e != m_entries.constEnd(); ++e) {
            const QJsonObject& entry = e.value();
            if (entry.value(QStringLiteral("d")).toString() != dir
                || !entry.value(QStringLiteral("n")).toString().startsWith(QLatin1Char('G') + m.captured(1)))
                continue;
            const int b = entry.value(QStringLiteral("b")).toString().toInt();
            const int l = entry.value(QStringLiteral("l")).toString().toInt();
            const QJsonArray missing = entry.value(QStringLiteral("m")).toArray();
            if (id >= b && id <= l && !missing.contains(QJsonValue(QString::number(id))))
                return jpeg(mediaPath, false, 0);
        }
    }
    return nullptr;
}

std::shared_ptr<const Blob> MediaStore::thumbnail(const QString& mediaPath)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!assetsReady() || !m_entries.contains(mediaPath))
        return nullptr;
    return jpeg(mediaPath, true, 0);
}

std::shared_ptr<const Blob> MediaStore::otherPicture(const QString& mediaPath, bool small, quint64 size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!assetsReady())
        return nullptr;
    return jpeg(QStringLiteral("elsewhere ") + mediaPath, small, size);
}

void MediaStore::reindexLocked()
{
    m_entries.clear();
    const QJsonArray media = m_list.value(QStringLiteral("media")).toArray();
    for (const QJsonValue& dirValue : media) {
        const QJsonObject dir = dirValue.toObject();
        const QString d = dir.value(QStringLiteral("d")).toString();
        for (const QJsonValue& fileValue : dir.value(QStringLiteral("fs")).toArray()) {
            QJsonObject entry = fileValue.toObject();
            entry.insert(QStringLiteral("d"), d);
            m_entries.insert(d + QLatin1Char('/') + entry.value(QStringLiteral("n")).toString(), entry);
        }
    }
}

bool MediaStore::setJson(const QByteArray& body, QString* error)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_body = body;
        const QJsonDocument doc = QJsonDocument::fromJson(body);
        m_parsed = doc.isObject();
        m_list = doc.object();
        m_deleted.clear();
        reindexLocked();
        if (m_entries.isEmpty())
            return true;
    }
    return prepareAssets(error);
}

bool MediaStore::generate(int count, QString* error)
{
    if (count > 0 && !prepareAssets(error))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    // Spread over folders as a camera does, a few hundred files each (at least two folders).
    const int folders = count <= 1 ? 1 : std::max(2, (count + 999) / 1000);
    const int perFolder = std::max(1, (count + folders - 1) / folders);
    QJsonArray media;
    QJsonArray files;
    int folder = 100;
    int number = 1;
    int group = 1;
    qint64 time = 1600000000;
    auto flush = [&] {
        if (files.isEmpty())
            return;
        media.append(QJsonObject{{QStringLiteral("d"), QStringLiteral("%1GOPRO").arg(folder)},
                                 {QStringLiteral("fs"), files}});
        files = QJsonArray();
        ++folder;
    };
    auto num4 = [](int n) { return QStringLiteral("%1").arg(n % 10000, 4, 10, QLatin1Char('0')); };
    for (int i = 0; i < count; ++i) {
        if (files.size() >= perFolder)
            flush();
        const QString dir = QStringLiteral("%1GOPRO").arg(folder);
        const int kind = i % 10;
        // Pictures 5 and 6 of every ten are taken in the second of the one before, as a
        // continuous shot leaves them: a list keeps its order for equal times.
        if (kind != 5 && kind != 6)
            time += 47;
        const QString cre = QString::number(time);
        QJsonObject entry;
        if (kind == 2 || kind == 7) {
            const QString name = QStringLiteral("GH01") + num4(number);
            const QString size = QString::number(m_video->size());
            entry = {{QStringLiteral("n"), name + QStringLiteral(".MP4")},
                     {QStringLiteral("cre"), cre},
                     {QStringLiteral("mod"), QString::number(time + 6)},
                     {QStringLiteral("glrv"), size},
                     {QStringLiteral("ls"), QStringLiteral("-1")},
                     {QStringLiteral("s"), size}};
            // Every other video goes on in a second chapter.
            if (kind == 7 && i + 1 < count && files.size() + 1 < perFolder) {
                files.append(entry);
                ++i;
                time += 47;
                entry = {{QStringLiteral("n"), QStringLiteral("GH02") + num4(number) + QStringLiteral(".MP4")},
                         {QStringLiteral("cre"), cre},
                         {QStringLiteral("mod"), QString::number(time)},
                         {QStringLiteral("glrv"), size},
                         {QStringLiteral("ls"), QStringLiteral("-1")},
                         {QStringLiteral("s"), size}};
            }
            ++number;
        } else if (kind == 4 || kind == 9) {
            // A burst (or time-lapse) group of five pictures, listed once; "s" is the size of
            // the file served under the listed name.
            const QString name = QStringLiteral("G%1%2.JPG").arg(group % 1000, 3, 10, QLatin1Char('0')).arg(num4(number));
            entry = {{QStringLiteral("n"), name},
                     {QStringLiteral("cre"), cre},
                     {QStringLiteral("mod"), QString::number(time + 2)},
                     {QStringLiteral("g"), QString::number(group)},
                     {QStringLiteral("b"), QString::number(number % 10000)},
                     {QStringLiteral("l"), QString::number((number + 4) % 10000)},
                     {QStringLiteral("m"), QJsonArray()},
                     {QStringLiteral("t"), kind == 4 ? QStringLiteral("b") : QStringLiteral("t")},
                     {QStringLiteral("s"), QString::number(jpeg(dir + QLatin1Char('/') + name, false, m_fileBytes)->size())}};
            number += 5;
            ++group;
        } else {
            const QString name = QStringLiteral("GOPR") + num4(number) + QStringLiteral(".JPG");
            entry = {{QStringLiteral("n"), name},
                     {QStringLiteral("cre"), cre},
                     {QStringLiteral("mod"), cre},
                     {QStringLiteral("s"), QString::number(jpeg(dir + QLatin1Char('/') + name, false, m_fileBytes)->size())}};
            ++number;
        }
        files.append(entry);
    }
    flush();
    m_list = QJsonObject{{QStringLiteral("id"), QStringLiteral("2510746051348624995")},
                         {QStringLiteral("media"), media}};
    m_parsed = true;
    m_body = QJsonDocument(m_list).toJson(QJsonDocument::Compact);
    m_deleted.clear();
    reindexLocked();
    return true;
}

QByteArray MediaStore::listBody()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_body;
}

int MediaStore::fileCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_entries.size());
}

quint64 MediaStore::usedBytes()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    quint64 used = 0;
    for (const QJsonObject& entry : std::as_const(m_entries))
        used += entry.value(QStringLiteral("s")).toString().toULongLong();
    return used;
}

QStringList MediaStore::deleted()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_deleted;
}

bool MediaStore::remove(const QString& mediaPath, bool group)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_parsed || !m_entries.contains(mediaPath))
        return false;
    if (group && !m_entries.value(mediaPath).contains(QStringLiteral("g")))
        return false;
    QJsonArray media = m_list.value(QStringLiteral("media")).toArray();
    for (int i = 0; i < media.size(); ++i) {
        QJsonObject dir = media.at(i).toObject();
        const QString d = dir.value(QStringLiteral("d")).toString();
        QJsonArray fs = dir.value(QStringLiteral("fs")).toArray();
        for (int k = 0; k < fs.size(); ++k) {
            if (d + QLatin1Char('/') + fs.at(k).toObject().value(QStringLiteral("n")).toString() != mediaPath)
                continue;
            fs.removeAt(k);
            if (fs.isEmpty()) {
                media.removeAt(i);
            } else {
                dir.insert(QStringLiteral("fs"), fs);
                media.replace(i, dir);
            }
            m_list.insert(QStringLiteral("media"), media);
            m_body = QJsonDocument(m_list).toJson(QJsonDocument::Compact);
            m_deleted << mediaPath;
            reindexLocked();
            return true;
        }
    }
    return false;
}

void MediaStore::format()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_parsed)
        m_list = QJsonObject{{QStringLiteral("id"), QStringLiteral("1000000000000000000")}};
    m_list.insert(QStringLiteral("media"), QJsonArray());
    m_parsed = true;
    m_body = QJsonDocument(m_list).toJson(QJsonDocument::Compact);
    reindexLocked();
}
