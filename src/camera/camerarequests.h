#pragma once

#include "cameraaddress.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

// Every fixed request the program sends a camera, in the form the camera's model family is
// documented to take. One table, by family:
//
// - HERO5 to HERO8: the older family, /gp/gpControl/... on port 80; the card through
//   /gp/gpMediaList (8080) and /gp/gpMediaMetadata (80).
// - HERO9: the older family for capture and settings, but the card through the documented
//   media requests on 8080 (/gopro/media/list, /gopro/media/thumbnail, /gopro/media/delete/file),
//   and the few older requests the documentation keeps (delete all, delete a group, sleep) on
//   8080 too. /gp/gpMediaList and /gp/gpMediaMetadata were never documented, and the maker no
//   longer lists the former from HERO12.
// - HERO10 on: the newer family's shutter and GPS setting on 8080 as well; QuikCapture and
//   voice control in the older family up to HERO11, whose cameras still describe them.
//
// Where nothing is documented for a model there is no request: the window disables the
// control rather than send a guess (over a cable the older port may not answer at all).
class CameraRequests
{
public:
    enum class Action {
        ShutterOn,
        ShutterOff,
        Format,
        Sleep,
        Voice,
        QuikCapture,
        Gps,
        // Faster transfers while files are offloaded (HERO9 on).
        Turbo,
        // What keeps the camera's Wi-Fi from sleeping and tells that it is there.
        KeepAlive,
        MediaList,
    };

    // For an on/off action, on tells which; an empty URL when the model has none.
    static QUrl url(const CameraAddress& camera, int model, Action action, bool on = true);
    static QUrl deleteFile(const CameraAddress& camera, int model, const QString& mediaPath);
    static QUrl deleteGroup(const CameraAddress& camera, int model, const QString& mediaPath);
    static QUrl thumbnail(const CameraAddress& camera, int model, const QString& mediaPath);
    // The file itself: the same request for every model.
    static QUrl file(const CameraAddress& camera, const QString& mediaPath);
    // The older list, asked once of a HERO9 to HERO11 whose documented list answers 404 (a
    // HERO10 has done so until its battery was pulled); empty for every other model.
    static QUrl olderMediaList(const CameraAddress& camera, int model);
    // local: the camera's wall-clock time to set; utcOffsetMinutes and dst go only to the
    // models that take them (HERO11 on).
    static QUrl setClock(const CameraAddress& camera, int model, const QDateTime& local,
                         int utcOffsetMinutes, bool dst);
    // Empty for models that cannot be asked their time over HTTP (before HERO11).
    static QUrl getClock(const CameraAddress& camera, int model);
    // The Open GoPro version the camera speaks ({"version":"2.0"}); empty before HERO9,
    // which never offered it.
    static QUrl openGoProVersion(const CameraAddress& camera, int model);
    // Over a cable, from HERO10: the host's control of the camera on or off (off before webcam
    // mode); empty on other links and models.
    static QUrl wiredControl(const CameraAddress& camera, int model, bool on);

    // Webcam mode (HERO9 on). Start: res and fov as the camera numbers them, port where the model
    // takes one (HERO11 on; 0: the camera's own 8554).
    enum class Webcam { Status, Stop, Exit };
    static QUrl webcamStart(const CameraAddress& camera, int model, int res, int fov, quint16 port);
    static QUrl webcam(const CameraAddress& camera, int model, Webcam request);

    // Why a model has no request for action, for the disabled control's tool tip; empty
    // when it has one (or when the action has no control).
    static QString missingReason(int model, Action action);
};
