#include "recordingproxy.h"

#include <QTcpSocket>

RecordingProxy::RecordingProxy(QObject* parent)
    : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            ++m_connections;
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray request = socket->readAll();
                if (m_firstRequest.isEmpty())
                    m_firstRequest = request.left(200);
                socket->write("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool RecordingProxy::start()
{
    if (!listen(QHostAddress::LocalHost))
        return false;
    const QByteArray url = "http://127.0.0.1:" + QByteArray::number(serverPort());
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "all_proxy", "ALL_PROXY"})
        qputenv(name, url);
    return true;
}
