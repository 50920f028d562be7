// Playing from the camera end to end through the real main window: a video tile's
// double-click and the live preview, with the frames that reach the screen.

#include "camsim.h"
#include "mainwindow.h"
#include "mediaplayer.h"
#include "playercontrols.h"
#include "picturelabel.h"
#include "previewform.h"
#include "promptrecorder.h"
#include "recordingproxy.h"
#include "testsupport.h"
#include "videoprobe.h"
#include "videowidget.h"

#include <QAudioOutput>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMediaFormat>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>

#include <memory>

namespace {

const QString kOldStart = "/gp/gpControl/execute?p1=gpStream&a1=proto_v2&c1=restart";
const QString kNewStart = "/gopro/camera/stream/start";
const QString kOldStop = "/gp/gpControl/execute?p1=gpStream&c1=stop";
const QString kNewStop = "/gopro/camera/stream/stop";

QList<mediaplayer*> playerWindows()
{
    QList<mediaplayer*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* player = qobject_cast<mediaplayer*>(w))
            found << player;
    return found;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private:
    RecordingProxy m_proxy;
    CamSim m_sim;
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<MainWindow> m_window;
    // What "--media-count 8" puts on the simulated card first: a picture, and the first video.
    const QString m_picture = "100GOPRO/GOPR0001.JPG";
    const QString m_video = "100GOPRO/GH010003.MP4";

    void click(const char* button) { m_window->findChild<QPushButton*>(button)->click(); }
    QComboBox* box(const char* name) const { return m_window->findChild<QComboBox*>(name); }
    int simCount(const char* key) { return m_sim.state()[key].toInt(); }
    bool streaming() { return m_sim.state()["streaming"].toBool(); }
    PreviewForm* tile(const QString& path) const { return m_window->findChild<PreviewForm*>(path); }

    // A fresh window, online (it goes online on the first keep-alive answer, every 3 s) and
    // with its grid built from the simulated card.
    bool openWindow()
    {
        // The list is asked for on going online (one the window cancels at once for the next
        // does not reach the camera). Either family's list: the camera may tell a model that
        // reads its card the newer way.
        const auto lists = [this] {
            return m_sim.countRequests("/gp/gpMediaList") + m_sim.countRequests("/gopro/media/list");
        };
        const int before = lists();
        m_window.reset(new MainWindow);
        m_window->resize(1100, 700);
        m_window->show();
        const bool ready = QTest::qWaitFor([&] { return lists() >= before + 1; }, 12000)
                           && QTest::qWaitFor([this] { return tile(m_video); }, 12000);
        m_sim.clearLog();
        return ready;
    }

    static mediaplayer* newPlayer()
    {
        (void)QTest::qWaitFor([] { return !playerWindows().isEmpty(); }, 5000);
        return playerWindows().value(0);
    }

    // Moving pictures: frames reach the sink, the screen shows them, and they change.
    static bool realFrames(mediaplayer* w, int timeoutMs)
    {
        VideoWidget* video = w->findChild<VideoWidget*>();
        VideoProbe probe(video->videoSink());
        const auto screen = [video] { return VideoProbe::onScreen(video); };
        if (!QTest::qWaitFor([&] { return probe.frames() >= 15; }, timeoutMs)
            || VideoProbe::distinctColours(probe.lastImage()) <= 100
            || !QTest::qWaitFor([&] { return VideoProbe::distinctColours(screen()) > 100; }))
            return false;
        const QImage first = screen();
        return QTest::qWaitFor([&] { return screen() != first; });
    }

    // Keep-alives the camera gets in the 3 s after now (the program sends one every 2.5 s).
    int keepAlivesSoon()
    {
        const int sent = simCount("keepAlives");
        QTest::qWait(3000);
        return simCount("keepAlives") - sent;
    }

    // HERO5 to HERO8 end the stream 25 s after the start unless kept alive.
    void olderCameraPreviewOutlivesItsTimeout()
    {
        QElapsedTimer clock;
        clock.start();
        click("pbStart_LiveView");
        mediaplayer* w = newPlayer();
        QVERIFY(w && realFrames(w, 10000));
        QTest::qWait(int(qMax<qint64>(0, 35000 - clock.elapsed())));
        // Any new frame now proves it: without the keep-alive the stream ended at 25 s.
        QVERIFY(realFrames(w, 20000));
        QVERIFY(streaming());

        // Closing the last preview window ends the keep-alive; Stop ends the stream.
        w->close();
        QTRY_VERIFY(playerWindows().isEmpty());
        QCOMPARE(keepAlivesSoon(), 0);
        click("pbStopLiveView");
        QVERIFY(m_sim.waitForRequest(kOldStop, 3000));
        QTRY_VERIFY(!streaming());
    }

private slots:
    void initTestCase()
    {
        // Every request to the camera, the player's own included, goes direct.
        QVERIFY(m_proxy.start());
        m_prompts.reset(new PromptRecorder);
        testsupport::installFreshDataTree();
        QVERIFY(m_sim.start({"--media-count", "8"}));
    }

    void cleanupTestCase()
    {
        QVERIFY2(m_proxy.connections() == 0, m_proxy.firstRequest().constData());
    }

    void cleanup()
    {
        qDeleteAll(playerWindows());
        m_window.reset();
        m_prompts.reset(); // the old recorder must be gone before a new one takes over
        m_prompts.reset(new PromptRecorder);
        CamSim::joinNetwork();
        m_sim.setModel(5);
        m_sim.setFault(m_picture, "none");
    }

    void videoTilePlaysFromCamera()
    {
        QVERIFY(openWindow());
        QTemporaryDir target;
        m_prompts->setDefaultDirectory(target.path());
        // While a download is in progress, a double-click opens nothing.
        QVERIFY(m_sim.setFault(m_picture, "stall"));
        tile(m_picture)->findChild<QCheckBox*>("checkBoxFile")->click();
        click("pbDownload");
        QVERIFY(m_sim.waitForRequest("/videos/DCIM/" + m_picture, 5000));
        QTest::mouseDClick(tile(m_video)->picture(), Qt::LeftButton);
        QTest::qWait(500);
        QCOMPARE(playerWindows().size(), 0);

        // Once the batch is over (its closing message), the file plays from the camera.
        QVERIFY(m_sim.setFault(m_picture, "none"));
        QTRY_VERIFY_WITH_TIMEOUT(m_window->statusBar()->currentMessage().startsWith("Downloaded"),
                                 10000);
        QTest::mouseDClick(tile(m_video)->picture(), Qt::LeftButton);
        mediaplayer* w = newPlayer();
        QVERIFY(w);
        QMediaPlayer* player = w->findChild<QMediaPlayer*>();
        QCOMPARE(player->source(), QUrl("http://10.5.5.9:8080/videos/DCIM/" + m_video));
        QVERIFY(realFrames(w, 10000));
        auto* slider = w->findChild<QSlider*>("positionSlider");
        QTRY_VERIFY(slider->value() > 300);
        QCOMPARE(slider->maximum(), int(player->duration()));
        QVERIFY(w->findChild<QLabel*>("durationLabel")->text().endsWith(" / 00:06"));

        // The strip starts at the output's volume (not at its own 0); volume, mute and rate
        // reach the player and its output. No sound device here: it plays all the same.
        auto* controls = w->findChild<PlayerControls*>();
        auto* output = w->findChild<QAudioOutput*>();
        QCOMPARE(controls->volume(), output->volume());
        controls->findChild<QSlider*>("volumeSlider")->setValue(50);
        QCOMPARE(output->volume(), PlayerControls::volumeForSliderValue(50));
        controls->findChild<QToolButton*>("muteButton")->click();
        QVERIFY(output->isMuted() && controls->isMuted());
        auto* rate = controls->findChild<QComboBox*>("rateBox");
        rate->setFocus();
        QTest::keyClick(rate, Qt::Key_Down);
        QCOMPARE(player->playbackRate(), 2.0);
        QTRY_COMPARE_WITH_TIMEOUT(player->mediaStatus(), QMediaPlayer::EndOfMedia, 10000);
        QTRY_COMPARE(controls->state(), QMediaPlayer::StoppedState);
    }

    // Start with "3rd" ticked (as built) tells where to look; endpoints follow the model.
    void streamEndpointsFollowModel_data()
    {
        QTest::addColumn<int>("camera");    // the model the camera reports
        QTest::addColumn<QString>("model"); // the selector's text, which Stop goes by
        QTest::addColumn<QStringList>("sent"); // port and target
        QTest::addColumn<bool>("older"); // UDP keep-alives until Stop; bit rate, window size
        const QStringList oldFamily{"80 " + kOldStart, "80 " + kOldStop};
        const QStringList newFamily{"8080 " + kNewStart, "8080 " + kNewStop};
        QTest::newRow("hero8") << 8 << "hero8" << oldFamily << true;
        QTest::newRow("hero9") << 9 << "hero9" << newFamily << false;
        QTest::newRow("hero13") << 13 << "hero13" << newFamily << false;
        QTest::newRow("empty selector: no stop") << 5 << "" << oldFamily.mid(0, 1) << true;
    }

    void streamEndpointsFollowModel()
    {
        QFETCH(int, camera);
        QFETCH(QString, model);
        QFETCH(QStringList, sent);
        QFETCH(bool, older);
        QVERIFY(m_sim.setModel(camera));
        QVERIFY(openWindow());
        box("comboModel")->setCurrentIndex(box("comboModel")->findText(model));
        QCOMPARE(box("comboModel")->currentText(), model);
        // Only the older cameras' profiles have bit rates and window sizes; they go out when chosen.
        for (const char* name : {"comboBoxLiveview_BitRate", "comboBoxLiveView_WindowSize"}) {
            QComboBox* choice = box(name);
            QCOMPARE(choice->count() > 1, older && !model.isEmpty());
            if (choice->count() < 2)
                continue;
            const int next = (choice->currentIndex() + 1) % choice->count();
            testsupport::choose(choice, next);
            QVERIFY(m_sim.waitForRequest(QUrl(choice->itemData(next).toString()).path(), 3000));
        }
        m_sim.clearLog();
        const int keepAlives = simCount("keepAlives");
        click("pbStart_LiveView");
        QVERIFY(m_sim.waitForRequest(sent.first().section(' ', 1), 3000));
        QCOMPARE(m_prompts->requests().value(0).text,
                 QString("please view stream udp://@:8554 in 3rd applications"));
        QTRY_COMPARE(simCount("keepAlives") > keepAlives, older);
        click("pbStopLiveView");
        QCOMPARE(keepAlivesSoon(), 0);
        QCOMPARE(m_sim.targets().filter("tream"), sent);
        QCOMPARE(playerWindows().size(), 0);
    }

    // The built-in player shows the preview of each codec: H.264 up to the HERO12, HEVC on
    // the HERO13.
    void previewShowsEachCodec_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("codec"); // what the camera sends
        QTest::newRow("hero12") << 12 << "h264";
        QTest::newRow("hero13") << 13 << "hevc";
    }

    void previewShowsEachCodec()
    {
        QFETCH(int, model);
        QFETCH(QString, codec);
        QVERIFY(m_sim.setModel(model));
        QVERIFY(openWindow());
        box("comboModel")->setCurrentIndex(box("comboModel")->findText(QString("hero%1").arg(model)));
        m_window->findChild<QCheckBox*>("checkBox_3rdPreview")->click(); // the built-in player
        click("pbStart_LiveView");
        mediaplayer* w = newPlayer();
        QVERIFY(w);
        QTRY_COMPARE(m_sim.state()["streamCodec"].toString(), codec);
        QVERIFY(realFrames(w, 10000));
        QCOMPARE(w->findChild<QMediaPlayer*>()->error(), QMediaPlayer::NoError);
        click("pbStopLiveView");
        QTRY_VERIFY(!streaming());
    }

    // Without an HEVC decoder (tst_preview_nohevc hides them), a HERO13's Start says what
    // to install instead of opening a black window, and the camera is not asked to stream.
    void previewNeedsDecoder()
    {
        if (QMediaFormat().supportedVideoCodecs(QMediaFormat::Decode).contains(QMediaFormat::VideoCodec::H265))
            QSKIP("an HEVC decoder is installed");
        QVERIFY(m_sim.setModel(13));
        QVERIFY(openWindow());
        box("comboModel")->setCurrentIndex(box("comboModel")->findText("hero13"));
        m_window->findChild<QCheckBox*>("checkBox_3rdPreview")->click();
        click("pbStart_LiveView");
        QCOMPARE(m_prompts->count(), 1);
        QCOMPARE(m_prompts->requests().first().kind, Prompt::Kind::Warning);
        QVERIFY(m_prompts->requests().first().text.contains("HEVC"));
        QVERIFY(m_prompts->requests().first().text.contains("gstreamer1.0-libav"));
        QCOMPARE(playerWindows().size(), 0);
        QVERIFY(!m_sim.waitForRequest(kNewStart, 1000));
    }

    // The built-in preview: with the camera's address one of ours (as here) and not (as on a
    // real PC), where the player must still take what arrives on port 8554. Last, as a
    // request sent while the address is gone may reach the simulator much later.
    void previewInBuiltInPlayer()
    {
        QVERIFY(openWindow());
        m_window->findChild<QCheckBox*>("checkBox_3rdPreview")->click(); // the built-in player
        // The keep-alive is the program's own doing: one media back end tells.
        if (qEnvironmentVariable("QT_MEDIA_BACKEND") != QLatin1String("ffmpeg")) {
            olderCameraPreviewOutlivesItsTimeout();
            if (QTest::currentTestFailed())
                return;
        }

        QVERIFY(CamSim::leaveNetwork());
        // The stream comes from elsewhere than 10.5.5.9, to a local address of ours.
        QProcess sender;
        sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sender.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-re", "-f", "lavfi", "-i",
                                "testsrc2=size=640x360:rate=30", "-t", "60", "-c:v", "libx264",
                                "-preset", "ultrafast", "-tune", "zerolatency", "-g", "15",
                                "-pix_fmt", "yuv420p", "-f", "mpegts",
                                "udp://127.0.0.1:8554?pkt_size=1316"});
        QVERIFY(sender.waitForStarted());
        click("pbStart_LiveView");
        mediaplayer* w = newPlayer();
        QVERIFY(w);
        QVERIFY(!w->findChild<PlayerControls*>()); // video only
        QVERIFY(realFrames(w, 10000));
        QCOMPARE(w->findChild<QMediaPlayer*>()->error(), QMediaPlayer::NoError);
    }
};

VELKAMO_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
