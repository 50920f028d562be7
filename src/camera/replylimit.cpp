#include "replylimit.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QTimer>
#include <QVariant>

#include <memory>

namespace {

const char* const kReasonProperty = "velkamoLimitReason";

// "32 MB" rather than "33554432 bytes": the reason may reach the user.
QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QCoreApplication::translate("ReplyLimit", "%1 MB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QCoreApplication::translate("ReplyLimit", "%1 KB").arg(bytes / 1024);
    return QCoreApplication::translate("ReplyLimit", "%1 bytes").arg(bytes);
}

} // namespace

void ReplyLimit::apply(QNetworkReply* reply, qint64 maxBytes, int deadlineMs, Cut cut)
{
    // Shared by the checks below; each trips once at most.
    const auto end = std::make_shared<Cut>([reply, cut = std::move(cut)](const QString& why) {
        if (reply->isFinished() || reply->property(kReasonProperty).isValid())
            return;
        reply->setProperty(kReasonProperty, why);
        if (cut)
            cut(why);
        else
            reply->abort();
    });
    if (deadlineMs > 0) {
        auto* deadline = new QTimer(reply);
        deadline->setSingleShot(true);
        QObject::connect(deadline, &QTimer::timeout, reply, [end, deadlineMs] {
            (*end)(QCoreApplication::translate("ReplyLimit", "no complete answer within %1 s")
                       .arg(deadlineMs / 1000.0));
        });
        QObject::connect(reply, &QNetworkReply::finished, deadline, &QTimer::stop);
        deadline->start(deadlineMs);
    }
    if (maxBytes >= 0) {
        const auto tooLarge = [end, maxBytes](qint64 bytes) {
            if (bytes > maxBytes)
                (*end)(QCoreApplication::translate("ReplyLimit", "answer larger than %1")
                           .arg(sizeText(maxBytes)));
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

void ReplyLimit::end(QNetworkReply* reply, const QString& why)
{
    if (reply->isFinished() || reply->property(kReasonProperty).isValid())
        return;
    reply->setProperty(kReasonProperty, why);
    reply->abort();
}

QString ReplyLimit::reason(const QNetworkReply* reply)
{
    return reply->property(kReasonProperty).toString();
}
