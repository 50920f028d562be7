#include "pipewiredaemon.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

namespace {

QSize sizeOf(const QJsonValue& formats)
{
    const QJsonObject size = formats.toArray().first().toObject().value(QLatin1String("size")).toObject();
    return QSize(size.value(QLatin1String("width")).toInt(), size.value(QLatin1String("height")).toInt());
}

} // namespace

PipeWireDaemon::PipeWireDaemon() = default;

PipeWireDaemon::~PipeWireDaemon()
{
    stop();
}

QString PipeWireDaemon::start()
{
    stop();
    m_runtime = std::make_unique<QTemporaryDir>();
    if (!m_runtime->isValid())
        return QStringLiteral("no temporary folder: %1").arg(m_runtime->errorString());
    QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    m_oldPipeWireRuntime = qgetenv("PIPEWIRE_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
    qputenv("PIPEWIRE_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
    m_daemon = std::make_unique<QProcess>();
    // Without a session bus it complains of it; what it says is told only when it fails.
    m_daemon->setProcessChannelMode(QProcess::MergedChannels);
    m_daemon->start(QStringLiteral("pipewire"), {});
    if (!m_daemon->waitForStarted(5000))
        return QStringLiteral("pipewire does not start: %1").arg(m_daemon->errorString());
    // It listens once its socket is there; a client that comes earlier is refused.
    const QString socket = m_runtime->path() + QLatin1String("/pipewire-0");
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(socket) && waited.elapsed() < 5000 && m_daemon->state() == QProcess::Running)
        QThread::msleep(20);
    if (!QFile::exists(socket))
        return QStringLiteral("pipewire made no socket in %1: %2")
            .arg(m_runtime->path(), QString::fromLocal8Bit(m_daemon->readAll()));
    return QString();
}

void PipeWireDaemon::stop()
{
    if (!m_daemon)
        return;
    m_daemon->terminate();
    if (!m_daemon->waitForFinished(3000)) {
        m_daemon->kill();
        m_daemon->waitForFinished(1000);
    }
    m_daemon.reset();
    m_runtime.reset();
    auto restore = [](const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    restore("XDG_RUNTIME_DIR", m_oldRuntime);
    restore("PIPEWIRE_RUNTIME_DIR", m_oldPipeWireRuntime);
}

QList<PipeWireDaemon::VideoSource> PipeWireDaemon::videoSources() const
{
    QProcess dump;
    dump.setStandardErrorFile(QProcess::nullDevice());
    dump.start(QStringLiteral("pw-dump"), {});
    if (!dump.waitForFinished(5000))
        return {};
    QList<VideoSource> sources;
    const QJsonArray objects = QJsonDocument::fromJson(dump.readAllStandardOutput()).array();
    for (const QJsonValue& value : objects) {
        const QJsonObject info = value.toObject().value(QLatin1String("info")).toObject();
        const QJsonObject props = info.value(QLatin1String("props")).toObject();
        if (props.value(QLatin1String("media.class")).toString() != QLatin1String("Video/Source"))
            continue;
        const QJsonObject params = info.value(QLatin1String("params")).toObject();
        VideoSource source;
        source.name = props.value(QLatin1String("node.name")).toString();
        source.description = props.value(QLatin1String("node.description")).toString();
        source.size = sizeOf(params.value(QLatin1String("Format")));
        source.negotiated = source.size.isValid() && !source.size.isEmpty();
        if (!source.negotiated)
            source.size = sizeOf(params.value(QLatin1String("EnumFormat")));
        sources.append(source);
    }
    return sources;
}

PipeWireDaemon::VideoSource PipeWireDaemon::videoSource(const QString& description) const
{
    const QList<VideoSource> sources = videoSources();
    for (const VideoSource& source : sources) {
        if (source.description == description)
            return source;
    }
    return {};
}

QString PipeWireDaemon::link(const QString& source, const QString& sink) const
{
    auto run = [](const QStringList& args, QString* output) {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(QStringLiteral("pw-link"), args);
        const bool ok = tool.waitForFinished(5000) && tool.exitStatus() == QProcess::NormalExit
                        && tool.exitCode() == 0;
        *output = QString::fromUtf8(tool.readAll()).trimmed();
        return ok;
    };
    // "node:port" a line; a node name may hold colons of its own, the port name none.
    auto portsOf = [&](const QString& node, const QString& direction, QStringList* ports) {
        QString listed;
        if (!run({direction}, &listed))
            return false;
        for (const QString& port : listed.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (port.section(QLatin1Char(':'), 0, -2) == node)
                ports->append(port);
        }
        return true;
    };
    // A client's ports come a moment after its node; linked too early, pw-link may fail and
    // yet leave a link.
    QStringList outputs, inputs;
    QElapsedTimer waited;
    waited.start();
    while (outputs.isEmpty() || inputs.isEmpty()) {
        outputs.clear();
        inputs.clear();
        if (!portsOf(source, QStringLiteral("-o"), &outputs) || !portsOf(sink, QStringLiteral("-i"), &inputs))
            return QStringLiteral("pw-link cannot list ports");
        if (waited.elapsed() > 5000)
            return QStringLiteral("no ports to link within 5 s: %1 (%2) to %3 (%4)")
                .arg(source, outputs.join(QLatin1Char(' ')), sink, inputs.join(QLatin1Char(' ')));
        if (outputs.isEmpty() || inputs.isEmpty())
            QThread::msleep(100);
    }
    for (int i = 0; i < qMin(outputs.size(), inputs.size()); ++i) {
        QString output;
        if (!run({outputs.at(i), inputs.at(i)}, &output))
            return QStringLiteral("pw-link %1 %2: %3").arg(outputs.at(i), inputs.at(i), output);
    }
    return QString();
}
