#include "cameraprofile.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto doc = QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    const CameraProfile profile = CameraProfile::fromJson(doc.object());
    if (profile.settings.size() != profile.settingTypes.size())
        abort();
    return 0;
}
