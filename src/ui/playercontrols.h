#pragma once

#include <QMediaPlayer>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QAbstractButton;
class QAbstractSlider;
class QComboBox;
QT_END_NAMESPACE

// The player window's control strip. It knows no player: it shows the state it is told and
// announces what the user wants; the window wires both directions.
class PlayerControls : public QWidget
{
    Q_OBJECT

public:
    explicit PlayerControls(QWidget* parent = nullptr);

    QMediaPlayer::PlaybackState state() const;
    float volume() const;
    bool isMuted() const;
    double playbackRate() const;

    // The slider works in hundredths of the logarithmic (perceived) volume; the player and
    // its audio output use the linear one.
    static int sliderValueForVolume(float linearVolume);
    static float volumeForSliderValue(int sliderValue);

public slots:
    void setState(QMediaPlayer::PlaybackState state);
    void setVolume(float volume);
    void setMuted(bool muted);

signals:
    void play();
    void pause();
    void stop();
    void changeVolume(float volume);
    void changeMuting(bool muting);
    void changeRate(double rate);

private slots:
    void playClicked();
    void muteClicked();
    void updateRate();
    void onVolumeSliderValueChanged();

private:
    QMediaPlayer::PlaybackState m_state = QMediaPlayer::StoppedState;
    bool m_muted = false;
    QAbstractButton* m_playButton = nullptr;
    QAbstractButton* m_stopButton = nullptr;
    QAbstractButton* m_muteButton = nullptr;
    QAbstractSlider* m_volumeSlider = nullptr;
    QComboBox* m_rateBox = nullptr;
};
