#pragma once

#include <QNetworkReply>

// Decides from the outcome of each request to the camera whether the camera is there.
//
// The camera answered when an HTTP status came back (any code) or when it refused the
// connection. "Network unreachable" means it is gone at once. Anything else (a time-out,
// a cut connection) is no answer: on a PC whose default route leads elsewhere, connects to
// the camera's address hang instead of failing, so silence must never count as presence.
// Silence only takes the camera offline after several keep-alive polls in a row, so one
// lost poll does not empty the grid.
class Reachability
{
public:
    enum class Change { None, CameOnline, WentOffline };

    static constexpr int kMissedPollsForOffline = 2;

    // One finished request; poll says whether it was a keep-alive poll.
    Change onReply(QNetworkReply::NetworkError error, int httpStatus, bool poll);

    static bool isAnswer(QNetworkReply::NetworkError error, int httpStatus);
    // The network itself says the camera is not there ("network unreachable").
    static bool meansGone(QNetworkReply::NetworkError error);

    bool isOnline() const { return m_online; }
    // Keep-alive polls without an answer since the camera last answered.
    int missedPolls() const { return m_missedPolls; }

private:
    bool m_online = false;
    int m_missedPolls = 0;
};
