#include "camerainfo.h"

#include <cstdlib>

// Whatever a camera answers to its info requests: a serial is letters and digits only (it
// names things later), a model name printable and short.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CameraInfo info = CameraInfo::parse(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    for (const QChar c : info.serial) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128))
            abort();
    }
    for (const QChar c : info.modelName) {
        if (!c.isPrint())
            abort();
    }
    if (info.serial.size() > 32 || info.modelName.size() > 64 || info.generation < 0 || info.generation > 999)
        abort();
    return 0;
}
