#pragma once

#include "cameraaddress.h"
#include "camerainfo.h"
#include "camerastatus.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class CameraLink;
class PreviewKeepAlive;
class QNetworkAccessManager;
class QNetworkReply;

// One camera, whatever reaches it: its access point, a USB cable, the home network. Each way is
// a link of its own (an address, a CameraLink that polls it); the camera's requests go by its
// route: the first link in the order cable, home network, access point that answers, and was
// found to be this camera. What it tells about itself (serial, model, name, status) is kept
// here; its card and ticks are the media side's, by id.
//
// A link that answers again is asked who is there before it counts: an access point may be
// another camera's by now. Then the link is not this camera's (otherCameraAt()).
class Camera : public QObject
{
    Q_OBJECT

public:
    // Never reused within a run: what an action is bound to.
    using Id = quint64;

    // A camera reached by nothing yet: addAddress() gives it its ways.
    explicit Camera(QObject* parent = nullptr);

    Id id() const { return m_id; }

    // The route: where requests to the camera go now.
    const CameraAddress& address() const;
    CameraLink* link() const;
    QList<CameraAddress> addresses() const;
    bool hasAddress(const CameraAddress& address) const;
    bool hasLinks() const { return !m_ways.isEmpty(); }
    // The order requests prefer ways in, lowest first: a cable is fastest and needs nothing;
    // the home network carries the user's other traffic; the access point is the camera's own
    // and slowest.
    static int preference(CameraAddress::Link link);
    // Another way to the camera. answered: the camera was heard there just now (it told who
    // it is), so the link counts as answering at once. Each link polls from its start.
    void addAddress(const CameraAddress& address, bool answered = false);
    // That way is gone (a cable pulled, the access point now another camera's).
    void removeAddress(const CameraAddress& address);
    // The camera answers at address and was found to be itself there.
    bool answersAt(const CameraAddress& address) const;

    // Every request to the camera other than its polls and commands (its card, thumbnails,
    // pictures, downloads, identity): one manager for this camera alone, so that what
    // concerns another camera (a trust cleared, a connection dropped) never cuts these.
    QNetworkAccessManager* network() const { return m_network; }
    PreviewKeepAlive* previewKeepAlive() const { return m_previewKeepAlive; }

    // The HERO generation (0: not known yet).
    int model() const { return m_model; }
    // A model guessed for the camera (remembered, or chosen by the user).
    void setModel(int model);
    // As the camera names itself ("HERO12 Black"); empty when it has not said.
    QString modelName() const { return m_modelName; }
    // A name remembered for the camera, taken while it has not told its own.
    void setModelName(const QString& name);
    QString serial() const { return m_serial; }
    void setSerial(const QString& serial);
    // What the camera told of itself (over HTTP or Bluetooth); an empty name or model 0
    // changes nothing.
    void tell(const QString& modelName, int model);
    // Whether the model was told by the camera, not guessed for it.
    bool modelWasTold() const { return m_modelTold; }
    // As the camera told it ("H23.01.01.10.00"); empty until it has. An empty one changes
    // nothing.
    QString firmware() const { return m_firmware; }
    void setFirmware(const QString& firmware);

    const CameraStatus& status() const { return m_status; }

    // "USB · HERO12 Black · …583" ("Home · …" on the home network): the route, the name, and
    // the serial's end (the host while the serial is not known).
    QString displayName() const;
    // "HERO12 Black …583": the camera alone, for questions about it.
    QString shortName() const;
    // Some link answers and was found to be this camera.
    bool isOnline() const;
    // "87 % · 23.4 GB free · REC", or "offline": what the camera list shows beside the name.
    QString stateText() const;
    // Not current, its preview keep-alive stops: the preview belongs to the window's camera.
    void setCurrent(bool current);

    // A request whose answer the caller reads (a reply it owns), bounded as replies from the
    // camera are.
    QNetworkReply* request(const QUrl& url, qint64 maxBytes, int deadlineMs);

    // Asks the camera, at its route, who it is; identified() follows either way.
    void identify();
    // Over a cable, HERO10 and later take commands only once wired control is on.
    // wiredControlAnswered() follows, whatever the answer.
    void enableWiredControl();

signals:
    // Name, model or serial changed.
    void changed();
    // An identity question was answered (or not at all); what the camera told is in place.
    void identified();
    // The link at address answered and was found to be this camera.
    void linkConfirmed(const CameraAddress& address);
    // It came, went, or reported a new status.
    void stateChanged();
    // The camera answers (again), or no longer does.
    void cameOnline();
    void wentOffline();
    // Requests go another way from now on (a cable plugged or pulled).
    void routeChanged();
    // Of the route only:
    void statusReceived(const CameraStatus& status);
    void cardCommandsAnswered();
    // The camera answered the request to switch wired control on (or did not answer at all).
    void wiredControlAnswered();
    void commandFailed(const QUrl& command, const QString& why);
    void commandTaken(const QUrl& command);
    // The link at address answers as another camera: it is that camera's now.
    void otherCameraAt(const CameraAddress& address, const CameraInfo& info);

private:
    struct Way {
        CameraLink* link = nullptr;
        // Its link takes the camera for there (it answered its polls).
        bool answering = false;
        // Found to be this camera since it last came online.
        bool confirmed = false;
    };

    void askInfo(const CameraAddress& at, const QUrl& url, bool last);
    void takeInfo(const CameraAddress& at, const CameraInfo& info);
    void confirm(const CameraAddress& at);
    Way* wayAt(const CameraAddress& address);
    const Way* wayAt(const CameraAddress& address) const;
    // The route is chosen again; signals what changed.
    void settle();
    const Way* route() const;

    Id m_id;
    QList<Way> m_ways;
    CameraLink* m_route = nullptr;
    bool m_online = false;
    QNetworkAccessManager* m_network = nullptr;
    PreviewKeepAlive* m_previewKeepAlive = nullptr;
    // The route last taken, for a camera whose ways are all gone.
    CameraAddress m_lastAddress;
    int m_model = 0;
    QString m_modelName;
    QString m_serial;
    QString m_firmware;
    bool m_modelTold = false;
    CameraStatus m_status;
};
