#include "partrecord.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A record is a line of JSON; anything larger was not written by us.
constexpr qint64 kMaxRecordBytes = 4096;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray& data)
{
    const char* at = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, at, size_t(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        at += done;
        left -= done;
    }
    return true;
}
} // namespace

bool PartRecord::isResumable() const
{
    return !serial.isEmpty() && !mediaPath.isEmpty() && size > 0;
}

bool PartRecord::operator==(const PartRecord& other) const
{
    return serial == other.serial && mediaPath == other.mediaPath && size == other.size && mod == other.mod;
}

QString PartRecord::pathFor(const QString& partPath)
{
    return partPath + QLatin1String(".json");
}

std::optional<PartRecord> PartRecord::read(const QString& path)
{
    // O_NONBLOCK: a FIFO planted under the name must not hold the program.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    QByteArray data;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == ::geteuid()
        && st.st_size <= kMaxRecordBytes) {
        data.resize(kMaxRecordBytes + 1);
        qint64 got = 0;
        for (;;) {
            const ssize_t done = ::read(fd, data.data() + got, size_t(data.size() - got));
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                break;
            got += done;
        }
        data.truncate(got > kMaxRecordBytes ? 0 : got);
    }
    ::close(fd);

    const QJsonObject object = QJsonDocument::fromJson(data).object();
    const QJsonValue serial = object.value(QLatin1String("serial"));
    const QJsonValue mediaPath = object.value(QLatin1String("path"));
    const QJsonValue size = object.value(QLatin1String("size"));
    const QJsonValue mod = object.value(QLatin1String("mod"));
    if (!serial.isString() || !mediaPath.isString() || !size.isDouble() || !mod.isDouble())
        return std::nullopt;
    PartRecord record;
    record.serial = serial.toString();
    record.mediaPath = mediaPath.toString();
    record.size = size.toInteger(-1);
    record.mod = mod.toInteger(-1);
    return record;
}

bool PartRecord::write(const QString& path, QString* error) const
{
    const QByteArray name = QFile::encodeName(path);
    if (!remove(path, error))
        return false;
    // O_EXCL: whatever took the name meanwhile is neither followed nor written into.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = systemError();
        return false;
    }
    const QJsonObject object{{QLatin1String("serial"), serial},
                             {QLatin1String("path"), mediaPath},
                             {QLatin1String("size"), size},
                             {QLatin1String("mod"), mod}};
    bool ok = writeAll(fd, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
    if (!ok)
        *error = systemError();
    // The close may be where a full disk or a network share reports the loss.
    if (::close(fd) != 0 && ok) {
        ok = false;
        *error = systemError();
    }
    if (!ok)
        ::unlink(name.constData());
    return ok;
}

bool PartRecord::remove(const QString& path, QString* error)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return true;
    if (error)
        *error = systemError();
    return false;
}
