// Media-list reading, local file naming, progress scaling and the viewer's zoom arithmetic
// (tested here only). The download verdict is shown end to end by tst_downloadbatch.
#include "downloadrules.h"
#include "losstext.h"
#include "camerarequests.h"
#include "medialist.h"
#include "medialistloader.h"
#include "testsupport.h"
#include "zoommath.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <limits>

class TestMediaList : public QObject
{
    Q_OBJECT

private:
    static QStringList paths(const MediaList& list)
    {
        QStringList out;
        for (const MediaList::Entry& entry : list.newestFirst())
            out << entry.path;
        return out;
    }
    // A card of count files over three folders; ties of them taken in one second (a
    // continuous shot), the others a second before or after, in turn. newestFirst gets the
    // order the card must show: newer first, and within one second the camera's list order.
    static QByteArray sameSecondCard(int count, int ties, QStringList* newestFirst)
    {
        QJsonArray media;
        QStringList newer, same, older;
        for (int d = 0; d < 3; ++d) {
            QJsonArray files;
            const QString dir = QString("%1GOPRO").arg(100 + d);
            for (int f = d; f < count; f += 3) {
                const QString name = QString("GOPR%1.JPG").arg(f + 1, 4, 10, QChar('0'));
                // Every other file of one second, from the first folder on, so that the
                // tied ones lie between others in the list.
                const bool tied = f % 2 == 0 && f / 2 < ties;
                const int mod = tied ? 500 : f % 4 == 1 ? 400 : 600;
                files.append(QJsonObject{{"n", name}, {"mod", QString::number(mod)}});
                (mod == 500 ? same : mod == 400 ? older : newer) << dir + '/' + name;
            }
            media.append(QJsonObject{{"d", dir}, {"fs", files}});
        }
        *newestFirst = newer + same + older;
        return QJsonDocument(QJsonObject{{"media", media}}).toJson(QJsonDocument::Compact);
    }

private slots:
    void parsesNewestFirstKeepingTies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("status");
        const int ok = int(MediaList::Status::Ok);

        QTest::newRow("two folders") << QByteArray(R"({"media":[
            {"d":"100GOPRO","fs":[{"n":"A.JPG","mod":"100"},{"n":"B.MP4","mod":"300"}]},
            {"d":"101GOPRO","fs":[{"n":"C.JPG","mod":"200"}]}]})")
            << QStringList{"100GOPRO/B.MP4", "101GOPRO/C.JPG", "100GOPRO/A.JPG"} << ok;
        // Burst photos share their second: all stay, in list order.
        QTest::newRow("equal mod") << QByteArray(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"G0010001.JPG","mod":"500"},{"n":"G0010002.JPG","mod":"500"},
            {"n":"G0010003.JPG","mod":"500"},{"n":"X.JPG","mod":"501"}]}]})")
            << QStringList{"100GOPRO/X.JPG", "100GOPRO/G0010001.JPG", "100GOPRO/G0010002.JPG",
                           "100GOPRO/G0010003.JPG"} << ok;
        // 2040 and 2100 do not fit 32 bits; they must still sort after 2037.
        QTest::newRow("after 2038") << QByteArray(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"OLD.JPG","mod":"2000000000"},{"n":"Y2100.JPG","mod":"4102444800"},
            {"n":"Y2040.JPG","mod":"2208988800"}]}]})")
            << QStringList{"100GOPRO/Y2100.JPG", "100GOPRO/Y2040.JPG", "100GOPRO/OLD.JPG"} << ok;
        // No usable time: the file is still a file on the card, shown last.
        QTest::newRow("mod missing, number, text") << QByteArray(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"NUM.JPG","mod":1618583762},{"n":"T.JPG","mod":"7"},{"n":"NONE.JPG"},
            {"n":"TXT.JPG","mod":"soon"}]}]})")
            << QStringList{"100GOPRO/T.JPG", "100GOPRO/NUM.JPG", "100GOPRO/NONE.JPG",
                           "100GOPRO/TXT.JPG"} << ok;
        // /gopro/media/list as documented: the list's id, every value a string, groups.
        QTest::newRow("documented list") << QByteArray(R"({"id":"2510746051348624995","media":[
            {"d":"100GOPRO","fs":[
             {"n":"GOPR0987.JPG","cre":"1618583762","mod":"1618583762","s":"5013927"},
             {"n":"GX010990.MP4","cre":"1618583800","mod":"1618583860","glrv":"806586","ls":"-1","s":"10725219"},
             {"n":"G0010991.JPG","cre":"1618583900","mod":"1618583900","g":"1","b":"991","l":"1020","m":["1005"],"s":"151200000","t":"b"},
             {"n":"G0021021.JPG","cre":"1618584000","mod":"1618584600","g":"2","b":"1021","l":"1140","m":[],"s":"602000000","t":"t"}]},
            {"d":"101GOPRO","fs":[
             {"n":"GH011141.MP4","cre":"1618590000","mod":"1618590300","glrv":"943295","ls":"-1","s":"4006413091"},
             {"n":"GH021141.MP4","cre":"1618590300","mod":"1618590320","glrv":"184519","ls":"-1","s":"75670687"}]}]})")
            << QStringList{"101GOPRO/GH021141.MP4", "101GOPRO/GH011141.MP4", "100GOPRO/G0021021.JPG",
                           "100GOPRO/G0010991.JPG", "100GOPRO/GX010990.MP4", "100GOPRO/GOPR0987.JPG"} << ok;
        QTest::newRow("odd entries skipped") << QByteArray(R"({"media":[
            7, "x", {"fs":[{"n":"NODIR.JPG","mod":"1"}]}, {"d":"100GOPRO"},
            {"d":"..","fs":[{"n":"UP.JPG","mod":"1"}]},
            {"d":"101GOPRO","fs":[5, {"mod":"3"}, {"n":"OK.JPG","mod":"2"}, {"n":"OK.JPG","mod":"9"}]}]})")
            << QStringList{"101GOPRO/OK.JPG"} << ok;
        // One path is one file: listed twice, it is shown once, where its newest listing
        // puts it, in the first screen as in the whole list.
        QTest::newRow("listed twice") << QByteArray(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"A.JPG","mod":"5"},{"n":"TWICE.JPG","mod":"2"},{"n":"B.JPG","mod":"7"},
            {"n":"TWICE.JPG","mod":"9"},{"n":"C.JPG","mod":"9"}]}]})")
            << QStringList{"100GOPRO/TWICE.JPG", "100GOPRO/C.JPG", "100GOPRO/B.JPG", "100GOPRO/A.JPG"} << ok;
        // Unstable sorts keep small runs in order; only beyond about 16 elements do they differ.
        QStringList tied;
        const QByteArray fortyTied = sameSecondCard(100, 45, &tied);
        QTest::newRow("45 of one second over three folders") << fortyTied << tied << ok;
        QTest::newRow("not json") << QByteArray("<html>busy</html>") << QStringList() << int(MediaList::Status::NotJson);
        QTest::newRow("truncated") << QByteArray(R"({"media":[{"d":"100GOPRO","fs":[)") << QStringList()
                                   << int(MediaList::Status::NotJson);
        QTest::newRow("array") << QByteArray("[1,2]") << QStringList() << int(MediaList::Status::NotObject);
        QTest::newRow("no media") << QByteArray(R"({"id":"1","files":[]})") << QStringList()
                                  << int(MediaList::Status::NoMedia);
    }
    void parsesNewestFirstKeepingTies()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, expected);
        QFETCH(int, status);
        const MediaList list = MediaList::parse(body);
        QCOMPARE(int(list.status()), status);
        QCOMPARE(paths(list), expected);
        QCOMPARE(list.count(), expected.size());
        // The newest files read alone, for a first screen, are the head of the whole list,
        // wherever the screen ends: inside the tied files too.
        for (const int limit : {1, 2, 16, 17, 30, 40, 41, 60, 99, 100, 101}) {
            const MediaList newest = MediaList::newest(QJsonDocument::fromJson(body), limit);
            QVERIFY2(paths(newest) == expected.mid(0, limit), qPrintable(QString::number(limit)));
        }
    }

    // A long list comes first as its newest files alone, then whole: the first screen is the
    // head of the whole list even where it ends among files of one second, so no tile jumps.
    void firstScreenIsTheHeadOfTheWholeList()
    {
        QStringList expected;
        const QByteArray body = sameSecondCard(900, 450, &expected);
        MediaListLoader loader;
        QList<MediaList> lists;
        connect(&loader, &MediaListLoader::loaded, this, [&lists](const MediaList& list) { lists << list; });
        loader.load(body);
        QTRY_COMPARE_WITH_TIMEOUT(lists.size(), 2, 10000);
        QVERIFY(!lists.first().isComplete() && lists.last().isComplete());
        QCOMPARE(paths(lists.last()), expected);
        const QStringList first = paths(lists.first());
        QVERIFY(first.size() > 40);
        QCOMPARE(first, expected.mid(0, first.size()));
        // The tied files run across the end of the first screen.
        QCOMPARE(lists.first().newestFirst().last().mod, qint64(500));
    }

    void listedSizeOnlyForSingleFiles()
    {
        const MediaList list = MediaList::parse(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"A.JPG","mod":"1","s":"5013927"},
            {"n":"G0010991.JPG","mod":"2","g":"1","b":"991","l":"1020","s":"151200000"},
            {"n":"BIG.MP4","mod":"3","s":"4006413091"},
            {"n":"NOSIZE.JPG","mod":"4"}, {"n":"BAD.JPG","mod":"5","s":"-7"}]}]})");
        QCOMPARE(list.listedSize("100GOPRO/A.JPG"), qint64(5013927));
        QCOMPARE(list.listedSize("100GOPRO/BIG.MP4"), qint64(4006413091LL));
        // A group's "s" is the whole group's size.
        QCOMPARE(list.listedSize("100GOPRO/G0010991.JPG"), qint64(-1));
        QCOMPARE(list.listedSize("100GOPRO/NOSIZE.JPG"), qint64(-1));
        QCOMPARE(list.listedSize("100GOPRO/BAD.JPG"), qint64(-1));
        QCOMPARE(list.listedSize("100GOPRO/ABSENT.JPG"), qint64(-1));
    }

    // What Format and Delete say is lost: a burst counts every member still on the card and
    // its whole size; a file the list gives no size adds none; sizes in the camera's units.
    void lossCountsBurstsWhole()
    {
        const MediaList card = MediaList::parse(R"({"media":[{"d":"100GOPRO","fs":[
            {"n":"A.JPG","mod":"1","s":"2500"},
            {"n":"G0010991.JPG","mod":"2","g":"1","b":"991","l":"1020","m":["995"],"s":"151200000"},
            {"n":"BIG.MP4","mod":"3","s":"4006413091"},
            {"n":"NOSIZE.JPG","mod":"4"}]}]})");
        const QString cam = "HERO12 Black …583";
        QCOMPARE(LossText::format(cam, card),
                 cam + ": all 32 files (4.2 GB) on its card are erased.");
        QCOMPARE(LossText::format(cam, MediaList()), cam + ": every file on its card is erased.");
        QCOMPARE(LossText::deletion(cam, card, {"100GOPRO/A.JPG"}), cam + ": 1 file (3 KB) on its card is deleted.");
        QCOMPARE(LossText::deletion(cam, card, {"100GOPRO/G0010991.JPG", "100GOPRO/NOSIZE.JPG"}),
                 cam + ": 30 files (151.2 MB) on its card are deleted.");
        QCOMPARE(LossText::size(0), QString("0 KB"));
        QCOMPARE(LossText::size(999999), QString("1000 KB"));
        QCOMPARE(LossText::size(1000000), QString("1.0 MB"));
        QCOMPARE(LossText::size(999999999), QString("1000.0 MB"));
    }

    // Every request about a file goes to its camera's host, with what would cut the path or
    // the query escaped ("#" and "&" inside a name would delete or fetch another file).
    void urlsEscapeWhatWouldCutThem()
    {
        const CameraAddress wifi = CameraAddress::accessPoint();
        const CameraAddress usb = CameraAddress::usb(QHostAddress("172.27.189.51"));
        QCOMPARE(CameraRequests::thumbnail(usb, 8, "100GOPRO/GOPR0001.JPG").toString(QUrl::FullyEncoded),
                 QString("http://172.27.189.51/gp/gpMediaMetadata?p=100GOPRO/GOPR0001.JPG"));
        QCOMPARE(CameraRequests::thumbnail(usb, 9, "100GOPRO/A#B").toString(QUrl::FullyEncoded),
                 QString("http://172.27.189.51:8080/gopro/media/thumbnail?path=100GOPRO/A%23B"));
        QCOMPARE(CameraRequests::deleteFile(usb, 12, "100GOPRO/A#B&p=C").toString(QUrl::FullyEncoded),
                 QString("http://172.27.189.51:8080/gopro/media/delete/file?path=100GOPRO/A%23B%26p%3DC"));
        QCOMPARE(CameraRequests::file(usb, "100GOPRO/A?B").path(), QString("/videos/DCIM/100GOPRO/A?B"));
        // A profile's request, written for the access point, goes to the USB camera as it is.
        QCOMPARE(usb.rehost(QUrl("http://10.5.5.9:8080/gopro/camera/setting?setting=2&option=1")).toString(),
                 QString("http://172.27.189.51:8080/gopro/camera/setting?setting=2&option=1"));
        QVERIFY(usb.rehost(QUrl("udp://10.5.5.9:8554")).isEmpty());
        // On the home network both families are served over HTTPS on 443.
        const CameraAddress home = CameraAddress::home(QHostAddress("192.168.50.103"));
        QCOMPARE(CameraRequests::thumbnail(home, 12, "100GOPRO/GOPR0001.JPG").toString(),
                 QString("https://192.168.50.103/gopro/media/thumbnail?path=100GOPRO/GOPR0001.JPG"));
        QCOMPARE(CameraRequests::file(home, "100GOPRO/A#B").toString(QUrl::FullyEncoded),
                 QString("https://192.168.50.103/videos/DCIM/100GOPRO/A%23B"));
        QCOMPARE(home.rehost(QUrl("http://10.5.5.9:8080/gopro/camera/setting?setting=2&option=1")).toString(),
                 QString("https://192.168.50.103/gopro/camera/setting?setting=2&option=1"));
        QCOMPARE(home.rehost(QUrl("http://10.5.5.9/gp/gpControl/command/mode?p=1")).toString(),
                 QString("https://192.168.50.103/gp/gpControl/command/mode?p=1"));
        const QUrl formed = CameraRequests::url(home, 12, CameraRequests::Action::ShutterOn);
        QCOMPARE(home.rehost(formed), formed);
        QVERIFY(usb.rehost(formed).isEmpty());
    }

    void localNames_data()
    {
        QTest::addColumn<QString>("mediaPath");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "100GOPRO/GOPR0001.JPG" << "/dl/GOPR0001.JPG";
        QTest::newRow("spaces and unicode") << "100GOPRO/a b ü.JPG" << "/dl/a b ü.JPG";
        QTest::newRow("leading dots") << "100GOPRO/..JPG" << "/dl/..JPG";
        QTest::newRow("empty") << "100GOPRO/" << "";
        QTest::newRow("dot") << "100GOPRO/." << "";
        QTest::newRow("dotdot") << "100GOPRO/.." << "";
        QTest::newRow("climbs") << "100GOPRO/../../etc/passwd" << "";
        QTest::newRow("absolute") << "100GOPRO//etc/passwd" << "";
        QTest::newRow("backslash") << "100GOPRO/..\\..\\x.JPG" << "";
        QTest::newRow("nul") << QString("100GOPRO/A") + QChar(0) + "B.JPG" << "";
        QTest::newRow("no slash") << "GOPR0001.JPG" << "";
        // A download's own temporary names: another file's download would remove them.
        QTest::newRow("a .part") << "100GOPRO/GOPR0001.JPG.part" << "";
        QTest::newRow("a .part's record") << "100GOPRO/GOPR0001.JPG.part.json" << "";
        QTest::newRow(".PART") << "100GOPRO/GOPR0001.JPG.PART" << "";
        QTest::newRow("part in the name") << "100GOPRO/part.JPG" << "/dl/part.JPG";
    }
    void localNames()
    {
        QFETCH(QString, mediaPath);
        QFETCH(QString, expected);
        QCOMPARE(DownloadRules::localPath("/dl", mediaPath), expected);
        if (!expected.isEmpty())
            QCOMPARE(DownloadRules::partPath(expected), expected + ".part");
    }

    void progressFitsAnInt_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("total");
        QTest::newRow("small") << qint64(50) << qint64(100);
        QTest::newRow("int max") << qint64(7) << qint64(std::numeric_limits<int>::max());
        QTest::newRow("3 GiB half") << qint64(3) * 512 * 1024 * 1024 << qint64(3) * 1024 * 1024 * 1024;
        QTest::newRow("4 GB done") << qint64(4006413091LL) << qint64(4006413091LL);
        QTest::newRow("1 TiB third") << (qint64(1) << 40) / 3 << (qint64(1) << 40);
    }
    void progressFitsAnInt()
    {
        QFETCH(qint64, received);
        QFETCH(qint64, total);
        const auto [value, maximum] = DownloadRules::progressRange(received, total);
        QVERIFY(maximum > 0);
        QVERIFY(value >= 0 && value <= maximum);
        if (total <= std::numeric_limits<int>::max()) {
            QCOMPARE(qint64(maximum), total);
            QCOMPARE(qint64(value), received);
        }
        // The fraction shown is the fraction received, to within one part in a million.
        QVERIFY(qAbs(double(value) / maximum - double(received) / double(total)) < 1e-6);
    }

    void fitScale()
    {
        QCOMPARE(ZoomMath::fitScale(QSize(1280, 720), QSize(4000, 3000)), 0.24f);
        QCOMPARE(ZoomMath::fitScale(QSize(1280, 720), QSize(100, 100)), 7.2f);
        QCOMPARE(ZoomMath::fitScale(QSize(1280, 720), QSize()), 1.0f);
        QCOMPARE(ZoomMath::fitScale(QSize(1280, 720), QSize(1, 1)), ZoomMath::kMaxScale);
    }

    void sliderAndWheelZoom()
    {
        const float start = 0.5f;
        const float up = ZoomMath::stepScale(start, 1);
        QCOMPARE(up, 0.55f);
        // Relative steps: up one then down one ends at 0.99 of the start, not at the start.
        QCOMPARE(ZoomMath::stepScale(up, -1), float(double(up) * 0.9));
        QCOMPARE(ZoomMath::stepScale(start, 10), 1.0f);
        // Ten steps down in one jump would be zero; further, negative (mirrored).
        QCOMPARE(ZoomMath::stepScale(start, -10), ZoomMath::kMinScale);
        QCOMPARE(ZoomMath::stepScale(40.0f, 10), ZoomMath::kMaxScale);

        QCOMPARE(ZoomMath::wheelScale(1.0f, 120), 1.1f);
        QCOMPARE(ZoomMath::wheelScale(1.0f, -120), 0.9f);
        QCOMPARE(ZoomMath::wheelScale(1.0f, 0), 0.9f); // horizontal wheel zooms out
        QCOMPARE(ZoomMath::wheelScale(ZoomMath::kMinScale, -120), ZoomMath::kMinScale);
    }

    void drawOriginCentresThePicture_data()
    {
        QTest::addColumn<QSize>("widget");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("fit height") << QSize(1280, 720) << QSize(4000, 3000) << 0.24f << QPoint(666, 0);
        QTest::newRow("exact fit") << QSize(800, 600) << QSize(800, 600) << 1.0f << QPoint(0, 0);
        QTest::newRow("zoomed in") << QSize(800, 600) << QSize(800, 600) << 2.0f << QPoint(-200, -150);
        QTest::newRow("odd sizes") << QSize(101, 51) << QSize(10, 10) << 3.0f << QPoint(11, 3);
    }
    void drawOriginCentresThePicture()
    {
        QFETCH(QSize, widget);
        QFETCH(QSize, image);
        QFETCH(float, scale);
        QFETCH(QPoint, expected);
        QCOMPARE(ZoomMath::drawOrigin(widget, image, scale), expected);
    }
};

VELKAMO_TEST_MAIN(TestMediaList)
#include "tst_medialist.moc"
