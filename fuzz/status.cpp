#include "camerastatus.h"

#include <cstdlib>

// Both families read every body; no figure may come out of its range.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    for (const auto family : {CameraStatus::Family::GpControl, CameraStatus::Family::OpenGoPro}) {
        const CameraStatus s = CameraStatus::parse(body, family);
        if (s.batteryPercent.value_or(0) < 0 || s.batteryPercent.value_or(0) > 100
            || s.batteryLevel.value_or(0) < 0 || s.batteryLevel.value_or(0) > 3
            || s.recordingSeconds.value_or(0) < 0 || s.remainingPhotos.value_or(0) < 0
            || s.remainingVideoSeconds.value_or(0) < 0 || s.freeBytes.value_or(0) < 0)
            abort();
    }
    return 0;
}
