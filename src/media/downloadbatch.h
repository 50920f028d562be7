#pragma once

#include "cameraaddress.h"
#include "partfile.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QNetworkAccessManager;
class QNetworkReply;
QT_END_NAMESPACE

class MediaList;
class TurboTransfer;

// Fetches camera files one after another into a folder: each written under a temporary name,
// verified, and given its real name without replacing anything already there, and the time it
// was shot (MediaList::shotAt) as its modification time. A temporary
// file that a crash left is continued where the camera can send the rest and its record
// shows it is the beginning of the same file (see PartRecord).
class DownloadBatch : public QObject
{
    Q_OBJECT

public:
    // With no manager, the batch makes its own camera manager.
    explicit DownloadBatch(QNetworkAccessManager* manager = nullptr, QObject* parent = nullptr);
    // Drops the file in transfer, .part included.
    ~DownloadBatch() override;

    // One camera file to fetch, as the camera lists it.
    struct File {
        QString path; // media path, "DIR/NAME"
        qint64 size = -1; // the listed size; -1 where the list gives none (a burst's members)
        qint64 mod = -1; // the listed time (a group member: its group's); -1 where not listed
    };
    // The files behind listed paths of card: a burst or lapse stands for its members, each
    // without a size of its own, at the group's time (the list gives none of their own). A path the card does not list is fetched without a size.
    static QList<File> filesOf(const MediaList& card, const QStringList& paths);

    // Starts fetching files into folder from the camera whose serial is cameraSerial (empty
    // when it has not told it: nothing is continued then, nor kept for continuing). A file
    // without a listed size is saved only when the camera's answer announces its length, and
    // skipped when a file of that name and length is there already. Ignored while a batch
    // runs. May finish at once.
    void start(const QString& folder, const QString& cameraSerial, const QList<File>& files);
    // Ends a running batch at once: the file in transfer is dropped, .part included, and
    // finished() tells what was saved before, before stop() returns. Nothing while idle.
    void stop();
    bool isRunning() const { return !m_queue.isEmpty(); }

    // What the last batch did, for a caller that words its own summary.
    struct Tally {
        int total = 0;
        int saved = 0;
        int skipped = 0; // already in the folder
        QStringList renamed; // saved beside a file of the same name
        QStringList failures; // "NAME (why)"
    };
    Tally tally() const { return {m_total, m_saved, m_skipped, m_renamed, m_failures}; }
    // The camera the next batch fetches from.
    void setCamera(const CameraAddress& camera) { m_camera = camera; }
    // The manager the next batch fetches through: the camera's own, so that what concerns
    // another camera (its trust changed, its connections dropped) never cuts the transfer.
    // It must outlive the batch's transfers.
    void setManager(QNetworkAccessManager* manager) { m_manager = manager; }
    // The next batch has the camera (its id and model) send faster through turbo: on before
    // the first file it fetches, off once the batch is over. nullptr: left as it is.
    void setTurbo(TurboTransfer* turbo, quint64 camera, int model);

signals:
    // The number-th file of total is on its way.
    void fileStarted(int number, int total, const QString& name);
    // The current file's progress, scaled to fit an int.
    void progress(int value, int maximum);
    // The current file's bytes: done of total (-1 while unknown), the first resumed of them
    // kept from an interrupted download rather than received now.
    void transferred(qint64 done, qint64 total, qint64 resumed);
    // The batch is over; summary says what was saved, skipped and why files failed.
    void finished(const QString& summary);

private:
    void startNext();
    // The camera is asked for turbo transfer before the first file it sends.
    bool waitForTurbo();
    void endTurbo();
    bool openPart(const QString& wanted, QString* error);
    bool takeAnswer();
    void readReady();
    void transferProgress(qint64 received, qint64 total);
    void endFile();
    void settleFile();
    static void keepShotTime(const QString& file, qint64 mod);
    QString summary() const;

    QNetworkAccessManager* m_manager = nullptr;
    CameraAddress m_camera = CameraAddress::accessPoint();
    QNetworkReply* m_reply = nullptr;
    QByteArray m_piece; // read from the reply, written to the file
    QList<File> m_queue; // the file in transfer first
    QString m_folder;
    QString m_serial;
    PartFile m_part;
    QString m_target; // the local name of the file in transfer
    qint64 m_kept = 0; // bytes of an interrupted download that the camera is asked to continue
    qint64 m_written = 0;
    enum class Answer { Unseen, Write, Refused };
    Answer m_answer = Answer::Unseen;
    bool m_alreadySaved = false; // the answer's length matches a copy in the folder
    qint64 m_rangeTotal = -1; // the file's size in a Content-Range answer
    QString m_refusal; // why an answer was not written
    QString m_writeError;
    bool m_stopped = false;
    int m_total = 0;
    int m_saved = 0;
    int m_skipped = 0; // already in the folder
    QStringList m_failures;
    QStringList m_renamed; // saved beside a file of the same name
    QSet<QString> m_batchWritten; // local files this batch made
    TurboTransfer* m_turbo = nullptr;
    quint64 m_turboCamera = 0;
    int m_turboModel = 0;
    enum class Turbo { NotAsked, Asking, Asked };
    Turbo m_turboStage = Turbo::NotAsked;
    // Tells the answer to this batch's request from one to a batch stopped before it came.
    int m_turboTicket = 0;
};
