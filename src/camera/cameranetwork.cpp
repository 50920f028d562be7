#include "cameranetwork.h"

#include "cameranetworkmanager.h"

namespace cameranetwork {

QNetworkAccessManager* newManager(QObject* parent)
{
    return new CameraNetworkManager(parent);
}

void dropProxyEnvironment()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY"})
        qunsetenv(name);
}

} // namespace cameranetwork
