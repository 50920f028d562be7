#include "playercontrols.h"

#include <QAudio>
#include <QBoxLayout>
#include <QComboBox>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include <cmath>

PlayerControls::PlayerControls(QWidget* parent)
    : QWidget(parent)
{
    m_playButton = new QToolButton(this);
    m_playButton->setObjectName(QStringLiteral("playButton"));
    m_playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    connect(m_playButton, &QAbstractButton::clicked, this, &PlayerControls::playClicked);

    m_stopButton = new QToolButton(this);
    m_stopButton->setObjectName(QStringLiteral("stopButton"));
    m_stopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stopButton->setEnabled(false);
    connect(m_stopButton, &QAbstractButton::clicked, this, &PlayerControls::stop);

    m_muteButton = new QToolButton(this);
    m_muteButton->setObjectName(QStringLiteral("muteButton"));
    m_muteButton->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    connect(m_muteButton, &QAbstractButton::clicked, this, &PlayerControls::muteClicked);

    m_volumeSlider = new QSlider(Qt::Horizontal, this);
    m_volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    m_volumeSlider->setRange(0, 100);
    connect(m_volumeSlider, &QAbstractSlider::valueChanged, this,
            &PlayerControls::onVolumeSliderValueChanged);

    m_rateBox = new QComboBox(this);
    m_rateBox->setObjectName(QStringLiteral("rateBox"));
    m_rateBox->addItem(QStringLiteral("0.5x"), QVariant(0.5));
    m_rateBox->addItem(QStringLiteral("1.0x"), QVariant(1.0));
    m_rateBox->addItem(QStringLiteral("2.0x"), QVariant(2.0));
    m_rateBox->setCurrentIndex(1);
    connect(m_rateBox, &QComboBox::activated, this, &PlayerControls::updateRate);

    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stopButton);
    layout->addWidget(m_playButton);
    layout->addWidget(m_muteButton);
    layout->addWidget(m_volumeSlider);
    layout->addWidget(m_rateBox);
    setLayout(layout);
}

QMediaPlayer::PlaybackState PlayerControls::state() const
{
    return m_state;
}

void PlayerControls::setState(QMediaPlayer::PlaybackState state)
{
    if (state == m_state)
        return;
    m_state = state;
    switch (state) {
    case QMediaPlayer::StoppedState:
        m_stopButton->setEnabled(false);
        m_playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
        break;
    case QMediaPlayer::PlayingState:
        m_stopButton->setEnabled(true);
        m_playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
        break;
    case QMediaPlayer::PausedState:
        m_stopButton->setEnabled(true);
        m_playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
        break;
    }
}

int PlayerControls::sliderValueForVolume(float linearVolume)
{
    const float logarithmic = QAudio::convertVolume(linearVolume, QAudio::LinearVolumeScale,
                                                    QAudio::LogarithmicVolumeScale);
    return int(std::lround(logarithmic * 100.0));
}

float PlayerControls::volumeForSliderValue(int sliderValue)
{
    return QAudio::convertVolume(float(sliderValue / 100.0), QAudio::LogarithmicVolumeScale,
                                 QAudio::LinearVolumeScale);
}

float PlayerControls::volume() const
{
    return volumeForSliderValue(m_volumeSlider->value());
}

void PlayerControls::setVolume(float volume)
{
    m_volumeSlider->setValue(sliderValueForVolume(volume));
}

bool PlayerControls::isMuted() const
{
    return m_muted;
}

void PlayerControls::setMuted(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    m_muteButton->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted
                                                      : QStyle::SP_MediaVolume));
}

void PlayerControls::playClicked()
{
    // The icon follows the player's reported state (setState), not the click: a player that
    // ignores the wish leaves the button as it was.
    if (m_state == QMediaPlayer::PlayingState)
        emit pause();
    else
        emit play();
}

void PlayerControls::muteClicked()
{
    emit changeMuting(!m_muted);
}

double PlayerControls::playbackRate() const
{
    return m_rateBox->itemData(m_rateBox->currentIndex()).toDouble();
}

void PlayerControls::updateRate()
{
    emit changeRate(playbackRate());
}

void PlayerControls::onVolumeSliderValueChanged()
{
    emit changeVolume(volume());
}
