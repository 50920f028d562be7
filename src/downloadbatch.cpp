#include "downloadbatch.h"

#include "cameranetwork.h"
#include "downloadrules.h"
#include "medialist.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
// Small enough that what the network thread hands over is still in the CPU cache when it is
// written; the socket's own buffer covers a busy window meanwhile.
constexpr qint64 kDownloadBufferBytes = 512 * 1024;
// One write to the file per piece.
constexpr qint64 kWritePieceBytes = 64 * 1024;
// A camera that stops sending (it left, or went to sleep) fails the file instead of holding
// the batch for as long as TCP keeps trying.
constexpr int kDownloadStallMs = 30000;
}

DownloadBatch::DownloadBatch(QNetworkAccessManager* manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager ? manager : cameranetwork::newManager(this))
    , m_piece(kWritePieceBytes, Qt::Uninitialized)
{
}

DownloadBatch::~DownloadBatch()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    if (m_file.isOpen()) {
        m_file.flush();
        m_file.close();
    }
}

void DownloadBatch::start(const QString& folder, const QStringList& paths,
                          const QHash<QString, qint64>& listedSizes)
{
    // One queue, one output file, one reply: a second batch must not run into the first.
    if (isRunning())
        return;
    m_queue = paths;
    m_folder = folder;
    m_sizes = listedSizes;
    m_total = int(paths.size());
    m_saved = 0;
    m_skipped = 0;
    m_failures.clear();
    m_renamed.clear();
    m_batchWritten.clear();
    startNext();
}

void DownloadBatch::startNext()
{
    while (!m_queue.isEmpty()) {
        const QString path = m_queue.first();
        const QString wanted = DownloadRules::localPath(m_folder, path);
        if (wanted.isEmpty()) {
            qDebug() << "download skipped, unsafe file name:" << path;
            m_failures << tr("%1 (unsafe file name, skipped)").arg(MediaList::fileName(path));
            m_queue.removeFirst();
            continue;
        }
        // The same file fetched before: as many bytes as the camera lists, under its name or
        // a numbered one. Where the list gives no size, nothing tells; a new name keeps both.
        const qint64 listed = m_sizes.value(path, -1);
        if (listed >= 0 && !DownloadRules::savedCopy(wanted, listed, m_batchWritten).isEmpty()) {
            ++m_skipped;
            m_queue.removeFirst();
            continue;
        }
        m_target = DownloadRules::freePath(wanted);
        // A file is written under a temporary name and gets its real one only when complete.
        // O_EXCL after removing a leftover: never follow a link planted under that name.
        const QString part = DownloadRules::partPath(m_target);
        QFile::remove(part);
        m_file.setFileName(part);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            qDebug() << m_file.errorString();
            m_failures << tr("%1 (cannot write: %2)")
                              .arg(MediaList::fileName(path), m_file.errorString());
            m_queue.removeFirst();
            continue;
        }
        m_written = 0;
        m_writeError.clear();
        QNetworkRequest request(MediaList::fileUrl(path));
        request.setTransferTimeout(kDownloadStallMs);
        m_reply = m_manager->get(request);
        // Without a bound the reply holds whatever the network delivers faster than the disk
        // takes it: gigabytes of a camera video in memory.
        m_reply->setReadBufferSize(kDownloadBufferBytes);
        connect(m_reply, &QNetworkReply::readyRead, this, &DownloadBatch::readReady);
        connect(m_reply, &QNetworkReply::downloadProgress, this, &DownloadBatch::transferProgress);
        connect(m_reply, &QNetworkReply::finished, this, &DownloadBatch::endFile);
        qDebug() << part << request.url().toString();
        return;
    }
    const QString message = summary();
    qDebug().noquote() << message;
    emit finished(message);
}

void DownloadBatch::readReady()
{
    if (!m_file.isOpen()) {
        m_reply->skip(m_reply->bytesAvailable());
        return;
    }
    // Through one small buffer, reused: the bytes are still in the CPU cache when written.
    // A readAll of megabytes walks memory twice and faults in fresh pages for every chunk,
    // which took more than twice the CPU time.
    for (;;) {
        const qint64 got = m_reply->read(m_piece.data(), m_piece.size());
        if (got <= 0)
            return;
        if (m_file.write(m_piece.constData(), got) != got) {
            m_writeError = m_file.errorString();
            m_file.close();
            m_reply->abort();
            return;
        }
        m_written += got;
    }
}

void DownloadBatch::transferProgress(qint64 received, qint64 total)
{
    if (total <= 0)
        return;
    // Videos pass 2 GiB; a progress bar counts in int.
    const auto [value, maximum] = DownloadRules::progressRange(received, total);
    emit progress(value, maximum);
}

void DownloadBatch::endFile()
{
    readReady(); // whatever came with the end of the reply
    if (m_file.isOpen()) {
        if (!m_file.flush() && m_writeError.isEmpty())
            m_writeError = m_file.errorString();
        m_file.close();
    }
    settleFile();
    m_reply->deleteLater();
    m_reply = nullptr;
    m_queue.removeFirst();
    startNext();
}

// Gives the finished file its real name, or removes it and says why it failed.
void DownloadBatch::settleFile()
{
    const QString path = m_queue.first();
    const QString part = DownloadRules::partPath(m_target);

    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool transferOk = m_reply->error() == QNetworkReply::NoError && status >= 200
        && status < 300 && m_writeError.isEmpty();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    DownloadRules::Verdict verdict = DownloadRules::verify(
        transferOk, m_written, length.isValid() ? length.toLongLong() : -1, m_sizes.value(path, -1));
    if (!m_writeError.isEmpty())
        verdict.reason = m_writeError;
    else if (status != 0 && (status < 200 || status >= 300))
        verdict.reason = tr("HTTP %1").arg(status);
    else if (m_reply->error() == QNetworkReply::OperationCanceledError)
        verdict.reason = tr("no data for %1 s").arg(kDownloadStallMs / 1000);

    if (verdict.complete) {
        // Never over a file that took the name while this one was on its way.
        QString target = m_target;
        QString error;
        bool moved = false;
        for (int attempt = 0; attempt < 10 && !moved; ++attempt) {
            moved = DownloadRules::moveWithoutReplacing(part, target, &error);
            if (moved || !(QFileInfo(target).exists() || QFileInfo(target).isSymLink()))
                break;
            target = DownloadRules::freePath(DownloadRules::localPath(m_folder, path));
        }
        if (moved) {
            ++m_saved;
            m_batchWritten.insert(target);
            if (target != DownloadRules::localPath(m_folder, path))
                m_renamed << QFileInfo(target).fileName();
            return;
        }
        verdict.reason = tr("cannot rename: %1").arg(error);
    }
    QFile::remove(part);
    qDebug() << "download failed:" << path << verdict.reason;
    m_failures << tr("%1 (%2)").arg(MediaList::fileName(path), verdict.reason);
}

QString DownloadBatch::summary() const
{
    QString message = tr("Downloaded %1 of %2 files to %3.")
                          .arg(m_saved)
                          .arg(m_total)
                          .arg(QDir::toNativeSeparators(m_folder));
    if (m_skipped > 0)
        message += QLatin1Char(' ') + tr("%n already there, skipped.", nullptr, m_skipped);
    if (!m_renamed.isEmpty())
        message += QLatin1Char(' ')
            + tr("Saved under new names: %1.").arg(m_renamed.join(QStringLiteral(", ")));
    if (!m_failures.isEmpty())
        message += QLatin1Char(' ') + tr("Failed: %1").arg(m_failures.join(QStringLiteral("; ")));
    return message;
}
