#include "cameranetwork.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>

namespace cameranetwork {

QNetworkAccessManager* newManager(QObject* parent)
{
    auto* manager = new QNetworkAccessManager(parent);
    manager->setProxy(QNetworkProxy::NoProxy);
    return manager;
}

void dropProxyEnvironment()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY"})
        qunsetenv(name);
}

} // namespace cameranetwork
