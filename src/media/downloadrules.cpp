#include "downloadrules.h"

#include "medialist.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <limits>

bool DownloadRules::isSafeFileName(const QString& name)
{
    // A name ending as a download's temporary files do would be taken for one (and removed
    // or written over) by the download of another file; no camera names its files so.
    // Case aside: FAT and exFAT cards and sticks ignore it.
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0)) && !name.endsWith(QLatin1String(".part"), Qt::CaseInsensitive)
        && !name.endsWith(QLatin1String(".part.json"), Qt::CaseInsensitive);
}

QString DownloadRules::localPath(const QString& folder, const QString& mediaPath)
{
    const QString name = MediaList::fileName(mediaPath);
    if (folder.isEmpty() || !isSafeFileName(name))
        return QString();
    return folder + QLatin1Char('/') + name;
}

QString DownloadRules::partPath(const QString& localPath)
{
    return localPath + QLatin1String(".part");
}

QString DownloadRules::numberedPath(const QString& localPath, int n)
{
    const int slash = int(localPath.lastIndexOf(QLatin1Char('/')));
    const int dot = int(localPath.lastIndexOf(QLatin1Char('.')));
    // A leading dot starts a hidden name, not an extension.
    const int cut = dot > slash + 1 ? dot : int(localPath.size());
    return localPath.left(cut) + QStringLiteral(" (%1)").arg(n) + localPath.mid(cut);
}

static bool taken(const QString& path)
{
    // A dangling link still holds the name.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString DownloadRules::freePath(const QString& localPath, const QSet<QString>& exclude)
{
    QString candidate = localPath;
    for (int n = 2; taken(candidate) || exclude.contains(candidate); ++n)
        candidate = numberedPath(localPath, n);
    return candidate;
}

QString DownloadRules::savedCopy(const QString& localPath, qint64 size,
                                 const QSet<QString>& exclude)
{
    QString candidate = localPath;
    for (int n = 2; taken(candidate); ++n) {
        const QFileInfo info(candidate);
        if (info.isFile() && !info.isSymLink() && info.size() == size && !exclude.contains(candidate))
            return candidate;
        candidate = numberedPath(localPath, n);
    }
    return QString();
}

bool DownloadRules::moveWithoutReplacing(const QString& from, const QString& to, QString* error)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    // Some file systems cannot refuse to replace in one step: a hard link can, where there
    // are links; elsewhere the name is checked just before.
    if (errno == EINVAL || errno == ENOSYS) {
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return true;
        }
        if (errno != EEXIST && !taken(to) && ::rename(source.constData(), target.constData()) == 0)
            return true;
    }
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

DownloadRules::Verdict DownloadRules::verify(const Received& received, qint64 listedSize)
{
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("DownloadRules", text);
    };
    if (!received.transferOk)
        return {false, tr("transfer failed")};
    if (received.contentLength >= 0 && received.written != received.contentLength)
        return {false, tr("%1 of %2 bytes").arg(received.written).arg(received.contentLength)};
    // A resumed file is checked on its whole length, against the camera's Content-Range and
    // its list; the kept bytes themselves are taken as they are.
    const qint64 whole = received.kept + received.written;
    if (received.kept > 0 && (received.rangeTotal < 0 || listedSize < 0))
        return {false, tr("resumed without a size to check")};
    if (received.rangeTotal >= 0 && whole != received.rangeTotal)
        return {false, tr("%1 of %2 bytes").arg(whole).arg(received.rangeTotal)};
    if (listedSize >= 0 && whole != listedSize)
        return {false, tr("%1 bytes, the camera lists %2").arg(whole).arg(listedSize)};
    if (received.contentLength < 0 && listedSize < 0)
        return {false, tr("no size given, it could be cut short")};
    return {true, QString()};
}

bool DownloadRules::parseContentRange(const QByteArray& value, qint64* first, qint64* size)
{
    static const QRegularExpression form(QStringLiteral("^bytes (\\d{1,18})-(\\d{1,18})/(\\d{1,18})$"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(value.trimmed()));
    if (!match.hasMatch())
        return false;
    const qint64 from = match.captured(1).toLongLong();
    const qint64 last = match.captured(2).toLongLong();
    const qint64 total = match.captured(3).toLongLong();
    if (from > last || last >= total)
        return false;
    *first = from;
    *size = total;
    return true;
}

std::pair<int, int> DownloadRules::progressRange(qint64 received, qint64 total)
{
    constexpr qint64 intMax = std::numeric_limits<int>::max();
    if (total <= 0)
        return {0, 0};
    received = qBound<qint64>(0, received, total);
    const qint64 divisor = (total - 1) / intMax + 1;
    return {int(received / divisor), int(total / divisor)};
}
