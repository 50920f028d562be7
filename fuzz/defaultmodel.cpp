#include "defaultmodelfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// The bytes as the file beside the program.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("gopro_default.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        abort();
    file.close();
    DefaultModelFile(path).version();
    return 0;
}
