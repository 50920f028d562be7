#include "camerastatusview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <climits>

const QColor CameraStatusView::kWarningColour(0xff, 0x98, 0x00);
const QColor CameraStatusView::kRecordingColour(0xe5, 0x39, 0x35);

namespace {

const QString kSeparator = QStringLiteral(" · ");

QString colourSheet(const QColor& colour)
{
    return QStringLiteral("color: %1;").arg(colour.name());
}

} // namespace

CameraStatusView::CameraStatusView(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    const auto addLabel = [this, layout](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        layout->addWidget(label);
        return label;
    };
    m_recording = addLabel("labelRecording");
    m_recording->setStyleSheet(colourSheet(kRecordingColour) + QStringLiteral("font-weight: bold;"));
    m_card = addLabel("labelCard");
    m_batteryIcon = addLabel("labelBatteryIcon");
    m_battery = addLabel("labelBattery");
    m_card->setToolTip(tr("Camera's SD card"));
    m_batteryIcon->setToolTip(tr("Camera battery"));
    m_battery->setToolTip(tr("Camera battery"));
    setToolTip(tr("Click for the camera's information."));
    setCursor(Qt::PointingHandCursor);
    clear();
}

void CameraStatusView::mousePressEvent(QMouseEvent* event)
{
    // Taken, so that the release comes here too.
    event->setAccepted(event->button() == Qt::LeftButton);
}

void CameraStatusView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void CameraStatusView::clear()
{
    m_recording->clear();
    m_recording->hide();
    m_card->clear();
    m_batteryIcon->clear();
    m_battery->clear();
    m_battery->setStyleSheet(QString());
}

void CameraStatusView::showStatus(const CameraStatus& status)
{
    // Battery: the percentage where the camera gives one, else its coarse level.
    int level = -1;
    if (status.batteryPercent)
        level = *status.batteryPercent > 66 ? 3 : *status.batteryPercent > 33 ? 2
              : *status.batteryPercent > kLowBatteryPercent ? 1 : 0;
    else if (status.batteryLevel)
        level = *status.batteryLevel;
    const bool low = status.batteryPercent ? *status.batteryPercent <= kLowBatteryPercent
                                           : level == 0;
    QStringList battery;
    if (status.batteryPercent)
        battery << tr("%1 %").arg(*status.batteryPercent);
    if (status.charging.value_or(false))
        battery << tr("charging");
    m_battery->setText(battery.join(kSeparator));
    m_battery->setStyleSheet(low ? colourSheet(kWarningColour) : QString());
    if (level >= 0)
        m_batteryIcon->setPixmap(batteryIcon(level, low));
    else
        m_batteryIcon->clear();

    // Card.
    QStringList card;
    if (status.card == CameraStatus::Card::Missing) {
        card << tr("no card");
    } else if (status.card == CameraStatus::Card::Error) {
        card << tr("card error");
    } else {
        if (status.freeBytes) {
            const double gigabytes = double(*status.freeBytes) / 1e9;
            card << (gigabytes >= 1.0 ? tr("%1 GB free").arg(gigabytes, 0, 'f', 1)
                                      : tr("%1 MB free").arg(qRound64(double(*status.freeBytes) / 1e6)));
        }
        if (status.remainingVideoSeconds)
            card << tr("%1 of video").arg(durationText(*status.remainingVideoSeconds));
        if (status.remainingPhotos)
            card << tr("%n photos", nullptr, int(qMin<qint64>(*status.remainingPhotos, INT_MAX)));
    }
    m_card->setText(card.join(kSeparator));

    // Recording, with its running time when the camera tells it.
    if (status.recording.value_or(false)) {
        QString text = tr("● REC");
        if (status.recordingSeconds)
            text += QLatin1Char(' ') + clockText(*status.recordingSeconds);
        m_recording->setText(text);
        m_recording->show();
    } else {
        m_recording->clear();
        m_recording->hide();
    }
}

QString CameraStatusView::clockText(int seconds)
{
    const QLatin1Char zero('0');
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, zero)
            .arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, zero);
}

QString CameraStatusView::durationText(qint64 seconds)
{
    const qint64 minutes = seconds / 60;
    if (minutes >= 60)
        return tr("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
    return tr("%1 min").arg(minutes);
}

QPixmap CameraStatusView::batteryIcon(int level, bool low)
{
    // A battery outline with one bar per level (0 to 3).
    QPixmap pixmap(26, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor outline(0xc8, 0xcd, 0xd8);
    painter.setPen(QPen(outline, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1, 1, 21, 12), 2, 2);
    painter.fillRect(QRectF(22.5, 4.5, 2.5, 5), outline);
    const QColor fill = low ? kWarningColour : QColor(0x8b, 0xc3, 0x4a);
    for (int bar = 0; bar < level; ++bar)
        painter.fillRect(QRectF(3.5 + bar * 6, 3.5, 5, 7), fill);
    if (level == 0 && low)
        painter.fillRect(QRectF(3.5, 3.5, 2, 7), fill);
    return pixmap;
}
