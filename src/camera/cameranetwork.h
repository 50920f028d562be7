#pragma once

class QNetworkAccessManager;
class QObject;

// The camera is reached directly on its own Wi-Fi, never through a proxy: on managed PCs
// http_proxy is often set, and a proxy's error pages would read as answers of a camera
// that is not there.
namespace cameranetwork {

// A network access manager for requests to the camera; https ones go only to the cameras
// HomeCameraTrust knows, with their credentials and pinned root.
QNetworkAccessManager* newManager(QObject* parent);

// The media back ends (GStreamer's HTTP source, FFmpeg) take their proxy from the
// environment; this program talks to nobody but the camera, so it drops those variables
// before a player reads them.
void dropProxyEnvironment();

} // namespace cameranetwork
