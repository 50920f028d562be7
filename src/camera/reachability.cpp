#include "reachability.h"

bool Reachability::isAnswer(QNetworkReply::NetworkError error, int httpStatus)
{
    return httpStatus != 0 || error == QNetworkReply::ConnectionRefusedError;
}

bool Reachability::meansGone(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::UnknownNetworkError;
}

Reachability::Change Reachability::onReply(QNetworkReply::NetworkError error, int httpStatus,
                                           bool poll)
{
    const bool wasOnline = m_online;
    if (meansGone(error)) {
        m_online = false;
        m_missedPolls = 0;
    } else if (isAnswer(error, httpStatus)) {
        m_online = true;
        m_missedPolls = 0;
    } else if (poll && ++m_missedPolls >= kMissedPollsForOffline) {
        m_online = false;
    }
    if (m_online == wasOnline)
        return Change::None;
    return m_online ? Change::CameOnline : Change::WentOffline;
}
