// A HERO12 whose firmware writes its web server's log line before the status line of every
// media answer (lists, thumbnails, files, partial files), on its Wi-Fi and on a cable: the
// window lists its card, shows thumbnails and a picture, downloads and verifies files, and
// continues a download a crash cut where it stopped.

#include "cameralist.h"
#include "camsim.h"
#include "dlgshowpict.h"
#include "mainwindow.h"
#include "medialist.h"
#include "partrecord.h"
#include "picturelabel.h"
#include "previewform.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kSerial = QStringLiteral("C3501324645504");
constexpr int kBytes = 600000;
const QStringList kCard{QStringLiteral("100GOPRO/GOPR0003.JPG"), QStringLiteral("100GOPRO/GOPR0002.JPG"),
                        QStringLiteral("100GOPRO/GOPR0001.JPG")};

QByteArray card()
{
    return QStringLiteral(R"({"media":[{"d":"100GOPRO","fs":[
        {"n":"GOPR0003.JPG","mod":"30","s":"%1"},{"n":"GOPR0002.JPG","mod":"20","s":"%1"},
        {"n":"GOPR0001.JPG","mod":"10","s":"%1"}]}]})")
        .arg(kBytes)
        .toUtf8();
}

} // namespace

class TestDebugLine : public QObject
{
    Q_OBJECT

    CamSim m_camera;
    std::unique_ptr<MainWindow> m_window;

    PreviewForm* tile(const QString& path) const { return m_window->findChild<PreviewForm*>(path); }
    QString status() const { return m_window->statusBar()->currentMessage(); }
    void click(const char* button) { m_window->findChild<QPushButton*>(button)->click(); }
    // Ticks path or not, as a user does, whatever a download left.
    void tick(const QString& path, bool on = true)
    {
        QCheckBox* box = tile(path)->findChild<QCheckBox*>("checkBoxFile");
        if (box->isChecked() != on)
            box->click();
    }
    QStringList ranges(const QString& path)
    {
        QStringList seen;
        for (const QJsonValue& entry : m_camera.requests()) {
            if (entry["path"].toString() == "/videos/DCIM/" + path)
                seen << QString("%1 %2").arg(entry["range"].toString()).arg(entry["status"].toInt());
        }
        return seen;
    }

private slots:
    void init() { QVERIFY(CamSim::joinNetwork()); }
    void cleanup()
    {
        m_window.reset();
        m_camera.stop();
        CamSim::unplugUsb(kSerial);
    }

    void cardThroughTheLine_data()
    {
        QTest::addColumn<bool>("cable");
        QTest::newRow("Wi-Fi") << false;
        QTest::newRow("USB") << true;
    }
    void cardThroughTheLine()
    {
        QFETCH(bool, cable);
        testsupport::installFreshDataTree();
        testsupport::writeDefaultModel("hero12");
        const QStringList args{"--model", "12", "--debug-line"};
        if (cable) {
            if (const QString why = CamSim::usbUnavailable(); !why.isEmpty())
                QSKIP(qPrintable(why));
            QVERIFY(m_camera.startUsb(kSerial, args));
        } else {
            QVERIFY(m_camera.start(QStringList{"--address", "10.5.5.9"} + args));
        }
        QVERIFY(m_camera.setMediaJson(card()));
        // What the camera holds, fetched without the line by a plain client.
        QVERIFY(m_camera.setDebugLine(false));
        QNetworkAccessManager plain;
        plain.setProxy(QNetworkProxy::NoProxy);
        const QString host = cable ? CamSim::usbCameraAddress(kSerial).toString() : QStringLiteral("10.5.5.9");
        QHash<QString, QByteArray> held;
        for (const QString& path : kCard) {
            std::unique_ptr<QNetworkReply> reply(
                plain.get(QNetworkRequest(QUrl(QString("http://%1:8080/videos/DCIM/%2").arg(host, path)))));
            QSignalSpy done(reply.get(), &QNetworkReply::finished);
            QVERIFY(done.wait(10000));
            held[path] = reply->readAll();
            QCOMPARE(held[path].size(), kBytes);
        }
        QVERIFY(m_camera.setDebugLine(true));
        m_camera.clearLog();

        // A download of the oldest file cut by a crash: its beginning and its record.
        QTemporaryDir folder;
        const QString part = folder.filePath("GOPR0001.JPG.part");
        QFile leftover(part);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(held[kCard.at(2)].left(200000));
        leftover.close();
        QString error;
        const PartRecord record{cable ? kSerial : QStringLiteral("C3441324784461"), kCard.at(2), kBytes, 10};
        QVERIFY2(record.write(PartRecord::pathFor(part), &error), qPrintable(error));

        PromptRecorder prompts;
        prompts.setDefaultDirectory(folder.path());
        m_window = std::make_unique<MainWindow>();
        m_window->resize(1280, 800);
        m_window->show();
        const QString name = cable ? QStringLiteral("USB · HERO12 Black · …504") : QStringLiteral("Wi-Fi · HERO12 Black · …461");
        QComboBox* cameras = m_window->findChild<QComboBox*>("comboCameras");
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::names(cameras).contains(name), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(cameralist::stateOf(cameras, name) != "offline", 8000);
        QVERIFY(cameralist::choose(cameras, name));

        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Total media files: 3"), 10000);
        for (const QString& path : kCard)
            QTRY_VERIFY2_WITH_TIMEOUT(tile(path) && tile(path)->picture()->hasThumbnail(), qPrintable(path), 10000);

        QTest::mouseDClick(tile(kCard.at(0))->picture(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<dlgshowpict*>(), 10000);
        QCOMPARE(m_window->findChild<dlgshowpict*>()->picture()->image().size(),
                 QImage::fromData(held[kCard.at(0)]).size());
        m_window->findChild<dlgshowpict*>()->close();

        tick(kCard.at(0));
        tick(kCard.at(1));
        click("pbDownload");
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Downloaded 2 of 2 files to %1.").arg(folder.path()), 30000);

        // The rest of the cut file, asked for with Range and answered 206 behind the line.
        tick(kCard.at(0), false);
        tick(kCard.at(1), false);
        tick(kCard.at(2));
        click("pbDownload");
        QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Downloaded 1 of 1 files to %1.").arg(folder.path()), 30000);
        QCOMPARE(ranges(kCard.at(2)), QStringList{"bytes=200000- 206"});

        for (const QString& path : kCard) {
            QFile saved(folder.filePath(path.section('/', 1)));
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QVERIFY2(saved.readAll() == held[path], qPrintable(path));
        }
        QVERIFY(!QFileInfo::exists(part));
    }
};

VELKAMO_TEST_MAIN(TestDebugLine)
#include "tst_debugline.moc"
