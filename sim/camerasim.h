#pragma once

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <vector>

namespace httplib {
struct Request;
struct Response;
}

class HomeTls;
class MediaStore;
class PreviewStreamer;

// The camera as the program sees it over HTTP: answers on ports 80 and 8080 the way the
// camera's API does for the simulated model (the gpControl family on 80 only, the Open GoPro
// one on 8080 only), records every request, and takes orders from the tests through the
// control API (answer modes, faults, model, media list).
//
// On a USB cable (usb) a camera from HERO10 on answers its state, card and files but refuses
// commands and settings until the program switches wired control on.
class CameraSim
{
public:
    // Connections accepted on one camera port and not yet closed, for checks on how many
    // the program opens at once. Updated by the server's task queue.
    struct Connections {
        std::atomic<int> current{0};
        std::atomic<int> peak{0};
        std::atomic<qint64> total{0};
        void opened()
        {
            const int now = ++current;
            ++total;
            int seen = peak;
            while (now > seen && !peak.compare_exchange_weak(seen, now)) {
            }
        }
        void closed() { --current; }
        void reset()
        {
            peak = current.load();
            total = 0;
        }
    };
    Connections& connections(int port) { return port == 80 ? m_connections80 : m_connections8080; }

    static constexpr int kMaxStartLatencyMs = 60000;

    CameraSim(const QString& refDir, MediaStore* media, PreviewStreamer* streamer);

    // Loads hero<N>_cmds.json from the profile directory when there is one.
    void setModel(int model);
    // Downloads answer a Range request with the whole file (200): a camera that cannot resume.
    void setIgnoreRange(bool ignore) { m_ignoreRange = ignore; }
    // The older media requests (/gp/gpMediaList, /gp/gpMediaMetadata) answer 404, as on a
    // firmware that dropped them; the documented list (/gopro/media/list) answers 404, as a
    // HERO10 has until its battery was pulled.
    void setLegacyMedia(bool on) { m_legacyMedia = on; }
    void setDocumentedList(bool on) { m_documentedList = on; }
    // HERO12 firmware 01.30: a log line of the camera's web server before the status line of
    // the media answers (lists, thumbnails, files) on ports 80 and 8080.
    void setDebugLine(bool on) { m_debugLine = on; }
    // The preview's codec: "auto" (HEVC on a HERO13, H.264 on the others), "h264" or "hevc";
    // false for anything else.
    bool setPreviewCodec(const QString& codec);
    // Turbo transfer (from model 9): on as /gopro/media/turbo_transfer?p=1 leaves it, as a
    // download that crashed or another program did; refused: that request answers 500.
    void setTurbo(bool on, bool refused);
    // Set before serving: the address it answers at (empty: every local one), whether it is
    // on a cable, and the serial its info requests report.
    void setLink(const QString& address, bool usb);
    void setSerial(const QString& serial);
    // Identity questions (either family) are answered ms late.
    void setInfoDelay(int ms);
    // How a HERO13 answers webcam start, as users report it: "none" (it works), "500" (HTTP
    // 500) or "unavailable" ({"status":4,"error":7}); false for anything else.
    bool setWebcamRefusal(const QString& how);
    // Holds an identity answer for that delay.
    void delayInfo();
    // Holds a poll (the status, keep-alive and state requests) for the delay set with
    // /poll-delay: a camera slow to tell its state that still takes commands at once.
    void delayPoll();
    // How long the camera takes to start or stop recording once a shutter request is in:
    // each one is answered after a delay drawn from [minMs, maxMs].
    void setStartLatency(int minMs, int maxMs);
    // On the home network: every path of both families over HTTPS on port 443, each request
    // with the camera's Basic credentials (else 401).
    void setHome(HomeTls* home) { m_home = home; }
    static constexpr int kHomePort = 443;

    void handleCamera(int port, const httplib::Request& req, httplib::Response& res);
    void handleControl(const httplib::Request& req, httplib::Response& res);

    // Another host, where the camera's redirects point (origin: "http://127.0.0.2:PORT"). It
    // records what it is asked, apart from the camera's log, and answers as a stranger would:
    // a media list of other files, other pictures for thumbnails and files (a file's of the
    // camera's size, ranges honoured), {} for the rest. Set before serving.
    void setElsewhere(const QString& origin) { m_elsewhere = origin; }
    void handleElsewhere(int port, const httplib::Request& req, httplib::Response& res);

    bool quitRequested() const { return m_quit; }
    void requestQuit();

private:
    enum class Answer { Normal, NotFound, ServerError, Stall, Trickle, Oversize, Redirect };
    struct Fault {
        QString kind;
        quint64 bytes = 0; // truncate: cut after this many bytes (0: half)
        quint64 rate = 0;  // slow: bytes per second
    };
    struct LogEntry {
        int port;
        QString address; // the camera's address the request came to
        QString method, path, query, target;
        QString range; // the Range header, as sent
        qint64 timeMs; // on arrival, before any stall or delay
        int status;
        qint64 startedMs = -1; // a shutter request: when the camera started (or stopped)
    };
    // A request as it came in: its log entry, and when the camera took it up (its arrival,
    // or the end of a stall that held it).
    struct Arrival {
        int logIndex;
        qint64 takenMs;
    };
    struct Profile {
        bool loaded = false;
        QSet<QString> accepted; // "path?query" of every profile URL
        QMap<int, QJsonArray> options; // setting id -> [{"id":..,"display_name":..}]
    };

    int appendLog(int port, const httplib::Request& req, qint64 ms,
                  std::vector<LogEntry>* log = nullptr);
    void setLogStatus(int index, int status, std::vector<LogEntry>* log = nullptr);
    static QJsonArray logJson(const std::vector<LogEntry>& log);
    // A 302 to the same target on the other host.
    void redirect(const httplib::Request& req, httplib::Response& res);
    // Sleeps ms in short steps, ending early when the simulator quits.
    void hold(int ms);
    void waitWhileStalled(const QString& faultPath = QString());
    // The fault set on key ("thumbnail:DIR/NAME"), once a stall on it has ended.
    Fault faultAfterStall(const QString& key);
    // Sends the body already set a few bytes a second ("trickle") or followed by far more
    // than any answer of its kind ("oversize"); any other kind leaves it as it is.
    void shapeBody(httplib::Response& res, const QString& kind);
    void route(int port, const httplib::Request& req, httplib::Response& res, const Arrival& arrival);
    // The port whose family serves path on the access point: the home network's one port
    // serves both.
    static int servingPort(const std::string& path);
    void serveFile(const QString& mediaPath, const httplib::Request& req, httplib::Response& res);
    void gpSetting(const httplib::Request& req, httplib::Response& res);
    void ogpSetting(const httplib::Request& req, httplib::Response& res);
    void gpError(const httplib::Request& req, httplib::Response& res);
    void json(httplib::Response& res, const QJsonObject& body, int status = 200);
    QJsonObject stateJson();
    QJsonObject cameraStatus();
    void setShutter(bool on);
    // A shutter request the camera takes: it starts (or stops) after the drawn latency.
    void shutterAfterLatency(bool on, const Arrival& arrival);
    void cameraStatusControl(const httplib::Request& req, httplib::Response& res);
    // The current model's settings; m_mutex held.
    QMap<int, int>& settings();
    // Takes a date and a time (each of three numbers, padded or not) for the camera's clock.
    bool setClock(int year, int month, int day, int hour, int minute, int second, int zone, bool dst);
    // The camera's wall-clock time now, as UTC numbers.
    QDateTime clockNow();
    bool profileHas(int port, const httplib::Request& req);
    // True (and the request answered) when a camera on a cable turns it away for want of
    // wired control.
    // The media list as the camera serves it now, late where /list-delay asked for that.
    void serveList(httplib::Response& res);
    bool refuseWithoutWiredControl(int model, const httplib::Request& req, httplib::Response& res);
    // Starts the preview of model towards the client, in the codec set for it.
    bool startStream(const httplib::Request& req, int model);
    // /gopro/webcam/...: webcam mode.
    void webcam(const httplib::Request& req, httplib::Response& res, int model);
    // True (and the request answered) when the camera, as a webcam, does not take it.
    bool refuseAsWebcam(const httplib::Request& req, httplib::Response& res);
    void loadProfile(int model);

    QString m_refDir;
    MediaStore* m_media;
    PreviewStreamer* m_streamer;
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_ignoreRange{false};
    std::atomic<bool> m_legacyMedia{true};
    std::atomic<bool> m_documentedList{true};
    std::atomic<bool> m_debugLine{false};
    Connections m_connections80;
    Connections m_connections8080;

    std::mutex m_mutex;
    std::condition_variable m_wake; // answer mode, faults or quit changed
    std::vector<LogEntry> m_log;
    QString m_elsewhere;
    std::vector<LogEntry> m_elsewhereLog;
    Answer m_answer = Answer::Normal;
    QHash<QString, Fault> m_faults;
    int m_model = 5;
    Profile m_profile;
    QString m_address;
    bool m_usb = false;
    QString m_serial;
    HomeTls* m_home = nullptr;
    int m_authRefusals = 0;
    bool m_wiredControl = false;
    bool m_turbo = false; // status 113
    bool m_turboRefused = false;
    int m_wiredRefusals = 0;
    bool m_shutter = false;
    std::chrono::steady_clock::time_point m_recordingSince;
    // Battery: percent when last set, draining by m_drain percent a minute from then.
    double m_battery = 87;
    double m_drain = 0;
    std::chrono::steady_clock::time_point m_batterySetAt = std::chrono::steady_clock::now();
    bool m_charging = false;
    bool m_cardPresent = true;
    quint64 m_cardCapacity = 64000000000ULL;
    // Status ids the tests replaced; an undefined value leaves the id out.
    QHash<QString, QJsonValue> m_statusOverrides;
    int m_mode = 0;
    int m_subMode = 0;
    int m_presetGroup = 1000;
    // Each model's settings (id to option), as it reports them; a model's first use starts
    // from what a freshly switched-on camera reports. Use settings().
    QMap<int, QMap<int, int>> m_settingsOfModel;
    // Options refused with the camera's error ("id/option"), while they are in the profile.
    QSet<QString> m_refusedOptions;
    int m_formatCount = 0;
    int m_nextListDelayMs = 0; // the next media lists are answered this late
    int m_delayedLists = 0; // how many of them
    int m_infoDelayMs = 0; // identity questions are answered this late
    int m_pollDelayMs = 0; // status, keep-alive and state requests are answered this late
    // The camera's clock: its wall-clock time less the system's UTC time, and the zone it was
    // given. Never set, it reads UTC.
    qint64 m_clockAheadMs = 0;
    int m_clockZone = 0;
    bool m_clockDst = false;
    int m_clockSets = 0;
    bool m_clockRefused = false; // set requests are refused
    int m_sleepCount = 0;
    int m_streamStarts = 0;
    // Webcam mode: status 0 Off, 1 Idle, 2 High Power Preview, 3 Low Power Preview; the last
    // error; what start asked for.
    int m_webcamStatus = 0;
    int m_webcamError = 0;
    int m_webcamRes = 0;
    int m_webcamFov = 0;
    int m_webcamPort = 0;
    int m_webcamStarts = 0;
    int m_webcamBusyRefusals = 0;
    QString m_webcamRefusal = QStringLiteral("none");
    QString m_previewCodec = QStringLiteral("auto");
    int m_startLatencyMinMs = 0;
    int m_startLatencyMaxMs = 0;
    std::mt19937 m_random{std::random_device{}()};
};
