#include "camerasim.h"

#include "cameraidentity.h"
#include "mediastore.h"
#include "previewstreamer.h"

#include "hometls.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <thread>

#include <dirent.h>
#include <netdb.h>
#include <sys/socket.h>
#include <time.h>

namespace {

// "ADDRESS PORT" of one end of a socket, as the library writes them into a request.
std::string socketEnd(int fd, bool peer)
{
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    auto* a = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? getpeername(fd, a, &length) : getsockname(fd, a, &length)) != 0)
        return {};
    char host[NI_MAXHOST];
    char port[NI_MAXSERV];
    if (getnameinfo(a, length, host, sizeof(host), port, sizeof(port), NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return {};
    return std::string(host) + ' ' + port;
}

// Writes bytes on the connection req came on, before the library writes its answer. The
// library hides its sockets, so the one is found by its two ends. Only the thread serving a
// connection writes on it, and it is here.
void writeBeforeAnswer(const httplib::Request& req, const std::string& bytes)
{
    const std::string local = req.local_addr + ' ' + std::to_string(req.local_port);
    const std::string remote = req.remote_addr + ' ' + std::to_string(req.remote_port);
    DIR* fds = opendir("/proc/self/fd");
    if (!fds)
        return;
    while (const dirent* entry = readdir(fds)) {
        const int fd = std::atoi(entry->d_name);
        if (fd > 2 && socketEnd(fd, false) == local && socketEnd(fd, true) == remote) {
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            break;
        }
    }
    closedir(fds);
}

bool isMediaRequest(const std::string& path)
{
    return path == "/gp/gpMediaList" || path == "/gopro/media/list" || path == "/gp/gpMediaMetadata"
        || path == "/gopro/media/thumbnail" || path.rfind("/videos/DCIM/", 0) == 0;
}

// How long the card takes to be wiped, and to lose one file.
constexpr std::chrono::milliseconds kFormatTime{1500};
constexpr std::chrono::milliseconds kDeleteTime{200};

// What a photo and a second of video take on the card.
constexpr quint64 kPhotoBytes = 4000000;
constexpr quint64 kVideoBytesPerSecond = 7500000;

// Milliseconds on CLOCK_MONOTONIC: one clock for every process on the host, so the logs of
// several simulators running at once (and the client's own times) line up.
qint64 monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

QString str(const std::string& s)
{
    return QString::fromStdString(s);
}

QString param(const httplib::Request& req, const char* key)
{
    return req.has_param(key) ? str(req.get_param_value(key)) : QString();
}

bool toInt(const QString& text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

// The key a profile URL and a received request are compared by: path and raw query.
QString requestKey(const QString& path, const QString& query)
{
    return query.isEmpty() ? path : path + QLatin1Char('?') + query;
}

bool startsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// Media paths arrive with or without a leading "/" (the delete command has one).
QString mediaPathParam(const QString& value)
{
    QString p = value;
    while (p.startsWith(QLatin1Char('/')))
        p.remove(0, 1);
    return p;
}

constexpr auto kStallLimit = std::chrono::seconds(120);

// A trickling answer: a few bytes every half second, often enough that no time-out on
// silence ever fires.
constexpr size_t kTrickleBytes = 4;
constexpr std::chrono::milliseconds kTrickleStep{500};
// An oversized answer: its body, then this much padding (spaces: JSON stays JSON and a JPEG
// ends at its end marker), more than the largest answer the camera sends, its media list.
constexpr size_t kOversizePadding = 64 * 1024 * 1024;

// Makes a JPEG claim to be 20000 x 20000 pixels: its frame header says so, its data does not.
// Small enough that Qt still decodes it at an eighth (25 MB); its pixels would take 1.6 GB.
void claimGiantSize(std::string* jpeg)
{
    for (size_t i = 2; i + 9 < jpeg->size(); ++i) {
        const auto marker = static_cast<unsigned char>((*jpeg)[i + 1]);
        if (static_cast<unsigned char>((*jpeg)[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2) {
            for (size_t at : {i + 5, i + 7}) { // height, then width, big-endian
                (*jpeg)[at] = char(20000 >> 8);
                (*jpeg)[at + 1] = char(20000 & 0xFF);
            }
            return;
        }
    }
}

// What a camera on a cable answers before wired control is on: its state, its identity, its
// card and files, and the switch itself.
bool answersWithoutWiredControl(const std::string& path)
{
    static const std::set<std::string> reads{
        "/gopro/camera/keep_alive", "/gopro/camera/state", "/gopro/camera/info", "/gopro/version",
        "/gopro/camera/control/wired_usb", "/gopro/media/list", "/gopro/media/thumbnail",
        "/gp/gpMediaList", "/gp/gpMediaMetadata", "/gp/gpControl/status", "/gp/gpControl/info"};
    return reads.count(path) > 0 || startsWith(path, "/videos/DCIM/") || startsWith(path, "/gopro/webcam/");
}

// What a webcam still answers: its polls, identity, clock, the wired switch and webcam mode.
bool answersAsWebcam(const std::string& path)
{
    static const std::set<std::string> kept{
        "/gopro/camera/keep_alive", "/gopro/camera/state", "/gopro/camera/info", "/gopro/version",
        "/gopro/camera/control/wired_usb", "/gopro/camera/set_date_time", "/gopro/camera/get_date_time",
        "/gp/gpControl/status", "/gp/gpControl/info"};
    return kept.count(path) > 0 || startsWith(path, "/gopro/webcam/");
}

struct WebcamSize {
    int res;
    int width;
    int height;
};
// The resolutions of webcam start's res: 480p on HERO9 and HERO10 only.
constexpr WebcamSize kWebcamSizes[] = {{4, 848, 480}, {7, 1280, 720}, {12, 1920, 1080}};

} // namespace

CameraSim::CameraSim(const QString& refDir, MediaStore* media, PreviewStreamer* streamer)
    : m_refDir(refDir), m_media(media), m_streamer(streamer)
    , m_serial(QLatin1String(cameraidentity::kDefaultSerial))
{
}

QMap<int, int>& CameraSim::settings()
{
    auto it = m_settingsOfModel.find(m_model);
    // What a freshly switched-on camera reports.
    if (it == m_settingsOfModel.end())
        it = m_settingsOfModel.insert(m_model, {{2, 9}, {3, 8}, {4, 0}, {17, 0}, {54, 0}, {62, 2500000}, {64, 4}, {83, 0}, {86, 0}});
    return *it;
}

void CameraSim::setModel(int model)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_model = model;
    loadProfile(model);
}

void CameraSim::setLink(const QString& address, bool usb)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_address = address;
    m_usb = usb;
    // Every camera reads Idle instead of Off after a new USB connection.
    m_webcamStatus = usb ? 1 : 0;
}

bool CameraSim::setWebcamRefusal(const QString& how)
{
    if (how != QLatin1String("none") && how != QLatin1String("500") && how != QLatin1String("unavailable"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_webcamRefusal = how;
    return true;
}

void CameraSim::setSerial(const QString& serial)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_serial = serial;
}

void CameraSim::setInfoDelay(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_infoDelayMs = ms;
}

void CameraSim::hold(int ms)
{
    for (int waited = 0; waited < ms && !m_quit; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, ms - waited)));
}

void CameraSim::delayInfo()
{
    int ms;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ms = m_infoDelayMs;
    }
    hold(ms);
}

void CameraSim::delayPoll()
{
    int ms;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ms = m_pollDelayMs;
    }
    hold(ms);
}

void CameraSim::loadProfile(int model)
{
    m_profile = Profile();
    if (m_refDir.isEmpty())
        return;
    const QString fileName = QDir(m_refDir).filePath(QStringLiteral("hero%1_cmds.json").arg(model));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "camsim: no profile %s: every setting is accepted\n",
                     qPrintable(fileName));
        return;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject()) {
        std::fprintf(stderr, "camsim: profile %s is not a JSON object: every setting is accepted\n",
                     qPrintable(fileName));
        return;
    }
    m_profile.loaded = true;
    auto addUrl = [this](const QString& label, const QJsonValue& value) {
        const QUrl url(value.toString());
        if (!url.isValid() || url.path().isEmpty())
            return;
        m_profile.accepted.insert(requestKey(url.path(), url.query(QUrl::FullyEncoded)));
        // Remember each setting's options for the error answer's list.
        int id = -1, option = -1;
        const QStringList parts = url.path().split(QLatin1Char('/'));
        const QUrlQuery query(url);
        if (url.path().startsWith(QLatin1String("/gp/gpControl/setting/")) && parts.size() >= 6) {
            toInt(parts.at(4), &id);
            toInt(parts.at(5), &option);
        } else if (url.path() == QLatin1String("/gopro/camera/setting")) {
            toInt(query.queryItemValue(QStringLiteral("setting")), &id);
            toInt(query.queryItemValue(QStringLiteral("option")), &option);
        }
        if (id >= 0)
            m_profile.options[id].append(
                QJsonObject{{QStringLiteral("id"), option}, {QStringLiteral("display_name"), label}});
    };
    const QJsonObject root = doc.object();
    for (const char* member : {"Mode", "Live Stream BitRate", "Live Stream Window Size"}) {
        const QJsonObject entries = root.value(QLatin1String(member)).toObject();
        for (auto it = entries.begin(); it != entries.end(); ++it)
            addUrl(it.key(), it.value());
    }
    const QJsonObject dropdown = root.value(QLatin1String("dropdown")).toObject();
    for (auto type = dropdown.begin(); type != dropdown.end(); ++type) {
        const QJsonObject options = type.value().toObject();
        for (auto it = options.begin(); it != options.end(); ++it)
            addUrl(it.key(), it.value());
    }
    std::fprintf(stderr, "camsim: model %d, profile %s with %d URLs\n", model,
                 qPrintable(fileName), int(m_profile.accepted.size()));
}

void CameraSim::requestQuit()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
}

void CameraSim::setStartLatency(int minMs, int maxMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_startLatencyMinMs = minMs;
    m_startLatencyMaxMs = maxMs;
}

int CameraSim::appendLog(int port, const httplib::Request& req, qint64 ms, std::vector<LogEntry>* log)
{
    const QString target = str(req.target);
    const int q = target.indexOf(QLatin1Char('?'));
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!log)
        log = &m_log;
    log->push_back(LogEntry{port, str(req.local_addr), str(req.method), str(req.path),
                            q < 0 ? QString() : target.mid(q + 1), target,
                            str(req.get_header_value("Range")), ms, 0, -1});
    return int(log->size()) - 1;
}

void CameraSim::setLogStatus(int index, int status, std::vector<LogEntry>* log)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!log)
        log = &m_log;
    // The log may have been cleared while the request was held.
    if (index >= 0 && index < int(log->size()))
        (*log)[size_t(index)].status = status;
}

QJsonArray CameraSim::logJson(const std::vector<LogEntry>& log)
{
    QJsonArray entries;
    for (const LogEntry& e : log) {
        QJsonObject entry{{QStringLiteral("port"), e.port},
                          {QStringLiteral("address"), e.address},
                          {QStringLiteral("method"), e.method},
                          {QStringLiteral("path"), e.path},
                          {QStringLiteral("query"), e.query},
                          {QStringLiteral("target"), e.target},
                          {QStringLiteral("range"), e.range},
                          {QStringLiteral("time_ms"), e.timeMs},
                          {QStringLiteral("status"), e.status}};
        if (e.startedMs >= 0)
            entry.insert(QStringLiteral("started_ms"), e.startedMs);
        entries.append(entry);
    }
    return entries;
}

void CameraSim::redirect(const httplib::Request& req, httplib::Response& res)
{
    res.set_redirect((m_elsewhere + str(req.target)).toStdString(), 302);
    res.set_content("Found", "text/plain");
    // The library would apply a download's Range to this body (416); the Range is for the
    // other host. The request object is the server's own, not a constant.
    const_cast<httplib::Request&>(req).ranges.clear();
}

void CameraSim::handleElsewhere(int port, const httplib::Request& req, httplib::Response& res)
{
    const int index = appendLog(port, req, monotonicMs(), &m_elsewhereLog);
    const std::string& p = req.path;
    // A real picture, so that anything shown or saved from here would pass for one.
    auto sendBlob = [&res](const std::shared_ptr<const Blob>& blob) {
        res.set_content_provider(size_t(blob->size()), "image/jpeg",
                                 [blob](size_t offset, size_t wanted, httplib::DataSink& sink) {
                                     std::vector<char> buffer(std::min<size_t>(wanted, 256 * 1024));
                                     const size_t got = blob->read(offset, buffer.data(), buffer.size());
                                     return got > 0 && sink.write(buffer.data(), got);
                                 });
    };
    std::shared_ptr<const Blob> blob;
    if (p == "/gp/gpMediaList" || p == "/gopro/media/list") {
        json(res, QJsonObject{{QStringLiteral("id"), QStringLiteral("elsewhere")},
                              {QStringLiteral("media"),
                               QJsonArray{QJsonObject{{QStringLiteral("d"), QStringLiteral("100GOPRO")},
                                                      {QStringLiteral("fs"),
                                                       QJsonArray{QJsonObject{
                                                           {QStringLiteral("n"), QStringLiteral("ELSEWHERE.JPG")},
                                                           {QStringLiteral("mod"), QStringLiteral("1")}}}}}}}});
    } else if (p == "/gp/gpMediaMetadata" || p == "/gopro/media/thumbnail") {
        const QString path = mediaPathParam(param(req, p == "/gp/gpMediaMetadata" ? "p" : "path"));
        if ((blob = m_media->otherPicture(path, false, 0)))
            sendBlob(blob);
    } else if (startsWith(p, "/videos/DCIM/")) {
        const QString path = str(p.substr(std::string("/videos/DCIM/").size()));
        const std::shared_ptr<const Blob> own = m_media->file(path);
        if ((blob = m_media->otherPicture(path, true, own ? own->size() : 0)))
            sendBlob(blob);
    } else {
        json(res, {});
    }
    if (!blob && res.body.empty()) {
        res.status = 404;
        res.set_content("Not Found", "text/plain");
    }
    int status = res.status;
    if (status == -1)
        status = req.ranges.empty() ? 200 : 206;
    setLogStatus(index, status, &m_elsewhereLog);
}

void CameraSim::waitWhileStalled(const QString& faultPath)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + kStallLimit;
    m_wake.wait_until(lock, deadline, [&] {
        if (m_quit)
            return true;
        if (faultPath.isEmpty())
            return m_answer != Answer::Stall;
        return m_faults.value(faultPath).kind != QLatin1String("stall");
    });
}

CameraSim::Fault CameraSim::faultAfterStall(const QString& key)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_faults.value(key).kind != QLatin1String("stall"))
            return m_faults.value(key);
    }
    waitWhileStalled(key);
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults.value(key);
}

void CameraSim::shapeBody(httplib::Response& res, const QString& kind)
{
    const bool trickle = kind == QLatin1String("trickle");
    // Downloads have faults of their own, and no size their kind never reaches.
    if ((!trickle && kind != QLatin1String("oversize")) || res.content_provider_ || res.body.empty())
        return;
    const std::string type = res.get_header_value("Content-Type");
    res.headers.erase("Content-Type");
    const auto body = std::make_shared<const std::string>(std::move(res.body));
    res.body.clear();
    if (trickle) {
        res.set_content_provider(body->size(), type,
                                 [this, body](size_t offset, size_t length, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(kTrickleStep);
                                     return !m_quit
                                         && sink.write(body->data() + offset, std::min(length, kTrickleBytes));
                                 });
        return;
    }
    // With no length announced, and uncompressed (padding compresses to nothing): only
    // counting tells how large it is.
    res.set_content_provider(type, [this, body](size_t offset, httplib::DataSink& sink) {
        static const std::string padding(64 * 1024, ' ');
        if (m_quit)
            return false;
        if (offset < body->size())
            return sink.write(body->data() + offset, body->size() - offset);
        if (offset < body->size() + kOversizePadding)
            return sink.write(padding.data(), std::min(padding.size(), body->size() + kOversizePadding - offset));
        sink.done();
        return true;
    });
}

void CameraSim::json(httplib::Response& res, const QJsonObject& body, int status)
{
    res.status = status;
    res.set_content(QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(),
                    "application/json");
}

void CameraSim::gpError(const httplib::Request& req, httplib::Response& res)
{
    // The older cameras' CGI error: HTTP 500 and a JSON description.
    const QString target = str(req.target);
    const int q = target.indexOf(QLatin1Char('?'));
    QString pathInfo = str(req.path);
    pathInfo.remove(QRegularExpression(QStringLiteral("^/gp/gpControl/?")));
    json(res,
         QJsonObject{{QStringLiteral("version"), QStringLiteral("6.00")},
                     {QStringLiteral("path_info"), pathInfo},
                     {QStringLiteral("query_string"), q < 0 ? QString() : target.mid(q + 1)},
                     {QStringLiteral("error_code"), -3},
                     {QStringLiteral("error_message"), QStringLiteral("500 Internal Server Error")},
                     {QStringLiteral("function"), QStringLiteral("gpcontrol_cgi_handler")},
                     {QStringLiteral("line"), 190}},
         500);
}

int CameraSim::servingPort(const std::string& path)
{
    // The older family's commands that newer cameras keep serve on 8080, as do the newer
    // family and the files; the rest of /gp/ is the older family's port.
    static const char* const onMediaPort[] = {"/gp/gpControl/command/storage/delete/all",
                                              "/gp/gpControl/command/storage/delete/group",
                                              "/gp/gpControl/command/system/sleep"};
    for (const char* p : onMediaPort) {
        if (path == p)
            return 8080;
    }
    return startsWith(path, "/gp/") ? 80 : 8080;
}

void CameraSim::handleCamera(int port, const httplib::Request& req, httplib::Response& res)
{
    if (port == kHomePort && m_home && !m_home->keepConnection(req.ssl))
        return;
    const qint64 arrived = monotonicMs();
    Arrival arrival{appendLog(port, req, arrived), arrived};
    const int index = arrival.logIndex;
    if (port == kHomePort && m_home && !m_home->authorizes(req.get_header_value("Authorization"))) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_authRefusals;
        }
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"GoPro\"");
        res.set_content("Unauthorized", "text/plain");
        setLogStatus(index, 401);
        return;
    }
    if (port == kHomePort)
        port = servingPort(req.path);
    Answer answer;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        answer = m_answer;
    }
    if (answer == Answer::Stall) {
        waitWhileStalled();
        arrival.takenMs = monotonicMs();
        std::lock_guard<std::mutex> lock(m_mutex);
        answer = m_answer;
    }
    if (m_quit) {
        res.status = 503;
    } else if (answer == Answer::NotFound) {
        res.status = 404;
        res.set_content("Not Found", "text/plain");
    } else if (answer == Answer::ServerError) {
        gpError(req, res);
    } else if (answer == Answer::Redirect && !startsWith(req.path, "/videos/DCIM/")) {
        redirect(req, res);
    } else {
        route(port, req, res, arrival);
    }
    if (answer == Answer::Trickle || answer == Answer::Oversize)
        shapeBody(res, answer == Answer::Trickle ? QStringLiteral("trickle") : QStringLiteral("oversize"));
    if (m_debugLine && !m_home && isMediaRequest(req.path)) // plain HTTP only
        writeBeforeAnswer(req, "gpHttpServer: [04325594][INFO ] conn 0: " + req.path + " @civetweb.c:17872\n");
    // Downloads leave the status to the library, which answers 206 to a Range request.
    int status = res.status;
    if (status == -1)
        status = req.ranges.empty() ? 200 : 206;
    setLogStatus(index, status);
}

QJsonObject CameraSim::cameraStatus()
{
    const bool streaming = m_streamer->running();
    const quint64 used = m_media->usedBytes();
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(m_mutex);
    QJsonObject settings;
    const QMap<int, int>& current = this->settings();
    for (auto it = current.cbegin(); it != current.cend(); ++it)
        settings.insert(QString::number(it.key()), it.value());

    using std::chrono::duration_cast;
    const qint64 recorded =
        m_shutter ? duration_cast<std::chrono::seconds>(now - m_recordingSince).count() : 0;
    const double minutes = duration_cast<std::chrono::milliseconds>(now - m_batterySetAt).count() / 60000.0;
    const int battery = qBound(0, int(m_battery - (m_charging ? 0 : m_drain * minutes)), 100);
    const int level = m_charging ? 4 : battery > 66 ? 3 : battery > 33 ? 2 : battery > 10 ? 1 : 0;
    // The clip being recorded fills the card too.
    const quint64 taken = used + quint64(recorded) * kVideoBytesPerSecond;
    const quint64 free = m_cardPresent && m_cardCapacity > taken ? m_cardCapacity - taken : 0;
    const quint64 videoSeconds = free / kVideoBytesPerSecond;
    // 33: 0 ready, 1 full, 2 no card. 35: seconds on the older cameras, minutes on the newer.
    QJsonObject status{{QStringLiteral("1"), 1},  {QStringLiteral("2"), level},
                       {QStringLiteral("8"), m_shutter ? 1 : 0},
                       {QStringLiteral("10"), m_shutter ? 1 : 0},
                       {QStringLiteral("13"), recorded},
                       {QStringLiteral("30"), cameraidentity::accessPointName(m_serial)},
                       {QStringLiteral("31"), 1}, {QStringLiteral("32"), streaming ? 1 : 0},
                       {QStringLiteral("33"), !m_cardPresent ? 2 : free < kPhotoBytes ? 1 : 0},
                       {QStringLiteral("34"), qint64(free / kPhotoBytes)},
                       {QStringLiteral("35"), qint64(m_model <= 8 ? videoSeconds : videoSeconds / 60)},
                       {QStringLiteral("43"), m_mode},
                       {QStringLiteral("44"), m_subMode}, {QStringLiteral("54"), qint64(free / 1024)},
                       {QStringLiteral("70"), battery}};
    if (m_model >= 9) {
        status.insert(QStringLiteral("96"), m_presetGroup);
        status.insert(QStringLiteral("113"), m_turbo ? 1 : 0);
    }
    // 115: on a USB cable, 116: wired control on.
    if (m_model >= 10) {
        status.insert(QStringLiteral("115"), m_usb ? 1 : 0);
        status.insert(QStringLiteral("116"), m_wiredControl ? 1 : 0);
    }
    for (auto it = m_statusOverrides.cbegin(); it != m_statusOverrides.cend(); ++it) {
        if (it.value().isUndefined())
            status.remove(it.key());
        else
            status.insert(it.key(), it.value());
    }
    return QJsonObject{{QStringLiteral("status"), status}, {QStringLiteral("settings"), settings}};
}

void CameraSim::setTurbo(bool on, bool refused)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_turbo = on;
    m_turboRefused = refused;
}

void CameraSim::setShutter(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (on && !m_shutter)
        m_recordingSince = std::chrono::steady_clock::now();
    m_shutter = on;
}

void CameraSim::shutterAfterLatency(bool on, const Arrival& arrival)
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const int latency =
            std::uniform_int_distribution<int>(m_startLatencyMinMs, m_startLatencyMaxMs)(m_random);
        const qint64 started = arrival.takenMs + latency;
        // The log may have been cleared meanwhile.
        if (arrival.logIndex >= 0 && arrival.logIndex < int(m_log.size()))
            m_log[size_t(arrival.logIndex)].startedMs = started;
        m_wake.wait_for(lock, std::chrono::milliseconds(started - monotonicMs()), [this] { return m_quit.load(); });
    }
    setShutter(on);
}

void CameraSim::cameraStatusControl(const httplib::Request& req, httplib::Response& res)
{
    // Every parameter is checked before any is applied.
    const auto number = [&req](const char* key, double min, double max, double* value) {
        if (!req.has_param(key))
            return true;
        bool ok = false;
        *value = param(req, key).toDouble(&ok);
        return ok && *value >= min && *value <= max;
    };
    double battery = -1, drain = -1, charging = -1, card = -1, capacity = -1, id = -1, recording = -1;
    if (!number("battery", 0, 100, &battery) || !number("drain", 0, 100, &drain)
        || !number("recording", 0, 1, &recording)
        || !number("charging", 0, 1, &charging) || !number("card", 0, 1, &card)
        || !number("capacity", 0, 1e15, &capacity) || !number("id", 0, 1000, &id))
        return json(res, {{QStringLiteral("ok"), false},
                          {QStringLiteral("error"), QStringLiteral("bad value")}}, 400);
    QJsonValue override(QJsonValue::Undefined);
    if (req.has_param("json")) {
        // Any JSON value, wrapped so that a bare number or string parses too.
        const QJsonDocument doc = QJsonDocument::fromJson("[" + param(req, "json").toUtf8() + "]");
        if (!doc.isArray() || doc.array().size() != 1)
            return json(res, {{QStringLiteral("ok"), false},
                              {QStringLiteral("error"), QStringLiteral("json is no JSON value")}}, 400);
        override = doc.array().first();
    }
    if (recording >= 0)
        setShutter(recording > 0);
    const auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (battery >= 0 || drain >= 0) {
            // Restart the drain from the level reached now.
            const double minutes =
                std::chrono::duration_cast<std::chrono::milliseconds>(now - m_batterySetAt).count() / 60000.0;
            if (battery < 0)
                battery = qMax(0.0, m_battery - (m_charging ? 0 : m_drain * minutes));
            m_battery = battery;
            m_batterySetAt = now;
            if (drain >= 0)
                m_drain = drain;
        }
        if (charging >= 0)
            m_charging = charging > 0;
        if (card >= 0)
            m_cardPresent = card > 0;
        if (capacity >= 0)
            m_cardCapacity = quint64(capacity);
        const QString key = QString::number(int(id));
        if (req.has_param("reset") && id < 0)
            m_statusOverrides.clear();
        else if (req.has_param("reset"))
            m_statusOverrides.remove(key);
        else if (id >= 0)
            m_statusOverrides.insert(key, override);
    }
    json(res, {{QStringLiteral("ok"), true}});
}

void CameraSim::gpSetting(const httplib::Request& req, httplib::Response& res)
{
    // /gp/gpControl/setting/<id>/<value>
    const QStringList parts = str(req.path).split(QLatin1Char('/'));
    int id = 0, value = 0;
    if (parts.size() != 6 || !toInt(parts.at(4), &id) || !toInt(parts.at(5), &value))
        return gpError(req, res);
    std::unique_lock<std::mutex> lock(m_mutex);
    // The toggles the program always sends are settings every model of this family has.
    const bool fixed = id == 54 || id == 83 || id == 86;
    if ((m_model <= 8 && m_profile.loaded && !fixed && !m_profile.accepted.contains(str(req.path)))
        || m_refusedOptions.contains(QStringLiteral("%1/%2").arg(id).arg(value))) {
        lock.unlock();
        return gpError(req, res);
    }
    settings()[id] = value;
    lock.unlock();
    json(res, {});
}

void CameraSim::ogpSetting(const httplib::Request& req, httplib::Response& res)
{
    int id = 0, option = 0;
    if (!toInt(param(req, "setting"), &id) || !toInt(param(req, "option"), &option))
        return json(res, {{QStringLiteral("error"), QStringLiteral("bad request")}}, 400);
    const QString target = str(req.target);
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_profile.loaded && !m_profile.accepted.contains(target)) {
        // 1: the model has no such setting; 3: it has the setting but not this option.
        const bool known = m_profile.options.contains(id);
        const QJsonArray available = m_profile.options.value(id);
        lock.unlock();
        return json(res,
                    {{QStringLiteral("error"), known ? 3 : 1},
                     {QStringLiteral("setting_id"), id},
                     {QStringLiteral("option_id"), option},
                     {QStringLiteral("available_options"), available}},
                    403);
    }
    if (m_refusedOptions.contains(QStringLiteral("%1/%2").arg(id).arg(option))) {
        // The documented form of the refusal, with the options the profile lists.
        const QJsonArray supported = m_profile.options.value(id);
        lock.unlock();
        return json(res,
                    {{QStringLiteral("error"), 3},
                     {QStringLiteral("setting_id"), id},
                     {QStringLiteral("option_id"), option},
                     {QStringLiteral("supported_options"), supported}},
                    403);
    }
    settings()[id] = option;
    lock.unlock();
    json(res, {});
}

bool CameraSim::profileHas(int port, const httplib::Request& req)
{
    // Each family lives on its own port; the other one does not know it.
    if ((startsWith(req.path, "/gopro/") && port != 8080)
        || (startsWith(req.path, "/gp/gpControl/") && port != 80))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_profile.accepted.contains(str(req.target)) || m_profile.accepted.contains(str(req.path));
}

bool CameraSim::refuseWithoutWiredControl(int model, const httplib::Request& req, httplib::Response& res)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // HERO8 and HERO9 on a cable ("GoPro Connect") have no such switch.
        if (!m_usb || model < 10 || m_wiredControl || answersWithoutWiredControl(req.path))
            return false;
        ++m_wiredRefusals;
    }
    json(res, {{QStringLiteral("message"), QStringLiteral("Wired USB control is disabled")}}, 403);
    return true;
}

bool CameraSim::setPreviewCodec(const QString& codec)
{
    if (codec != QLatin1String("auto") && codec != QLatin1String("h264")
        && codec != QLatin1String("hevc"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_previewCodec = codec;
    return true;
}

bool CameraSim::startStream(const httplib::Request& req, int model)
{
    QString codec;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        codec = m_previewCodec;
    }
    const bool hevc = codec == QLatin1String("hevc")
                      || (codec == QLatin1String("auto") && model >= 13);
    // The cameras up to HERO8 (gpStream) stop streaming unless kept alive.
    return m_streamer->start(req.remote_addr, model <= 8,
                             hevc ? PreviewStreamer::Codec::Hevc : PreviewStreamer::Codec::H264);
}

bool CameraSim::refuseAsWebcam(const httplib::Request& req, httplib::Response& res)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_webcamStatus < 2 || answersAsWebcam(req.path))
            return false;
        ++m_webcamBusyRefusals;
    }
    json(res, {{QStringLiteral("message"), QStringLiteral("Camera is busy")}}, 503);
    return true;
}

void CameraSim::webcam(const httplib::Request& req, httplib::Response& res, int model)
{
    const std::string& p = req.path;
    std::unique_lock<std::mutex> lock(m_mutex);
    auto answer = [&](int error = 0) {
        m_webcamError = error;
        const QJsonObject body{{QStringLiteral("status"), m_webcamStatus}, {QStringLiteral("error"), error}};
        lock.unlock();
        json(res, body);
    };
    auto notImplemented = [&] {
        lock.unlock();
        res.status = 501;
        res.set_content("Not Implemented", "text/plain");
    };
    // HERO9 to HERO11 are webcams on a cable only.
    if (model < 12 && !m_usb)
        return notImplemented();
    if (p == "/gopro/webcam/version") {
        lock.unlock();
        return json(res, {{QStringLiteral("version"), 3},
                          {QStringLiteral("max_lens_support"), model >= 11},
                          {QStringLiteral("usb_3_1_compatible"), model >= 12}});
    }
    if (p == "/gopro/webcam/status")
        return answer(m_webcamError);
    if (p == "/gopro/webcam/stop" || p == "/gopro/webcam/exit") {
        lock.unlock();
        m_streamer->stop();
        lock.lock();
        m_webcamStatus = p == "/gopro/webcam/exit" ? 0 : 1;
        return answer();
    }
    if (p == "/gopro/webcam/preview") {
        if (m_webcamStatus == 2)
            m_webcamStatus = 3; // the stream goes on
        return answer();
    }
    if (p != "/gopro/webcam/start") {
        lock.unlock();
        res.status = 404;
        res.set_content("Not Found", "text/plain");
        return;
    }
    if (model >= 13 && m_webcamRefusal == QLatin1String("500")) {
        lock.unlock();
        return json(res, {}, 500);
    }
    if (model >= 13 && m_webcamRefusal == QLatin1String("unavailable")) {
        m_webcamStatus = 4;
        return answer(7);
    }
    // Port and protocol: only where the model takes them (not HERO9, HERO10; protocol from
    // HERO12, where TS is all that is simulated).
    if ((req.has_param("port") && model < 11)
        || (req.has_param("protocol") && (model < 12 || param(req, "protocol") != QLatin1String("TS"))))
        return notImplemented();
    // Wired control must be off before webcam commands.
    if (m_usb && model >= 10 && m_wiredControl)
        return answer(7);
    int resolution = 12, fov = 0, port = 8554;
    bool valid = (!req.has_param("res") || toInt(param(req, "res"), &resolution))
        && (!req.has_param("fov") || toInt(param(req, "fov"), &fov))
        && (!req.has_param("port") || toInt(param(req, "port"), &port)) && port > 0 && port < 65536
        && (fov == 0 || fov == 2 || fov == 3 || fov == 4) && (resolution != 4 || model <= 10);
    const WebcamSize* size = nullptr;
    for (const WebcamSize& s : kWebcamSizes) {
        if (s.res == resolution)
            size = &s;
    }
    if (!valid || !size)
        return answer(6);
    m_webcamRes = resolution;
    m_webcamFov = fov;
    m_webcamPort = port;
    ++m_webcamStarts;
    lock.unlock();
    // 6 Mbit/s at 30 fps, as the camera's; a new start replaces what runs (the preview too).
    PreviewStreamer::Format format;
    format.width = size->width;
    format.height = size->height;
    format.kbps = 6000;
    format.port = uint16_t(port);
    const bool started = m_streamer->start(req.remote_addr, false, PreviewStreamer::Codec::H264, format);
    lock.lock();
    if (!started) {
        m_webcamStatus = 1;
        return answer(3);
    }
    m_webcamStatus = 2;
    answer();
}

void CameraSim::route(int port, const httplib::Request& req, httplib::Response& res, const Arrival& arrival)
{
    const std::string& p = req.path;
    int model;
    QString serial;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        model = m_model;
        serial = m_serial;
    }
    if (refuseWithoutWiredControl(model, req, res) || refuseAsWebcam(req, res))
        return;
    const bool on80 = port == 80;
    const bool on8080 = port == 8080;
    // The Open GoPro endpoints exist only on cameras from model 9 on.
    const bool ogp = model >= 9;
    auto notFound = [&res] {
        res.status = 404;
        res.set_content("Not Found", "text/plain");
    };
    auto ok = [&] { json(res, {}); };
    auto sendThumbnail = [&](const QString& pathParam) {
        const QString path = mediaPathParam(pathParam);
        const Fault fault = faultAfterStall(QStringLiteral("thumbnail:") + path);
        if (fault.kind == QLatin1String("404"))
            return notFound();
        if (fault.kind == QLatin1String("500"))
            return gpError(req, res);
        if (fault.kind == QLatin1String("redirect"))
            return redirect(req, res);
        // "large": the picture itself, as a camera with larger thumbnails would send.
        const auto thumb = fault.kind == QLatin1String("large") ? m_media->file(path) : m_media->thumbnail(path);
        if (!thumb)
            return notFound();
        std::string bytes(thumb->size(), '\0');
        bytes.resize(thumb->read(0, bytes.data(), bytes.size()));
        if (fault.kind == QLatin1String("giant"))
            claimGiantSize(&bytes);
        res.status = 200;
        res.set_content(bytes, "image/jpeg");
        shapeBody(res, fault.kind);
    };
    // A delete's own fault: held unanswered, or refused.
    // group: the file must be a listed burst or lapse, which goes whole.
    auto deleteFile = [&](const QString& path, const std::function<void()>& refuse, bool group = false) {
        const Fault fault = faultAfterStall(QStringLiteral("delete:") + path);
        if (fault.kind == QLatin1String("404"))
            return notFound();
        if (fault.kind == QLatin1String("redirect"))
            return redirect(req, res);
        if (fault.kind == QLatin1String("500") || !m_media->remove(path, group))
            return refuse();
        ok();
    };

    // From HERO10 the documentation lists the older family's shutter, deletes and sleep no
    // more on port 80 (the ones it keeps are on 8080), QuikCapture and voice control no more
    // from HERO12, and no GPS on the HERO12: such requests are not answered.
    const bool newer = model >= 10;
    int legacySetting = 0;
    if (startsWith(p, "/gp/gpControl/setting/"))
        toInt(str(req.path).section(QLatin1Char('/'), 4, 4), &legacySetting);
    const bool gpsRequest = legacySetting == 83 || (p == "/gopro/camera/setting" && param(req, "setting") == QLatin1String("83"));
    if ((newer && on80
         && (p == "/gp/gpControl/command/shutter" || p == "/gp/gpControl/command/storage/delete"
             || p == "/gp/gpControl/command/storage/delete/all"
             || p == "/gp/gpControl/command/storage/delete/group" || p == "/gp/gpControl/command/system/sleep"))
        || (model >= 12 && (legacySetting == 54 || legacySetting == 86)) || (model == 12 && gpsRequest))
        return notFound();

    if (on80 && p == "/gp/gpControl/status") {
        delayPoll();
        json(res, cameraStatus());
    } else if (on80 && p == "/gp/gpControl/info" && cameraidentity::known(model)) {
        delayInfo();
        json(res, cameraidentity::gpControlInfo(model, serial));
    } else if (on80 && p == "/gp/gpControl/command/shutter") {
        const QString v = param(req, "p");
        if (v != QLatin1String("0") && v != QLatin1String("1"))
            return gpError(req, res);
        shutterAfterLatency(v == QLatin1String("1"), arrival);
        ok();
    } else if (on80 && startsWith(p, "/gp/gpControl/setting/")) {
        gpSetting(req, res);
    } else if (on80 && p == "/gp/gpControl/command/mode") {
        int mode = 0;
        if (!toInt(param(req, "p"), &mode))
            return gpError(req, res);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_mode = mode;
            m_subMode = 0;
        }
        ok();
    } else if (on80 && p == "/gp/gpControl/command/sub_mode") {
        int mode = 0, subMode = 0;
        if (!toInt(param(req, "mode"), &mode) || !toInt(param(req, "sub_mode"), &subMode))
            return gpError(req, res);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_mode = mode;
            m_subMode = subMode;
        }
        ok();
    } else if (on80 && p == "/gp/gpControl/command/set_mode") {
        // The HERO8's preset groups (1000 video, 1001 photo, 1002 time lapse), as set_group
        // selects them on the newer family.
        int id = 0;
        if (!toInt(param(req, "p"), &id))
            return gpError(req, res);
        if (id >= 1000 && id <= 1002) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_presetGroup = id;
        }
        ok();
    } else if (on80
               && (p == "/gp/gpControl/command/system/locate" || p == "/gp/gpControl/command/digital_zoom"
                   || p == "/gp/gpControl/command/storage/tag_moment")) {
        ok(); // accepted, nothing the tests look at
    } else if ((on80 || (ogp && on8080)) && p == "/gp/gpControl/command/storage/delete/all") {
        // A camera takes its time over the card and answers when done; until then the old
        // list is what it serves.
        std::this_thread::sleep_for(kFormatTime);
        m_media->format();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_formatCount;
        }
        ok();
    } else if ((on80 && p == "/gp/gpControl/command/storage/delete")
               || ((on80 || (ogp && on8080)) && p == "/gp/gpControl/command/storage/delete/group")) {
        std::this_thread::sleep_for(kDeleteTime);
        deleteFile(mediaPathParam(param(req, "p")), [&] { gpError(req, res); },
                   p == "/gp/gpControl/command/storage/delete/group");
    } else if ((on80 || (ogp && on8080)) && p == "/gp/gpControl/command/system/sleep") {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_sleepCount;
        }
        ok();
    } else if (on80 && p == "/gp/gpControl/execute") {
        const QString command = param(req, "c1");
        if (param(req, "p1") != QLatin1String("gpStream"))
            return gpError(req, res);
        if (command == QLatin1String("restart") || command == QLatin1String("start")) {
            if (!startStream(req, model))
                return gpError(req, res);
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_streamStarts;
        } else if (command == QLatin1String("stop")) {
            m_streamer->stop();
        } else {
            return gpError(req, res);
        }
        json(res, {{QStringLiteral("status"), QStringLiteral("0")}});
    } else if ((on80 || on8080) && p == "/gp/gpMediaList" && m_legacyMedia) {
        serveList(res);
    } else if ((on80 || on8080) && p == "/gp/gpMediaMetadata" && m_legacyMedia) {
        if (req.has_param("t"))
            return notFound();
        sendThumbnail(param(req, "p"));
    } else if (ogp && on8080 && p == "/gopro/camera/stream/start") {
        if (!startStream(req, model))
            return json(res, {{QStringLiteral("error"), QStringLiteral("stream")}}, 500);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_streamStarts;
        }
        ok();
    } else if (ogp && on8080 && p == "/gopro/camera/stream/stop") {
        m_streamer->stop();
        ok();
    } else if (ogp && on8080 && startsWith(p, "/gopro/webcam/")) {
        webcam(req, res, model);
    } else if (ogp && on8080 && p == "/gopro/camera/keep_alive") {
        delayPoll();
        ok();
    } else if (ogp && on8080 && p == "/gopro/version") {
        json(res, {{QStringLiteral("version"), QStringLiteral("2.0")}});
    } else if (model >= 12 && on8080 && p == "/gopro/camera/info" && cameraidentity::known(model)) {
        delayInfo();
        json(res, cameraidentity::openGoProInfo(model, serial));
    } else if (model >= 10 && on8080 && p == "/gopro/camera/control/wired_usb") {
        const QString v = param(req, "p");
        if (v != QLatin1String("0") && v != QLatin1String("1"))
            return json(res, {{QStringLiteral("error"), QStringLiteral("bad request")}}, 400);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_wiredControl = v == QLatin1String("1");
        }
        ok();
    } else if (ogp && on8080 && p == "/gopro/camera/state") {
        delayPoll();
        json(res, cameraStatus());
    } else if (ogp && on8080 && p == "/gopro/camera/setting") {
        ogpSetting(req, res);
    } else if (ogp && on8080 && p == "/gopro/camera/presets/set_group") {
        int id = 0;
        if (!toInt(param(req, "id"), &id) || id < 1000 || id > 1002)
            return json(res, {{QStringLiteral("error"), QStringLiteral("bad preset group")}}, 400);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_presetGroup = id;
        }
        ok();
    } else if (ogp && on8080
               && (p == "/gopro/camera/shutter/start" || p == "/gopro/camera/shutter/stop")) {
        shutterAfterLatency(p == "/gopro/camera/shutter/start", arrival);
        ok();
    } else if (ogp && on8080 && p == "/gopro/camera/digital_zoom") {
        ok();
    } else if (ogp && on8080 && p == "/gopro/media/turbo_transfer") {
        const QString v = param(req, "p");
        if (v != QLatin1String("0") && v != QLatin1String("1"))
            return json(res, {{QStringLiteral("error"), QStringLiteral("bad request")}}, 400);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_turboRefused) {
                res.status = 500;
                res.set_content("{}", "application/json");
                return;
            }
            m_turbo = v == QLatin1String("1");
        }
        ok();
    } else if (ogp && on8080 && p == "/gopro/media/list" && m_documentedList) {
        serveList(res);
    } else if (ogp && on8080 && p == "/gopro/media/thumbnail") {
        sendThumbnail(param(req, "path"));
    } else if (ogp && on8080 && p == "/gopro/media/delete/file") {
        deleteFile(mediaPathParam(param(req, "path")), [&] {
            json(res, {{QStringLiteral("error"), QStringLiteral("no such file")}}, 400);
        });
    } else if ((on80 && model <= 8 && p == "/gp/gpControl/command/setup/date_time")
               || (ogp && on8080 && p == "/gopro/camera/set_date_time")) {
        bool refused = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            refused = m_clockRefused;
        }
        int f[6] = {};
        int zone = 0;
        bool dst = false;
        bool valid = true;
        if (on80) {
            // Six bytes, percent-encoded: year from 2000, month, day, hour, minute, second.
            // Read from the raw target: a %00 must stay a byte.
            const QString target = str(req.target);
            const qsizetype at = target.indexOf(QLatin1String("?p="));
            const QByteArray bytes =
                at < 0 ? QByteArray() : QByteArray::fromPercentEncoding(target.mid(at + 3).section(QLatin1Char('&'), 0, 0).toLatin1());
            valid = bytes.size() == 6;
            for (int i = 0; valid && i < 6; ++i)
                f[i] = static_cast<unsigned char>(bytes.at(i));
            f[0] += 2000;
        } else {
            const QStringList date = param(req, "date").split(QLatin1Char('_'));
            const QStringList time = param(req, "time").split(QLatin1Char('_'));
            valid = date.size() == 3 && time.size() == 3;
            for (int i = 0; valid && i < 3; ++i)
                valid = toInt(date.at(i), &f[i]) && toInt(time.at(i), &f[3 + i]);
            // HERO9 and HERO10 take no zone.
            const bool zoned = req.has_param("tzone") || req.has_param("dst");
            if (zoned && model < 11)
                valid = false;
            if (valid && zoned) {
                int dstValue = 0;
                valid = toInt(param(req, "tzone"), &zone) && toInt(param(req, "dst"), &dstValue)
                    && (dstValue == 0 || dstValue == 1);
                dst = dstValue == 1;
            }
        }
        if (refused)
            return on80 ? gpError(req, res) : json(res, {{QStringLiteral("error"), QStringLiteral("busy")}}, 500);
        if (!valid || !setClock(f[0], f[1], f[2], f[3], f[4], f[5], zone, dst))
            return on80 ? gpError(req, res) : json(res, {{QStringLiteral("error"), QStringLiteral("bad date or time")}}, 400);
        ok();
    } else if (model >= 11 && on8080 && p == "/gopro/camera/get_date_time") {
        const QDateTime now = clockNow();
        int zone = 0;
        bool dst = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            zone = m_clockZone;
            dst = m_clockDst;
        }
        // Unpadded, as the camera's own examples write them.
        json(res, {{QStringLiteral("date"), QStringLiteral("%1_%2_%3").arg(now.date().year()).arg(now.date().month()).arg(now.date().day())},
                   {QStringLiteral("time"), QStringLiteral("%1_%2_%3").arg(now.time().hour()).arg(now.time().minute()).arg(now.time().second())},
                   {QStringLiteral("tzone"), zone},
                   {QStringLiteral("dst"), dst ? 1 : 0}});
    } else if (on8080 && startsWith(p, "/videos/DCIM/")) {
        serveFile(str(p.substr(std::string("/videos/DCIM/").size())), req, res);
    } else if (profileHas(port, req)) {
        // A command the profile knows but this simulator does not model: the camera takes it.
        ok();
    } else {
        notFound();
    }
}

void CameraSim::serveList(httplib::Response& res)
{
    // The list is taken when asked for; a slow camera answers it late, possibly after a
    // list asked for later.
    const std::string body = m_media->listBody().toStdString();
    int delayMs = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_delayedLists > 0) {
            delayMs = m_nextListDelayMs;
            if (--m_delayedLists == 0)
                m_nextListDelayMs = 0;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    res.status = 200;
    res.set_content(body, "application/json");
}

void CameraSim::serveFile(const QString& mediaPath, const httplib::Request& req,
                          httplib::Response& res)
{
    Fault fault;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        fault = m_faults.value(mediaPath);
    }
    if (fault.kind == QLatin1String("stall")) {
        waitWhileStalled(mediaPath);
        std::lock_guard<std::mutex> lock(m_mutex);
        fault = m_faults.value(mediaPath);
    }
    if (fault.kind == QLatin1String("404")) {
        res.status = 404;
        res.set_content("Not Found", "text/plain");
        return;
    }
    if (fault.kind == QLatin1String("500"))
        return gpError(req, res);
    if (fault.kind == QLatin1String("redirect"))
        return redirect(req, res);
    const std::shared_ptr<const Blob> blob = m_media->file(mediaPath);
    if (!blob) {
        res.status = 404;
        res.set_content("Not Found", "text/plain");
        return;
    }
    const QString lower = mediaPath.toLower();
    const char* type = lower.endsWith(QLatin1String(".jpg")) ? "image/jpeg"
                       : (lower.endsWith(QLatin1String(".mp4")) || lower.endsWith(QLatin1String(".lrv")))
                           ? "video/mp4"
                           : "application/octet-stream";
    // "chunked": no Content-Length, the end of the body is the end of the file.
    if (fault.kind == QLatin1String("chunked")) {
        res.status = 200;
        res.set_chunked_content_provider(type, [blob](size_t offset, httplib::DataSink& sink) {
            thread_local std::vector<char> buffer;
            buffer.resize(256 * 1024);
            const size_t got = blob->read(offset, buffer.data(), buffer.size());
            if (got == 0) {
                sink.done();
                return true;
            }
            return sink.write(buffer.data(), got);
        });
        return;
    }
    // The library applies whatever ranges the request holds. The request object is the
    // server's own, not a constant, so dropping them here is sound.
    if (m_ignoreRange)
        const_cast<httplib::Request&>(req).ranges.clear();
    quint64 length = blob->size();
    // "short": a complete answer that is only half the file.
    if (fault.kind == QLatin1String("short"))
        length /= 2;
    const bool truncate = fault.kind == QLatin1String("truncate");
    const quint64 cutAfter = truncate ? (fault.bytes ? fault.bytes : length / 2) : 0;
    const quint64 rate = fault.kind == QLatin1String("slow") ? (fault.rate ? fault.rate : 256 * 1024) : 0;
    auto sent = std::make_shared<quint64>(0);
    res.set_content_provider(
        size_t(length), type,
        [this, blob, sent, truncate, cutAfter, rate](size_t offset, size_t wanted, httplib::DataSink& sink) {
            if (m_quit)
                return false;
            size_t chunk = std::min<size_t>(wanted, rate ? 16 * 1024 : 256 * 1024);
            if (truncate) {
                if (*sent >= cutAfter)
                    return false; // drop the connection mid-body
                chunk = size_t(std::min<quint64>(chunk, cutAfter - *sent));
            }
            thread_local std::vector<char> buffer;
            buffer.resize(chunk);
            const size_t got = blob->read(offset, buffer.data(), chunk);
            if (got == 0)
                return false;
            if (rate)
                std::this_thread::sleep_for(std::chrono::microseconds(got * 1000000 / rate));
            *sent += got;
            return sink.write(buffer.data(), got);
        });
}

static QJsonObject connectionsJson(const CameraSim::Connections& c)
{
    return QJsonObject{{QStringLiteral("current"), c.current.load()},
                       {QStringLiteral("peak"), c.peak.load()},
                       {QStringLiteral("total"), c.total.load()}};
}

bool CameraSim::setClock(int year, int month, int day, int hour, int minute, int second, int zone, bool dst)
{
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid() || zone < -24 * 60 || zone > 24 * 60)
        return false;
    const qint64 ahead = QDateTime(date, time, QTimeZone::utc()).toMSecsSinceEpoch() - QDateTime::currentMSecsSinceEpoch();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clockAheadMs = ahead;
    m_clockZone = zone;
    m_clockDst = dst;
    ++m_clockSets;
    return true;
}

QDateTime CameraSim::clockNow()
{
    qint64 ahead = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ahead = m_clockAheadMs;
    }
    return QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch() + ahead, QTimeZone::utc());
}

QJsonObject CameraSim::stateJson()
{
    const QDateTime clock = clockNow();
    const bool streaming = m_streamer->running();
    const std::string streamTarget = m_streamer->target();
    const std::string streamCodec = m_streamer->codec();
    const long long streamFirstDatagramMs = m_streamer->firstDatagramMs();
    const int keepAlives = m_streamer->keepAlives();
    const int streamTimeouts = m_streamer->timeouts();
    const int mediaCount = m_media->fileCount();
    const QStringList deleted = m_media->deleted();
    std::lock_guard<std::mutex> lock(m_mutex);
    QJsonObject settings;
    const QMap<int, int>& current = this->settings();
    for (auto it = current.cbegin(); it != current.cend(); ++it)
        settings.insert(QString::number(it.key()), it.value());
    QJsonObject faults;
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it)
        faults.insert(it.key(), it.value().kind);
    static const char* answers[] = {"normal", "404", "500", "stall", "trickle", "oversize", "redirect"};
    return QJsonObject{
        {QStringLiteral("model"), m_model},
        {QStringLiteral("address"), m_address.isEmpty() ? QStringLiteral("0.0.0.0") : m_address},
        {QStringLiteral("serial"), m_serial},
        {QStringLiteral("usb"), m_usb},
        {QStringLiteral("wiredControl"), m_wiredControl},
        {QStringLiteral("wiredRefusals"), m_wiredRefusals},
        {QStringLiteral("turbo"), m_turbo},
        {QStringLiteral("turboRefused"), m_turboRefused},
        {QStringLiteral("profileLoaded"), m_profile.loaded},
        {QStringLiteral("answer"), QLatin1String(answers[int(m_answer)])},
        {QStringLiteral("pollDelay"), m_pollDelayMs},
        {QStringLiteral("shutter"), m_shutter},
        {QStringLiteral("startLatency"),
         QJsonObject{{QStringLiteral("min"), m_startLatencyMinMs}, {QStringLiteral("max"), m_startLatencyMaxMs}}},
        {QStringLiteral("mode"), m_mode},
        {QStringLiteral("subMode"), m_subMode},
        {QStringLiteral("presetGroup"), m_presetGroup},
        {QStringLiteral("settings"), settings},
        {QStringLiteral("streaming"), streaming},
        {QStringLiteral("streamTarget"), QString::fromStdString(streamTarget)},
        {QStringLiteral("streamCodec"), QString::fromStdString(streamCodec)},
        {QStringLiteral("previewCodec"), m_previewCodec},
        {QStringLiteral("streamFirstDatagramMs"), qint64(streamFirstDatagramMs)},
        {QStringLiteral("streamStarts"), m_streamStarts},
        {QStringLiteral("webcam"),
         QJsonObject{{QStringLiteral("status"), m_webcamStatus},
                     {QStringLiteral("error"), m_webcamError},
                     {QStringLiteral("res"), m_webcamRes},
                     {QStringLiteral("fov"), m_webcamFov},
                     {QStringLiteral("port"), m_webcamPort},
                     {QStringLiteral("starts"), m_webcamStarts},
                     {QStringLiteral("busyRefusals"), m_webcamBusyRefusals},
                     {QStringLiteral("refusal"), m_webcamRefusal}}},
        {QStringLiteral("keepAlives"), keepAlives},
        {QStringLiteral("streamTimeouts"), streamTimeouts},
        {QStringLiteral("formatCount"), m_formatCount},
        {QStringLiteral("sleepCount"), m_sleepCount},
        {QStringLiteral("mediaCount"), mediaCount},
        {QStringLiteral("deleted"), QJsonArray::fromStringList(deleted)},
        {QStringLiteral("faults"), faults},
        {QStringLiteral("ignoreRange"), m_ignoreRange.load()},
        {QStringLiteral("legacyMedia"), m_legacyMedia.load()},
        {QStringLiteral("documentedList"), m_documentedList.load()},
        {QStringLiteral("debugLine"), m_debugLine.load()},
        {QStringLiteral("connections"),
         QJsonObject{{QStringLiteral("80"), connectionsJson(m_connections80)},
                     {QStringLiteral("8080"), connectionsJson(m_connections8080)}}},
        {QStringLiteral("home"), m_home != nullptr},
        {QStringLiteral("authRefusals"), m_authRefusals},
        {QStringLiteral("requests"), int(m_log.size())},
        {QStringLiteral("clock"),
         QJsonObject{{QStringLiteral("local"), clock.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))},
                     {QStringLiteral("tzone"), m_clockZone},
                     {QStringLiteral("dst"), m_clockDst},
                     {QStringLiteral("sets"), m_clockSets},
                     {QStringLiteral("refused"), m_clockRefused}}}};
}

void CameraSim::handleControl(const httplib::Request& req, httplib::Response& res)
{
    const std::string& p = req.path;
    auto ok = [this, &res] { json(res, {{QStringLiteral("ok"), true}}); };
    auto bad = [this, &res](const QString& why) {
        json(res, {{QStringLiteral("ok"), false}, {QStringLiteral("error"), why}}, 400);
    };
    if (p == "/log") {
        QJsonArray entries;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            entries = logJson(m_log);
        }
        res.status = 200;
        res.set_content(QJsonDocument(entries).toJson(QJsonDocument::Compact).toStdString(),
                        "application/json");
    } else if (p == "/elsewhere") {
        QJsonArray entries;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            entries = logJson(m_elsewhereLog);
        }
        json(res, {{QStringLiteral("origin"), m_elsewhere}, {QStringLiteral("log"), entries}});
    } else if (p == "/clear") {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_log.clear();
            m_elsewhereLog.clear();
        }
        m_connections80.reset();
        m_connections8080.reset();
        ok();
    } else if (p == "/answer") {
        const QString mode = param(req, "mode");
        Answer answer;
        if (mode == QLatin1String("normal"))
            answer = Answer::Normal;
        else if (mode == QLatin1String("404"))
            answer = Answer::NotFound;
        else if (mode == QLatin1String("500"))
            answer = Answer::ServerError;
        else if (mode == QLatin1String("stall"))
            answer = Answer::Stall;
        else if (mode == QLatin1String("trickle"))
            answer = Answer::Trickle;
        else if (mode == QLatin1String("oversize"))
            answer = Answer::Oversize;
        else if (mode == QLatin1String("redirect"))
            answer = Answer::Redirect;
        else
            return bad(QStringLiteral("mode must be normal, 404, 500, stall, trickle, oversize or redirect"));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_answer = answer;
        }
        m_wake.notify_all();
        ok();
    } else if (p == "/list-delay") {
        int ms = 0;
        int count = 1;
        if (!toInt(param(req, "ms"), &ms) || ms < 0 || ms > 60000)
            return bad(QStringLiteral("ms must be 0 to 60000"));
        if (req.has_param("count") && (!toInt(param(req, "count"), &count) || count < 1))
            return bad(QStringLiteral("count must be 1 or more"));
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nextListDelayMs = ms;
        m_delayedLists = count;
        ok();
    } else if (p == "/setting") {
        int id = 0, value = 0;
        if (!toInt(param(req, "id"), &id) || !toInt(param(req, "value"), &value))
            return bad(QStringLiteral("id and value must be whole numbers"));
        const QString refuse = param(req, "refuse");
        if (!refuse.isEmpty() && refuse != QLatin1String("0") && refuse != QLatin1String("1"))
            return bad(QStringLiteral("refuse must be 0 or 1"));
        std::lock_guard<std::mutex> lock(m_mutex);
        const QString key = QStringLiteral("%1/%2").arg(id).arg(value);
        if (refuse == QLatin1String("1"))
            m_refusedOptions.insert(key);
        else if (refuse == QLatin1String("0"))
            m_refusedOptions.remove(key);
        else
            settings()[id] = value; // behind the program's back, as the camera's buttons do
        ok();
    } else if (p == "/clock") {
        const QString refuse = param(req, "refuse");
        if (refuse != QLatin1String("0") && refuse != QLatin1String("1"))
            return bad(QStringLiteral("refuse must be 0 or 1"));
        std::lock_guard<std::mutex> lock(m_mutex);
        m_clockRefused = refuse == QLatin1String("1");
        ok();
    } else if (p == "/info-delay") {
        int ms = 0;
        if (!toInt(param(req, "ms"), &ms) || ms < 0 || ms > 60000)
            return bad(QStringLiteral("ms must be 0 to 60000"));
        std::lock_guard<std::mutex> lock(m_mutex);
        m_infoDelayMs = ms;
        ok();
    } else if (p == "/poll-delay") {
        int ms = 0;
        if (!toInt(param(req, "ms"), &ms) || ms < 0 || ms > 60000)
            return bad(QStringLiteral("ms must be 0 to 60000"));
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pollDelayMs = ms;
        ok();
    } else if (p == "/identity") {
        // Another camera at the same address: the next camera's access point joined.
        const QString serial = param(req, "serial");
        int model = 0;
        if (serial.size() < 3 || !toInt(param(req, "model"), &model) || !cameraidentity::known(model))
            return bad(QStringLiteral("need serial (3 characters or more) and a known model"));
        setSerial(serial);
        setModel(model);
        ok();
    } else if (p == "/start-latency") {
        int min = 0, max = 0;
        if (!toInt(param(req, "min"), &min) || !toInt(param(req, "max"), &max) || min < 0 || max < min
            || max > kMaxStartLatencyMs)
            return bad(QStringLiteral("need 0 <= min <= max <= %1 (ms)").arg(kMaxStartLatencyMs));
        setStartLatency(min, max);
        ok();
    } else if (p == "/model") {
        int n = 0;
        if (!toInt(param(req, "n"), &n) || n < 1)
            return bad(QStringLiteral("n must be a model number"));
        setModel(n);
        ok();
    } else if (p == "/state") {
        json(res, stateJson());
    } else if (p == "/media") {
        int count = 0;
        if (!toInt(param(req, "count"), &count) || count < 0)
            return bad(QStringLiteral("count must be a number of files"));
        QString error;
        if (!m_media->generate(count, &error))
            return json(res, {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}}, 500);
        ok();
    } else if (p == "/media/body") {
        res.status = 200;
        res.set_content(m_media->listBody().toStdString(), "application/json");
    } else if (p == "/media/json") {
        const std::string body = req.method == "POST" ? req.body : req.get_param_value("body");
        QString error;
        if (!m_media->setJson(QByteArray::fromStdString(body), &error))
            return json(res, {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}}, 500);
        ok();
    } else if (p == "/fault") {
        const QString path = mediaPathParam(param(req, "path"));
        const QString of = req.has_param("of") ? param(req, "of") : QStringLiteral("file");
        Fault fault;
        fault.kind = param(req, "kind");
        // What each request of a file can be made to do.
        static const QHash<QString, QStringList> kinds{
            {QStringLiteral("file"), {"truncate", "short", "404", "500", "slow", "stall", "chunked", "redirect", "none"}},
            {QStringLiteral("thumbnail"), {"404", "500", "stall", "trickle", "oversize", "giant", "large", "redirect", "none"}},
            {QStringLiteral("delete"), {"404", "500", "stall", "redirect", "none"}}};
        if (path.isEmpty() || !kinds.value(of).contains(fault.kind))
            return bad(QStringLiteral("need path, of=file|thumbnail|delete and a kind of it: ")
                       + kinds.value(of).join(QLatin1Char('|')));
        const QString key = of == QLatin1String("file") ? path : of + QLatin1Char(':') + path;
        fault.bytes = param(req, "bytes").toULongLong();
        fault.rate = param(req, "rate").toULongLong();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (fault.kind == QLatin1String("none"))
                m_faults.remove(key);
            else
                m_faults.insert(key, fault);
        }
        m_wake.notify_all();
        ok();
    } else if (p == "/media-requests") {
        // Which media list and thumbnail requests the camera answers from now on.
        for (const char* key : {"legacy", "documented"}) {
            const QString v = param(req, key);
            if (req.has_param(key) && v != QLatin1String("0") && v != QLatin1String("1"))
                return bad(QStringLiteral("legacy and documented must be 0 or 1"));
        }
        if (req.has_param("legacy"))
            setLegacyMedia(param(req, "legacy") == QLatin1String("1"));
        if (req.has_param("documented"))
            setDocumentedList(param(req, "documented") == QLatin1String("1"));
        ok();
    } else if (p == "/turbo") {
        for (const char* key : {"on", "refuse"}) {
            const QString v = param(req, key);
            if (req.has_param(key) && v != QLatin1String("0") && v != QLatin1String("1"))
                return bad(QStringLiteral("on and refuse must be 0 or 1"));
        }
        bool on, refused;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            on = req.has_param("on") ? param(req, "on") == QLatin1String("1") : m_turbo;
            refused = req.has_param("refuse") ? param(req, "refuse") == QLatin1String("1") : m_turboRefused;
        }
        setTurbo(on, refused);
        ok();
    } else if (p == "/range") {
        const QString ignore = param(req, "ignore");
        if (ignore != QLatin1String("0") && ignore != QLatin1String("1"))
            return bad(QStringLiteral("ignore must be 0 or 1"));
        setIgnoreRange(ignore == QLatin1String("1"));
        ok();
    } else if (p == "/debug-line") {
        const QString on = param(req, "on");
        if (on != QLatin1String("0") && on != QLatin1String("1"))
            return bad(QStringLiteral("on must be 0 or 1"));
        setDebugLine(on == QLatin1String("1"));
        ok();
    } else if (p == "/webcam") {
        if (!setWebcamRefusal(param(req, "refuse")))
            return bad(QStringLiteral("refuse must be none, 500 or unavailable"));
        ok();
    } else if (p == "/preview-codec") {
        if (!setPreviewCodec(param(req, "c")))
            return bad(QStringLiteral("c must be auto, h264 or hevc"));
        ok();
    } else if (p == "/camera-status") {
        cameraStatusControl(req, res);
    } else if (p == "/home/root-cert") {
        if (!m_home)
            return bad(QStringLiteral("not on the home network (--home)"));
        res.status = 200;
        res.set_content(m_home->rootPem(), "application/x-pem-file");
    } else if (p == "/home/other-cert") {
        std::string error;
        if (!m_home)
            return bad(QStringLiteral("not on the home network (--home)"));
        if (!m_home->switchChain(&error))
            return json(res, {{QStringLiteral("ok"), false}, {QStringLiteral("error"), str(error)}}, 500);
        ok();
    } else if (p == "/quit") {
        ok();
        requestQuit();
    } else {
        res.status = 404;
        res.set_content("{\"ok\":false,\"error\":\"unknown control request\"}", "application/json");
    }
}
