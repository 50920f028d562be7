#pragma once

#include <QMediaPlayer>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QAudioOutput;
class QComboBox;
class QLabel;
class QMediaDevices;
class QSlider;
QT_END_NAMESPACE

class PlayerControls;
class VideoWidget;

// A top-level window playing one source: a video file on the camera (file mode: slider, time,
// controls, audio device) or the live preview stream (video only). It has no parent and
// deletes itself when closed.
class mediaplayer : public QWidget
{
    Q_OBJECT

public:
    mediaplayer(QWidget* parent, bool fileMode);
    ~mediaplayer() override;

    void setSource(const QUrl& url);
    void playVideo();
    bool isPlayerAvailable() const;

    // "current / total" as mm:ss below an hour of total duration, hh:mm:ss from an hour on;
    // empty while both are 0 (nothing known yet).
    static QString durationText(qint64 currentSeconds, qint64 durationSeconds);

public slots:
    void durationChanged(qint64 duration);
    void positionChanged(qint64 progress);
    void seek(int milliseconds);
    void statusChanged(QMediaPlayer::MediaStatus status);
    void bufferingProgress(float progress);
    void displayErrorMessage();
    void slotSourceChanged();
    void audioOutputChanged(int index);
    // The strip's pause and stop; like play, they take effect once a loading source has loaded.
    void pauseVideo();
    void stopVideo();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void handleCursor(QMediaPlayer::MediaStatus status);
    void setStatusInfo(const QString& info);
    void updateDurationInfo(qint64 currentInfo);
    void attachAudioWhenDeviceExists();
    // While the source loads, remembers state for when it has loaded; false otherwise.
    bool deferWhileLoading(QMediaPlayer::PlaybackState state);

    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_audioOutput = nullptr;
    VideoWidget* m_videoWidget = nullptr;
    QSlider* m_positionSlider = nullptr;
    QLabel* m_durationLabel = nullptr;
    QComboBox* m_audioDeviceBox = nullptr;
    PlayerControls* m_controls = nullptr;
    QMediaDevices* m_mediaDevices = nullptr;
    QString m_statusInfo;
    qint64 m_duration = 0;
    // What the user last asked for while the source was loading (stopped: nothing pending).
    QMediaPlayer::PlaybackState m_whenLoaded = QMediaPlayer::StoppedState;
    // From LoadingMedia until the player reports the source loaded (or gone).
    bool m_loading = false;
};
