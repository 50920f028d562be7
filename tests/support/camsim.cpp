#include "camsim.h"

#include <QRegularExpression>

#include <QFile>

#include "fakesysfs.h"
#include "sandboxcheck.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

CamSim::CamSim(QObject* parent)
    : QObject(parent)
{
    // The control API is local; no proxy from the environment may get in between.
    m_nam.setProxy(QNetworkProxy::NoProxy);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

CamSim::~CamSim()
{
    stop();
    if (!m_usbSerial.isEmpty())
        unplugUsb(m_usbSerial);
}

bool CamSim::start(const QStringList& extraArgs)
{
    stop();
    QStringList args = extraArgs;
    const int portOption = args.indexOf(QStringLiteral("--control-port"));
    if (portOption >= 0 && portOption + 1 < args.size())
        m_controlPort = args.at(portOption + 1).toInt();
    else
        args << QStringLiteral("--control-port") << QString::number(m_controlPort);
    // Gone with the test process, even when the test crashes.
    args << QStringLiteral("--exit-with-parent");

    const QString program = testsupport::stagedBinary(QStringLiteral("velkamo-camsim"));
    m_process.start(program, args);
    if (!m_process.waitForStarted(5000)) {
        qWarning("CamSim: cannot start %s: %s", qPrintable(program),
                 qPrintable(m_process.errorString()));
        return false;
    }
    // Making the media assets the first time takes a few seconds.
    QDeadlineTimer deadline(60000);
    QByteArray out;
    while (!deadline.hasExpired()) {
        if (m_process.canReadLine() || m_process.waitForReadyRead(100)) {
            out += m_process.readAll();
            if (out.contains("camsim ready\n"))
                return true;
        }
        if (m_process.state() != QProcess::Running) {
            qWarning("CamSim: the simulator ended before it was ready (exit code %d, args %s)",
                     m_process.exitCode(), qPrintable(args.join(QLatin1Char(' '))));
            return false;
        }
    }
    qWarning("CamSim: the simulator did not get ready within 60 s");
    m_process.kill();
    m_process.waitForFinished(2000);
    return false;
}

void CamSim::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    control(QStringLiteral("/quit"), 2000);
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool CamSim::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

QByteArray CamSim::control(const QString& pathAndQuery, int timeoutMs, const QByteArray& postBody,
                           int* httpStatus)
{
    if (httpStatus)
        *httpStatus = 0;
    QNetworkRequest request(
        QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_controlPort).arg(pathAndQuery)));
    QNetworkReply* reply = nullptr;
    if (postBody.isNull()) {
        reply = m_nam.get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        reply = m_nam.post(request, postBody);
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QByteArray body;
    if (!reply->isFinished()) {
        qWarning("CamSim: control request %s timed out", qPrintable(pathAndQuery));
        reply->abort();
    } else {
        if (httpStatus)
            *httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError)
            qWarning("CamSim: control request %s failed: %s %s", qPrintable(pathAndQuery),
                     qPrintable(reply->errorString()), reply->readAll().constData());
        else
            body = reply->readAll();
    }
    reply->deleteLater();
    return body;
}

static bool isOk(const QByteArray& body)
{
    return QJsonDocument::fromJson(body).object().value(QStringLiteral("ok")).toBool();
}

QJsonArray CamSim::requests()
{
    return QJsonDocument::fromJson(control(QStringLiteral("/log"))).array();
}

QJsonArray CamSim::elsewhereRequests()
{
    return QJsonDocument::fromJson(control(QStringLiteral("/elsewhere"))).object().value(QStringLiteral("log")).toArray();
}

QString CamSim::elsewhereOrigin()
{
    return QJsonDocument::fromJson(control(QStringLiteral("/elsewhere"))).object().value(QStringLiteral("origin")).toString();
}

QStringList CamSim::targets(int port)
{
    QStringList result;
    const QJsonArray log = requests();
    for (const QJsonValue& value : log) {
        const QJsonObject entry = value.toObject();
        const int entryPort = entry.value(QStringLiteral("port")).toInt();
        if (port == 0 || port == entryPort)
            result << QStringLiteral("%1 %2").arg(entryPort).arg(entry.value(QStringLiteral("target")).toString());
    }
    return result;
}

QStringList CamSim::commands()
{
    static const QRegularExpression polls(QStringLiteral("keep_alive|/state|/status|/info|wired_usb|/version|date_time"));
    QStringList found = targets();
    found.removeIf([](const QString& target) { return target.contains(polls); });
    return found;
}

int CamSim::countRequests(const QString& targetPrefix)
{
    return int(arrivalTimes(targetPrefix).size());
}

QList<qint64> CamSim::arrivalTimes(const QString& targetPrefix)
{
    QList<qint64> times;
    const QJsonArray log = requests();
    for (const QJsonValue& value : log) {
        const QJsonObject entry = value.toObject();
        if (entry.value(QStringLiteral("target")).toString().startsWith(targetPrefix))
            times << qint64(entry.value(QStringLiteral("time_ms")).toDouble());
    }
    return times;
}

bool CamSim::waitForRequest(const QString& targetPrefix, int timeoutMs, int minCount)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (countRequests(targetPrefix) >= minCount)
            return true;
        if (deadline.hasExpired())
            return false;
        QTest::qWait(25);
    }
}

void CamSim::clearLog()
{
    control(QStringLiteral("/clear"));
}

bool CamSim::setAnswer(const QString& mode)
{
    return isOk(control(QStringLiteral("/answer?mode=") + mode));
}

bool CamSim::setModel(int model)
{
    return isOk(control(QStringLiteral("/model?n=%1").arg(model)));
}

bool CamSim::setStartLatency(int minMs, int maxMs)
{
    return isOk(control(QStringLiteral("/start-latency?min=%1&max=%2").arg(minMs).arg(maxMs)));
}

bool CamSim::setIgnoreRange(bool ignore)
{
    return isOk(control(QStringLiteral("/range?ignore=%1").arg(ignore ? 1 : 0)));
}

bool CamSim::setMediaRequests(bool legacy, bool documentedList)
{
    return isOk(control(QStringLiteral("/media-requests?legacy=%1&documented=%2").arg(legacy ? 1 : 0).arg(documentedList ? 1 : 0)));
}

bool CamSim::setDebugLine(bool on)
{
    return isOk(control(QStringLiteral("/debug-line?on=%1").arg(on ? 1 : 0)));
}

bool CamSim::setTurbo(bool on, bool refused)
{
    return isOk(control(QStringLiteral("/turbo?on=%1&refuse=%2").arg(on ? 1 : 0).arg(refused ? 1 : 0)));
}

bool CamSim::setCameraStatus(const QString& query)
{
    return isOk(control(QStringLiteral("/camera-status?") + query));
}

bool CamSim::overrideStatusId(int id, const QByteArray& json)
{
    QString query = QStringLiteral("/camera-status?id=%1").arg(id);
    if (!json.isEmpty())
        query += QStringLiteral("&json=") + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(json)));
    return isOk(control(query));
}

bool CamSim::resetStatusIds()
{
    return isOk(control(QStringLiteral("/camera-status?reset=1")));
}

QJsonObject CamSim::state()
{
    return QJsonDocument::fromJson(control(QStringLiteral("/state"))).object();
}

bool CamSim::setFault(const QString& mediaPath, const QString& kind, qint64 bytes, qint64 rate)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("path"), mediaPath);
    query.addQueryItem(QStringLiteral("kind"), kind);
    if (bytes > 0)
        query.addQueryItem(QStringLiteral("bytes"), QString::number(bytes));
    if (rate > 0)
        query.addQueryItem(QStringLiteral("rate"), QString::number(rate));
    return isOk(control(QStringLiteral("/fault?") + query.toString(QUrl::FullyEncoded)));
}

bool CamSim::setFaultOf(const QString& request, const QString& mediaPath, const QString& kind)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("path"), mediaPath);
    query.addQueryItem(QStringLiteral("kind"), kind);
    query.addQueryItem(QStringLiteral("of"), request);
    return isOk(control(QStringLiteral("/fault?") + query.toString(QUrl::FullyEncoded)));
}

bool CamSim::setMediaCount(int count)
{
    return isOk(control(QStringLiteral("/media?count=%1").arg(count), 60000));
}

bool CamSim::delayNextList(int ms, int count)
{
    return isOk(control(QStringLiteral("/list-delay?ms=%1&count=%2").arg(ms).arg(count)));
}

bool CamSim::setInfoDelay(int ms)
{
    return isOk(control(QStringLiteral("/info-delay?ms=%1").arg(ms)));
}

bool CamSim::setClockRefused(bool refused)
{
    return isOk(control(QStringLiteral("/clock?refuse=%1").arg(refused ? 1 : 0)));
}

bool CamSim::setSetting(int id, int value)
{
    return isOk(control(QStringLiteral("/setting?id=%1&value=%2").arg(id).arg(value)));
}

bool CamSim::refuseOption(int id, int value, bool refuse)
{
    return isOk(control(QStringLiteral("/setting?id=%1&value=%2&refuse=%3").arg(id).arg(value).arg(refuse ? 1 : 0)));
}

bool CamSim::setPollDelay(int ms)
{
    return isOk(control(QStringLiteral("/poll-delay?ms=%1").arg(ms)));
}

bool CamSim::setIdentity(const QString& serial, int model)
{
    return isOk(control(QStringLiteral("/identity?serial=%1&model=%2").arg(serial).arg(model)));
}

bool CamSim::setMediaJson(const QByteArray& body)
{
    // Not null, so it goes as a POST even when empty.
    return isOk(control(QStringLiteral("/media/json"), 60000, body.isNull() ? QByteArray("") : body));
}

QByteArray CamSim::mediaList()
{
    return control(QStringLiteral("/media/body"));
}

static bool run(const QString& program, const QStringList& args, QByteArray* out = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(out ? QProcess::ForwardedErrorChannel : QProcess::ForwardedChannels);
    process.start(program, args);
    if (!process.waitForFinished(5000) || process.exitStatus() != QProcess::NormalExit)
        return false;
    if (out)
        *out = process.readAllStandardOutput();
    return process.exitCode() == 0;
}

static bool cameraAddressPresent()
{
    QByteArray out;
    run(QStringLiteral("ip"), {QStringLiteral("-o"), QStringLiteral("addr"), QStringLiteral("show"),
                               QStringLiteral("dev"), QStringLiteral("lo")}, &out);
    return out.contains(" 10.5.5.9/32 ");
}

bool CamSim::leaveNetwork()
{
    // Gone already counts as gone.
    if (run(QStringLiteral("ip"), {QStringLiteral("addr"), QStringLiteral("del"), QStringLiteral("10.5.5.9/32"),
                                   QStringLiteral("dev"), QStringLiteral("lo")})
        || !cameraAddressPresent())
        return true;
    qWarning("CamSim: cannot remove 10.5.5.9/32 from lo");
    return false;
}

// Tap devices need /dev/net/tun, which is root's.
static QString tunUnavailable()
{
    QFile tun(QStringLiteral("/dev/net/tun"));
    if (tun.open(QIODevice::ReadWrite))
        return QString();
    return QStringLiteral("/dev/net/tun cannot be opened here (%1)").arg(tun.errorString());
}

QString CamSim::routeIntoBlackHole()
{
    if (const QString why = tunUnavailable(); !why.isEmpty())
        return why + QStringLiteral("; a black-hole route needs it");
    const QList<QStringList> steps = {
        {"tuntap", "add", "vkhole0", "mode", "tap"},
        {"link", "set", "vkhole0", "up"},
        {"addr", "add", "192.168.77.2/24", "dev", "vkhole0"},
        {"neigh", "add", "192.168.77.1", "lladdr", "02:00:00:00:00:01", "dev", "vkhole0", "nud",
         "permanent"},
        {"route", "add", "default", "via", "192.168.77.1", "dev", "vkhole0"},
    };
    for (const QStringList& step : steps) {
        if (!run(QStringLiteral("ip"), step))
            return QStringLiteral("ip %1 failed").arg(step.join(QLatin1Char(' ')));
    }
    return QString();
}

void CamSim::removeBlackHole()
{
    run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("del"), QStringLiteral("vkhole0")});
}

bool CamSim::joinNetwork()
{
    // "replace" succeeds whether or not the address is there.
    if (run(QStringLiteral("ip"), {QStringLiteral("addr"), QStringLiteral("replace"), QStringLiteral("10.5.5.9/32"),
                                   QStringLiteral("dev"), QStringLiteral("lo")}))
        return true;
    qWarning("CamSim: cannot add 10.5.5.9/32 to lo");
    return false;
}

QString CamSim::usbUnavailable()
{
    if (const QString why = tunUnavailable(); !why.isEmpty())
        return why + QStringLiteral("; a USB cable needs it");
    return QString();
}

// "172.2X.1YZ." for a serial ending in the digits XYZ; empty for any other.
static QString usbSubnet(const QString& serial)
{
    const QString d = serial.right(3);
    if (d.size() != 3 || !std::all_of(d.begin(), d.end(), [](QChar c) { return c.isDigit(); }))
        return QString();
    return QStringLiteral("172.2%1.1%2%3.").arg(d.at(0)).arg(d.at(1)).arg(d.at(2));
}

QHostAddress CamSim::usbCameraAddress(const QString& serial)
{
    const QString subnet = usbSubnet(serial);
    return subnet.isEmpty() ? QHostAddress() : QHostAddress(subnet + QLatin1String("51"));
}

QHostAddress CamSim::usbHostAddress(const QString& serial)
{
    const QString subnet = usbSubnet(serial);
    return subnet.isEmpty() ? QHostAddress() : QHostAddress(subnet + QLatin1String("52"));
}

// A locally administered MAC of the camera's own, the same for the same serial.
static QByteArray usbMac(const QString& serial)
{
    return char(0x02) + QCryptographicHash::hash(serial.toUtf8(), QCryptographicHash::Md5).left(5);
}

QString CamSim::usbInterfaceName(const QString& serial)
{
    return QStringLiteral("enx") + QString::fromLatin1(usbMac(serial).toHex());
}

bool CamSim::plugUsb(const QString& serial, int model)
{
    if (usbSubnet(serial).isEmpty())
        return false;
    const QString name = usbInterfaceName(serial);
    const QString camera = usbCameraAddress(serial).toString();
    const QString host = usbHostAddress(serial).toString();
    QList<QStringList> steps;
    // Plugging again keeps the tap and puts back what is missing.
    if (!sandboxcheck::interfaceNames().contains(name))
        steps << QStringList{"tuntap", "add", name, "mode", "tap"}
              << QStringList{"link", "set", name, "address", QString::fromLatin1(usbMac(serial).toHex(':'))};
    steps << QStringList{"link", "set", name, "up"}
          << QStringList{"addr", "replace", host + "/24", "dev", name}
          << QStringList{"addr", "replace", camera + "/32", "dev", name}
          // What the PC sends the camera leaves from the PC's side, as over a real cable.
          << QStringList{"route", "replace", "table", "local", "local", camera, "dev", name, "proto",
                         "kernel", "scope", "host", "src", host};
    for (const QStringList& step : steps) {
        if (!run(QStringLiteral("ip"), step)) {
            qWarning("CamSim: ip %s failed", qPrintable(step.join(QLatin1Char(' '))));
            return false;
        }
    }
    // What the kernel shows of a camera on a cable: a GoPro USB device with its serial.
    const QString why = fakesysfs::addUsb(name, fakesysfs::goPro(serial, QStringLiteral("HERO%1 Black").arg(model)));
    if (!why.isEmpty())
        qWarning("CamSim: %s", qPrintable(why));
    return why.isEmpty();
}

bool CamSim::unplugUsb(const QString& serial)
{
    const QString name = usbInterfaceName(serial);
    fakesysfs::remove(name);
    // Gone already counts as gone.
    if (!sandboxcheck::interfaceNames().contains(name)
        || run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("del"), name}))
        return true;
    qWarning("CamSim: cannot remove %s", qPrintable(name));
    return false;
}

bool CamSim::startUsb(const QString& serial, const QStringList& extraArgs)
{
    const QHostAddress camera = usbCameraAddress(serial);
    const int modelOption = extraArgs.indexOf(QStringLiteral("--model"));
    // Without --model the simulator is a HERO5.
    const int model = modelOption >= 0 ? extraArgs.value(modelOption + 1).toInt() : 5;
    if (camera.isNull() || !plugUsb(serial, model)) {
        qWarning("CamSim: cannot plug a camera with serial %s", qPrintable(serial));
        return false;
    }
    m_usbSerial = serial;
    QStringList args = extraArgs;
    args << QStringLiteral("--address") << camera.toString() << QStringLiteral("--usb")
         << QStringLiteral("--serial") << serial;
    if (!args.contains(QStringLiteral("--control-port")))
        args << QStringLiteral("--control-port") << QString::number(9000 + serial.right(3).toInt());
    return start(args);
}

bool CamSim::startHome(const QString& serial, const QString& password, const QStringList& extraArgs)
{
    if (!run(QStringLiteral("ip"), {QStringLiteral("addr"), QStringLiteral("replace"),
                                    QLatin1String(kHomeAddress) + QLatin1String("/32"), QStringLiteral("dev"),
                                    QStringLiteral("lo")})) {
        qWarning("CamSim: cannot add %s to lo", kHomeAddress);
        return false;
    }
    QStringList args = extraArgs;
    args << QStringLiteral("--home") << QStringLiteral("--address") << QLatin1String(kHomeAddress)
         << QStringLiteral("--serial") << serial << QStringLiteral("--password") << password;
    if (!args.contains(QStringLiteral("--control-port")))
        args << QStringLiteral("--control-port") << QStringLiteral("9443");
    return start(args);
}

QByteArray CamSim::homeRootCertificate()
{
    return control(QStringLiteral("/home/root-cert"));
}

bool CamSim::switchHomeCertificate()
{
    return isOk(control(QStringLiteral("/home/other-cert"), 20000));
}
