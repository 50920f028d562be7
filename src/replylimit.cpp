#include "replylimit.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QTimer>
#include <QVariant>

namespace {

const char* const kReasonProperty = "velkamoLimitReason";

void cut(QNetworkReply* reply, const QString& why)
{
    if (reply->isFinished() || reply->property(kReasonProperty).isValid())
        return;
    reply->setProperty(kReasonProperty, why);
    reply->abort();
}

QString translate(const char* text)
{
    return QCoreApplication::translate("ReplyLimit", text);
}

} // namespace

void ReplyLimit::apply(QNetworkReply* reply, qint64 maxBytes, int deadlineMs)
{
    if (deadlineMs > 0) {
        auto* deadline = new QTimer(reply);
        deadline->setSingleShot(true);
        QObject::connect(deadline, &QTimer::timeout, reply, [reply, deadlineMs] {
            cut(reply, translate("no complete answer within %1 s").arg(deadlineMs / 1000.0));
        });
        QObject::connect(reply, &QNetworkReply::finished, deadline, &QTimer::stop);
        deadline->start(deadlineMs);
    }
    if (maxBytes >= 0) {
        const auto tooLarge = [reply, maxBytes](qint64 bytes) {
            if (bytes > maxBytes)
                cut(reply, translate("answer larger than %1 bytes").arg(maxBytes));
        };
        // The announced length tells before any of the body has come.
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, tooLarge] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid())
                tooLarge(length.toLongLong());
        });
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                         [tooLarge](qint64 received, qint64 total) {
                             tooLarge(received);
                             tooLarge(total);
                         });
    }
}

QString ReplyLimit::reason(const QNetworkReply* reply)
{
    return reply->property(kReasonProperty).toString();
}
