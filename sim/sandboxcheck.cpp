#include "sandboxcheck.h"

#include <QFile>

#include <cstring>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sandboxcheck {

QStringList interfaceNames()
{
    QFile file(QStringLiteral("/proc/self/net/dev"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("<unreadable /proc/self/net/dev>")};
    QStringList names;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            names << QString::fromLatin1(line.left(colon).trimmed());
    }
    return names;
}

bool isBlackHole(const QString& name)
{
    const QByteArray ifname = name.toLatin1();
    if (ifname.isEmpty() || ifname.size() >= IFNAMSIZ)
        return false;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::memcpy(request.ifr_name, ifname.constData(), size_t(ifname.size()));

    // The tun driver's tap flavour, nothing else.
    ethtool_drvinfo info{};
    info.cmd = ETHTOOL_GDRVINFO;
    request.ifr_data = reinterpret_cast<char*>(&info);
    const bool isTap = ::ioctl(fd, SIOCETHTOOL, &request) == 0
        && std::strncmp(info.driver, "tun", sizeof info.driver) == 0
        && std::strncmp(info.bus_info, "tap", sizeof info.bus_info) == 0;

    // A tap has carrier (IFF_RUNNING) only while a process holds it open: without one,
    // nothing ever reads what is sent there.
    bool unread = false;
    if (isTap && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0)
        unread = !(request.ifr_flags & IFF_RUNNING);
    ::close(fd);
    return isTap && unread;
}

bool isIsolated(QString* seen)
{
    const QStringList names = interfaceNames();
    if (seen)
        *seen = names.join(QStringLiteral(", "));
    if (!names.contains(QStringLiteral("lo")))
        return false;
    for (const QString& name : names) {
        if (name != QLatin1String("lo") && !isBlackHole(name))
            return false;
    }
    return true;
}

} // namespace sandboxcheck
