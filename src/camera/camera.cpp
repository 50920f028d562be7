#include "camera.h"

#include "cameralink.h"
#include "cameranetwork.h"
#include "camerarequests.h"
#include "previewkeepalive.h"
#include "replylimit.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <algorithm>

namespace {
// An info answer is a few hundred bytes; a camera on a cable answers at once.
constexpr qint64 kInfoMaxBytes = 64 * 1024;
constexpr int kInfoDeadlineMs = 3000;

Camera::Id g_nextId = 1;
} // namespace

int Camera::preference(CameraAddress::Link link)
{
    switch (link) {
    case CameraAddress::Link::Usb:
        return 0;
    case CameraAddress::Link::Home:
        return 1;
    default:
        return 2;
    }
}

Camera::Camera(QObject* parent)
    : QObject(parent)
    , m_id(g_nextId++)
    , m_network(cameranetwork::newManager(this))
    , m_previewKeepAlive(new PreviewKeepAlive(this))
{
}

bool Camera::answersAt(const CameraAddress& address) const
{
    const Way* way = wayAt(address);
    return way && way->answering && way->confirmed;
}

void Camera::setModelName(const QString& name)
{
    if (name == m_modelName)
        return;
    m_modelName = name;
    emit changed();
}

const CameraAddress& Camera::address() const
{
    return m_route ? m_route->address() : m_lastAddress;
}

CameraLink* Camera::link() const
{
    return m_route;
}

QList<CameraAddress> Camera::addresses() const
{
    QList<CameraAddress> addresses;
    for (const Way& way : m_ways)
        addresses << way.link->address();
    return addresses;
}

bool Camera::hasAddress(const CameraAddress& address) const
{
    return wayAt(address) != nullptr;
}

Camera::Way* Camera::wayAt(const CameraAddress& address)
{
    for (Way& way : m_ways) {
        if (way.link->address() == address)
            return &way;
    }
    return nullptr;
}

const Camera::Way* Camera::wayAt(const CameraAddress& address) const
{
    return const_cast<Camera*>(this)->wayAt(address);
}

void Camera::addAddress(const CameraAddress& address, bool answered)
{
    if (!address.isValid() || wayAt(address))
        return;
    auto* link = new CameraLink(this);
    link->setAddress(address);
    if (m_model > 0)
        link->setModel(m_model);
    m_ways.append({link, false, answered});
    connect(link, &CameraLink::cameOnline, this, [this, address] {
        Way* way = wayAt(address);
        if (!way)
            return;
        way->answering = true;
        // Whoever answers there now is asked who it is before anything goes there.
        if (!way->confirmed)
            askInfo(address, address.mediaUrl(QStringLiteral("/gopro/camera/info")), false);
        settle();
    });
    connect(link, &CameraLink::wentOffline, this, [this, address] {
        if (Way* way = wayAt(address)) {
            way->answering = false;
            way->confirmed = false;
        }
        settle();
    });
    connect(link, &CameraLink::statusReceived, this, [this, link](const CameraStatus& status) {
        if (link != m_route || !m_online)
            return;
        m_status = status;
        emit statusReceived(status);
        emit stateChanged();
    });
    connect(link, &CameraLink::commandFailed, this, [this, link](const QUrl& command, const QString& why) {
        if (link == m_route)
            emit commandFailed(command, why);
    });
    connect(link, &CameraLink::commandTaken, this, [this, link](const QUrl& command) {
        if (link == m_route)
            emit commandTaken(command);
    });
    connect(link, &CameraLink::cardCommandsAnswered, this, [this, link] {
        if (link == m_route)
            emit cardCommandsAnswered();
    });
    if (answered)
        link->answered();
    // At once, not a poll period later.
    link->poll();
    settle();
}

void Camera::removeAddress(const CameraAddress& address)
{
    for (qsizetype i = 0; i < m_ways.size(); ++i) {
        if (m_ways.at(i).link->address() != address)
            continue;
        CameraLink* link = m_ways.takeAt(i).link;
        // Whatever it still has in flight ends with it, unheard.
        link->disconnect(this);
        link->deleteLater();
        settle();
        return;
    }
}

const Camera::Way* Camera::route() const
{
    const Way* best = nullptr;
    const auto better = [](const Way& a, const Way* b) {
        return !b || preference(a.link->address().link()) < preference(b->link->address().link());
    };
    for (const Way& way : m_ways) {
        if (way.answering && way.confirmed && better(way, best))
            best = &way;
    }
    if (best)
        return best;
    for (const Way& way : m_ways) {
        if (better(way, best))
            best = &way;
    }
    return best;
}

void Camera::settle()
{
    const Way* way = route();
    CameraLink* link = way ? way->link : nullptr;
    const bool online = way && way->answering && way->confirmed;
    const bool moved = link != m_route;
    m_route = link;
    if (link) {
        m_lastAddress = link->address();
        m_previewKeepAlive->setCamera(m_lastAddress);
    }
    if (online != m_online) {
        m_online = online;
        if (online) {
            m_status = link->lastStatus();
            emit cameOnline();
        } else {
            m_status = CameraStatus();
            m_previewKeepAlive->stop();
            emit wentOffline();
        }
        emit stateChanged();
    }
    if (moved) {
        qDebug() << "camera" << m_serial << "reached at" << address().host().toString();
        emit routeChanged();
    }
}

void Camera::setModel(int model)
{
    if (model == m_model)
        return;
    m_model = model;
    m_modelTold = false;
    for (const Way& way : std::as_const(m_ways))
        way.link->setModel(model);
    emit changed();
}

void Camera::tell(const QString& modelName, int model)
{
    bool changedNow = false;
    if (!modelName.isEmpty() && modelName != m_modelName) {
        m_modelName = modelName;
        changedNow = true;
    }
    if (model > 0) {
        m_modelTold = true;
        if (model != m_model) {
            m_model = model;
            for (const Way& way : std::as_const(m_ways))
                way.link->setModel(model);
            changedNow = true;
        }
    }
    if (changedNow)
        emit changed();
}

void Camera::setSerial(const QString& serial)
{
    if (serial == m_serial)
        return;
    m_serial = serial;
    emit changed();
}

void Camera::setFirmware(const QString& firmware)
{
    if (firmware.isEmpty() || firmware == m_firmware)
        return;
    m_firmware = firmware;
    emit changed();
}

QString Camera::displayName() const
{
    QStringList parts;
    switch (address().link()) {
    case CameraAddress::Link::Usb:
        parts << tr("USB");
        break;
    case CameraAddress::Link::Home:
        parts << tr("Home");
        break;
    default:
        parts << tr("Wi-Fi");
        break;
    }
    // A model only guessed for the camera (the one chosen in the window) is not its name.
    if (!m_modelName.isEmpty())
        parts << m_modelName;
    else if (m_model > 0 && (m_modelTold || !m_serial.isEmpty()))
        parts << QStringLiteral("HERO%1").arg(m_model);
    if (m_serial.size() >= 3)
        parts << QStringLiteral("…") + m_serial.right(3);
    else
        parts << address().host().toString();
    return parts.join(QStringLiteral(" · "));
}

QString Camera::shortName() const
{
    QString name = !m_modelName.isEmpty() ? m_modelName
        : m_model > 0                     ? QStringLiteral("HERO%1").arg(m_model)
                                          : tr("The camera");
    if (m_serial.size() >= 3)
        name += QStringLiteral(" …") + m_serial.right(3);
    else
        name += QStringLiteral(" (%1)").arg(address().host().toString());
    return name;
}

bool Camera::isOnline() const
{
    return m_online;
}

QString Camera::stateText() const
{
    if (!isOnline())
        return tr("offline");
    QStringList parts;
    if (m_status.batteryPercent)
        parts << tr("%1 %").arg(*m_status.batteryPercent);
    if (m_status.card == CameraStatus::Card::Missing)
        parts << tr("no card");
    else if (m_status.freeBytes)
        parts << tr("%1 GB free").arg(double(*m_status.freeBytes) / 1e9, 0, 'f', 1);
    if (m_status.recording.value_or(false))
        parts << tr("REC");
    return parts.isEmpty() ? tr("online") : parts.join(QStringLiteral(" · "));
}

void Camera::setCurrent(bool current)
{
    if (!current)
        m_previewKeepAlive->stop();
}

void Camera::identify()
{
    const CameraAddress at = address();
    askInfo(at, at.mediaUrl(QStringLiteral("/gopro/camera/info")), false);
}

void Camera::askInfo(const CameraAddress& at, const QUrl& url, bool last)
{
    QNetworkReply* reply = m_network->get(QNetworkRequest(url));
    ReplyLimit::apply(reply, kInfoMaxBytes, kInfoDeadlineMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply, at, last] {
        reply->deleteLater();
        const CameraInfo info = reply->error() == QNetworkReply::NoError
            ? CameraInfo::parse(reply->readAll())
            : CameraInfo();
        if (!info.isValid() && !last) {
            askInfo(at, at.commandUrl(QStringLiteral("/gp/gpControl/info")), true);
            return;
        }
        takeInfo(at, info);
    });
}

void Camera::takeInfo(const CameraAddress& at, const CameraInfo& info)
{
    Way* way = wayAt(at);
    if (info.isValid())
        qDebug() << "camera at" << at.host().toString() << "is" << info.modelName << info.serial;
    else
        qDebug() << "camera at" << at.host().toString() << "did not say who it is";
    // Another camera answers there now (the access point of the next camera joined).
    if (way && !m_serial.isEmpty() && !info.serial.isEmpty() && info.serial != m_serial) {
        emit otherCameraAt(at, info);
        return;
    }
    if (!info.serial.isEmpty())
        setSerial(info.serial);
    setFirmware(info.firmware);
    tell(info.modelName, info.generation);
    // A camera that cannot tell who it is is taken for the one that was there.
    if (way && way->answering && !way->confirmed)
        confirm(at);
    emit identified();
}

void Camera::confirm(const CameraAddress& at)
{
    Way* way = wayAt(at);
    if (!way)
        return;
    way->confirmed = true;
    emit linkConfirmed(at);
    settle();
}

QNetworkReply* Camera::request(const QUrl& url, qint64 maxBytes, int deadlineMs)
{
    QNetworkReply* reply = m_network->get(QNetworkRequest(url));
    ReplyLimit::apply(reply, maxBytes, deadlineMs);
    return reply;
}

void Camera::enableWiredControl()
{
    for (const Way& way : std::as_const(m_ways)) {
        const CameraAddress at = way.link->address();
        if (at.link() != CameraAddress::Link::Usb)
            continue;
        QNetworkReply* reply = request(CameraRequests::wiredControl(at, m_model, true), kInfoMaxBytes, kInfoDeadlineMs);
        connect(reply, &QNetworkReply::finished, this, [this, reply, at] {
            reply->deleteLater();
            if (reply->error() != QNetworkReply::NoError)
                qDebug() << "wired control not enabled on" << at.host().toString() << reply->errorString();
            emit wiredControlAnswered();
        });
    }
}
