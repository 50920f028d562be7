#include "cameraoffload.h"

#include "cameranetwork.h"
#include "camerarequests.h"
#include "downloadbatch.h"
#include "medialist.h"
#include "medialistloader.h"
#include "replylimit.h"

#include <QDebug>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

#include <utility>

namespace {
// The list is asked for as the window asks for it, within the same bounds.
constexpr int kCardStallMs = 15000;
constexpr qint64 kCardMaxBytes = 32 * 1024 * 1024;
constexpr int kCardDeadlineMs = 60000;
// Far longer than any camera's name; a folder name stays readable.
constexpr int kNameMaxChars = 48;

// Letters, digits, blanks and a few marks: nothing that separates, hides or escapes a path.
QString plainName(const QString& text)
{
    QString name;
    for (const QChar c : text) {
        if (c.isLetterOrNumber() || QStringLiteral("-_()+").contains(c))
            name += c;
        else if (c.isSpace())
            name += QLatin1Char(' ');
    }
    return name.simplified().left(kNameMaxChars).trimmed();
}
} // namespace

CameraOffload::CameraOffload(QObject* parent)
    : QObject(parent)
    , m_manager(cameranetwork::newManager(this))
    , m_batch(new DownloadBatch(m_manager, this))
    , m_loader(new MediaListLoader(this))
{
    connect(m_batch, &DownloadBatch::fileStarted, this,
            [this](int number, int total, const QString& name) {
                emit running(tr("%1 · Downloading %2 of %3: %4")
                                 .arg(cameraText(), QString::number(number), QString::number(total), name));
            });
    connect(m_batch, &DownloadBatch::progress, this, &CameraOffload::progress);
    connect(m_batch, &DownloadBatch::transferred, this, &CameraOffload::transferred);
    connect(m_batch, &DownloadBatch::finished, this, &CameraOffload::batchFinished);
    connect(m_loader, &MediaListLoader::loaded, this, &CameraOffload::cardLoaded);
}

CameraOffload::~CameraOffload()
{
    if (m_listReply) {
        m_listReply->disconnect(this);
        m_listReply->abort();
    }
    // Before the manager its reply belongs to; it drops the file in transfer, .part included,
    // and tells nobody.
    m_batch->disconnect(this);
    delete m_batch;
}

QString CameraOffload::folderName(const QString& modelName, int model, const QString& serial,
                                  const CameraAddress& address)
{
    QString name = plainName(modelName);
    if (name.isEmpty())
        name = model > 0 ? QStringLiteral("HERO%1").arg(model) : QStringLiteral("GoPro");
    QString id = plainName(serial).remove(QLatin1Char(' ')).right(4);
    // Without a serial, the address keeps one camera's files together (on a cable it comes
    // from the serial's digits) and apart from the others'.
    if (id.isEmpty()) {
        static const QRegularExpression separators(QStringLiteral("[.:]"));
        id = plainName(address.host().toString().replace(separators, QStringLiteral("-")));
    }
    return id.isEmpty() ? name : name + QLatin1Char(' ') + id;
}

void CameraOffload::start(const QString& folder, const QList<Source>& cameras)
{
    if (isRunning())
        return;
    m_folder = folder;
    m_cameras = cameras;
    m_lines.clear();
    m_saved = 0;
    m_away.clear();
    m_index = -1;
    m_stopping = false;
    m_stage = Stage::Listing;
    next();
}

void CameraOffload::stop()
{
    if (!isRunning())
        return;
    m_stopping = true;
    if (m_listReply) {
        m_listReply->disconnect(this);
        m_listReply->abort();
        std::exchange(m_listReply, nullptr)->deleteLater();
    }
    // The batch tells its own line; otherwise the camera's card was still being read.
    if (m_stage == Stage::Downloading && m_batch->isRunning())
        m_batch->stop();
    else
        endCamera(tr("stopped before anything was downloaded."));
    while (++m_index < m_cameras.size())
        endCamera(tr("not reached, stopped before its turn."));
    finish(tr("Stopped downloading from all cameras to %1.").arg(QDir::toNativeSeparators(m_folder)));
}

void CameraOffload::cameraLeft(quint64 camera)
{
    if (!isRunning() || m_index >= m_cameras.size())
        return;
    if (m_cameras.at(m_index).camera != camera) {
        // Asked at its turn it would not answer, or (behind a route that leads nowhere) only
        // after a long wait.
        for (qsizetype i = m_index + 1; i < m_cameras.size(); ++i) {
            if (m_cameras.at(i).camera == camera && !m_away.contains(camera))
                m_away.append(camera);
        }
        return;
    }
    qDebug() << "offload: camera at" << m_cameras.at(m_index).address.host().toString() << "went away";
    m_gone = true;
    if (m_listReply)
        m_listReply->abort(); // listRead() tells
    else if (m_stage == Stage::Downloading && m_batch->isRunning())
        m_batch->stop(); // batchFinished() tells
    // While its card is read, cardLoaded() tells.
}

void CameraOffload::cameraBack(quint64 camera)
{
    m_away.removeAll(camera);
}

void CameraOffload::next()
{
    if (++m_index >= m_cameras.size()) {
        finish(tr("Downloaded from all cameras to %1.").arg(QDir::toNativeSeparators(m_folder)));
        return;
    }
    if (m_away.contains(m_cameras.at(m_index).camera)) {
        endCamera(tr("went away before its turn."));
        return;
    }
    m_gone = false;
    m_stage = Stage::Listing;
    emit running(tr("%1 · Reading its card").arg(cameraText()));
    m_olderListAsked = false;
    const Source& camera = m_cameras.at(m_index);
    askList(CameraRequests::url(camera.address, camera.model, CameraRequests::Action::MediaList));
}

void CameraOffload::askList(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(kCardStallMs);
    request.setRawHeader("Accept-Encoding", "identity");
    m_listReply = managerOf(m_cameras.at(m_index))->get(request);
    ReplyLimit::apply(m_listReply, kCardMaxBytes, kCardDeadlineMs);
    connect(m_listReply, &QNetworkReply::finished, this, &CameraOffload::listRead);
}

void CameraOffload::listRead()
{
    QNetworkReply* reply = std::exchange(m_listReply, nullptr);
    reply->deleteLater();
    if (m_gone) {
        endCamera(tr("went away before its card was read."));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        // As the window does: a HERO9 to HERO11 whose documented list answers 404 is asked the
        // older one once.
        const Source& camera = m_cameras.at(m_index);
        const QUrl older = CameraRequests::olderMediaList(camera.address, camera.model);
        if (status == 404 && !m_olderListAsked && !older.isEmpty()) {
            m_olderListAsked = true;
            qInfo().noquote() << "media list:" << reply->url().path()
                              << "answered 404; asking the older list" << older.path() << "once";
            askList(older);
            return;
        }
        QString why = ReplyLimit::reason(reply);
        if (why.isEmpty())
            why = status != 0 ? tr("HTTP %1").arg(status) : reply->errorString();
        endCamera(tr("its card could not be read (%1).").arg(why));
        return;
    }
    m_stage = Stage::Reading;
    m_loader->load(reply->readAll());
}

void CameraOffload::cardLoaded(const MediaList& card)
{
    // A long list comes first as its newest files alone.
    if (m_stage != Stage::Reading || !card.isComplete())
        return;
    if (m_gone) {
        endCamera(tr("went away before its card was read."));
        return;
    }
    if (!card.isValid()) {
        endCamera(tr("its answer to the media list request is not a media list."));
        return;
    }
    // A burst or lapse is listed as its first picture; every member is fetched.
    QStringList listed;
    for (const MediaList::Entry& entry : card.newestFirst())
        listed << entry.path;
    const QList<DownloadBatch::File> files = DownloadBatch::filesOf(card, listed);
    if (files.isEmpty()) {
        endCamera(tr("no files on its card."));
        return;
    }
    const Source& camera = m_cameras.at(m_index);
    const QString folder = m_folder + QLatin1Char('/') + camera.folderName;
    if (!QDir().mkpath(folder)) {
        endCamera(tr("cannot make the folder %1.").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    m_stage = Stage::Downloading;
    m_batch->setCamera(camera.address);
    m_batch->setManager(managerOf(camera));
    m_batch->setTurbo(m_turbo, camera.camera, camera.model);
    m_batch->start(folder, camera.serial, files);
}

void CameraOffload::batchFinished()
{
    const DownloadBatch::Tally tally = m_batch->tally();
    m_saved += tally.saved;
    QString outcome = tr("%1 of %2 files saved").arg(tally.saved).arg(tally.total);
    if (tally.skipped > 0)
        outcome += tr(", %1 already there").arg(tally.skipped);
    outcome += QLatin1Char('.');
    if (!tally.renamed.isEmpty())
        outcome += QLatin1Char(' ')
            + tr("Saved under new names: %1.").arg(tally.renamed.join(QStringLiteral(", ")));
    if (!tally.failures.isEmpty())
        outcome += QLatin1Char(' ') + tr("Failed: %1.").arg(tally.failures.join(QStringLiteral("; ")));
    if (m_gone)
        outcome = tr("went away during the download: %1").arg(outcome);
    else if (m_stopping)
        outcome = tr("stopped: %1").arg(outcome);
    endCamera(outcome);
}

void CameraOffload::endCamera(const QString& outcome)
{
    m_lines << m_cameras.at(m_index).folderName + QStringLiteral(": ") + outcome;
    if (!m_stopping)
        next();
}

void CameraOffload::finish(const QString& heading)
{
    m_stage = Stage::Idle;
    const QString summary = heading + QLatin1Char('\n') + m_lines.join(QLatin1Char('\n'));
    qDebug().noquote() << summary;
    emit finished(summary);
}

QString CameraOffload::cameraText() const
{
    return tr("Camera %1 of %2 (%3)")
        .arg(QString::number(m_index + 1), QString::number(m_cameras.size()), m_cameras.at(m_index).folderName);
}

QNetworkAccessManager* CameraOffload::managerOf(const Source& camera) const
{
    return camera.network ? camera.network.data() : m_manager;
}
