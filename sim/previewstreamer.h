#pragma once

#include <mutex>
#include <string>
#include <sys/types.h>

// The camera's live preview: an ffmpeg child sending H.264 in MPEG-TS over UDP to port 8554
// of whoever asked for it. Starting again replaces the running stream.
class PreviewStreamer
{
public:
    ~PreviewStreamer();
    bool start(const std::string& clientAddress);
    void stop();
    bool running();
    std::string target();

private:
    std::mutex m_mutex;
    pid_t m_pid = -1;
    std::string m_target;
};
