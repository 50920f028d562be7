#include "camerarequests.h"

#include <QCoreApplication>

namespace {

// From this generation on, a camera is driven in the newer family where it lists a request.
constexpr int kNewerFamilyFrom = 10;

QString legacySetting(int setting, bool on)
{
    return QStringLiteral("/gp/gpControl/setting/%1/%2").arg(setting).arg(on ? 1 : 0);
}

} // namespace

QUrl CameraRequests::url(const CameraAddress& camera, int model, Action action, bool on)
{
    if (!missingReason(model, action).isEmpty())
        return {};
    const bool newer = model >= kNewerFamilyFrom;
    switch (action) {
    case Action::ShutterOn:
    case Action::ShutterOff: {
        const bool start = action == Action::ShutterOn;
        return newer ? camera.mediaUrl(start ? QStringLiteral("/gopro/camera/shutter/start")
                                             : QStringLiteral("/gopro/camera/shutter/stop"))
                     : camera.commandUrl(start ? QStringLiteral("/gp/gpControl/command/shutter?p=1")
                                               : QStringLiteral("/gp/gpControl/command/shutter?p=0"));
    }
    case Action::Format:
        return camera.url(newer ? CameraAddress::kMediaPort : CameraAddress::kCommandPort,
                          QStringLiteral("/gp/gpControl/command/storage/delete/all"));
    case Action::Sleep:
        return camera.url(newer ? CameraAddress::kMediaPort : CameraAddress::kCommandPort,
                          QStringLiteral("/gp/gpControl/command/system/sleep"));
    case Action::Voice:
        return camera.commandUrl(legacySetting(86, on));
    case Action::QuikCapture:
        return camera.commandUrl(legacySetting(54, on));
    case Action::Gps:
        return newer ? camera.mediaUrl(QStringLiteral("/gopro/camera/setting?setting=83&option=%1").arg(on ? 1 : 0))
                     : camera.commandUrl(legacySetting(83, on));
    }
    return {};
}

QUrl CameraRequests::deleteFile(const CameraAddress& camera, int model, const QString& mediaPath)
{
    if (model >= kNewerFamilyFrom)
        return camera.mediaUrl(QStringLiteral("/gopro/media/delete/file?path=") + CameraAddress::encodedPath(mediaPath));
    return camera.commandUrl(QStringLiteral("/gp/gpControl/command/storage/delete?p=/") + CameraAddress::encodedPath(mediaPath));
}

QUrl CameraRequests::deleteGroup(const CameraAddress& camera, int model, const QString& mediaPath)
{
    return camera.url(model >= kNewerFamilyFrom ? CameraAddress::kMediaPort : CameraAddress::kCommandPort,
                      QStringLiteral("/gp/gpControl/command/storage/delete/group?p=") + CameraAddress::encodedPath(mediaPath));
}

QString CameraRequests::missingReason(int model, Action action)
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("CameraRequests", text); };
    switch (action) {
    case Action::Voice:
    case Action::QuikCapture:
        if (model >= 12)
            return tr("HERO12 and later have no documented request for this over Wi-Fi or USB; "
                      "set it on the camera.");
        break;
    case Action::Gps:
        if (model == 12)
            return tr("The HERO12 Black has no GPS.");
        break;
    default:
        break;
    }
    return {};
}

QUrl CameraRequests::setClock(const CameraAddress& camera, int model, const QDateTime& local, int utcOffsetMinutes,
                              bool dst)
{
    const QDate date = local.date();
    const QTime time = local.time();
    if (model >= 9) {
        QString query = QStringLiteral("date=%1_%2_%3&time=%4_%5_%6")
                            .arg(date.year(), 4, 10, QLatin1Char('0'))
                            .arg(date.month(), 2, 10, QLatin1Char('0'))
                            .arg(date.day(), 2, 10, QLatin1Char('0'))
                            .arg(time.hour(), 2, 10, QLatin1Char('0'))
                            .arg(time.minute(), 2, 10, QLatin1Char('0'))
                            .arg(time.second(), 2, 10, QLatin1Char('0'));
        // The zone is not taken before HERO11.
        if (model >= 11)
            query += QStringLiteral("&tzone=%1&dst=%2").arg(utcOffsetMinutes).arg(dst ? 1 : 0);
        return camera.mediaUrl(QStringLiteral("/gopro/camera/set_date_time?") + query);
    }
    // One byte each, percent-encoded: the year from 2000, month, day, hour, minute, second.
    // QUrl sends a byte that is a digit, a letter or "-._~" as that character, which
    // percent-decodes to the same byte.
    const int year = date.year() - 2000;
    if (model < 5 || year < 0 || year > 255)
        return {};
    QString bytes;
    for (const int value : {year, date.month(), date.day(), time.hour(), time.minute(), time.second()})
        bytes += QStringLiteral("%%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    return camera.commandUrl(QStringLiteral("/gp/gpControl/command/setup/date_time?p=") + bytes);
}

QUrl CameraRequests::getClock(const CameraAddress& camera, int model)
{
    if (model < 11)
        return {};
    return camera.mediaUrl(QStringLiteral("/gopro/camera/get_date_time"));
}
