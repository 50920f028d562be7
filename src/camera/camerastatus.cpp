#include "camerastatus.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace {

// The status ids read here.
constexpr int kBatteryLevel = 2;     // 0..3, 4 = charging
constexpr int kRecordingOld = 8;     // up to HERO8
constexpr int kEncoding = 10;        // from HERO9
constexpr int kRecordingTime = 13;   // seconds
constexpr int kCard = 33;
constexpr int kRemainingPhotos = 34;
constexpr int kRemainingVideo = 35;  // seconds up to HERO8, minutes from HERO9
constexpr int kFreeSpace = 54;       // kilobytes
constexpr int kBatteryPercent = 70;
constexpr int kTurboTransfer = 113;  // from HERO9
constexpr int kMode = 43;
constexpr int kSubMode = 44;
constexpr int kPresetGroup = 96;

// Values beyond 2^53 are no longer whole numbers in a JSON double.
constexpr qint64 kMaxWhole = qint64(1) << 53;

std::optional<qint64> whole(const QJsonObject& status, int id, qint64 min, qint64 max)
{
    const QJsonValue value = status.value(QString::number(id));
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    if (!std::isfinite(d) || std::floor(d) != d || d < double(min) || d > double(max))
        return std::nullopt;
    return qint64(d);
}

std::optional<int> wholeInt(const QJsonObject& status, int id, int min, int max)
{
    const auto v = whole(status, id, min, max);
    return v ? std::optional<int>(int(*v)) : std::nullopt;
}

} // namespace

CameraStatus CameraStatus::parse(const QByteArray& body, Family family)
{
    CameraStatus result;
    const QJsonObject root = QJsonDocument::fromJson(body).object();
    const QJsonObject settings = root.value(QLatin1String("settings")).toObject();
    for (auto it = settings.begin(); it != settings.end(); ++it) {
        bool ok = false;
        const int id = it.key().toInt(&ok);
        if (ok && id >= 0)
            if (const auto value = whole(settings, id, -kMaxWhole, kMaxWhole))
                result.settings.insert(id, *value);
    }
    const QJsonObject status = root.value(QLatin1String("status")).toObject();
    if (status.isEmpty())
        return result;

    result.mode = wholeInt(status, kMode, 0, std::numeric_limits<int>::max());
    result.subMode = wholeInt(status, kSubMode, 0, std::numeric_limits<int>::max());
    result.presetGroup = wholeInt(status, kPresetGroup, 0, std::numeric_limits<int>::max());

    result.batteryPercent = wholeInt(status, kBatteryPercent, 0, 100);
    if (const auto level = wholeInt(status, kBatteryLevel, 0, 4)) {
        result.charging = *level == 4;
        if (*level < 4)
            result.batteryLevel = *level;
    }

    const auto busy = wholeInt(status, family == Family::GpControl ? kRecordingOld : kEncoding, 0, 1);
    if (busy)
        result.recording = *busy == 1;
    result.recordingSeconds = wholeInt(status, kRecordingTime, 0, std::numeric_limits<int>::max());

    result.remainingPhotos = whole(status, kRemainingPhotos, 0, kMaxWhole);
    if (const auto video = whole(status, kRemainingVideo, 0, kMaxWhole / 60))
        result.remainingVideoSeconds = family == Family::GpControl ? *video : *video * 60;
    if (const auto kilobytes = whole(status, kFreeSpace, 0, kMaxWhole / 1024))
        result.freeBytes = *kilobytes * 1024;

    if (const auto turbo = wholeInt(status, kTurboTransfer, 0, 1))
        result.turbo = *turbo == 1;

    switch (wholeInt(status, kCard, -1, 255).value_or(-1)) {
    case 0: // ready
    case 1: // full
        result.card = Card::Ready;
        break;
    case 2:
        result.card = Card::Missing;
        break;
    case 3: // format error
        result.card = Card::Error;
        break;
    default: // unknown, busy, swapped: nothing to say yet
        break;
    }
    return result;
}
