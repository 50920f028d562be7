#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// The v4l2loopback devices the kernel shows under /sys/class/video4linux, and the one the webcam
// output writes to.
//
// A device is v4l2loopback's when its folder has the attributes only that module adds
// (max_openers, format); the card label given at modprobe is its `name`. Sysfs cannot tell
// who has a device open, only whether a program is feeding it: `state` reads "capture" while
// one streams into it (the module's newer versions), and `format` is empty while nobody holds
// a format on it (every version). So "free" means no other program is writing to it; a
// program merely reading (a browser waiting for a picture) does not make it busy, as it is
// waiting for just what the webcam output gives.
class LoopbackDevices
{
    Q_DECLARE_TR_FUNCTIONS(LoopbackDevices)

public:
    struct Device {
        QString node;  // "/dev/video42"
        QString label; // the card label, "Velkamo"
        bool busy = false;
    };

    explicit LoopbackDevices(const QString& root = QStringLiteral("/sys/class/video4linux"));

    // Every v4l2loopback device, by number.
    QList<Device> devices() const;
    // The free device labelled for Velkamo, else the first free one; empty when none is.
    // taken: devices this program writes to already (they read busy only once data flows).
    QString choose(const QStringList& taken = {}) const;
    // Why choose() found none and how to add one, for the user; empty when it found one.
    QString advice(const QStringList& taken = {}) const;

    // The one line that adds a device labelled for Velkamo.
    static QString modprobeLine();

private:
    QString m_root;
};
