#include "previewstreamer.h"

#include "childprocess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr uint16_t kStreamPort = 8554;
const char kKeepAlive[] = "_GPHD_:0:0:2:0.000000\n";

// A UDP datagram to the stream port, as a raw socket delivers it (an IPv4 packet).
struct StreamPortDatagram {
    uint32_t source = 0; // network order
    uint32_t destination = 0;
    const unsigned char* payload = nullptr;
    size_t size = 0;
};

bool toPort(const unsigned char* packet, size_t size, uint16_t port, StreamPortDatagram* datagram)
{
    if (size < 20 || (packet[0] >> 4) != 4)
        return false;
    const size_t ipHeader = size_t(packet[0] & 0x0f) * 4;
    if (size < ipHeader + 8)
        return false;
    const unsigned char* udp = packet + ipHeader;
    if (uint16_t(udp[2] << 8 | udp[3]) != port)
        return false;
    std::memcpy(&datagram->source, packet + 12, sizeof datagram->source);
    std::memcpy(&datagram->destination, packet + 16, sizeof datagram->destination);
    datagram->payload = udp + 8;
    datagram->size = size - ipHeader - 8;
    return true;
}

// A keep-alive to the stream port of cameraIp (network order; 0: of any address).
bool isKeepAlive(const StreamPortDatagram& datagram, uint32_t cameraIp)
{
    const size_t expected = sizeof(kKeepAlive) - 1;
    return (cameraIp == 0 || datagram.destination == cameraIp) && datagram.size == expected
           && std::memcmp(datagram.payload, kKeepAlive, expected) == 0;
}

// The log's clock: steady_clock is CLOCK_MONOTONIC here.
long long steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

PreviewStreamer::PreviewStreamer(const std::string& cameraAddress)
    : m_cameraAddress(cameraAddress)
{
    in_addr ip{};
    if (!cameraAddress.empty() && inet_pton(AF_INET, cameraAddress.c_str(), &ip) == 1)
        m_cameraIp = ip.s_addr;
    m_rawSocket = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_UDP);
    if (m_rawSocket < 0) {
        std::fprintf(stderr, "camsim: cannot watch for preview keep-alives (%s): streams run "
                             "until stopped\n", std::strerror(errno));
        return;
    }
    m_watcher = std::thread([this] { watch(); });
}

PreviewStreamer::~PreviewStreamer()
{
    m_quit = true;
    if (m_watcher.joinable())
        m_watcher.join();
    if (m_rawSocket >= 0)
        close(m_rawSocket);
    stop();
}

bool PreviewStreamer::start(const std::string& clientAddress, bool needsKeepAlive, Codec codec,
                            const Format& format)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    childprocess::stop(m_pid);
    m_port = format.port;
    m_target = "udp://" + clientAddress + ":" + std::to_string(format.port) + "?pkt_size=1316";
    if (!m_cameraAddress.empty())
        m_target += "&localaddr=" + m_cameraAddress;
    m_needsKeepAlive = needsKeepAlive;
    m_codec = codec;
    m_firstDatagramMs = 0;
    m_lastKeepAlive = std::chrono::steady_clock::now();
    // A key frame every half second, with its parameter sets, so that a player joining at any
    // time shows its first frame soon. x265 would otherwise send them once, open its GOPs
    // and talk on stderr.
    std::vector<std::string> encoder{"-c:v", "libx264", "-preset", "ultrafast",
                                     "-tune", "zerolatency", "-g", "15"};
    if (codec == Codec::Hevc)
        encoder = {"-c:v", "libx265", "-preset", "ultrafast", "-tune", "zerolatency",
                   "-x265-params",
                   "keyint=15:min-keyint=15:open-gop=0:repeat-headers=1:log-level=error"};
    // Bounded to an hour so a forgotten stream cannot run for ever.
    std::vector<std::string> args{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error",
                                  "-re", "-f", "lavfi", "-i",
                                  "testsrc2=size=" + std::to_string(format.width) + "x"
                                      + std::to_string(format.height) + ":rate=30",
                                  "-t", "3600"};
    args.insert(args.end(), encoder.begin(), encoder.end());
    for (const char* a : {"-pix_fmt", "yuv420p", "-b:v"})
        args.emplace_back(a);
    args.push_back(std::to_string(format.kbps) + "k");
    for (const char* a : {"-f", "mpegts"})
        args.emplace_back(a);
    args.push_back(m_target);
    m_pid = childprocess::start(args);
    return m_pid > 0;
}

void PreviewStreamer::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    stopLocked();
}

void PreviewStreamer::stopLocked()
{
    childprocess::stop(m_pid);
    m_pid = -1;
    m_target.clear();
}

bool PreviewStreamer::running()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
        m_pid = -1; // ffmpeg ended by itself (error or time limit)
        m_target.clear();
    }
    return m_pid > 0;
}

std::string PreviewStreamer::target()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_target;
}

std::string PreviewStreamer::codec()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pid > 0 ? codecName(m_codec) : std::string();
}

long long PreviewStreamer::firstDatagramMs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firstDatagramMs;
}

int PreviewStreamer::keepAlives()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_keepAlives;
}

int PreviewStreamer::timeouts()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timeouts;
}

void PreviewStreamer::watch()
{
    unsigned char packet[2048];
    while (!m_quit) {
        pollfd fd{m_rawSocket, POLLIN, 0};
        // Short waits: the time-out is checked between datagrams too.
        if (poll(&fd, 1, 200) > 0) {
            const ssize_t got = recv(m_rawSocket, packet, sizeof(packet), 0);
            StreamPortDatagram datagram;
            std::lock_guard<std::mutex> lock(m_mutex);
            if (got > 0 && toPort(packet, size_t(got), kStreamPort, &datagram)
                && isKeepAlive(datagram, m_cameraIp)) {
                ++m_keepAlives;
                m_lastKeepAlive = std::chrono::steady_clock::now();
            } else if (got > 0 && m_pid > 0 && m_firstDatagramMs == 0
                       && toPort(packet, size_t(got), m_port, &datagram)
                       && (m_cameraIp == 0 || datagram.source == m_cameraIp)) {
                m_firstDatagramMs = steadyMs();
            }
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pid > 0 && m_needsKeepAlive
            && std::chrono::steady_clock::now() - m_lastKeepAlive >= kKeepAliveTimeout) {
            std::fprintf(stderr, "camsim: no preview keep-alive for %lld s: stream stopped\n",
                         static_cast<long long>(kKeepAliveTimeout.count()));
            stopLocked();
            ++m_timeouts;
        }
    }
}
