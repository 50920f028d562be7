#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class QNetworkReply;

// Bounds on one answer from the camera. Qt's transfer time-out only fires on silence: a body
// that trickles a byte a second, or one that never ends, would hold its request (and the
// memory it fills) for ever. A reply past its bound is aborted; reason() then says why. The
// first bound a reply passes is the one told.
class ReplyLimit
{
public:
    // Given the reason, ends a reply past its bound in the caller's own way (it must abort
    // the reply), for a caller that tells the user in its own words.
    using Cut = std::function<void(const QString& why)>;

    // At most maxBytes of body (-1: no cap), and finished within deadlineMs of now
    // (0: no deadline), whatever the camera does meanwhile.
    static void apply(QNetworkReply* reply, qint64 maxBytes, int deadlineMs, Cut cut = nullptr);
    // Ends reply at once for why, as a bound does: for the bounds every camera request has
    // (cameranetwork's manager refuses redirects), set before the caller has the reply.
    static void end(QNetworkReply* reply, const QString& why);
    // Why reply was cut short by its bounds, for the user; empty when it was not.
    static QString reason(const QNetworkReply* reply);
};
