#include "downloadrules.h"

#include "medialist.h"

#include <QCoreApplication>

#include <limits>

bool DownloadRules::isSafeFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
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

DownloadRules::Verdict DownloadRules::verify(bool transferOk, qint64 written,
                                             qint64 contentLength, qint64 listedSize)
{
    const auto tr = [](const char* text) {
        return QCoreApplication::translate("DownloadRules", text);
    };
    if (!transferOk)
        return {false, tr("transfer failed")};
    if (contentLength >= 0 && written != contentLength)
        return {false, tr("%1 of %2 bytes").arg(written).arg(contentLength)};
    if (listedSize >= 0 && written != listedSize)
        return {false, tr("%1 bytes, the camera lists %2").arg(written).arg(listedSize)};
    return {true, QString()};
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
