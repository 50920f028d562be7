#include "hardwareinfo.h"

#include <algorithm>
#include <cstdlib>

// A row of notifications, each a length byte and that many bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HardwareInfo info;
    const char* p = reinterpret_cast<const char*>(data);
    const char* const end = p + size;
    while (p < end) {
        const size_t length = std::min<size_t>(static_cast<unsigned char>(*p), end - p - 1);
        const auto outcome = info.feed(QByteArray(p + 1, int(length)));
        p += 1 + length;
        // Other packets may pass while a reply is pending; a model ends it.
        if ((outcome == HardwareInfo::Outcome::Pending && !info.isPending())
            || (outcome == HardwareInfo::Outcome::Model && info.isPending()))
            abort();
    }
    return 0;
}
