#pragma once

#include <QByteArray>
#include <QHash>

#include <optional>

// What the camera's status reply tells about its battery, card and recording:
// "/gp/gpControl/status" up to HERO8, "/gopro/camera/state" from HERO9. Both are
// {"status":{"<id>":<value>,...},"settings":{...}} with numbers for values.
//
// Every value stands on its own and is unknown (empty) when its id is missing, is not a
// whole number, or is out of its range: a wrong battery or card figure is worse than none.
class CameraStatus
{
public:
    enum class Family { GpControl, OpenGoPro };
    enum class Card { Ready, Missing, Error };

    static CameraStatus parse(const QByteArray& body, Family family);

    std::optional<int> batteryPercent;
    std::optional<int> batteryLevel; // 0 (empty) to 3 (full)
    std::optional<bool> charging;
    std::optional<bool> recording;
    std::optional<int> recordingSeconds;
    std::optional<qint64> remainingPhotos;
    std::optional<qint64> remainingVideoSeconds;
    std::optional<qint64> freeBytes;
    std::optional<Card> card;
    // Turbo transfer (from HERO9): the camera sends files faster and shows nothing else.
    std::optional<bool> turbo;

    // What the camera stands on: its "settings" map (setting id to option id) and the status
    // ids of the capture mode (43 mode and 44 sub-mode up to HERO8, 96 preset group from
    // HERO8 on). Only whole numbers are kept.
    QHash<int, qint64> settings;
    std::optional<int> mode;
    std::optional<int> subMode;
    std::optional<int> presetGroup;
};
