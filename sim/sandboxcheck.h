#pragma once

#include <QString>
#include <QStringList>

// Whether this process's network namespace can reach anything but itself. The camera's
// address is served locally here, so the simulator and the tests run only where it can't.
namespace sandboxcheck {

// The interfaces of this process's network namespace (/proc/self/net/dev; /sys/class/net
// would show the namespace that mounted /sys).
QStringList interfaceNames();

// A tap device that no process has open: every packet routed there is dropped. Tests use
// one as a default route that leads nowhere, the way a PC's own network looks to the camera
// link.
bool isBlackHole(const QString& name);

// True when every interface is loopback or a black hole; seen lists them for the message.
bool isIsolated(QString* seen = nullptr);

} // namespace sandboxcheck
