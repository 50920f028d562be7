#include "playercontrols.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

// The control strip on its own: what it shows for each reported state and what it announces
// for each user action.
class TestPlayerControls : public QObject
{
    Q_OBJECT

private:
    struct Strip {
        PlayerControls controls;
        QToolButton* play = controls.findChild<QToolButton*>(QStringLiteral("playButton"));
        QToolButton* stop = controls.findChild<QToolButton*>(QStringLiteral("stopButton"));
        QToolButton* mute = controls.findChild<QToolButton*>(QStringLiteral("muteButton"));
        QSlider* volume = controls.findChild<QSlider*>(QStringLiteral("volumeSlider"));
        QComboBox* rate = controls.findChild<QComboBox*>(QStringLiteral("rateBox"));
    };

    static QImage look(const QIcon& icon) { return icon.pixmap(QSize(16, 16)).toImage(); }
    static QImage standard(QStyle::StandardPixmap which)
    {
        return look(QApplication::style()->standardIcon(which));
    }

private slots:
    void initTestCase()
    {
        // Icon checks below only mean something if the style draws these differently.
        QVERIFY(standard(QStyle::SP_MediaPlay) != standard(QStyle::SP_MediaPause));
        QVERIFY(standard(QStyle::SP_MediaVolume) != standard(QStyle::SP_MediaVolumeMuted));
    }

    // What the player reports sets the buttons; a click only announces the wish.
    void state_data()
    {
        QTest::addColumn<QMediaPlayer::PlaybackState>("from");
        QTest::addColumn<QMediaPlayer::PlaybackState>("to");
        QTest::addColumn<bool>("playButtonPauses"); // else it plays; Stop is live unless stopped
        using P = QMediaPlayer;
        QTest::newRow("as built") << P::StoppedState << P::StoppedState << false;
        QTest::newRow("stopped->playing") << P::StoppedState << P::PlayingState << true;
        QTest::newRow("playing->paused") << P::PlayingState << P::PausedState << false;
        QTest::newRow("playing->stopped") << P::PlayingState << P::StoppedState << false;
        QTest::newRow("stopped->paused") << P::StoppedState << P::PausedState << false;
    }

    void state()
    {
        QFETCH(QMediaPlayer::PlaybackState, from);
        QFETCH(QMediaPlayer::PlaybackState, to);
        QFETCH(bool, playButtonPauses);
        Strip s;
        s.controls.setState(from);
        s.controls.setState(to);
        const bool stopped = to == QMediaPlayer::StoppedState;
        QCOMPARE(s.stop->isEnabled(), !stopped);
        const QImage icon = standard(playButtonPauses ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay);
        QCOMPARE(look(s.play->icon()), icon);

        QSignalSpy play(&s.controls, &PlayerControls::play);
        QSignalSpy pause(&s.controls, &PlayerControls::pause);
        QSignalSpy stop(&s.controls, &PlayerControls::stop);
        QTest::mouseClick(s.play, Qt::LeftButton);
        QTest::mouseClick(s.play, Qt::LeftButton);
        QCOMPARE(pause.count(), playButtonPauses ? 2 : 0);
        QCOMPARE(play.count(), playButtonPauses ? 0 : 2);
        QCOMPARE(look(s.play->icon()), icon);
        QTest::mouseClick(s.stop, Qt::LeftButton);
        QCOMPARE(stop.count(), stopped ? 0 : 1);
    }

    // The slider is logarithmic (as loudness is heard); the player takes linear volume.
    void volume_data()
    {
        QTest::addColumn<float>("linear");
        QTest::addColumn<int>("slider");
        QTest::newRow("0") << 0.0f << 0;
        QTest::newRow("5%") << 0.05f << 21;
        QTest::newRow("25%") << 0.25f << 68;
        QTest::newRow("50%") << 0.5f << 90;
        QTest::newRow("80%") << 0.8f << 97;
        QTest::newRow("100%") << 1.0f << 99; // Qt's logarithmic scale tops out at 0.99
    }

    void volume()
    {
        QFETCH(float, linear);
        QFETCH(int, slider);
        Strip s;
        s.volume->setValue(50);
        QSignalSpy changed(&s.controls, &PlayerControls::changeVolume);
        s.controls.setVolume(linear);
        QCOMPARE(s.volume->value(), slider);
        // Reading back lands within one slider step of what was set; zero is exactly zero.
        const float step = PlayerControls::volumeForSliderValue(slider + 1)
                           - PlayerControls::volumeForSliderValue(slider);
        QCOMPARE(changed.count(), 1);
        QVERIFY2(qAbs(changed.last().at(0).toFloat() - linear) <= (linear > 0 ? step + 1e-6f : 0.0f),
                 qPrintable(QString::number(changed.last().at(0).toFloat())));
    }

    void rateChoiceAndReselection()
    {
        Strip s;
        s.controls.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.controls));
        QSignalSpy rate(&s.controls, &PlayerControls::changeRate);
        // Taking the item already selected from the list announces it again.
        s.rate->showPopup();
        QTRY_VERIFY(s.rate->view()->isVisible());
        QTest::keyClick(s.rate->view(), Qt::Key_Return);
        QTRY_COMPARE(rate.count(), 1);
        QCOMPARE(rate.last().at(0).toDouble(), 1.0);

        s.rate->showPopup();
        QTRY_VERIFY(s.rate->view()->isVisible());
        QTest::keyClick(s.rate->view(), Qt::Key_Up);
        QTest::keyClick(s.rate->view(), Qt::Key_Return);
        QTRY_COMPARE(rate.count(), 2);
        QCOMPARE(rate.last().at(0).toDouble(), 0.5);
        QCOMPARE(s.controls.playbackRate(), 0.5);
    }

    void muteFollowsTheOutput()
    {
        Strip s;
        QSignalSpy muting(&s.controls, &PlayerControls::changeMuting);
        s.mute->click();
        // Nothing changes until the output reports it.
        QCOMPARE(look(s.mute->icon()), standard(QStyle::SP_MediaVolume));
        s.controls.setMuted(true);
        QCOMPARE(look(s.mute->icon()), standard(QStyle::SP_MediaVolumeMuted));
        s.mute->click();
        QCOMPARE(QList<QVariantList>(muting), (QList<QVariantList>{{true}, {false}}));
    }
};

VELKAMO_TEST_MAIN(TestPlayerControls)
#include "tst_playercontrols.moc"
