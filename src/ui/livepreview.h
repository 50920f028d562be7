#pragma once

#include "camera.h"

#include <QMediaFormat>
#include <QObject>
#include <QUrl>

class QWidget;

// The camera's live preview: the camera is asked to stream to this PC, and the built-in player
// shows it, or the user is told where another program finds it. The older cameras stop after
// about 25 s unless kept alive; a newer camera streams on until it is told to stop, into the
// preview of the next camera, so the camera whose preview runs is told to stop when another
// camera is shown.
class LivePreview : public QObject
{
    Q_OBJECT

public:
    explicit LivePreview(QWidget* window);

    // The requests that start and stop the stream of a camera of model.
    static QUrl startUrl(const CameraAddress& camera, int model);
    static QUrl stopUrl(const CameraAddress& camera, int model);
    // The codec of that model's preview: HEVC from the HERO13 on, H.264 before.
    static QMediaFormat::VideoCodec codec(int model);

    // Whether the built-in player can decode the preview of a camera of model; where it
    // cannot, the user is told what to install.
    bool canShow(int model);

    // The start request has been sent to camera (answering: it went out, rather than being
    // refused): the player opens, or the user is told where to look.
    void started(Camera* camera, int model, bool answering, bool forOtherProgram);
    // Its keep-alive ends, and the stop request goes to camera unless model is 0 (none chosen).
    void stop(Camera* camera, int model);
    // camera is no longer shown: its stream, if it runs, is stopped.
    void leave(Camera* camera);

private:
    QWidget* m_window = nullptr;
    // The camera whose stream was started last and not stopped.
    Camera::Id m_streaming = 0;
    int m_model = 0;
};
