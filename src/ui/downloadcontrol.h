#pragma once

#include "camera.h"
#include "downloadbatch.h"
#include "transferrate.h"

#include <QElapsedTimer>

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

    // The folder downloads go to, chosen once and remembered; empty before the first choice.
    QString folder() const { return m_folder; }
    // Asks the user for another download folder.
    void changeFolder();
    // Where to download to: the folder remembered, or one asked of the user where there is
    // none yet or it is gone or not writable. Empty when cancelled or a download runs.
    QString targetFolder();
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
    void folderChanged(const QString& folder);
    // A download began or ended, of either kind.
    void runningChanged(bool running);

private:
    void setFolder(const QString& folder);
    // A batch or offload begins: the speed is the batch's.
    void beginRate();
    void showBytes(qint64 done, qint64 total, qint64 resumed);

    QWidget* m_window = nullptr;
    CameraRoster* m_roster = nullptr;
    TransferPanel* m_panel = nullptr;
    DownloadBatch* m_batch = nullptr;
    CameraOffload* m_offload = nullptr;
    TurboTransfer* m_turbo = nullptr;
    // The camera of the running batch, and why the batch ended early ("HERO12 … is gone.").
    Camera::Id m_batchCamera = 0;
    QString m_batchEnd;
    QString m_folder;
    QString m_savingTo; // the folder of the running download
    TransferRate m_rate;
    QElapsedTimer m_clock;
    qint64 m_shownAt = -1;
};
