#pragma once

#include "camera.h"
#include "cameraclock.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkReply;

// Which camera the user is talking to, as lines of plain text for its information dialog:
// the model as it names itself, firmware, serial, every way it is reached, its clock and the
// Open GoPro version it speaks. Everything but the version is what the camera and its clock
// already know; the version is asked of the camera by askVersion() (bounded, never waited
// for). changed() follows whatever changes a text.
class CameraFacts : public QObject
{
    Q_OBJECT

public:
    enum class Fact { Model, Firmware, Serial, Links, Clock, OpenGoPro };

    CameraFacts(Camera* camera, const CameraClock* clock, QObject* parent = nullptr);
    // An answer still awaited is not waited for.
    ~CameraFacts() override;

    static QList<Fact> all();
    static QString label(Fact fact);
    // A name for the fact's line ("model", "openGoPro").
    static QString key(Fact fact);
    QString text(Fact fact) const;
    // The camera alone ("HERO12 Black …504"), for a title.
    QString cameraName() const;

    // Asks the camera's Open GoPro version where its model offers one; an answer pending
    // is not asked again. A camera away, or whose model is not known yet, is asked once it
    // answers or tells it.
    void askVersion();

    // "USB · 172.25.104.51", "Wi-Fi · " and the access point's address, "Home network · 192.168.50.103".
    static QString linkText(const CameraAddress& address);
    // The version in a /gopro/version answer ({"version":"2.0"}); empty when there is none.
    static QString readVersion(const QByteArray& body);

signals:
    void changed();

private:
    enum class Version { NotAsked, Asking, Offered, NotOffered, NoAnswer };

    QString modelText() const;
    QString linksText() const;
    QString clockText() const;
    QString versionText() const;
    void versionAnswered(QNetworkReply* reply);

    QPointer<Camera> m_camera;
    QPointer<const CameraClock> m_clock;
    Camera::Id m_id = 0;
    Version m_version = Version::NotAsked;
    bool m_wanted = false;
    QString m_versionText;
    QPointer<QNetworkReply> m_versionReply;
};
