// The download batch against the camera simulator: what lands in the folder, and what the
// summary tells the user.
#include "camsim.h"
#include "downloadbatch.h"
#include "downloadedfiles.h"
#include "medialist.h"
#include "partrecord.h"
#include "testsupport.h"
#include "transferrate.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>
#include <sys/file.h>
#include <unistd.h>

// file name -> bytes, "=PATH" for the camera's file, "=PATH:N" for its first N bytes. Before a
// batch also: "->TARGET" a symbolic link, "=>NAME" a hard link, "!BYTES" a file that another
// download holds locked.
using Folder = QMap<QString, QByteArray>;

namespace {
const QByteArray kCard = R"({"id":"1","media":[
 {"d":"100GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"1","s":"600000"},
                       {"n":"GOPR0002.JPG","mod":"2","s":"600000"},
                       {"n":"GOPR0003.JPG","mod":"3"},
                       {"n":"GOPR0004.JPG","mod":"5","s":"2000000"}]},
 {"d":"101GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"4","s":"600001"}]},
 {"d":"102GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"6","s":"600000"}]}]})";
const QString k1 = "100GOPRO/GOPR0001.JPG", k2 = "100GOPRO/GOPR0002.JPG",
              k3 = "100GOPRO/GOPR0003.JPG", k4 = "100GOPRO/GOPR0004.JPG",
              k101 = "101GOPRO/GOPR0001.JPG", k102 = "102GOPRO/GOPR0001.JPG";
QByteArray camera(const QString& path, int bytes = -1)
{
    return "=" + path.toUtf8() + (bytes < 0 ? "" : ":" + QByteArray::number(bytes));
}
// Past what 32 bits count, by a few bytes more than a wrap to 0 would hide.
constexpr qint64 kBeyondFourGiB = (qint64(1) << 32) + 123457;
// The simulated camera's serial, as it tells it.
const QString kSerial = "C3441324784461";
// Bytes of a picture of its own for each seed: files of one name that are not the same file.
QByteArray picture(int size, char seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + (i >> 9)) ^ (seed * 37));
    return bytes;
}
} // namespace

class TestDownloadBatch : public QObject
{
    Q_OBJECT

private:
    CamSim m_sim;
    QNetworkAccessManager m_nam;
    QTemporaryDir m_media; // the simulator's: real files put there are served as they are

    QByteArray cameraBytes(const QString& mediaPath)
    {
        QNetworkReply* reply = m_nam.get(QNetworkRequest(QUrl("http://10.5.5.9:8080/videos/DCIM/" + mediaPath)));
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(20000);
        reply->deleteLater();
        return reply->readAll();
    }
    QByteArray resolve(const QByteArray& bytes)
    {
        if (!bytes.startsWith('='))
            return bytes;
        const QList<QByteArray> parts = bytes.mid(1).split(':');
        const QByteArray whole = cameraBytes(QString::fromUtf8(parts.first()));
        return parts.size() > 1 ? whole.left(parts.at(1).toInt()) : whole;
    }
    static QList<DownloadBatch::File> files(const QStringList& paths)
    {
        return DownloadBatch::filesOf(MediaList::parse(kCard), paths);
    }
    // The reason a download's failure gives when the camera redirects it.
    QString redirected()
    {
        return QString("redirected to %1 (HTTP 302), not followed").arg(QUrl(m_sim.elsewhereOrigin()).authority());
    }
    // A card of one file with exactly these bytes, listed with this size ("s" left out for
    // -1) and time.
    void putOnCard(const QString& path, const QByteArray& bytes, qint64 listedSize, qint64 mod)
    {
        const QString file = m_media.filePath("DCIM/" + path);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QSaveFile save(file);
        QVERIFY(save.open(QIODevice::WriteOnly));
        save.write(bytes);
        QVERIFY(save.commit());
        listOnCard(path, listedSize, mod);
    }
    // The card lists only path, with this size and time.
    void listOnCard(const QString& path, qint64 listedSize, qint64 mod)
    {
        QJsonObject entry{{"n", path.section('/', 1)}, {"mod", QString::number(mod)}};
        if (listedSize >= 0)
            entry.insert("s", QString::number(listedSize));
        const QJsonObject dir{{"d", path.section('/', 0, 0)}, {"fs", QJsonArray{entry}}};
        QVERIFY(m_sim.setMediaJson(QJsonDocument(QJsonObject{{"media", QJsonArray{dir}}}).toJson()));
    }
    // "RANGE STATUS" of every download asked for in part.
    QString rangesAsked()
    {
        QStringList partial;
        for (const QJsonValue& request : m_sim.requests()) {
            const QJsonObject entry = request.toObject();
            if (!entry.value("range").toString().isEmpty())
                partial << entry.value("range").toString() + ' ' + QString::number(entry.value("status").toInt());
        }
        partial.removeDuplicates();
        return partial.join(", ");
    }
    // Every file under dir, hidden ones (a left-over .part) included.
    static Folder contents(const QString& dir)
    {
        Folder found;
        QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            found.insert(QDir(dir).relativeFilePath(file.fileName()),
                         file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable");
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_media.isValid());
        QVERIFY(m_sim.start({"--media-count", "0", "--media-dir", m_media.path()}));
        QVERIFY(m_sim.setMediaJson(kCard));
    }

    void init()
    {
        QVERIFY(m_sim.setMediaJson(kCard));
    }

    void batch_data()
    {
        QTest::addColumn<Folder>("before");
        QTest::addColumn<QStringList>("paths");
        // On the second path; "read-only" or "full" for the folder.
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("summary"); // %1: the folder
        QTest::addColumn<int>("asked"); // files the camera is asked for
        QTest::addColumn<Folder>("after"); // paths under the test's folder; "in/" is the batch's
        QTest::addColumn<QString>("ranges"); // "RANGE STATUS" of each download asked in part

        QTest::newRow("byte-exact, no size listed") << Folder{} << QStringList{k1, k3} << ""
            << "Downloaded 2 of 2 files to %1." << 2
            << Folder{{"in/GOPR0001.JPG", camera(k1)}, {"in/GOPR0003.JPG", camera(k3)}} << "";
        // Numbering starts again after a format, and two folders hold the same names: nothing
        // in the folder is replaced, and a copy of the listed size is not fetched again.
        const Folder mixed{{"in/GOPR0001.JPG", "an older picture of the same name"},
                           {"in/GOPR0002.JPG", camera(k2)}};
        Folder numbered = mixed;
        numbered.insert("in/GOPR0001 (2).JPG", camera(k1));
        numbered.insert("in/GOPR0001 (3).JPG", camera(k101));
        QTest::newRow("same names numbered, saved copy skipped") << mixed << QStringList{k1, k101, k2} << ""
            << "Downloaded 2 of 3 files to %1. 1 already there, skipped. Saved under new names: "
               "GOPR0001 (2).JPG, GOPR0001 (3).JPG." << 2 << numbered << "";
        QTest::newRow("the same batch again") << numbered << QStringList{k1, k101, k2} << ""
            << "Downloaded 0 of 3 files to %1. 3 already there, skipped." << 0 << numbered << "";
        // A burst's members have no listed size: the answer's length tells a copy from another
        // file of the same name.
        QTest::newRow("no size listed, copy there") << Folder{{"in/GOPR0003.JPG", camera(k3)}} << QStringList{k3}
            << "" << "Downloaded 0 of 1 files to %1. 1 already there, skipped." << 1
            << Folder{{"in/GOPR0003.JPG", camera(k3)}} << "";
        QTest::newRow("no size listed, another file there") << Folder{{"in/GOPR0003.JPG", camera(k3, 1000)}}
            << QStringList{k3} << "" << "Downloaded 1 of 1 files to %1. Saved under new names: GOPR0003 (2).JPG."
            << 1 << Folder{{"in/GOPR0003.JPG", camera(k3, 1000)}, {"in/GOPR0003 (2).JPG", camera(k3)}} << "";
        QTest::newRow("twins of one size") << Folder{} << QStringList{k1, k102} << ""
            << "Downloaded 2 of 2 files to %1. Saved under new names: GOPR0001 (2).JPG." << 2
            << Folder{{"in/GOPR0001.JPG", camera(k1)}, {"in/GOPR0001 (2).JPG", camera(k102)}} << "";
        // A failed file never gets the real name (nor leaves its .part); the batch goes on.
        const Folder twoOfThree{{"in/GOPR0003.JPG", camera(k3)}, {"in/GOPR0001.JPG", camera(k1)}};
        // A summary ending in "(" is a prefix: a cut connection reads as an error or as a short
        // file, as the close and the last bytes race.
        const QString failed = "Downloaded 2 of 3 files to %1. Failed: GOPR0002.JPG (";
        const struct { const char* fault; QString reason; } failures[] = {
            {"truncate", ""}, {"short", "300000 bytes, the camera lists 600000)"}, {"404", "HTTP 404)"},
            {"500", "HTTP 500)"}, {"stall", "no data for 30 s)"}, {"redirect", redirected() + ')'}};
        for (const auto& f : failures)
            QTest::newRow(f.fault) << Folder{} << QStringList{k3, k2, k1} << f.fault
                                   << failed + f.reason << 3 << twoOfThree << "";
        // Without a listed size only the announced length tells a whole file from a cut one.
        const Folder oneAndTwo{{"in/GOPR0001.JPG", camera(k1)}, {"in/GOPR0002.JPG", camera(k2)}};
        QTest::newRow("truncate, no size listed") << Folder{} << QStringList{k1, k3, k2} << "truncate"
            << "Downloaded 2 of 3 files to %1. Failed: GOPR0003.JPG (" << 3 << oneAndTwo << "";
        QTest::newRow("no size at all") << Folder{} << QStringList{k1, k3, k2} << "chunked"
            << "Downloaded 2 of 3 files to %1. Failed: GOPR0003.JPG (no size given, it could be cut short)"
            << 3 << oneAndTwo << "";
        QTest::newRow("redirect, no size listed") << Folder{} << QStringList{k1, k3, k2} << "redirect"
            << "Downloaded 2 of 3 files to %1. Failed: GOPR0003.JPG (" + redirected() + ")" << 3 << oneAndTwo << "";
        QTest::newRow("listed size, no length") << Folder{} << QStringList{k3, k1} << "chunked"
            << "Downloaded 2 of 2 files to %1." << 2
            << Folder{{"in/GOPR0001.JPG", camera(k1)}, {"in/GOPR0003.JPG", camera(k3)}} << "";
        QTest::newRow("unsafe names") << Folder{}
            << QStringList{"100GOPRO/../../escaped.JPG", "100GOPRO/..", "100GOPRO/..\\win.JPG", k1} << ""
            << "Downloaded 1 of 4 files to %1. Failed: ../../escaped.JPG (unsafe file name, skipped); "
               ".. (unsafe file name, skipped); ..\\win.JPG (unsafe file name, skipped)" << 1
            << Folder{{"in/GOPR0001.JPG", camera(k1)}} << "";
        const QString readOnly = "Read-only file system";
        QTest::newRow("read-only folder") << Folder{} << QStringList{k1, k2} << "read-only"
            << QString("Downloaded 0 of 2 files to %1. Failed: GOPR0001.JPG (cannot write: %2); "
                       "GOPR0002.JPG (cannot write: %2)").arg("%1", readOnly) << 0 << Folder{} << "";
        // A disk of 1 MiB: the 2 MB file does not fit, and leaves room for the next one.
        QTest::newRow("disk full") << Folder{} << QStringList{k4, k1} << "full"
            << "Downloaded 1 of 2 files to %1. Failed: GOPR0004.JPG (No space left on device)" << 2
            << Folder{{"in/GOPR0001.JPG", camera(k1)}} << "";

        // What an older program left, with no record of what it holds, is written anew. Never
        // followed out of the folder, never taken from a download that is still running.
        // (What a crash of this program leaves: leftoverContinuedOnlyForTheSameFile.)
        const QString part = "in/GOPR0001.JPG.part";
        const Folder saved{{"in/GOPR0001.JPG", camera(k1)}};
        const QString one = "Downloaded 1 of 1 files to %1.";
        QTest::newRow("leftover without a record") << Folder{{part, camera(k1, 250000)}} << QStringList{k1} << ""
            << one << 1 << saved << "";
        QTest::newRow("leftover of full length") << Folder{{part, QByteArray(600000, 'x')}}
            << QStringList{k1} << "" << one << 1 << saved << "";
        QTest::newRow("leftover, no size listed") << Folder{{"in/GOPR0003.JPG.part", camera(k3, 1000)}}
            << QStringList{k3} << "" << one << 1 << Folder{{"in/GOPR0003.JPG", camera(k3)}} << "";
        Folder outside = saved;
        outside.insert("elsewhere", "keep");
        QTest::newRow("planted link") << Folder{{"elsewhere", "keep"}, {part, "->../elsewhere"}}
            << QStringList{k1} << "" << one << 1 << outside << "";
        QTest::newRow("planted hard link") << Folder{{"elsewhere", "keep"}, {part, "=>elsewhere"}}
            << QStringList{k1} << "" << one << 1 << outside << "";
        QTest::newRow("part of a running download") << Folder{{part, "!" + camera(k1, 1000)}}
            << QStringList{k1} << "" << one + " Saved under new names: GOPR0001 (2).JPG." << 1
            << Folder{{part, camera(k1, 1000)}, {"in/GOPR0001 (2).JPG", camera(k1)}} << "";
    }
    void batch()
    {
        QFETCH(Folder, before);
        QFETCH(QStringList, paths);
        QFETCH(QString, fault);
        QFETCH(QString, summary);
        QFETCH(int, asked);
        QFETCH(Folder, after);
        QFETCH(QString, ranges);
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("in");
        QVERIFY(QDir().mkpath(folder));
        QString why;
        if (fault == "full")
            why = testsupport::mountTmpfs(folder, "1m");
        std::vector<std::unique_ptr<QFile>> held; // open, so they keep their locks
        for (auto it = before.begin(); it != before.end(); ++it) {
            const QByteArray name = QFile::encodeName(tmp.filePath(it.key())), value = it.value();
            if (value.startsWith("->") || value.startsWith("=>")) {
                const QByteArray target = value.mid(2);
                QVERIFY(value.startsWith('-') ? ::symlink(target, name) == 0
                                              : ::link(QFile::encodeName(tmp.filePath(target)), name) == 0);
                continue;
            }
            held.push_back(std::make_unique<QFile>(tmp.filePath(it.key())));
            QVERIFY(held.back()->open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            QVERIFY(held.back()->write(resolve(value.mid(value.startsWith('!')))) >= 0);
            QVERIFY(!value.startsWith('!') || ::flock(held.back()->handle(), LOCK_EX) == 0);
            if (!value.startsWith('!'))
                held.pop_back();
        }
        if (fault == "read-only")
            why = testsupport::mountReadOnly(folder);
        else if (!fault.isEmpty() && fault != "full")
            QVERIFY(m_sim.setFault(paths.at(1), fault));
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        m_sim.clearLog();

        DownloadBatch batch;
        QSignalSpy finished(&batch, &DownloadBatch::finished);
        QSignalSpy progress(&batch, &DownloadBatch::progress);
        batch.start(folder, kSerial, files(paths));
        QVERIFY(finished.size() == 1 || finished.wait(45000));
        m_sim.setFault(paths.value(1), "none");
        held.clear();
        const Folder got = contents(tmp.path());
        testsupport::unmount(folder);
        const QString text = finished.first().first().toString();
        QVERIFY2(summary.endsWith('(') ? text.startsWith(summary.arg(folder)) : text == summary.arg(folder),
                 qPrintable(text));
        // The camera is never asked for what is skipped, and the bar is filled per file. Counted
        // per file: Qt itself may send a GET again when the camera drops the connection.
        QStringList files = m_sim.targets(8080).filter(" /videos/");
        files.removeDuplicates();
        QVERIFY2(files.size() == asked, qPrintable(files.join(", ")));
        if (asked > 0)
            QVERIFY(!progress.isEmpty() && progress.last().at(0) == progress.last().at(1));
        QCOMPARE(rangesAsked(), ranges);
        // A redirect leads nowhere: the other host is never asked.
        QCOMPARE(m_sim.elsewhereRequests().size(), 0);
        for (auto it = after.begin(); it != after.end(); ++it)
            it.value() = resolve(it.value());
        QCOMPARE(got, after);
        QCOMPARE(finished.size(), 1);
    }

    // A crash (the program killed mid-file) leaves NAME.part and its record. The next batch
    // continues it only where it is the beginning of the very file asked for now: the same
    // camera, path, listed size and time. Camera numbering starts again after a format and
    // every camera names its files alike, so anything else is fetched anew, byte-exact.
    void leftoverContinuedOnlyForTheSameFile_data()
    {
        QTest::addColumn<QString>("serialThen"); // the camera the crashed run fetched from
        QTest::addColumn<int>("sizeThen"); // its file's size; listed unless "no size listed"
        QTest::addColumn<int>("modThen");
        QTest::addColumn<QString>("serialNow");
        QTest::addColumn<int>("sizeNow");
        QTest::addColumn<int>("modNow");
        QTest::addColumn<bool>("sameFile"); // the bytes now are those of then
        // What happened between: to the record beside the .part, or the camera's answer.
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("outcome"); // "continued", "anew", "failed"
        QTest::addColumn<QString>("range"); // the status a Range request got; empty: none sent

        const QString s = kSerial, other = "C3501324645504";
        QTest::newRow("same file") << s << 600000 << 10 << s << 600000 << 10 << true << "" << "continued" << "206";
        QTest::newRow("same file, the camera cannot continue") << s << 600000 << 10 << s << 600000 << 10 << true
            << "ignore-range" << "continued" << "200";
        QTest::newRow("another camera, same name, size and time") << s << 600000 << 10 << other << 600000 << 10
            << false << "" << "anew" << "";
        QTest::newRow("after a format, larger") << s << 600000 << 10 << s << 700000 << 20 << false << "" << "anew" << "";
        QTest::newRow("after a format, same size") << s << 600000 << 10 << s << 600000 << 20 << false << "" << "anew" << "";
        QTest::newRow("the camera told no serial") << "" << 600000 << 10 << "" << 600000 << 10 << true << "" << "anew" << "";
        QTest::newRow("no size listed") << s << 600000 << 10 << s << 600000 << 10 << true << "no size listed"
            << "anew" << "";
        QTest::newRow("record gone (an older program's .part)") << s << 600000 << 10 << s << 600000 << 10 << true
            << "record removed" << "anew" << "";
        QTest::newRow("record made a link") << s << 600000 << 10 << s << 600000 << 10 << true
            << "record linked" << "anew" << "";
        QTest::newRow("record made a hard link") << s << 600000 << 10 << s << 600000 << 10 << true
            << "record hard-linked" << "anew" << "";
        QTest::newRow("record larger than a record") << s << 600000 << 10 << s << 600000 << 10 << true
            << "record oversized" << "anew" << "";
        // The Range goes to the camera only: what another host would send is not appended.
        QTest::newRow("same file, redirected") << s << 600000 << 10 << s << 600000 << 10 << true
            << "redirect" << "failed" << "302";
    }
    void leftoverContinuedOnlyForTheSameFile()
    {
        QFETCH(QString, serialThen);
        QFETCH(int, sizeThen);
        QFETCH(int, modThen);
        QFETCH(QString, serialNow);
        QFETCH(int, sizeNow);
        QFETCH(int, modNow);
        QFETCH(bool, sameFile);
        QFETCH(QString, meanwhile);
        QFETCH(QString, outcome);
        QFETCH(QString, range);
        const QString path = "300GOPRO/GOPR0001.JPG";
        const bool listed = meanwhile != "no size listed";
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("in");
        QVERIFY(QDir().mkpath(folder));
        const QString part = folder + "/GOPR0001.JPG.part", record = part + ".json";

        // The crash: a download of the file then, killed once a part of it is in.
        const QByteArray then = picture(sizeThen, 'a');
        putOnCard(path, then, listed ? sizeThen : -1, modThen);
        QVERIFY(m_sim.setFault(path, "slow", 0, 64 * 1024));
        QProcess helper;
        helper.setProcessChannelMode(QProcess::ForwardedChannels);
        helper.start(QCoreApplication::applicationDirPath() + "/download-helper",
                     {folder, serialThen, path, QString::number(listed ? sizeThen : -1), QString::number(modThen)});
        QVERIFY(helper.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(part).size() >= 64 * 1024, 20000);
        helper.kill();
        QVERIFY(helper.waitForFinished());
        QVERIFY(m_sim.setFault(path, "none"));
        const qint64 kept = QFileInfo(part).size();
        QVERIFY(kept > 0 && kept < sizeThen);
        // Written when the .part was begun, where it could ever be continued.
        QCOMPARE(QFileInfo::exists(record), listed && !serialThen.isEmpty());

        Folder expected;
        const QString outside = tmp.filePath("outside");
        if (meanwhile == "record removed") {
            QVERIFY(QFile::remove(record));
        } else if (meanwhile == "record linked") {
            QVERIFY(QFile::rename(record, outside));
            QVERIFY(QFile::link(outside, record));
        } else if (meanwhile == "record hard-linked") {
            QVERIFY(::link(QFile::encodeName(record), QFile::encodeName(outside)) == 0);
        } else if (meanwhile == "record oversized") {
            QFile file(record);
            QVERIFY(file.open(QIODevice::Append));
            file.write(QByteArray(5000, ' '));
        } else if (meanwhile == "ignore-range") {
            QVERIFY(m_sim.setIgnoreRange(true));
        } else if (meanwhile == "redirect") {
            QVERIFY(m_sim.setFault(path, "redirect"));
        }
        if (QFileInfo::exists(outside)) {
            QFile file(outside);
            QVERIFY(file.open(QIODevice::ReadOnly));
            expected.insert("outside", file.readAll());
        }

        // The card now, and the next batch.
        const QByteArray now = sameFile ? picture(sizeNow, 'a') : picture(sizeNow, 'b');
        putOnCard(path, now, listed ? sizeNow : -1, modNow);
        m_sim.clearLog();
        DownloadBatch batch;
        QSignalSpy finished(&batch, &DownloadBatch::finished);
        QList<DownloadBatch::File> files{{path, listed ? sizeNow : -1, modNow}};
        batch.start(folder, serialNow, files);
        QVERIFY(finished.size() == 1 || finished.wait(30000));
        m_sim.setIgnoreRange(false);
        m_sim.setFault(path, "none");

        const QString summary = finished.first().first().toString();
        if (outcome == "failed") {
            QCOMPARE(summary, QString("Downloaded 0 of 1 files to %1. Failed: GOPR0001.JPG (%2)").arg(folder, redirected()));
        } else {
            QCOMPARE(summary, QString("Downloaded 1 of 1 files to %1.").arg(folder));
            expected.insert("in/GOPR0001.JPG", now);
        }
        const Folder got = contents(tmp.path());
        QCOMPARE(got.keys(), expected.keys());
        QVERIFY2(got == expected, "the bytes differ");
        QCOMPARE(rangesAsked(), range.isEmpty() ? QString() : QString("bytes=%1- %2").arg(kept).arg(range));
        QCOMPARE(m_sim.elsewhereRequests().size(), 0);
    }

    // A chapter past 4 GiB (cameras write them on large cards), its size listed as the camera
    // lists it: a crash left all but its last 8 MiB, a second one a little more, and the rest
    // comes as the camera's 206. The whole is checked on its 64-bit size, which the summary
    // tells where the list disagrees. Files on both sides are sparse, so only the ends that
    // differ take room and time.
    void beyondFourGiB_data()
    {
        QTest::addColumn<qint64>("listed");
        QTest::addColumn<QString>("summary"); // %1: the folder

        const qint64 size = kBeyondFourGiB;
        QTest::newRow("as listed") << size << "Downloaded 1 of 1 files to %1.";
        QTest::newRow("listed 5 bytes larger") << size + 5
            << "Downloaded 0 of 1 files to %1. Failed: GX010042.MP4 (" + QString::number(size)
                   + " bytes, the camera lists " + QString::number(size + 5) + ")";
    }
    void beyondFourGiB()
    {
        QFETCH(qint64, listed);
        QFETCH(QString, summary);
        const qint64 size = kBeyondFourGiB, ends = 8 << 20, mod = 1700000000;
        const QString path = "100GOPRO/GX010042.MP4";
        const QByteArray head = picture(64 * 1024, 'h'), tail = picture(ends, 't');
        // The camera's file: its two ends written, nothing between.
        QFile onCard(m_media.filePath("DCIM/" + path));
        QVERIFY(QDir().mkpath(QFileInfo(onCard).path()));
        QVERIFY(onCard.open(QIODevice::WriteOnly | QIODevice::Truncate) && onCard.resize(size));
        QVERIFY(onCard.write(head) == head.size() && onCard.seek(size - ends) && onCard.write(tail) == ends);
        onCard.close();
        listOnCard(path, listed, mod);

        // What a crash left: the same bytes up to its last 8 MiB, and its record.
        QTemporaryDir tmp;
        const QString part = tmp.filePath("GX010042.MP4.part");
        QFile left(part);
        QVERIFY(left.open(QIODevice::WriteOnly) && left.write(head) == head.size() && left.resize(size - ends));
        left.close();
        QString error;
        const PartRecord record{kSerial, path, listed, mod};
        QVERIFY2(record.write(PartRecord::pathFor(part), &error), qPrintable(error));

        // A second crash, a little later.
        m_sim.clearLog();
        QVERIFY(m_sim.setFault(path, "slow", 0, 1 << 20));
        QProcess helper;
        helper.setProcessChannelMode(QProcess::ForwardedChannels);
        helper.start(QCoreApplication::applicationDirPath() + "/download-helper",
                     {tmp.path(), kSerial, path, QString::number(listed), QString::number(mod)});
        QVERIFY(helper.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(part).size() >= size - ends + 256 * 1024, 20000);
        helper.kill();
        QVERIFY(helper.waitForFinished());
        QVERIFY(m_sim.setFault(path, "none"));
        const qint64 kept = QFileInfo(part).size();
        QVERIFY(kept > size - ends && kept < size);

        DownloadBatch batch;
        QSignalSpy finished(&batch, &DownloadBatch::finished);
        QSignalSpy progress(&batch, &DownloadBatch::progress);
        // The size as the camera's list gives it.
        batch.start(tmp.path(), kSerial, DownloadBatch::filesOf(MediaList::parse(m_sim.mediaList()), {path}));
        QVERIFY(finished.size() == 1 || finished.wait(30000));
        QCOMPARE(finished.first().first().toString(), summary.arg(tmp.path()));
        QCOMPARE(rangesAsked(), QString("bytes=%1- 206, bytes=%2- 206").arg(size - ends).arg(kept));
        if (listed != size) {
            QCOMPARE(contents(tmp.path()), Folder());
            return;
        }
        QVERIFY(!progress.isEmpty() && progress.last().at(0) == progress.last().at(1));
        QFile saved(tmp.filePath("GX010042.MP4"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), size);
        QVERIFY(saved.read(head.size()) == head);
        QVERIFY(saved.seek(size - ends) && saved.readAll() == tail);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"GX010042.MP4"});
    }

    // A transfer cut short of its announced length, for a file with no listed size (a burst's
    // member), is refused wherever the cut falls: nothing under its name, no .part left.
    void cutShortWithoutListedSize_data()
    {
        QTest::addColumn<int>("cut"); // bytes sent before the connection drops; < 0: from the end
        QTest::newRow("1 byte") << 1;
        QTest::newRow("within the first read") << 700;
        QTest::newRow("16 KiB") << 16 * 1024;
        QTest::newRow("16 KiB + 1") << 16 * 1024 + 1;
        QTest::newRow("64 KiB - 1") << 64 * 1024 - 1;
        QTest::newRow("64 KiB") << 64 * 1024;
        QTest::newRow("256 KiB") << 256 * 1024;
        QTest::newRow("the middle") << 0;
        QTest::newRow("length - 1") << -1;
    }
    void cutShortWithoutListedSize()
    {
        QFETCH(int, cut);
        const QString path = "400GOPRO/G0010002.JPG";
        const int length = 1000000;
        putOnCard(path, picture(length, 'c'), -1, 1);
        const int bytes = cut > 0 ? cut : cut < 0 ? length + cut : length / 2;
        // Again and again: a cut that lands otherwise once must not slip through.
        for (int round = 0; round < 3; ++round) {
            QTemporaryDir tmp;
            QVERIFY(m_sim.setFault(path, "truncate", bytes));
            DownloadBatch batch;
            QSignalSpy finished(&batch, &DownloadBatch::finished);
            batch.start(tmp.path(), kSerial, {{path, -1, -1}});
            QVERIFY(finished.size() == 1 || finished.wait(30000));
            const QString summary = finished.first().first().toString();
            QVERIFY2(summary.startsWith(QString("Downloaded 0 of 1 files to %1. Failed: G0010002.JPG (").arg(tmp.path())),
                     qPrintable(summary));
            QCOMPARE(contents(tmp.path()), Folder());
        }
        QVERIFY(m_sim.setFault(path, "none"));
    }

    // The window's Stop button, and the program quitting, in the middle of a file.
    void stopMidFile_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("stop") << false;
        QTest::newRow("program quits") << true;
    }
    void stopMidFile()
    {
        QFETCH(bool, quit);
        QTemporaryDir tmp;
        QVERIFY(m_sim.setFault(k2, "slow", 0, 64 * 1024));
        m_sim.clearLog();
        auto batch = std::make_unique<DownloadBatch>();
        QSignalSpy finished(batch.get(), &DownloadBatch::finished);
        batch->stop(); // idle: nothing to end
        QCOMPARE(finished.size(), 0);
        const QStringList paths{k1, k2, k3};
        batch->start(tmp.path(), kSerial, files(paths));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(tmp.filePath("GOPR0002.JPG.part")).size() > 0, 20000);
        if (quit) {
            batch.reset();
        } else {
            batch->stop();
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished.first().first().toString(),
                     QString("Stopped: downloaded 1 of 3 files to %1.").arg(tmp.path()));
        }
        QTest::qWait(500); // whatever the aborted transfer still delivers
        m_sim.setFault(k2, "none");
        if (batch) {
            batch->stop();
            QCOMPARE(finished.size(), 1);
        }
        QCOMPARE(contents(tmp.path()), Folder({{"GOPR0001.JPG", cameraBytes(k1)}}));
        QCOMPARE(m_sim.targets(8080).filter("GOPR0003").size(), 0);
    }

    // Speed over the last seconds of bytes received, time left only once they span enough.
    // samples: "MS:DONE[:RESUMED]" of the current file, "next" when the batch goes on to another.
    void transferRate_data()
    {
        QTest::addColumn<QStringList>("samples");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("too early for a speed") << QStringList{"0:0", "900:900000"} << qint64(9900000)
                                               << "900 KB of 9.9 MB";
        QTest::newRow("speed, no time left yet") << QStringList{"0:0", "1000:2000000", "2000:4000000"}
                                                 << qint64(10000000) << "4.0 MB of 10.0 MB · 2.0 MB/s";
        QTest::newRow("settled") << QStringList{"0:0", "1000:1000000", "2000:2000000", "3000:3000000"}
                                 << qint64(41000000) << "3.0 MB of 41.0 MB · 1.0 MB/s · 38 s left";
        // A fast start is out of the window by now.
        QTest::newRow("only the last seconds count")
            << QStringList{"0:0", "1000:20000000", "6000:25000000", "7000:26000000", "8000:27000000", "9000:28000000"}
            << qint64(118000000) << "28.0 MB of 118.0 MB · 1.0 MB/s · 1 min 30 s left";
        QTest::newRow("stalled: no time left") << QStringList{"0:0", "2000:5000", "6000:5000", "9000:5000"}
                                               << qint64(6000) << "5 KB of 6 KB · 0 KB/s";
        QTest::newRow("hours") << QStringList{"0:0", "4000:4000000"} << qint64(4004000000)
                               << "4.0 MB of 4.0 GB · 1.0 MB/s · 1 h 6 min left";
        // The next file was half there from an interrupted download: its 50 MB are no speed.
        QTest::newRow("resumed bytes are no speed")
            << QStringList{"0:0", "1000:1000000", "next", "1500:50500000:50000000", "2500:51500000:50000000",
                           "3000:52000000:50000000"}
            << qint64(60000000) << "52.0 MB of 60.0 MB · 1.0 MB/s · 8 s left";
    }
    void transferRate()
    {
        QFETCH(QStringList, samples);
        QFETCH(qint64, total);
        TransferRate rate;
        rate.add(-5000, 123); // a batch before
        rate.restart();
        qint64 done = 0;
        for (const QString& sample : samples) {
            if (sample == "next") {
                rate.nextFile();
                continue;
            }
            const QStringList parts = sample.split(':');
            done = parts.at(1).toLongLong();
            rate.add(parts.at(0).toLongLong(), done, parts.value(2).toLongLong());
        }
        QTEST(TransferRate::text(done, total, rate.bytesPerSecond(), rate.secondsLeft(total - done)), "text");
    }

    // What counts as downloaded: the name or a numbered one at the listed size; a group with
    // every member there; nothing without a listed size.
    void downloadedFiles()
    {
        QTemporaryDir dir;
        const Folder folder{{"GOPR0001 (2).JPG", QByteArray(600000, 'x')}, {"GOPR0001.JPG", QByteArray(10, 'x')},
                            {"GOPR0002.JPG", QByteArray(599999, 'x')}, {"GOPR0003.JPG", "x"},
                            {"G0010001.JPG", "x"}, {"G0010002.JPG", "x"}, {"G0020004.JPG", "x"}};
        for (auto it = folder.begin(); it != folder.end(); ++it) {
            QFile file(dir.filePath(it.key()));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(it.value()) == it.value().size());
        }
        const MediaList card = MediaList::parse(QByteArray(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"GOPR0001.JPG","mod":"1","s":"600000"},{"n":"GOPR0002.JPG","mod":"2","s":"600000"},
            {"n":"GOPR0003.JPG","mod":"3"},{"n":"GOPR0005.JPG","mod":"4","s":"1"},
            {"n":"G0010001.JPG","mod":"5","g":"1","b":"1","l":"3","m":["3"]},
            {"n":"G0020004.JPG","mod":"6","g":"2","b":"4","l":"5"}]}]})"));
        DownloadedFiles files;
        files.read(dir.path());
        QCOMPARE(files.savedOf(card), (QSet<QString>{"100GOPRO/GOPR0001.JPG", "100GOPRO/G0010001.JPG"}));
        files.read(dir.filePath("gone"));
        QVERIFY(files.savedOf(card).isEmpty());
    }
};

VELKAMO_TEST_MAIN(TestDownloadBatch)
#include "tst_downloadbatch.moc"
