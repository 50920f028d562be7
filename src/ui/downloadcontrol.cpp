#include "downloadcontrol.h"

#include "cameraoffload.h"
#include "cameraroster.h"
#include "medialist.h"
#include "preferences.h"
#include "prompt.h"
#include "rememberedmodels.h"
#include "transferpanel.h"
#include "turbotransfer.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QStandardPaths>

#include <memory>

namespace {
// How long a window that closes waits for the cameras to answer the last turbo requests: a
// camera that is gone must not hold it.
constexpr int kQuitSettleMs = 2000;
const char* const kFolderKey = "downloads/folder";
// The bytes, speed and time left are told a few times a second, not for every piece.
constexpr qint64 kDetailMs = 250;

bool writableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return !folder.isEmpty() && info.isDir() && info.isWritable();
}

TurboTransfer::Target turboTarget(const Camera* camera)
{
    return {camera->id(), camera->address(), camera->network(), camera->model()};
}
} // namespace

DownloadControl::DownloadControl(CameraRoster* roster, TransferPanel* panel, QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_roster(roster)
    , m_panel(panel)
    , m_batch(new DownloadBatch(nullptr, this))
    , m_offload(new CameraOffload(this))
    , m_turbo(new TurboTransfer(this))
{
    m_folder = preferences().value(QLatin1String(kFolderKey)).toString();
    m_offload->setTurbo(m_turbo);
    connect(m_batch, &DownloadBatch::progress, this, &DownloadControl::progress);
    connect(m_batch, &DownloadBatch::transferred, this, &DownloadControl::showBytes);
    connect(m_batch, &DownloadBatch::fileStarted, this, [this](int number, int total, const QString& name) {
        m_rate.nextFile();
        m_panel->showRunning(tr("Downloading %1 of %2: %3").arg(number).arg(total).arg(name));
    });
    connect(m_batch, &DownloadBatch::finished, this, [this](const QString& summary) {
        const QString text = m_batchEnd.isEmpty() ? summary : m_batchEnd + QLatin1Char(' ') + summary;
        m_batchEnd.clear();
        m_batchCamera = 0;
        // The panel keeps it, failures included, until the next batch.
        m_panel->showSummary(text, m_batch->tally().saved > 0 ? m_savingTo : QString());
        emit finished(text);
        emit runningChanged(isRunning());
    });
    connect(m_offload, &CameraOffload::running, this, [this](const QString& text) {
        m_rate.nextFile();
        m_panel->showRunning(text);
    });
    connect(m_offload, &CameraOffload::progress, this, &DownloadControl::progress);
    connect(m_offload, &CameraOffload::transferred, this, &DownloadControl::showBytes);
    connect(m_offload, &CameraOffload::finished, this, [this](const QString& summary) {
        // A line for each camera: the panel holds them all, the status bar the heading.
        m_panel->showSummary(summary, m_offload->saved() > 0 ? m_savingTo : QString());
        emit message(summary.section(QLatin1Char('\n'), 0, 0));
        emit runningChanged(isRunning());
    });
    connect(m_panel, &TransferPanel::stopRequested, this, &DownloadControl::stop);

    // A camera's part of a download from all cameras ends when it stops answering, and one
    // waiting its turn that answers again is downloaded after all.
    connect(m_roster, &CameraRoster::answering, this, [this](Camera* camera, bool answers) {
        if (answers) {
            m_offload->cameraBack(camera->id());
        } else {
            m_offload->cameraLeft(camera->id());
            m_turbo->forget(camera->id());
        }
    });
    // A camera left in turbo transfer (by a download that crashed, or by another program)
    // shows "Transferring Media" and takes nothing else; one a download holds is left alone.
    connect(m_roster, &CameraRoster::cameraChanged, this, [this](Camera* camera) {
        if (camera->isOnline() && camera->status().turbo)
            m_turbo->seen(turboTarget(camera), *camera->status().turbo);
    });
    connect(m_roster, &CameraRoster::cameraLeft, this, [this](Camera::Id id) {
        m_offload->cameraLeft(id);
        m_turbo->forget(id);
        // Its batch ends with the switch that follows; the summary says why.
        if (id == m_batchCamera && m_batch->isRunning()) {
            if (const Camera* camera = m_roster->camera(id))
                m_batchEnd = tr("%1 is gone.").arg(camera->displayName());
        }
    });
}

// The transfers end before the cameras' managers they fetch through go with the roster.
DownloadControl::~DownloadControl()
{
    delete m_offload;
    delete m_batch;
}

bool DownloadControl::isRunning() const
{
    return m_batch->isRunning() || m_offload->isRunning();
}

bool DownloadControl::batchRunning() const
{
    return m_batch->isRunning();
}

void DownloadControl::setFolder(const QString& folder)
{
    if (folder.isEmpty() || folder == m_folder)
        return;
    m_folder = folder;
    preferences().setValue(QLatin1String(kFolderKey), folder);
    emit folderChanged(folder);
}

void DownloadControl::changeFolder()
{
    const QString start = QFileInfo(m_folder).isDir()
        ? m_folder
        : QStandardPaths::standardLocations(QStandardPaths::DownloadLocation).value(0);
    setFolder(Prompt::existingDirectory(m_window, tr("Download to"), start));
}

QString DownloadControl::targetFolder()
{
    if (isRunning()) {
        emit message(tr("A download is already running; wait until it has finished."));
        return QString();
    }
    if (writableFolder(m_folder))
        return m_folder;
    // The first time, or a disk unplugged since: asked, never guessed. Camera videos run to
    // gigabytes; the place for them is the user's to choose, once.
    if (!m_folder.isEmpty())
        emit message(tr("%1 is gone or not writable: choose where to download to.").arg(QDir::toNativeSeparators(m_folder)));
    const QString folder = Prompt::existingDirectory(
        m_window, tr("Open Directory"), QStandardPaths::standardLocations(QStandardPaths::DownloadLocation).value(0));
    setFolder(folder);
    // The question was open for a while: the camera may have come and gone, a batch not.
    return isRunning() ? QString() : folder;
}

void DownloadControl::download(const QString& folder, const Camera* camera, const QList<DownloadBatch::File>& files)
{
    m_batchCamera = camera->id();
    m_batchEnd.clear();
    m_batch->setCamera(camera->address());
    m_batch->setManager(camera->network());
    m_batch->setTurbo(m_turbo, camera->id(), camera->model());
    m_savingTo = folder;
    beginRate();
    m_batch->start(folder, camera->serial(), files);
    emit runningChanged(isRunning());
}

void DownloadControl::downloadAllCameras(const QString& folder)
{
    // The cameras that answer now.
    QList<QPointer<Camera>> answering;
    for (Camera* camera : m_roster->cameras()) {
        if (camera->isOnline())
            answering << camera;
    }
    if (answering.isEmpty()) {
        emit message(tr("No camera answers: nothing to download."));
        return;
    }
    const auto begin = [this, folder, answering] {
        if (isRunning())
            return;
        QList<CameraOffload::Source> cameras;
        for (const Camera* camera : answering) {
            // Gone meanwhile: nothing of it to download.
            if (!camera || !m_roster->isListed(camera->id()))
                continue;
            // The name it told once, when it does not tell it now: its folder stays the same.
            QString name = camera->modelName();
            if (name.isEmpty())
                name = RememberedModels().name(camera->serial());
            cameras.append({camera->id(), camera->address(),
                            CameraOffload::folderName(name, camera->model(), camera->serial(), camera->address()),
                            camera->serial(), camera->network(), camera->model()});
        }
        m_savingTo = folder;
        beginRate();
        m_offload->start(folder, cameras);
        emit runningChanged(isRunning());
    };
    // A camera that has not told its serial yet is asked first: its files go to the same
    // folder every time.
    auto unasked = std::make_shared<int>(0);
    for (Camera* camera : std::as_const(answering)) {
        if (!camera->serial().isEmpty())
            continue;
        ++*unasked;
        connect(
            camera, &Camera::identified, this,
            [unasked, begin] {
                if (--*unasked == 0)
                    begin();
            },
            Qt::SingleShotConnection);
        camera->identify();
    }
    if (*unasked == 0)
        begin();
}

void DownloadControl::beginRate()
{
    m_rate.restart();
    m_clock.start();
    m_shownAt = -1;
    m_panel->setDetail(QString());
}

void DownloadControl::showBytes(qint64 done, qint64 total, qint64 resumed)
{
    const qint64 now = m_clock.elapsed();
    m_rate.add(now, done, resumed);
    if (m_shownAt >= 0 && now - m_shownAt < kDetailMs && done != total)
        return;
    m_shownAt = now;
    const qint64 left = total > 0 ? m_rate.secondsLeft(total - done) : -1;
    m_panel->setDetail(TransferRate::text(done, total, m_rate.bytesPerSecond(), left));
}

void DownloadControl::stop()
{
    m_batch->stop();
    m_offload->stop();
}

void DownloadControl::stopBatch()
{
    m_batch->stop();
}

void DownloadControl::stopForQuit()
{
    stop();
    m_turbo->settle(kQuitSettleMs);
}
