#pragma once

#include "camera.h"
#include "downloadbatch.h"

#include <QObject>
#include <QString>

class CameraOffload;
class CameraRoster;
class TransferPanel;
class TurboTransfer;
class QWidget;

// The window's downloads, one at a time: the ticked files of one camera (a DownloadBatch), or
// the new files of every camera that answers (a CameraOffload). Both show in the transfer panel,
// whose Stop ends them. A camera that leaves ends its own part and says so. Cameras that have
// turbo transfer have it on only while their files are fetched.
class DownloadControl : public QObject
{
    Q_OBJECT

public:
    DownloadControl(CameraRoster* roster, TransferPanel* panel, QWidget* window);
    ~DownloadControl() override;

    bool isRunning() const;
    // The ticked files of a camera are on their way.
    bool batchRunning() const;

    // Where to download to, asked of the user; empty when cancelled or a download runs.
    QString askFolder();
    // A burst or lapse is listed as its first picture; every member is fetched.
    void download(const QString& folder, const Camera* camera, const QList<DownloadBatch::File>& files);
    // Every file not there yet, of each camera that answers, into a folder of its own.
    void downloadAllCameras(const QString& folder);

    // Ends whatever runs at once; finished() has told it before this returns.
    void stop();
    void stopBatch();
    // The program ends: stop(), then a moment, bounded, for the cameras to hear that turbo
    // transfer is to go off.
    void stopForQuit();

signals:
    void progress(int value, int maximum);
    // The ticked files' download is over: what was done, and why it ended early.
    void finished(const QString& summary);
    // For the status bar.
    void message(const QString& text);
    // A download began or ended, of either kind.
    void runningChanged(bool running);

private:
    QWidget* m_window = nullptr;
    CameraRoster* m_roster = nullptr;
    TransferPanel* m_panel = nullptr;
    DownloadBatch* m_batch = nullptr;
    CameraOffload* m_offload = nullptr;
    TurboTransfer* m_turbo = nullptr;
    // The camera of the running batch, and why the batch ended early ("HERO12 … is gone.").
    Camera::Id m_batchCamera = 0;
    QString m_batchEnd;
};
