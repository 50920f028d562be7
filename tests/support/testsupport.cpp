#include "testsupport.h"

#include "systemfilepath.h"
#include "sandboxcheck.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QProcess>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

namespace testsupport {

void requireSandbox()
{
    QString seen;
    const bool isolated = sandboxcheck::isIsolated(&seen);
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
    if (!isolated || !cameraAddressOnLoopback) {
        std::fprintf(stderr,
                     "FATAL: this test must run inside the network sandbox "
                     "(tests/sandbox-run): lo must be the only interface and carry 10.5.5.9.\n"
                     "Interfaces seen: %s; 10.5.5.9 on lo: %s\n",
                     qPrintable(seen),
                     cameraAddressOnLoopback ? "yes" : "no");
        std::exit(3);
    }
}

static bool runTool(const QString& program, const QStringList& args, QString* error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0)
        return true;
    *error = QStringLiteral("%1 %2: %3").arg(program, args.join(QLatin1Char(' ')),
                                               QString::fromLocal8Bit(process.readAll()).trimmed());
    return false;
}

QString mountReadOnly(const QString& folder)
{
    QString error;
    if (runTool(QStringLiteral("mount"), {QStringLiteral("--bind"), folder, folder}, &error)
        && runTool(QStringLiteral("mount"),
                   {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), folder}, &error))
        return QString();
    return error;
}

QString mountTmpfs(const QString& folder, const QString& size)
{
    QString error;
    runTool(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                      QStringLiteral("size=") + size, QStringLiteral("tmpfs"), folder},
            &error);
    return error;
}

void unmount(const QString& folder)
{
    QString error;
    while (runTool(QStringLiteral("umount"), {folder}, &error)) {
    }
}

QString addTap(const QString& name, const QStringList& addresses)
{
    QString error;
    QList<QStringList> steps{{"tuntap", "add", name, "mode", "tap"}, {"link", "set", name, "up"}};
    for (const QString& address : addresses)
        steps << QStringList{"addr", "add", address, "dev", name};
    for (const QStringList& step : std::as_const(steps)) {
        if (!runTool(QStringLiteral("ip"), step, &error))
            return error;
    }
    return QString();
}

void removeInterface(const QString& name)
{
    QString error;
    runTool(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("del"), name}, &error);
}

QString appRoot()
{
    return path::appRootDir().absolutePath();
}

static QByteArray field(const QByteArray& value)
{
    return char(value.size()) + value;
}

QList<QByteArray> hardwareInfoReply(const QByteArray& modelNumberField, const QByteArray& modelName,
                                    const QByteArray& ssid)
{
    const QByteArray message = QByteArray::fromHex("3C00") + field(modelNumberField) + field(modelName)
        + field("0x05") + field("H23.01.01.10.00") + field("C3501324645504") + field(ssid)
        + field("065747046ceb") + QByteArray(11, '\0');
    QList<QByteArray> out{QByteArray(1, char(0x20 | (message.size() >> 8))) + char(message.size() & 0xFF)
                          + message.left(18)};
    int counter = 0;
    for (qsizetype at = 18; at < message.size(); at += 19)
        out << QByteArray(1, char(0x80 | (counter++ & 0x0F))) + message.mid(at, 19);
    return out;
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

void choose(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
    emit box->textActivated(box->itemText(index));
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

bool showsFirstScreen(const QWidget* window)
{
    const auto* page = window->findChild<QWidget*>(QStringLiteral("firstScreen"));
    return page && page->isVisibleTo(window);
}

} // namespace testsupport
