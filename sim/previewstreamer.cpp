#include "previewstreamer.h"

#include "childprocess.h"

#include <sys/wait.h>

PreviewStreamer::~PreviewStreamer()
{
    stop();
}

bool PreviewStreamer::start(const std::string& clientAddress)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    childprocess::stop(m_pid);
    m_target = "udp://" + clientAddress + ":8554?pkt_size=1316";
    // Bounded to an hour so a forgotten stream cannot run for ever.
    m_pid = childprocess::start({"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error",
                                 "-re", "-f", "lavfi", "-i", "testsrc2=size=640x360:rate=30",
                                 "-t", "3600", "-c:v", "libx264", "-preset", "ultrafast",
                                 "-tune", "zerolatency", "-g", "15", "-pix_fmt", "yuv420p",
                                 "-b:v", "1500k", "-f", "mpegts", m_target});
    return m_pid > 0;
}

void PreviewStreamer::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
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
