#include "cameraprofile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CameraProfile profile =
        CameraProfile::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    if (profile.settings.size() != profile.settingTypes.size())
        abort();
    for (const QString& type : profile.settingTypes) {
        if (profile.settings.value(type).isEmpty())
            abort();
    }
    return 0;
}
