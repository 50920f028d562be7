#include "mediaplayer.h"

#include "cameranetwork.h"
#include "playercontrols.h"
#include "prompt.h"
#include "videowidget.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QBoxLayout>
#include <QComboBox>
#include <QDebug>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaDevices>
#include <QScreen>
#include <QSlider>

#include <cmath>

namespace {

// Some back ends report -1 before they know anything; the title shows a plain percentage.
int bufferPercent(float progress)
{
    return int(std::lround(qBound(0.0f, progress, 1.0f) * 100.0));
}

} // namespace

mediaplayer::mediaplayer(QWidget* parent, bool fileMode)
    : QWidget(parent)
{
    cameranetwork::dropProxyEnvironment();
    m_player = new QMediaPlayer(this);
    m_audioOutput = new QAudioOutput(this);
    // Qt's FFmpeg back end crashes once playback starts with an audio output attached on a
    // machine without any sound device; such a machine has nothing to play the sound on
    // anyway, so the output is attached only when a device exists (or appears later).
    m_mediaDevices = new QMediaDevices(this);
    connect(m_mediaDevices, &QMediaDevices::audioOutputsChanged, this,
            &mediaplayer::attachAudioWhenDeviceExists);
    attachAudioWhenDeviceExists();

    if (fileMode) {
        connect(m_player, &QMediaPlayer::durationChanged, this, &mediaplayer::durationChanged);
        connect(m_player, &QMediaPlayer::positionChanged, this, &mediaplayer::positionChanged);
    }
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &mediaplayer::statusChanged);
    connect(m_player, &QMediaPlayer::bufferProgressChanged, this, &mediaplayer::bufferingProgress);
    connect(m_player, &QMediaPlayer::errorChanged, this, &mediaplayer::displayErrorMessage);
    connect(m_player, &QMediaPlayer::sourceChanged, this, &mediaplayer::slotSourceChanged);

    m_videoWidget = new VideoWidget;
    m_videoWidget->setObjectName(QStringLiteral("videoWidget"));
    // Integer halves: QSize / 2 would round 1281 up to 641.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize half(screen.width() / 2, screen.height() / 2);
    resize(half);
    m_videoWidget->resize(half);
    m_player->setVideoOutput(m_videoWidget);

    auto* layout = new QVBoxLayout;
    layout->addWidget(m_videoWidget);

    if (fileMode) {
        m_positionSlider = new QSlider(Qt::Horizontal, this);
        m_positionSlider->setObjectName(QStringLiteral("positionSlider"));
        m_positionSlider->setRange(0, int(m_player->duration()));
        connect(m_positionSlider, &QSlider::sliderMoved, this, &mediaplayer::seek);

        m_durationLabel = new QLabel(this);
        m_durationLabel->setObjectName(QStringLiteral("durationLabel"));
        m_durationLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

        auto* seekRow = new QHBoxLayout;
        seekRow->addWidget(m_positionSlider);
        seekRow->addWidget(m_durationLabel);
        layout->addLayout(seekRow);

        m_controls = new PlayerControls;
        m_controls->setObjectName(QStringLiteral("playerControls"));
        m_controls->setState(m_player->playbackState());
        m_controls->setVolume(m_audioOutput->volume());

        connect(m_controls, &PlayerControls::play, this, &mediaplayer::playVideo);
        connect(m_controls, &PlayerControls::pause, this, &mediaplayer::pauseVideo);
        connect(m_controls, &PlayerControls::stop, this, &mediaplayer::stopVideo);
        connect(m_controls, &PlayerControls::changeVolume, m_audioOutput, &QAudioOutput::setVolume);
        connect(m_controls, &PlayerControls::changeMuting, m_audioOutput, &QAudioOutput::setMuted);
        connect(m_controls, &PlayerControls::changeRate, m_player, &QMediaPlayer::setPlaybackRate);
        connect(m_controls, &PlayerControls::stop, m_videoWidget, qOverload<>(&QWidget::update));
        connect(m_player, &QMediaPlayer::playbackStateChanged, m_controls, &PlayerControls::setState);
        connect(m_audioOutput, &QAudioOutput::volumeChanged, m_controls, &PlayerControls::setVolume);
        connect(m_audioOutput, &QAudioOutput::mutedChanged, m_controls, &PlayerControls::setMuted);

        m_audioDeviceBox = new QComboBox(this);
        m_audioDeviceBox->setObjectName(QStringLiteral("audioDeviceBox"));
        m_audioDeviceBox->addItem(tr("Default"), QVariant::fromValue(QAudioDevice()));
        for (const QAudioDevice& device : QMediaDevices::audioOutputs())
            m_audioDeviceBox->addItem(device.description(), QVariant::fromValue(device));
        connect(m_audioDeviceBox, &QComboBox::activated, this, &mediaplayer::audioOutputChanged);
        qDebug() << "add audio";

        auto* controlRow = new QHBoxLayout;
        controlRow->setContentsMargins(0, 0, 0, 0);
        controlRow->addWidget(m_controls);
        controlRow->addStretch(1);
        controlRow->addWidget(m_audioDeviceBox);
        layout->addLayout(controlRow);
    }
    setLayout(layout);

    if (!isPlayerAvailable()) {
        Prompt::warning(this, tr("Service not available"),
                        tr("The QMediaPlayer object does not have a valid service.\n"
                           "Please check the media service plugins are installed."));
        if (m_controls)
            m_controls->setEnabled(false);
    }
}

mediaplayer::~mediaplayer()
{
    qDebug() << "delete";
}

void mediaplayer::attachAudioWhenDeviceExists()
{
    if (m_player->audioOutput() || QMediaDevices::audioOutputs().isEmpty())
        return;
    m_player->setAudioOutput(m_audioOutput);
}

void mediaplayer::setSource(const QUrl& url)
{
    m_whenLoaded = QMediaPlayer::StoppedState;
    m_player->setSource(url);
}

void mediaplayer::playVideo()
{
    if (!isPlayerAvailable())
        return;
    // Qt 6.4's GStreamer back end now and then never leaves the paused state when play()
    // comes while the source is still loading; asking once it has loaded is reliable.
    if (!deferWhileLoading(QMediaPlayer::PlayingState))
        m_player->play();
}

void mediaplayer::pauseVideo()
{
    if (!deferWhileLoading(QMediaPlayer::PausedState))
        m_player->pause();
}

void mediaplayer::stopVideo()
{
    // A play still waiting for the source is called off: the last wish wins.
    const bool pending = deferWhileLoading(QMediaPlayer::StoppedState);
    m_player->stop();
    if (pending && m_controls)
        m_controls->setState(m_player->playbackState());
}

bool mediaplayer::deferWhileLoading(QMediaPlayer::PlaybackState state)
{
    if (!m_loading)
        return false;
    m_whenLoaded = state;
    // The strip shows what the user asked for, so Pause and Stop can be pressed already.
    if (m_controls)
        m_controls->setState(state);
    return true;
}

bool mediaplayer::isPlayerAvailable() const
{
    return m_player->isAvailable();
}

void mediaplayer::durationChanged(qint64 duration)
{
    m_duration = duration / 1000;
    if (m_positionSlider)
        m_positionSlider->setMaximum(int(duration));
}

void mediaplayer::positionChanged(qint64 progress)
{
    if (m_positionSlider && !m_positionSlider->isSliderDown())
        m_positionSlider->setValue(int(progress));
    updateDurationInfo(progress / 1000);
}

void mediaplayer::seek(int milliseconds)
{
    m_player->setPosition(milliseconds);
}

void mediaplayer::statusChanged(QMediaPlayer::MediaStatus status)
{
    handleCursor(status);
    // Loaded only when the player says so: over HTTP, GStreamer reports buffering from the
    // first bytes on, while the file still loads.
    if (status == QMediaPlayer::LoadingMedia)
        m_loading = true;
    else if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::EndOfMedia
             || status == QMediaPlayer::NoMedia)
        m_loading = false;
    if (m_whenLoaded != QMediaPlayer::StoppedState) {
        if (status == QMediaPlayer::InvalidMedia || status == QMediaPlayer::NoMedia) {
            // An error while loading may pass (GStreamer without an audio output now and then
            // reports one and loads on): the wish holds until the source has loaded.
            if (status == QMediaPlayer::NoMedia)
                m_whenLoaded = QMediaPlayer::StoppedState;
            if (m_controls)
                m_controls->setState(m_player->playbackState());
        } else if (!m_loading) {
            const QMediaPlayer::PlaybackState wanted = m_whenLoaded;
            m_whenLoaded = QMediaPlayer::StoppedState;
            if (wanted == QMediaPlayer::PlayingState)
                m_player->play();
            else
                m_player->pause();
        }
    }
    const int percent = bufferPercent(m_player->bufferProgress());
    switch (status) {
    case QMediaPlayer::NoMedia:
    case QMediaPlayer::LoadedMedia:
        setStatusInfo(QString());
        break;
    case QMediaPlayer::LoadingMedia:
        setStatusInfo(tr("Loading..."));
        break;
    case QMediaPlayer::StalledMedia:
        setStatusInfo(tr("Stalled %1%").arg(percent));
        break;
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
        setStatusInfo(tr("Buffering %1%").arg(percent));
        break;
    case QMediaPlayer::EndOfMedia:
        QApplication::alert(this);
        break;
    case QMediaPlayer::InvalidMedia:
        displayErrorMessage();
        break;
    }
}

void mediaplayer::handleCursor(QMediaPlayer::MediaStatus status)
{
#ifndef QT_NO_CURSOR
    if (status == QMediaPlayer::LoadingMedia || status == QMediaPlayer::BufferingMedia
        || status == QMediaPlayer::StalledMedia)
        setCursor(QCursor(Qt::BusyCursor));
    else
        unsetCursor();
#endif
}

void mediaplayer::bufferingProgress(float progress)
{
    const int percent = bufferPercent(progress);
    if (m_player->mediaStatus() == QMediaPlayer::StalledMedia)
        setStatusInfo(tr("Stalled %1%").arg(percent));
    else
        setStatusInfo(tr("Buffering %1%").arg(percent));
}

void mediaplayer::setStatusInfo(const QString& info)
{
    m_statusInfo = info;
    if (m_statusInfo.isEmpty())
        setWindowTitle(QString());
    else
        setWindowTitle(QStringLiteral("%1 | %2").arg(QString(), m_statusInfo));
}

void mediaplayer::displayErrorMessage()
{
    if (m_player->error() != QMediaPlayer::NoError)
        setStatusInfo(m_player->errorString());
}

void mediaplayer::slotSourceChanged()
{
    qDebug() << "source changed";
}

void mediaplayer::audioOutputChanged(int index)
{
    // An item without a device yields the null device, which means "the system's default".
    m_audioOutput->setDevice(m_audioDeviceBox->itemData(index).value<QAudioDevice>());
}

QString mediaplayer::durationText(qint64 currentSeconds, qint64 durationSeconds)
{
    if (currentSeconds == 0 && durationSeconds == 0)
        return QString();
    const bool withHours = durationSeconds >= 3600;
    const auto clock = [withHours](qint64 s) {
        const QString minSec = QStringLiteral("%1:%2")
                                   .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
                                   .arg(s % 60, 2, 10, QLatin1Char('0'));
        if (!withHours)
            return minSec;
        return QStringLiteral("%1:%2").arg(s / 3600, 2, 10, QLatin1Char('0')).arg(minSec);
    };
    return clock(currentSeconds) + QStringLiteral(" / ") + clock(durationSeconds);
}

void mediaplayer::updateDurationInfo(qint64 currentInfo)
{
    if (m_durationLabel)
        m_durationLabel->setText(durationText(currentInfo, m_duration));
}

void mediaplayer::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Back)
        close();
}

void mediaplayer::closeEvent(QCloseEvent* event)
{
    m_player->stop();
    deleteLater();
    QWidget::closeEvent(event);
}
