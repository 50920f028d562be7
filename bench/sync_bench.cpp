// Shutter sync of several cameras against the camera simulator, inside the network sandbox:
//   velkamo-bench-sync [ROUNDS]
// Four cameras, each slow to start recording by a latency range of its own: a HERO11 by
// Wi-Fi, a HERO12, a HERO10 and a HERO9 on USB cables. Each round the real window, with
// "all cameras" ticked, starts them all (Start) and stops them (Stop); then a one-by-one
// sender starts them as a script would, each camera's request answered before the next goes,
// and stops them likewise. Per round: the spread between the first and the last start request
// arriving, and between the first and the last camera actually recording, from the cameras'
// own logs (one clock for all of them). Prints "key value" lines, then one summary line; it
// fails only when it cannot measure.

#include "benchsupport.h"
#include "camera.h"
#include "cameraaddress.h"
#include "camerarequests.h"
#include "camsim.h"
#include "mainwindow.h"
#include "prompt.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

struct SimulatedCamera {
    const char* name;
    int model;
    const char* serial; // on a USB cable; nullptr: by Wi-Fi
    int latencyMinMs;
    int latencyMaxMs;
};

// One by one, a script sends in this order.
const SimulatedCamera kCameras[] = {
    {"Wi-Fi HERO11", 11, nullptr, 20, 120},
    {"USB HERO12", 12, "C3501324645504", 40, 90},
    {"USB HERO10", 10, "C3441326543583", 30, 150},
    {"USB HERO9", 9, "C3331325012617", 10, 70},
};
constexpr int kCameraCount = int(std::size(kCameras));

struct Spread {
    bool measured = false;
    qint64 arrivalMs = 0; // first to last request in
    qint64 startedMs = 0; // first to last camera recording (or stopped)
};

bool isShutter(const QJsonObject& entry, bool start)
{
    const QString path = entry.value(QStringLiteral("path")).toString();
    if (path == QLatin1String("/gp/gpControl/command/shutter"))
        return entry.value(QStringLiteral("query")).toString() == (start ? QLatin1String("p=1") : QLatin1String("p=0"));
    return path == (start ? QLatin1String("/gopro/camera/shutter/start") : QLatin1String("/gopro/camera/shutter/stop"));
}

// Waits until every camera has answered one shutter request of that kind since its log was
// cleared. Not measured (and said why) when one does not within 5 s or refuses it.
Spread collect(const std::vector<std::unique_ptr<CamSim>>& sims, bool start)
{
    QList<QJsonObject> taken;
    QString missing;
    const QDeadlineTimer deadline(5000);
    for (;;) {
        taken.clear();
        missing.clear();
        for (int i = 0; i < kCameraCount; ++i) {
            const QJsonArray log = sims[size_t(i)]->requests();
            const auto found = std::find_if(log.begin(), log.end(), [start](const QJsonValue& v) {
                return isShutter(v.toObject(), start) && v.toObject().value(QStringLiteral("status")).toInt() != 0;
            });
            if (found == log.end()) {
                missing += QLatin1String(missing.isEmpty() ? "" : ", ") + QLatin1String(kCameras[i].name);
                continue;
            }
            taken << found->toObject();
        }
        if (missing.isEmpty() || deadline.hasExpired())
            break;
        QTest::qWait(20);
    }
    Spread spread;
    if (!missing.isEmpty()) {
        std::printf("unmeasured: no answered shutter %s from %s within 5 s\n", start ? "start" : "stop",
                    qPrintable(missing));
        return spread;
    }
    QList<qint64> arrived, started;
    for (int i = 0; i < kCameraCount; ++i) {
        const QJsonObject& entry = taken.at(i);
        if (const int status = entry.value(QStringLiteral("status")).toInt(); status != 200) {
            std::printf("unmeasured: %s answered %s with HTTP %d\n", kCameras[i].name,
                        qPrintable(entry.value(QStringLiteral("target")).toString()), status);
            return spread;
        }
        arrived << entry.value(QStringLiteral("time_ms")).toInteger();
        started << entry.value(QStringLiteral("started_ms")).toInteger();
    }
    const auto [firstIn, lastIn] = std::minmax_element(arrived.cbegin(), arrived.cend());
    const auto [firstOn, lastOn] = std::minmax_element(started.cbegin(), started.cend());
    spread.measured = true;
    spread.arrivalMs = *lastIn - *firstIn;
    spread.startedMs = *lastOn - *firstOn;
    return spread;
}

void clearLogs(const std::vector<std::unique_ptr<CamSim>>& sims)
{
    for (const auto& sim : sims)
        sim->clearLog();
}

// Each camera's request sent once the one before was answered.
void oneByOne(QNetworkAccessManager* nam, bool start)
{
    for (const SimulatedCamera& camera : kCameras) {
        const CameraAddress address = camera.serial
            ? CameraAddress::usb(CamSim::usbCameraAddress(QLatin1String(camera.serial)))
            : CameraAddress::accessPoint();
        const auto action = start ? CameraRequests::Action::ShutterOn : CameraRequests::Action::ShutterOff;
        QNetworkRequest request(CameraRequests::url(address, camera.model, action));
        request.setTransferTimeout(5000);
        std::unique_ptr<QNetworkReply> reply(nam->get(request));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
    }
}

double median(QList<qint64> values)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? double(values.at(n / 2)) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2.0;
}

double maximum(const QList<qint64>& values)
{
    return values.isEmpty() ? -1 : double(*std::max_element(values.cbegin(), values.cend()));
}

struct Figures {
    QList<qint64> arrival;
    QList<qint64> started;
    void add(const Spread& s)
    {
        if (!s.measured)
            return;
        arrival << s.arrivalMs;
        started << s.startedMs;
    }
    void print(const char* who) const
    {
        const auto line = [who](const char* what, double value) {
            std::printf("%s_%s %.1f\n", who, what, value);
        };
        std::printf("%s_rounds_measured %d\n", who, int(arrival.size()));
        line("spread_median_ms", median(arrival));
        line("spread_max_ms", maximum(arrival));
        line("started_spread_median_ms", median(started));
        line("started_spread_max_ms", maximum(started));
    }
    QString summary(const char* who) const
    {
        return QStringLiteral("%1 spread median %2 ms (max %3), started spread median %4 ms (max %5)")
            .arg(QLatin1String(who))
            .arg(median(arrival), 0, 'f', 1)
            .arg(maximum(arrival), 0, 'f', 0)
            .arg(median(started), 0, 'f', 1)
            .arg(maximum(started), 0, 'f', 0);
    }
};

int fail(const QString& why)
{
    std::printf("FAIL cannot measure: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    testsupport::requireSandbox();
    // Keep the window's progress lines out of the figures.
    qputenv("QT_LOGGING_RULES", "*.debug=false;qt.*=false");
    QApplication app(argc, argv);
    const int rounds = app.arguments().value(1, QStringLiteral("20")).toInt();
    if (rounds < 1) {
        std::fprintf(stderr, "usage: velkamo-bench-sync [ROUNDS]\n");
        return 2;
    }
    if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
        return fail(why);
    testsupport::installFreshDataTree();
    testsupport::writeDefaultModel(QStringLiteral("hero11"));

    std::vector<std::unique_ptr<CamSim>> sims;
    for (const SimulatedCamera& camera : kCameras) {
        auto sim = std::make_unique<CamSim>();
        const QStringList args{QStringLiteral("--model"), QString::number(camera.model),
                               QStringLiteral("--media-count"), QStringLiteral("0"),
                               QStringLiteral("--start-latency"),
                               QStringLiteral("%1-%2").arg(camera.latencyMinMs).arg(camera.latencyMaxMs)};
        const bool started = camera.serial
            ? sim->startUsb(QLatin1String(camera.serial), args)
            : sim->start(args + QStringList{QStringLiteral("--address"), QStringLiteral("10.5.5.9")});
        if (!started)
            return fail(QStringLiteral("the simulator of the %1 did not start").arg(QLatin1String(camera.name)));
        std::printf("camera %s start_latency_ms %d-%d\n", camera.name, camera.latencyMinMs, camera.latencyMaxMs);
        sims.push_back(std::move(sim));
    }

    Prompt::setResponder([](const Prompt::Request& request) {
        std::printf("prompt %s\n", qPrintable(request.text));
        return Prompt::Answer();
    });
    MainWindow window;
    window.resize(1280, 800);
    window.show();

    // Every camera listed, known by its model, and those that need it under wired control.
    auto* cameras = window.findChild<QComboBox*>(QStringLiteral("comboCameras"));
    const auto listedCamera = [cameras](int index) {
        return qobject_cast<const Camera*>(cameras->itemData(index).value<QObject*>());
    };
    const auto listed = [&] {
        if (cameras->count() != kCameraCount)
            return false;
        for (int i = 0; i < kCameraCount; ++i) {
            const bool wired = !kCameras[i].serial || kCameras[i].model < 10
                || sims[size_t(i)]->state().value(QStringLiteral("wiredControl")).toBool();
            if (!wired || !listedCamera(i) || listedCamera(i)->model() <= 0)
                return false;
        }
        return true;
    };
    const auto online = [&] {
        for (int i = 0; i < cameras->count(); ++i) {
            if (!listedCamera(i)->isOnline())
                return false;
        }
        return true;
    };
    if (!bench::waitFor([&] { return listed() && online(); }, 30000, 100))
        return fail(QStringLiteral("the window lists %1 of %2 cameras after 30 s, not all known and online")
                        .arg(cameras->count())
                        .arg(kCameraCount));
    auto* allCameras = window.findChild<QCheckBox*>(QStringLiteral("checkBoxAllCameras"));
    if (!allCameras || !allCameras->isEnabled())
        return fail(QStringLiteral("the window has no All cameras to tick"));
    allCameras->click();

    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("pbStart_Capture"));
    auto* stop = window.findChild<QPushButton*>(QStringLiteral("pbStop"));
    Figures parallel, serial;
    for (int round = 1; round <= rounds; ++round) {
        clearLogs(sims);
        start->click();
        const Spread p = collect(sims, true);
        clearLogs(sims);
        stop->click();
        collect(sims, false);

        // Turn and turn about, so that both meet the same load.
        clearLogs(sims);
        oneByOne(&nam, true);
        const Spread s = collect(sims, true);
        clearLogs(sims);
        oneByOne(&nam, false);
        collect(sims, false);

        parallel.add(p);
        serial.add(s);
        std::printf("round %d parallel_spread_ms %lld started_spread_ms %lld one_by_one_spread_ms %lld "
                    "started_spread_ms %lld\n",
                    round, p.measured ? p.arrivalMs : -1, p.measured ? p.startedMs : -1,
                    s.measured ? s.arrivalMs : -1, s.measured ? s.startedMs : -1);
        std::fflush(stdout);
    }
    parallel.print("parallel");
    serial.print("one_by_one");
    std::printf("sync %d cameras: %s; %s\n", kCameraCount, qPrintable(parallel.summary("parallel")),
                qPrintable(serial.summary("one by one")));
    if (parallel.arrival.size() < rounds || serial.arrival.size() < rounds)
        return fail(QStringLiteral("%1 and %2 of %3 rounds measured")
                        .arg(parallel.arrival.size())
                        .arg(serial.arrival.size())
                        .arg(rounds));
    return 0;
}
