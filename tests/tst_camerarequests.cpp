// Every fixed request, for every model from HERO5 to HERO13: one row per model and request,
// the URL the camera must get as it goes on the wire ("" where the model has none).
#include "camerarequests.h"
#include "testsupport.h"

#include <QtTest>

#include <functional>

namespace {

using Form = std::function<QUrl(const CameraAddress&, int)>;
using Action = CameraRequests::Action;

const char* const kFile = "100GOPRO/GOPR0001.JPG";
const char* const kBurst = "100GOPRO/G0010008.JPG";

Form action(Action which, bool on = true)
{
    return [which, on](const CameraAddress& camera, int model) { return CameraRequests::url(camera, model, which, on); };
}

QDateTime clockTime()
{
    return QDateTime(QDate(2023, 1, 31), QTime(3, 4, 5));
}

// Each request by its name in the table below.
const QMap<QString, Form>& forms()
{
    static const QMap<QString, Form> forms{
        {"shutter on", action(Action::ShutterOn)},
        {"shutter off", action(Action::ShutterOff)},
        {"format", action(Action::Format)},
        {"sleep", action(Action::Sleep)},
        {"voice on", action(Action::Voice)},
        {"quikcapture off", action(Action::QuikCapture, false)},
        {"gps on", action(Action::Gps)},
        {"turbo on", action(Action::Turbo)},
        {"turbo off", action(Action::Turbo, false)},
        {"keep-alive", action(Action::KeepAlive)},
        {"list", action(Action::MediaList)},
        {"older list", CameraRequests::olderMediaList},
        {"thumbnail", [](const CameraAddress& c, int m) { return CameraRequests::thumbnail(c, m, kFile); }},
        {"file", [](const CameraAddress& c, int) { return CameraRequests::file(c, kFile); }},
        {"delete", [](const CameraAddress& c, int m) { return CameraRequests::deleteFile(c, m, kFile); }},
        {"group delete", [](const CameraAddress& c, int m) { return CameraRequests::deleteGroup(c, m, kBurst); }},
        {"set clock", [](const CameraAddress& c, int m) { return CameraRequests::setClock(c, m, clockTime(), -120, true); }},
        {"get clock", CameraRequests::getClock},
        {"open gopro version", CameraRequests::openGoProVersion},
    };
    return forms;
}

} // namespace

class TestCameraRequests : public QObject
{
    Q_OBJECT

private slots:
    void everyRequestOfEveryModel_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("expected");

        const QString p80 = "http://10.5.5.9";
        const QString p8080 = "http://10.5.5.9:8080";
        // HERO5 to HERO13, left to right.
        const auto row = [&](const QString& request, const QStringList& byModel) {
            QCOMPARE(byModel.size(), 9);
            QVERIFY(forms().contains(request));
            for (int model = 5; model <= 13; ++model)
                QTest::addRow("HERO%d %s", model, qPrintable(request)) << model << request << byModel.at(model - 5);
        };
        const auto fromNine = [](const QString& older, const QString& documented) {
            return QStringList{older, older, older, older, documented, documented, documented, documented, documented};
        };
        const auto fromTen = [](const QString& older, const QString& newer) {
            return QStringList{older, older, older, older, older, newer, newer, newer, newer};
        };

        row("shutter on", fromTen(p80 + "/gp/gpControl/command/shutter?p=1", p8080 + "/gopro/camera/shutter/start"));
        row("shutter off", fromTen(p80 + "/gp/gpControl/command/shutter?p=0", p8080 + "/gopro/camera/shutter/stop"));
        row("format", fromNine(p80 + "/gp/gpControl/command/storage/delete/all",
                               p8080 + "/gp/gpControl/command/storage/delete/all"));
        row("sleep", fromNine(p80 + "/gp/gpControl/command/system/sleep", p8080 + "/gp/gpControl/command/system/sleep"));
        const QString voice = p80 + "/gp/gpControl/setting/86/1";
        row("voice on", {voice, voice, voice, voice, voice, voice, voice, "", ""});
        const QString quik = p80 + "/gp/gpControl/setting/54/0";
        row("quikcapture off", {quik, quik, quik, quik, quik, quik, quik, "", ""});
        const QString gps = p80 + "/gp/gpControl/setting/83/1";
        const QString ogpGps = p8080 + "/gopro/camera/setting?setting=83&option=1";
        row("gps on", {gps, gps, gps, gps, gps, ogpGps, ogpGps, "", ogpGps});
        row("turbo on", fromNine("", p8080 + "/gopro/media/turbo_transfer?p=1"));
        row("turbo off", fromNine("", p8080 + "/gopro/media/turbo_transfer?p=0"));
        row("keep-alive", fromNine(p80 + "/gp/gpControl/status", p8080 + "/gopro/camera/keep_alive"));
        row("list", fromNine(p8080 + "/gp/gpMediaList", p8080 + "/gopro/media/list"));
        const QString older = p8080 + "/gp/gpMediaList";
        row("older list", {"", "", "", "", older, older, older, "", ""});
        row("thumbnail", fromNine(p80 + "/gp/gpMediaMetadata?p=100GOPRO/GOPR0001.JPG",
                                  p8080 + "/gopro/media/thumbnail?path=100GOPRO/GOPR0001.JPG"));
        const QString file = p8080 + "/videos/DCIM/100GOPRO/GOPR0001.JPG";
        row("file", fromNine(file, file));
        row("delete", fromNine(p80 + "/gp/gpControl/command/storage/delete?p=/100GOPRO/GOPR0001.JPG",
                               p8080 + "/gopro/media/delete/file?path=100GOPRO/GOPR0001.JPG"));
        row("group delete", fromNine(p80 + "/gp/gpControl/command/storage/delete/group?p=100GOPRO/G0010008.JPG",
                                     p8080 + "/gp/gpControl/command/storage/delete/group?p=100GOPRO/G0010008.JPG"));
        // 2023-01-31 03:04:05, two hours west of UTC, summer time.
        const QString hexClock = p80 + "/gp/gpControl/command/setup/date_time?p=%17%01%1F%03%04%05";
        const QString plainClock = p8080 + "/gopro/camera/set_date_time?date=2023_01_31&time=03_04_05";
        const QString zonedClock = plainClock + "&tzone=-120&dst=1";
        row("set clock", {hexClock, hexClock, hexClock, hexClock, plainClock, plainClock, zonedClock, zonedClock, zonedClock});
        const QString getClock = p8080 + "/gopro/camera/get_date_time";
        row("get clock", {"", "", "", "", "", "", getClock, getClock, getClock});
        row("open gopro version", fromNine("", p8080 + "/gopro/version"));
    }
    void everyRequestOfEveryModel()
    {
        QFETCH(int, model);
        QFETCH(QString, request);
        QFETCH(QString, expected);
        const QUrl url = forms().value(request)(CameraAddress::accessPoint(), model);
        QCOMPARE(url.toString(QUrl::FullyEncoded), expected);
    }

    // The older clock takes six bytes. Where a byte is a printable character (48 is "0"),
    // Qt sends the character rather than "%30", which means the same: the bytes, decoded, are
    // those of the time.
    void olderClockBytesDecodeToTheTime()
    {
        const QUrl url = CameraRequests::setClock(CameraAddress::accessPoint(), 8,
                                                  QDateTime(QDate(2049, 12, 31), QTime(23, 45, 48)), 60, false);
        const QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
        QVERIFY(query.startsWith("p="));
        QCOMPARE(QByteArray::fromPercentEncoding(query.mid(2)), QByteArray("\x31\x0c\x1f\x17\x2d\x30"));
        // No year the camera cannot hold.
        QVERIFY(CameraRequests::setClock(CameraAddress::accessPoint(), 8, QDateTime(QDate(1999, 1, 1), QTime(0, 0)), 0, false).isEmpty());
    }
};

VELKAMO_TEST_MAIN(TestCameraRequests)
#include "tst_camerarequests.moc"
