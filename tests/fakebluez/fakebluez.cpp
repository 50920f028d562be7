#include "fakebluez.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>
#include <cstdlib>

const char* const FakeBluez::kCameraAddress = "F1:23:45:67:89:AB";

namespace {

QString& busDir()
{
    static QString dir;
    return dir;
}

QDBusInterface control()
{
    return QDBusInterface(QStringLiteral("org.bluez"), QStringLiteral("/"),
                          QStringLiteral("org.velkamo.FakeBluez"), QDBusConnection::systemBus());
}

} // namespace

void FakeBluez::prepareEnvironment()
{
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/velkamo-bus-XXXXXX";
    if (!mkdtemp(pattern.data()))
        qFatal("cannot create a directory for the private bus");
    busDir() = QString::fromLocal8Bit(pattern);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + pattern + "/system_bus_socket");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (qEnvironmentVariableIsEmpty("BLUETOOTH_FORCE_DBUS_LE_VERSION"))
        qputenv("BLUETOOTH_FORCE_DBUS_LE_VERSION", "5.66");
}

QString FakeBluez::busDirectory()
{
    return busDir();
}

FakeBluez::~FakeBluez()
{
    stop();
    if (!busDir().isEmpty())
        QDir(busDir()).removeRecursively();
}

bool FakeBluez::start(QString* error)
{
    const QString dir = busDir();
    const QString socket = dir + QStringLiteral("/system_bus_socket");
    const QString conf = dir + QStringLiteral("/bus.conf");
    QFile file(conf);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write ") + conf;
        return false;
    }
    file.write(QStringLiteral(
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig>\n"
                   "  <type>system</type>\n"
                   "  <listen>unix:path=%1</listen>\n"
                   "  <auth>EXTERNAL</auth>\n"
                   "  <policy context=\"default\">\n"
                   "    <allow user=\"*\"/>\n"
                   "    <allow own=\"*\"/>\n"
                   "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                   "    <allow receive_sender=\"*\"/>\n"
                   "  </policy>\n"
                   "</busconfig>\n")
                   .arg(socket)
                   .toUtf8());
    file.close();

    m_bus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_bus.setStandardOutputFile(QProcess::nullDevice());
    m_bus.start(QStringLiteral("/usr/bin/dbus-daemon"),
                {QStringLiteral("--nofork"), QStringLiteral("--config-file=") + conf});
    if (!m_bus.waitForStarted(5000)) {
        *error = QStringLiteral("dbus-daemon did not start: ") + m_bus.errorString();
        return false;
    }
    // Qt opens the system bus once per process: it must be listening before the first use.
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(socket) && !deadline.hasExpired())
        QThread::msleep(20);
    if (!QFileInfo::exists(socket)) {
        *error = QStringLiteral("dbus-daemon did not create its socket");
        return false;
    }

    m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_mock.setStandardOutputFile(dir + QStringLiteral("/fakebluez.log"));
    m_mock.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                  QStringLiteral("-t"),
                  QStringLiteral(VELKAMO_SOURCE_DIR "/tests/fakebluez/fakebluez.py")});
    if (!m_mock.waitForStarted(5000)) {
        *error = QStringLiteral("dbusmock did not start: ") + m_mock.errorString();
        return false;
    }
    // The name is taken before the template has built its objects: wait for the control
    // interface to answer instead.
    deadline = QDeadlineTimer(20000);
    while (!deadline.hasExpired()) {
        QDBusInterface iface = control();
        if (iface.isValid()) {
            const QDBusReply<QStringList> reply = iface.call(QStringLiteral("Writes"));
            if (reply.isValid())
                return true;
        }
        if (m_mock.state() == QProcess::NotRunning) {
            *error = QStringLiteral("dbusmock ended early, see ") + dir
                + QStringLiteral("/fakebluez.log");
            return false;
        }
        QThread::msleep(50);
    }
    *error = QStringLiteral("the fake BlueZ did not answer in time");
    return false;
}

void FakeBluez::stop()
{
    for (QProcess* process : {&m_mock, &m_bus}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

bool FakeBluez::configure(const QJsonObject& config)
{
    QDBusInterface iface = control();
    const QDBusMessage reply = iface.call(
        QStringLiteral("Configure"),
        QString::fromUtf8(QJsonDocument(config).toJson(QJsonDocument::Compact)));
    if (reply.type() == QDBusMessage::ErrorMessage) {
        qWarning() << "fake BlueZ configure failed:" << reply.errorMessage();
        return false;
    }
    // Let Qt see the old adapter go and the new one come before anything scans: a removal
    // seen during a scan would end that scan.
    QDeadlineTimer settle(200);
    while (!settle.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return true;
}

QStringList FakeBluez::writes() const
{
    QDBusInterface iface = control();
    const QDBusReply<QStringList> reply = iface.call(QStringLiteral("Writes"));
    return reply.value();
}

void FakeBluez::dropLink(const QString& address)
{
    QDBusInterface iface = control();
    iface.call(QStringLiteral("DropLink"), address);
}

void FakeBluez::notify(const QString& shortUuid, const QByteArray& data)
{
    QDBusInterface iface = control();
    iface.call(QStringLiteral("Notify"), shortUuid, data);
}

void FakeBluez::readvertise(const QString& address, int rssi)
{
    QDBusInterface iface = control();
    iface.call(QStringLiteral("Readvertise"), address, QVariant::fromValue<qint16>(qint16(rssi)));
}
