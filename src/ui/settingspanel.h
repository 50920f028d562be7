#pragma once

#include <QMap>
#include <QObject>
#include <QString>

class CameraProfile;
class QComboBox;

// The selectors that choose something on the camera: the capture mode, a setting and its value,
// and the preview's bit rate and window size, filled from the model's profile. Filling shows the
// profile's defaults and sends nothing (a profile is applied at every start and reconnection,
// and must not change the camera's settings without the user); a choice the user makes is
// told as an intent, for the window to send where it goes.
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

    SettingsPanel(const Selectors& selectors, QObject* parent = nullptr);

    // Every selector from profile, in its label order; empty without one.
    void show(const CameraProfile* profile);

signals:
    void modeChosen(const QString& label, const QString& command);
    // The user chose a setting type: its first value is chosen with it.
    void settingChosen(const QString& type, const QString& value, const QString& command);
    // A preview bit rate or window size.
    void streamOptionChosen(const QString& command);

private:
    void modeIndexChanged(int index);
    void typeIndexChanged(int index);
    void valueIndexChanged(int index);
    // The values of the setting type at index, without telling anyone.
    void fillValues(int index);

    Selectors m_selectors;
    QMap<QString, QMap<QString, QString>> m_settings;
};
