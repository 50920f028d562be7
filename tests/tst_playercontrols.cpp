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
        QToolButton* play = nullptr;
        QToolButton* stop = nullptr;
        QToolButton* mute = nullptr;
        QSlider* volume = nullptr;
        QComboBox* rate = nullptr;
        Strip()
        {
            play = controls.findChild<QToolButton*>(QStringLiteral("playButton"));
            stop = controls.findChild<QToolButton*>(QStringLiteral("stopButton"));
            mute = controls.findChild<QToolButton*>(QStringLiteral("muteButton"));
            volume = controls.findChild<QSlider*>(QStringLiteral("volumeSlider"));
            rate = controls.findChild<QComboBox*>(QStringLiteral("rateBox"));
        }
    };

    static QImage look(const QIcon& icon) { return icon.pixmap(QSize(16, 16)).toImage(); }
    QImage standard(QStyle::StandardPixmap which) const
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

    void startsStoppedUnmutedAtNormalRate()
    {
        Strip s;
        QVERIFY(s.play && s.stop && s.mute && s.volume && s.rate);
        QCOMPARE(s.controls.state(), QMediaPlayer::StoppedState);
        QVERIFY(!s.stop->isEnabled());
        QCOMPARE(look(s.play->icon()), standard(QStyle::SP_MediaPlay));
        QCOMPARE(look(s.stop->icon()), standard(QStyle::SP_MediaStop));
        QCOMPARE(look(s.mute->icon()), standard(QStyle::SP_MediaVolume));
        QVERIFY(!s.controls.isMuted());
        QCOMPARE(s.controls.playbackRate(), 1.0);
        QCOMPARE(s.rate->currentText(), QStringLiteral("1.0x"));
        QCOMPARE(s.volume->value(), 0);
        QStringList rates;
        for (int i = 0; i < s.rate->count(); ++i)
            rates << s.rate->itemText(i);
        QCOMPARE(rates, (QStringList{"0.5x", "1.0x", "2.0x"}));
    }

    void stateTable_data()
    {
        QTest::addColumn<QMediaPlayer::PlaybackState>("from");
        QTest::addColumn<QMediaPlayer::PlaybackState>("to");
        QTest::addColumn<bool>("stopEnabled");
        QTest::addColumn<int>("playIcon");
        QTest::addColumn<bool>("playButtonPauses");
        using P = QMediaPlayer;
        QTest::newRow("stopped->playing") << P::StoppedState << P::PlayingState << true
                                          << int(QStyle::SP_MediaPause) << true;
        QTest::newRow("playing->paused") << P::PlayingState << P::PausedState << true
                                         << int(QStyle::SP_MediaPlay) << false;
        QTest::newRow("paused->playing") << P::PausedState << P::PlayingState << true
                                         << int(QStyle::SP_MediaPause) << true;
        QTest::newRow("playing->stopped") << P::PlayingState << P::StoppedState << false
                                          << int(QStyle::SP_MediaPlay) << false;
        QTest::newRow("paused->stopped") << P::PausedState << P::StoppedState << false
                                         << int(QStyle::SP_MediaPlay) << false;
        QTest::newRow("stopped->paused") << P::StoppedState << P::PausedState << true
                                         << int(QStyle::SP_MediaPlay) << false;
    }

    void stateTable()
    {
        QFETCH(QMediaPlayer::PlaybackState, from);
        QFETCH(QMediaPlayer::PlaybackState, to);
        QFETCH(bool, stopEnabled);
        QFETCH(int, playIcon);
        QFETCH(bool, playButtonPauses);

        Strip s;
        s.controls.setState(from);
        s.controls.setState(to);
        QCOMPARE(s.controls.state(), to);
        QCOMPARE(s.stop->isEnabled(), stopEnabled);
        QCOMPARE(look(s.play->icon()), standard(QStyle::StandardPixmap(playIcon)));

        QSignalSpy play(&s.controls, &PlayerControls::play);
        QSignalSpy pause(&s.controls, &PlayerControls::pause);
        s.play->click();
        QCOMPARE(pause.count(), playButtonPauses ? 1 : 0);
        QCOMPARE(play.count(), playButtonPauses ? 0 : 1);
    }

    void sameStateTouchesNothing()
    {
        Strip s;
        s.controls.setState(QMediaPlayer::PlayingState);
        const QIcon marker = QApplication::style()->standardIcon(QStyle::SP_DialogOkButton);
        s.play->setIcon(marker);
        s.controls.setState(QMediaPlayer::PlayingState);
        QCOMPARE(look(s.play->icon()), look(marker));
        QVERIFY(s.stop->isEnabled());
    }

    void playTwiceWithoutStateReportEmitsPlayTwice()
    {
        Strip s;
        QSignalSpy play(&s.controls, &PlayerControls::play);
        QSignalSpy pause(&s.controls, &PlayerControls::pause);
        QTest::mouseClick(s.play, Qt::LeftButton);
        QTest::mouseClick(s.play, Qt::LeftButton);
        QCOMPARE(play.count(), 2);
        QCOMPARE(pause.count(), 0);
        // The click alone does not change the icon: only the player's report does.
        QCOMPARE(look(s.play->icon()), standard(QStyle::SP_MediaPlay));
    }

    void stopButtonAnnouncesStop()
    {
        Strip s;
        QSignalSpy stop(&s.controls, &PlayerControls::stop);
        QTest::mouseClick(s.stop, Qt::LeftButton); // disabled while stopped
        QCOMPARE(stop.count(), 0);
        s.controls.setState(QMediaPlayer::PlayingState);
        QTest::mouseClick(s.stop, Qt::LeftButton);
        QCOMPARE(stop.count(), 1);
    }

    void volumeZeroBothWays()
    {
        Strip s;
        s.controls.setVolume(1.0f);
        QCOMPARE(s.volume->value(), 99); // Qt's logarithmic scale tops out at 0.99
        QSignalSpy changed(&s.controls, &PlayerControls::changeVolume);
        s.controls.setVolume(0.0f);
        QCOMPARE(s.volume->value(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(0).toFloat(), 0.0f);

        s.volume->setValue(40);
        changed.clear();
        // The user drags the slider all the way down.
        s.volume->setFocus();
        QTest::keyClick(s.volume, Qt::Key_Home);
        QCOMPARE(s.volume->value(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(0).toFloat(), 0.0f);
        QCOMPARE(s.controls.volume(), 0.0f);
    }

    void volumeSliderIsLogarithmic_data()
    {
        QTest::addColumn<float>("linear");
        QTest::addColumn<int>("slider");
        QTest::newRow("5%") << 0.05f << 21;
        QTest::newRow("25%") << 0.25f << 68;
        QTest::newRow("50%") << 0.5f << 90;
        QTest::newRow("80%") << 0.8f << 97;
    }

    void volumeSliderIsLogarithmic()
    {
        QFETCH(float, linear);
        QFETCH(int, slider);
        Strip s;
        s.controls.setVolume(linear);
        QCOMPARE(s.volume->value(), slider);
        // Reading back lands within one slider step of what was set.
        const float step = PlayerControls::volumeForSliderValue(slider + 1)
                           - PlayerControls::volumeForSliderValue(slider);
        QVERIFY2(qAbs(s.controls.volume() - linear) <= step,
                 qPrintable(QStringLiteral("%1 -> %2").arg(linear).arg(s.controls.volume())));
        QSignalSpy changed(&s.controls, &PlayerControls::changeVolume);
        s.volume->setValue(50);
        QVERIFY(changed.last().at(0).toFloat() < 0.2f);
    }

    void rateChoiceAndReselection()
    {
        Strip s;
        s.controls.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.controls));
        QSignalSpy rate(&s.controls, &PlayerControls::changeRate);

        // Keyboard choice of the next item.
        s.rate->setFocus();
        QTest::keyClick(s.rate, Qt::Key_Down);
        QCOMPARE(rate.count(), 1);
        QCOMPARE(rate.last().at(0).toDouble(), 2.0);
        QCOMPARE(s.controls.playbackRate(), 2.0);

        // Opening the list and taking the item already selected announces it again.
        s.rate->showPopup();
        QTRY_VERIFY(s.rate->view()->isVisible());
        QTest::keyClick(s.rate->view(), Qt::Key_Return);
        QTRY_COMPARE(rate.count(), 2);
        QCOMPARE(rate.last().at(0).toDouble(), 2.0);

        s.rate->showPopup();
        QTRY_VERIFY(s.rate->view()->isVisible());
        QTest::keyClick(s.rate->view(), Qt::Key_Up);
        QTest::keyClick(s.rate->view(), Qt::Key_Up);
        QTest::keyClick(s.rate->view(), Qt::Key_Return);
        QTRY_COMPARE(rate.count(), 3);
        QCOMPARE(rate.last().at(0).toDouble(), 0.5);
    }

    void muteRoundTrip()
    {
        Strip s;
        QSignalSpy muting(&s.controls, &PlayerControls::changeMuting);
        s.mute->click();
        QCOMPARE(muting.count(), 1);
        QCOMPARE(muting.last().at(0).toBool(), true);
        // Nothing changes until the output reports it.
        QVERIFY(!s.controls.isMuted());
        QCOMPARE(look(s.mute->icon()), standard(QStyle::SP_MediaVolume));

        s.controls.setMuted(true);
        QVERIFY(s.controls.isMuted());
        QCOMPARE(look(s.mute->icon()), standard(QStyle::SP_MediaVolumeMuted));
        s.mute->click();
        QCOMPARE(muting.last().at(0).toBool(), false);
        s.controls.setMuted(false);
        QCOMPARE(look(s.mute->icon()), standard(QStyle::SP_MediaVolume));
    }
};

VELKAMO_TEST_MAIN(TestPlayerControls)
#include "tst_playercontrols.moc"
