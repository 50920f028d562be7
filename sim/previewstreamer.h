#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>

// What a stream looks like: the preview's by default; webcam mode sends a larger picture, at a
// higher rate, to the port the client chose.
struct StreamFormat {
    int width = 640;
    int height = 360;
    int kbps = 1500;
    uint16_t port = 8554;
};

// The camera's live preview: an ffmpeg child sending H.264 (HEVC on a HERO13) in MPEG-TS over
// UDP to port 8554 of whoever asked for it. Starting again replaces the running stream.
//
// The older cameras (up to HERO8) end the stream kKeepAliveTimeout after the start, or after
// the last keep-alive datagram ("_GPHD_:0:0:2:0.000000\n" sent to port 8554 of the camera).
// The client's player listens on that same port of the same host here, so the datagrams are
// watched through a raw socket, which sees a copy of every UDP datagram the host receives and
// takes none away from the player.
//
// A camera at an address of its own (several simulators share the host) sends its stream
// from there and counts only the keep-alives sent to it.
class PreviewStreamer
{
public:
    static constexpr std::chrono::seconds kKeepAliveTimeout{25};

    enum class Codec { H264, Hevc };
    static const char* codecName(Codec codec) { return codec == Codec::Hevc ? "hevc" : "h264"; }
    using Format = StreamFormat;

    // cameraAddress: the IPv4 address this camera answers at; empty for every local one.
    explicit PreviewStreamer(const std::string& cameraAddress = {});
    ~PreviewStreamer();
    bool start(const std::string& clientAddress, bool needsKeepAlive, Codec codec = Codec::H264,
               const Format& format = Format());
    void stop();
    bool running();
    std::string target();
    // The running stream's codec name; empty while none runs.
    std::string codec();
    // When the running stream's first datagram reached the host, in ms on CLOCK_MONOTONIC;
    // 0 until then, and where nothing watches.
    long long firstDatagramMs();
    // Keep-alive datagrams received, and streams ended for want of them.
    int keepAlives();
    int timeouts();
    // False where no raw socket could be opened: streams then run until stopped.
    bool watching() const { return m_rawSocket >= 0; }

private:
    void watch();
    void stopLocked();

    std::mutex m_mutex;
    pid_t m_pid = -1;
    std::string m_target;
    Codec m_codec = Codec::H264;
    uint16_t m_port = 8554; // of the running stream
    bool m_needsKeepAlive = false;
    std::chrono::steady_clock::time_point m_lastKeepAlive;
    long long m_firstDatagramMs = 0;
    int m_keepAlives = 0;
    int m_timeouts = 0;
    int m_rawSocket = -1;
    std::string m_cameraAddress;
    uint32_t m_cameraIp = 0; // network order; 0: keep-alives to any address count
    std::atomic<bool> m_quit{false};
    std::thread m_watcher;
};
