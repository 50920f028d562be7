// The camera link's rules against the simulator: what a poll sends, which outcomes mean the
// camera is there, the command gate, awaited commands and the status reader; and the test
// world's second camera, on a USB cable.

#include "cameralink.h"
#include "cameranetwork.h"
#include "camsim.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QSignalSpy>

#include <tuple>

namespace {

// A status as one line, "?" for what is unknown.
QString summary(const CameraStatus& s)
{
    const auto v = [](const auto& value) {
        return value ? QString::number(qint64(*value)) : QStringLiteral("?");
    };
    const char* const cards[] = {"ready", "missing", "error"};
    return QStringLiteral("battery %1, level %2, charging %3, rec %4, time %5, photos %6, "
                          "video %7, free %8, card %9")
        .arg(v(s.batteryPercent), v(s.batteryLevel), v(s.charging), v(s.recording),
             v(s.recordingSeconds), v(s.remainingPhotos), v(s.remainingVideoSeconds),
             v(s.freeBytes), s.card ? QLatin1String(cards[int(*s.card)]) : QLatin1String("?"));
}

} // namespace

class TestCameraLink : public QObject
{
    Q_OBJECT

private:
    CamSim m_sim;

    // A link that has seen the camera answer.
    bool bringOnline(CameraLink* link, int model)
    {
        link->setModel(model);
        link->poll();
        return QTest::qWaitFor([link] { return link->isOnline(); }, 3000);
    }

private slots:
    void initTestCase() { QVERIFY(m_sim.start({"--model", "5"})); }

    void init()
    {
        QVERIFY(CamSim::joinNetwork());
        if (!m_sim.isRunning())
            QVERIFY(m_sim.start({"--model", "5"}));
        QVERIFY(m_sim.setAnswer("normal") && m_sim.setModel(5) && m_sim.setStartLatency(0, 0));
        m_sim.clearLog();
    }

    // Up to HERO8 the status request is the poll; from HERO9 keep_alive, with the state asked
    // for beside it. The status comes from the matching reply, newer video time in minutes.
    void pollFollowsTheModel_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QStringList>("requests");
        const QStringList older = {"80 /gp/gpControl/status"};
        const QStringList newer = {"8080 /gopro/camera/keep_alive", "8080 /gopro/camera/state"};
        QTest::newRow("hero5") << 5 << older;
        QTest::newRow("hero8") << 8 << older;
        QTest::newRow("hero9") << 9 << newer;
        QTest::newRow("hero13") << 13 << newer;
    }
    void pollFollowsTheModel()
    {
        QFETCH(int, model);
        QVERIFY(m_sim.setModel(model) && m_sim.setCameraStatus("battery=42&capacity=12300000000"));
        CameraLink link;
        QSignalSpy status(&link, &CameraLink::statusReceived);
        QVERIFY(bringOnline(&link, model));
        QTRY_VERIFY_WITH_TIMEOUT(status.count() >= 1, 2000);
        QStringList sent = m_sim.targets();
        sent.removeDuplicates();
        sent.sort();
        QTEST(sent, "requests");
        const auto received = status.first().first().value<CameraStatus>();
        QCOMPARE(received.batteryPercent, std::optional<int>(42));
        // 12.3 GB at 60 Mbit/s: 27 min.
        QCOMPARE(*received.remainingVideoSeconds / 60, 27);
    }

    // Any HTTP status or a refused connection is the camera; silence is not (an unreachable
    // network: commandOutcomes).
    void answersDecidePresence_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("present");
        QTest::newRow("200") << "normal" << true;
        QTest::newRow("404") << "404" << true;
        QTest::newRow("refused") << "refused" << true;
        QTest::newRow("timed out") << "stall" << false;
    }
    void answersDecidePresence()
    {
        QFETCH(QString, answer);
        if (answer == "refused")
            m_sim.stop();
        else
            QVERIFY(m_sim.setAnswer(answer));
        CameraLink link;
        QSignalSpy came(&link, &CameraLink::cameOnline);
        link.poll();
        QTest::qWait(2600); // past the poll's time-out
        QTEST(link.isOnline(), "present");
        QTEST(came.count() == 1, "present");
    }

    // A camera that holds polls without answering goes offline after two silent polls, the
    // second sent at once after the first times out; one silent tick from HERO9 (keep_alive
    // and state) is one missed poll. Its first answer brings it back.
    void silenceTakesItOffline_data()
    {
        QTest::addColumn<int>("model");
        QTest::newRow("hero5") << 5;
        QTest::newRow("hero11") << 11;
    }
    void silenceTakesItOffline()
    {
        QFETCH(int, model);
        QVERIFY(m_sim.setModel(model));
        CameraLink link;
        QVERIFY(bringOnline(&link, model));
        QSignalSpy gone(&link, &CameraLink::wentOffline);
        QSignalSpy came(&link, &CameraLink::cameOnline);
        QVERIFY(m_sim.setAnswer("stall"));
        m_sim.clearLog();
        const QString poll = model <= 8 ? "/gp/gpControl/status" : "/gopro/camera/keep_alive";
        QVERIFY(m_sim.waitForRequest(poll, 4000));
        QTest::qWait(2300);
        QVERIFY(link.isOnline());
        QVERIFY(m_sim.waitForRequest(poll, 500, 2)); // the confirming poll, not a tick later
        QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 3000);
        QVERIFY(m_sim.setAnswer("normal"));
        QTRY_COMPARE_WITH_TIMEOUT(came.count(), 1, 4000);
    }

    // A command's outcome while the camera is there: one it refuses is reported with its
    // status; an unreachable network takes the camera offline at once, without waiting for
    // a poll, and is not reported as a refusal. Either way an awaited command is answered.
    void commandOutcomes_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("online");
        QTest::newRow("taken") << "normal" << QString() << true;
        QTest::newRow("refused") << "500" << "HTTP 500" << true;
        QTest::newRow("unreachable") << "away" << QString() << false;
    }
    void commandOutcomes()
    {
        QFETCH(QString, answer);
        QFETCH(QString, failure);
        const QString shutter = "http://10.5.5.9/gp/gpControl/command/shutter?p=1";
        CameraLink link;
        QVERIFY(bringOnline(&link, 5));
        QSignalSpy failed(&link, &CameraLink::commandFailed);
        QSignalSpy answered(&link, &CameraLink::cardCommandsAnswered);
        if (answer == "away")
            QVERIFY(CamSim::leaveNetwork());
        else
            QVERIFY(m_sim.setAnswer(answer));
        link.awaitAnswer(shutter);
        QVERIFY(link.send(shutter));
        // Well before the next poll, due 3 s after the link was made.
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 1, 1000);
        QTEST(link.isOnline(), "online");
        QCOMPARE(failed.count(), failure.isEmpty() ? 0 : 1);
        if (!failure.isEmpty())
            QCOMPARE(failed.first(), QVariantList({QUrl(shutter), failure}));
    }

    // A camera that answers polls a few bytes a second, or with far more than a status, has
    // each poll cut at its bound: the link goes on polling, the camera counts as there (it
    // answered), and nothing of such an answer is shown as its status.
    void pollAnswersAreBounded_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("answer");
        QTest::newRow("hero5 trickling") << 5 << "trickle";
        QTest::newRow("hero11 oversized") << 11 << "oversize";
    }
    void pollAnswersAreBounded()
    {
        QFETCH(int, model);
        QFETCH(QString, answer);
        QVERIFY(m_sim.setModel(model));
        CameraLink link;
        QSignalSpy status(&link, &CameraLink::statusReceived);
        QSignalSpy gone(&link, &CameraLink::wentOffline);
        QVERIFY(bringOnline(&link, model));
        QTRY_VERIFY_WITH_TIMEOUT(status.count() >= 1, 2000); // newer cameras: after the poll
        QVERIFY(m_sim.setAnswer(answer));
        status.clear();
        // The next two ticks, each answer cut within 2 s.
        QTRY_VERIFY_WITH_TIMEOUT(status.count() >= 2, 9500);
        for (const QVariantList& received : std::as_const(status))
            QCOMPARE(summary(received.first().value<CameraStatus>()), summary(CameraStatus()));
        QCOMPARE(gone.count(), 0);
        QVERIFY(m_sim.setAnswer("normal"));
        QTRY_VERIFY_WITH_TIMEOUT(status.last().first().value<CameraStatus>().batteryPercent.has_value(), 3500);
    }

    // Commands wait for the camera and for the window to take it in; profile commands and
    // sleep go regardless, as long as they are http URLs.
    void gateAndAwaitedCommands()
    {
        const QString shutter = "http://10.5.5.9/gp/gpControl/command/shutter?p=1";
        const QString format = "http://10.5.5.9/gp/gpControl/command/storage/delete/all";
        CameraLink link;
        bool sentWhileComing = true; // the sleep's answer brings the camera online
        connect(&link, &CameraLink::cameOnline, this,
                [&] { sentWhileComing = link.isOnline() || link.send(shutter); });
        QVERIFY(!link.send(shutter));
        QVERIFY(!link.sendDirect("") && !link.sendDirect("ftp://10.5.5.9/x"));
        QVERIFY(link.sendDirect("http://10.5.5.9/gp/gpControl/command/system/sleep"));
        QVERIFY(m_sim.waitForRequest("/gp/gpControl/command/system/sleep", 3000));
        QTest::qWait(300);
        QCOMPARE(m_sim.countRequests("/gp/gpControl/command/shutter"), 0);
        QVERIFY(bringOnline(&link, 5));
        QVERIFY(!sentWhileComing);
        QVERIFY(link.send(shutter));

        // Told once, when the slowest awaited command is answered (the format takes 1.5 s).
        QSignalSpy answered(&link, &CameraLink::cardCommandsAnswered);
        QElapsedTimer clock;
        clock.start();
        link.awaitAnswer(format);
        link.awaitAnswer(shutter);
        QVERIFY(link.send(format) && link.send(shutter));
        QTRY_COMPARE_WITH_TIMEOUT(answered.count(), 1, 4000);
        QVERIFY(clock.elapsed() >= 1400);
        link.send(shutter);
        QTest::qWait(300);
        QCOMPARE(answered.count(), 1);
    }

    // A camera slow to start recording answers a shutter request of either family only once
    // it has; its log keeps the arrival, on the clock all processes share, and tells the start.
    void shutterWaitsForTheStartLatency_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("url");
        QTest::newRow("older start") << 5 << "http://10.5.5.9/gp/gpControl/command/shutter?p=1";
        QTest::newRow("newer stop") << 11 << "http://10.5.5.9:8080/gopro/camera/shutter/stop";
    }
    void shutterWaitsForTheStartLatency()
    {
        QFETCH(int, model);
        QFETCH(QString, url);
        QVERIFY(m_sim.setModel(model) && m_sim.setStartLatency(200, 300));
        std::unique_ptr<QNetworkAccessManager> nam(cameranetwork::newManager(nullptr));
        QElapsedTimer clock; // CLOCK_MONOTONIC, as the simulator's
        clock.start();
        const qint64 sent = clock.msecsSinceReference();
        std::unique_ptr<QNetworkReply> reply(nam->get(QNetworkRequest(QUrl(url))));
        qint64 answeredAfter = -1;
        connect(reply.get(), &QNetworkReply::finished, this, [&] { answeredAfter = clock.elapsed(); });
        QTRY_VERIFY_WITH_TIMEOUT(answeredAfter >= 0, 3000);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QVERIFY2(answeredAfter >= 200, qPrintable(QString::number(answeredAfter)));
        const QJsonArray log = m_sim.requests();
        QCOMPARE(log.size(), 1);
        const qint64 arrived = log[0]["time_ms"].toInteger(-1);
        QVERIFY2(arrived >= sent && arrived < sent + 200, qPrintable(QStringLiteral("%1 %2").arg(sent).arg(arrived)));
        const qint64 latency = log[0]["started_ms"].toInteger(-1) - arrived;
        QVERIFY2(latency >= 200 && latency <= 300, qPrintable(QString::number(latency)));
    }

    // The reader of the status reply: a value it cannot be sure of is unknown.
    void statusReplyRules_data()
    {
        QTest::addColumn<bool>("newer");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const QString unknown = "battery ?, level ?, charging ?, rec ?, time ?, photos ?, "
                                "video ?, free ?, card ?";
        QTest::newRow("older camera") << false << QByteArray(R"({"status":{"2":3,"8":1,"10":0,"13":42,)"
            R"("33":0,"34":480,"35":4980,"54":12011718,"70":87},"settings":{"70":1}})")
            << "battery 87, level 3, charging 0, rec 1, time 42, photos 480, video 4980, "
               "free 12299999232, card ready";
        // From HERO9, 8 only says busy and video time is in minutes.
        QTest::newRow("newer camera") << true << QByteArray(R"({"status":{"8":1,"10":0,"35":83,"33":2}})")
            << "battery ?, level ?, charging ?, rec 0, time ?, photos ?, video 4980, free ?, card missing";
        QTest::newRow("charging, no percent") << false << QByteArray(R"({"status":{"2":4,"33":1}})")
            << "battery ?, level ?, charging 1, rec ?, time ?, photos ?, video ?, free ?, card ready";
        QTest::newRow("empty") << true << QByteArray(R"({"status":{"2":0,"70":0,"33":3}})")
            << "battery 0, level 0, charging 0, rec ?, time ?, photos ?, video ?, free ?, card error";
        QTest::newRow("wrong types") << false << QByteArray(R"({"status":{"70":"87","2":true,"8":"1",)"
            R"("13":null,"34":[480],"35":{},"54":"12011718","33":"0"}})") << unknown;
        QTest::newRow("out of range") << false << QByteArray(R"({"status":{"70":101,"2":5,"8":2,)"
            R"("13":-1,"34":-5,"35":1.5,"54":1e300,"33":-1}})") << unknown;
        QTest::newRow("fraction") << true << QByteArray(R"({"status":{"70":87.5,"10":0.5}})") << unknown;
        QTest::newRow("not JSON") << false << QByteArray("<html>500</html>") << unknown;
        QTest::newRow("cut short") << false << QByteArray(R"({"status":{"70":87,"8":1)") << unknown;
        QTest::newRow("no status") << false << QByteArray(R"({"settings":{"70":87}})") << unknown;
        QTest::newRow("status not an object") << false << QByteArray(R"({"status":[87]})") << unknown;
        QTest::newRow("array") << false << QByteArray(R"([{"status":{"70":87}}])") << unknown;
    }
    void statusReplyRules()
    {
        QFETCH(bool, newer);
        QFETCH(QByteArray, body);
        const auto family = newer ? CameraStatus::Family::OpenGoPro : CameraStatus::Family::GpControl;
        QTEST(summary(CameraStatus::parse(body, family)), "expected");
    }

    // A camera by Wi-Fi and one on a USB cable at once: each answers at its own address only,
    // the cable is a real interface until it is pulled, and the HERO12 on it tells its serial
    // but takes a command only once wired control is on.
    void usbCameraBesideWifi()
    {
        if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_sim.stop(); // it listens on every address; init() brings it back
        const QString serial = "C3501324645504";
        CamSim wifi, usb;
        QVERIFY(wifi.start({"--model", "12", "--address", "10.5.5.9", "--serial", "C3441326543210"}));
        QVERIFY(usb.startUsb(serial, {"--model", "12"}));
        const QString cable = "http://172.25.104.51:8080";
        QCOMPARE(CamSim::usbCameraAddress(serial).toString(), "172.25.104.51");

        const QString name = CamSim::usbInterfaceName(serial);
        QVERIFY(name.startsWith("enx"));
        const QList<QNetworkAddressEntry> entries = QNetworkInterface::interfaceFromName(name).addressEntries();
        QVERIFY(std::any_of(entries.begin(), entries.end(), [](const QNetworkAddressEntry& e) {
            return e.ip() == QHostAddress("172.25.104.52") && e.prefixLength() == 24;
        }));

        std::unique_ptr<QNetworkAccessManager> nam(cameranetwork::newManager(nullptr));
        QByteArray body;
        const auto get = [&](const QString& url) {
            QNetworkRequest request{QUrl(url)};
            request.setTransferTimeout(3000);
            std::unique_ptr<QNetworkReply> reply(nam->get(request));
            if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 5000))
                return -1; // no end at all, not even a failure
            body = reply->isOpen() ? reply->readAll() : QByteArray();
            return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        };
        const auto serialIn = [&] { return QJsonDocument::fromJson(body)["serial_number"].toString(); };
        QCOMPARE(get(cable + "/gopro/camera/info"), 200);
        QCOMPARE(serialIn(), serial);
        QCOMPARE(get("http://10.5.5.9:8080/gopro/camera/info"), 200);
        QCOMPARE(serialIn(), "C3441326543210");
        QCOMPARE(get("http://127.0.0.1:8080/gopro/camera/info"), 0);

        QCOMPARE(get(cable + "/gopro/camera/shutter/start"), 403);
        QCOMPARE(get("http://10.5.5.9:8080/gopro/camera/shutter/start"), 200);
        QCOMPARE(get(cable + "/gopro/camera/control/wired_usb?p=1"), 200);
        QCOMPARE(get(cable + "/gopro/camera/shutter/start"), 200);
        QCOMPARE(usb.state()["shutter"].toBool(), true);
        for (auto [sim, address, count] :
             {std::tuple{&wifi, "10.5.5.9", 2}, std::tuple{&usb, "172.25.104.51", 4}}) {
            const QJsonArray log = sim->requests();
            QCOMPARE(log.size(), count);
            for (const QJsonValue& entry : log)
                QCOMPARE(entry["address"].toString(), address);
        }

        QVERIFY(CamSim::unplugUsb(serial));
        QVERIFY(!QNetworkInterface::interfaceFromName(name).isValid());
        QCOMPARE(get(cable + "/gopro/camera/info"), 0);
        QVERIFY(usb.isRunning());
    }
};

VELKAMO_TEST_MAIN(TestCameraLink)
#include "tst_cameralink.moc"
