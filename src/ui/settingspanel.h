#pragma once

#include "cameraprofile.h"
#include "camerastatus.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>

class QComboBox;

// The selectors that choose something on the camera: the capture mode, a setting and its value,
// and the preview's bit rate and window size, filled from the model's profile. They show what
// the camera's status says it stands on, and showing sends nothing: neither filling, nor a
// status, nor choosing which setting type to look at changes the camera's settings. Only a
// value, mode or preview option the user picks is told, as an intent for the window to send.
//
// A status that comes in while the user is choosing leaves that selector alone: while its list
// is open, and after a choice until the status shows it (or kHoldMs pass, or the camera refuses
// it), so that a status read before the camera carried out the choice does not flick it back.
class SettingsPanel : public QObject
{
    Q_OBJECT

public:
    struct Selectors {
        QComboBox* mode = nullptr;
        QComboBox* bitRate = nullptr;
        QComboBox* windowSize = nullptr;
        QComboBox* settingType = nullptr;
        QComboBox* settingValue = nullptr;
    };

    // Two status polls: the camera has carried out a choice it took by then.
    static constexpr int kHoldMs = 7000;

    explicit SettingsPanel(const Selectors& selectors, QObject* parent = nullptr);

    // Every selector from profile, in its order, the first setting type shown; empty without
    // one.
    void show(const CameraProfile* profile);
    // What the camera stands on, selected where the status tells it.
    void showStatus(const CameraStatus& status);
    // The camera did not take command: its selector shows the camera's own value again.
    void refused(const QString& command);

signals:
    void modeChosen(const QString& label, const QString& command);
    void settingChosen(const QString& type, const QString& value, const QString& command);
    // A preview bit rate or window size.
    void streamOptionChosen(const QString& command);

private:
    struct Hold {
        QString command;
        QDeadlineTimer until;
    };

    void modeActivated(int index);
    void typeIndexChanged(int index);
    void valueActivated(int index);
    void chosen(QComboBox* box, int index);
    // The values of the setting type at index, the camera's selected, without telling anyone.
    void fillValues(int index);
    // The camera's value in box, unless the user is choosing there.
    void follow(QComboBox* box);

    Selectors m_selectors;
    QMap<QString, QList<CameraProfile::Entry>> m_settings;
    CameraStatus m_status;
    QHash<QComboBox*, Hold> m_held;
};
