#include "camerafacts.h"

#include "camerarequests.h"
#include "replylimit.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>

#include <algorithm>

namespace {
// {"version":"2.0"}: a few bytes, answered at once by a camera that answers at all.
constexpr qint64 kVersionMaxBytes = 4096;
constexpr int kVersionDeadlineMs = 3000;
} // namespace

CameraFacts::CameraFacts(Camera* camera, const CameraClock* clock, QObject* parent)
    : QObject(parent)
    , m_camera(camera)
    , m_clock(clock)
    , m_id(camera ? camera->id() : 0)
{
    if (camera) {
        connect(camera, &Camera::changed, this, [this] {
            if (m_wanted && m_version == Version::NotAsked)
                askVersion();
            emit changed();
        });
        connect(camera, &Camera::stateChanged, this, &CameraFacts::changed);
        connect(camera, &Camera::routeChanged, this, &CameraFacts::changed);
        connect(camera, &Camera::linkConfirmed, this, &CameraFacts::changed);
        // Asked while it was away: asked now.
        connect(camera, &Camera::cameOnline, this, [this] {
            if (m_wanted && (m_version == Version::NoAnswer || m_version == Version::NotAsked))
                askVersion();
        });
    }
    if (clock) {
        connect(clock, &CameraClock::readingChanged, this, [this](Camera::Id id) {
            if (id == m_id)
                emit changed();
        });
    }
}

CameraFacts::~CameraFacts()
{
    if (m_versionReply) {
        m_versionReply->disconnect(this);
        m_versionReply->abort();
        m_versionReply->deleteLater();
    }
}

QList<CameraFacts::Fact> CameraFacts::all()
{
    return {Fact::Model, Fact::Firmware, Fact::Serial, Fact::Links, Fact::Clock, Fact::OpenGoPro};
}

QString CameraFacts::label(Fact fact)
{
    switch (fact) {
    case Fact::Model:
        return tr("Model");
    case Fact::Firmware:
        return tr("Firmware");
    case Fact::Serial:
        return tr("Serial number");
    case Fact::Links:
        return tr("Reached by");
    case Fact::Clock:
        return tr("Clock");
    case Fact::OpenGoPro:
        return tr("Open GoPro version");
    }
    return {};
}

QString CameraFacts::key(Fact fact)
{
    switch (fact) {
    case Fact::Model:
        return QStringLiteral("model");
    case Fact::Firmware:
        return QStringLiteral("firmware");
    case Fact::Serial:
        return QStringLiteral("serial");
    case Fact::Links:
        return QStringLiteral("links");
    case Fact::Clock:
        return QStringLiteral("clock");
    case Fact::OpenGoPro:
        return QStringLiteral("openGoPro");
    }
    return {};
}

QString CameraFacts::text(Fact fact) const
{
    if (!m_camera)
        return tr("not known");
    switch (fact) {
    case Fact::Model:
        return modelText();
    case Fact::Firmware:
        return m_camera->firmware().isEmpty() ? tr("not told") : m_camera->firmware();
    case Fact::Serial:
        return m_camera->serial().isEmpty() ? tr("not told") : m_camera->serial();
    case Fact::Links:
        return linksText();
    case Fact::Clock:
        return clockText();
    case Fact::OpenGoPro:
        return versionText();
    }
    return {};
}

QString CameraFacts::cameraName() const
{
    return m_camera ? m_camera->shortName() : QString();
}

QString CameraFacts::modelText() const
{
    const QString name = m_camera->modelName();
    const int model = m_camera->model();
    if (m_camera->modelWasTold())
        return !name.isEmpty() ? name : QStringLiteral("HERO%1").arg(model);
    // A name is only ever taken from the camera; without its word now it is what it said before.
    if (!name.isEmpty())
        return tr("%1 (remembered; not told this time)").arg(name);
    if (model > 0)
        return tr("HERO%1 (guessed; not told by the camera)").arg(model);
    return tr("not known");
}

QString CameraFacts::linkText(const CameraAddress& address)
{
    QString link;
    switch (address.link()) {
    case CameraAddress::Link::Usb:
        link = tr("USB");
        break;
    case CameraAddress::Link::Home:
        link = tr("Home network");
        break;
    case CameraAddress::Link::AccessPoint:
        link = tr("Wi-Fi");
        break;
    case CameraAddress::Link::None:
        return tr("none");
    }
    return link + QStringLiteral(" · ") + address.host().toString();
}

QString CameraFacts::linksText() const
{
    QList<CameraAddress> ways = m_camera->addresses();
    if (ways.isEmpty())
        return tr("none");
    std::stable_sort(ways.begin(), ways.end(), [](const CameraAddress& a, const CameraAddress& b) {
        return Camera::preference(a.link()) < Camera::preference(b.link());
    });
    QStringList lines;
    for (const CameraAddress& way : std::as_const(ways)) {
        lines << (m_camera->answersAt(way) ? linkText(way) : tr("%1 (not answering)").arg(linkText(way)));
    }
    return lines.join(QLatin1Char('\n'));
}

QString CameraFacts::clockText() const
{
    const CameraClock::Reading reading = m_clock ? m_clock->reading(m_id) : CameraClock::Reading();
    switch (reading.state) {
    case CameraClock::Reading::State::NotSet:
        return m_clock && m_clock->isEnabled() ? tr("not set") : tr("not set (Set Clock is off)");
    case CameraClock::Reading::State::Refused:
        return tr("not set (%1)").arg(reading.why);
    case CameraClock::Reading::State::Set:
        break;
    }
    if (reading.aheadSeconds) {
        const qint64 ahead = *reading.aheadSeconds;
        const QString offset = ahead > 0 ? QStringLiteral("+%1").arg(ahead) : QString::number(ahead);
        return tr("set to this PC's time; reads %1 s from it").arg(offset);
    }
    if (CameraRequests::getClock(m_camera->address(), m_camera->model()).isEmpty())
        return tr("set to this PC's time; not read (the model does not tell it)");
    return tr("set to this PC's time; not read");
}

QString CameraFacts::versionText() const
{
    switch (m_version) {
    case Version::Offered:
        return m_versionText;
    case Version::NotOffered:
        return tr("not offered");
    case Version::Asking:
        return tr("asking…");
    case Version::NoAnswer:
        return tr("no answer (%1)").arg(m_versionText);
    case Version::NotAsked:
        break;
    }
    if (m_camera->model() <= 0)
        return tr("not known");
    if (CameraRequests::openGoProVersion(m_camera->address(), m_camera->model()).isEmpty())
        return tr("not offered");
    return tr("asked once the camera answers");
}

void CameraFacts::askVersion()
{
    m_wanted = true;
    if (!m_camera || m_versionReply || m_version == Version::Offered || m_version == Version::NotOffered)
        return;
    const QUrl url = CameraRequests::openGoProVersion(m_camera->address(), m_camera->model());
    // Without a model it is not known whether to ask at all.
    if (url.isEmpty() || !m_camera->isOnline()) {
        m_version = Version::NotAsked;
        emit changed();
        return;
    }
    QNetworkReply* reply = m_camera->network()->get(QNetworkRequest(url));
    ReplyLimit::apply(reply, kVersionMaxBytes, kVersionDeadlineMs);
    m_versionReply = reply;
    m_version = Version::Asking;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { versionAnswered(reply); });
    emit changed();
}

void CameraFacts::versionAnswered(QNetworkReply* reply)
{
    reply->deleteLater();
    m_versionReply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // 404 from a firmware without it, 501 from a model that does not take it.
    if (status == 404 || status == 501) {
        m_version = Version::NotOffered;
    } else if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) {
        m_version = Version::NoAnswer;
        m_versionText = status > 0 ? tr("HTTP %1").arg(status)
            : !ReplyLimit::reason(reply).isEmpty() ? ReplyLimit::reason(reply)
                                                    : reply->errorString();
    } else if (const QString version = readVersion(reply->readAll()); !version.isEmpty()) {
        m_version = Version::Offered;
        m_versionText = version;
    } else {
        m_version = Version::NoAnswer;
        m_versionText = tr("none in the answer");
    }
    emit changed();
}

QString CameraFacts::readVersion(const QByteArray& body)
{
    const QJsonValue value = QJsonDocument::fromJson(body).object().value(QLatin1String("version"));
    const QString version = value.isDouble() ? QString::number(value.toDouble()) : value.toString();
    // Shown as it is: digits and dots, short.
    static const QRegularExpression form(QStringLiteral("^\\d{1,4}(\\.\\d{1,4}){0,3}$"));
    return form.match(version).hasMatch() ? version : QString();
}
