#include "loopbackdevices.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

// Sysfs attributes are a line at most; a staged or odd tree gets no more than this read.
QString attribute(const QString& folder, const char* name)
{
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(4096)).trimmed();
}

// "video42" → 42; -1 for a name of another form.
int deviceNumber(const QString& entry)
{
    if (!entry.startsWith(QLatin1String("video")))
        return -1;
    bool ok = false;
    const int number = entry.mid(5).toInt(&ok);
    return ok && number >= 0 ? number : -1;
}

bool labelledForUs(const LoopbackDevices::Device& device)
{
    return device.label.contains(QLatin1String("Velkamo"), Qt::CaseInsensitive);
}

} // namespace

LoopbackDevices::LoopbackDevices(const QString& root)
    : m_root(root)
{
}

QList<LoopbackDevices::Device> LoopbackDevices::devices() const
{
    QList<std::pair<int, Device>> found;
    const QStringList entries = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const int number = deviceNumber(entry);
        const QString folder = m_root + QLatin1Char('/') + entry;
        if (number < 0 || !QFile::exists(folder + QLatin1String("/max_openers"))
            || !QFile::exists(folder + QLatin1String("/format")))
            continue;
        Device device;
        device.node = QStringLiteral("/dev/video%1").arg(number);
        device.label = attribute(folder, "name");
        // Older modules have no `state`; there a held format is the only sign of use.
        if (QFile::exists(folder + QLatin1String("/state")))
            device.busy = attribute(folder, "state") == QLatin1String("capture");
        else
            device.busy = !attribute(folder, "format").isEmpty();
        found.append({number, device});
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<Device> result;
    for (const auto& entry : std::as_const(found))
        result.append(entry.second);
    return result;
}

QString LoopbackDevices::choose(const QStringList& taken) const
{
    QList<Device> free;
    for (const Device& device : devices()) {
        if (!device.busy && !taken.contains(device.node))
            free.append(device);
    }
    const auto ours = std::find_if(free.cbegin(), free.cend(), labelledForUs);
    if (ours != free.cend())
        return ours->node;
    return free.isEmpty() ? QString() : free.first().node;
}

QString LoopbackDevices::advice(const QStringList& taken) const
{
    if (!choose(taken).isEmpty())
        return QString();
    const QList<Device> all = devices();
    if (all.isEmpty()) {
        return tr("No v4l2loopback device: programs that use PipeWire see the camera, browsers "
                  "and video-call programs need one. Install the package v4l2loopback-dkms and "
                  "run:\n%1")
            .arg(modprobeLine());
    }
    QStringList nodes;
    for (const Device& device : all)
        nodes << device.node;
    return tr("Every v4l2loopback device is in use (%1): programs that use PipeWire see the "
              "camera. To add one, unload the module when nothing uses it and run:\n%2")
        .arg(nodes.join(QLatin1String(", ")), modprobeLine());
}

QString LoopbackDevices::modprobeLine()
{
    return QStringLiteral("sudo modprobe v4l2loopback exclusive_caps=1 card_label=\"Velkamo\"");
}
