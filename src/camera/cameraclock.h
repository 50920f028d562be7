#pragma once

#include "camera.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

#include <optional>

class CameraRoster;

// Sets each camera's clock to this PC's each time it comes online, in the form its model
// takes: files of several cameras then agree, and the time a file carries is the PC's local
// time when it was shot. Where the camera tells its time back (HERO11 and later), it is read
// again and the difference told. A camera that refuses is told of once a run; it keeps its
// own clock.
class CameraClock : public QObject
{
    Q_OBJECT

public:
    // What became of a camera's clock this run, last time it was sent.
    struct Reading {
        enum class State { NotSet, Set, Refused };
        State state = State::NotSet;
        // Read back after setting (HERO11 on): seconds the camera is ahead of this PC.
        std::optional<qint64> aheadSeconds;
        // Why it was refused.
        QString why;
    };

    explicit CameraClock(CameraRoster* roster, QObject* parent = nullptr);

    Reading reading(Camera::Id camera) const { return m_states.value(camera).reading; }

    // Off, no camera is sent anything; on, cameras are set from their next coming online.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }

    // A get_date_time answer ({"date":"2024_4_4","time":"13_0_5","tzone":-300,"dst":1}, values
    // padded or not) as an instant; invalid when it is not one.
    static QDateTime readAnswer(const QByteArray& body);

signals:
    // What became of a camera's clock, for the status bar.
    void message(const QString& text);
    // The camera's reading changed.
    void readingChanged(Camera::Id camera);

private:
    struct State {
        bool pending = false; // online, not yet sent since
        bool wiredAnswered = false; // since it came online
        bool refusalTold = false;
        bool watched = false;
        Reading reading;
    };

    void cameOnline(Camera* camera);
    // Sends the clock once the camera's model is known and, over a cable, wired control is on.
    void trySet(Camera* camera);
    void readBack(Camera* camera);
    void refused(Camera* camera, const QString& why);
    void setReading(Camera* camera, const Reading& reading);

    QHash<Camera::Id, State> m_states;
    bool m_enabled = true;
};
