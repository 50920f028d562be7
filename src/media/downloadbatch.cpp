#include "downloadbatch.h"
#include "camerarequests.h"

#include "cameranetwork.h"
#include "downloadrules.h"
#include "medialist.h"
#include "replylimit.h"
#include "turbotransfer.h"

#include <QDebug>
#include <QDir>
#include <QFile>
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
    endTurbo();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    m_part.discard();
}

QList<DownloadBatch::File> DownloadBatch::filesOf(const MediaList& card, const QStringList& paths)
{
    QList<File> files;
    for (const QString& path : paths) {
        const int index = card.indexOf(path);
        const qint64 mod = index < 0 ? -1 : card.newestFirst().at(index).mod;
        const QStringList members = card.members(path);
        for (const QString& member : members)
            files.append({member, -1, mod});
        if (!members.isEmpty())
            continue;
        files.append({path, card.listedSize(path), mod});
    }
    return files;
}

void DownloadBatch::setTurbo(TurboTransfer* turbo, quint64 camera, int model)
{
    m_turbo = turbo;
    m_turboCamera = camera;
    m_turboModel = model;
}

void DownloadBatch::start(const QString& folder, const QString& cameraSerial, const QList<File>& files)
{
    // One queue, one output file, one reply: a second batch must not run into the first.
    if (isRunning())
        return;
    m_queue = files;
    m_folder = folder;
    m_serial = cameraSerial;
    m_total = int(files.size());
    m_saved = 0;
    m_skipped = 0;
    m_failures.clear();
    m_renamed.clear();
    m_batchWritten.clear();
    m_stopped = false;
    startNext();
}

void DownloadBatch::stop()
{
    if (!isRunning())
        return;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_part.discard();
    m_queue.clear();
    m_stopped = true;
    endTurbo();
    const QString message = summary();
    qDebug().noquote() << message;
    emit finished(message);
}

void DownloadBatch::startNext()
{
    while (!m_queue.isEmpty()) {
        const File& file = m_queue.first();
        const QString path = file.path;
        const QString wanted = DownloadRules::localPath(m_folder, path);
        if (wanted.isEmpty()) {
            qDebug() << "download skipped, unsafe file name:" << path;
            m_failures << tr("%1 (unsafe file name, skipped)").arg(MediaList::fileName(path));
            m_queue.removeFirst();
            continue;
        }
        // The same file fetched before: as many bytes as the camera lists, under its name or
        // a numbered one. Where the list gives no size (a burst's members), the answer's
        // length tells once it comes.
        if (file.size >= 0 && !DownloadRules::savedCopy(wanted, file.size, m_batchWritten).isEmpty()) {
            ++m_skipped;
            m_queue.removeFirst();
            continue;
        }
        if (waitForTurbo())
            return;
        // Only a .part proven to be the beginning of this very file is continued; anything
        // else (another camera's file of the same name, one from before a format, one an
        // older program left) is written anew.
        const PartRecord record{m_serial, path, file.size, file.mod};
        QString error;
        const bool opened = openPart(wanted, &error);
        m_kept = opened && m_part.continues(record) ? m_part.size() : 0;
        if (!opened || (m_kept == 0 && !m_part.restart(record))) {
            if (opened)
                error = m_part.errorString();
            m_part.discard();
            qDebug() << "download failed:" << path << error;
            m_failures << tr("%1 (cannot write: %2)").arg(MediaList::fileName(path), error);
            m_queue.removeFirst();
            continue;
        }
        m_written = 0;
        m_answer = Answer::Unseen;
        m_alreadySaved = false;
        m_rangeTotal = -1;
        m_refusal.clear();
        m_writeError.clear();
        QNetworkRequest request(CameraRequests::file(m_camera, path));
        request.setTransferTimeout(kDownloadStallMs);
        if (m_kept > 0)
            request.setRawHeader("Range", "bytes=" + QByteArray::number(m_kept) + '-');
        m_reply = m_manager->get(request);
        // Without a bound the reply holds whatever the network delivers faster than the disk
        // takes it: gigabytes of a camera video in memory.
        m_reply->setReadBufferSize(kDownloadBufferBytes);
        connect(m_reply, &QNetworkReply::readyRead, this, &DownloadBatch::readReady);
        connect(m_reply, &QNetworkReply::downloadProgress, this, &DownloadBatch::transferProgress);
        connect(m_reply, &QNetworkReply::finished, this, &DownloadBatch::endFile);
        qDebug() << m_part.path() << request.url().toString() << "from byte" << m_kept;
        emit fileStarted(m_total - int(m_queue.size()) + 1, m_total, MediaList::fileName(path));
        return;
    }
    endTurbo();
    const QString message = summary();
    qDebug().noquote() << message;
    emit finished(message);
}

bool DownloadBatch::waitForTurbo()
{
    if (!m_turbo || m_turboStage != Turbo::NotAsked)
        return m_turboStage == Turbo::Asking;
    m_turboStage = Turbo::Asking;
    const int ticket = m_turboTicket;
    const TurboTransfer::Target camera{m_turboCamera, m_camera, m_manager, m_turboModel};
    const bool asked = m_turbo->switchOn(camera, this, [this, ticket] {
        // Refused or not, the files come.
        if (ticket != m_turboTicket || m_turboStage != Turbo::Asking)
            return;
        m_turboStage = Turbo::Asked;
        startNext();
    });
    if (!asked)
        m_turboStage = Turbo::Asked;
    return asked;
}

// However the batch ended: done, failed, stopped, the camera gone.
void DownloadBatch::endTurbo()
{
    ++m_turboTicket;
    if (m_turboStage == Turbo::NotAsked)
        return;
    m_turboStage = Turbo::NotAsked;
    m_turbo->switchOff({m_turboCamera, m_camera, m_manager, m_turboModel});
}

// Picks the local name for the file and opens its .part: a name whose .part another running
// download holds is passed over.
bool DownloadBatch::openPart(const QString& wanted, QString* error)
{
    QSet<QString> busy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_target = DownloadRules::freePath(wanted, busy);
        switch (m_part.open(DownloadRules::partPath(m_target))) {
        case PartFile::Opened::Fresh:
        case PartFile::Opened::Leftover:
            return true;
        case PartFile::Opened::Busy:
            busy.insert(m_target);
            break;
        case PartFile::Opened::Failed:
            *error = m_part.errorString();
            return false;
        }
    }
    *error = tr("every name is taken");
    return false;
}

// Decides, once the camera's answer has begun, whether its body goes into the .part: the rest
// of the file where it continues at the asked byte, the whole file (from the start) otherwise.
bool DownloadBatch::takeAnswer()
{
    if (m_answer != Answer::Unseen)
        return m_answer == Answer::Write;
    m_answer = Answer::Refused;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 206) {
        qint64 first = -1;
        if (m_kept > 0
            && DownloadRules::parseContentRange(m_reply->rawHeader("Content-Range"), &first,
                                                &m_rangeTotal)
            && first == m_kept)
            m_answer = Answer::Write;
        else
            m_refusal = tr("the camera sent another part of the file");
    } else if (status >= 200 && status < 300) {
        // A camera that cannot resume sends the whole file.
        m_kept = 0;
        const QString path = m_queue.first().path;
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (m_queue.first().size < 0 && length.isValid()
            && !DownloadRules::savedCopy(DownloadRules::localPath(m_folder, path), length.toLongLong(),
                                         m_batchWritten)
                    .isEmpty())
            m_alreadySaved = true;
        else if (m_part.size() > 0 && !m_part.truncate())
            m_writeError = m_part.errorString();
        else
            m_answer = Answer::Write;
    }
    return m_answer == Answer::Write;
}

void DownloadBatch::readReady()
{
    if (!m_part.isOpen() || !takeAnswer()) {
        // An error page is read to its end, which keeps the connection; an answer that
        // cannot be used is not.
        if (!m_refusal.isEmpty() || !m_writeError.isEmpty() || m_alreadySaved)
            m_reply->abort();
        else
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
        if (!m_part.write(m_piece.constData(), got)) {
            m_writeError = m_part.errorString();
            m_part.discard();
            m_reply->abort();
            return;
        }
        m_written += got;
    }
}

void DownloadBatch::transferProgress(qint64 received, qint64 total)
{
    takeAnswer(); // m_kept holds only once the camera agreed to continue
    emit transferred(m_kept + received, total > 0 ? m_kept + total : -1, m_kept);
    if (total <= 0)
        return;
    // Videos pass 2 GiB; a progress bar counts in int.
    const auto [value, maximum] = DownloadRules::progressRange(m_kept + received, m_kept + total);
    emit progress(value, maximum);
}

void DownloadBatch::endFile()
{
    readReady(); // whatever came with the end of the reply
    settleFile();
    m_reply->deleteLater();
    m_reply = nullptr;
    m_queue.removeFirst();
    startNext();
}

// Gives the finished file its real name, or removes it and says why it failed.
void DownloadBatch::settleFile()
{
    const QString path = m_queue.first().path;
    if (m_alreadySaved) {
        m_part.discard();
        ++m_skipped;
        emit progress(1, 1);
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    DownloadRules::Received received;
    received.transferOk = m_reply->error() == QNetworkReply::NoError && m_answer == Answer::Write
        && m_writeError.isEmpty() && m_part.isOpen();
    received.kept = m_kept;
    received.written = m_written;
    received.contentLength = length.isValid() ? length.toLongLong() : -1;
    received.rangeTotal = m_rangeTotal;
    DownloadRules::Verdict verdict = DownloadRules::verify(received, m_queue.first().size);
    if (!m_writeError.isEmpty())
        verdict.reason = m_writeError;
    else if (!m_refusal.isEmpty())
        verdict.reason = m_refusal;
    else if (!ReplyLimit::reason(m_reply).isEmpty())
        verdict.reason = ReplyLimit::reason(m_reply); // a redirect, not followed
    else if (status != 0 && (status < 200 || status >= 300))
        verdict.reason = tr("HTTP %1").arg(status);
    else if (m_reply->error() == QNetworkReply::OperationCanceledError)
        verdict.reason = tr("no data for %1 s").arg(kDownloadStallMs / 1000);

    if (verdict.complete) {
        m_part.dropRecord();
        // Never over a file that took the name while this one was on its way.
        const QString part = m_part.path();
        QString target = m_target;
        QString error;
        bool moved = false;
        for (int attempt = 0; attempt < 10 && !moved; ++attempt) {
            moved = DownloadRules::moveWithoutReplacing(part, target, &error);
            if (moved || !(QFileInfo(target).exists() || QFileInfo(target).isSymLink()))
                break;
            target = DownloadRules::freePath(DownloadRules::localPath(m_folder, path));
        }
        // Renamed while still open and locked, so no other download takes the .part between
        // the two. Full disks and network shares may report lost data only at the close: the
        // file then gives the name back.
        if (moved && m_part.close()) {
            keepShotTime(target, m_queue.first().mod);
            ++m_saved;
            m_batchWritten.insert(target);
            if (target != DownloadRules::localPath(m_folder, path))
                m_renamed << QFileInfo(target).fileName();
            return;
        }
        if (moved) {
            QFile::remove(target);
            verdict.reason = m_part.errorString();
        } else {
            verdict.reason = tr("cannot rename: %1").arg(error);
        }
    }
    m_part.discard();
    qDebug() << "download failed:" << path << verdict.reason;
    m_failures << tr("%1 (%2)").arg(MediaList::fileName(path), verdict.reason);
}

// Set after the close, which may still write (and so stamp the file with the time now).
void DownloadBatch::keepShotTime(const QString& file, qint64 mod)
{
    const QDateTime shot = MediaList::shotAt(mod);
    if (!shot.isValid())
        return;
    QFile saved(file);
    if (!saved.open(QIODevice::ReadOnly) || !saved.setFileTime(shot, QFileDevice::FileModificationTime))
        qDebug() << "the time" << file << "was shot is not kept:" << saved.errorString();
}

QString DownloadBatch::summary() const
{
    QString message = (m_stopped ? tr("Stopped: downloaded %1 of %2 files to %3.")
                                 : tr("Downloaded %1 of %2 files to %3."))
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
