#include "cameraclock.h"

#include "cameranetwork.h"
#include "camerarequests.h"
#include "cameraroster.h"
#include "replylimit.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimeZone>

#include <cmath>

namespace {
constexpr qint64 kAnswerMaxBytes = 64 * 1024;
constexpr int kAnswerDeadlineMs = 3000;

// "2024_4_4" or "2024_04_04": three numbers.
bool readTriple(const QJsonValue& value, int* a, int* b, int* c)
{
    const QStringList parts = value.toString().split(QLatin1Char('_'));
    if (parts.size() != 3)
        return false;
    bool ok[3] = {};
    *a = parts.at(0).toInt(&ok[0]);
    *b = parts.at(1).toInt(&ok[1]);
    *c = parts.at(2).toInt(&ok[2]);
    return ok[0] && ok[1] && ok[2];
}

int readInt(const QJsonValue& value, bool* ok)
{
    if (value.isDouble()) {
        *ok = true;
        return value.toInt();
    }
    return value.toString().toInt(ok);
}
} // namespace

CameraClock::CameraClock(CameraRoster* roster, QObject* parent)
    : QObject(parent)
{
    connect(roster, &CameraRoster::answering, this, [this](Camera* camera, bool answers) {
        State& state = m_states[camera->id()];
        if (!state.watched) {
            state.watched = true;
            // The model may be told, or chosen, only after the camera answers.
            connect(camera, &Camera::changed, this, [this, camera] { trySet(camera); });
            connect(camera, &Camera::wiredControlAnswered, this, [this, camera] {
                m_states[camera->id()].wiredAnswered = true;
                trySet(camera);
            });
        }
        if (answers)
            cameOnline(camera);
        else
            state.pending = false;
    });
}

void CameraClock::cameOnline(Camera* camera)
{
    State& state = m_states[camera->id()];
    state.pending = m_enabled;
    state.wiredAnswered = false;
    trySet(camera);
}

void CameraClock::trySet(Camera* camera)
{
    State& state = m_states[camera->id()];
    const int model = camera->model();
    if (!state.pending || !camera->isOnline() || model <= 0)
        return;
    // Over a cable a HERO10 or later refuses everything until wired control is on.
    if (camera->address().link() == CameraAddress::Link::Usb && model >= 10 && !state.wiredAnswered)
        return;
    state.pending = false;

    // Whole seconds only: the nearest one keeps the camera within half a second of the PC.
    const QDateTime now = QDateTime::currentDateTime().addMSecs(500);
    const QDateTime local(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const int standardMinutes = zone.standardTimeOffset(now) / 60;
    const bool dst = zone.isDaylightTime(now);
    const QUrl url = CameraRequests::setClock(camera->address(), model, local, standardMinutes, dst);
    if (url.isEmpty()) {
        refused(camera, tr("no request for its model"));
        return;
    }
    QNetworkReply* reply = camera->network()->get(QNetworkRequest(url));
    ReplyLimit::apply(reply, kAnswerMaxBytes, kAnswerDeadlineMs);
    qDebug() << "setting the clock:" << url.toString();
    connect(reply, &QNetworkReply::finished, this, [this, reply, camera = QPointer<Camera>(camera)] {
        reply->deleteLater();
        if (!camera)
            return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) {
            const QString why = status > 0 ? tr("HTTP %1").arg(status)
                : !ReplyLimit::reason(reply).isEmpty() ? ReplyLimit::reason(reply)
                                                        : reply->errorString();
            refused(camera, why);
            return;
        }
        setReading(camera, {Reading::State::Set, std::nullopt, QString()});
        if (CameraRequests::getClock(camera->address(), camera->model()).isEmpty())
            emit message(tr("Clock of %1 set to this PC's time.").arg(camera->shortName()));
        else
            readBack(camera);
    });
}

void CameraClock::readBack(Camera* camera)
{
    QNetworkReply* reply =
        camera->network()->get(QNetworkRequest(CameraRequests::getClock(camera->address(), camera->model())));
    ReplyLimit::apply(reply, kAnswerMaxBytes, kAnswerDeadlineMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply, camera = QPointer<Camera>(camera)] {
        reply->deleteLater();
        if (!camera)
            return;
        const QDateTime reads = reply->error() == QNetworkReply::NoError ? readAnswer(reply->readAll()) : QDateTime();
        if (!reads.isValid()) {
            emit message(tr("Clock of %1 set to this PC's time.").arg(camera->shortName()));
            return;
        }
        // The camera tells whole seconds: on average half a second behind what it keeps.
        const qint64 aheadMs = reads.toMSecsSinceEpoch() + 500 - QDateTime::currentMSecsSinceEpoch();
        const qint64 ahead = std::llround(double(aheadMs) / 1000.0);
        qDebug() << "the clock of" << camera->serial() << "reads" << reads << "ahead by" << aheadMs << "ms";
        setReading(camera, {Reading::State::Set, ahead, QString()});
        const QString offset = ahead > 0 ? QStringLiteral("+%1").arg(ahead) : QString::number(ahead);
        emit message(tr("Clock of %1 set to this PC's time; it reads %2 s from it.").arg(camera->shortName(), offset));
    });
}

void CameraClock::refused(Camera* camera, const QString& why)
{
    qDebug() << "the clock of" << camera->serial() << "was not set:" << why;
    setReading(camera, {Reading::State::Refused, std::nullopt, why});
    State& state = m_states[camera->id()];
    if (state.refusalTold)
        return;
    state.refusalTold = true;
    emit message(tr("The clock of %1 cannot be set (%2): its files carry the time it keeps.")
                     .arg(camera->shortName(), why));
}

void CameraClock::setReading(Camera* camera, const Reading& reading)
{
    m_states[camera->id()].reading = reading;
    emit readingChanged(camera->id());
}

QDateTime CameraClock::readAnswer(const QByteArray& body)
{
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool zoneOk = false, dstOk = false;
    const int tzone = readInt(answer.value(QLatin1String("tzone")), &zoneOk);
    const int dst = readInt(answer.value(QLatin1String("dst")), &dstOk);
    if (!readTriple(answer.value(QLatin1String("date")), &year, &month, &day)
        || !readTriple(answer.value(QLatin1String("time")), &hour, &minute, &second) || !zoneOk || !dstOk
        || std::abs(tzone) > 24 * 60)
        return {};
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return {};
    // The zone is its offset outside daylight saving time; dst adds the hour.
    return QDateTime(date, time, QTimeZone((tzone + (dst ? 60 : 0)) * 60));
}
