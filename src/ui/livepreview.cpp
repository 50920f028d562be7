#include "livepreview.h"

#include "cameralink.h"
#include "mediaplayer.h"
#include "previewkeepalive.h"
#include "prompt.h"

#include <QDebug>

namespace {

const char* const kStreamStartOldPath = "/gp/gpControl/execute?p1=gpStream&a1=proto_v2&c1=restart";
// The newer family's stream control is served on port 8080 only, like its keep-alive.
const char* const kStreamStartNewPath = "/gopro/camera/stream/start";
const char* const kStreamStopOldPath = "/gp/gpControl/execute?p1=gpStream&c1=stop";
const char* const kStreamStopNewPath = "/gopro/camera/stream/stop";
// Where the built-in player listens. The camera sends to our address on port 8554, and a UDP
// source bound to the camera's address only works where that is a local address (never on a
// real PC).
const char* const kStreamReceiveUrl = "udp://0.0.0.0:8554";

} // namespace

LivePreview::LivePreview(QWidget* window)
    : QObject(window)
    , m_window(window)
{
}

QUrl LivePreview::startUrl(const CameraAddress& camera, int model)
{
    return model <= 8 ? camera.commandUrl(QLatin1String(kStreamStartOldPath))
                      : camera.mediaUrl(QLatin1String(kStreamStartNewPath));
}

QUrl LivePreview::stopUrl(const CameraAddress& camera, int model)
{
    return model > 8 ? camera.mediaUrl(QLatin1String(kStreamStopNewPath))
                     : camera.commandUrl(QLatin1String(kStreamStopOldPath));
}

QMediaFormat::VideoCodec LivePreview::codec(int model)
{
    return model >= 13 ? QMediaFormat::VideoCodec::H265 : QMediaFormat::VideoCodec::H264;
}

bool LivePreview::canShow(int model)
{
    const QMediaFormat::VideoCodec needed = codec(model);
    // The media back end in use answers: without a decoder the player opens, reports no
    // error and stays black.
    if (QMediaFormat().supportedVideoCodecs(QMediaFormat::Decode).contains(needed))
        return true;
    const QString name = needed == QMediaFormat::VideoCodec::H265 ? QStringLiteral("HEVC (H.265)")
                                                                  : QStringLiteral("H.264");
    Prompt::warning(m_window, tr("Live preview"),
                    tr("This camera sends its preview as %1 video, and no decoder for it is "
                       "installed. Install the package gstreamer1.0-libav (sudo apt install "
                       "gstreamer1.0-libav) and start the preview again, or tick \"3rd\" to "
                       "watch the stream in another player.")
                        .arg(name));
    return false;
}

void LivePreview::started(Camera* camera, int model, bool answering, bool forOtherProgram)
{
    if (answering) {
        m_streaming = camera->id();
        m_model = model;
    }
    // The older cameras end the stream after about 25 s unless told, over UDP, that someone
    // still watches. Nothing streams from a camera that is away.
    const bool keepAlive = model <= 8 && answering;
    PreviewKeepAlive* previewKeepAlive = camera->previewKeepAlive();
    previewKeepAlive->setCamera(camera->address());
    if (forOtherProgram) {
        if (keepAlive)
            previewKeepAlive->startForOtherProgram();
        // The camera sends to this PC, whatever the camera's own address: a player listens
        // here, on any of the PC's addresses.
        Prompt::information(m_window, tr("info"),
                            tr("please view stream %1 in 3rd applications").arg(QStringLiteral("udp://@:8554")));
        return;
    }
    // No parent: the window lives on its own and deletes itself when closed.
    auto* player = new mediaplayer(nullptr, false);
    player->setSource(QUrl(QLatin1String(kStreamReceiveUrl)));
    if (keepAlive)
        previewKeepAlive->startForWindow(player);
    player->activateWindow();
    player->show();
    player->playVideo();
}

void LivePreview::stop(Camera* camera, int model)
{
    if (m_streaming == camera->id())
        m_streaming = 0;
    camera->previewKeepAlive()->stop();
    if (model > 0 && camera->link())
        camera->link()->sendDirect(stopUrl(camera->address(), model).toString());
}

void LivePreview::leave(Camera* camera)
{
    if (m_streaming == camera->id())
        stop(camera, camera->model() > 0 ? camera->model() : m_model);
}
