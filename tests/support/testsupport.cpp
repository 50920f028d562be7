#include "testsupport.h"

#include "SystemFilePath.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace testsupport {

static QStringList interfacesFromProcNetDev()
{
    QFile file(QStringLiteral("/proc/self/net/dev"));
    QStringList names;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("<unreadable /proc/self/net/dev>")};
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            names << QString::fromLatin1(line.left(colon).trimmed());
    }
    return names;
}

void requireSandbox()
{
    const QStringList names = interfacesFromProcNetDev();
    bool cameraAddressOnLoopback = false;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        if (!(iface.flags() & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            if (entry.ip() == QHostAddress(QStringLiteral("10.5.5.9")))
                cameraAddressOnLoopback = true;
        }
    }
    if (names != QStringList{QStringLiteral("lo")} || !cameraAddressOnLoopback) {
        std::fprintf(stderr,
                     "FATAL: this test must run inside the network sandbox "
                     "(tests/sandbox-run): lo must be the only interface and carry 10.5.5.9.\n"
                     "Interfaces seen: %s; 10.5.5.9 on lo: %s\n",
                     qPrintable(names.join(QStringLiteral(", "))),
                     cameraAddressOnLoopback ? "yes" : "no");
        std::exit(3);
    }
}

QString appRoot()
{
    return path::appRootDir().absolutePath();
}

QString stagedBinary(const QString& name)
{
    return QStringLiteral(VELKAMO_STAGE_DIR "/bin/") + name;
}

void writeDefaultModel(const QString& model)
{
    QFile file(path::refDir().filePath(QStringLiteral("gopro_default.json")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(file.fileName()));
    file.write(QStringLiteral("{\"Version\": \"%1\"}").arg(model).toUtf8());
}

static bool copyTree(const QString& from, const QString& to)
{
    QDir source(from);
    if (!source.exists())
        return false;
    QDir().mkpath(to);
    const auto entries = source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            if (!copyTree(entry.absoluteFilePath(), target))
                return false;
        } else if (!QFile::copy(entry.absoluteFilePath(), target)) {
            return false;
        }
    }
    return true;
}

void installFreshDataTree()
{
    const QString root = appRoot();
    for (const char* sub : {"ref", "qss", "Language"}) {
        const QString target = root + QLatin1Char('/') + QLatin1String(sub);
        QDir(target).removeRecursively();
        const QString source = QStringLiteral(VELKAMO_STAGE_DIR "/") + QLatin1String(sub);
        if (!copyTree(source, target))
            qFatal("cannot copy the staged data tree %s to %s", qPrintable(source),
                   qPrintable(target));
    }
}

} // namespace testsupport
