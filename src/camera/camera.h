#pragma once

#include "cameraaddress.h"
#include "camerastatus.h"
#include "medialist.h"

#include <QObject>
#include <QString>

class CameraLink;
class PreviewKeepAlive;
class QNetworkAccessManager;
class QNetworkReply;

// One camera: where it is, its link (whether it answers, commands), what it tells about
// itself (model, serial, status), its card as last listed, and the preview keep-alive. Every
// camera found keeps its link, polls and status; the window shows the current one and rewires
// itself when another becomes current. Commands go to a camera that is not current only when
// the user sends to all cameras at once.
class Camera : public QObject
{
    Q_OBJECT

public:
    explicit Camera(const CameraAddress& address, QObject* parent = nullptr);

    const CameraAddress& address() const { return m_address; }
    CameraLink* link() const { return m_link; }
    PreviewKeepAlive* previewKeepAlive() const { return m_previewKeepAlive; }

    // The HERO generation (0: not known yet).
    int model() const { return m_model; }
    void setModel(int model);
    // As the camera names itself ("HERO12 Black"); empty when it has not said.
    QString modelName() const { return m_modelName; }
    void setModelName(const QString& name);
    QString serial() const { return m_serial; }
    void setSerial(const QString& serial);

    const CameraStatus& status() const { return m_status; }
    // The card as last listed, kept while another camera is shown.
    const MediaList& media() const { return m_media; }
    void setMedia(const MediaList& media) { m_media = media; }

    // "USB · HERO12 Black · …583" ("Home · …" on the home network): the link, the name, and the serial's end (the host while
    // the serial is not known).
    QString displayName() const;
    bool isOnline() const;
    // "87 % · 23.4 GB free · REC", or "offline": what the camera list shows beside the name.
    QString stateText() const;
    // Not current, its preview keep-alive stops: the preview belongs to the window's camera.
    void setCurrent(bool current);

    // Asks the camera who it is (model name, serial), where it tells: the newer family's info
    // request (HERO12 and later), else the older one's. identified() follows either way.
    void identify();
    // Over a cable, HERO10 and later take commands only once wired control is on.
    void enableWiredControl();

signals:
    // Name, model or serial changed.
    void changed();
    // identify() is done; what the camera told (if anything) is in place.
    void identified();
    // It came, went, or reported a new status.
    void stateChanged();

private:
    void askInfo(const QUrl& url, bool last);

    CameraAddress m_address;
    QNetworkAccessManager* m_manager = nullptr;
    CameraLink* m_link = nullptr;
    PreviewKeepAlive* m_previewKeepAlive = nullptr;
    int m_model = 0;
    QString m_modelName;
    QString m_serial;
    CameraStatus m_status;
    MediaList m_media;
};
