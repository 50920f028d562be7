#include "camerarequests.h"

#include <QCoreApplication>
#include <QDate>
#include <QTime>

namespace {

// From HERO9 the card is read, cleared and offloaded through the documented media requests.
constexpr int kDocumentedMediaFrom = 9;
// From HERO10 capture and GPS are driven in the newer family too.
constexpr int kNewerFamilyFrom = 10;
// HERO11 on take the time zone with the time, and tell their time when asked.
constexpr int kZonedClockFrom = 11;

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
    const bool documentedMedia = model >= kDocumentedMediaFrom;
    // The older requests the documentation keeps for these cameras are served on 8080.
    const int keptPort = documentedMedia ? CameraAddress::kMediaPort : CameraAddress::kCommandPort;
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
        return camera.url(keptPort, QStringLiteral("/gp/gpControl/command/storage/delete/all"));
    case Action::Sleep:
        return camera.url(keptPort, QStringLiteral("/gp/gpControl/command/system/sleep"));
    case Action::Voice:
        return camera.commandUrl(legacySetting(86, on));
    case Action::QuikCapture:
        return camera.commandUrl(legacySetting(54, on));
    case Action::Gps:
        return newer ? camera.mediaUrl(QStringLiteral("/gopro/camera/setting?setting=83&option=%1").arg(on ? 1 : 0))
                     : camera.commandUrl(legacySetting(83, on));
    case Action::Turbo:
        if (!documentedMedia)
            return {};
        return camera.mediaUrl(QStringLiteral("/gopro/media/turbo_transfer?p=%1").arg(on ? 1 : 0));
    case Action::KeepAlive:
        // The older cameras have no such request: their status request is what is polled.
        return documentedMedia ? camera.mediaUrl(QStringLiteral("/gopro/camera/keep_alive"))
                               : camera.commandUrl(QStringLiteral("/gp/gpControl/status"));
    case Action::MediaList:
        return camera.mediaUrl(documentedMedia ? QStringLiteral("/gopro/media/list")
                                               : QStringLiteral("/gp/gpMediaList"));
    }
    return {};
}

QUrl CameraRequests::deleteFile(const CameraAddress& camera, int model, const QString& mediaPath)
{
    if (model >= kDocumentedMediaFrom)
        return camera.mediaUrl(QStringLiteral("/gopro/media/delete/file?path=") + CameraAddress::encodedPath(mediaPath));
    return camera.commandUrl(QStringLiteral("/gp/gpControl/command/storage/delete?p=/") + CameraAddress::encodedPath(mediaPath));
}

QUrl CameraRequests::deleteGroup(const CameraAddress& camera, int model, const QString& mediaPath)
{
    return camera.url(model >= kDocumentedMediaFrom ? CameraAddress::kMediaPort : CameraAddress::kCommandPort,
                      QStringLiteral("/gp/gpControl/command/storage/delete/group?p=") + CameraAddress::encodedPath(mediaPath));
}

QUrl CameraRequests::thumbnail(const CameraAddress& camera, int model, const QString& mediaPath)
{
    if (model >= kDocumentedMediaFrom)
        return camera.mediaUrl(QStringLiteral("/gopro/media/thumbnail?path=") + CameraAddress::encodedPath(mediaPath));
    return camera.commandUrl(QStringLiteral("/gp/gpMediaMetadata?p=") + CameraAddress::encodedPath(mediaPath));
}

QUrl CameraRequests::file(const CameraAddress& camera, const QString& mediaPath)
{
    return camera.mediaUrl(QStringLiteral("/videos/DCIM/") + CameraAddress::encodedPath(mediaPath));
}

QUrl CameraRequests::olderMediaList(const CameraAddress& camera, int model)
{
    // HERO12 and later are no longer listed as having it: nothing to fall back on there.
    if (model < kDocumentedMediaFrom || model >= 12)
        return {};
    return camera.mediaUrl(QStringLiteral("/gp/gpMediaList"));
}

QUrl CameraRequests::setClock(const CameraAddress& camera, int model, const QDateTime& local,
                              int utcOffsetMinutes, bool dst)
{
    const QDate date = local.date();
    const QTime time = local.time();
    if (model >= kDocumentedMediaFrom) {
        QString query = QStringLiteral("/gopro/camera/set_date_time?date=%1&time=%2")
                            .arg(date.toString(QStringLiteral("yyyy_MM_dd")), time.toString(QStringLiteral("HH_mm_ss")));
        if (model >= kZonedClockFrom)
            query += QStringLiteral("&tzone=%1&dst=%2").arg(utcOffsetMinutes).arg(dst ? 1 : 0);
        return camera.mediaUrl(query);
    }
    // The older family takes six bytes, each percent-encoded: year since 2000, month, day,
    // hour, minute, second. QUrl sends a byte that is a plain character ("0", "-") as that
    // character, which means the same.
    const int year = date.year() - 2000;
    if (year < 0 || year > 255)
        return {};
    QString query = QStringLiteral("/gp/gpControl/command/setup/date_time?p=");
    for (const int byte : {year, date.month(), date.day(), time.hour(), time.minute(), time.second()})
        query += QLatin1Char('%') + QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return camera.commandUrl(query);
}

QUrl CameraRequests::getClock(const CameraAddress& camera, int model)
{
    if (model < kZonedClockFrom)
        return {};
    return camera.mediaUrl(QStringLiteral("/gopro/camera/get_date_time"));
}

QUrl CameraRequests::openGoProVersion(const CameraAddress& camera, int model)
{
    if (model < kDocumentedMediaFrom)
        return {};
    return camera.mediaUrl(QStringLiteral("/gopro/version"));
}

QUrl CameraRequests::wiredControl(const CameraAddress& camera, int model, bool on)
{
    if (camera.link() != CameraAddress::Link::Usb || model < kNewerFamilyFrom)
        return {};
    return camera.mediaUrl(QStringLiteral("/gopro/camera/control/wired_usb?p=%1").arg(on ? 1 : 0));
}

QUrl CameraRequests::webcamStart(const CameraAddress& camera, int model, int res, int fov, quint16 port)
{
    if (model < kDocumentedMediaFrom)
        return {};
    QString query = QStringLiteral("/gopro/webcam/start?res=%1&fov=%2").arg(res).arg(fov);
    // HERO9 and HERO10 send to 8554 and refuse the parameter.
    if (port != 0 && model >= 11)
        query += QStringLiteral("&port=%1").arg(port);
    return camera.mediaUrl(query);
}

QUrl CameraRequests::webcam(const CameraAddress& camera, int model, Webcam request)
{
    if (model < kDocumentedMediaFrom)
        return {};
    switch (request) {
    case Webcam::Status:
        return camera.mediaUrl(QStringLiteral("/gopro/webcam/status"));
    case Webcam::Stop:
        return camera.mediaUrl(QStringLiteral("/gopro/webcam/stop"));
    case Webcam::Exit:
        return camera.mediaUrl(QStringLiteral("/gopro/webcam/exit"));
    }
    return {};
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
