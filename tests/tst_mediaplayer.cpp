#include "mediaplayer.h"
#include "playercontrols.h"
#include "testsupport.h"
#include "videowidget.h"

#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

// The player window on its own, with a camera-like MP4 from a local file.
class TestMediaPlayer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_video;
    QPointer<mediaplayer> m_window;

    mediaplayer* open(bool fileMode)
    {
        m_window = new mediaplayer(nullptr, fileMode);
        return m_window;
    }
    static QMediaPlayer* playerOf(mediaplayer* w) { return w->findChild<QMediaPlayer*>(); }
    static QLabel* timeLabel(mediaplayer* w) { return w->findChild<QLabel*>("durationLabel"); }
    static bool busyCursor(QWidget* w)
    {
        return w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::BusyCursor;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Like the camera's files: H.264 + AAC, index (moov) written at the end.
        m_video = m_dir.filePath(QStringLiteral("GH010001.MP4"));
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i",
                      "testsrc2=size=640x360:rate=30", "-f", "lavfi", "-i",
                      "sine=frequency=440:sample_rate=48000", "-t", "4", "-c:v", "libx264",
                      "-preset", "veryfast", "-pix_fmt", "yuv420p", "-g", "30", "-c:a", "aac",
                      "-b:a", "96k", m_video});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);
    }

    void cleanup()
    {
        delete m_window;
    }

    void timeText_data()
    {
        QTest::addColumn<qint64>("durationMs"); // -1: the player never reported one
        QTest::addColumn<qint64>("positionMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing known yet") << qint64(-1) << qint64(0) << QString();
        QTest::newRow("position before duration") << qint64(-1) << qint64(2500) << "00:02 / 00:00";
        QTest::newRow("start of a short video") << qint64(4000) << qint64(0) << "00:00 / 00:04";
        QTest::newRow("59:59 stays mm:ss") << qint64(3599000) << qint64(65000) << "01:05 / 59:59";
        QTest::newRow("an hour turns hh:mm:ss") << qint64(3600000) << qint64(65400)
                                               << "00:01:05 / 01:00:00";
    }

    void timeText()
    {
        QFETCH(qint64, durationMs);
        QFETCH(qint64, positionMs);
        QFETCH(QString, text);
        mediaplayer* w = open(true);
        if (durationMs >= 0)
            w->durationChanged(durationMs);
        w->positionChanged(positionMs);
        QCOMPARE(timeLabel(w)->text(), text);
    }

    void statusTextsInTitle()
    {
        mediaplayer* w = open(true);
        // Status changes take the buffer level from the player (idle here: 0 or 1 by back end).
        const float idle = playerOf(w)->bufferProgress();
        const QString level = QString::number(qRound(qBound(0.0f, idle, 1.0f) * 100));
        w->statusChanged(QMediaPlayer::LoadingMedia);
        QCOMPARE(w->windowTitle(), QStringLiteral(" | Loading..."));
        QVERIFY(busyCursor(w));
        w->statusChanged(QMediaPlayer::EndOfMedia);
        QCOMPARE(w->windowTitle(), QStringLiteral(" | Loading..."));
        w->statusChanged(QMediaPlayer::StalledMedia);
        QCOMPARE(w->windowTitle(), QStringLiteral(" | Stalled %1%").arg(level));
        QVERIFY(busyCursor(w));
        w->bufferingProgress(0.456f);
        QCOMPARE(w->windowTitle(), QStringLiteral(" | Buffering 46%"));
        w->statusChanged(QMediaPlayer::BufferedMedia);
        QCOMPARE(w->windowTitle(), QStringLiteral(" | Buffering %1%").arg(level));
        QVERIFY(!busyCursor(w));
        w->statusChanged(QMediaPlayer::LoadedMedia);
        QCOMPARE(w->windowTitle(), QString());
        QVERIFY(!busyCursor(w));

        // A source that cannot play shows the player's own error.
        w->setSource(QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("missing.MP4"))));
        w->show();
        w->playVideo();
        QMediaPlayer* player = playerOf(w);
        QTRY_VERIFY_WITH_TIMEOUT(player->error() != QMediaPlayer::NoError, 10000);
        QTRY_COMPARE(w->windowTitle(), QStringLiteral(" | ") + player->errorString());
    }

    void streamForm()
    {
        // The preview's form: video only, half the screen in whole pixels. The test screen has
        // odd sides (tests/CMakeLists.txt), where a rounded half would be a pixel too large.
        mediaplayer* w = open(false);
        QVERIFY(w->findChildren<QSlider*>().isEmpty());
        QVERIFY(w->findChildren<PlayerControls*>().isEmpty());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(screen.width() % 2, 1);
        QCOMPARE(w->size(), QSize(screen.width() / 2, screen.height() / 2));
        // The Back key closes it, and closing deletes it.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyRelease(w, Qt::Key_Back);
        QTRY_VERIFY(m_window.isNull());
    }

    void doubleClickFullScreenAndBack()
    {
        mediaplayer* w = open(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto* video = w->findChild<VideoWidget*>();

        QTest::mouseDClick(video, Qt::LeftButton);
        QTRY_VERIFY(video->isFullScreen());
        QTest::mouseDClick(video, Qt::LeftButton);
        QTRY_VERIFY(!video->isFullScreen());
        QCOMPARE(video->parentWidget(), w);

        // Keyboard: Alt + keypad Enter toggles, Escape leaves; Escape outside full screen
        // does nothing.
        QTest::keyClick(video, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
        QTRY_VERIFY(video->isFullScreen());
        QTest::keyClick(video, Qt::Key_Escape);
        QTRY_VERIFY(!video->isFullScreen());
        QTest::keyClick(video, Qt::Key_Escape);
        QVERIFY(!video->isFullScreen());
    }

    // What the user chose while the video loaded holds once it has loaded, and not before:
    // over HTTP, GStreamer reports buffering, and now and then an error it gets over, while
    // the file still loads.
    void choiceWhileLoadingHolds_data()
    {
        QTest::addColumn<QString>("button"); // pressed after play; empty: none
        QTest::addColumn<int>("report");     // reported while loading; -1: nothing
        QTest::addColumn<QMediaPlayer::PlaybackState>("state");
        QTest::newRow("stop") << "stopButton" << -1 << QMediaPlayer::StoppedState;
        QTest::newRow("pause") << "playButton" << -1 << QMediaPlayer::PausedState;
        QTest::newRow("play, buffering reported")
            << QString() << int(QMediaPlayer::BufferingMedia) << QMediaPlayer::PlayingState;
        QTest::newRow("play, passing error")
            << QString() << int(QMediaPlayer::InvalidMedia) << QMediaPlayer::PlayingState;
    }

    void choiceWhileLoadingHolds()
    {
        QFETCH(QString, button);
        QFETCH(int, report);
        QFETCH(QMediaPlayer::PlaybackState, state);
        mediaplayer* w = open(true);
        w->show();
        w->setSource(QUrl::fromLocalFile(m_video));
        w->playVideo();
        QMediaPlayer* player = playerOf(w);
        // GStreamer loads in the background: the click and the report come while it loads.
        QCOMPARE(player->mediaStatus(), QMediaPlayer::LoadingMedia);
        auto* controls = w->findChild<PlayerControls*>();
        if (!button.isEmpty())
            controls->findChild<QToolButton*>(button)->click();
        if (report >= 0) {
            w->statusChanged(QMediaPlayer::MediaStatus(report));
            QCOMPARE(player->playbackState(), QMediaPlayer::StoppedState);
        }
        QTRY_COMPARE_WITH_TIMEOUT(player->playbackState(), state, 10000);
        QTRY_VERIFY(player->mediaStatus() != QMediaPlayer::LoadingMedia);
        const qint64 at = player->position();
        QTest::qWait(600);
        QCOMPARE(player->playbackState(), state);
        QCOMPARE(controls->state(), state);
        QCOMPARE(player->position() > at, state == QMediaPlayer::PlayingState);
    }
};

VELKAMO_TEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
