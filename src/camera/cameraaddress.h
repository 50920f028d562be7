#pragma once

#include <QHostAddress>
#include <QString>
#include <QUrl>

// Where one camera is and how it is reached. Every request to a camera is formed from its
// address: the camera's own access point (10.5.5.9), the camera's side of a USB cable
// (172.2X.1YZ.51), or its address on the user's home network.
//
// On its access point and a cable a camera answers on two ports: 80 for the older request
// family (commands, status, thumbnails) and 8080 for the newer one and for media files. On the
// home network it serves both families over HTTPS on 443 alone; the credentials and the
// certificate it is trusted by are added by cameranetwork, never carried in the URL.
class CameraAddress
{
public:
    enum class Link { None, AccessPoint, Usb, Home };
    static constexpr int kCommandPort = 80;
    static constexpr int kMediaPort = 8080;

    CameraAddress() = default;
    // The camera's own Wi-Fi: the default, where every camera is at 10.5.5.9.
    static CameraAddress accessPoint();
    static CameraAddress usb(const QHostAddress& camera);
    static CameraAddress home(const QHostAddress& camera);

    bool isValid() const { return m_link != Link::None; }
    Link link() const { return m_link; }
    QHostAddress host() const { return m_host; }

    // http://HOST[:PORT]/PATH?QUERY (https://HOST/PATH?QUERY on the home network, whatever
    // the port); pathAndQuery starts with "/" and is taken as it is (already percent-encoded).
    QUrl url(int port, const QString& pathAndQuery) const;
    QUrl commandUrl(const QString& pathAndQuery) const { return url(kCommandPort, pathAndQuery); }
    QUrl mediaUrl(const QString& pathAndQuery) const { return url(kMediaPort, pathAndQuery); }
    // A request as the model profiles write it (for the access point) sent to this camera
    // instead: the same port, path and query, this camera's host (on the home network: its
    // HTTPS URL). Empty for anything that is not such a request.
    QUrl rehost(const QUrl& written) const;
    // A media path ("100GOPRO/GOPR0001.JPG") for a request's path or query: "/" kept, what
    // would end the path or the query early ("?", "#", "&", blanks) escaped.
    static QString encodedPath(const QString& mediaPath);

    bool operator==(const CameraAddress& other) const
    {
        return m_link == other.m_link && m_host == other.m_host;
    }
    bool operator!=(const CameraAddress& other) const { return !(*this == other); }

private:
    CameraAddress(Link link, const QHostAddress& host)
        : m_link(link)
        , m_host(host)
    {
    }

    Link m_link = Link::None;
    QHostAddress m_host;
};
