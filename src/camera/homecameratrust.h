#pragma once

#include "homenetworkcamera.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSslCertificate>
#include <QString>

class QNetworkRequest;

// The cameras reached on the home network, by address: the credentials each request to one
// carries and the only certificate authority its answers are trusted by (its own root). One
// for the process, so that every network manager made by cameranetwork consults the same.
//
// A camera whose certificate does not verify, or that refuses its password, is refused from
// then on: nothing more is sent to it until it is trusted again (set up over Bluetooth).
// refused() tells of that once.
class HomeCameraTrust : public QObject
{
    Q_OBJECT

public:
    enum class Refusal { Certificate, Password };
    Q_ENUM(Refusal)

    static HomeCameraTrust* instance();

    // Registers the camera at its address (again, lifting a refusal); an earlier address of
    // the same serial is forgotten. False, and nothing registered, for an incomplete camera or
    // a root that is no certificate.
    bool trust(const HomeNetworkCamera& camera);
    void forget(const QHostAddress& host);
    bool isRegistered(const QHostAddress& host) const;
    bool isRefused(const QHostAddress& host) const;

    // Adds the credentials and the pinned trust to an https request for a registered camera
    // that is not refused. False (request unchanged) otherwise: it must not be sent. why says
    // then why not.
    bool prepare(QNetworkRequest* request, QString* why = nullptr) const;
    // The request to host failed for one of these reasons: refused from now on.
    void refuse(const QHostAddress& host, Refusal refusal);

    // The words the user is told.
    static QString message(const QHostAddress& host, Refusal refusal);

signals:
    void refused(const QHostAddress& host, HomeCameraTrust::Refusal refusal, const QString& message);
    // What a request to host carries changed: connections kept open carry the old trust.
    void changed(const QHostAddress& host);

private:
    struct Entry {
        QString serial;
        QByteArray authorization;
        QList<QSslCertificate> roots;
        bool refused = false;
    };
    using QObject::QObject;

    QHash<QString, Entry> m_cameras; // by address as text
};
