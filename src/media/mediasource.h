#pragma once

#include "cameraaddress.h"

#include <QNetworkAccessManager>
#include <QPointer>

// Where the files shown come from: which camera (its id, which every answer is checked
// against before it is shown), where it is reached now, and the camera's own network manager.
// A thumbnail or picture asked of one camera is never shown for another, even where both
// cameras hold a file of the same name.
struct MediaSource
{
    quint64 camera = 0;
    CameraAddress address;
    QPointer<QNetworkAccessManager> network;
    // The camera's model: which requests read its card (see CameraRequests).
    int model = 0;

    bool isValid() const { return camera != 0 && address.isValid() && network; }
    bool operator==(const MediaSource& other) const
    {
        return camera == other.camera && address == other.address && network == other.network
            && model == other.model;
    }
    bool operator!=(const MediaSource& other) const { return !(*this == other); }
};
