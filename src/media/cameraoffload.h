#pragma once

#include "cameraaddress.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QNetworkAccessManager;
class QNetworkReply;
QT_END_NAMESPACE

class DownloadBatch;
class MediaList;
class MediaListLoader;
class TurboTransfer;

// Downloads the cards of several cameras into one folder, each into a folder of its own:
// camera after camera, one file at a time, each card listed afresh. Files go as a download
// takes them (verified, nothing replaced, copies already there skipped); one camera failing
// or going away ends only its own part.
class CameraOffload : public QObject
{
    Q_OBJECT

public:
    struct Source {
        // The camera's id: what its leaving and coming back are told by (an address may be
        // another camera's by then).
        quint64 camera = 0;
        CameraAddress address;
        QString folderName; // from folderName(): a plain name inside the chosen folder
        QString serial; // empty while the camera has not told it: nothing is continued then
        // The camera's own manager, which outlives the offload (see DownloadBatch::setManager);
        // the offload's own where none is given.
        QPointer<QNetworkAccessManager> network;
        int model = 0; // which requests read its card (see CameraRequests)
    };

    explicit CameraOffload(QObject* parent = nullptr);
    ~CameraOffload() override;

    // "HERO12 Black 5504": the camera's name (or "HERO<N>") and the end of its serial, or its
    // address where it has told no serial. Whatever the camera sends, the result names a
    // folder inside the chosen one: no separators, no leading dot.
    static QString folderName(const QString& modelName, int model, const QString& serial,
                              const CameraAddress& address);

    // Each camera sends faster, through turbo, while its files are fetched (see TurboTransfer).
    void setTurbo(TurboTransfer* turbo) { m_turbo = turbo; }

    // Ignored while an offload runs. May finish at once.
    void start(const QString& folder, const QList<Source>& cameras);
    // Ends the offload at once: the file in transfer is dropped, .part included, and
    // finished() tells what was done, before stop() returns. Nothing while idle.
    void stop();
    bool isRunning() const { return m_stage != Stage::Idle; }
    // Files the last offload saved, of every camera.
    int saved() const { return m_saved; }
    // The camera stopped answering, or left: its part ends now and says so; the next camera
    // follows. One waiting its turn is passed over when its turn comes, unless it is back by
    // then.
    void cameraLeft(quint64 camera);
    void cameraBack(quint64 camera);

signals:
    // What is going on now: "Camera 2 of 3 (HERO12 Black 5504) · Downloading 4 of 29: NAME".
    void running(const QString& text);
    // The current file's progress, scaled to fit an int.
    void progress(int value, int maximum);
    // As DownloadBatch::transferred.
    void transferred(qint64 done, qint64 total, qint64 resumed);
    // Over: a heading line ("Downloaded from all cameras to FOLDER."), then one line for each
    // camera (saved, already there, failed and why).
    void finished(const QString& summary);

private:
    enum class Stage { Idle, Listing, Reading, Downloading };

    void next();
    void askList(const QUrl& url);
    void listRead();
    void cardLoaded(const MediaList& card);
    void batchFinished();
    // The current camera's line; the next camera follows unless the offload is stopping.
    void endCamera(const QString& outcome);
    void finish(const QString& heading);
    QString cameraText() const;
    QNetworkAccessManager* managerOf(const Source& camera) const;

    QNetworkAccessManager* m_manager = nullptr;
    DownloadBatch* m_batch = nullptr;
    MediaListLoader* m_loader = nullptr;
    TurboTransfer* m_turbo = nullptr;
    QNetworkReply* m_listReply = nullptr;
    QString m_folder;
    QList<Source> m_cameras;
    QStringList m_lines; // one for each camera done
    int m_saved = 0;
    QList<quint64> m_away; // cameras waiting their turn that stopped answering
    int m_index = -1;
    Stage m_stage = Stage::Idle;
    bool m_gone = false; // the current camera stopped answering
    bool m_olderListAsked = false; // its documented list answered 404: the older one was asked
    bool m_stopping = false;
};
