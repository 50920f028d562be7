// The download batch against the camera simulator: what lands in the folder, and what the
// summary tells the user.
#include "camsim.h"
#include "downloadbatch.h"
#include "medialist.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QNetworkReply>
#include <QTemporaryDir>

using Folder = QMap<QString, QByteArray>; // file name -> bytes, or "=PATH" for the camera's file

namespace {
const QByteArray kCard = R"({"id":"1","media":[
 {"d":"100GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"1","s":"600000"},
                       {"n":"GOPR0002.JPG","mod":"2","s":"600000"},
                       {"n":"GOPR0003.JPG","mod":"3"}]},
 {"d":"101GOPRO","fs":[{"n":"GOPR0001.JPG","mod":"4","s":"600001"}]}]})";
const QString k1 = "100GOPRO/GOPR0001.JPG", k2 = "100GOPRO/GOPR0002.JPG",
              k3 = "100GOPRO/GOPR0003.JPG", k101 = "101GOPRO/GOPR0001.JPG";
} // namespace

class TestDownloadBatch : public QObject
{
    Q_OBJECT

private:
    CamSim m_sim;
    QNetworkAccessManager m_nam;

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
        return bytes.startsWith('=') ? cameraBytes(QString::fromUtf8(bytes.mid(1))) : bytes;
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
        QVERIFY(m_sim.start({"--media-count", "0"}));
        QVERIFY(m_sim.setMediaJson(kCard));
    }

    void batch_data()
    {
        QTest::addColumn<Folder>("before");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("fault"); // on the second path, or "read-only" for the folder
        QTest::addColumn<QString>("summary"); // %1: the folder
        QTest::addColumn<int>("asked"); // files the camera is asked for
        QTest::addColumn<Folder>("after"); // paths under the test's folder; "in/" is the batch's

        QTest::newRow("byte-exact, no size listed") << Folder{} << QStringList{k1, k3} << ""
            << "Downloaded 2 of 2 files to %1." << 2
            << Folder{{"in/GOPR0001.JPG", "=" + k1.toUtf8()}, {"in/GOPR0003.JPG", "=" + k3.toUtf8()}};
        // Numbering starts again after a format, and two folders hold the same names: nothing
        // in the folder is replaced, and a copy of the listed size is not fetched again.
        const Folder mixed{{"in/GOPR0001.JPG", "an older picture of the same name"},
                           {"in/GOPR0002.JPG", "=" + k2.toUtf8()}};
        Folder numbered = mixed;
        numbered.insert("in/GOPR0001 (2).JPG", "=" + k1.toUtf8());
        numbered.insert("in/GOPR0001 (3).JPG", "=" + k101.toUtf8());
        QTest::newRow("same names numbered, saved copy skipped") << mixed << QStringList{k1, k101, k2} << ""
            << "Downloaded 2 of 3 files to %1. 1 already there, skipped. Saved under new names: "
               "GOPR0001 (2).JPG, GOPR0001 (3).JPG." << 2 << numbered;
        QTest::newRow("the same batch again") << numbered << QStringList{k1, k101, k2} << ""
            << "Downloaded 0 of 3 files to %1. 3 already there, skipped." << 0 << numbered;
        // A failed file never gets the real name (nor leaves its .part); the batch goes on.
        const Folder twoOfThree{{"in/GOPR0003.JPG", "=" + k3.toUtf8()}, {"in/GOPR0001.JPG", "=" + k1.toUtf8()}};
        // A summary ending in "(" is a prefix: a cut connection reads as an error or as a short
        // file, as the close and the last bytes race.
        const QString failed = "Downloaded 2 of 3 files to %1. Failed: GOPR0002.JPG (";
        const struct { const char* fault; QString reason; } failures[] = {
            {"truncate", ""}, {"short", "300000 bytes, the camera lists 600000)"}, {"404", "HTTP 404)"},
            {"500", "HTTP 500)"}, {"stall", "no data for 30 s)"}};
        for (const auto& f : failures)
            QTest::newRow(f.fault) << Folder{} << QStringList{k3, k2, k1} << f.fault
                                   << failed + f.reason << 3 << twoOfThree;
        QTest::newRow("unsafe names") << Folder{}
            << QStringList{"100GOPRO/../../escaped.JPG", "100GOPRO/..", "100GOPRO/..\\win.JPG", k1} << ""
            << "Downloaded 1 of 4 files to %1. Failed: ../../escaped.JPG (unsafe file name, skipped); "
               ".. (unsafe file name, skipped); ..\\win.JPG (unsafe file name, skipped)" << 1
            << Folder{{"in/GOPR0001.JPG", "=" + k1.toUtf8()}};
        const QString readOnly = "Read-only file system";
        QTest::newRow("read-only folder") << Folder{} << QStringList{k1, k2} << "read-only"
            << QString("Downloaded 0 of 2 files to %1. Failed: GOPR0001.JPG (cannot write: %2); "
                       "GOPR0002.JPG (cannot write: %2)").arg("%1", readOnly) << 0 << Folder{};
    }
    void batch()
    {
        QFETCH(Folder, before);
        QFETCH(QStringList, paths);
        QFETCH(QString, fault);
        QFETCH(QString, summary);
        QFETCH(int, asked);
        QFETCH(Folder, after);
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("in");
        QVERIFY(QDir().mkpath(folder));
        for (auto it = before.begin(); it != before.end(); ++it) {
            QFile file(tmp.filePath(it.key()));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(resolve(it.value())) >= 0);
        }
        if (fault == "read-only") {
            const QString why = testsupport::mountReadOnly(folder);
            if (!why.isEmpty())
                QSKIP(qPrintable(why));
        } else if (!fault.isEmpty()) {
            QVERIFY(m_sim.setFault(paths.at(1), fault));
        }
        m_sim.clearLog();

        DownloadBatch batch;
        QHash<QString, qint64> sizes;
        const MediaList card = MediaList::parse(kCard);
        for (const QString& path : paths) {
            if (card.listedSize(path) >= 0)
                sizes.insert(path, card.listedSize(path));
        }
        QSignalSpy finished(&batch, &DownloadBatch::finished);
        QSignalSpy progress(&batch, &DownloadBatch::progress);
        batch.start(folder, paths, sizes);
        QVERIFY(finished.size() == 1 || finished.wait(45000));
        m_sim.setFault(paths.at(1), "none");
        testsupport::unmount(folder);
        const QString got = finished.first().first().toString();
        QVERIFY2(summary.endsWith('(') ? got.startsWith(summary.arg(folder)) : got == summary.arg(folder),
                 qPrintable(got));
        // The camera is never asked for what is skipped, and the bar is filled per file. Counted
        // per file: Qt itself may send a GET again when the camera drops the connection.
        QStringList files = m_sim.targets(8080).filter(" /videos/");
        files.removeDuplicates();
        QVERIFY2(files.size() == asked, qPrintable(files.join(", ")));
        if (asked > 0)
            QVERIFY(!progress.isEmpty() && progress.last().at(0) == progress.last().at(1));
        for (auto it = after.begin(); it != after.end(); ++it)
            it.value() = resolve(it.value());
        QCOMPARE(contents(tmp.path()), after);
    }
};

VELKAMO_TEST_MAIN(TestDownloadBatch)
#include "tst_downloadbatch.moc"
