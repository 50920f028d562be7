// velkamo-camsim: answers on ports 80 and 8080 as the camera does, with a control API for
// tests on 127.0.0.1. Run it only inside tests/sandbox-run.

#include "cameraidentity.h"
#include "camerasim.h"
#include "hometls.h"
#include "mediastore.h"
#include "previewstreamer.h"
#include "sandboxcheck.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include <arpa/inet.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* kUsage =
    "usage: velkamo-camsim [--model N] [--control-port P] [--ref DIR]\n"
    "                      [--media-json FILE | --media-count N] [--media-dir DIR] [--file-bytes N]\n"
    "                      [--address ADDR] [--serial S] [--usb] [--start-latency MIN-MAX]\n"
    "                      [--info-delay MS] [--preview-codec auto|h264|hevc]\n"
    "                      [--webcam-refuse none|500|unavailable]\n"
    "                      [--home --password P]\n"
    "                      [--ignore-range] [--no-legacy-media] [--no-documented-list]\n"
    "                      [--debug-line] [--turbo] [--exit-with-parent]\n";

const char* const kElsewhereAddress = "127.0.0.2";

std::atomic<bool> g_signalled{false};

void onSignal(int)
{
    g_signalled = true;
}

struct Options {
    int model = 5;
    int controlPort = 8999;
    QString refDir;
    QString mediaJson;
    int mediaCount = -1;
    QString mediaDir;
    quint64 fileBytes = 0;
    bool ignoreRange = false;
    bool legacyMedia = true;
    bool documentedList = true;
    bool debugLine = false;
    bool turbo = false;
    bool exitWithParent = false;
    QString address; // empty: every local address
    QString serial = QLatin1String(cameraidentity::kDefaultSerial);
    int infoDelayMs = 0;
    QString previewCodec = QStringLiteral("auto");
    QString webcamRefusal = QStringLiteral("none");
    bool usb = false;
    int startLatencyMinMs = 0;
    int startLatencyMaxMs = 0;
    bool home = false;
    QString password;
};

bool parseOptions(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (a == "--exit-with-parent") {
            o->exitWithParent = true;
            continue;
        }
        if (a == "--ignore-range") {
            o->ignoreRange = true;
            continue;
        }
        if (a == "--no-legacy-media") {
            o->legacyMedia = false;
            continue;
        }
        if (a == "--no-documented-list") {
            o->documentedList = false;
            continue;
        }
        if (a == "--debug-line") {
            o->debugLine = true;
            continue;
        }
        if (a == "--turbo") {
            o->turbo = true;
            continue;
        }
        if (a == "--usb") {
            o->usb = true;
            continue;
        }
        if (a == "--home") {
            o->home = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "camsim: %s needs a value\n", a.c_str());
            return false;
        }
        const QString v = QString::fromLocal8Bit(argv[++i]);
        bool ok = true;
        if (a == "--model")
            o->model = v.toInt(&ok);
        else if (a == "--control-port")
            o->controlPort = v.toInt(&ok);
        else if (a == "--ref")
            o->refDir = v;
        else if (a == "--media-json")
            o->mediaJson = v;
        else if (a == "--media-count")
            o->mediaCount = v.toInt(&ok);
        else if (a == "--media-dir")
            o->mediaDir = v;
        else if (a == "--file-bytes")
            o->fileBytes = v.toULongLong(&ok);
        else if (a == "--address") {
            o->address = v;
            in_addr ip{};
            ok = inet_pton(AF_INET, qPrintable(v), &ip) == 1;
        } else if (a == "--password") {
            o->password = v;
            ok = !v.isEmpty();
        } else if (a == "--serial") {
            o->serial = v;
            ok = !v.trimmed().isEmpty();
        } else if (a == "--info-delay") {
            o->infoDelayMs = v.toInt(&ok);
            ok = ok && o->infoDelayMs >= 0 && o->infoDelayMs <= 60000;
        } else if (a == "--preview-codec") {
            o->previewCodec = v;
            ok = v == QLatin1String("auto") || v == QLatin1String("h264") || v == QLatin1String("hevc");
        } else if (a == "--webcam-refuse") {
            o->webcamRefusal = v;
            ok = v == QLatin1String("none") || v == QLatin1String("500") || v == QLatin1String("unavailable");
        } else if (a == "--start-latency") {
            // MIN-MAX in ms, or one number for a fixed latency.
            const QStringList range = v.split(QLatin1Char('-'));
            bool minOk = false, maxOk = false;
            o->startLatencyMinMs = range.first().toInt(&minOk);
            o->startLatencyMaxMs = range.last().toInt(&maxOk);
            ok = range.size() <= 2 && minOk && maxOk && o->startLatencyMinMs >= 0
                && o->startLatencyMaxMs >= o->startLatencyMinMs
                && o->startLatencyMaxMs <= CameraSim::kMaxStartLatencyMs;
        } else {
            std::fprintf(stderr, "camsim: unknown option %s\n", a.c_str());
            return false;
        }
        if (!ok) {
            std::fprintf(stderr, "camsim: bad value for %s: %s\n", a.c_str(), qPrintable(v));
            return false;
        }
    }
    return true;
}

// Each task is one connection, from accept to close: counting tasks counts connections.
class CountingPool : public httplib::TaskQueue
{
public:
    CountingPool(size_t threads, CameraSim::Connections* connections)
        : m_pool(threads), m_connections(connections)
    {
    }
    void enqueue(std::function<void()> fn) override
    {
        m_connections->opened();
        m_pool.enqueue([fn = std::move(fn), c = m_connections] {
            fn();
            c->closed();
        });
    }
    void shutdown() override { m_pool.shutdown(); }

private:
    httplib::ThreadPool m_pool;
    CameraSim::Connections* m_connections;
};

// Pools big enough that requests held by the stall mode cannot starve the others.
void bigPool(httplib::Server& server, size_t threads, CameraSim::Connections* connections = nullptr)
{
    if (connections)
        server.new_task_queue = [threads, connections] { return new CountingPool(threads, connections); };
    else
        server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The simulator answers at the camera's address, so it must never run where that address
    // could be a real network.
    QString seen;
    if (!sandboxcheck::isIsolated(&seen)) {
        std::fprintf(stderr,
                     "camsim: refusing to start outside the network sandbox: it answers as the "
                     "camera at 10.5.5.9 and must only run where loopback (besides taps that nothing reads) is\n"
                     "the only interface.\n"
                     "Interfaces seen: %s\nRun it as: tests/sandbox-run velkamo-camsim ...\n",
                     qPrintable(seen));
        return 2;
    }
    Options options;
    if (!parseOptions(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    if (options.home && (options.address.isEmpty() || options.password.isEmpty())) {
        std::fputs("camsim: --home needs --address and --password\n", stderr);
        return 1;
    }
    // A test that dies must not leave its camera running in the sandbox.
    if (options.exitWithParent)
        prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (options.mediaDir.isEmpty())
        options.mediaDir = QDir::temp().filePath(QStringLiteral("velkamo-camsim-%1").arg(getuid()));

    MediaStore media(options.mediaDir, options.fileBytes);
    QString error;
    if (!options.mediaJson.isEmpty()) {
        QFile file(options.mediaJson);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "camsim: cannot read %s\n", qPrintable(options.mediaJson));
            return 1;
        }
        if (!media.setJson(file.readAll(), &error)) {
            std::fprintf(stderr, "camsim: %s\n", qPrintable(error));
            return 1;
        }
    } else if (options.mediaCount >= 0 && !media.generate(options.mediaCount, &error)) {
        std::fprintf(stderr, "camsim: %s\n", qPrintable(error));
        return 1;
    }

    PreviewStreamer streamer(options.address.toStdString());
    CameraSim camera(options.refDir, &media, &streamer);
    camera.setModel(options.model);
    camera.setIgnoreRange(options.ignoreRange);
    camera.setLegacyMedia(options.legacyMedia);
    camera.setDocumentedList(options.documentedList);
    camera.setDebugLine(options.debugLine);
    camera.setTurbo(options.turbo, false);
    camera.setLink(options.address, options.usb);
    camera.setSerial(options.serial);
    camera.setStartLatency(options.startLatencyMinMs, options.startLatencyMaxMs);
    camera.setInfoDelay(options.infoDelayMs);
    camera.setPreviewCodec(options.previewCodec);
    camera.setWebcamRefusal(options.webcamRefusal);

    // On the home network the camera serves HTTPS on 443 alone, with a chain it makes itself.
    std::unique_ptr<HomeTls> homeTls;
    std::unique_ptr<httplib::SSLServer> home;
    if (options.home) {
        homeTls = std::make_unique<HomeTls>(options.address.toStdString(), options.password.toStdString());
        std::string tlsError;
        if (!homeTls->init(&tlsError)) {
            std::fprintf(stderr, "camsim: %s\n", tlsError.c_str());
            return 1;
        }
        home = std::make_unique<httplib::SSLServer>([&](SSL_CTX& ctx) { return homeTls->setUp(ctx); });
        if (!home->is_valid()) {
            std::fputs("camsim: cannot set up TLS\n", stderr);
            return 1;
        }
        camera.setHome(homeTls.get());
        bigPool(*home, 64, &camera.connections(8080));
        auto handler = [&camera](const httplib::Request& req, httplib::Response& res) {
            camera.handleCamera(CameraSim::kHomePort, req, res);
        };
        home->Get(".*", handler);
        home->Post(".*", handler);
        home->Put(".*", handler);
        home->Delete(".*", handler);
        home->set_write_timeout(60, 0);
        home->set_keep_alive_max_count(100);
        home->set_tcp_nodelay(true);
    }

    httplib::Server port80, port8080, control, elsewhere;
    bigPool(port80, 64, &camera.connections(80));
    bigPool(port8080, 64, &camera.connections(8080));
    bigPool(control, 8);
    bigPool(elsewhere, 8);
    for (auto [server, port] : {std::pair{&port80, 80}, std::pair{&port8080, 8080}}) {
        auto handler = [&camera, port = port](const httplib::Request& req, httplib::Response& res) {
            camera.handleCamera(port, req, res);
        };
        server->Get(".*", handler);
        server->Post(".*", handler);
        server->Put(".*", handler);
        server->Delete(".*", handler);
        // Long downloads at test speed: do not give up on a slow reader.
        server->set_write_timeout(60, 0);
        server->set_keep_alive_max_count(100);
        // A camera answers at once: without this, Nagle holds back each small answer on a
        // kept-alive connection until the client's delayed ACK (about 40 ms).
        server->set_tcp_nodelay(true);
    }
    auto controlHandler = [&camera](const httplib::Request& req, httplib::Response& res) {
        camera.handleControl(req, res);
    };
    control.Get(".*", controlHandler);
    control.Post(".*", controlHandler);
    // The library's default (SO_REUSEPORT) would let a second simulator on the same control
    // port share it unnoticed, each answering some of the calls.
    control.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Where the camera's redirects lead: another loopback address, so another host to the
    // program, on a port of its own for each simulator.
    const int elsewherePort = elsewhere.bind_to_any_port(kElsewhereAddress);
    if (elsewherePort <= 0) {
        std::fprintf(stderr, "camsim: cannot listen on %s\n", kElsewhereAddress);
        return 1;
    }
    camera.setElsewhere(QStringLiteral("http://%1:%2").arg(QLatin1String(kElsewhereAddress)).arg(elsewherePort));
    elsewhere.Get(".*", [&camera, elsewherePort](const httplib::Request& req, httplib::Response& res) {
        camera.handleElsewhere(elsewherePort, req, res);
    });

    // The camera ports keep the library's SO_REUSEPORT: a camera at its own address may then
    // sit beside one listening on every address, and the kernel gives each connection to the
    // listener bound to its exact address first.
    const std::string address = options.address.isEmpty() ? "0.0.0.0" : options.address.toStdString();
    if (home) {
        if (!home->bind_to_port(address.c_str(), CameraSim::kHomePort)
            || !control.bind_to_port("127.0.0.1", options.controlPort)) {
            std::fprintf(stderr, "camsim: cannot listen on %s port 443 and on 127.0.0.1:%d\n",
                         address.c_str(), options.controlPort);
            return 1;
        }
    } else if (!port80.bind_to_port(address.c_str(), 80) || !port8080.bind_to_port(address.c_str(), 8080)
        || !control.bind_to_port("127.0.0.1", options.controlPort)) {
        std::fprintf(stderr, "camsim: cannot listen on %s ports 80 and 8080 and on 127.0.0.1:%d "
                             "(is the address on an interface? is another simulator on that control port?)\n",
                     address.c_str(), options.controlPort);
        return 1;
    }
    // Plain HTTP is not served on the home network.
    std::vector<httplib::Server*> cameraServers;
    if (home)
        cameraServers = {home.get()};
    else
        cameraServers = {&port80, &port8080};
    std::vector<std::thread> threads;
    for (httplib::Server* server : cameraServers)
        threads.emplace_back([server] { server->listen_after_bind(); });
    std::thread tControl([&] { control.listen_after_bind(); });
    std::thread tElsewhere([&] { elsewhere.listen_after_bind(); });
    const auto running = [&] {
        for (httplib::Server* server : cameraServers) {
            if (!server->is_running())
                return false;
        }
        return control.is_running() && elsewhere.is_running();
    };
    while (!running())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));

    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::printf("camsim ready\n");
    std::fflush(stdout);

    while (!camera.quitRequested() && !g_signalled)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    // Let the /quit answer leave, release held requests, then stop.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    camera.requestQuit();
    streamer.stop();
    for (httplib::Server* server : cameraServers)
        server->stop();
    control.stop();
    elsewhere.stop();
    std::fflush(stdout);
    std::fflush(stderr);
    // Worker threads may still sit in long transfers; nothing is left to save.
    _exit(0);
}
