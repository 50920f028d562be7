#include "downloadcontrol.h"

#include "cameraoffload.h"
#include "cameraroster.h"
#include "medialist.h"
#include "prompt.h"
#include "rememberedmodels.h"
#include "transferpanel.h"
#include "turbotransfer.h"

#include <QNetworkAccessManager>
#include <QPointer>
#include <QStandardPaths>

#include <memory>

namespace {
// How long a window that closes waits for the cameras to answer the last turbo requests: a
// camera that is gone must not hold it.
constexpr int kQuitSettleMs = 2000;

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
    m_offload->setTurbo(m_turbo);
    connect(m_batch, &DownloadBatch::progress, this, &DownloadControl::progress);
    connect(m_batch, &DownloadBatch::fileStarted, this, [this](int number, int total, const QString& name) {
        m_panel->showRunning(tr("Downloading %1 of %2: %3").arg(number).arg(total).arg(name));
    });
    connect(m_batch, &DownloadBatch::finished, this, [this](const QString& summary) {
        const QString text = m_batchEnd.isEmpty() ? summary : m_batchEnd + QLatin1Char(' ') + summary;
        m_batchEnd.clear();
        m_batchCamera = 0;
        emit finished(text);
        emit runningChanged(isRunning());
    });
    connect(m_offload, &CameraOffload::running, m_panel, &TransferPanel::showRunning);
    connect(m_offload, &CameraOffload::progress, this, &DownloadControl::progress);
    connect(m_offload, &CameraOffload::finished, this, [this](const QString& summary) {
        // A line for each camera: the panel holds them all, the status bar the heading.
        m_panel->showSummary(summary);
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

QString DownloadControl::askFolder()
{
    if (isRunning()) {
        emit message(tr("A download is already running; wait until it has finished."));
        return QString();
    }
    const QString folder = Prompt::existingDirectory(
        m_window, tr("Open Directory"), QStandardPaths::standardLocations(QStandardPaths::DownloadLocation).value(0));
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
