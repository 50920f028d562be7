#pragma once

#include "cameraaddress.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

// The window's fixed requests in each model's documented form. Up to HERO9 the older family
// on port 80 (/gp/gpControl/...). From HERO10 the forms the documentation lists for the model:
// the newer family's shutter, media delete and GPS setting on port 8080, the few older
// requests it still lists (delete all, delete a group, sleep) on 8080 too, and QuikCapture and
// voice control in the older family up to HERO11, whose cameras still describe them. Where
// nothing is documented for a model there is no request: the window disables the control
// rather than send a guess (over a cable the older port may not answer at all).
class CameraRequests
{
public:
    enum class Action { ShutterOn, ShutterOff, Format, Sleep, Voice, QuikCapture, Gps };

    // For an on/off action, on tells which; an empty URL when the model has none.
    static QUrl url(const CameraAddress& camera, int model, Action action, bool on = true);
    static QUrl deleteFile(const CameraAddress& camera, int model, const QString& mediaPath);
    static QUrl deleteGroup(const CameraAddress& camera, int model, const QString& mediaPath);
    // Why a model has no request for action, for the disabled control's tool tip; empty
    // when it has one.
    static QString missingReason(int model, Action action);

    // Sets the camera's clock to local, a wall-clock time in a zone utcOffsetMinutes from UTC
    // outside daylight saving time, dst telling whether it is in force. HERO11 and later take
    // the zone too, HERO9 and HERO10 the time alone, HERO5 to HERO8 the older family's form.
    // Empty where the model has none.
    static QUrl setClock(const CameraAddress& camera, int model, const QDateTime& local, int utcOffsetMinutes, bool dst);
    // What the camera's clock reads, with its zone (HERO11 and later); empty for older models.
    static QUrl getClock(const CameraAddress& camera, int model);
};
