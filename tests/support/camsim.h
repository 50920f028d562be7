#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QObject>
#include <QProcess>
#include <QStringList>

// Starts the camera simulator (velkamo-camsim) for one test and drives its control API.
// The simulator answers on ports 80 and 8080 of every local address (10.5.5.9 in the
// sandbox), or of the one given with --address, and records every request it gets.
//
// Several cameras at once each have a CamSim, an address and a control port of their own:
// one by Wi-Fi started with {"--address", "10.5.5.9"} (control port 8999), one by USB
// started with startUsb().
//
// Control calls spin a local event loop until the answer comes (or a time-out), so the
// program under test keeps running while a test asks the simulator something.
class CamSim : public QObject
{
    Q_OBJECT
public:
    explicit CamSim(QObject* parent = nullptr);
    ~CamSim() override;

    // Runs the staged simulator with extraArgs (for example {"--model", "9"},
    // {"--media-count", "10"}, {"--ref", dir}) and waits for it to be ready. False, with a
    // warning, when it does not start. The simulator's stderr goes to the test's stderr.
    bool start(const QStringList& extraArgs = {});
    // Asks it to quit (kills it when it does not); also done by the destructor.
    void stop();
    bool isRunning() const;
    int controlPort() const { return m_controlPort; }

    // Every request received, in order: {"port","address","method","path","query","target",
    // "range","time_ms","status"}, and "started_ms" for a shutter request the camera took;
    // address is the camera's address it came to; range is the Range header; status is 0
    // while a request is held unanswered. Times are ms on CLOCK_MONOTONIC (as
    // QElapsedTimer::msecsSinceReference()), the same for every simulator.
    QJsonArray requests();
    // The log as "PORT TARGET" strings, for example "80 /gp/gpControl/command/shutter?p=1"
    // or "8080 /gopro/camera/keep_alive" (TARGET is the path with its raw query, as sent).
    // port 0 gives the requests of both ports.
    QStringList targets(int port = 0);
    // What the other host got, the one the camera's redirects point to (another loopback
    // address): entries as in requests(); address is that host's. Cleared with clearLog().
    QJsonArray elsewhereRequests();
    // That host, as "http://127.0.0.2:PORT".
    QString elsewhereOrigin();
    // Number of requests whose target starts with targetPrefix.
    int countRequests(const QString& targetPrefix);
    // The targets (as targets()) other than the polls, identity questions and clock settings
    // every camera found gets: what the user made the program send.
    QStringList commands();
    // When each of them arrived (time_ms), in arrival order.
    QList<qint64> arrivalTimes(const QString& targetPrefix);
    // Waits (spinning the event loop) until at least minCount requests whose target starts
    // with targetPrefix are in the log.
    bool waitForRequest(const QString& targetPrefix, int timeoutMs, int minCount = 1);
    void clearLog();

    // "normal", "404", "500" (every camera request gets that status), "stall" (requests
    // are held without an answer until the mode changes), "trickle" (bodies come a few bytes
    // a second), "oversize" (bodies followed by 64 MB of spaces) or "redirect" (a 302 to the
    // same target on another host, see elsewhereRequests()); downloads keep their own.
    bool setAnswer(const QString& mode);
    // The simulated model: up to 8 the older request family, from 9 the newer one.
    bool setModel(int model);
    // Each shutter request is answered, and the camera starts or stops recording, after a
    // delay drawn from [minMs, maxMs]; the log tells when ("started_ms").
    bool setStartLatency(int minMs, int maxMs);
    // Camera state: shutter, mode, subMode, presetGroup, settings {"id": value}, streaming,
    // streamTarget, streamStarts, formatCount, sleepCount, mediaCount, deleted [paths],
    // model, answer, faults, requests.
    QJsonObject state();
    // Fault for downloads of one media path ("100GOPRO/GOPR0001.JPG"): "truncate" (full
    // length announced, connection cut after `bytes` bytes, half by default), "short" (a
    // complete answer of half the file), "404", "500", "slow" (`rate` bytes/s, 256 KiB/s by
    // default), "stall", "chunked" (no Content-Length), "redirect" (a 302 to the same target
    // on another host, whatever the Range), or "none".
    bool setFault(const QString& mediaPath, const QString& kind, qint64 bytes = 0, qint64 rate = 0);
    // Downloads answer a Range request with 200 and the whole file (a camera that cannot
    // resume), or with 206 and the part asked for.
    bool setIgnoreRange(bool ignore);
    // Which media requests the camera answers (404 otherwise): the older ones
    // (/gp/gpMediaList, /gp/gpMediaMetadata; also --no-legacy-media) and the documented list
    // (/gopro/media/list; also --no-documented-list).
    bool setMediaRequests(bool legacy, bool documentedList);
    // As HERO12 firmware 01.30 (also "--debug-line" at start): the media answers (lists,
    // thumbnails, files) start with the camera's web server log line before the status line.
    bool setDebugLine(bool on);
    // Turbo transfer (status 113, from model 9; also "--turbo" at start): on as a download
    // that crashed leaves it; refused: /gopro/media/turbo_transfer answers 500 and changes
    // nothing.
    bool setTurbo(bool on, bool refused = false);
    // Fault for another request about one file: of "thumbnail" ("404", "500", "stall",
    // "trickle", "oversize", "giant": it claims 20000 x 20000 pixels, "large": the 1280 x 960
    // picture itself, "redirect") or of "delete" ("404", "500", "stall", "redirect"); "none"
    // ends it.
    bool setFaultOf(const QString& request, const QString& mediaPath, const QString& kind);
    // The status the camera reports, as "/camera-status" parameters: "battery=12",
    // "drain=2" (percent a minute), "charging=1", "recording=0", "card=0" (no card), "capacity=BYTES".
    bool setCameraStatus(const QString& query);
    // Replaces one id of the status reply by a JSON value ("\"87\"", "null"); an empty one
    // leaves the id out. resetStatusIds gives every id back to the simulation.
    bool overrideStatusId(int id, const QByteArray& json);
    bool resetStatusIds();
    // Replaces the card's media list: generated files, or this exact media list body.
    bool setMediaCount(int count);
    bool setMediaJson(const QByteArray& body);
    // The next media list request (the next count) is answered ms late, with the list as it was
    // when asked.
    bool delayNextList(int ms, int count = 1);
    // Identity questions (/gopro/camera/info, /gp/gpControl/info) are answered ms late.
    bool setInfoDelay(int ms);
    // Requests that set the camera's clock are refused (HTTP 500), or taken again. What the
    // clock reads is in state()'s "clock": {"local" (its wall-clock time, ms), "tzone", "dst",
    // "sets"}.
    bool setClockRefused(bool refused);
    // Setting id of the current model changes to value, as by the camera's own buttons.
    bool setSetting(int id, int value);
    // From now on the camera refuses (or takes again) value of setting id with its error.
    bool refuseOption(int id, int value, bool refuse = true);
    // The polls (status, keep-alive, state) are answered ms late, everything else at once: a
    // camera slow to tell its state that still takes commands. Past the program's poll
    // deadline (2 s) it is taken for away.
    bool setPollDelay(int ms);
    // Another camera at the same address (the next camera's access point joined): its serial
    // and model from now on; give it a card of its own with setMediaCount or setMediaJson.
    bool setIdentity(const QString& serial, int model);

    // The media list body the camera serves now.
    QByteArray mediaList();

    // The camera leaves the Wi-Fi (its address disappears) and comes back.
    static bool leaveNetwork();
    static bool joinNetwork();
    // Gives the namespace a default route into a tap device that nothing reads, as on a PC
    // whose own network leads elsewhere: connects to 10.5.5.9 then hang instead of failing
    // while the address is not on lo. Empty on success, else why it cannot be done here.
    static QString routeIntoBlackHole();
    static void removeBlackHole();

    // A camera on a USB cable (HERO10 on; HERO8 and HERO9 as "GoPro Connect") is a network
    // device. Plugging it makes a tap named as a USB adapter is (enx and its MAC) holding the
    // PC's side 172.2X.1YZ.52/24 and the camera's 172.2X.1YZ.51 (X, Y, Z: the serial's last
    // three digits), and stages its sysfs as the kernel shows such a cable: a USB device of
    // GoPro's (vendor 2672) with the camera's serial, product "HERO<model> Black" (see
    // fakesysfs.h). Both addresses are local, so nothing leaves the namespace, and requests to
    // the camera leave from .52 as from a real PC. Unplugging removes the tap, its addresses and
    // its sysfs: requests then fail as when the cable is pulled; the simulator keeps running.
    // usbUnavailable: empty where a tap can be made, else why not (skip the test then).
    static QString usbUnavailable();
    static bool plugUsb(const QString& serial, int model = 12);
    static bool unplugUsb(const QString& serial);
    static QString usbInterfaceName(const QString& serial);
    // Null for a serial that does not end in three digits.
    static QHostAddress usbCameraAddress(const QString& serial);
    static QHostAddress usbHostAddress(const QString& serial);
    // Plugs the camera and starts its simulator there (--address, --usb, --serial) with a
    // control port of its own, 9000 + the serial's last three digits, unless extraArgs give
    // one. The cable is unplugged when this object goes.
    bool startUsb(const QString& serial, const QStringList& extraArgs = {});

    // A camera on the home network: kHomeAddress put on lo, the simulator there with --home
    // (HTTPS on 443 only, Basic auth with this password, a certificate chain of its own),
    // --serial and control port 9443 unless extraArgs give one.
    static constexpr const char* kHomeAddress = "192.168.50.103";
    bool startHome(const QString& serial, const QString& password, const QStringList& extraArgs = {});
    // The root the camera hands out on set-up (PEM).
    QByteArray homeRootCertificate();
    // The camera makes a new chain, as after a reset: connections of the old one are dropped.
    bool switchHomeCertificate();

    // Raw control request ("/state", "/answer?mode=404", ...); the body, empty on failure.
    QByteArray control(const QString& pathAndQuery, int timeoutMs = 10000,
                       const QByteArray& postBody = QByteArray(), int* httpStatus = nullptr);

private:
    QProcess m_process;
    QNetworkAccessManager m_nam;
    int m_controlPort = 8999;
    QString m_usbSerial; // the cable this object plugged
};
