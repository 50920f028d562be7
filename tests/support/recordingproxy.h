#pragma once

#include <QByteArray>
#include <QTcpServer>

// An HTTP proxy that only records: it answers every connection with 502, as a managed PC's
// proxy would for an address it cannot reach. start() also names it in the environment
// (http_proxy and friends), where Qt, GStreamer and FFmpeg look for a proxy.
class RecordingProxy : public QTcpServer
{
    Q_OBJECT
public:
    explicit RecordingProxy(QObject* parent = nullptr);
    bool start();
    int connections() const { return m_connections; }
    // What the first connection sent, for the failure message.
    QByteArray firstRequest() const { return m_firstRequest; }

private:
    int m_connections = 0;
    QByteArray m_firstRequest;
};
